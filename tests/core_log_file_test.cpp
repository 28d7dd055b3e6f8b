#include <gtest/gtest.h>

#include "codepage.h"
#include "log_file.h"

using namespace cardel;
using namespace std::string_literals;

namespace {

Text Line(const char16_t* serial, const char16_t* call = u"QQ0ABC") {
  return Text(serial) + u"-+-07/12/2026---0918---" + call + u"---59---012---JN61FW\r\n";
}

OpenedLog Open(TextView box, std::string_view file) {
  auto result = OpenLog(box, file);
  EXPECT_TRUE(std::holds_alternative<OpenedLog>(result));
  return std::get<OpenedLog>(result);
}

SaveOrder Save(TextView log) {
  auto result = SaveLog(log, u"/opt/cardel/cardel.txt");
  EXPECT_TRUE(std::holds_alternative<SaveOrder>(result));
  return std::get<SaveOrder>(result);
}

}  // namespace

TEST(SaveLog, RefusesAnEmptyLog) {
  auto result = SaveLog(u"", u"/p/cardel.txt");
  ASSERT_TRUE(std::holds_alternative<Message>(result));
  EXPECT_EQ(std::get<Message>(result), (Message{u"Impossibile salvare un LOG vuoto",
                                                u"Ventor Cardel", MessageIcon::Information}));
}

TEST(SaveLog, WritesTheLogThenOneLineEnd) {
  const auto order = Save(Line(u"001") + Line(u"002"));
  EXPECT_EQ(order.bytes,
            "001-+-07/12/2026---0918---QQ0ABC---59---012---JN61FW\r\n"
            "002-+-07/12/2026---0918---QQ0ABC---59---012---JN61FW\r\n\r\n");
  EXPECT_EQ(order.success, (Message{u"Log salvato in /opt/cardel/cardel.txt", u"Ventor Cardel",
                                    MessageIcon::Information}));
  EXPECT_EQ(Save(u"no end").bytes, "no end\r\n");
  EXPECT_EQ(Save(u" ").bytes, " \r\n");
}

TEST(FailureMessages, NameThePathAndTheReason) {
  EXPECT_EQ(SaveFailedMessage(u"/p/cardel.txt", u"Permission denied"),
            (Message{u"Impossibile salvare il LOG in /p/cardel.txt\nPermission denied",
                     u"Ventor Cardel", MessageIcon::Exclamation}));
  EXPECT_EQ(ReadFailedMessage(u"/p/cardel.txt", u"Permission denied").text,
            u"Impossibile leggere il LOG da /p/cardel.txt\nPermission denied");
}

TEST(ReadLogLines, LineRules) {
  const std::pair<std::string, Text> cases[] = {
      {"", u""},
      {"A\r\nB\r\n", u"A\r\nB\r\n"},
      {"A\r\n\r\n", u"A\r\n\r\n"},
      {"A\rB", u"A\r\nB\r\n"},
      {"A\nB\n", u"A\nB\n\r\n"},
      {"last", u"last\r\n"},
      {"\r", u"\r\n"},
      {"\r\r\n", u"\r\n\r\n"},
      {"\n", u"\n\r\n"},
      {"a\0b"s, u"a\0b\r\n"s},
  };
  for (const auto& [bytes, lines] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(ReadLogLines(bytes), lines);
  }
}

TEST(CollapseDoubledLineEnds, SinglePassHalvesRunsRoundingUp) {
  const std::pair<Text, Text> cases[] = {
      {u"", u""},
      {u"a\r\n", u"a\r\n"},
      {u"a\r\n\r\n", u"a\r\n"},
      {u"a\r\n\r\n\r\n", u"a\r\n\r\n"},
      {u"a\r\n\r\n\r\n\r\n", u"a\r\n\r\n"},
      {u"a\r\n\r\n\r\n\r\n\r\n", u"a\r\n\r\n\r\n"},
      {u"\r\n\r\nb\r\n\r\n", u"\r\nb\r\n"},
      {u"a\r\r\n\n", u"a\r\r\n\n"},
  };
  for (const auto& [text, collapsed] : cases) EXPECT_EQ(CollapseDoubledLineEnds(text), collapsed);
}

TEST(ReadNumber, LongestLeadingDecimalIgnoringBlanks) {
  const std::pair<const char16_t*, double> cases[] = {
      {u"\n041", 41}, {u" 7", 7},    {u"1 2", 12},  {u"abc", 0},  {u"", 0},
      {u"-4", -4},    {u"1.5", 1.5}, {u"1e2", 100}, {u"+12", 12}, {u"12x3", 12},
      {u"1e", 1},     {u"\t9\t", 9}, {u".5", 0.5},  {u"-", 0},    {u"\r001", 0},
  };
  for (auto [text, value] : cases) {
    SCOPED_TRACE(testing::Message() << value);
    EXPECT_EQ(ReadNumber(text), value);
  }
}

