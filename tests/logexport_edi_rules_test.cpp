// No EDI (REG1TEST) reader can be installed from the project's package
// sources, so the exporter's EDI files are held against the format's
// published rules here: the header keys that must have a value, the record's
// 15 fields and the form of each.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "export.h"
#include "logexport_test_support.h"

using namespace cardel::logexport;

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(separator, at)) != std::string::npos;
       at = end + separator.size())
    parts.push_back(text.substr(at, end - at));
  parts.push_back(text.substr(at));
  return parts;
}

bool Matches(const std::string& text, const char* pattern) {
  return std::regex_match(text, std::regex(pattern));
}

constexpr const char* kLocator = "[A-R]{2}[0-9]{2}[A-X]{2}";
constexpr const char* kQsoNumber = "|[0-9]{3}|[0-9]{4}";

// Every rule the file breaks, one line each; empty when it keeps them all.
std::vector<std::string> BrokenRules(const std::string& edi) {
  std::vector<std::string> broken;
  const auto fail = [&](const std::string& why) { broken.push_back(why); };
  if (!edi.ends_with("\r\n")) fail("the last line does not end in CR LF");
  std::vector<std::string> lines = Split(edi, "\r\n");
  lines.pop_back();
  if (lines.empty() || lines[0] != "[REG1TEST;1]") return {"no [REG1TEST;1] first line"};

  std::map<std::string, std::string> header;
  std::size_t i = 1;
  for (; i < lines.size() && !lines[i].starts_with("["); ++i) {
    const auto equals = lines[i].find('=');
    if (equals == std::string::npos)
      fail("header line without '=': " + lines[i]);
    else if (!header.emplace(lines[i].substr(0, equals), lines[i].substr(equals + 1)).second)
      fail("header key twice: " + lines[i]);
  }
  const std::pair<const char*, const char*> required[] = {
      {"TName", ".+"},
      {"TDate", "[0-9]{8};[0-9]{8}"},
      {"PCall", "[A-Z0-9/]+"},
      {"PWWLo", kLocator},
      {"PSect", ".*[^ ].*"},
      {"PBand",
       "50 MHz|70 MHz|144 MHz|145 MHz|432 MHz|435 MHz|1,3 GHz|2,3 GHz|3,4 GHz|5,7 GHz|10 GHz"},
      {"RCall", "[A-Z0-9/]+"},
      {"CQSOs", "[0-9]+;[0-9]+"},
      {"CQSOP", "[0-9]+"},
      {"CToSc", "[0-9]+"},
      {"CODXC", "|[A-Z0-9/]+;[A-R]{2}[0-9]{2}[A-X]{2};[0-9]+"},
  };
  for (const auto& [key, form] : required)
    if (!header.contains(key) || !Matches(header[key], form))
      fail(std::string(key) + "=" + (header.contains(key) ? header[key] : "(missing)"));

  if (i + 1 >= lines.size() || lines[i] != "[Remarks]")
    return broken.push_back("no [Remarks]"), broken;
  std::smatch count;
  const std::string countLine = lines[i + 1];
  if (!std::regex_match(countLine, count, std::regex(R"(\[QSORecords;([0-9]+)\])")))
    return broken.push_back("no [QSORecords;N]"), broken;
  const std::size_t first = i + 2;
  if (std::stoul(count[1]) != lines.size() - first) fail("[QSORecords;N] counts another number");

  const std::string from = header["TDate"].substr(2, 6), to = header["TDate"].substr(11, 6);
  long long points = 0, valid = 0;
  for (std::size_t r = first; r < lines.size(); ++r) {
    const auto f = Split(lines[r], ";");
    const auto bad = [&](const char* what) { fail(std::string(what) + ": " + lines[r]); };
    if (f.size() != 15) {
      bad("not 15 fields");
      continue;
    }
    if (!Matches(f[0], "[0-9]{6}") || f[0] < from || f[0] > to) bad("date");
    if (!Matches(f[1], "([01][0-9]|2[0-3])[0-5][0-9]")) bad("time");
    if (!Matches(f[2], "[A-Z0-9/]+")) bad("call");
    if (!Matches(f[3], "[0-9]?")) bad("mode code");
    if (!Matches(f[4], "[1-5][1-9][1-9]?") || !Matches(f[6], "[1-5][1-9][1-9]?")) bad("report");
    if (!Matches(f[5], kQsoNumber) || !Matches(f[7], kQsoNumber)) bad("QSO number");
    if (!Matches(f[9], (std::string("|[A-R]{2}[0-9]{2}|") + kLocator).c_str())) bad("locator");
    if (f[9].size() == 4 && f[10] != "0") bad("points for a four-character locator");
    if (!Matches(f[10], "[0-9]+")) bad("points");
    if (!Matches(f[11], "N?") || !Matches(f[12], "N?") || !Matches(f[13], "N?")) bad("new flag");
    if (!Matches(f[14], "D?") || (f[14] == "D" && f[10] != "0")) bad("duplicate");
    if (f[10].empty()) continue;
    points += std::stoll(f[10]);
    valid += f[14].empty();
  }
  if (header["CQSOP"] != std::to_string(points)) fail("CQSOP is not the sum of the points");
  if (!header["CQSOs"].starts_with(std::to_string(valid) + ";")) fail("CQSOs miscounts");
  return broken;
}

}  // namespace

