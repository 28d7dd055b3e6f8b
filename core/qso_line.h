#pragma once

#include <optional>

#include "text.h"

namespace cardel {

// The whole log: QSO lines oldest first, each ending in CR LF, plus whatever
// the operator typed into the log box.
using LogText = Text;
// One contact as one line, CR LF included.
using QsoLine = Text;

struct QsoFields {
  Text serial;
  Text date;
  Text time;  // HHMM
  Text callSign;
  Text receivedSerial;
  Text locator;
  std::optional<Text> band;
};

// One contact as one log line, CR LF included. Joins the fields with the fixed
// separators and nothing else: no field is checked, trimmed or escaped.
QsoLine ComposeQsoLine(const QsoFields& fields);

// The log text followed directly by the line. Taken by value, so a caller
// that moves its log in pays only for the line.
LogText AppendQsoLine(LogText logText, TextView qsoLine);

}  // namespace cardel
