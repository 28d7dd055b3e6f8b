#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace cardel {

// The log and every field are UTF-16 texts, the same code units the window
// shows, so positions count characters the way the operator sees them.
using Text = std::u16string;
using TextView = std::u16string_view;

inline constexpr TextView kLineEnd = u"\r\n";

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// How a lone LF reads. The window shows it as a character inside its line,
// so the log file and the log text are read that way wherever lines are
// shown or counted to the operator ("Apri", the recovery question). Contact
// lines are read with it as a line end: no field holds one, and files that
// other tools converted end their lines with it.
enum class LoneLineFeed { InLine, EndsLine };

// The length of the line end that starts at `at`: 2 for CR LF, 1 for a lone
// CR or a lone LF that ends a line, 0 for none.
inline std::size_t LineEndLength(TextView text, std::size_t at, LoneLineFeed lineFeed) {
  if (text[at] == u'\r') return at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
  return text[at] == u'\n' && lineFeed == LoneLineFeed::EndsLine ? 1 : 0;
}

// Calls `visit(line)` for each line of `text`, without its line end: a last
// line without a line end counts, a final line end starts no further line.
template <typename Visit>
void ForEachLine(TextView text, LoneLineFeed lineFeed, Visit visit) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (const std::size_t end = LineEndLength(text, i, lineFeed)) {
      visit(text.substr(start, i - start));
      start = (i += end - 1) + 1;
    }
  if (start < text.size()) visit(text.substr(start));
}

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

// The parts one after the other.
Text Join(std::initializer_list<TextView> parts);

// Decimal digits of `n` with leading zeros up to `width`.
Text ZeroPadded(int n, int width);

}  // namespace cardel
