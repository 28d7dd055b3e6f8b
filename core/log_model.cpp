#include "log_model.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "locator.h"
#include "qso_line.h"

namespace cardel {

namespace {

using Square = std::uint32_t;
constexpr Square kNoSquare = 0;

// What the first contact of a call sign on a band brings to the score.
struct Contribution {
  std::uint32_t id = 0;
  bool located = false;
  double km = 0;
  Square square = kNoSquare;
};

constexpr PointsRule kRules[] = {PointsRule::Iaru, PointsRule::Km, PointsRule::Round};

// A band as the index keys it: an entry of the index's table of the band
// texts it has met, so that a line holds no text of its own.
using BandId = std::uint32_t;
constexpr BandId kNoBandId = 0;  // a line written without band

// Contact lines per band. A square is seldom on more than a few bands, and
// a short list holds them in far less memory than a tree.
class BandCounts {
 public:
  void add(BandId band) {
    if (const auto found = find(band); found != counts_.end())
      ++found->second;
    else
      counts_.emplace_back(band, 1);
  }
  void remove(BandId band) {
    const auto found = find(band);
    if (--found->second == 0) counts_.erase(found);
  }
  bool empty() const { return counts_.empty(); }
  bool contains(BandId band) const {
    return std::any_of(counts_.begin(), counts_.end(),
                       [&](const auto& c) { return c.first == band; });
  }

 private:
  using Counts = std::vector<std::pair<BandId, std::uint32_t>>;
  Counts::iterator find(BandId band) {
    return std::find_if(counts_.begin(), counts_.end(),
                        [&](const auto& c) { return c.first == band; });
  }
  Counts counts_;
};

// The square of a valid locator or square (its first four characters, in any
// letter case) as a number from 1 to kSquares, else kNoSquare: a square's
// lines are counted in a table with a place for each square of the world.
constexpr Square kSquares = 18 * 18 * 10 * 10;
Square SquareOf(TextView locatorField) {
  // Read on every line of the log, so read in place: upper-casing keeps
  // every other character outside ASCII, and no locator holds one.
  const TextView field = WithoutInvisibleAround(locatorField);
  if (field.size() != 4 && field.size() != 6) return kNoSquare;
  std::array<char, 6> upper{};
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char16_t c = UpperCaseChar(field[i]);
    if (c > 0x7F) return kNoSquare;
    upper[i] = static_cast<char>(c);
  }
  const std::string_view ascii(upper.data(), field.size());
  if (!IsLocatorOrSquare(ascii)) return kNoSquare;
  const auto fieldIndex = Square(ascii[0] - 'A') * 18 + Square(ascii[1] - 'A');
  return 1 + fieldIndex * 100 + Square(ascii[2] - '0') * 10 + Square(ascii[3] - '0');
}

// A valid six-character locator as it stands, in ASCII, else empty.
std::string AsciiLocator(TextView locator) {
  std::string ascii;
  for (const char16_t c : locator) {
    if (c > 0x7F) return {};  // no locator holds one
    ascii.push_back(static_cast<char>(c));
  }
  return IsLocator(ascii) ? ascii : std::string();
}

// Dates repeat from line to line, mostly the date of the line before, and a
// date read through the machine's calendar costs far more than a lookup.
DateReader Remembering(DateReader read) {
  if (!read) return read;
  using Day = std::optional<std::chrono::year_month_day>;
  struct Known {
    std::unordered_map<Text, Day> days;
    const std::pair<const Text, Day>* last = nullptr;
  };
  auto known = std::make_shared<Known>();
  return [read = std::move(read), known](TextView date) {
    if (known->last && known->last->first == date) return known->last->second;
    auto [found, fresh] = known->days.try_emplace(Text(date));
    if (fresh) found->second = read(date);
    known->last = &*found;
    return found->second;
  };
}

TextView WithoutLineEnd(TextView line) {
  while (!line.empty() && (line.back() == u'\r' || line.back() == u'\n')) line.remove_suffix(1);
  return line;
}

}  // namespace

