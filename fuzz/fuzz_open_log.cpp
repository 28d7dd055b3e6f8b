// Opening a log file into the log box, and the file code page under it.
//
// Input layout:
//   byte 0      flags: bit 0 set  -> the box text is raw UTF-16LE code units
//                                    (any unit, lone surrogates included);
//                      bit 0 clear-> the box text is Windows-1252 bytes;
//                      bit 1 set  -> there is no file at all.
//   bytes 1..2  length of the box part in bytes, little endian (clamped).
//   then        the box part, then the rest is the file's bytes.
// A box part of odd length in UTF-16 mode drops its last byte.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "codepage.h"
#include "log_file.h"
#include "reference_model.h"

namespace {

void CheckCaption(model::TextView log, const std::optional<model::Text>& caption) {
  if (caption && !model::IsSerialCaption(*caption)) {
    model::Dump("log", log);
    model::Dump("caption", *caption);
    FUZZ_CHECK(!"the caption is three digits 001..999");
  }
  if (const auto known = model::KnownCaption(log); known && *known != caption) {
    model::Dump("log", log);
    model::Dump("caption", caption.value_or(u"<none>"));
    model::Dump("expected", known->value_or(u"<none>"));
    FUZZ_CHECK(!"the caption follows the serial before the last -+-");
  }
}

// A text the code page holds must save and decode back unchanged; anything
// else must save as the code page's bytes with "?" for what it lacks.
void CheckCodePage(model::TextView text) {
  const std::string bytes = cardel::EncodeWindows1252(text);
  if (bytes != model::Encode(text)) {
    model::Dump("text", text);
    model::Dump("encoded", bytes);
    model::Dump("expected", model::Encode(text));
    FUZZ_CHECK(!"encoding matches the code page");
  }
  if (model::Representable(text)) FUZZ_CHECK(cardel::DecodeWindows1252(bytes) == text);
}

// Save then open into an empty box gives the log back, for every log the
// program itself could leave in the box after opening a file: no doubled line
// end (it would be halved), ending in CR LF (Save adds one that the collapse
// must eat) and no lone CR (it would become CR LF). A log the code page cannot
// hold loses characters to "?" by design.
void CheckSaveRoundTrip(model::TextView log) {
  if (log.empty() || !log.ends_with(u"\r\n") || model::Contains(log, u"\r\n\r\n") ||
      model::HasLoneCr(log) || !model::Representable(log))
    return;
  const auto saved = cardel::SaveLog(log, u"/tmp/cardel.txt");
  FUZZ_CHECK(std::holds_alternative<cardel::SaveOrder>(saved));
  const std::string& bytes = std::get<cardel::SaveOrder>(saved).bytes;
  FUZZ_CHECK(bytes == model::Encode(model::Text(log) + u"\r\n"));
  const auto reopened = cardel::OpenLog(u"", std::string_view(bytes));
  FUZZ_CHECK(std::holds_alternative<cardel::OpenedLog>(reopened));
  if (std::get<cardel::OpenedLog>(reopened).logText != log) {
    model::Dump("log", log);
    model::Dump("reopened", std::get<cardel::OpenedLog>(reopened).logText);
    FUZZ_CHECK(!"save then open gives the log back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool utf16Box = input[0] & 1;
  const bool noFile = input[0] & 2;
  const std::size_t boxLength = std::min<std::size_t>(
      static_cast<unsigned char>(input[1]) | static_cast<unsigned char>(input[2]) << 8, size - 3);
  const model::Text box = model::TextFromBytes(input.substr(3, boxLength), utf16Box);
  const std::string_view file = input.substr(3 + boxLength);

  // Any byte sequence is a readable file and must save back byte for byte.
  const cardel::Text decoded = cardel::DecodeWindows1252(file);
  FUZZ_CHECK(decoded == model::Decode(file));
  FUZZ_CHECK(cardel::EncodeWindows1252(decoded) == file);
  CheckCodePage(box);

  const auto caption = cardel::RestoreSerial(box);
  CheckCaption(box, caption);
  CheckSaveRoundTrip(box);

  if (noFile) {
    const auto result = cardel::OpenLog(box, std::nullopt);
    FUZZ_CHECK(std::holds_alternative<cardel::Message>(result));
    FUZZ_CHECK(!std::get<cardel::Message>(result).text.empty());
    return 0;
  }

  // The pieces first, so a mismatch below is easier to place.
  const model::Text lines = model::Lines(model::Decode(file));
  FUZZ_CHECK(cardel::ReadLogLines(file) == lines);
  FUZZ_CHECK(cardel::CollapseDoubledLineEnds(box + lines) == model::CollapseOnce(box + lines));

  const auto result = cardel::OpenLog(box, file);
  FUZZ_CHECK(std::holds_alternative<cardel::OpenedLog>(result));
  const auto& opened = std::get<cardel::OpenedLog>(result);
  const model::Text expected = model::OpenedText(box, file);
  if (opened.logText != expected) {
    model::Dump("box", box);
    model::Dump("file", file);
    model::Dump("log", opened.logText);
    model::Dump("expected", expected);
    FUZZ_CHECK(!"the opened log matches the model");
  }
  CheckCaption(opened.logText, opened.serialCaption);
  FUZZ_CHECK(opened.serialCaption == cardel::RestoreSerial(opened.logText));
  CheckCodePage(opened.logText);
  CheckSaveRoundTrip(opened.logText);
  return 0;
}
