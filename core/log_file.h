#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "message.h"
#include "qso_line.h"
#include "text.h"

namespace cardel {

inline constexpr TextView kLogFileName = u"cardel.txt";

// What "Salva" writes: the file's exact bytes and the message to show once
// they are safely on disk.
struct SaveOrder {
  std::string bytes;
  Message success;

  friend bool operator==(const SaveOrder&, const SaveOrder&) = default;
};

// A refusal for an empty log, or the file content: the log text then CR LF.
std::variant<Message, SaveOrder> SaveLog(TextView logText, TextView logFilePath);

struct OpenedLog {
  LogText logText;
  std::optional<Text> serialCaption;  // no value: the caption stays

  friend bool operator==(const OpenedLog&, const OpenedLog&) = default;
};

// "Apri": the file's lines appended to the log, from a line of their own,
// doubled line ends collapsed once, then the serial restored. No file
// (nullopt) gives the message to show.
std::variant<Message, OpenedLog> OpenLog(TextView logText,
                                         const std::optional<std::string_view>& fileBytes);

// The file's lines as the window shows them (LoneLineFeed::InLine), each
// followed by CR LF.
Text ReadLogLines(std::string_view bytes);

// One pass that replaces each CR LF CR LF by CR LF; what a replacement
// produces is not scanned again.
Text CollapseDoubledLineEnds(TextView text);

// The next serial after the last "-+-" of the log, always 001..999; no value
// when the log holds no "-+-" or the serial before it is negative or
// fractional.
std::optional<Text> RestoreSerial(TextView logText);

// The number the text starts with, blanks, tabs and line feeds ignored:
// the longest leading decimal number (sign, point, exponent), 0 when none.
double ReadNumber(TextView text);

}  // namespace cardel
