#include "scoring.h"

#include <cmath>
#include <numbers>
#include <set>
#include <utility>

namespace cardel::logexport {

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
// runs over 180 degrees, longitude then doubled.
double CentreOrdinate(std::string_view locator, int axis) {
  constexpr int kRanges[] = {18, 10, 24};
  double ordinate = -90.0;
  double divisions = 1;
  for (int pair = 0; pair < 3; ++pair) {
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

double ShortPathKm(LongLat a, LongLat b) {
  const double lat1 = Radians(a.latitude);
  const double lat2 = Radians(b.latitude);
  const double deltaLong = Radians(b.longitude) - Radians(a.longitude);
  const double cosArc =
      std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(deltaLong);
  // Near the ends acos loses its precision: the same points, or antipodes.
  if (cosArc > .999999999999999) return 0.0;
  if (cosArc < -.999999) return 180.0 * kKmPerDegree;
  return kKmPerDegree * kRadian * std::acos(cosArc);
}

}  // namespace

bool IsSquare(std::string_view l) {
  return l.size() == 4 && InRange(l[0], 'A', 'R') && InRange(l[1], 'A', 'R') &&
         InRange(l[2], '0', '9') && InRange(l[3], '0', '9');
}

bool IsLocator(std::string_view l) {
  return l.size() == 6 && IsSquare(l.substr(0, 4)) && InRange(l[4], 'A', 'X') &&
         InRange(l[5], 'A', 'X');
}

double DistanceKm(std::string_view from, std::string_view to) {
  return ShortPathKm(Centre(from), Centre(to));
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

Score ScoreContacts(std::span<const Contact> contacts, std::string_view ownLocator,
                    PointsRule rule) {
  Score score;
  score.contacts.resize(contacts.size());
  std::set<std::pair<std::string, std::string>> squares;
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    const Contact& contact = contacts[i];
    if (contact.duplicate) continue;
    if (!IsLocator(contact.locator)) {
      // Four characters are a locator the formats take, only too coarse
      // for a distance.
      const std::string fault = IsSquare(contact.locator) ? " di 4 caratteri" : " non valido";
      score.notes.push_back({contact.lineNumber, "riga " + std::to_string(contact.lineNumber) +
                                                     ": locatore \"" + contact.locator + "\"" +
                                                     fault + ", 0 punti"});
      continue;
    }
    ContactScore& scored = score.contacts[i];
    scored.km = DistanceKm(ownLocator, contact.locator);
    scored.points = DistancePoints(*scored.km, rule);
    scored.newSquare = squares.emplace(contact.bandName, contact.locator.substr(0, 4)).second;
    score.total += scored.points;
    if (!score.odx || *scored.km > *score.contacts[*score.odx].km) score.odx = i;
  }
  return score;
}

}  // namespace cardel::logexport