struct LogModel::Index {
  struct CallEntry {
    std::vector<std::uint32_t> ids;  // its contact lines, in no order
    // Per band, what its first scored contact brings to the score.
    std::vector<std::pair<std::optional<Text>, Contribution>> scorers;
    bool touched = false;  // waits in `touched` to be scored again
  };
  using Calls = std::unordered_map<Text, CallEntry>;

  // One line of the text, split as contact lines are read (a lone LF ends it).
  struct Line {
    std::size_t start = 0;
    // Its call sign's entry (WorkedForm) for a contact line, else none. The
    // map's entries stay where they are while any line names them.
    Calls::value_type* call = nullptr;
    double km = 0;  // from the station's locator, when both are known
    UtcMinute minute{};
    std::uint32_t id = 0;  // never reused, so an entry of the call map can name it
    std::uint32_t callOffset = 0;  // of the call-sign field, from the line's start
    Square square = kNoSquare;     // of a valid locator or square
    BandId band = kNoBandId;       // of its band field, read as WorkedForm
    // What the score reads of a line that the export takes for a contact.
    bool scored = false;
    bool located = false;  // a valid six-character locator, so a distance
  };

  std::vector<Line> lines;              // in text order
  std::vector<std::uint32_t> lineOfId;  // id to index in `lines`
  Calls calls;
  // Contact lines per square, a block of a field's hundred squares at a
  // time: a log's squares lie in a few fields of the world's 324.
  using Field = std::array<BandCounts, 100>;
  std::vector<std::unique_ptr<Field>> fields;
  // The band texts met so far, by id; kNoBandId stands for none. Kept for
  // the model's lifetime: a log holds few.
  std::vector<std::optional<Text>> bandNames{std::nullopt};
  std::unordered_map<Text, BandId> bandIds;

  ScoringRules rules;
  std::optional<Text> defaultBand;  // WorkedForm
  std::vector<Text> touched;  // call signs whose scored lines changed
  std::map<std::optional<Text>, std::size_t> bandContacts;
  std::array<long long, std::size(kRules)> points{};
  std::map<std::pair<std::optional<Text>, Square>, std::size_t> squaresScored;
  std::map<double, std::vector<std::uint32_t>> byKm;  // scoring lines with a distance
  std::multiset<UtcMinute> minutes;

  void clear() {
    lines.clear();
    lineOfId.clear();
    calls.clear();
    fields.clear();
    touched.clear();
    bandContacts.clear();
    points = {};
    squaresScored.clear();
    byKm.clear();
    minutes.clear();
  }

  BandCounts& squareLines(Square square) {
    if (fields.empty()) fields.resize(kSquares / 100);
    auto& field = fields[(square - 1) / 100];
    if (!field) field = std::make_unique<Field>();
    return (*field)[(square - 1) % 100];
  }

  const BandCounts* findSquareLines(Square square) const {
    if (square == kNoSquare || fields.empty()) return nullptr;
    const auto& field = fields[(square - 1) / 100];
    return field ? &(*field)[(square - 1) % 100] : nullptr;
  }

  BandId bandId(Text band) {
    const auto [found, fresh] = bandIds.try_emplace(std::move(band), 0);
    if (fresh) {
      found->second = static_cast<BandId>(bandNames.size());
      bandNames.emplace_back(found->first);
    }
    return found->second;
  }

  // The id of a band OK writes, if some line ever had it.
  std::optional<BandId> knownBand(TextView bandText) const {
    if (bandText == kNoBand) return kNoBandId;
    const auto found = bandIds.find(WorkedForm(bandText));
    if (found == bandIds.end()) return std::nullopt;
    return found->second;
  }

  // The index of the last line that starts at or before `at`.
  std::size_t lineAt(std::size_t at) const {
    const auto after = std::upper_bound(lines.begin(), lines.end(), at,
                                        [](std::size_t a, const Line& l) { return a < l.start; });
    return after == lines.begin() ? 0 : std::size_t(after - lines.begin()) - 1;
  }

