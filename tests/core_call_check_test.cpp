#include <gtest/gtest.h>

#include "call_check.h"

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
    u"002-+-07/12/2026---0919---QQ9XYZ---59---013---JN61FW-->21 Mhz\r\n"
    u"003-+-07/12/2026---0920---lc1low---59---014---JN61FW\r\n";
}

struct MarkCase {
  const char* name;
  const char16_t* typed;
  bool multiband;
  const char16_t* band;
  CallMark mark;
  std::optional<std::size_t> found;
};

TEST(CheckCallSign, MarksAgainstTheWholeLog) {
  const MarkCase cases[] = {
      {"three characters are never searched", u"QQ0", false, u"...", CallMark::Normal, {}},
      {"lower case typed is found upper-cased", u"qq0abc", false, u"...", CallMark::Duplicate, 27},
      {"a prefix of a logged call matches", u"QQ0AB", false, u"...", CallMark::Duplicate, 27},
      {"absent", u"QQ1ABC", false, u"...", CallMark::Normal, 0},
      {"lower case in the log does not match", u"LC1LOW", false, u"...", CallMark::Normal, 0},
      {"multiband off ignores the band", u"QQ0ABC", false, u"50 Mhz", CallMark::Duplicate, 27},
      {"band in a later line of any station", u"QQ0ABC", true, u"21 Mhz", CallMark::Duplicate, 27},
      {"band nowhere after the call", u"QQ0ABC", true, u"50 Mhz", CallMark::NewBand, 27},
      {"band only before the call", u"QQ9XYZ", true, u"14 Mhz", CallMark::NewBand, 90},
      {"placeholder band not in log", u"QQ0ABC", true, u"...", CallMark::NewBand, 27},
      {"empty band is found at once", u"QQ0ABC", true, u"", CallMark::Duplicate, 27},
      {"date matches as text", u"2026", true, u"14 Mhz", CallMark::Duplicate, 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto check = CheckCallSign(c.typed, kLog, c.multiband, c.band);
    EXPECT_EQ(check.callSign, UpperCase(c.typed));
    EXPECT_EQ(check.mark, c.mark);
    EXPECT_EQ(check.foundPosition, c.found);
  }
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
    for (std::size_t start = 1; start <= text.size() + 1; ++start)
      ASSERT_EQ(Search(text, sought, start), NaiveSearch(text, sought, start))
          << "round " << round << " start " << start;
  }
}
