#include <gtest/gtest.h>

#include "codepage.h"
#include "recovery_file.h"

namespace cardel {
namespace {

TEST(CountLogLines, CountsAsTheOperatorSeesLines) {
  const struct {
    TextView log;
    std::size_t lines;
  } cases[] = {
      {u"", 0},           {u"a\r\n", 1},
      {u"a\r\nb\r\n", 2}, {u"a\r\nb", 2},  // a last line without its line end
      {u"a\rb\r", 2},                      // a lone CR ends a line too
      {u"a\nb\r\n", 1},                    // a lone LF does not
      {u"\r\n\r\n", 2},                    // empty lines count
      {u"a\r\r\n", 2},                     // CR, then CR LF
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.log.begin(), c.log.end()));
    EXPECT_EQ(CountLogLines(c.log), c.lines);
  }
}

TEST(RecoveryBytes, AreTheLogInTheLogFilesCodePageWithNothingAdded) {
  const struct {
    TextView log;
    std::string bytes;
  } cases[] = {
      {u"", ""},
      {u"001-+-x\r\n", "001-+-x\r\n"},
      {u"no end", "no end"},
      {u"\u00C0\u20AC\r\n", "\xC0\x80\r\n"},
      {u"\u0416\n\r", "?\n\r"},  // lone LF and CR stay as they are
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(RecoveryBytes(c.log), c.bytes);
    if (c.bytes.find('?') == std::string::npos) {
      EXPECT_EQ(DecodeWindows1252(c.bytes), c.log);
    }
  }
}

TEST(KeptRecoveryFileName, DatedAndNumberedWhenTaken) {
  const struct {
    FileStamp stamp;
    int attempt;
    TextView name;
  } cases[] = {
      {{2026, 12, 8, 10, 56, 45}, 1, u"cardel-recupero-2026-12-08_10-56-45.txt"},
      {{2026, 1, 2, 3, 4, 5}, 1, u"cardel-recupero-2026-01-02_03-04-05.txt"},
      {{2026, 1, 2, 3, 4, 5}, 2, u"cardel-recupero-2026-01-02_03-04-05-2.txt"},
      {{2026, 1, 2, 3, 4, 5}, 12, u"cardel-recupero-2026-01-02_03-04-05-12.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attempt);
    EXPECT_EQ(KeptRecoveryFileName(c.stamp, c.attempt), c.name);
  }
}

TEST(RecoveryQuestion, NamesTheLineCount) {
  EXPECT_EQ(RecoveryQuestion(42),
            u"L'ultima sessione non \u00E8 stata chiusa correttamente. Recuperare il log (42 "
            u"righe)?");
  EXPECT_TRUE(RecoveryQuestion(1).ends_with(u"(1 riga)?"));
}

TEST(RecoveryMessages, NameThePathAndTheReason) {
  const Message failed = RecoveryFailedMessage(u"/x/cardel-recupero.txt", u"No space left");
  EXPECT_TRUE(
      failed.text.starts_with(u"Impossibile scrivere il file di recupero "
                              u"/x/cardel-recupero.txt\nNo space left\n"));
  EXPECT_EQ(failed.title, kApplicationTitle);
  EXPECT_EQ(failed.icon, MessageIcon::Exclamation);
  EXPECT_TRUE(RecoveryKeptMessage(u"/x/k.txt").text.ends_with(u" /x/k.txt"));
}

}  // namespace
}  // namespace cardel
