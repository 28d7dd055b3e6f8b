// The log exporter over any log file and a few choices of options.
//
// Input layout:
//   byte 0   format: 0 EDI, 1 Cabrillo, 2 ADIF (modulo 3); bits 2..3 pick the
//            mode, bits 4..5 the points rule
//   byte 1   band option: 1..8 a band of the band list, 9 a band it lacks,
//            anything else none
//   byte 2   own locator: 0 none, 1..4 one of four (the last two invalid)
//   then     the log file's bytes; its dates are dd/MM/yyyy.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "call_check.h"
#include "contacts.h"
#include "export.h"
#include "locator.h"
#include "logexport_test_support.h"
#include "qso_line.h"
#include "qso_line_parse.h"
#include "reference_model.h"

namespace {

using cardel::logexport::Format;
using cardel::logexport::Options;

Options Choose(const std::uint8_t* data) {
  static constexpr const char* kBands[] = {"7 Mhz",   "14 Mhz",  "21 Mhz",   "28 Mhz", "50 Mhz",
                                           "144 Mhz", "432 Mhz", "1296 Mhz", "145 Mhz"};
  static constexpr const char* kLocators[] = {"JN61FW", "jo22ab", "JN61", "JZ61FW"};
  Options options;
  options.format = static_cast<Format>(data[0] % 3);
  options.mode = static_cast<cardel::logexport::Mode>((data[0] >> 2) % 3);
  options.points = static_cast<cardel::logexport::PointsRule>((data[0] >> 4) % 3);
  options.ownCall = "Q9XYZ";
  options.contest = "Prova";
  options.programVersion = "1.2";
  if (data[1] >= 1 && data[1] <= 9) options.band = kBands[data[1] - 1];
  if (data[2] >= 1 && data[2] <= 4) options.ownLocator = kLocators[data[2] - 1];
  return options;
}

// Every line is printable ASCII ending in CR LF.
void CheckLines(std::string_view out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c == '\r') {
      FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == '\n');
      ++i;
      continue;
    }
    if (c < 0x20 || c > 0x7E) model::Dump("output", out);
    FUZZ_CHECK(c >= 0x20 && c <= 0x7E);
  }
  FUZZ_CHECK(out.ends_with("\r\n"));
}

std::size_t Count(std::string_view text, char c) {
  std::size_t n = 0;
  for (char x : text) n += x == c;
  return n;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;; ++at) {
    const auto end = text.find(separator, at);
    parts.push_back(text.substr(at, end - at));
    if (end == std::string_view::npos) return parts;
    at = end;
  }
}

// A QSO number of EDI: none, or 3 or 4 digits.
bool IsEdiQsoNumber(std::string_view n) {
  return (n.empty() || n.size() == 3 || n.size() == 4) &&
         n.find_first_not_of("0123456789") == std::string_view::npos;
}

void CheckEdi(std::string_view out) {
  constexpr std::string_view kCount = "\r\n[QSORecords;";
  const auto at = out.find(kCount);
  FUZZ_CHECK(at != std::string_view::npos);
  std::string_view rest = out.substr(at + kCount.size());
  std::size_t declared = 0;
  while (!rest.empty() && rest[0] >= '0' && rest[0] <= '9')
    declared = declared * 10 + (rest[0] - '0'), rest.remove_prefix(1);
  FUZZ_CHECK(rest.starts_with("]\r\n"));
  rest.remove_prefix(3);
  std::size_t records = 0;
  while (!rest.empty()) {
    const auto end = rest.find("\r\n");
    const auto fields = Split(rest.substr(0, end), ';');
    FUZZ_CHECK(fields.size() == 15);
    if (!IsEdiQsoNumber(fields[5]) || !IsEdiQsoNumber(fields[7])) model::Dump("record", rest);
    FUZZ_CHECK(IsEdiQsoNumber(fields[5]) && IsEdiQsoNumber(fields[7]));
    FUZZ_CHECK(fields[9].empty() || cardel::IsLocator(fields[9]) ||
               (cardel::IsSquare(fields[9]) && fields[10] == "0"));
    rest.remove_prefix(end + 2);
    ++records;
  }
  FUZZ_CHECK(records == declared);
}

