#include "history.h"

#include <chrono>
#include <string>
#include <variant>

#include "codepage.h"
#include "locator.h"
#include "qso_line.h"
#include "qso_line_parse.h"

namespace cardel {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(char16_t c) { return c >= u'A' && c <= u'Z'; }

bool AllDigits(TextView text) {
  for (const char16_t c : text)
    if (!IsDigit(c)) return false;
  return true;
}

bool IsCallSign(TextView call) {
  bool letter = false;
  bool digit = false;
  for (const char16_t c : call) {
    if (IsInvisible(c)) return false;
    letter = letter || IsLetter(c);
    digit = digit || IsDigit(c);
  }
  return call.size() >= 3 && letter && digit;
}

std::optional<Text> LocatorIn(TextView field) {
  Text locator = WorkedForm(field);
  if (locator.size() != 6) return std::nullopt;
  std::string ascii;
  for (const char16_t c : locator) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  if (!IsLocator(ascii)) return std::nullopt;
  return locator;
}

int Number(TextView digits) {
  int n = 0;
  for (const char16_t c : digits) n = n * 10 + (c - u'0');
  return n;
}

std::optional<HistoryDate> ReadDate(TextView yyyymmdd) {
  if (yyyymmdd.size() != 8 || !AllDigits(yyyymmdd)) return std::nullopt;
  const int year = Number(yyyymmdd.substr(0, 4));
  const int month = Number(yyyymmdd.substr(4, 2));
  const int day = Number(yyyymmdd.substr(6, 2));
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  return year * 10000 + month * 100 + day;
}

// EDI gives the year in two digits; its contests are from 1980 on.
std::optional<HistoryDate> ReadEdiDate(TextView yymmdd) {
  if (yymmdd.size() != 6 || !AllDigits(yymmdd)) return std::nullopt;
  const bool last = yymmdd[0] >= u'8';
  return ReadDate(Join({last ? u"19" : u"20", yymmdd}));
}

// The fields between the separators, empty ones included.
template <typename IsSeparator>
void SplitFields(TextView line, IsSeparator isSeparator, std::vector<TextView>& fields) {
  fields.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i)
    if (i == line.size() || isSeparator(line[i])) {
      fields.push_back(WithoutInvisibleAround(line.substr(start, i - start)));
      start = i + 1;
    }
}

// The words of a line, however many blanks stand between them.
void SplitWords(TextView line, std::vector<TextView>& words) {
  SplitFields(line, IsInvisible, words);
  std::erase_if(words, [](TextView word) { return word.empty(); });
}

bool StartsWithUpperCased(TextView line, TextView upperCasePrefix) {
  return line.size() >= upperCasePrefix.size() &&
         UpperCase(line.substr(0, upperCasePrefix.size())) == upperCasePrefix;
}

bool IsComment(TextView content) { return content.front() == u'#'; }
bool IsEdiSection(TextView content) { return content.front() == u'['; }
bool IsColumnOrder(TextView content) {
  return content.front() == u'!' && StartsWithUpperCased(content, u"!!ORDER!!");
}

HistoryFormat FormatOf(TextView firstContent) {
  if (IsEdiSection(firstContent) && StartsWithUpperCased(firstContent, u"[REG1TEST"))
    return HistoryFormat::Edi;
  if (IsColumnOrder(firstContent)) return HistoryFormat::CallHistory;
  if (SplitQsoLine(firstContent)) return HistoryFormat::CardelLog;
  return HistoryFormat::Plain;
}

// Reads the lines of one file, blank lines and comments already left out.
class LineReader {
 public:
  explicit LineReader(HistoryFileRead& read) : read_(read) {}

  void read(TextView content) {
    switch (read_.format) {
      case HistoryFormat::Edi: return readEdi(content);
      case HistoryFormat::CallHistory: return readCallHistory(content);
      case HistoryFormat::CardelLog:
      case HistoryFormat::Plain: return readLogOrPlain(content);
    }
  }

 private:
  void keep(TextView callField, std::optional<Text> locator, std::optional<HistoryDate> date) {
    Text call = WorkedForm(callField);
    if (!locator || !IsCallSign(call)) {
      ++read_.skipped;
      return;
    }
    read_.entries.push_back({std::move(call), {std::move(*locator), date}});
  }

