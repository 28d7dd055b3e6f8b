#include <set>

#include "writers.h"

namespace cardel::logexport {

namespace {

std::string IsoDate(const std::chrono::year_month_day& date) {
  const std::string compact = CompactDate(date);
  return compact.substr(0, 4) + "-" + compact.substr(4, 2) + "-" + compact.substr(6, 2);
}

std::string_view CategoryBand(std::span<const Contact> contacts) {
  std::set<const Band*> bands;
  for (const Contact& c : contacts) bands.insert(c.band);
  return bands.size() == 1 ? (*bands.begin())->cabrilloCategory : "ALL";
}

void Tag(std::string& out, std::string_view name, std::string_view value) {
  out.append(name).append(":");
  if (!value.empty()) out.append(" ").append(value);
  out.append(kCrLf);
}

std::string QsoLine(const Contact& c, const Station& station) {
  std::string line = "QSO: ";
  line.append(c.band->cabrilloFrequency).append(" ").append(NamesOf(station.mode).cabrilloQso);
  line.append(" ").append(IsoDate(c.date));
  line.append(" ").append(Digits(c.hour, 2)).append(Digits(c.minute, 2));
  line.append(" ").append(station.call).append(" ").append(station.sentReport).append(" ");
  line.append(c.serial);
  if (station.locator) line.append(" ").append(*station.locator);
  line.append(" ").append(c.callSign).append(" ").append(station.receivedReport);
  line.append(" ").append(c.receivedSerial);
  // One layout for the whole file: the exporter left out the contacts
  // without a locator when the own locator is written.
  if (station.locator) line.append(" ").append(c.locator);
  return line.append(kCrLf);
}

}  // namespace

std::string WriteCabrillo(std::span<const Contact> contacts, const std::optional<Score>& score,
                          const Station& station) {
  std::string out;
  Tag(out, "START-OF-LOG", "3.0");
  std::string creator(kProgramName);
  if (!station.programVersion.empty()) creator += " " + station.programVersion;
  Tag(out, "CREATED-BY", creator);
  Tag(out, "CALLSIGN", station.call);
  Tag(out, "CONTEST", station.contest);
  Tag(out, "CATEGORY-OPERATOR", station.categoryOperator);
  Tag(out, "CATEGORY-BAND", CategoryBand(contacts));
  Tag(out, "CATEGORY-MODE", NamesOf(station.mode).name);
  if (station.locator) Tag(out, "GRID-LOCATOR", *station.locator);
  if (score) Tag(out, "CLAIMED-SCORE", std::to_string(score->total));
  for (const Contact& c : contacts) out += QsoLine(c, station);
  Tag(out, "END-OF-LOG", "");
  return out;
}

}  // namespace cardel::logexport
