#include "log_file.h"

#include <charconv>
#include <cmath>

#include "codepage.h"
#include "qso_entry.h"

namespace cardel {

namespace {

constexpr TextView kDoubledLineEnd = u"\r\n\r\n";
// A log made by the program has a line feed and three digits there.
constexpr std::size_t kSerialWindow = 4;

bool IsIgnoredInNumber(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest leading part of `s` that reads as a decimal number.
std::size_t NumberPrefixLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t expStart = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > expStart) i = j;
  }
  return i;
}

}  // namespace

std::variant<Message, SaveOrder> SaveLog(TextView logText, TextView logFilePath) {
  if (logText.empty()) return EmptyLogMessage();
  return SaveOrder{EncodeWindows1252(Join({logText, kLineEnd})), LogSavedMessage(logFilePath)};
}

Text ReadLogLines(std::string_view bytes) {
  const Text decoded = DecodeWindows1252(bytes);
  Text lines;
  lines.reserve(decoded.size() + decoded.size() / 16 + 2);
  ForEachLine(decoded, LoneLineFeed::InLine,
              [&lines](TextView line) { lines.append(line).append(kLineEnd); });
  return lines;
}

Text CollapseDoubledLineEnds(TextView text) {
  Text collapsed;
  collapsed.reserve(text.size());
  std::size_t from = 0;
  for (auto at = text.find(kDoubledLineEnd); at != TextView::npos;
       at = text.find(kDoubledLineEnd, from)) {
    collapsed.append(text.substr(from, at - from)).append(kLineEnd);
    from = at + kDoubledLineEnd.size();
  }
  collapsed.append(text.substr(from));
  return collapsed;
}

double ReadNumber(TextView text) {
  std::string ascii;
  for (char16_t c : text) {
    if (IsIgnoredInNumber(c)) continue;
    ascii.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
  }
  const std::size_t length = NumberPrefixLength(ascii);
  const char* first = ascii.data();
  if (length > 0 && *first == '+') ++first;  // from_chars takes no plus sign
  double value = 0;
  std::from_chars(first, ascii.data() + length, value);
  return value;
}

std::optional<Text> RestoreSerial(TextView logText) {
  const auto separator = logText.rfind(kSerialSeparator);
  if (separator == TextView::npos) return std::nullopt;
  const std::size_t windowStart = separator >= kSerialWindow ? separator - kSerialWindow : 0;
  const double last = ReadNumber(logText.substr(windowStart, separator - windowStart));
  if (last < 0 || last != std::floor(last)) return std::nullopt;
  return SerialAfter(last);
}

std::variant<Message, OpenedLog> OpenLog(TextView logText,
                                         const std::optional<std::string_view>& fileBytes) {
  if (!fileBytes) return NoLogFoundMessage();
  Text merged = CollapseDoubledLineEnds(
      Join({logText, LineEndBefore(logText), ReadLogLines(*fileBytes)}));
  auto caption = RestoreSerial(merged);
  return OpenedLog{std::move(merged), std::move(caption)};
}

}  // namespace cardel
