#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "locator.h"

using namespace cardel;

struct DistanceCase {
  const char* from;
  const char* to;
  double km;
  int points;
};

TEST(DistancePoints, MatchThePublishedExamples) {
  const DistanceCase cases[] = {
      {"JN61FW", "JO22AB", 1292.27, 1293},
      {"JO55WW", "JO65FR", 43.17, 44},
      {"JO65FR", "JO55WW", 43.17, 44},
      {"JN61FW", "JN61FW", 0.0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " " + c.to);
    const double km = DistanceKm(c.from, c.to);
    EXPECT_NEAR(km, c.km, 0.005);
    EXPECT_EQ(DistancePoints(km), c.points);
  }
}

TEST(DistancePoints, EachRuleOnThePublishedExamplesAndWithinAHairOfAWholeKilometre) {
  struct Case {
    double km;
    long long iaru, km_, round;
  } const cases[] = {
      {DistanceKm("JN61FW", "JO22AB"), 1293, 1292, 1292},  // 1292.27
      {DistanceKm("JO55WW", "JO65FR"), 44, 43, 43},        // 43.17
      {DistanceKm("JN61FW", "IO91WM"), 1430, 1429, 1430},  // 1429.75
      {0.0, 1, 0, 0},
      {1292.9999999999, 1294, 1293, 1293},
      {1293.0000000001, 1294, 1293, 1293},
      {1292.999, 1293, 1292, 1293},
      {42.4999999999, 43, 42, 43},
      {42.5, 43, 42, 43},
      {42.499, 43, 42, 42},
      {19999.9999999999, 20001, 20000, 20000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.km);
    EXPECT_EQ(DistancePoints(c.km, PointsRule::Iaru), c.iaru);
    EXPECT_EQ(DistancePoints(c.km, PointsRule::Km), c.km_);
    EXPECT_EQ(DistancePoints(c.km, PointsRule::Round), c.round);
  }
}

// Figures from Hamlib's locator2longlat and qrb (whose 360 is north, 0); no
// figures (-1) for a text that is neither a locator nor a square.
TEST(PathBetween, MatchHamlibWithinAKilometreAndADegree) {
  struct Case {
    const char* from;
    const char* to;
    long long km;
    int degrees;
  } const cases[] = {
      {"JN61FW", "JO22AB", 1292, 333}, {"JO22AB", "JN61FW", 1292, 147},
      {"JN61FW", "KN99", 2211, 59},    {"JN61FW", "JN61FW", 0, 0},
      {"RH91AA", "AH45LL", 1263, 69},  {"AH45LL", "RH91AA", 1263, 245},
      {"RR99XX", "AR09AX", 0, 90},     {"JN61FW", "JR09", 5290, 0},
      {"JN61FW", "JA00", 14616, 180},  {"JN61FW", "AE68FB", 20016, 0},
      {"JN61FW", "JN6", -1, -1},       {"JN61FW", "ZZ99ZZ", -1, -1},
      {"JN61FW", "JN61F", -1, -1},     {"", "JN61FW", -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " " + c.to);
    const auto path = PathBetween(c.from, c.to);
    ASSERT_EQ(path.has_value(), c.km >= 0);
    if (!path) continue;
    EXPECT_NEAR(path->km, c.km, 1);
    EXPECT_NEAR(path->degrees, c.degrees, 1);
  }
}

TEST(IsLocator, TakesSixCharactersInTheirRanges) {
  const std::pair<const char*, bool> cases[] = {
      {"JN61FW", true},  {"AA00AA", true},   {"RR99XX", true},  {"JN61", false},
      {"JN61F", false},  {"JN61FWA", false}, {"SN61FW", false}, {"JN61FY", false},
      {"jn61fw", false}, {"JNA1FW", false},  {"", false},
  };
  for (const auto& [text, valid] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IsLocator(text), valid);
  }
}
