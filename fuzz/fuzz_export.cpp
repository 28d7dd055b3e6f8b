// The log exporter over any log file and a few choices of options.
//
// Input layout:
//   byte 0   format: 0 EDI, 1 Cabrillo, 2 ADIF (modulo 3); bits 2..3 pick the
//            mode
//   byte 1   band option: 1..8 a band of the band list, 9 a band it lacks,
//            anything else none
//   byte 2   own locator: 0 none, 1..4 one of four (the last two invalid)
//   then     the log file's bytes; its dates are dd/MM/yyyy.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "export.h"
#include "logexport_test_support.h"
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
    FUZZ_CHECK(Count(rest.substr(0, end), ';') == 14);
    rest.remove_prefix(end + 2);
    ++records;
  }
  FUZZ_CHECK(records == declared);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const Options options = Choose(data);
  const std::string_view log(reinterpret_cast<const char*>(data + 3), size - 3);
  const auto outcome = cardel::logexport::Export(log, options, ReadDayMonthYear);

  FUZZ_CHECK(outcome.exitStatus >= 0 && outcome.exitStatus <= 2);
  FUZZ_CHECK(outcome.output.empty() == (outcome.exitStatus == 2));
  FUZZ_CHECK(!outcome.diagnostics.empty());
  for (const auto& line : outcome.diagnostics)
    FUZZ_CHECK(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
  if (outcome.output.empty()) return 0;

  CheckLines(outcome.output);
  switch (options.format) {
    case Format::Edi: CheckEdi(outcome.output); break;
    case Format::Cabrillo:
      FUZZ_CHECK(outcome.output.starts_with("START-OF-LOG: 3.0\r\n"));
      FUZZ_CHECK(outcome.output.ends_with("\r\nEND-OF-LOG:\r\n"));
      FUZZ_CHECK(outcome.output.find("  ") == std::string::npos);
      break;
    case Format::Adif: CheckAdif(outcome.output); break;
  }
  return 0;
}
