#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "text.h"

namespace cardel {

// The UTC time of a contact. A day offset of -1 puts it on the day before the
// line's date: the logbook writes the hours before local midnight as "0-1"
// and "0-2" in front of the minutes and keeps the local date.
struct QsoTime {
  int hour = 0;
  int minute = 0;
  int dayOffset = 0;

  friend bool operator==(const QsoTime&, const QsoTime&) = default;
};

// The fields of one contact line, what is invisible around each field dropped
// (WithoutInvisibleAround), the call sign and the locator upper-cased: the
// call sign as the duplicate check reads it (WorkedForm). The date stays
// text: its layout is the short-date format of the machine that wrote the log.
struct ParsedQso {
  Text serial;
  Text date;
  QsoTime time;
  Text callSign;
  Text receivedSerial;
  Text locator;  // may be empty (HF)
  std::optional<Text> band;

  friend bool operator==(const ParsedQso&, const ParsedQso&) = default;
};

// Why a line is not a contact, in the order the fields are read.
enum class QsoLineFault {
  NotAContact,  // the separators of the layout are missing
  NoSerial,
  BadTime,  // neither HHMM nor the old "0-1MM"/"0-2MM"
  NoCallSign,
  NoReceivedSerial,
  BlankInField,  // a blank inside the serial, call sign, received serial or locator
};

// The reverse of ComposeQsoLine, for a line without its line end. The first
// separator of each kind ends a field, so a field that itself holds one is
// read as the layout reads it, not as it was typed.
std::variant<ParsedQso, QsoLineFault> ParseQsoLine(TextView line);

// Reads the date field of a contact line; nothing when it is not a date in
// the short-date format the log was written with, which the program above the
// core knows.
using DateReader = std::function<std::optional<std::chrono::year_month_day>(TextView)>;

// The UTC day of a contact: its date, a day earlier for the hours before local
// midnight. Nothing when the date does not read or its year needs more than
// four digits, which no export format writes.
std::optional<std::chrono::year_month_day> QsoDay(const ParsedQso& qso, const DateReader& readDate);

struct LogLine {
  std::size_t number = 0;  // 1-based, empty lines counted
  Text text;

  friend bool operator==(const LogLine&, const LogLine&) = default;
};

// The non-empty lines of a Windows-1252 log file, read as contact lines are
// (LoneLineFeed::EndsLine).
std::vector<LogLine> SplitLogLines(std::string_view bytes);

}  // namespace cardel
