#pragma once

#include "text.h"

namespace cardel {

inline constexpr TextView kApplicationTitle = u"Cardel_eng";
inline constexpr TextView kLogFileTitle = u"Ventor Cardel";

enum class MessageIcon { None, Information, Exclamation };

// A message for the operator, shown by the window in a modal box with one OK
// button. The core only decides what it says.
struct Message {
  Text text;
  Text title;
  MessageIcon icon = MessageIcon::None;

  friend bool operator==(const Message&, const Message&) = default;
};

}  // namespace cardel
