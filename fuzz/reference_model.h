#pragma once

// Deliberately plain models of what the core promises, written without any of
// the core's helpers so that a fault shared by both is unlikely. Slow is fine:
// they only run inside the fuzz targets.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace model {

using Text = std::u16string;
using TextView = std::u16string_view;

// A broken invariant must stop the run with a crash so that libFuzzer keeps
// the input; the printed texts make the report readable without a debugger.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "\n*** invariant broken at %s:%d: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

#define FUZZ_CHECK(cond)                                   \
  do {                                                     \
    if (!(cond)) ::model::Fail(#cond, __FILE__, __LINE__); \
  } while (0)

inline void Dump(const char* name, TextView text) {
  std::fprintf(stderr, "%s (%zu units):", name, text.size());
  for (char16_t c : text) std::fprintf(stderr, " %04X", static_cast<unsigned>(c));
  std::fprintf(stderr, "\n");
}

inline void Dump(const char* name, std::string_view bytes) {
  std::fprintf(stderr, "%s (%zu bytes):", name, bytes.size());
  for (char c : bytes) std::fprintf(stderr, " %02X", static_cast<unsigned char>(c));
  std::fprintf(stderr, "\n");
}

// The Windows-1252 code page as published, byte by byte for 0x80..0x9F. The
// five bytes it leaves undefined come back as the C1 control of the same value
// so that any file survives a read and a save unchanged.
inline char16_t DecodeByte(unsigned char b) {
  switch (b) {
    case 0x80: return u'\u20AC';  // euro sign
    case 0x82: return u'\u201A';
    case 0x83: return u'\u0192';
    case 0x84: return u'\u201E';
    case 0x85: return u'\u2026';
    case 0x86: return u'\u2020';
    case 0x87: return u'\u2021';
    case 0x88: return u'\u02C6';
    case 0x89: return u'\u2030';
    case 0x8A: return u'\u0160';
    case 0x8B: return u'\u2039';
    case 0x8C: return u'\u0152';
    case 0x8E: return u'\u017D';
    case 0x91: return u'\u2018';
    case 0x92: return u'\u2019';
    case 0x93: return u'\u201C';
    case 0x94: return u'\u201D';
    case 0x95: return u'\u2022';
    case 0x96: return u'\u2013';
    case 0x97: return u'\u2014';
    case 0x98: return u'\u02DC';
    case 0x99: return u'\u2122';
    case 0x9A: return u'\u0161';
    case 0x9B: return u'\u203A';
    case 0x9C: return u'\u0153';
    case 0x9E: return u'\u017E';
    case 0x9F: return u'\u0178';
    default: return static_cast<char16_t>(b);
  }
}

inline Text Decode(std::string_view bytes) {
  Text text;
  for (char b : bytes) text.push_back(DecodeByte(static_cast<unsigned char>(b)));
  return text;
}

// The byte that decodes to `c`: itself outside 0x80..0x9F, else by brute
// force over those (fast enough for the window tests' 20 MB files).
inline std::optional<char> ByteFor(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int b = 0x80; b < 0xA0; ++b)
    if (DecodeByte(static_cast<unsigned char>(b)) == c) return static_cast<char>(b);
  return std::nullopt;
}

inline bool Representable(TextView text) {
  for (char16_t c : text)
    if (!ByteFor(c)) return false;
  return true;
}

inline bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One "?" per character the code page lacks; a surrogate pair is one
// character, a surrogate on its own is one too.
inline std::string Encode(TextView text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (auto b = ByteFor(text[i])) {
      bytes.push_back(*b);
    } else {
      bytes.push_back('?');
      if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) ++i;
    }
  }
  return bytes;
}

// Lines of a decoded file, each closed by CR LF. CR LF or a CR alone closes a
// line; LF alone is text. An unterminated last line still counts; a trailing
// line end does not open an empty extra line.
inline Text Lines(TextView decoded) {
  enum class State { LineStart, InLine, JustAfterCr } state = State::LineStart;
  Text out;
  for (char16_t c : decoded) {
    if (state == State::JustAfterCr && c == u'\n') {
      state = State::LineStart;  // the LF belongs to the CR already written
      continue;
    }
    if (c == u'\r') {
      out += u"\r\n";
      state = State::JustAfterCr;
    } else {
      out.push_back(c);
      state = State::InLine;
    }
  }
  if (state == State::InLine) out += u"\r\n";
  return out;
}

// Left to right, each CR LF CR LF becomes CR LF and the scan goes on after the
// four replaced units, so what a replacement yields is never looked at again.
inline Text CollapseOnce(TextView text) {
  static constexpr TextView kDoubled = u"\r\n\r\n";
  Text out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, 4) == kDoubled) {
      out += u"\r\n";
      i += 4;
    } else {
      out.push_back(text[i]);
      ++i;
    }
  }
  return out;
}

