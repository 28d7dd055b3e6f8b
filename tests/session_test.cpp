#include <gtest/gtest.h>

#include <algorithm>

#include "export_request.h"
#include "settings.h"

using cardel::ExportRefusal;
using cardel::Station;

namespace {

struct RefusalCase {
  const char* name;
  const char* format;
  const char* contest;
  Station station;
  std::optional<ExportRefusal> refusal;
};

// The dialog asks for the contest before the station, which it can set.
TEST(RefusalFor, ContestThenAStationFitForTheFormat) {
  const RefusalCase cases[] = {
      {"EDI with all it needs", "EDI", "Prova", {"Q9OWN", "JN61FW"}, std::nullopt},
      {"EDI without a contest", "EDI", "", {"Q9OWN", "JN61FW"}, ExportRefusal::NoContest},
      {"Cabrillo with a contest of blanks",
       "Cabrillo",
       " \t",
       {"Q9OWN", ""},
       ExportRefusal::NoContest},
      {"the contest before the station", "EDI", "", {}, ExportRefusal::NoContest},
      {"ADIF names no contest", "ADIF", "", {"Q9OWN", ""}, std::nullopt},
      {"no call sign", "ADIF", "", {"", "JN61FW"}, ExportRefusal::IncompleteStation},
      {"EDI without a locator", "EDI", "Prova", {"Q9OWN", ""}, ExportRefusal::IncompleteStation},
      {"Cabrillo without a locator", "Cabrillo", "Prova", {"Q9OWN", ""}, std::nullopt},
      {"a locator edited by hand into a square",
       "ADIF",
       "",
       {"Q9OWN", "JN61"},
       ExportRefusal::IncompleteStation},
      {"a call sign with a blank",
       "Cabrillo",
       "Prova",
       {"Q9 OWN", "JN61FW"},
       ExportRefusal::IncompleteStation},
  };
  for (const auto& c : cases) {
    const cardel::ExportChoices choices{.format = c.format, .contest = c.contest};
    EXPECT_EQ(cardel::RefusalFor(choices, c.station), c.refusal) << c.name;
  }
}

// "Stazione" keeps the call signs the exporter takes, and no other.
TEST(StationCall, OneRuleForTheDialogAndTheExporter) {
  const std::pair<const char*, bool> cases[] = {
      {"Q9OWN", true},   {"Q9OWN/P", true}, {"IQ9/Q9OWN/M", true}, {"Q9 OWN", false},
      {"Q9-OWN", false}, {"Q9ÖWN", false},  {"Q9OWN.", false},
  };
  for (const auto& [call, valid] : cases) {
    EXPECT_EQ(!cardel::StationFault({call, ""}), valid) << call;
    const cardel::logexport::Outcome outcome =
        cardel::logexport::Export("", {.format = cardel::logexport::Format::Adif, .ownCall = call},
                                  [](cardel::TextView) { return std::nullopt; });
    const bool refused = std::ranges::any_of(outcome.diagnostics, [](const std::string& line) {
      return line.starts_with("nominativo della stazione non valido");
    });
    EXPECT_EQ(refused, !valid) << call;
  }
}

// The dialog's captions and cardel-export's option names, each read in its place.
TEST(ExportNames, CaptionsAndOptionsInAnyLetterCase) {
  using cardel::PointsName;
  using cardel::logexport::PointsRule;
  EXPECT_EQ(cardel::FindFormat("cabrillo")->format, cardel::logexport::Format::Cabrillo);
  EXPECT_EQ(cardel::FindFormat("csv"), nullptr);
  EXPECT_EQ(cardel::FindMode("cw"), cardel::logexport::Mode::Cw);
  EXPECT_EQ(cardel::FindMode("AM"), std::nullopt);
  const std::tuple<const char*, const char * PointsName::*, std::optional<PointsRule>> points[] = {
      {"arrotondati", &PointsName::caption, PointsRule::Round},
      {"ROUND", &PointsName::option, PointsRule::Round},
      {"round", &PointsName::caption, std::nullopt},
      {"arrotondati", &PointsName::option, std::nullopt},
      {"IARU", &PointsName::option, PointsRule::Iaru},
  };
  for (const auto& [name, column, rule] : points)
    EXPECT_EQ(cardel::FindPointsRule(name, column), rule) << name;
}

}  // namespace
