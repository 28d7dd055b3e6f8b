#pragma once

#include <optional>

#include "text.h"

namespace cardel {

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
Text ComposeQsoLine(const QsoFields& fields);

// The log text followed directly by the line.
Text AppendQsoLine(TextView logText, TextView qsoLine);

}  // namespace cardel