inline Text OpenedText(TextView box, std::string_view fileBytes) {
  Text joined(box);
  // What "Apri" adds starts a line of its own, whatever the box ends with.
  if (!joined.empty() && !joined.ends_with(u"\r\n")) joined += u"\r\n";
  joined += Lines(Decode(fileBytes));
  return CollapseOnce(joined);
}

inline bool Contains(TextView text, TextView part) { return text.find(part) != TextView::npos; }

// A CR not followed by LF.
inline bool HasLoneCr(TextView text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) return true;
  return false;
}

inline bool IsSerialCaption(TextView caption) {
  if (caption.size() != 3) return false;
  for (char16_t c : caption)
    if (c < u'0' || c > u'9') return false;
  return caption != u"000";
}

// The caption the log must give whenever the few characters before its last
// "-+-" are plain digits (blanks, tabs and LFs aside), which is the shape of
// every line the program writes. Other windows only get the range check.
// Outer optional: no opinion; inner: the caption expected.
inline std::optional<std::optional<Text>> KnownCaption(TextView log) {
  std::optional<std::size_t> last;
  for (std::size_t i = 0; i + 3 <= log.size(); ++i)
    if (log[i] == u'-' && log[i + 1] == u'+' && log[i + 2] == u'-') last = i;
  if (!last) return std::optional<Text>{};
  const std::size_t from = *last >= 4 ? *last - 4 : 0;
  long value = 0;
  for (std::size_t i = from; i < *last; ++i) {
    const char16_t c = log[i];
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  const long next = value >= 999 ? 999 : value + 1;
  Text caption;
  caption.push_back(static_cast<char16_t>(u'0' + next / 100));
  caption.push_back(static_cast<char16_t>(u'0' + next / 10 % 10));
  caption.push_back(static_cast<char16_t>(u'0' + next % 10));
  return std::optional<Text>{caption};
}

// Small letters of the Windows-1252 repertoire above their capitals. ß, µ and
// ƒ have no capital in the code page and stay as they are.
inline constexpr TextView kSmall = u"abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþšœžÿ";
inline constexpr TextView kCapital =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŠŒŽŸ";
static_assert(kSmall.size() == kCapital.size());

inline Text Upper(TextView text) {
  Text out;
  for (char16_t c : text) {
    const auto at = kSmall.find(c);
    out.push_back(at == TextView::npos ? c : kCapital[at]);
  }
  return out;
}

// A call sign or band as the duplicate check compares it: blanks, control
// characters and the soft hyphen dropped from both ends, then upper-cased.
inline Text Worked(TextView field) {
  const auto invisible = [](char16_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD;
  };
  while (!field.empty() && invisible(field.front())) field.remove_prefix(1);
  while (!field.empty() && invisible(field.back())) field.remove_suffix(1);
  return Upper(field);
}

// 0-based index of the first `part` starting at or after `from`, by trying
// every start.
inline std::optional<std::size_t> FindFrom(TextView text, TextView part, std::size_t from) {
  for (std::size_t i = from; i + part.size() <= text.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < part.size() && same; ++k) same = text[i + k] == part[k];
    if (same) return i;
  }
  return std::nullopt;
}

// The call-sign field of a contact line and its band, read with FindFrom:
// each field ends at the first separator of its kind, the band is what
// follows the first "-->" after the received serial. `callAt` is the field's
// index in the line.
struct ContactLine {
  Text callSign;
  std::size_t callAt = 0;
  std::optional<Text> band;
};

inline std::optional<ContactLine> ReadContactLine(TextView line) {
  std::size_t at = 0;
  ContactLine contact;
  const TextView separators[] = {u"-+-", u"---", u"---", u"---59---", u"---"};
  for (int field = 0; field < 5; ++field) {
    const auto end = FindFrom(line, separators[field], at);
    if (!end) return std::nullopt;
    if (field == 3) {
      contact.callSign = Text(line.substr(at, *end - at));
      contact.callAt = at;
    }
    at = *end + separators[field].size();
  }
  if (const auto mark = FindFrom(line, u"-->", at)) contact.band = Text(line.substr(*mark + 3));
  return contact;
}

// Calls `visit(lineStart, line)` for every line of `log`, lines ending at CR,
// at LF or at the end of the log.
template <typename Visit>
void ForEachLine(TextView log, Visit visit) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= log.size(); ++i) {
    if (i < log.size() && log[i] != u'\r' && log[i] != u'\n') continue;
    visit(start, log.substr(start, i - start));
    start = i + 1;
  }
}

// Fuzz input bytes as a text: Windows-1252, or UTF-16LE pairs when `utf16`
// (an odd last byte is dropped), so texts outside the code page come up too.
inline Text TextFromBytes(std::string_view part, bool utf16) {
  if (!utf16) return Decode(part);
  Text text;
  for (std::size_t i = 0; i + 1 < part.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(part[i]) |
                                         static_cast<unsigned char>(part[i + 1]) << 8));
  return text;
}

}  // namespace model
