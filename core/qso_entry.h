#pragma once

#include <chrono>
#include <functional>
#include <variant>

#include "call_check.h"
#include "message.h"
#include "qso_line.h"
#include "text.h"

namespace cardel {

inline constexpr TextView kFirstSerial = u"001";
inline constexpr int kLastSerial = 999;

// What the OK command reads from the window.
struct QsoForm {
  CallMark mark = CallMark::Normal;
  Text callSign;            // Text2
  Text receivedSerial;      // Text3
  Text locator;             // Text4
  Text band;                // Combo1's text
  Text serialCaption;       // Frame1's caption, the serial of this contact
  bool gmtPlusOne = false;  // Check1: local time is UTC+1, otherwise UTC+2
  bool hfMode = false;      // Check3: no locator required
};

// One reading of the local clock.
struct LocalClock {
  std::chrono::year_month_day date;
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
};

struct UtcStamp {
  std::chrono::year_month_day date;
  int hour = 0;
  int minute = 0;

  friend bool operator==(const UtcStamp&, const UtcStamp&) = default;
};

// Local time less the station's offset; an hour below the offset wraps to the
// day before, so date and time always name a real moment.
UtcStamp ToUtc(const LocalClock& local, bool gmtPlusOne);

// Writes a date the way the operator's regional settings write short dates.
using DateFormatter = std::function<Text(std::chrono::year_month_day)>;

struct QsoAccepted {
  QsoLine qsoLine;         // to be appended to the log with AppendedQsoLine
  Text nextSerialCaption;  // the new caption of Frame1

  friend bool operator==(const QsoAccepted&, const QsoAccepted&) = default;
};

// The OK command: a refusal to show, or the contact's line and the next serial.
std::variant<Message, QsoAccepted> EnterQso(const QsoForm& form, const LocalClock& clock,
                                            const DateFormatter& formatDate);

// The caption after one more contact: 001 -> 002 ... 998 -> 999, 999 stays.
Text NextSerial(TextView caption);

// The caption of the contact after the whole, non-negative serial `last`:
// three digits, never beyond 999.
Text SerialAfter(double last);

}  // namespace cardel
