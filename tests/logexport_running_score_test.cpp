#include <gtest/gtest.h>

#include <algorithm>

#include "ascii.h"
#include "contacts.h"
#include "log_model.h"
#include "logexport_test_support.h"
#include "running_score.h"
#include "scoring.h"

using namespace cardel;
using namespace cardel::logexport;
using namespace std::chrono;

namespace {

constexpr char kOwnLocator[] = "JN61FW";

ScoringRules Rules(std::string ownLocator = kOwnLocator) {
  return {std::move(ownLocator), Text(u"144 Mhz"), ReadDayMonthYear};
}

// Two bands, a duplicate, a note, a square only, a bad date that leaves its
// line out, lines without band (on the default band, 144 Mhz) and a
// contact of a call on 144 that a line without band repeats.
const std::string kLog =
    "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n"
    "002-+-07/12/2026---0-130--- q2xy ---59---7---jn61fw-->144 Mhz\r\n"
    "nota scritta a mano\r\n"
    "003-+-07/12/2026---1002---Q1ABC---59---015---JO22AB-->144 Mhz\r\n"
    "004-+-07/12/2026---1010---Q1ABC---59---016---JO22AB-->432 Mhz\r\n"
    "005-+-07/12/2026---1015---Q3Z---59---A1---JN61-->432 Mhz\r\n"
    "006-+-31/02/2026---1016---Q4AA---59---17---IO91WM-->432 Mhz\r\n"
    "007-+-07/12/2026---1017---Q4AA---59---18---IO91WM-->432 Mhz\r\n"
    "008-+-07/12/2026---1018---Q5BB---59---19---JN45AA\r\n"
    "009-+-07/12/2026---1019---q5bb---59---20---JN45AB-->144 MHZ\r\n"
    "010-+-07/12/2026---1020---Q6CC---59---21---JO22CD\r\n";

std::vector<std::string> ScoreOf(const std::string& log, PointsRule rule, UtcMinute now,
                                 ScoringRules rules = Rules()) {
  LogModel model;
  model.setScoring(std::move(rules));
  model.setText(FromUtf8(log));
  return RunningScore(model, rule, now);
}

std::string LineStarting(const std::vector<std::string>& lines, std::string_view start) {
  const auto found = std::find_if(lines.begin(), lines.end(),
                                  [&](const std::string& l) { return l.starts_with(start); });
  return found == lines.end() ? "" : *found;
}

std::size_t Figure(const std::vector<std::string>& lines, std::string_view start) {
  const std::string line = LineStarting(lines, start);
  return line.empty() ? 0 : std::stoul(line.substr(start.size()));
}

}  // namespace

// The running score and the export's summary read one log the same way.
TEST(RunningScore, EqualsTheExportsFigures) {
  const std::string logs[] = {
      kLog,
      // The farther of two contacts at the same distance is the first one.
      "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB\r\n"
      "002-+-07/12/2026---0919---Q1DEF---59---013---JO22AB\r\n",
      // Nothing that scores.
      "nota\r\n001-+-07/12/2026---0918---Q1ABC---59---012---\r\n",
  };
  for (const std::string& log : logs) {
    SCOPED_TRACE(log);
    for (const PointsRule rule : {PointsRule::Iaru, PointsRule::Km, PointsRule::Round}) {
      const auto lines = ScoreOf(log, rule, sys_days(2026y / 12 / 7) + 10h);
      Options options{.format = Format::Adif, .ownCall = "Q9XYZ", .ownLocator = kOwnLocator,
                      .band = "144 Mhz", .points = rule};
      const auto summary = Export(log, options, ReadDayMonthYear).diagnostics;
      EXPECT_EQ(Figure(lines, "Collegamenti: "),
                Figure(summary, "Collegamenti: ") - Figure(summary, "Doppi: "));
      EXPECT_EQ(LineStarting(lines, "Punti: "), LineStarting(summary, "Punti: "));
      EXPECT_EQ(LineStarting(lines, "ODX: "), LineStarting(summary, "ODX: "));
      EXPECT_EQ(LineStarting(lines, "Punteggio dichiarato: "),
                LineStarting(summary, "Punteggio dichiarato: "));

      const auto read = ReadContacts(log, {FindBand(u"144 Mhz"), false}, ReadDayMonthYear);
      const Score score = ScoreContacts(read.contacts, kOwnLocator, rule);
      EXPECT_EQ(Figure(lines, "Quadrati: "),
                std::count_if(score.contacts.begin(), score.contacts.end(),
                              [](const ContactScore& c) { return c.newSquare; }));
    }
  }
}

