#include "call_check.h"

#include "qso_line.h"

namespace cardel {

namespace {

// Whether a line with this band is on the band that the OK command would
// write for `bandText`.
bool OnChosenBand(std::optional<TextView> lineBand, TextView bandText) {
  if (bandText == kNoBand) return !lineBand;
  return lineBand && WorkedForm(*lineBand) == WorkedForm(bandText);
}

// The contact lines whose call-sign field reads as `callSign`, in log order.
// Every contact line's call-sign field ends at the first kReportSeparator
// behind it, so the whole log is scanned for that separator; only where a
// field separator and the call sign (blanks aside, any letter case) stand in
// front of one is the line split, once, so a call sign that stands in many
// other fields or in one huge line still costs one pass.
class CallSignLines {
 public:
  CallSignLines(TextView log, TextView callSign)
      : log_(log),
        callSign_(callSign),
        // No field of a line holds a line end.
        from_(callSign.find_first_of(u"\r\n") == TextView::npos ? 0 : log.size()) {}

  struct Found {
    std::size_t position;  // 0-based start of the call-sign field
    std::optional<TextView> band;
  };

  std::optional<Found> next() {
    // Picked by its "59", which few other places hold.
    const std::size_t five = kReportSeparator.find(u'5');
    while (const std::size_t at =
               SearchAnchored(log_, kReportSeparator, from_ + 1, five, five + 1)) {
      const std::size_t report = at - 1;
      from_ = at;
      if (!EndsInCallSign(report)) continue;
      const std::size_t start = LineStart(report);
      const std::size_t end = LineEnd(report + kReportSeparator.size());
      from_ = lineFloor_ = end;
      const TextView line = log_.substr(start, end - start);
      if (const auto fields = SplitQsoLine(line);
          fields && WorkedForm(fields->callSign) == callSign_)
        return Found{start + static_cast<std::size_t>(fields->callSign.data() - line.data()),
                     fields->band};
    }
    from_ = log_.size();
    return std::nullopt;
  }

 private:
  bool IsLineEnd(std::size_t at) const {
    return LineEndLength(log_, at, LoneLineFeed::EndsLine) != 0;
  }
  // Whether the text in front of `end` is a field separator, then the call
  // sign in any letter case, blanks and invisible characters around it.
  bool EndsInCallSign(std::size_t end) const {
    end = SkipInvisible(end);
    if (end - lineFloor_ < callSign_.size() + 3) return false;
    const std::size_t start = end - callSign_.size();
    for (std::size_t i = 0; i < callSign_.size(); ++i)
      if (UpperCaseChar(log_[start + i]) != callSign_[i]) return false;
    return log_.substr(0, SkipInvisible(start)).ends_with(kFieldSeparator);
  }
  std::size_t SkipInvisible(std::size_t end) const {
    while (end > lineFloor_ && IsInvisible(log_[end - 1]) && !IsLineEnd(end - 1)) --end;
    return end;
  }
  std::size_t LineStart(std::size_t at) const {
    while (at > lineFloor_ && !IsLineEnd(at - 1)) --at;
    return at;
  }
  std::size_t LineEnd(std::size_t at) const {
    while (at < log_.size() && !IsLineEnd(at)) ++at;
    return at;
  }

  TextView log_;
  TextView callSign_;
  std::size_t from_;           // 0-based, where the search goes on
  std::size_t lineFloor_ = 0;  // the end of the last line split, or 0
};

}  // namespace

CallCheck CheckCallSign(TextView typed, TextView logText, bool multiband, TextView bandText) {
  CallCheck check{.callSign = UpperCase(typed)};
  if (check.callSign.size() < kMinSearchedCallSign) return check;

  CallSignLines lines(logText, check.callSign);
  const auto first = lines.next();
  check.foundPosition = first ? first->position + 1 : 0;
  if (!first) return check;

  check.mark = CallMark::Duplicate;
  if (!multiband) return check;
  for (auto found = first; found; found = lines.next())
    if (OnChosenBand(found->band, bandText)) return check;
  check.mark = CallMark::NewBand;
  return check;
}

}  // namespace cardel