  // Date;Time;Call;Mode;SentRST;SentNr;RcvdRST;RcvdNr;RcvdExch;RcvdWWL;...
  void readEdi(TextView content) {
    if (IsEdiSection(content)) {
      inRecords_ = StartsWithUpperCased(content, u"[QSORECORDS");
      return;
    }
    if (!inRecords_) return;  // the header's key=value lines
    SplitFields(
        content, [](char16_t c) { return c == u';'; }, fields_);
    if (fields_.size() < 10) {
      ++read_.skipped;
      return;
    }
    keep(fields_[2], LocatorIn(fields_[9]), ReadEdiDate(fields_[0]));
  }

  // Shared VHF files mix "," and ";", even within one file.
  void splitColumns(TextView content) {
    SplitFields(
        content, [](char16_t c) { return c == u',' || c == u';'; }, fields_);
  }

  void readCallHistory(TextView content) {
    if (IsColumnOrder(content)) return readColumnOrder(content);
    splitColumns(content);
    const auto field = [&](std::optional<std::size_t> column) {
      return column && *column < fields_.size() ? fields_[*column] : TextView();
    };
    auto locator = LocatorIn(field(loc1_));
    if (!locator) locator = LocatorIn(field(loc2_));
    keep(field(call_), std::move(locator), std::nullopt);
  }

  // "!!Order!!,Call,Name,Loc1,": the names of the columns of the lines below,
  // the first one after the mark being the lines' first.
  void readColumnOrder(TextView content) {
    splitColumns(content);
    call_ = loc1_ = loc2_ = std::nullopt;
    for (std::size_t i = 1; i < fields_.size(); ++i) {
      const Text name = UpperCase(fields_[i]);
      if (name == u"CALL") call_ = i - 1;
      if (name == u"LOC1") loc1_ = i - 1;
      if (name == u"LOC2") loc2_ = i - 1;
    }
  }

  void readLogOrPlain(TextView content) {
    if (SplitQsoLine(content)) return readContactLine(content);
    // "CALL;LOCATOR" when the call sign ends at a ";", else blank-separated.
    const auto semicolon = content.find(u';');
    if (semicolon != TextView::npos && IsCallSign(WorkedForm(content.substr(0, semicolon))))
      SplitFields(
          content, [](char16_t c) { return c == u';'; }, fields_);
    else
      SplitWords(content, fields_);
    if (fields_.size() < 2) {
      ++read_.skipped;
      return;
    }
    keep(fields_[0], LocatorIn(fields_[1]),
         fields_.size() > 2 ? ReadDate(fields_[2]) : std::nullopt);
  }

  // The log's dates are the short-date format of whichever machine wrote
  // it, so its contacts count as undated, the later line the newer.
  void readContactLine(TextView content) {
    const auto parsed = ParseQsoLine(content);
    const auto* qso = std::get_if<ParsedQso>(&parsed);
    if (!qso) {
      ++read_.skipped;
      return;
    }
    keep(qso->callSign, LocatorIn(qso->locator), std::nullopt);
  }

  HistoryFileRead& read_;
  std::vector<TextView> fields_;  // reused from line to line
  bool inRecords_ = false;
  std::optional<std::size_t> call_, loc1_, loc2_;
};

}  // namespace

HistoryFileRead ReadHistoryFile(std::string_view bytes) {
  const Text text = DecodeUtf8OrWindows1252(bytes);
  HistoryFileRead read;
  LineReader reader(read);
  bool formatKnown = false;
  ForEachLine(text, LoneLineFeed::EndsLine, [&](TextView line) {
    const TextView content = WithoutInvisibleAround(line);
    if (content.empty() || IsComment(content)) return;
    if (!formatKnown) {
      read.format = FormatOf(content);
      formatKnown = true;
    }
    reader.read(content);
  });
  return read;
}

void History::add(HistoryFileRead file) {
  known_.reserve(known_.size() + file.entries.size());
  for (HistoryEntry& entry : file.entries) {
    const auto [kept, inserted] = known_.try_emplace(std::move(entry.callSign), entry.known);
    const bool older =
        kept->second.date && entry.known.date && *entry.known.date < *kept->second.date;
    if (!inserted && !older) kept->second = std::move(entry.known);
  }
}

std::optional<TextView> History::locatorOf(TextView typedCallSign) const {
  const auto found = known_.find(WorkedForm(typedCallSign));
  if (found == known_.end()) return std::nullopt;
  return TextView(found->second.locator);
}

}  // namespace cardel
