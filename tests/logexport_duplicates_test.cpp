#include <gtest/gtest.h>

#include "call_check.h"
#include "codepage.h"
#include "contacts.h"
#include "generated_contest.h"
#include "logexport_test_support.h"

using namespace cardel;

namespace {
Text Widened(const std::string& ascii) { return Text(ascii.begin(), ascii.end()); }
}  // namespace

// The window and the exporter read the same contact lines: on a log written
// as the program writes it, the exporter's duplicates are exactly the
// contacts that the window would have marked red when they were typed.
TEST(Duplicates, TheExporterAndTheWindowAgreeOnEveryContactLine) {
  for (const bool multiband : {true, false}) {
    SCOPED_TRACE(multiband ? "multiband" : "single band");
    std::vector<Text> lines;
    Text log;
    int number = 0;
    for (const GeneratedContact& contact : GeneratedContest(11, 400)) {
      const QsoLine line = GeneratedLine(contact, ++number, multiband);
      lines.push_back(line);
      log += line;
    }
    const logexport::ReadingRules rules{.defaultBand = logexport::FindBand(u"144 Mhz")};
    const auto read = logexport::ReadContacts(EncodeWindows1252(log), rules, ReadDayMonthYear);
    ASSERT_EQ(read.contacts.size(), lines.size());

    Text before;
    int duplicates = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const auto& contact = read.contacts[i];
      const Text band = multiband ? Widened(contact.bandName) : Text(kNoBand);
      const auto check = CheckCallSign(Widened(contact.callSign), before, multiband, band);
      EXPECT_EQ(contact.duplicate, check.mark == CallMark::Duplicate) << "line " << i + 1;
      duplicates += contact.duplicate;
      before += lines[i];
    }
    EXPECT_GT(duplicates, 3);
  }
}
