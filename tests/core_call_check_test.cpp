#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "call_check.h"
#include "generated_contest.h"
#include "qso_line.h"

using namespace cardel;

TEST(Search, FindsByExactCodeFromStart) {
  struct Case {
    const char16_t* text;
    const char16_t* sought;
    std::size_t start, expected;
  } cases[] = {
      {u"abcabc", u"bc", 1, 2}, {u"abcabc", u"bc", 3, 5}, {u"abcabc", u"BC", 1, 0},
      {u"", u"", 1, 0},         {u"abc", u"", 2, 2},      {u"abc", u"abcd", 1, 0},
      {u"abc", u"c", 3, 3},     {u"abc", u"a", 4, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start);
    EXPECT_EQ(Search(c.text, c.sought, c.start), c.expected);
  }
}

TEST(UpperCase, LettersOfTheLogFileRepertoire) {
  EXPECT_EQ(UpperCase(u"qq0abc/p"), u"QQ0ABC/P");
  EXPECT_EQ(UpperCase(u"àéÿšœžß÷µ"), u"ÀÉŸŠŒŽß÷µ");
}

namespace {
const Text kLog =
    u"001-+-07/12/2026---0918---QQ0ABC---59---012---JN61FW-->14 Mhz\r\n"
    u"002-+-07/12/2026---0919---QQ9XYZ---59---013---QQ0A12-->21 Mhz\r\n"
    u"003-+-07/12/2026---0920---lc1low---59---014---JN61FW\r\n"
    u"pioggia: QN4SS e Q1ABC/P ci hanno chiamato ---59--- QN4SS\r\n"
    u"004-+-07/12/2026---0-130---QS9ABC/P---59---2026---JN61FW-->7 Mhz\r\n"
    u"005-+-07/12/2026---0922---QQ0ABC---59---015---JN61FW-->\r\n"
    u"006-+-07/12/2026---0923---QQ0ABC---59---016---JN61FW\n"
    u"007-+-07/12/2026---0924---QM3WA---59---017---JN61FW-->50 Mhz\r"
    u"008-+-07/12/2026---0925---QM3WA---59---018---JN61FW-->144 Mhz";
}  // namespace

struct MarkCase {
  const char* name;
  const char16_t* typed;
  bool multiband;
  const char16_t* band;
  CallMark mark;
  std::optional<std::size_t> found;
};

