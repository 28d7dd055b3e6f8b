#include <gtest/gtest.h>

#include "qso_line.h"
#include "qso_line_parse.h"

using namespace cardel;

namespace {

ParsedQso Parsed(TextView line) {
  auto result = ParseQsoLine(line);
  EXPECT_TRUE(std::holds_alternative<ParsedQso>(result)) << int(std::get<QsoLineFault>(result));
  return std::holds_alternative<ParsedQso>(result) ? std::get<ParsedQso>(result) : ParsedQso{};
}

}  // namespace

struct ParseCase {
  const char* name;
  const char16_t* line;
  ParsedQso expected;
};

TEST(ParseQsoLine, ReadsEveryField) {
  const ParseCase cases[] = {
      {"without band",
       u"001-+-07/12/2026---0918---Q1ABC---59---012---JN61FW",
       {u"001", u"07/12/2026", {9, 18, 0}, u"Q1ABC", u"012", u"JN61FW", std::nullopt}},
      {"with band",
       u"002-+-07/12/2026---2359---Q1ABC---59---012---JN61FW-->1296 Mhz",
       {u"002", u"07/12/2026", {23, 59, 0}, u"Q1ABC", u"012", u"JN61FW", u"1296 Mhz"}},
      {"HF: empty locator then band",
       u"003-+-7.12.26---0000---Q2XY---59---5----->14 Mhz",
       {u"003", u"7.12.26", {0, 0, 0}, u"Q2XY", u"5", u"", u"14 Mhz"}},
      {"HF: empty locator, no band",
       u"004-+-2026-12-07---1200---Q2XY---59---5---",
       {u"004", u"2026-12-07", {12, 0, 0}, u"Q2XY", u"5", u"", std::nullopt}},
      {"hour -1 before local midnight",
       u"005-+-08/12/2026---0-130---Q1ABC---59---012---JN61FW",
       {u"005", u"08/12/2026", {23, 30, -1}, u"Q1ABC", u"012", u"JN61FW", std::nullopt}},
      {"hour -2, minute 05",
       u"006-+-08/12/2026---0-205---Q1ABC---59---012---JN61FW-->144 Mhz",
       {u"006", u"08/12/2026", {22, 5, -1}, u"Q1ABC", u"012", u"JN61FW", u"144 Mhz"}},
      {"hand-edited: lower case and blanks around fields",
       u" 7 -+- 07/12/2026 --- 0918 ---q1abc/p---59--- 12 ---jn61fw -->  432 Mhz ",
       {u"7", u"07/12/2026", {9, 18, 0}, u"Q1ABC/P", u"12", u"JN61FW", u"432 Mhz"}},
      {"Windows-1252 letters are upper-cased",
       u"008-+-d---0918---q1\u00e8---59---1---jn\u00e0",
       {u"008", u"d", {9, 18, 0}, u"Q1\u00c8", u"1", u"JN\u00c0", std::nullopt}},
      {"a separator inside the locator splits off the band",
       u"009-+-d---0918---Q1ABC---59---1---JN-->61-->FW",
       {u"009", u"d", {9, 18, 0}, u"Q1ABC", u"1", u"JN", u"61-->FW"}},
      {"extra separators go to the locator",
       u"010-+-d---0918---Q1ABC---59---1---2---JN61FW",
       {u"010", u"d", {9, 18, 0}, u"Q1ABC", u"1", u"2---JN61FW", std::nullopt}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parsed(c.line), c.expected);
  }
}

TEST(ParseQsoLine, ReadsBackWhatComposeQsoLineWrote) {
  QsoFields f{u"123", u"31/12/26", u"0-159", u"Q9ZZ", u"0042", u"RR99XX", u"50 Mhz"};
  Text line = ComposeQsoLine(f);
  line.resize(line.size() - kLineEnd.size());
  const ParsedQso expected{u"123",  u"31/12/26", {23, 59, -1}, u"Q9ZZ",
                           u"0042", u"RR99XX",   u"50 Mhz"};
  EXPECT_EQ(Parsed(line), expected);
}

struct FaultCase {
  const char* name;
  const char16_t* line;
  QsoLineFault fault;
};

TEST(ParseQsoLine, SaysWhyALineIsNotAContact) {
  const FaultCase cases[] = {
      {"free text", u"ciao a tutti", QsoLineFault::NotAContact},
      {"no report separator", u"001-+-d---0918---Q1ABC---012---JN61FW", QsoLineFault::NotAContact},
      {"cut after the report", u"001-+-d---0918---Q1ABC---59---012", QsoLineFault::NotAContact},
      {"no date separator", u"001-+-d", QsoLineFault::NotAContact},
      {"empty serial", u"-+-d---0918---Q1ABC---59---012---JN61FW", QsoLineFault::NoSerial},
      {"three-digit time", u"001-+-d---918---Q1ABC---59---012---JN61FW", QsoLineFault::BadTime},
      {"hour 24", u"001-+-d---2400---Q1ABC---59---012---JN61FW", QsoLineFault::BadTime},
      {"minute 60", u"001-+-d---1260---Q1ABC---59---012---JN61FW", QsoLineFault::BadTime},
      {"letters in time", u"001-+-d---12a0---Q1ABC---59---012---JN61FW", QsoLineFault::BadTime},
      {"hour -3", u"001-+-d---0-330---Q1ABC---59---012---JN61FW", QsoLineFault::BadTime},
      {"hour -1, minute 75", u"001-+-d---0-175---Q1ABC---59---012---JN", QsoLineFault::BadTime},
      {"empty call sign", u"001-+-d---0918------59---012---JN61FW", QsoLineFault::NoCallSign},
      {"blank call sign", u"001-+-d---0918---  ---59---012---JN61FW", QsoLineFault::NoCallSign},
      {"empty received serial", u"001-+-d---0918---Q1ABC---59------JN61FW",
       QsoLineFault::NoReceivedSerial},
      {"blank inside the call sign", u"001-+-d---0918---Q1 ABC---59---012---JN61FW",
       QsoLineFault::BlankInField},
      {"blank inside the locator", u"001-+-d---0918---Q1ABC---59---012---JN61 FW",
       QsoLineFault::BlankInField},
      {"tab inside the received serial", u"001-+-d---0918---Q1ABC---59---0\t12---JN61FW",
       QsoLineFault::BlankInField},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto result = ParseQsoLine(c.line);
    ASSERT_TRUE(std::holds_alternative<QsoLineFault>(result));
    EXPECT_EQ(std::get<QsoLineFault>(result), c.fault);
  }
}

struct SplitCase {
  const char* name;
  std::string_view bytes;
  std::vector<LogLine> lines;
};

TEST(SplitLogLines, EndsLinesAtEveryKindOfLineEndAndSkipsEmptyOnes) {
  const SplitCase cases[] = {
      {"nothing", "", {}},
      {"CR LF, last one unterminated", "a\r\nb", {{1, u"a"}, {2, u"b"}}},
      {"saved file: doubled line end at the end", "a\r\nb\r\n\r\n", {{1, u"a"}, {2, u"b"}}},
      {"lone CR and lone LF", "a\rb\nc", {{1, u"a"}, {2, u"b"}, {3, u"c"}}},
      {"empty lines keep their numbers", "\r\n\na\r\rb\n", {{3, u"a"}, {5, u"b"}}},
      {"LF CR is two line ends", "a\n\rb", {{1, u"a"}, {3, u"b"}}},
      {"Windows-1252 bytes", "\xe8\x80\r\n", {{1, u"\u00e8\u20ac"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitLogLines(c.bytes), c.lines);
  }
}
