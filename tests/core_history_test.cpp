#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codepage.h"
#include "history.h"
#include "message.h"

using namespace cardel;

namespace {

std::string Narrow(TextView text) {
  std::string ascii;
  for (const char16_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return ascii;
}

// "CALL LOCATOR DATE" per entry, "-" for no date, entries joined by " | ".
std::string Entries(const HistoryFileRead& read) {
  std::string text;
  for (const HistoryEntry& e : read.entries) {
    if (!text.empty()) text += " | ";
    text += Narrow(e.callSign) + " " + Narrow(e.known.locator) + " " +
            (e.known.date ? std::to_string(*e.known.date) : "-");
  }
  return text;
}

constexpr const char* kEdi =
    "[REG1TEST;1]\r\nTName=Contest\r\nPCall=Q9OWN\r\nPWWLo=JN61FW\r\n[Remarks]\r\n"
    "[QSORecords;2]\r\n"
    "240706;1418;Q1ABC;1;59;001;59;012;;JN61FW;600;;N;;\r\n"
    "991231;0001;Q2DEF/P;1;59;002;59;007;;jo22ab;1293;;;;D\r\n";

}  // namespace

TEST(ReadHistoryFile, TellsTheFormatByTheContent) {
  const struct {
    const char* name;
    std::string bytes;
    HistoryFormat format;
    std::string entries;
  } cases[] = {
      {"EDI records, two-digit years", kEdi, HistoryFormat::Edi,
       "Q1ABC JN61FW 20240706 | Q2DEF/P JO22AB 19991231"},
      {"EDI, lower-case mark",
       "[reg1test;1]\n[QSORecords;1]\n240706;1418;Q1ABC;1;59;001;59;012;;JN61FW;1\n",
       HistoryFormat::Edi, "Q1ABC JN61FW 20240706"},
      {"call history", "!!Order!!,Call,Name,Loc1,\nQ1ABC,Mario,JN61FW,\n",
       HistoryFormat::CallHistory, "Q1ABC JN61FW -"},
      {"call history after a comment", "# made by hand\n!!ORDER!!;Call;Loc1\nQ1ABC;JN61FW\n",
       HistoryFormat::CallHistory, "Q1ABC JN61FW -"},
      {"the program's log, dates ignored",
       "001-+-07/12/2026---0918---Q1ABC---59---012---JN61FW\r\n"
       "002-+-07/12/2026---0919---Q2DEF---59---013---JO22AB-->144 Mhz\r\n",
       HistoryFormat::CardelLog, "Q1ABC JN61FW - | Q2DEF JO22AB -"},
      {"plain, blanks", "Q1ABC JN61FW 20240706 note\nQ2DEF\tJO22AB\n", HistoryFormat::Plain,
       "Q1ABC JN61FW 20240706 | Q2DEF JO22AB -"},
      {"plain, semicolons", "Q1ABC;JN61FW;20240706;x\nQ2DEF ; JO22AB\n", HistoryFormat::Plain,
       "Q1ABC JN61FW 20240706 | Q2DEF JO22AB -"},
      {"a contact line inside a plain list",
       "Q1ABC JN61FW\n001-+-07/12/2026---0918---Q2DEF---59---012---JO22AB\n", HistoryFormat::Plain,
       "Q1ABC JN61FW - | Q2DEF JO22AB -"},
      {"a note on top of a log",
       "contest di dicembre\n001-+-07/12/2026---0918---Q2DEF---59---012---JO22AB\n",
       HistoryFormat::Plain, "Q2DEF JO22AB -"},
      {"empty", "", HistoryFormat::Plain, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HistoryFileRead read = ReadHistoryFile(c.bytes);
    EXPECT_EQ(read.format, c.format);
    EXPECT_EQ(Entries(read), c.entries);
  }
}

TEST(ReadHistoryFile, KeepsValidStationsAndCountsTheOtherLines) {
  const struct {
    const char* name;
    std::string bytes;
    std::string entries;
    std::size_t skipped;
  } cases[] = {
      {"bad locators", "Q1ABC JN61FZ\nQ1ABC JN61\nQ1ABC SN61FW\nQ1ABC JN61FWX\nQ2DEF JN61FW\n",
       "Q2DEF JN61FW -", 4},
      {"call signs too short, without a digit or a letter", "Q1 JN61FW\nQABC JN61FW\n123 JN61FW\n",
       "", 3},
      {"lower case and blanks around", "  q1abc   jn61fw  \n", "Q1ABC JN61FW -", 0},
      {"one field", "Q1ABC\n", "", 1},
      {"blank lines and comments", "\n   \n# Q1ABC JN61FW\n\t\nQ2DEF JO22AB\n", "Q2DEF JO22AB -",
       0},
      {"a bad date is no date", "Q1ABC JN61FW 20241301\nQ2DEF JO22AB 2024070\n",
       "Q1ABC JN61FW - | Q2DEF JO22AB -", 0},
      {"EDI header lines are not counted, short records are",
       "[REG1TEST;1]\nPWWLo=JN61FW\n[QSORecords;3]\n240706;1418;Q1ABC\n"
       "240706;1418;Q1ABC;1;59;001;59;012;;JN61;1\nxx0706;1418;Q2DEF;1;59;001;59;012;;JO22AB;1\n",
       "Q2DEF JO22AB -", 2},
      {"EDI lines after the records' section",
       "[REG1TEST;1]\n[QSORecords;1]\n240706;1418;Q1ABC;1;59;001;59;012;;JN61FW;1\n[END;x]\nzzz\n",
       "Q1ABC JN61FW 20240706", 0},
      {"columns by name, in any order and case", "!!Order!!,Name,loc1,CALL\nMario,JN61FW,Q1ABC\n",
       "Q1ABC JN61FW -", 0},
      {"Loc2 where Loc1 is not a locator",
       "!!Order!!,Call,Loc1,Loc2\nQ1ABC,JN61,JN61FW\nQ2DEF,JO22AB,JN61FW\nQ3GHI,,\n",
       "Q1ABC JN61FW - | Q2DEF JO22AB -", 1},
      {"commas and semicolons mixed",
       "!!Order!!;Call,Name;Loc1\nQ1ABC;Mario,JN61FW\nQ2DEF,,JO22AB\n",
       "Q1ABC JN61FW - | Q2DEF JO22AB -", 0},
      {"a line short of the locator's column", "!!Order!!,Call,Name,Loc1\nQ1ABC,Mario\n", "", 1},
      {"a second order line",
       "!!Order!!,Call,Loc1\nQ1ABC,JN61FW\n!!Order!!,Loc1,Call\nJO22AB,Q2DEF\n",
       "Q1ABC JN61FW - | Q2DEF JO22AB -", 0},
      {"no call column", "!!Order!!,Name,Loc1\nMario,JN61FW\n", "", 1},
      {"contact lines: HF without locator, a bad time, a note",
       "001-+-07/12/2026---0918---Q1ABC---59---012---\n002-+-07/12/"
       "2026---2518---Q2DEF---59---0---JO22AB\n"
       "ciao\n003-+-07/12/2026---0920---q3ghi---59---014---jn61fw\n",
       "Q3GHI JN61FW -", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HistoryFileRead read = ReadHistoryFile(c.bytes);
    EXPECT_EQ(Entries(read), c.entries);
    EXPECT_EQ(read.skipped, c.skipped);
  }
}

TEST(ReadHistoryFile, ReadsEveryEncodingAndLineEnd) {
  const struct {
    const char* name;
    std::string bytes;
    Text callSign;
  } cases[] = {
      {"CR LF", "Q1ABC JN61FW\r\nQ2DEF JO22AB\r\n", u"Q2DEF"},
      {"LF", "Q1ABC JN61FW\nQ2DEF JO22AB", u"Q2DEF"},
      {"CR", "Q1ABC JN61FW\rQ2DEF JO22AB\r", u"Q2DEF"},
      // The decoding itself is DecodeUtf8OrWindows1252's table below; here,
      // that a byte-order mark does not hide the EDI mark.
      {"UTF-8 with byte-order mark, EDI", std::string("\xEF\xBB\xBF") + kEdi, u"Q2DEF/P"},
      {"Windows-1252, the file's encoding reaches the call sign",
       "Q1ABC JN61FW\nQ2\xE9"
       "F JO22AB\n",
       u"Q2\u00C9F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HistoryFileRead read = ReadHistoryFile(c.bytes);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[1].callSign, c.callSign);
    EXPECT_EQ(read.skipped, 0u);
  }
}

TEST(DecodeUtf8OrWindows1252, TakesUtf8OnlyWhenEveryByteIsValid) {
  const struct {
    std::string bytes;
    Text text;
  } cases[] = {
      {"abc", u"abc"},
      {"\xEF\xBB\xBF"
       "abc",
       u"abc"},
      {"\xC3\xA8", u"\u00E8"},
      {"\xF0\x9F\x93\xBB", u"\U0001F4FB"},
      {"\xC3\xA8\xE8", u"\u00C3\u00A8\u00E8"},  // one bad byte: all of it Windows-1252
      {"\xC0\xAF", u"\u00C0\u00AF"},            // overlong
      {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},  // a surrogate
      {"\xEF\xBB\xBF\xE8", u"\u00E8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(DecodeUtf8OrWindows1252(c.bytes), c.text);
  }
}

TEST(History, KeepsTheMostRecentLocatorOfEachStation) {
  const struct {
    const char* name;
    std::vector<std::string> files;  // in the order they are read
    Text locator;                    // of Q1ABC
  } cases[] = {
      {"a later date wins, in either order",
       {"Q1ABC JN61FW 20240101\nQ1ABC JO22AB 20230101\n"},
       u"JN61FW"},
      {"a later date in a later file",
       {"Q1ABC JO22AB 20230101\n", "Q1ABC JN61FW 20240101\n"},
       u"JN61FW"},
      {"an older date in a later file",
       {"Q1ABC JN61FW 20240101\n", "Q1ABC JO22AB 20230101\n"},
       u"JN61FW"},
      {"the same date: the one read last",
       {"Q1ABC JO22AB 20240101\nQ1ABC JN61FW 20240101\n"},
       u"JN61FW"},
      {"undated: the one read last", {"Q1ABC JO22AB\n", "Q1ABC JN61FW\n"}, u"JN61FW"},
      {"undated lines of one log", {"Q1ABC JO22AB\nQ1ABC JN61FW\n"}, u"JN61FW"},
      {"an undated entry after a dated one",
       {"Q1ABC JO22AB 20240101\n", "Q1ABC JN61FW\n"},
       u"JN61FW"},
      {"a dated entry after an undated one",
       {"Q1ABC JO22AB\n", "Q1ABC JN61FW 20000101\n"},
       u"JN61FW"},
      {"an EDI record against a call history",
       {"[REG1TEST;1]\n[QSORecords;1]\n240706;1418;Q1ABC;1;59;1;59;1;;JO22AB;1\n",
        "!!Order!!,Call,Loc1\nQ1ABC,JN61FW\n"},
       u"JN61FW"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    History history;
    for (const std::string& file : c.files) history.add(ReadHistoryFile(file));
    EXPECT_EQ(history.stationCount(), 1u);
    EXPECT_EQ(history.locatorOf(u"Q1ABC"), TextView(c.locator));
  }
}

TEST(History, LooksUpTheCallSignAsTyped) {
  History history;
  history.add(ReadHistoryFile("Q1ABC JN61FW\nQ2DEF/P JO22AB\n"));
  const struct {
    Text typed;
    std::optional<TextView> locator;
  } cases[] = {
      {u"Q1ABC", u"JN61FW"},   {u"q1abc", u"JN61FW"},    {u" Q1ABC\u00A0", u"JN61FW"},
      {u"Q2DEF/P", u"JO22AB"}, {u"Q2DEF", std::nullopt}, {u"Q1AB", std::nullopt},
      {u"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.typed));
    EXPECT_EQ(history.locatorOf(c.typed), c.locator);
  }
  EXPECT_EQ(history.stationCount(), 2u);
}

TEST(HistoryStatus, CountsStationsFilesAndUnreadLines) {
  const struct {
    std::size_t stations, files, unread;
    Text text;
  } cases[] = {
      {200000, 3, 0, u"Storico: 200000 nominativi da 3 file"},
      {2, 1, 5, u"Storico: 2 nominativi da 1 file, 5 righe non lette"},
      {1, 1, 1, u"Storico: 1 nominativo da 1 file, 1 riga non letta"},
      {0, 0, 0, u"Storico: 0 nominativi da 0 file"},
  };
  for (const auto& c : cases) EXPECT_EQ(HistoryStatus(c.stations, c.files, c.unread), c.text);
}
