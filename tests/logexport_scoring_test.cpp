#include <gtest/gtest.h>

#include "scoring.h"

using namespace cardel::logexport;

namespace {

Contact Worked(std::size_t line, const char* call, const char* locator, const char* band,
               bool duplicate = false) {
  Contact c;
  c.lineNumber = line;
  c.callSign = call;
  c.locator = locator;
  c.bandName = band;
  c.duplicate = duplicate;
  return c;
}

}  // namespace

TEST(ScoreContacts, DuplicatesAndBadLocatorsEarnNothingAndNewSquaresAreMarkedPerBand) {
  const Contact contacts[] = {
      Worked(1, "Q1A", "JO22AB", "144 Mhz"),
      Worked(2, "Q1B", "JO22XX", "144 Mhz"),        // same square
      Worked(3, "Q1A", "JO22AB", "144 Mhz", true),  // duplicate
      Worked(4, "Q1C", "JO2", "144 Mhz"),           // bad locator
      Worked(5, "Q1A", "JO22AB", "432 Mhz"),        // same square, other band
      Worked(6, "Q1D", "JN61FW", "432 Mhz"),
  };
  const Score score = ScoreContacts(contacts, "JN61FW");
  const long long points[] = {
      1293, cardel::DistancePoints(cardel::DistanceKm("JN61FW", "JO22XX")), 0, 0, 1293, 1};
  const bool newSquare[] = {true, false, false, false, true, true};
  long long total = 0;
  for (std::size_t i = 0; i < std::size(contacts); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(score.contacts[i].points, points[i]);
    EXPECT_EQ(score.contacts[i].newSquare, newSquare[i]);
    total += points[i];
  }
  EXPECT_EQ(score.total, total);
  ASSERT_TRUE(score.odx.has_value());
  EXPECT_EQ(contacts[*score.odx].locator, points[1] > 1293 ? "JO22XX" : "JO22AB");
  ASSERT_EQ(score.notes.size(), 1u);
  EXPECT_EQ(score.notes[0].text, "riga 4: locatore \"JO2\" non valido, 0 punti");
}