TEST(RestoreSerial, AlwaysThreeDigitsOrUnchanged) {
  const std::pair<Text, std::optional<Text>> cases[] = {
      {Line(u"001") + Line(u"001"), u"002"},
      {Line(u"001") + Line(u"009"), u"010"},
      {Line(u"001") + Line(u"099"), u"100"},
      {Line(u"001") + Line(u"998"), u"999"},
      {Line(u"001") + Line(u"999"), u"999"},
      {u"x\n1000-+-", u"999"},
      {Line(u"041"), u"042"},  // one-contact log: read from the start
      {u"-+-", u"001"},
      {u"no separator at all", std::nullopt},
      {u"", std::nullopt},
      {u"x\n -4-+-", std::nullopt},
      {u"\n1.5-+-", std::nullopt},
      {u"\n1e2-+-", u"101"},
      {u"\n 7-+-", u"008"},
      {u"\nabc-+-", u"001"},
      {Line(u"002") + u"003-+-X\r\n" + Line(u"004", u"A-+-B"), u"001"},
  };
  for (const auto& [log, caption] : cases) {
    SCOPED_TRACE(testing::Message() << log.size());
    EXPECT_EQ(RestoreSerial(log), caption);
  }
}

TEST(OpenLog, NoFileGivesTheMessageOnly) {
  auto result = OpenLog(u"kept", std::nullopt);
  ASSERT_TRUE(std::holds_alternative<Message>(result));
  EXPECT_EQ(std::get<Message>(result),
            (Message{u"Nessun LOG trovato!.", u"Ventor Cardel", MessageIcon::Exclamation}));
}

TEST(OpenLog, AppendsCollapsesAndRestores) {
  const Text three = Line(u"001") + Line(u"002") + Line(u"003");
  const std::string file = Save(three).bytes;

  EXPECT_EQ(Open(u"", file), (OpenedLog{three, u"004"}));
  const Text two = Line(u"001") + Line(u"002");
  EXPECT_EQ(Open(two, file), (OpenedLog{two + three, u"004"}));
  EXPECT_EQ(Open(Open(u"", file).logText, file), (OpenedLog{three + three, u"004"}));

  // An empty file still collapses the box's text; an empty box has no serial.
  EXPECT_EQ(Open(u"a\r\n\r\n", ""), (OpenedLog{u"a\r\n", std::nullopt}));
  EXPECT_EQ(Open(u"", ""), (OpenedLog{u"", std::nullopt}));
  // One blank line between contacts goes, two become one.
  EXPECT_EQ(Open(u"", "A\r\n\r\nB\r\n\r\n\r\nC").logText, u"A\r\nB\r\n\r\nC\r\n");
  // Line feeds alone: one line, its line feeds kept.
  EXPECT_EQ(Open(u"", "A\nB\n").logText, u"A\nB\n\r\n");
}

TEST(LogFileRoundTrip, SaveThenOpenGivesTheSameLogAndCaption) {
  const Text logs[] = {
      Line(u"001"),
      Line(u"001") + Line(u"002", u"ÀÉ€") + Line(u"003"),
      Line(u"001") + u"note\ntyped by hand\r\n" + Line(u"002"),
  };
  for (const auto& log : logs) {
    const auto opened = Open(u"", Save(log).bytes);
    EXPECT_EQ(opened.logText, log);
    EXPECT_EQ(opened.serialCaption, RestoreSerial(log));
  }
}

TEST(Windows1252, EveryByteDecodesAndEncodesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const Text decoded = DecodeWindows1252(all);
  EXPECT_EQ(decoded[0x80], u'€');
  EXPECT_EQ(decoded[0x81], u'\x81');
  EXPECT_EQ(decoded[0x9F], u'Ÿ');
  EXPECT_EQ(decoded[0xE9], u'é');
  EXPECT_EQ(EncodeWindows1252(decoded), all);
}

TEST(Windows1252, UnencodableCharactersBecomeOneQuestionMark) {
  EXPECT_EQ(EncodeWindows1252(u"a\u0416b"), "a?b");
  EXPECT_EQ(EncodeWindows1252(u"a\U0001F600b"), "a?b");
  EXPECT_EQ(EncodeWindows1252(u"\xD800"), "?");
  EXPECT_EQ(EncodeWindows1252(u"€Š"), "\x80\x8A");
}

// What the code page holds is exactly what encodes to a byte other than "?".
TEST(Windows1252, HeldCharactersAreTheOnesThatEncode) {
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const auto unit = static_cast<char16_t>(c);
    const bool encodes = EncodeWindows1252(TextView(&unit, 1)) != "?" || c == u'?';
    ASSERT_EQ(HeldByWindows1252(unit), encodes) << std::hex << int(c);
  }
}

TEST(LogFileRoundTrip, OpenedFileSavesBackByteForByte) {
  const std::string files[] = {
      "001-+-x\r\n\r\n",
      "001-+-\xe9\x80\x81 line\r\nnext\nsame line\r\n\r\n",
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Save(Open(u"", file).logText).bytes, file);
  }
}
