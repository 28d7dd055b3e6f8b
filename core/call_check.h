#pragma once

#include <cstdint>
#include <optional>

#include "text.h"

namespace cardel {

// The duplicate verdict on the call sign being typed.
enum class CallMark { Normal, Duplicate, NewBand };

// The mark's colour in the window system's 0x00BBGGRR encoding; Normal names
// the system colour of push-button text.
constexpr std::uint32_t ColourValue(CallMark mark) {
  switch (mark) {
    case CallMark::Duplicate: return 0x0000FF;
    case CallMark::NewBand: return 0xFF0000;
    case CallMark::Normal: break;
  }
  return 0x80000012;
}

struct CallCheck {
  Text callSign;  // the typed text, upper-cased
  CallMark mark = CallMark::Normal;
  // 1-based position of the call-sign field of the first contact line that
  // holds the call sign, 0 when none does; no value when the call sign is too
  // short to be searched for.
  std::optional<std::size_t> foundPosition;

  friend bool operator==(const CallCheck&, const CallCheck&) = default;
};

// Searching starts at this many characters of call sign.
inline constexpr std::size_t kMinSearchedCallSign = 4;

// Marks the typed call sign against the contact lines of the log: Duplicate
// when some line's call-sign field reads as the upper-cased call sign (and,
// in multiband mode, its band reads as the band text, kNoBand meaning a line
// without band), both read as WorkedForm reads them; in multiband mode
// NewBand when the call sign is in the log on other bands only. Notes and
// other lines that are not in the layout of a contact line never make a
// duplicate.
CallCheck CheckCallSign(TextView typed, TextView logText, bool multiband, TextView bandText);

}  // namespace cardel
