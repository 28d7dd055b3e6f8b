// The known locators read from files of any bytes, merged file after file.
//
// Input layout:
//   byte 0   the number of files, 1 to 4 (its value % 4 + 1);
//   then     the files' bytes, cut into that many pieces of equal length
//            (the last one takes the rest).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history.h"
#include "locator.h"
#include "qso_line.h"
#include "reference_model.h"

namespace {

std::optional<std::string> Ascii(model::TextView text) {
  std::string ascii;
  for (const char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  return ascii;
}

void CheckEntry(const cardel::HistoryEntry& entry) {
  const auto locator = Ascii(entry.known.locator);
  if (!locator || !cardel::IsLocator(*locator) ||
      cardel::WorkedForm(entry.callSign) != entry.callSign || entry.callSign.size() < 3) {
    model::Dump("call sign", entry.callSign);
    model::Dump("locator", entry.known.locator);
    FUZZ_CHECK(!"a kept station has a read call sign and a valid locator");
  }
  if (const auto date = entry.known.date) {
    FUZZ_CHECK(*date >= 0 && *date <= 99991231);
    FUZZ_CHECK(*date / 100 % 100 >= 1 && *date / 100 % 100 <= 12);
    FUZZ_CHECK(*date % 100 >= 1 && *date % 100 <= 31);
  }
}

std::size_t Lines(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n') +
                                  std::count(bytes.begin(), bytes.end(), '\r')) +
         1;
}

// What the merge promises of each station, checked against all its entries
// in the order read: the last one when it is undated, else the latest date.
struct Seen {
  std::vector<cardel::KnownLocator> entries;

  bool allDated() const {
    return std::all_of(entries.begin(), entries.end(), [](const auto& k) { return k.date; });
  }
  cardel::HistoryDate latest() const {
    cardel::HistoryDate date = 0;
    for (const auto& k : entries) date = std::max(date, *k.date);
    return date;
  }
};

void CheckMerge(const cardel::History& history, const std::map<model::Text, Seen>& seen) {
  FUZZ_CHECK(history.stationCount() == seen.size());
  for (const auto& each : seen) {
    const model::Text& call = each.first;
    const Seen& station = each.second;
    const auto kept = history.locatorOf(call);
    FUZZ_CHECK(kept.has_value());
    const bool fromAnEntry =
        std::any_of(station.entries.begin(), station.entries.end(),
                    [&](const cardel::KnownLocator& k) { return k.locator == *kept; });
    FUZZ_CHECK(fromAnEntry);
    if (!station.entries.back().date) FUZZ_CHECK(*kept == station.entries.back().locator);
    if (station.allDated()) {
      const bool latest = std::any_of(station.entries.begin(), station.entries.end(),
                                      [&](const cardel::KnownLocator& k) {
                                        return k.locator == *kept && *k.date == station.latest();
                                      });
      FUZZ_CHECK(latest);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t files = data[0] % 4 + 1;
  const std::size_t piece = input.size() / files;

  cardel::History history;
  std::map<model::Text, Seen> seen;
  for (std::size_t i = 0; i < files; ++i) {
    const std::string_view bytes =
        input.substr(i * piece, i + 1 == files ? std::string_view::npos : piece);
    cardel::HistoryFileRead read = cardel::ReadHistoryFile(bytes);
    FUZZ_CHECK(read.entries.size() + read.skipped <= Lines(bytes));
    for (const cardel::HistoryEntry& entry : read.entries) {
      CheckEntry(entry);
      seen[entry.callSign].entries.push_back(entry.known);
    }
    history.add(std::move(read));
  }
  CheckMerge(history, seen);
  return 0;
}
