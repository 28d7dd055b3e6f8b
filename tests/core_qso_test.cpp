#include <gtest/gtest.h>

#include "log_file.h"
#include "qso_entry.h"
#include "qso_line.h"

using namespace cardel;
using namespace std::chrono;

namespace {

Text DayMonthYear(year_month_day d) {
  auto two = [](unsigned n) { return ZeroPadded(static_cast<int>(n), 2); };
  return two(unsigned(d.day())) + u"/" + two(unsigned(d.month())) + u"/" +
         ZeroPadded(int(d.year()), 4);
}

const LocalClock kMorning{2026y / December / 7, 10, 18};

QsoForm FilledForm() {
  return QsoForm{.callSign = u"Q1ABC",
                 .receivedSerial = u"012",
                 .locator = u"JN61FW",
                 .band = Text(kNoBand),
                 .serialCaption = u"001"};
}

QsoAccepted Accept(const QsoForm& form, const LocalClock& clock = kMorning) {
  auto result = EnterQso(form, clock, DayMonthYear);
  EXPECT_TRUE(std::holds_alternative<QsoAccepted>(result));
  return std::get<QsoAccepted>(result);
}

}  // namespace

TEST(ComposeQsoLine, BothVariantsByteForByte) {
  QsoFields f{u"001", u"07/12/2026", u"0918", u"Q1ABC", u"012", u"JN61FW", std::nullopt};
  EXPECT_EQ(ComposeQsoLine(f), u"001-+-07/12/2026---0918---Q1ABC---59---012---JN61FW\r\n");
  f.band = u"144 Mhz";
  EXPECT_EQ(ComposeQsoLine(f),
            u"001-+-07/12/2026---0918---Q1ABC---59---012---JN61FW-->144 Mhz\r\n");
  f.locator.clear();
  f.band = u"1296 Mhz";
  EXPECT_EQ(ComposeQsoLine(f), u"001-+-07/12/2026---0918---Q1ABC---59---012----->1296 Mhz\r\n");
  f.band.reset();
  EXPECT_EQ(ComposeQsoLine(f), u"001-+-07/12/2026---0918---Q1ABC---59---012---\r\n");
}

TEST(ComposeQsoLine, SeparatorsInsideFieldsAreWrittenUnchanged) {
  QsoFields f{u"002", u"d", u"0000", u"A-+-B", u"1---2", u"X-->Y", std::nullopt};
  EXPECT_EQ(ComposeQsoLine(f), u"002-+-d---0000---A-+-B---59---1---2---X-->Y\r\n");
}

// A line added by OK or "Apri" starts a line of its own; a log that ends
// with CR LF is unchanged byte for byte.
TEST(AppendedQsoLine, StartsALineOfItsOwn) {
  struct Case {
    const char16_t* log;
    const char16_t* appended;
  } cases[] = {
      {u"", u"L2\r\n"},
      {u"L1\r\n", u"L1\r\nL2\r\n"},
      {u"edited", u"edited\r\nL2\r\n"},
      {u"L1\r", u"L1\r\r\nL2\r\n"},  // a lone CR is no line end of the log file
      {u"L1\n", u"L1\n\r\nL2\r\n"},
      {u"L1\r\n\r\n", u"L1\r\n\r\nL2\r\n"},  // a blank line stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(c.log + AppendedQsoLine(c.log, u"L2\r\n"), c.appended);
    const auto opened = OpenLog(c.log, std::string_view("L2\r\n"));
    ASSERT_TRUE(std::holds_alternative<OpenedLog>(opened));
    EXPECT_EQ(std::get<OpenedLog>(opened).logText, CollapseDoubledLineEnds(c.appended));
  }
}

struct RefusalCase {
  const char* name;
  QsoForm form;
  const char16_t* message;
};

