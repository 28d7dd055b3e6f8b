#include "qso_line_parse.h"

#include "codepage.h"
#include "qso_line.h"

namespace cardel {

namespace {

// What a hand-typed field holds between two words, which no format can write
// as one field. Narrower than IsInvisible on purpose: what is invisible
// around a field is dropped, but a control character or a no-break space
// inside one is only something the export folds to ASCII.
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool HasBlank(TextView field) {
  for (char16_t c : field)
    if (IsBlank(c)) return true;
  return false;
}

int TwoDigits(TextView text) { return (text[0] - u'0') * 10 + (text[1] - u'0'); }

std::optional<QsoTime> ReadTime(TextView text) {
  const auto digits = [](TextView t) {
    for (char16_t c : t)
      if (!IsDigit(c)) return false;
    return true;
  };
  QsoTime time;
  TextView minutes;
  if (text.size() == 4 && digits(text)) {
    time.hour = TwoDigits(text);
    minutes = text.substr(2);
  } else if (text.size() == 5 && (text.starts_with(u"0-1") || text.starts_with(u"0-2")) &&
             digits(text.substr(3))) {
    time.hour = 24 - (text[2] - u'0');
    time.dayOffset = -1;
    minutes = text.substr(3);
  } else {
    return std::nullopt;
  }
  time.minute = TwoDigits(minutes);
  if (time.hour > 23 || time.minute > 59) return std::nullopt;
  return time;
}

}  // namespace

std::variant<ParsedQso, QsoLineFault> ParseQsoLine(TextView line) {
  const auto fields = SplitQsoLine(line);
  if (!fields) return QsoLineFault::NotAContact;
  // Every field as the duplicate check reads a call sign: a hand-edited line
  // may carry blanks, no-break spaces or control characters around any of them.
  const TextView serial = WithoutInvisibleAround(fields->serial);
  const Text callSign = WorkedForm(fields->callSign);
  const TextView receivedSerial = WithoutInvisibleAround(fields->receivedSerial);

  ParsedQso qso;
  qso.locator = WorkedForm(fields->locator);
  if (fields->band) qso.band = Text(WithoutInvisibleAround(*fields->band));

  if (serial.empty()) return QsoLineFault::NoSerial;
  const auto utc = ReadTime(WithoutInvisibleAround(fields->time));
  if (!utc) return QsoLineFault::BadTime;
  if (callSign.empty()) return QsoLineFault::NoCallSign;
  if (receivedSerial.empty()) return QsoLineFault::NoReceivedSerial;
  if (HasBlank(serial) || HasBlank(callSign) || HasBlank(receivedSerial) || HasBlank(qso.locator))
    return QsoLineFault::BlankInField;

  qso.serial = Text(serial);
  qso.date = Text(WithoutInvisibleAround(fields->date));
  qso.time = *utc;
  qso.callSign = callSign;
  qso.receivedSerial = Text(receivedSerial);
  return qso;
}

std::optional<std::chrono::year_month_day> QsoDay(const ParsedQso& qso,
                                                 const DateReader& readDate) {
  const auto date = readDate(qso.date);
  if (!date || !date->ok()) return std::nullopt;
  const std::chrono::year_month_day day{std::chrono::sys_days(*date) +
                                        std::chrono::days(qso.time.dayOffset)};
  using std::chrono::year;
  if (day.year() < year(1000) || day.year() > year(9999)) return std::nullopt;
  return day;
}

std::vector<LogLine> SplitLogLines(std::string_view bytes) {
  std::vector<LogLine> lines;
  std::size_t number = 0;
  ForEachLine(DecodeWindows1252(bytes), LoneLineFeed::EndsLine, [&](TextView line) {
    ++number;
    if (!line.empty()) lines.push_back({number, Text(line)});
  });
  return lines;
}

}  // namespace cardel
