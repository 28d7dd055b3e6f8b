#include "qso_line.h"

#include "codepage.h"

namespace cardel {

QsoLine ComposeQsoLine(const QsoFields& f) {
  QsoLine line;
  line.reserve(48 + f.date.size() + f.callSign.size() + f.receivedSerial.size() + f.locator.size() +
               (f.band ? f.band->size() : 0));
  line.append(f.serial).append(u"-+-").append(f.date).append(u"---").append(f.time);
  line.append(u"---").append(f.callSign).append(u"---59---").append(f.receivedSerial);
  line.append(u"---").append(f.locator);
  if (f.band) line.append(u"-->").append(*f.band);
  line.append(kLineEnd);
  return line;
}

namespace {

// Cuts the text in front of `separator` off `rest`; nothing when there is none.
std::optional<TextView> TakeUntil(TextView& rest, TextView separator) {
  const auto at = rest.find(separator);
  if (at == TextView::npos) return std::nullopt;
  const TextView field = rest.substr(0, at);
  rest.remove_prefix(at + separator.size());
  return field;
}

}  // namespace

std::optional<QsoLineFields> SplitQsoLine(TextView line) {
  TextView rest = line;
  QsoLineFields f;
  const auto take = [&rest](TextView& field, TextView separator) {
    const auto taken = TakeUntil(rest, separator);
    if (taken) field = *taken;
    return taken.has_value();
  };
  if (!take(f.serial, u"-+-") || !take(f.date, u"---") || !take(f.time, u"---") ||
      !take(f.callSign, u"---59---") || !take(f.receivedSerial, u"---"))
    return std::nullopt;
  const auto bandMark = rest.find(u"-->");
  f.locator = rest.substr(0, bandMark);
  if (bandMark != TextView::npos) f.band = rest.substr(bandMark + 3);
  return f;
}

bool IsInvisible(char16_t c) { return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD; }

TextView WithoutInvisibleAround(TextView field) {
  while (!field.empty() && IsInvisible(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsInvisible(field.back())) field.remove_suffix(1);
  return field;
}

Text WorkedForm(TextView field) { return UpperCase(WithoutInvisibleAround(field)); }

Text CallSignText(TextView text) {
  Text kept = SingleLineText(text);
  std::erase_if(kept, IsInvisible);
  return kept;
}

LogText AppendQsoLine(LogText logText, TextView qsoLine) {
  logText.append(qsoLine);
  return logText;
}

}  // namespace cardel
