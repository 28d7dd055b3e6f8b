#include "scoring.h"

#include <set>
#include <utility>

namespace cardel::logexport {

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
      score.notes.push_back(NoteOnLine(
          contact.lineNumber, "locatore \"" + contact.locator + "\"" + fault + ", 0 punti"));
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
