#include "writers.h"

namespace cardel::logexport {

std::string_view ModeName(Mode mode) {
  switch (mode) {
    case Mode::Ssb: return "SSB";
    case Mode::Cw: return "CW";
    case Mode::Fm: return "FM";
  }
  return "SSB";
}

std::string Digits(long long n, int width) {
  std::string digits = std::to_string(n);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::string CompactDate(const std::chrono::year_month_day& date) {
  return Digits(int(date.year()), 4) + Digits(unsigned(date.month()), 2) +
         Digits(unsigned(date.day()), 2);
}

}  // namespace cardel::logexport
