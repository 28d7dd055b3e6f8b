#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text.h"

// The locators of stations worked before, read from the files the operator
// keeps beside the program: contest logs in EDI, call-history files, plain
// lists and the program's own logs. EDI dates have two-digit years, read as
// 1980 to 2079; plain lines give YYYYMMDD.
namespace cardel {

// A date as the number YYYYMMDD, so that a later date is a larger number.
using HistoryDate = int;

struct KnownLocator {
  Text locator;                     // six characters, upper case
  std::optional<HistoryDate> date;  // none where the file gives none

  friend bool operator==(const KnownLocator&, const KnownLocator&) = default;
};

struct HistoryEntry {
  Text callSign;  // as the window reads a typed one (WorkedForm)
  KnownLocator known;

  friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// How a file is laid out, told by its first line that is neither blank nor a
// "#" comment:
//   Edi          "[REG1TEST;1]": the QSO records of a contest log;
//   CallHistory  "!!Order!!,Call,Name,Loc1,": the columns of the lines below;
//   CardelLog    a contact line of this program's log;
//   Plain        anything else: "CALL LOCATOR [YYYYMMDD ...]" or
//                "CALL;LOCATOR[;YYYYMMDD...]".
// In the last two, each line is read by its own layout, so that a note on top
// of a log, or a contact line pasted into a list, costs only its own line.
enum class HistoryFormat { Edi, CallHistory, CardelLog, Plain };

struct HistoryFileRead {
  HistoryFormat format = HistoryFormat::Plain;
  std::vector<HistoryEntry> entries;  // in the order of the file's lines
  // Lines that hold neither a station nor anything else the format allows:
  // blank lines, comments and header lines are not counted.
  std::size_t skipped = 0;
};

// The stations of one file's bytes, UTF-8 (with or without byte-order mark)
// or Windows-1252, lines ending in CR LF, LF or CR. A station needs a call
// sign of three characters or more, a letter and a digit among them, nothing
// invisible inside, and a 6-character locator (IsLocator, once upper-cased).
HistoryFileRead ReadHistoryFile(std::string_view bytes);

// The latest known locator of each station.
class History {
 public:
  // The file's stations, files added in the order they are read. An entry
  // takes the place of the station's kept one unless both are dated and the
  // entry's date is older: the later of two dates wins, and where a date is
  // missing the entry read last wins (an undated file read later is taken as
  // the newer, as the program's own logs are).
  // Taken by value, so that a file read just for this is moved in.
  void add(HistoryFileRead file);

  // The locator of a call sign as typed (read as WorkedForm reads it), at the
  // same cost whatever the number of stations. The view lasts until the next
  // add().
  std::optional<TextView> locatorOf(TextView typedCallSign) const;

  std::size_t stationCount() const { return known_.size(); }

 private:
  std::unordered_map<Text, KnownLocator> known_;
};

}  // namespace cardel
