#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "export.h"

// Dates as dd/MM/yyyy, read by hand: the program's reader is built on QDate.
inline std::optional<std::chrono::year_month_day> ReadDayMonthYear(cardel::TextView text) {
  if (text.size() != 10 || text[2] != u'/' || text[5] != u'/') return std::nullopt;
  int n[3] = {};
  const int at[3][2] = {{0, 2}, {3, 2}, {6, 4}};
  for (int f = 0; f < 3; ++f)
    for (int i = at[f][0]; i < at[f][0] + at[f][1]; ++i) {
      if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
      n[f] = n[f] * 10 + (text[i] - u'0');
    }
  using namespace std::chrono;
  return year_month_day{year(n[2]), month(unsigned(n[1])), day(unsigned(n[0]))};
}

// Diagnostics and other lists of lines as one text, each line ending in LF.
inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}
