#include <gtest/gtest.h>

#include "call_check.h"
#include "log_model.h"
#include "qso_line.h"

using namespace cardel;

namespace {

// A contact line, CR LF included.
Text Contact(TextView call, TextView band = {}) {
  return ComposeQsoLine({.serial = u"001",
                         .date = u"07/12/2026",
                         .time = u"0918",
                         .callSign = Text(call),
                         .receivedSerial = u"012",
                         .locator = u"JN61FW",
                         .band = band.empty() ? std::nullopt : std::optional<Text>(band)});
}
Text WithoutLineEnd(Text line) { return line.substr(0, line.size() - kLineEnd.size()); }

// The index's verdict must be the whole text's, for every call and band.
void ExpectSameVerdicts(const LogModel& model) {
  for (const TextView call :
       {u"QQ0ABC", u"qq0abc", u"QQ0AB", u"QQ9XYZ", u"LC1LOW", u"QQ0", u"Q\r\nQ0ABC"})
    for (const TextView band :
         {kNoBand, TextView(u"14 Mhz"), TextView(u" 14 MHZ "), TextView(u"21 Mhz")})
      for (const bool multiband : {false, true}) {
        SCOPED_TRACE(testing::Message() << "multiband " << multiband);
        EXPECT_EQ(model.check(call, multiband, band),
                  CheckCallSign(call, model.text(), multiband, band));
      }
}

}  // namespace

// Each edit, applied in turn to one model, as the log box reports them:
// where, how much removed, what inserted.
TEST(LogModel, KeepsTheIndexInStepWithEveryEdit) {
  const Text first = Contact(u"QQ0ABC", u"14 Mhz");
  // Blanks around the call sign, any letter case: the same station.
  const Text second = Contact(u" qq0abc\u00A0", u"21 Mhz");
  struct Edit {
    const char* what;
    std::size_t from, removed;
    Text inserted;
    std::optional<std::size_t> lines;
  } edits[] = {
      {"a contact at the end", 0, 0, first, 1},
      {"another one", first.size(), 0, second, 2},
      {"a note typed between them", first.size(), 0, u"nota QQ0ABC---59---\r\n", 3},
      {"the line end of the note deleted", first.size() + 19, 2, u"", 2},
      {"a line end typed back", first.size() + 19, 0, u"\r", 3},
      {"its LF after the CR", first.size() + 20, 0, u"\n", 3},
      {"a paste across two lines", 10, first.size(), WithoutLineEnd(Contact(u"LC1LOW")) + u"\n",
       std::nullopt},
      {"a lone LF ending a line", 0, 0, WithoutLineEnd(Contact(u"QQ9XYZ")) + u"\n", std::nullopt},
      {"the call sign edited", 30, 2, u"Q9", std::nullopt},
      {"everything deleted", 0, 10000, u"", 0},
      {"a last line without line end", 0, 0, WithoutLineEnd(Contact(u"QQ0ABC")), 1},
  };
  LogModel model;
  for (const auto& e : edits) {
    SCOPED_TRACE(e.what);
    model.replace(e.from, e.removed, e.inserted);
    if (e.lines) {
      EXPECT_EQ(model.lineCount(), *e.lines);
    }
    ExpectSameVerdicts(model);
  }
}

// A square counts once some contact line's locator or square lies in it.
TEST(LogModel, KnowsTheSquaresWorkedPerBand) {
  LogModel model;
  model.setText(
      Join({u"001-+-07/12/2026---0918---QQ0ABC---59---012--- jn61fw -->144 Mhz\r\n",
            u"002-+-07/12/2026---0919---QQ1ABC---59---013---JO22\r\n",
            u"003-+-07/12/2026---0920---QQ2ABC---59---014---JN6\r\n", u"nota JN45AB\r\n",
            // The first and the last square of the world.
            u"004-+-07/12/2026---0921---QQ3ABC---59---015---AA00\r\n",
            u"005-+-07/12/2026---0922---QQ4ABC---59---016---rr99xx\r\n"}));
  struct Case {
    const char16_t* square;
    std::optional<TextView> band;
    bool worked;
  } cases[] = {
      {u"JN61", std::nullopt, true},   {u"jn61", TextView(u"144 MHZ"), true},
      {u"JN61", kNoBand, false},       {u"JO22", kNoBand, true},
      {u"JO22AB", std::nullopt, true}, {u"JO22", TextView(u"432 Mhz"), false},
      {u"JN6", std::nullopt, false},   {u"JN45", std::nullopt, false},
      {u"AA00", std::nullopt, true},   {u"RR99", std::nullopt, true},
      {u"AA01", std::nullopt, false},  {u"RR98", std::nullopt, false},
      {u"SA00", std::nullopt, false},  {u"\u0131n61", std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.worked);
    EXPECT_EQ(model.squareWorked(c.square, c.band), c.worked);
  }
  model.replace(0, model.text().find(u"002"), u"");
  EXPECT_FALSE(model.squareWorked(u"JN61", std::nullopt));
}

// The prefill's first source: the latest contact line of the call sign
// that holds a valid locator.
TEST(LogModel, KnowsTheLatestLocatorOfACallSign) {
  LogModel model;
  model.setText(
      Join({u"001-+-07/12/2026---0918---QQ0ABC---59---012--- jn61fw -->144 Mhz\r\n",
            u"002-+-07/12/2026---0919---QQ1ABC---59---013---JO22AB\r\n",
            u"003-+-07/12/2026---0920---qq0abc---59---014---JO22XX-->432 Mhz\r\n",
            u"004-+-07/12/2026---0921---QQ1ABC---59---015---JO22\r\n",
            u"005-+-07/12/2026---0922---QQ2ABC---59---016---\r\n"}));
  struct Case {
    const char16_t* typed;
    std::optional<Text> locator;
  } cases[] = {
      {u"QQ0ABC", u"JO22XX"},      // the later line wins, whatever its band
      {u"qq0abc", u"JO22XX"},      // read as the duplicate check reads it
      {u"QQ1ABC", u"JO22AB"},      // a square only is passed over
      {u"QQ2ABC", std::nullopt},   // no locator (HF)
      {u"QQ9XYZ", std::nullopt},   // not in the log
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::size_t(&c - cases));
    EXPECT_EQ(model.latestLocator(c.typed), c.locator);
  }
  model.replace(model.text().find(u"003"), 0, u"nota\r\n");  // lines behind it shift
  EXPECT_EQ(model.latestLocator(u"QQ0ABC"), Text(u"JO22XX"));
}
