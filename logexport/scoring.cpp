#include "scoring.h"

#include <hamlib/rig.h>
#include <hamlib/rotator.h>

#include <cmath>
#include <set>
#include <utility>

namespace cardel::logexport {

namespace {

bool InRange(char c, char first, char last) { return c >= first && c <= last; }

struct LongLat {
  double longitude = 0;
  double latitude = 0;
};

LongLat Centre(std::string_view locator) {
  LongLat point;
  const std::string text(locator);
  locator2longlat(&point.longitude, &point.latitude, text.c_str());
  return point;
}

}  // namespace

bool IsLocator(std::string_view l) {
  return l.size() == 6 && InRange(l[0], 'A', 'R') && InRange(l[1], 'A', 'R') &&
         InRange(l[2], '0', '9') && InRange(l[3], '0', '9') && InRange(l[4], 'A', 'X') &&
         InRange(l[5], 'A', 'X');
}

double DistanceKm(std::string_view from, std::string_view to) {
  // Hamlib reports every call on standard error unless told not to.
  static const bool quiet = (rig_set_debug(RIG_DEBUG_NONE), true);
  (void)quiet;
  const LongLat a = Centre(from);
  const LongLat b = Centre(to);
  double km = 0;
  double azimuth = 0;
  qrb(a.longitude, a.latitude, b.longitude, b.latitude, &km, &azimuth);
  return km;
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
      score.notes.push_back({contact.lineNumber, "riga " + std::to_string(contact.lineNumber) +
                                                     ": locatore \"" + contact.locator +
                                                     "\" non valido, 0 punti"});
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
