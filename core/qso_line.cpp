#include "qso_line.h"

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

LogText AppendQsoLine(LogText logText, TextView qsoLine) {
  logText.append(qsoLine);
  return logText;
}

}  // namespace cardel