TEST(RunningScore, ShowsTheFiguresInTheSummarysWords) {
  // At 10:18 UTC the last hour runs from 09:19 (not 09:18), the last ten
  // minutes from 10:09; line 6 has no date that reads.
  const UtcMinute now = sys_days(2026y / 12 / 7) + 10h + 18min;
  EXPECT_EQ(Joined(ScoreOf(kLog, PointsRule::Iaru, now)),
            "Collegamenti: 7\n"
            "(144 Mhz: 4, 432 Mhz: 3)\n"
            "Punti: 5807\n"
            "Quadrati: 5\n"
            "ODX: Q4AA IO91WM 1429 km\n"
            "Ultima ora: 5\n"
            "Ultimi 10 minuti: 4\n"
            "Punteggio dichiarato: 5807\n");
  EXPECT_EQ(Joined(ScoreOf(kLog, PointsRule::Iaru, now, Rules(""))),
            "Collegamenti: 7\n"
            "(144 Mhz: 4, 432 Mhz: 3)\n"
            "Imposta il locatore in Stazione\n"
            "Quadrati: 5\n"
            "Ultima ora: 5\n"
            "Ultimi 10 minuti: 4\n");
  EXPECT_EQ(Joined(ScoreOf("", PointsRule::Iaru, now)),
            "Collegamenti: 0\nPunti: 0\nQuadrati: 0\nODX: nessuno\nUltima ora: 0\n"
            "Ultimi 10 minuti: 0\nPunteggio dichiarato: 0\n");
}

// Each edit, applied in turn, leaves the counts a fresh reading of the
// whole text would give.
TEST(RunningScore, KeepsInStepWithEveryEdit) {
  struct Edit {
    const char* what;
    std::string_view removed;  // the first occurrence is replaced
    std::string_view inserted;
  } const edits[] = {
      {"the first of a duplicate pair deleted",
       "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n", ""},
      {"its band changed", "1002---Q1ABC---59---015---JO22AB-->144 Mhz", "1002---Q1ABC---59---015---JO22AB-->432 Mhz"},
      {"a locator edited", "IO91WM-->432 Mhz\r\n007", "IO91XM-->432 Mhz\r\n007"},
      {"the farthest contact deleted", "007-+-07/12/2026---1017---Q4AA---59---18---IO91WM-->432 Mhz\r\n", ""},
      {"a bad date mended", "31/02/2026", "01/12/2026"},
      {"two lines joined", "JN45AA\r\n", "JN45AA"},
      {"a paste of two contacts",  "nota scritta a mano\r\n",
       "011-+-07/12/2026---1030---Q7DD---59---22---KN03AA\r\n"
       "012-+-07/12/2026---1031---Q7DD---59---23---KN03AA\r\n"},
  };
  const UtcMinute now = sys_days(2026y / 12 / 7) + 10h + 31min;
  LogModel model;
  model.setScoring(Rules());
  model.setText(FromUtf8(kLog));
  for (const auto& e : edits) {
    SCOPED_TRACE(e.what);
    const std::string text = ToUtf8(model.text());
    const std::size_t at = text.find(e.removed);
    ASSERT_NE(at, std::string::npos);
    model.replace(at, e.removed.size(), FromUtf8(e.inserted));
    EXPECT_EQ(RunningScore(model, PointsRule::Round, now),
              ScoreOf(ToUtf8(model.text()), PointsRule::Round, now));
  }
}