TEST(EdiRules, EveryExportKeepsThem) {
  const std::string handTyped =
      "001-+-07/12/2026---0918---Q1ABC---59---12---IO91WM-->144 Mhz\r\n"
      "002-+-07/12/2026---0925---q2xy---59---7---jn61fw-->144 Mhz\r\n"
      "3-+-07/12/2026---0931---Q3DEF---59---A1---JN52BA-->144 Mhz\r\n"
      "0004-+-07/12/2026---0940---Q4GHI---59---038---  -->144 Mhz\r\n"
      "005-+-07/12/2026---0-130---Q5/P---59---12345---JN61-->144 Mhz\r\n"
      "006-+-07/12/2026---1002---Q1ABC---59---1234---IO91WM-->144 Mhz\r\n";
  struct Case {
    const char* name;
    void (*change)(Options&);
  } const cases[] = {
      {"SSB, defaults", [](Options&) {}},
      {"CW", [](Options& o) { o.mode = Mode::Cw; }},
      {"FM, received report given", [](Options& o) { o.mode = Mode::Fm, o.receivedReport = "55"; }},
      {"section given", [](Options& o) { o.section = "MULTI"; }},
      {"points km", [](Options& o) { o.points = PointsRule::Km; }},
      {"points round", [](Options& o) { o.points = PointsRule::Round; }},
      {"1296 Mhz", [](Options& o) { o.band = "1296 Mhz"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options options{
        .format = Format::Edi, .ownCall = "q9xyz", .ownLocator = "JN61FW", .contest = "Prova VHF"};
    c.change(options);
    std::string log = handTyped;
    if (options.band) log = std::regex_replace(log, std::regex("-->144 Mhz"), "");
    const Outcome outcome = Export(log, options, ReadDayMonthYear);
    ASSERT_EQ(outcome.exitStatus, 0) << Joined(outcome.diagnostics);
    EXPECT_EQ(Joined(BrokenRules(outcome.output)), "");
  }
}

// The checker itself: each file breaks one rule, and the checker names it.
TEST(EdiRules, TheCheckerNamesABrokenRule) {
  const std::string good =
      "[REG1TEST;1]\r\nTName=X\r\nTDate=20261207;20261207\r\nPCall=Q9XYZ\r\nPWWLo=JN61FW\r\n"
      "PSect=SINGLE\r\nPBand=144 MHz\r\nRCall=Q9XYZ\r\nCQSOs=1;1\r\nCQSOP=1293\r\n"
      "CToSc=1293\r\nCODXC=Q1ABC;JO22AB;1292\r\n[Remarks]\r\n[QSORecords;1]\r\n"
      "261207;0918;Q1ABC;1;59;001;59;012;;JO22AB;1293;;N;;\r\n";
  ASSERT_EQ(Joined(BrokenRules(good)), "");
  const std::pair<std::string, std::string> cases[] = {
      {"PSect=SINGLE", "PSect="},
      {"RCall=Q9XYZ", "RCall="},
      {"TName=X", "TName="},
      {"59;012;", "59;7;"},
      {"59;012;", "59;A1;"},
      {";JO22AB;1293", ";JN61;1293"},
      {";JO22AB;1293", ";JN6;1293"},
      {";;N;;\r\n", ";;N;\r\n"},
      {"[QSORecords;1]", "[QSORecords;2]"},
      {"CQSOP=1293", "CQSOP=1294"},
      {"261207;0918", "261208;0918"},
      {";1;59;001", ";1;59;01"},
  };
  for (const auto& [from, to] : cases) {
    SCOPED_TRACE(to);
    std::string broken = good;
    broken.replace(broken.find(from), from.size(), to);
    EXPECT_NE(Joined(BrokenRules(broken)), "");
  }
}
