#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "call_check.h"
#include "locator.h"
#include "qso_line_parse.h"
#include "text.h"

namespace cardel {

using UtcMinute = std::chrono::sys_time<std::chrono::minutes>;

inline UtcMinute ToUtcMinute(std::chrono::year_month_day day, int hour, int minute) {
  return std::chrono::sys_days(day) + std::chrono::hours(hour) + std::chrono::minutes(minute);
}

// What the score needs that the log does not say.
struct ScoringRules {
  std::string ownLocator;           // no distances or points unless a valid locator
  std::optional<Text> defaultBand;  // the band of lines written without one
  DateReader readDate;              // none: no line counts in the score
};

// The farthest contact that scored, as the export names it.
struct BestDx {
  Text callSign;
  Text locator;
  double km = 0;
};

// The log's text and an index of its contact lines, kept in step with every
// change of the text, so that the verdict asked on each keystroke costs the
// same at 100 contacts as at a million. The verdict equals CheckCallSign on
// the whole text, which stays the reading that defines it.
class LogModel {
 public:
  LogModel();
  ~LogModel();
  LogModel(const LogModel&) = delete;
  LogModel& operator=(const LogModel&) = delete;

  const Text& text() const { return text_; }

  void setText(Text text);
  // Any edit: `removed` characters at `from` replaced by `inserted`.
  void replace(std::size_t from, std::size_t removed, TextView inserted);
  void append(TextView tail) { replace(text_.size(), 0, tail); }

  // CheckCallSign(typed, text(), multiband, bandText), from the index.
  CallCheck check(TextView typed, bool multiband, TextView bandText) const;

  // Whether some contact line holds a valid locator or square in `square`
  // (its first four characters, in any letter case): on any band, or, given
  // a band text, on the band that OK writes for it.
  bool squareWorked(TextView square, std::optional<TextView> bandText) const;

  // The valid six-character locator of the latest contact line with this
  // call sign, read as check() reads it; nothing when none has one.
  std::optional<Text> latestLocator(TextView typed) const;

  // How many lines the index holds, contact lines or not.
  std::size_t lineCount() const;

  // Reads the whole log again under the new rules.
  void setScoring(ScoringRules rules);

  // The score as the export computes it (ReadContacts, then ScoreContacts):
  // a contact is a line ParseQsoLine reads with a date that reads, and one
  // that repeats a call sign on its band is a duplicate and counts nothing.
  // Counted as each line comes and goes, so no answer reads the log.
  //
  // Contacts, duplicates aside, per band as the duplicate check reads a band
  // (WorkedForm; none for lines without band and no default band).
  const std::map<std::optional<Text>, std::size_t>& contactsPerBand() const;
  std::size_t contactCount() const;
  // Whether the rules hold the station's locator: no points nor distances without.
  bool measuresDistance() const;
  long long points(PointsRule rule) const;
  // The first contact in each square on its band, summed over the bands.
  std::size_t squareCount() const;
  std::optional<BestDx> bestDx() const;
  // Contacts, duplicates too, logged in the minutes from `first` to `last`.
  std::size_t contactsBetween(UtcMinute first, UtcMinute last) const;

 private:
  struct Index;
  void reindex();
  TextView lineText(std::size_t at) const;

  Text text_;
  std::unique_ptr<Index> index_;
};

}  // namespace cardel
