#include "call_check.h"

namespace cardel {

CallCheck CheckCallSign(TextView typed, TextView logText, bool multiband, TextView bandText) {
  CallCheck check{.callSign = UpperCase(typed)};
  if (check.callSign.size() < kMinSearchedCallSign) return check;

  const auto found = Search(logText, check.callSign, 1);
  check.foundPosition = found;
  if (found == 0) return check;

  check.mark = CallMark::Duplicate;
  if (multiband && Search(logText, bandText, found) == 0) check.mark = CallMark::NewBand;
  return check;
}

}  // namespace cardel
