#include "qso_entry.h"

#include "qso_line.h"

namespace cardel {

namespace {

std::optional<Text> Refusal(const QsoForm& form) {
  if (form.mark == CallMark::Duplicate) return Text(kDuplicateRefusal);
  if (form.callSign.empty()) return Text(kNoCallSignRefusal);
  if (form.receivedSerial.empty()) return Text(kNoReceivedSerialRefusal);
  if (!form.hfMode && form.locator.empty()) return Text(kNoLocatorRefusal);
  return std::nullopt;
}

}  // namespace

UtcStamp ToUtc(const LocalClock& local, bool gmtPlusOne) {
  const int offset = gmtPlusOne ? 1 : 2;
  UtcStamp utc{local.date, local.hour - offset, local.minute};
  if (utc.hour < 0) {
    utc.hour += 24;
    utc.date = std::chrono::sys_days{local.date} - std::chrono::days{1};
  }
  return utc;
}

std::variant<Message, QsoAccepted> EnterQso(const QsoForm& form, const LocalClock& clock,
                                            const DateFormatter& formatDate) {
  if (auto refusal = Refusal(form)) return Message{*refusal, Text(kApplicationTitle)};

  const UtcStamp utc = ToUtc(clock, form.gmtPlusOne);
  QsoFields fields{
      .serial = form.serialCaption,
      .date = formatDate(utc.date),
      .time = ZeroPadded(utc.hour, 2) + ZeroPadded(utc.minute, 2),
      .callSign = form.callSign,
      .receivedSerial = form.receivedSerial,
      .locator = form.locator,
  };
  if (form.band != kNoBand) fields.band = form.band;
  return QsoAccepted{ComposeQsoLine(fields), NextSerial(form.serialCaption)};
}

Text NextSerial(TextView caption) {
  int n = 0;
  for (char16_t c : caption) {
    if (c < u'0' || c > u'9' || n >= kLastSerial) break;
    n = n * 10 + (c - u'0');
  }
  return SerialAfter(n);
}

Text SerialAfter(double last) {
  return ZeroPadded(last < kLastSerial ? static_cast<int>(last) + 1 : kLastSerial, 3);
}

}  // namespace cardel