  // Reads a line and counts it in.
  Line take(std::size_t start, TextView text) {
    Line line{.start = start, .id = static_cast<std::uint32_t>(lineOfId.size())};
    lineOfId.push_back(0);
    const auto fields = SplitQsoLine(text);
    if (!fields) return line;
    line.callOffset = static_cast<std::uint32_t>(fields->callSign.data() - text.data());
    if (fields->band) line.band = bandId(WorkedForm(*fields->band));
    line.square = SquareOf(fields->locator);
    if (rules.readDate) readScore(line, text);
    line.call = &*calls.try_emplace(WorkedForm(fields->callSign)).first;
    count(line);
    return line;
  }

  void readScore(Line& line, TextView text) const {
    const auto parsed = ParseQsoLine(text);
    const auto* qso = std::get_if<ParsedQso>(&parsed);
    if (!qso) return;
    const auto day = QsoDay(*qso, rules.readDate);
    if (!day) return;
    line.scored = true;
    line.minute = ToUtcMinute(*day, qso->time.hour, qso->time.minute);
    const std::string locator = AsciiLocator(qso->locator);
    line.located = !locator.empty();
    if (line.located && !rules.ownLocator.empty()) line.km = DistanceKm(rules.ownLocator, locator);
  }

  const std::optional<Text>& tallyBand(const Line& line) const {
    return line.band != kNoBandId ? bandNames[line.band] : defaultBand;
  }

  void add(const std::optional<Text>& band, const Contribution& c, int sign) {
    if ((bandContacts[band] += sign) == 0) bandContacts.erase(band);
    if (!c.located) return;
    const std::pair key{band, c.square};
    if ((squaresScored[key] += sign) == 0) squaresScored.erase(key);
    if (rules.ownLocator.empty()) return;
    for (std::size_t r = 0; r < std::size(kRules); ++r)
      points[r] += sign * DistancePoints(c.km, kRules[r]);
    auto& ids = byKm[c.km];
    if (sign > 0) {
      ids.push_back(c.id);
    } else if (std::erase(ids, c.id), ids.empty()) {
      byKm.erase(c.km);
    }
  }

  void unscore(CallEntry& entry) {
    for (const auto& [band, c] : entry.scorers) add(band, c, -1);
    entry.scorers.clear();
  }

  // The first scored line of the call sign on each band takes the score; the
  // others are duplicates. Asked again for each call sign an edit touched.
  void rescore(const Text& callSign) {
    const auto found = calls.find(callSign);
    if (found == calls.end()) return;  // its score went with its last line
    CallEntry& entry = found->second;
    entry.touched = false;
    unscore(entry);
    for (const std::uint32_t id : entry.ids) {
      const Line& line = lines[lineOfId[id]];
      if (!line.scored) continue;
      const auto& band = tallyBand(line);
      const auto kept = std::find_if(entry.scorers.begin(), entry.scorers.end(),
                                     [&](const auto& s) { return s.first == band; });
      const Contribution c{line.id, line.located, line.km, line.square};
      if (kept == entry.scorers.end())
        entry.scorers.emplace_back(band, c);
      else if (line.start < lines[lineOfId[kept->second.id]].start)
        kept->second = c;
    }
    for (const auto& [band, c] : entry.scorers) add(band, c, +1);
  }

  void touch(CallEntry& entry, const Text& callSign) {
    if (entry.touched) return;
    entry.touched = true;
    touched.push_back(callSign);
  }

  void rescoreTouched() {
    for (const Text& callSign : touched) rescore(callSign);
    touched.clear();
  }

  void count(const Line& line) {
    auto& [callSign, entry] = *line.call;
    if (line.scored) {
      touch(entry, callSign);
      minutes.insert(line.minute);
    }
    entry.ids.push_back(line.id);
    if (line.square == kNoSquare) return;
    squareLines(line.square).add(line.band);
  }

