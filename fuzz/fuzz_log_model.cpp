// The log model's index against the reading of the whole text: random edits
// of a log (insertions, deletions, pastes across lines, every kind of line
// end, hand-typed lines), and after every step the index's verdict must
// equal CheckCallSign on the whole text for every call sign and band tried,
// the squares worked must be those a pass over the lines finds, and the score
// counted line by line must equal a fresh reading of the text.
//
// Input layout: a sequence of steps, each
//   byte 0   the step: low 2 bits pick insert / delete / replace / new text,
//            bit 2 -> the inserted piece is a contact line built from it
//   byte 1   where, as a share of the text's length (0..255)
//   byte 2   how many characters are removed
//   byte 3   length of the piece that follows (Windows-1252 bytes)

#include <algorithm>
#include <chrono>
#include <tuple>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "call_check.h"
#include "locator.h"
#include "log_model.h"
#include "qso_line.h"
#include "text.h"

namespace {

using cardel::Text;
using cardel::TextView;

Text Widen(std::string_view bytes) {
  Text text;
  for (unsigned char c : bytes) text.push_back(static_cast<char16_t>(c));
  return text;
}

// A contact line whose call sign and band come from the piece, so that the
// same stations come back and duplicates are common.
// Its length picks the locator, the date and the minute, so that distances
// tie, squares repeat and some dates do not read.
Text ContactLine(TextView piece) {
  const TextView call = piece.substr(0, std::min<std::size_t>(piece.size(), 6));
  const TextView band = piece.size() > 6 ? piece.substr(6) : TextView();
  const char16_t* locators[] = {u"JN61FW", u"JO22AB", u"JO22AC", u"IO91WM", u"JN61", u"XX99"};
  const std::size_t n = piece.size();
  const Text minute{char16_t(u'0' + n % 6), char16_t(u'0' + n % 10)};
  return cardel::ComposeQsoLine({.serial = u"001",
                                 .date = n % 7 == 3 ? u"31/02/2026" : u"01/01/2026",
                                 .time = u"12" + minute,
                                 .callSign = Text(call),
                                 .receivedSerial = u"002",
                                 .locator = locators[n % std::size(locators)],
                                 .band = band.empty() ? std::nullopt : std::optional<Text>(band)});
}

void Fail(const Text& text, TextView call, TextView band, bool multiband) {
  std::fprintf(stderr, "the index and the text disagree: call of %zu, band of %zu, multiband %d\n",
               call.size(), band.size(), multiband);
  std::fprintf(stderr, "text of %zu characters\n", text.size());
  std::abort();
}

std::string Ascii(TextView text) {
  std::string ascii;
  for (const char16_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return ascii;
}

// Whether a contact line's valid locator or square lies in `square` (on the
// band OK writes for `band`, if given), read line by line.
bool SquareInLines(TextView text, TextView square, std::optional<TextView> band) {
  const Text asked = cardel::WorkedForm(square);
  if (!cardel::IsLocatorOrSquare(Ascii(asked))) return false;
  bool found = false;
  cardel::ForEachLine(text, cardel::LoneLineFeed::EndsLine, [&](TextView line) {
    const auto fields = cardel::SplitQsoLine(line);
    if (found || !fields) return;
    const Text locator = cardel::WorkedForm(fields->locator);
    if (!cardel::IsLocatorOrSquare(Ascii(locator)) || locator.substr(0, 4) != asked.substr(0, 4))
      return;
    if (band && *band == cardel::kNoBand && fields->band) return;
    if (band && *band != cardel::kNoBand &&
        (!fields->band || cardel::WorkedForm(*fields->band) != cardel::WorkedForm(*band)))
      return;
    found = true;
  });
  return found;
}

void CheckSquares(const cardel::LogModel& model, const std::vector<Text>& bands) {
  for (const TextView square : {u"JN61", u"jn61fw", u"JO22", u" IO91WM", u"XX99", u"JN6"}) {
    std::vector<std::optional<TextView>> asked{std::nullopt};
    for (const Text& band : bands) asked.emplace_back(band);
    for (const auto& band : asked)
      if (model.squareWorked(square, band) != SquareInLines(model.text(), square, band)) {
        std::fprintf(stderr, "the index and the lines disagree on a square\n");
        std::abort();
      }
  }
}

// Every call sign and band of the text's contact lines, and a few others.
void CheckAll(const cardel::LogModel& model) {
  std::vector<Text> calls{u"Q1ABC", u"q1abc", u"Q1AB", u"Q1ABC/P"};
  std::vector<Text> bands{Text(cardel::kNoBand), u"144 Mhz", u" 144 mhz "};
  cardel::ForEachLine(model.text(), cardel::LoneLineFeed::EndsLine, [&](TextView line) {
    if (const auto fields = cardel::SplitQsoLine(line)) {
      if (calls.size() < 24) calls.push_back(cardel::WorkedForm(fields->callSign));
      if (fields->band && bands.size() < 12) bands.emplace_back(*fields->band);
    }
  });
  for (const Text& call : calls)
    for (const Text& band : bands)
      for (const bool multiband : {false, true})
        if (model.check(call, multiband, band) !=
            cardel::CheckCallSign(call, model.text(), multiband, band))
          Fail(model.text(), call, band, multiband);
  CheckSquares(model, bands);
}

std::optional<std::chrono::year_month_day> ReadDate(TextView date) {
  if (date == u"01/01/2026") return std::chrono::year_month_day(std::chrono::year(2026) / 1 / 1);
  return std::nullopt;
}

cardel::ScoringRules Rules() { return {"JN61FW", u"144 Mhz", ReadDate}; }

void CheckScore(const cardel::LogModel& model) {
  cardel::LogModel fresh;
  fresh.setScoring(Rules());
  fresh.setText(model.text());
  using cardel::PointsRule;
  const auto day = std::chrono::sys_days(std::chrono::year(2026) / 1 / 1);
  const auto hour = std::chrono::time_point_cast<std::chrono::minutes>(day) + std::chrono::hours(12);
  const auto same = [&](const auto& a, const auto& b) {
    if (!(a == b)) {
      std::fprintf(stderr, "the score counted line by line differs from a fresh reading\n");
      std::abort();
    }
  };
  same(model.contactsPerBand(), fresh.contactsPerBand());
  for (const PointsRule rule : {PointsRule::Iaru, PointsRule::Km, PointsRule::Round})
    same(model.points(rule), fresh.points(rule));
  same(model.squareCount(), fresh.squareCount());
  const auto odx = model.bestDx(), freshOdx = fresh.bestDx();
  same(odx.has_value(), freshOdx.has_value());
  if (odx) same(std::tie(odx->callSign, odx->locator, odx->km),
                std::tie(freshOdx->callSign, freshOdx->locator, freshOdx->km));
  same(model.contactsBetween(hour + std::chrono::minutes(10), hour + std::chrono::minutes(40)),
       fresh.contactsBetween(hour + std::chrono::minutes(10), hour + std::chrono::minutes(40)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  cardel::LogModel model;
  model.setScoring(Rules());
  while (rest.size() >= 4) {
    const auto step = static_cast<unsigned char>(rest[0]);
    const auto where = static_cast<unsigned char>(rest[1]);
    const auto removed = static_cast<unsigned char>(rest[2]);
    const std::size_t length =
        std::min<std::size_t>(static_cast<unsigned char>(rest[3]), rest.size() - 4);
    Text piece = Widen(rest.substr(4, length));
    rest.remove_prefix(4 + length);
    if (step & 4) piece = ContactLine(piece);

    const std::size_t at = model.text().size() * where / 255;
    switch (step & 3) {
      case 0: model.replace(at, 0, piece); break;
      case 1: model.replace(at, removed, {}); break;
      case 2: model.replace(at, removed, piece); break;
      case 3: model.setText(piece); break;
    }
    CheckAll(model);
    CheckScore(model);
  }
  return 0;
}
