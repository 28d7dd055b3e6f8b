#include "text.h"

#include <bit>

// MSVC has SSE2 on every x64 target but does not define __SSE2__.
#if defined(__SSE2__) || defined(_M_X64)
#define CARDEL_HAS_SSE2 1
#include <emmintrin.h>
#endif

namespace cardel {

namespace {

// The duplicate check scans the whole log on every keystroke. Eight
// characters at a time, this looks for places where the two anchor
// characters of `sought` (at `first` and `last`) both match, and compares the
// whole of it only there.
std::size_t Find(TextView text, TextView sought, std::size_t from, std::size_t first,
                 std::size_t last) {
#if defined(CARDEL_HAS_SSE2)
  const std::size_t m = sought.size();
  if (m >= 2 && first < last && last < m) {
    constexpr std::size_t kLanes = 8;
    const __m128i firstChar = _mm_set1_epi16(static_cast<short>(sought[first]));
    const __m128i lastChar = _mm_set1_epi16(static_cast<short>(sought[last]));
    std::size_t at = from;
    for (; at + m - 1 + kLanes <= text.size(); at += kLanes) {
      const auto* head = reinterpret_cast<const __m128i*>(text.data() + at + first);
      const auto* tail = reinterpret_cast<const __m128i*>(text.data() + at + last);
      const __m128i both = _mm_and_si128(_mm_cmpeq_epi16(_mm_loadu_si128(head), firstChar),
                                         _mm_cmpeq_epi16(_mm_loadu_si128(tail), lastChar));
      // Two mask bits per character.
      for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(both)); mask != 0;
           mask &= mask - 1) {
        const std::size_t candidate = at + std::countr_zero(mask) / 2;
        mask &= mask - 1;
        if (std::char_traits<char16_t>::compare(text.data() + candidate, sought.data(), m) == 0)
          return candidate;
      }
    }
    return text.find(sought, at);
  }
#endif
  (void)first;
  (void)last;
  return text.find(sought, from);
}

}  // namespace

std::size_t Search(TextView text, TextView sought, std::size_t start) {
  return SearchAnchored(text, sought, start, 0, sought.empty() ? 0 : sought.size() - 1);
}

std::size_t SearchAnchored(TextView text, TextView sought, std::size_t start, std::size_t first,
                           std::size_t last) {
  if (text.empty() || start == 0 || start > text.size() + 1) return 0;
  const auto at = Find(text, sought, start - 1, first, last);
  return at == TextView::npos ? 0 : at + 1;
}

char16_t UpperCaseChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 0x20;
  // Latin-1 à..þ, except the division sign.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case 0xFF: return 0x178;   // ÿ -> Ÿ
    case 0x161: return 0x160;  // š -> Š
    case 0x153: return 0x152;  // œ -> Œ
    case 0x17E: return 0x17D;  // ž -> Ž
    default: return c;
  }
}

Text UpperCase(TextView text) {
  Text upper(text);
  for (auto& c : upper) c = UpperCaseChar(c);
  return upper;
}

Text Join(std::initializer_list<TextView> parts) {
  Text text;
  for (TextView part : parts) text.append(part);
  return text;
}

Text ZeroPadded(int n, int width) {
  Text digits;
  for (auto s = std::to_string(n); char c : s) digits.push_back(static_cast<char16_t>(c));
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

}  // namespace cardel
