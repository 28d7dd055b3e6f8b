// The duplicate check on the call sign being typed, and the search under it.
//
// Input layout:
//   byte 0   flags: bit 0 -> multiband mode;
//                   bit 1 -> texts are raw UTF-16LE code units, otherwise
//                            Windows-1252 bytes;
//                   bit 2 -> a contact line of the upper-cased call sign
//                            (with the band text when bit 3 is set) is also
//                            written into the log at the place byte 3 picks,
//                            so that duplicates are common rather than rare.
//   byte 1   length in bytes of the typed call sign
//   byte 2   length in bytes of the band text
//   byte 3   where to write the call sign into the log; also the 1-based
//            start handed to Search on its own
//   then     the typed call sign, the band text, and the rest is the log.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "call_check.h"
#include "codepage.h"
#include "reference_model.h"
#include "text.h"

namespace {

struct Reader {
  std::string_view rest;
  bool utf16;

  model::Text Take(std::size_t bytes) {
    bytes = std::min(bytes, rest.size());
    const std::string_view part = rest.substr(0, bytes);
    rest.remove_prefix(bytes);
    return Convert(part);
  }

  model::Text Convert(std::string_view part) const { return model::TextFromBytes(part, utf16); }
};

// Search's contract: 1-based, 0 for none, an empty text holds nothing, and
// an empty sought text is found right at a start inside or just past the text.
std::size_t ModelSearch(model::TextView text, model::TextView sought, std::size_t start) {
  if (text.empty() || start == 0 || start > text.size() + 1) return 0;
  const auto at = model::FindFrom(text, sought, start - 1);
  return at ? *at + 1 : 0;
}

void Report(model::TextView typed, model::TextView log, model::TextView band, bool multiband,
            const cardel::CallCheck& check) {
  model::Dump("typed", typed);
  model::Dump("log", log);
  model::Dump("band", band);
  std::fprintf(stderr, "multiband %d, mark %d, found %ld\n", multiband,
               static_cast<int>(check.mark),
               check.foundPosition ? static_cast<long>(*check.foundPosition) : -1L);
}

}  // namespace

// Names the broken rule and the line that checks it, after the texts.
#define CALL_CHECK(cond, rule)                    \
  do {                                            \
    if (!(cond)) {                                \
      Report(typed, log, band, multiband, check); \
      model::Fail(rule, __FILE__, __LINE__);      \
    }                                             \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool multiband = input[0] & 1;
  const bool plant = input[0] & 4;
  const std::size_t place = static_cast<unsigned char>(input[3]);
  Reader reader{input.substr(4), static_cast<bool>(input[0] & 2)};
  const model::Text typed = reader.Take(static_cast<unsigned char>(input[1]));
  const model::Text band = reader.Take(static_cast<unsigned char>(input[2]));
  model::Text log = reader.Convert(reader.rest);
  // Whether the planted line reads back with the call sign as its field: a
  // call sign holding a line end or the separator behind it cannot.
  bool plantedReadsBack = false;
  if (plant) {
    const model::Text call = model::Upper(typed);
    model::Text line = u"1-+-d---0000---" + call + u"---59---1---";
    if (input[0] & 8) line += u"-->" + band;
    const auto read = model::ReadContactLine(line);
    plantedReadsBack = read && model::Worked(read->callSign) == call &&
                       !model::FindFrom(call, u"\r", 0) && !model::FindFrom(call, u"\n", 0);
    log.insert(std::min(place, log.size()), u"\r\n" + line + u"\r\n");
  }

  FUZZ_CHECK(cardel::Search(log, band, place) == ModelSearch(log, band, place));
  FUZZ_CHECK(cardel::UpperCase(typed) == model::Upper(typed));

  // What a single-line box keeps of a pasted text: no line end, and only
  // characters that save and read back as themselves.
  const cardel::Text kept = cardel::SingleLineText(typed);
  FUZZ_CHECK(kept.find_first_of(u"\r\n") == cardel::Text::npos);
  FUZZ_CHECK(model::Decode(cardel::EncodeWindows1252(kept)) == kept);
  FUZZ_CHECK(kept.size() <= typed.size());

  const cardel::CallCheck check = cardel::CheckCallSign(typed, log, multiband, band);
  CALL_CHECK(check.callSign == model::Upper(typed), "the call sign is the typed text upper-cased");
  CALL_CHECK(check.callSign.size() == typed.size(), "upper-casing keeps the length");

  if (check.callSign.size() < 4) {
    CALL_CHECK(check.mark == cardel::CallMark::Normal, "three characters or fewer are Normal");
    CALL_CHECK(!check.foundPosition, "a short call sign is not searched for");
    return 0;
  }

  // The model's verdict: every line read on its own, the call sign compared
  // with each contact line's call-sign field, the band with its band, both
  // read as the exporter reads them.
  std::optional<std::size_t> first;
  bool onBand = false;
  model::ForEachLine(log, [&](std::size_t start, model::TextView line) {
    const auto contact = model::ReadContactLine(line);
    if (!contact || model::Worked(contact->callSign) != check.callSign) return;
    if (!first) first = start + contact->callAt;
    const bool noBand = band == model::TextView(u"...");
    onBand =
        onBand || (noBand ? !contact->band
                          : contact->band && model::Worked(*contact->band) == model::Worked(band));
  });
  CALL_CHECK(check.foundPosition.has_value(), "a long call sign is searched for");
  CALL_CHECK(*check.foundPosition == (first ? *first + 1 : 0),
             "found at the call-sign field of its first contact line");
  CALL_CHECK((check.mark != cardel::CallMark::Normal) == first.has_value(),
             "marked exactly when a contact line holds the call sign");
  CALL_CHECK(multiband || check.mark != cardel::CallMark::NewBand,
             "NewBand only in multiband mode");
  if (first && multiband) {
    const auto want = onBand ? cardel::CallMark::Duplicate : cardel::CallMark::NewBand;
    CALL_CHECK(check.mark == want, "Duplicate exactly when a line of the call is on the band");
  }
  CALL_CHECK(!plantedReadsBack || first, "a contact line written into the log is found");
  return 0;
}
