#include "locator.h"

#include <cmath>
#include <numbers>

namespace cardel {

namespace {

bool InRange(char c, char first, char last) { return c >= first && c <= last; }

struct LongLat {
  double longitude = 0;
  double latitude = 0;
};

// Contest scores are compared with other loggers', which take their distances
// from Hamlib: the centre and the distance follow Hamlib's locator2longlat and
// qrb step by step, so the kilometres come out identical to the last bit (a
// test checks this against the library), without linking Hamlib into the
// programs. The steps are field (18), square (10), subsquare (24); each axis
// runs over 180 degrees, longitude then doubled. A square stops after two
// steps, so its centre is the centre of the square, as in Hamlib.
double CentreOrdinate(std::string_view locator, int axis) {
  constexpr int kRanges[] = {18, 10, 24};
  double ordinate = -90.0;
  double divisions = 1;
  const auto pairs = static_cast<int>(locator.size() / 2);
  for (int pair = 0; pair < pairs; ++pair) {
    const char c = locator[pair * 2 + axis];
    const int value = c - (kRanges[pair] == 10 ? '0' : 'A');
    divisions *= kRanges[pair];
    ordinate += value * 180.0 / divisions;
  }
  return ordinate + 90.0 / divisions;
}

LongLat Centre(std::string_view locator) {
  return {CentreOrdinate(locator, 0) * 2.0, CentreOrdinate(locator, 1)};
}

constexpr double kRadian = 180.0 / std::numbers::pi;
constexpr double kKmPerDegree = 111.2;  // one degree of arc, 60 nautical miles

double Radians(double degrees) { return degrees / kRadian; }

// Two points on the sphere in radians, as both the distance and the bearing
// take them.
struct Arc {
  double lat1, lat2, deltaLong, cosine;
  Arc(LongLat a, LongLat b)
      : lat1(Radians(a.latitude)),
        lat2(Radians(b.latitude)),
        deltaLong(Radians(b.longitude) - Radians(a.longitude)),
        cosine(std::sin(lat1) * std::sin(lat2) +
               std::cos(lat1) * std::cos(lat2) * std::cos(deltaLong)) {}

  // Near the ends acos loses its precision: the same points, or antipodes.
  bool samePoint() const { return cosine > .999999999999999; }
  bool antipodes() const { return cosine < -.999999; }
};

double ShortPathKm(const Arc& arc) {
  if (arc.samePoint()) return 0.0;
  if (arc.antipodes()) return 180.0 * kKmPerDegree;
  return kKmPerDegree * kRadian * std::acos(arc.cosine);
}

bool IsSquarePrefix(std::string_view l) {
  return l.size() >= 4 && InRange(l[0], 'A', 'R') && InRange(l[1], 'A', 'R') &&
         InRange(l[2], '0', '9') && InRange(l[3], '0', '9');
}

}  // namespace

bool IsLocator(std::string_view l) {
  return l.size() == 6 && IsSquarePrefix(l) && InRange(l[4], 'A', 'X') && InRange(l[5], 'A', 'X');
}

bool IsSquare(std::string_view l) { return l.size() == 4 && IsSquarePrefix(l); }

bool IsLocatorOrSquare(std::string_view l) { return IsLocator(l) || IsSquare(l); }

double DistanceKm(std::string_view from, std::string_view to) {
  return ShortPathKm(Arc(Centre(from), Centre(to)));
}

int BearingDegrees(std::string_view from, std::string_view to) {
  const Arc arc(Centre(from), Centre(to));
  // Every heading reaches the same point or an antipode; Hamlib says north.
  if (arc.samePoint() || arc.antipodes()) return 0;
  const double east = std::sin(arc.deltaLong) * std::cos(arc.lat2);
  const double north = std::cos(arc.lat1) * std::sin(arc.lat2) -
                       std::sin(arc.lat1) * std::cos(arc.lat2) * std::cos(arc.deltaLong);
  const double bearing = std::fmod(360.0 + kRadian * std::atan2(east, north), 360.0);
  // Rounded as Hamlib rounds it, where 359.6 becomes 360: north, so 0.
  return static_cast<int>(std::floor(bearing + 0.5)) % 360;
}

long long WholeKm(double km) {
  constexpr double kMillimetre = 1e-6;
  const double nearest = std::round(km);
  return static_cast<long long>(std::abs(km - nearest) < kMillimetre ? nearest : std::floor(km));
}

long long DistancePoints(double km, PointsRule rule) {
  switch (rule) {
    case PointsRule::Iaru: return WholeKm(km) + 1;
    case PointsRule::Km: return WholeKm(km);
    case PointsRule::Round: return WholeKm(km + 0.5);
  }
  return WholeKm(km) + 1;
}

std::optional<Path> PathBetween(std::string_view from, std::string_view to) {
  if (!IsLocatorOrSquare(from) || !IsLocatorOrSquare(to)) return std::nullopt;
  return Path{.km = WholeKm(DistanceKm(from, to)), .degrees = BearingDegrees(from, to)};
}

}  // namespace cardel