  void uncount(const Line& line) {
    if (!line.call) return;
    auto& [callSign, entry] = *line.call;
    if (line.scored) {
      touch(entry, callSign);
      minutes.erase(minutes.find(line.minute));
    }
    std::erase(entry.ids, line.id);
    if (entry.ids.empty()) {
      unscore(entry);
      calls.erase(calls.find(callSign));
    }
    if (line.square == kNoSquare) return;
    squareLines(line.square).remove(line.band);
  }

  // Lines [first, last) replaced by the lines of `region`, which starts and
  // ends at line boundaries, at text position `start`; the lines behind move
  // by `shift`.
  void replaceLines(std::size_t first, std::size_t last, TextView region, std::size_t start,
                    std::ptrdiff_t shift) {
    for (std::size_t i = first; i < last; ++i) uncount(lines[i]);
    // Sized once: a whole log's lines are its largest block of memory, and
    // growing them step by step would hold up to twice that at a time. The
    // other tables are sized for a whole log only, so that an edit keeps
    // their growth by steps.
    std::vector<Line> fresh;
    fresh.reserve(static_cast<std::size_t>(std::count(region.begin(), region.end(), u'\n')) + 1);
    if (lines.empty()) {
      lineOfId.reserve(lineOfId.size() + fresh.capacity());
      calls.reserve(fresh.capacity());
    }
    ForEachLine(region, LoneLineFeed::EndsLine, [&](TextView text) {
      fresh.push_back(take(start + static_cast<std::size_t>(text.data() - region.data()), text));
    });
    const std::size_t freshCount = fresh.size();
    if (first == 0 && last == lines.size()) {
      lines = std::move(fresh);
    } else {
      const auto from = lines.begin() + static_cast<std::ptrdiff_t>(first);
      lines.erase(from, lines.begin() + static_cast<std::ptrdiff_t>(last));
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(first),
                   std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    }
    const std::size_t behind = first + freshCount;
    for (std::size_t i = behind; i < lines.size(); ++i)
      lines[i].start =
          static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lines[i].start) + shift);
    for (std::size_t i = first; i < lines.size(); ++i) lineOfId[lines[i].id] = i;
    rescoreTouched();
  }
};

LogModel::LogModel() : index_(std::make_unique<Index>()) {}
LogModel::~LogModel() = default;

void LogModel::setText(Text text) {
  text_ = std::move(text);
  reindex();
}

void LogModel::reindex() {
  index_->clear();
  index_->replaceLines(0, 0, text_, 0, 0);
}

void LogModel::setScoring(ScoringRules rules) {
  if (!IsLocator(rules.ownLocator)) rules.ownLocator.clear();
  rules.readDate = Remembering(std::move(rules.readDate));
  index_->defaultBand.reset();
  if (rules.defaultBand) index_->defaultBand = WorkedForm(*rules.defaultBand);
  index_->rules = std::move(rules);
  reindex();
}

// Only the lines the edit touches are read again. The line before the edit
// is among them, since a CR at its end and an LF at the edit's start form one
// line end; the line that holds the edit's end is too, and behind it the text
// and its line boundaries are as they were.
void LogModel::replace(std::size_t from, std::size_t removed, TextView inserted) {
  from = std::min(from, text_.size());
  removed = std::min(removed, text_.size() - from);
  const std::size_t oldSize = text_.size();
  Index& index = *index_;
  std::size_t first = 0, last = 0, start = 0, end = oldSize;
  if (!index.lines.empty()) {
    first = index.lineAt(from > 0 ? from - 1 : 0);
    last = index.lineAt(from + removed) + 1;
    start = index.lines[first].start;
    if (last < index.lines.size()) end = index.lines[last].start;
  }
  text_.replace(from, removed, inserted);
  const auto shift =
      static_cast<std::ptrdiff_t>(inserted.size()) - static_cast<std::ptrdiff_t>(removed);
  const std::size_t newEnd = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(end) + shift);
  index.replaceLines(first, last, TextView(text_).substr(start, newEnd - start), start, shift);
}

