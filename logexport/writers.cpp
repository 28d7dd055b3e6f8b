#include "writers.h"

namespace cardel::logexport {

ModeNames NamesOf(Mode mode) {
  switch (mode) {
    case Mode::Cw: return {"CW", "CW", "2"};
    case Mode::Fm: return {"FM", "FM", "6"};
    case Mode::Ssb: break;
  }
  return {"SSB", "PH", "1"};
}

std::string_view ModeName(Mode mode) { return NamesOf(mode).name; }

std::string Digits(int n, int width) { return ToUtf8(ZeroPadded(n, width)); }

std::string CompactDate(const std::chrono::year_month_day& date) {
  return Digits(int(date.year()), 4) + Digits(unsigned(date.month()), 2) +
         Digits(unsigned(date.day()), 2);
}

}  // namespace cardel::logexport