// Every QSO line of one file has the same columns: ten, and the two
// locators with the own locator.
void CheckCabrillo(std::string_view out, bool withLocators) {
  FUZZ_CHECK(out.starts_with("START-OF-LOG: 3.0\r\n"));
  FUZZ_CHECK(out.ends_with("\r\nEND-OF-LOG:\r\n"));
  FUZZ_CHECK(out.find("  ") == std::string::npos);
  for (std::string_view line : Split(out, '\n')) {
    if (!line.starts_with("QSO: ")) continue;
    const auto columns = Split(line.substr(5, line.size() - 6), ' ');
    if (columns.size() != (withLocators ? 12u : 10u)) model::Dump("line", line);
    FUZZ_CHECK(columns.size() == (withLocators ? 12u : 10u));
    for (std::string_view column : columns) FUZZ_CHECK(!column.empty());
  }
}

// Reads the file field by field on the declared lengths alone: each field's
// data must be followed by the blank that ends it, and the tags must account
// for every byte after the header line.
void CheckAdif(std::string_view out) {
  std::string_view rest = out.substr(out.find("\r\n") + 2);
  std::size_t records = 0;
  while (!rest.empty()) {
    FUZZ_CHECK(rest[0] == '<');
    const auto close = rest.find('>');
    FUZZ_CHECK(close != std::string_view::npos);
    const std::string_view tag = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    if (tag == "EOH" || tag == "EOR") {
      FUZZ_CHECK(rest.starts_with("\r\n"));
      rest.remove_prefix(2);
      records += tag == "EOR";
      continue;
    }
    const auto colon = tag.find(':');
    FUZZ_CHECK(colon != std::string_view::npos && colon + 1 < tag.size());
    std::size_t length = 0;
    for (char c : tag.substr(colon + 1)) {
      FUZZ_CHECK(c >= '0' && c <= '9');
      length = length * 10 + (c - '0');
    }
    FUZZ_CHECK(rest.size() > length && rest[length] == ' ');
    rest.remove_prefix(length + 1);
  }
  FUZZ_CHECK(records == Count(out, '\n') - 2);
}

// The window and the exporter agree on what a duplicate is, on any log and
// hand-edited lines included: of the lines the exporter reads as contacts,
// each is a duplicate exactly when the window, holding the contacts before
// it, marks its call sign red on its band.
void CheckDuplicatesAgree(std::string_view logBytes) {
  using namespace cardel;
  const auto read = logexport::ReadContacts(logBytes, {.bandRequired = false}, ReadDayMonthYear);
  std::map<std::size_t, Text> lines;
  for (LogLine& line : SplitLogLines(logBytes)) lines[line.number] = std::move(line.text);
  Text before;
  for (const logexport::Contact& contact : read.contacts) {
    const Text& line = lines.at(contact.lineNumber);
    const auto qso = std::get<ParsedQso>(ParseQsoLine(line));
    // The window cannot type a band that reads as its "no band".
    const bool typeable = !qso.band || WorkedForm(*qso.band) != kNoBand;
    if (qso.callSign.size() >= kMinSearchedCallSign && typeable) {
      const auto check =
          CheckCallSign(qso.callSign, before, true, qso.band.value_or(Text(kNoBand)));
      if (contact.duplicate != (check.mark == CallMark::Duplicate)) {
        model::Dump("line", line);
        model::Dump("before", before);
      }
      FUZZ_CHECK(contact.duplicate == (check.mark == CallMark::Duplicate));
    }
    before += line + u"\r\n";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const Options options = Choose(data);
  const std::string_view log(reinterpret_cast<const char*>(data + 3), size - 3);
  const auto outcome = cardel::logexport::Export(log, options, ReadDayMonthYear);
  CheckDuplicatesAgree(log);

  FUZZ_CHECK(outcome.exitStatus >= 0 && outcome.exitStatus <= 2);
  FUZZ_CHECK(outcome.output.empty() == (outcome.exitStatus == 2));
  FUZZ_CHECK(!outcome.diagnostics.empty());
  for (const auto& line : outcome.diagnostics)
    FUZZ_CHECK(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
  if (outcome.output.empty()) return 0;

  CheckLines(outcome.output);
  switch (options.format) {
    case Format::Edi: CheckEdi(outcome.output); break;
    case Format::Cabrillo: CheckCabrillo(outcome.output, options.ownLocator.has_value()); break;
    case Format::Adif: CheckAdif(outcome.output); break;
  }
  return 0;
}