TEST(EnterQso, RefusesInOrderWithTheFirstConditionOnly) {
  const RefusalCase cases[] = {
      {"duplicate beats empty serial",
       {.mark = CallMark::Duplicate, .callSign = u"Q1ABC", .serialCaption = u"001"},
       u"Duplicato!"},
      {"empty call beats empty serial", {.serialCaption = u"001"}, u"Inserisci nominativo"},
      {"empty serial",
       {.callSign = u"Q1ABC", .locator = u"JN", .serialCaption = u"001"},
       u"Inserisci numero progressivo"},
      {"empty locator",
       {.callSign = u"Q1ABC", .receivedSerial = u"5", .band = u"...", .serialCaption = u"001"},
       u"Inserisci locatore"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto result = EnterQso(c.form, kMorning, DayMonthYear);
    ASSERT_TRUE(std::holds_alternative<Message>(result));
    EXPECT_EQ(std::get<Message>(result), (Message{c.message, u"Cardel_eng", MessageIcon::None}));
  }
}

TEST(EnterQso, AcceptsWhatPassesTheChecks) {
  auto form = FilledForm();
  EXPECT_EQ(Accept(form).qsoLine, u"001-+-07/12/2026---0818---Q1ABC---59---012---JN61FW\r\n");

  form.mark = CallMark::NewBand;
  form.band = u"144 Mhz";
  EXPECT_EQ(Accept(form).qsoLine,
            u"001-+-07/12/2026---0818---Q1ABC---59---012---JN61FW-->144 Mhz\r\n");

  form = FilledForm();
  form.hfMode = true;
  form.locator.clear();
  EXPECT_EQ(Accept(form).qsoLine, u"001-+-07/12/2026---0818---Q1ABC---59---012---\r\n");

  form.locator = u"JN61";  // hidden locator still goes into the line
  form.callSign = u" ";    // blanks count as filled
  EXPECT_EQ(Accept(form).qsoLine, u"001-+-07/12/2026---0818--- ---59---012---JN61\r\n");

  form.band = u"..";  // only "..." exactly means no band
  EXPECT_EQ(Accept(form).qsoLine, u"001-+-07/12/2026---0818--- ---59---012---JN61-->..\r\n");
}

struct TimeCase {
  LocalClock local;
  bool gmtPlusOne;
  const char16_t* date;
  const char16_t* time;
};

TEST(EnterQso, StampsUtcAndWrapsToThePreviousDay) {
  const TimeCase cases[] = {
      {{2026y / December / 7, 9, 5}, true, u"07/12/2026", u"0805"},
      {{2026y / December / 7, 10, 30}, true, u"07/12/2026", u"0930"},
      {{2026y / December / 7, 23, 59}, false, u"07/12/2026", u"2159"},
      {{2026y / December / 7, 2, 0}, false, u"07/12/2026", u"0000"},
      {{2026y / December / 7, 12, 7}, false, u"07/12/2026", u"1007"},
      {{2026y / December / 8, 0, 30}, true, u"07/12/2026", u"2330"},
      {{2026y / January / 1, 1, 15}, false, u"31/12/2025", u"2315"},
      {{2028y / March / 1, 0, 0}, false, u"29/02/2028", u"2200"},
      {{2026y / December / 7, 1, 0}, true, u"07/12/2026", u"0000"},
  };
  for (const auto& c : cases) {
    auto form = FilledForm();
    form.gmtPlusOne = c.gmtPlusOne;
    SCOPED_TRACE(testing::Message() << c.local.hour << ":" << c.local.minute);
    EXPECT_EQ(Accept(form, c.local).qsoLine,
              Text(u"001-+-") + c.date + u"---" + c.time + u"---Q1ABC---59---012---JN61FW\r\n");
  }
}

TEST(NextSerial, CountsUpAndStopsAt999) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"001", u"002"}, {u"009", u"010"}, {u"099", u"100"},
      {u"998", u"999"}, {u"999", u"999"}, {u"7", u"008"},
  };
  for (auto [caption, next] : cases) EXPECT_EQ(NextSerial(caption), next);

  auto form = FilledForm();
  form.serialCaption = u"999";
  auto accepted = Accept(form);
  EXPECT_EQ(accepted.qsoLine.substr(0, 6), u"999-+-");
  EXPECT_EQ(accepted.nextSerialCaption, u"999");
}
