#pragma once

#include <array>
#include <optional>

#include "text.h"

namespace cardel {

// The whole log: QSO lines oldest first, each ending in CR LF, plus whatever
// the operator typed into the log box.
using LogText = Text;
// One contact as one line, CR LF included.
using QsoLine = Text;

// The band text that means "no band": a contact entered with it gets the line
// without band.
inline constexpr TextView kNoBand = u"...";

// The band list, in the order the window offers it.
inline constexpr std::array<TextView, 8> kBandList = {
    u"7 Mhz", u"14 Mhz", u"21 Mhz", u"28 Mhz", u"50 Mhz", u"144 Mhz", u"432 Mhz", u"1296 Mhz"};

// The separators of a contact line, in the order they stand: the serial
// before the date, the field separator between the other fields, the report
// sent (always 59) after the call sign, and the band mark.
inline constexpr TextView kSerialSeparator = u"-+-";
inline constexpr TextView kFieldSeparator = u"---";
inline constexpr TextView kReportSeparator = u"---59---";
inline constexpr TextView kBandSeparator = u"-->";

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

// The fields of a contact line exactly as they stand, found by the separators
// that ComposeQsoLine writes: the first separator of each kind ends a field,
// and the band is everything after the first "-->" behind the received
// serial. Views into the line; nothing is trimmed or upper-cased.
struct QsoLineFields {
  TextView serial;
  TextView date;
  TextView time;
  TextView callSign;
  TextView receivedSerial;
  TextView locator;
  std::optional<TextView> band;
};

// The fields of one line (without its line end), or nothing when the line is
// not in the layout of a contact line, such as a note typed into the log.
std::optional<QsoLineFields> SplitQsoLine(TextView line);

// What goes between the log and a line added at its end, so that the line
// starts a line of its own: nothing when the log is empty or ends with CR LF,
// else CR LF. A note typed at the end without Enter, or a line end deleted,
// would otherwise glue the next contact onto it.
TextView LineEndBefore(TextView logText);

// Characters no call sign or band holds, which a hand-edited or pasted line
// may: blanks (a spreadsheet's tab, a web page's no-break space), control
// characters and the soft hyphen, which shows nothing.
bool IsInvisible(char16_t c);

// A call sign or band of a contact line as the duplicate check compares it:
// what is invisible around it dropped and upper-cased, since a call sign
// typed by hand in lower case is the same station.
Text WorkedForm(TextView field);
TextView WithoutInvisibleAround(TextView field);

// What the call-sign, serial and locator boxes take of a typed or pasted
// text: one line without the characters none of those fields holds, so that
// what looks alike is alike.
Text OneWordText(TextView text);

// What appending the line adds at the end of the log, so that it stands on
// a line of its own: LineEndBefore(logText), then the line. The log itself
// is left alone, so a log of any size costs only the line.
Text AppendedQsoLine(TextView logText, TextView qsoLine);

}  // namespace cardel
