#pragma once

#include <string>
#include <string_view>

#include "text.h"

namespace cardel {

// The log file is single-byte Windows-1252 on every platform. The five bytes
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the
// control characters of the same value, so every file reads and saves back
// byte for byte.
Text DecodeWindows1252(std::string_view bytes);

// UTF-8 read strictly: no overlong forms, no surrogates, nothing above
// U+10FFFF. A bad sequence gives U+FFFD for its first byte.
Text DecodeUtf8(std::string_view bytes);

// Files made by other programs come in either: UTF-8 when every byte of them
// is valid UTF-8, its byte-order mark dropped, else Windows-1252. A text in
// Windows-1252 with letters beyond ASCII is almost never valid UTF-8.
Text DecodeUtf8OrWindows1252(std::string_view bytes);

// Characters the code page cannot hold are written as "?", one per character
// (a surrogate pair is one character).
std::string EncodeWindows1252(TextView text);

// Whether the code page holds the character (no surrogate does).
bool HeldByWindows1252(char16_t c);

// `text` without the characters the code page cannot hold, so that what the
// window shows is what the log file gets.
Text StorableText(TextView text);

// What a single-line box takes of a pasted, dropped or typed text: the part
// before its first CR or LF, without the characters the log file cannot hold.
Text SingleLineText(TextView text);

}  // namespace cardel
