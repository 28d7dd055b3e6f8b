#include "running_score.h"

#include <algorithm>

#include "ascii.h"

namespace cardel::logexport {

std::string PerBandText(std::vector<BandCount> counts) {
  const auto rank = [](const BandCount& c) {
    return c.band ? std::size_t(c.band - Bands().data()) : Bands().size();
  };
  std::stable_sort(counts.begin(), counts.end(),
                   [&](const BandCount& a, const BandCount& b) { return rank(a) < rank(b); });
  std::string text;
  for (const BandCount& c : counts) {
    const std::string name = c.name.empty() ? "senza banda" : c.name;
    text += (text.empty() ? "" : ", ") + name + ": " + std::to_string(c.contacts);
  }
  return text;
}

std::string OdxLine(std::optional<BestDx> odx) {
  if (!odx) return "ODX: nessuno";
  return "ODX: " + FoldField(odx->callSign).ascii + " " + FoldField(odx->locator).ascii + " " +
         std::to_string(WholeKm(odx->km)) + " km";
}

namespace {

std::vector<BandCount> BandCounts(const LogModel& log) {
  std::vector<BandCount> counts;
  for (const auto& [band, contacts] : log.contactsPerBand()) {
    if (!band) {
      counts.push_back({nullptr, "", contacts});
    } else if (const Band* listed = FindBand(*band)) {
      counts.push_back({listed, ToUtf8(listed->listText), contacts});
    } else {
      counts.push_back({nullptr, FoldHeaderText(*band).ascii, contacts});
    }
  }
  return counts;
}

}  // namespace

std::vector<std::string> RunningScore(const LogModel& log, PointsRule rule, UtcMinute now) {
  using std::chrono::minutes;
  std::vector<std::string> lines{"Collegamenti: " + std::to_string(log.contactCount())};
  if (log.contactsPerBand().size() > 1) lines.push_back("(" + PerBandText(BandCounts(log)) + ")");
  const std::string points = std::to_string(log.points(rule));
  if (log.measuresDistance())
    lines.push_back("Punti: " + points);
  else
    lines.push_back("Imposta il locatore in Stazione");
  lines.push_back("Quadrati: " + std::to_string(log.squareCount()));
  if (log.measuresDistance()) lines.push_back(OdxLine(log.bestDx()));
  lines.push_back("Ultima ora: " + std::to_string(log.contactsBetween(now - minutes(59), now)));
  lines.push_back("Ultimi 10 minuti: " +
                  std::to_string(log.contactsBetween(now - minutes(9), now)));
  if (log.measuresDistance()) lines.push_back("Punteggio dichiarato: " + points);
  return lines;
}

}  // namespace cardel::logexport
