#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cardel {

// The log and every field are UTF-16 texts, the same code units the window
// shows, so positions count characters the way the operator sees them.
using Text = std::u16string;
using TextView = std::u16string_view;

inline constexpr TextView kLineEnd = u"\r\n";

// 1-based position of the first occurrence of `sought` in `text` at or after
// `start` (1-based), 0 when there is none. Exact code-unit comparison, no
// locale. An empty text gives 0; an empty `sought` is found at `start`.
std::size_t Search(TextView text, TextView sought, std::size_t start = 1);

// Search, for a long `sought` whose own ends are common characters: places
// are picked by the characters at `first` and `last` (0-based, first < last)
// before the whole of `sought` is compared.
std::size_t SearchAnchored(TextView text, TextView sought, std::size_t start, std::size_t first,
                           std::size_t last);

// Upper-cases a to z and the letters of the Windows-1252 repertoire (the only
// ones the log file can hold); every other character is left as it is.
Text UpperCase(TextView text);
char16_t UpperCaseChar(char16_t c);

// Decimal digits of `n` with leading zeros up to `width`.
Text ZeroPadded(int n, int width);

}  // namespace cardel
