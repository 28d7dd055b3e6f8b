#include "codepage.h"

#include <algorithm>
#include <array>

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

}  // namespace

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
