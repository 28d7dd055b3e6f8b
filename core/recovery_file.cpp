#include "recovery_file.h"

#include "codepage.h"

namespace cardel {

std::string RecoveryBytes(TextView logText) { return EncodeWindows1252(logText); }

std::size_t CountLogLines(TextView logText) {
  std::size_t lines = 0;
  ForEachLine(logText, LoneLineFeed::InLine, [&lines](TextView) { ++lines; });
  return lines;
}

Text KeptRecoveryFileName(const FileStamp& s, int attempt) {
  Text name = Join({u"cardel-recupero-", ZeroPadded(s.year, 4), u"-", ZeroPadded(s.month, 2), u"-",
                    ZeroPadded(s.day, 2), u"_", ZeroPadded(s.hour, 2), u"-",
                    ZeroPadded(s.minute, 2), u"-", ZeroPadded(s.second, 2)});
  if (attempt > 1) name += Join({u"-", ZeroPadded(attempt, 1)});
  return name + u".txt";
}

}  // namespace cardel
