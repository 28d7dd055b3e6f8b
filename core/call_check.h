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
  // 1-based position of the call sign in the log, 0 when absent; no value
  // when the call sign is too short to be searched for.
  std::optional<std::size_t> foundPosition;

  friend bool operator==(const CallCheck&, const CallCheck&) = default;
};

// Searching starts at this many characters of call sign.
inline constexpr std::size_t kMinSearchedCallSign = 4;

// Marks the typed call sign against the whole log. In multiband mode a call
// sign already in the log is NewBand when the band text does not occur from
// the call sign's first occurrence to the end of the log.
CallCheck CheckCallSign(TextView typed, TextView logText, bool multiband, TextView bandText);

}  // namespace cardel
