#include "qso_line.h"

#include "codepage.h"

namespace cardel {

QsoLine ComposeQsoLine(const QsoFields& f) {
  QsoLine line;
  line.reserve(48 + f.date.size() + f.callSign.size() + f.receivedSerial.size() + f.locator.size() +
               (f.band ? f.band->size() : 0));
  line.append(f.serial).append(kSerialSeparator).append(f.date);
  line.append(kFieldSeparator).append(f.time).append(kFieldSeparator).append(f.callSign);
  line.append(kReportSeparator).append(f.receivedSerial).append(kFieldSeparator).append(f.locator);
  if (f.band) line.append(kBandSeparator).append(*f.band);
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
  if (!take(f.serial, kSerialSeparator) || !take(f.date, kFieldSeparator) ||
      !take(f.time, kFieldSeparator) || !take(f.callSign, kReportSeparator) ||
      !take(f.receivedSerial, kFieldSeparator))
    return std::nullopt;
  const auto bandMark = rest.find(kBandSeparator);
  f.locator = rest.substr(0, bandMark);
  if (bandMark != TextView::npos) f.band = rest.substr(bandMark + kBandSeparator.size());
  return f;
}

TextView LineEndBefore(TextView logText) {
  return logText.empty() || logText.ends_with(kLineEnd) ? TextView() : kLineEnd;
}

bool IsInvisible(char16_t c) { return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD; }

TextView WithoutInvisibleAround(TextView field) {
  while (!field.empty() && IsInvisible(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsInvisible(field.back())) field.remove_suffix(1);
  return field;
}

Text WorkedForm(TextView field) { return UpperCase(WithoutInvisibleAround(field)); }

Text OneWordText(TextView text) {
  Text kept = SingleLineText(text);
  std::erase_if(kept, IsInvisible);
  return kept;
}

Text AppendedQsoLine(TextView logText, TextView qsoLine) {
  return Join({LineEndBefore(logText), qsoLine});
}

}  // namespace cardel