TEST(CheckCallSign, MatchesTheCallSignFieldOfContactLinesOnly) {
  const MarkCase cases[] = {
      {"three characters are never searched", u"QQ0", false, u"...", CallMark::Normal, {}},
      {"lower case typed is found upper-cased", u"qq0abc", false, u"...", CallMark::Duplicate, 27},
      {"a prefix of a logged call is new", u"QQ0AB", false, u"...", CallMark::Normal, 0},
      {"a suffix of a logged call is new", u"Q0ABC", false, u"...", CallMark::Normal, 0},
      {"a prefix worked after the longer call", u"QM3W", false, u"...", CallMark::Normal, 0},
      {"/P is another station", u"QS9ABC", false, u"...", CallMark::Normal, 0},
      {"the /P station itself", u"qs9abc/p", false, u"...", CallMark::Duplicate, 267},
      {"inside a locator field", u"QQ0A12", false, u"...", CallMark::Normal, 0},
      {"a date field", u"2026", false, u"...", CallMark::Normal, 0},
      {"a received serial field", u"2026", true, u"7 Mhz", CallMark::Normal, 0},
      {"only in a hand-typed note", u"QN4SS", false, u"...", CallMark::Normal, 0},
      {"lower case in the log is the same station", u"LC1LOW", false, u"...", CallMark::Duplicate,
       153},
      {"old negative hour line", u"QS9ABC/P", true, u"7 Mhz", CallMark::Duplicate, 267},
      {"multiband off ignores the band", u"QQ0ABC", false, u"50 Mhz", CallMark::Duplicate, 27},
      {"worked on the chosen band", u"QQ0ABC", true, u"14 Mhz", CallMark::Duplicate, 27},
      {"band of another station's line", u"QQ0ABC", true, u"21 Mhz", CallMark::NewBand, 27},
      {"band on no line of the call", u"QQ0ABC", true, u"144 Mhz", CallMark::NewBand, 27},
      {"no band chosen, a line without band", u"QQ0ABC", true, u"...", CallMark::Duplicate, 27},
      {"no band chosen, lines with bands only", u"QM3WA", true, u"...", CallMark::NewBand, 442},
      {"empty band text, a line ending in -->", u"QQ0ABC", true, u"", CallMark::Duplicate, 27},
      {"empty band text, no such line", u"QM3WA", true, u"", CallMark::NewBand, 442},
      {"CR-ended line, its band", u"QM3WA", true, u"50 Mhz", CallMark::Duplicate, 442},
      {"last line without line end", u"QM3WA", true, u"144 Mhz", CallMark::Duplicate, 442},
      {"band text differs in case", u"QM3WA", true, u"144 MHZ", CallMark::Duplicate, 442},
      {"a call sign with a line end", u"QQ0ABC\r\n", false, u"...", CallMark::Normal, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto check = CheckCallSign(c.typed, kLog, c.multiband, c.band);
    EXPECT_EQ(check.callSign, UpperCase(c.typed));
    EXPECT_EQ(check.mark, c.mark);
    EXPECT_EQ(check.foundPosition, c.found);
  }
}

// Lines edited by hand or pasted into the log box read as the exporter reads
// them: blanks, control and invisible characters around a call sign or a band
// aside, letter case aside; inside a call sign they still make another one.
TEST(CheckCallSign, HandEditedLinesReadAsTheExporterReadsThem) {
  const Text log =
      u"001-+-d---0918--- q1abc\u00A0---59---012---JN61FW--> 144 mhz\t\r\n"
      u"002-+-d---0919---\tQ2ABC\x01---59---013---JN61FW-->\u00AD7 Mhz\r\n"
      u"003-+-d---0920---Q3\u00ADABC---59---014---JN61FW\r\n";
  const struct {
    const char16_t* typed;
    const char16_t* band;
    CallMark mark;
  } cases[] = {
      {u"Q1ABC", u"144 Mhz", CallMark::Duplicate},   {u"Q1ABC", u"432 Mhz", CallMark::NewBand},
      {u"Q2ABC", u" 7 MHZ ", CallMark::Duplicate},   {u"Q3ABC", u"...", CallMark::Normal},
      {u"Q3\u00ADABC", u"...", CallMark::Duplicate},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.band, c.band + std::char_traits<char16_t>::length(c.band)));
    EXPECT_EQ(CheckCallSign(c.typed, log, true, c.band).mark, c.mark);
  }
  EXPECT_EQ(OneWordText(u" q1\u00ADabc\u00A0\t\x01\r\nX"), u"q1abc");
}

TEST(CheckCallSign, OneHugeLineFullOfAlmostMatchesIsNotAContact) {
  Text line;
  for (int i = 0; i < 200000; ++i) line += u"---QQ0ABC---59---";
  EXPECT_EQ(CheckCallSign(u"QQ0ABC", line, true, u"...").mark, CallMark::Normal);
  EXPECT_EQ(CheckCallSign(u"QQ0ABC", u"1-+-d---t" + line, true, u"...").mark, CallMark::Duplicate);
}

TEST(CheckCallSign, EmptyLogAndColourValues) {
  EXPECT_EQ(CheckCallSign(u"QQ0ABC", u"", true, u"").mark, CallMark::Normal);
  EXPECT_EQ(ColourValue(CallMark::Normal), 0x80000012u);
  EXPECT_EQ(ColourValue(CallMark::Duplicate), 255u);
  EXPECT_EQ(ColourValue(CallMark::NewBand), 0xFF0000u);
}

namespace {

std::size_t NaiveSearch(TextView text, TextView sought, std::size_t start) {
  if (text.empty()) return 0;
  for (std::size_t at = start - 1; at + sought.size() <= text.size(); ++at)
    if (text.substr(at, sought.size()) == sought) return at + 1;
  return 0;
}

}  // namespace

