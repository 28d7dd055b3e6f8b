#include "call_check.h"

#include "qso_line.h"

namespace cardel {

namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

// Whether a line with this band is on the band that the OK command would
// write for `bandText`.
bool OnChosenBand(std::optional<TextView> lineBand, TextView bandText) {
  if (bandText == kNoBand) return !lineBand;
  return lineBand && *lineBand == bandText;
}

// The contact lines whose call-sign field is exactly `callSign`, in log order.
// The whole log is scanned for the call sign between the separators around
// that field, picked by the call sign's own first and last characters (a
// separator's dashes are everywhere), and only a line that holds it is split,
// once, so a call sign that stands in many other fields or in one huge line
// still costs one pass.
class CallSignLines {
 public:
  CallSignLines(TextView log, TextView callSign)
      : log_(log),
        callSign_(callSign),
        sought_(Text(u"---").append(callSign).append(u"---59---")),
        // No field of a line holds a line end.
        from_(callSign.find_first_of(u"\r\n") == TextView::npos ? 0 : log.size()) {}

  struct Found {
    std::size_t position;  // 0-based start of the call-sign field
    std::optional<TextView> band;
  };

  std::optional<Found> next() {
    const std::size_t callEnd = 3 + callSign_.size() - 1;
    while (const std::size_t at = SearchAnchored(log_, sought_, from_ + 1, 3, callEnd)) {
      const std::size_t field = at - 1 + 3;
      const std::size_t start = LineStart(field);
      const std::size_t end = LineEnd(at - 1 + sought_.size());
      from_ = lineFloor_ = end;
      const TextView line = log_.substr(start, end - start);
      if (const auto fields = SplitQsoLine(line); fields && fields->callSign == callSign_)
        return Found{start + static_cast<std::size_t>(fields->callSign.data() - line.data()),
                     fields->band};
    }
    from_ = log_.size();
    return std::nullopt;
  }

 private:
  std::size_t LineStart(std::size_t at) const {
    while (at > lineFloor_ && !IsLineEnd(log_[at - 1])) --at;
    return at;
  }
  std::size_t LineEnd(std::size_t at) const {
    while (at < log_.size() && !IsLineEnd(log_[at])) ++at;
    return at;
  }

  TextView log_;
  TextView callSign_;
  Text sought_;
  std::size_t from_;           // where the search goes on
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
