#include "writers.h"

namespace cardel::logexport {

namespace {

bool IsNumber(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The data are ASCII, so the length in bytes is the length in characters.
void Field(std::string& out, std::string_view name, std::string_view data) {
  out.append("<").append(name).append(":").append(std::to_string(data.size())).append(">");
  out.append(data).append(" ");
}

void Serial(std::string& out, std::string_view name, std::string_view serial) {
  Field(out, IsNumber(serial) ? name : std::string(name) + "_STRING", serial);
}

std::string Record(const Contact& c, const Station& station) {
  std::string out;
  Field(out, "CALL", c.callSign);
  Field(out, "QSO_DATE", CompactDate(c.date));
  Field(out, "TIME_ON", Digits(c.hour, 2) + Digits(c.minute, 2));
  if (c.band) Field(out, "BAND", c.band->adif);
  Field(out, "MODE", NamesOf(station.mode).name);
  Field(out, "RST_SENT", station.sentReport);
  Field(out, "RST_RCVD", station.receivedReport);
  Serial(out, "STX", c.serial);
  Serial(out, "SRX", c.receivedSerial);
  if (!c.locator.empty()) Field(out, "GRIDSQUARE", c.locator);
  Field(out, "STATION_CALLSIGN", station.call);
  if (station.locator) Field(out, "MY_GRIDSQUARE", *station.locator);
  if (!station.contest.empty()) Field(out, "CONTEST_ID", station.contest);
  return out.append("<EOR>").append(kCrLf);
}

}  // namespace

std::string WriteAdif(std::span<const Contact> contacts, const Station& station) {
  std::string out =
      "Log di " + station.call + ", scritto da " + std::string(kProgramName) + std::string(kCrLf);
  Field(out, "ADIF_VER", "3.1.4");
  Field(out, "PROGRAMID", kProgramName);
  if (!station.programVersion.empty()) Field(out, "PROGRAMVERSION", station.programVersion);
  out.append("<EOH>").append(kCrLf);
  for (const Contact& c : contacts) out += Record(c, station);
  return out;
}

}  // namespace cardel::logexport
