#include "codepage.h"

#include <algorithm>
#include <array>
#include <optional>

namespace cardel {

namespace {

// Bytes 0x80..0x9F; undefined bytes map to themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t DecodeByte(unsigned char b) {
  return b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
}

bool IsLatin1Byte(char16_t c) { return c < 0x80 || (c >= 0xA0 && c <= 0xFF); }

char EncodeChar(char16_t c) {
  if (IsLatin1Byte(c)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

void AppendUtf16(Text& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  }
}

// One code point from the front of `bytes`, or nothing for a bad sequence,
// of which only the first byte is taken.
std::optional<char32_t> TakeUtf8(std::string_view& bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  bool good = (length == 1 || lead >= 0xC0) && lead < 0xF8 && bytes.size() >= length;
  for (std::size_t i = 1; good && i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    good = (next & 0xC0) == 0x80;
    c = (c << 6) | (next & 0x3F);
  }
  good = good && c >= kMinimum[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
  bytes.remove_prefix(good ? length : 1);
  return good ? std::optional(c) : std::nullopt;
}

// Moves the ASCII bytes at the front of `bytes` to `out`: most files are
// ASCII through and through, and this is their whole reading.
void TakeAscii(std::string_view& bytes, Text& out) {
  std::size_t n = 0;
  while (n < bytes.size() && static_cast<unsigned char>(bytes[n]) < 0x80) ++n;
  out.append(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  bytes.remove_prefix(n);
}

std::optional<Text> StrictUtf8(std::string_view bytes) {
  Text text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    TakeAscii(bytes, text);
    if (bytes.empty()) break;
    const auto c = TakeUtf8(bytes);
    if (!c) return std::nullopt;
    AppendUtf16(text, *c);
  }
  return text;
}

}  // namespace

Text DecodeUtf8(std::string_view bytes) {
  Text text;
  while (!bytes.empty()) AppendUtf16(text, TakeUtf8(bytes).value_or(0xFFFD));
  return text;
}

Text DecodeUtf8OrWindows1252(std::string_view bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (auto utf8 = StrictUtf8(bytes)) return std::move(*utf8);
  return DecodeWindows1252(bytes);
}

bool HeldByWindows1252(char16_t c) {
  return IsLatin1Byte(c) ||
         std::find(kHighControls.begin(), kHighControls.end(), c) != kHighControls.end();
}

Text StorableText(TextView text) {
  Text kept;
  kept.reserve(text.size());
  for (char16_t c : text)
    if (HeldByWindows1252(c)) kept.push_back(c);
  return kept;
}

Text SingleLineText(TextView text) {
  return StorableText(text.substr(0, text.find_first_of(u"\r\n")));
}

Text DecodeWindows1252(std::string_view bytes) {
  Text text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i)
    text[i] = DecodeByte(static_cast<unsigned char>(bytes[i]));
  return text;
}

std::string EncodeWindows1252(TextView text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes.push_back(EncodeChar(text[i]));
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
  }
  return bytes;
}

}  // namespace cardel
