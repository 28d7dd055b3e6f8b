#pragma once

#include <string>
#include <string_view>

#include "text.h"

namespace cardel::logexport {

// The options and the messages are UTF-8, the log is UTF-16 once decoded.
// Bytes that are not UTF-8 read as U+FFFD.
Text FromUtf8(std::string_view bytes);
std::string ToUtf8(TextView text);

struct Folded {
  std::string ascii;
  bool changed = false;  // something was replaced: the caller warns
};

// Every format is ASCII. A letter with a mark becomes its plain letter
// (è -> e, ß -> ss); any other character outside printable ASCII becomes "?".
// A log field also loses ";" and blanks, which would split an EDI record or a
// Cabrillo line; a header text keeps them.
Folded FoldField(TextView text);
Folded FoldHeaderText(TextView text);

// The line as the operator would recognise it on standard error, control
// characters shown as "?".
std::string Printable(TextView line);

}  // namespace cardel::logexport