std::size_t LogModel::lineCount() const { return index_->lines.size(); }

CallCheck LogModel::check(TextView typed, bool multiband, TextView bandText) const {
  CallCheck check{.callSign = UpperCase(typed)};
  if (check.callSign.size() < kMinSearchedCallSign) return check;
  check.foundPosition = 0;
  const auto found = index_->calls.find(check.callSign);
  if (found == index_->calls.end()) return check;

  const auto& entry = found->second;
  std::size_t first = text_.size();
  for (const std::uint32_t id : entry.ids) {
    const Index::Line& line = index_->lines[index_->lineOfId[id]];
    first = std::min(first, line.start + line.callOffset);
  }
  check.foundPosition = first + 1;
  check.mark = CallMark::Duplicate;
  if (!multiband) return check;
  const auto band = index_->knownBand(bandText);
  const auto onBand = [&](std::uint32_t id) {
    return index_->lines[index_->lineOfId[id]].band == band;
  };
  if (!band || std::none_of(entry.ids.begin(), entry.ids.end(), onBand))
    check.mark = CallMark::NewBand;
  return check;
}

bool LogModel::squareWorked(TextView square, std::optional<TextView> bandText) const {
  const BandCounts* lines = index_->findSquareLines(SquareOf(square));
  if (!lines) return false;
  if (!bandText) return !lines->empty();
  const auto band = index_->knownBand(*bandText);
  return band && lines->contains(*band);
}

const std::map<std::optional<Text>, std::size_t>& LogModel::contactsPerBand() const {
  return index_->bandContacts;
}

std::size_t LogModel::contactCount() const {
  std::size_t count = 0;
  for (const auto& [band, contacts] : index_->bandContacts) count += contacts;
  return count;
}

long long LogModel::points(PointsRule rule) const {
  const auto at = std::find(std::begin(kRules), std::end(kRules), rule) - std::begin(kRules);
  return index_->points[static_cast<std::size_t>(at)];
}

bool LogModel::measuresDistance() const { return !index_->rules.ownLocator.empty(); }

std::size_t LogModel::squareCount() const { return index_->squaresScored.size(); }

std::optional<BestDx> LogModel::bestDx() const {
  const Index& index = *index_;
  if (index.byKm.empty()) return std::nullopt;
  const auto& [km, ids] = *index.byKm.rbegin();
  std::size_t at = index.lineOfId[ids.front()];
  for (const std::uint32_t id : ids) at = std::min<std::size_t>(at, index.lineOfId[id]);
  const auto qso = std::get<ParsedQso>(ParseQsoLine(lineText(at)));
  return BestDx{qso.callSign, qso.locator, km};
}

TextView LogModel::lineText(std::size_t at) const {
  const auto& lines = index_->lines;
  const std::size_t start = lines[at].start;
  const std::size_t end = at + 1 < lines.size() ? lines[at + 1].start : text_.size();
  return WithoutLineEnd(TextView(text_).substr(start, end - start));
}

std::optional<Text> LogModel::latestLocator(TextView typed) const {
  const Index& index = *index_;
  const auto found = index.calls.find(UpperCase(typed));
  if (found == index.calls.end()) return std::nullopt;
  std::vector<std::size_t> at;
  for (const std::uint32_t id : found->second.ids) at.push_back(index.lineOfId[id]);
  std::sort(at.rbegin(), at.rend());
  for (const std::size_t line : at) {
    const auto fields = SplitQsoLine(lineText(line));
    if (!fields) continue;
    const Text locator = WorkedForm(fields->locator);
    if (!AsciiLocator(locator).empty()) return locator;
  }
  return std::nullopt;
}

std::size_t LogModel::contactsBetween(UtcMinute first, UtcMinute last) const {
  if (last < first) return 0;
  const auto& minutes = index_->minutes;
  return static_cast<std::size_t>(
      std::distance(minutes.lower_bound(first), minutes.upper_bound(last)));
}

}  // namespace cardel
