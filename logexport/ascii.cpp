#include "ascii.h"

#include <array>

#include "codepage.h"

namespace cardel::logexport {

namespace {

// U+00C0..U+00FF; "" where there is no plain letter.
constexpr std::array<std::string_view, 64> kLatin1Letters = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "",  "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "",  "y",
};

std::string_view PlainLetter(char32_t c) {
  if (c >= 0xC0 && c <= 0xFF) return kLatin1Letters[c - 0xC0];
  switch (c) {
    case 0x152: return "OE";
    case 0x153: return "oe";
    case 0x160: return "S";
    case 0x161: return "s";
    case 0x178: return "Y";
    case 0x17D: return "Z";
    case 0x17E: return "z";
    case 0x192: return "f";
    default: return "";
  }
}

// Calls `each` with every code point; a lone surrogate is one U+FFFD.
template <typename Each>
void ForEachCodePoint(TextView text, Each each) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
      c = 0xFFFD;
    }
    each(c);
  }
}

Folded Fold(TextView text, bool keepSeparators) {
  Folded folded;
  ForEachCodePoint(text, [&](char32_t c) {
    const bool separator = c == U' ' || c == U';';
    if (c > 0x20 && c < 0x7F && !separator) {
      folded.ascii.push_back(static_cast<char>(c));
      return;
    }
    if (separator && keepSeparators) {
      folded.ascii.push_back(static_cast<char>(c));
      return;
    }
    const auto plain = PlainLetter(c);
    folded.ascii.append(plain.empty() ? "?" : plain);
    folded.changed = true;
  });
  return folded;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

Text FromUtf8(std::string_view bytes) { return DecodeUtf8(bytes); }

std::string ToUtf8(TextView text) {
  std::string bytes;
  ForEachCodePoint(text, [&](char32_t c) { AppendUtf8(bytes, c); });
  return bytes;
}

Folded FoldField(TextView text) { return Fold(text, false); }
Folded FoldHeaderText(TextView text) { return Fold(text, true); }

std::string Printable(TextView line) {
  std::string bytes;
  ForEachCodePoint(line, [&](char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
    AppendUtf8(bytes, control ? U'?' : c);
  });
  return bytes;
}

}  // namespace cardel::logexport