TEST(Search, AgreesWithACharacterByCharacterSearch) {
  // A small alphabet with characters that differ only in their high byte, so
  // that near misses, repeats and matches at every offset all occur.
  const char16_t alphabet[] = {u'A', u'B', u'\r', u'\n', 0x0141, 0x4141};
  std::uint32_t state = 12345;
  auto next = [&] { return state = state * 1103515245u + 12345u, (state >> 16) % 6; };
  for (int round = 0; round < 300; ++round) {
    Text text, sought;
    const std::size_t length = next() * 9 + next() * 3 + round % 40;
    for (std::size_t i = 0; i < length; ++i) text.push_back(alphabet[next()]);
    const std::size_t soughtLength = 1 + round % 9;
    for (std::size_t i = 0; i < soughtLength; ++i) sought.push_back(alphabet[next() % 3]);
    const std::size_t first = next() % soughtLength;
    const std::size_t last = std::min(soughtLength - 1, first + 1 + next());
    for (std::size_t start = 1; start <= text.size() + 1; ++start) {
      const std::size_t expected = NaiveSearch(text, sought, start);
      ASSERT_EQ(Search(text, sought, start), expected) << "round " << round << " start " << start;
      if (first < last) {
        ASSERT_EQ(SearchAnchored(text, sought, start, first, last), expected)
            << "round " << round << " anchors " << first << ", " << last;
      }
    }
  }
}

namespace {

std::string Ascii(TextView text) { return std::string(text.begin(), text.end()); }

// A plain reading of the log, kept beside the replay: each line read with a
// regular expression whose lazy groups stop at the first separator of each
// kind, the worked stations and bands kept in sets.
class WorkedStations {
 public:
  void Read(TextView line) {
    static const std::regex kContactLine(
        R"(^.*?-\+-.*?---.*?---(.*?)---59---.*?---.*?(?:-->(.*))?$)");
    std::smatch m;
    const std::string text = Ascii(line);
    if (!std::regex_match(text, m, kContactLine)) return;
    calls_.insert(m[1]);
    callBands_.insert({m[1], m[2].matched ? std::optional(m[2].str()) : std::nullopt});
  }

  CallMark Mark(TextView call, bool multiband, TextView band) const {
    if (!calls_.contains(Ascii(call))) return CallMark::Normal;
    if (!multiband) return CallMark::Duplicate;
    const auto lineBand = band == u"..." ? std::nullopt : std::optional(Ascii(band));
    return callBands_.contains({Ascii(call), lineBand}) ? CallMark::Duplicate : CallMark::NewBand;
  }

 private:
  std::set<std::string> calls_;
  std::set<std::pair<std::string, std::optional<std::string>>> callBands_;
};

}  // namespace

TEST(CheckCallSign, ReplayedContestRefusesNoValidContactAndCatchesEveryDuplicate) {
  for (const bool multiband : {true, false}) {
    SCOPED_TRACE(multiband ? "multiband" : "single band");
    Text log;
    WorkedStations reference;
    std::set<std::pair<Text, Text>> logged;  // what the contest counts
    int refusedValid = 0, missedDuplicates = 0, duplicates = 0, number = 0;
    for (const GeneratedContact& contact : GeneratedContest(7, 1000)) {
      const Text band = multiband ? contact.band : Text(u"...");
      const CallMark mark = CheckCallSign(contact.callSign, log, multiband, band).mark;
      ASSERT_EQ(mark, reference.Mark(contact.callSign, multiband, band))
          << Ascii(contact.callSign) << " on " << Ascii(band) << " after " << number << " lines";
      const bool duplicate = !logged.insert({contact.callSign, band}).second;
      duplicates += duplicate;
      refusedValid += !duplicate && mark == CallMark::Duplicate;
      missedDuplicates += duplicate && mark != CallMark::Duplicate;
      if (mark == CallMark::Duplicate) continue;  // OK refuses it

      const QsoLine line = GeneratedLine(contact, ++number, multiband);
      log += line;
      reference.Read(TextView(line).substr(0, line.size() - 2));
      if (number % 37 == 0) {
        // A note that names a station, a separator and a band, never a contact.
        const Text note = u"nota: QZ" + contact.callSign + u" ---59--- " + contact.band;
        log += note + u"\r\n";
        reference.Read(note);
      }
    }
    EXPECT_GT(number, multiband ? 2000 : 900);
    EXPECT_GT(duplicates, 10);
    EXPECT_EQ(refusedValid, 0);
    EXPECT_EQ(missedDuplicates, 0);
  }
}
