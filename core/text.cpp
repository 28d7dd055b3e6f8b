#include "text.h"

namespace cardel {

std::size_t Search(TextView text, TextView sought, std::size_t start) {
  if (text.empty() || start == 0 || start > text.size() + 1) return 0;
  const auto at = text.find(sought, start - 1);
  return at == TextView::npos ? 0 : at + 1;
}

namespace {

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

}  // namespace

Text UpperCase(TextView text) {
  Text upper(text);
  for (auto& c : upper) c = UpperCaseChar(c);
  return upper;
}

Text ZeroPadded(int n, int width) {
  Text digits;
  for (auto s = std::to_string(n); char c : s) digits.push_back(static_cast<char16_t>(c));
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

}  // namespace cardel
