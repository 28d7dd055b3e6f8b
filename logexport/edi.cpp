#include <algorithm>
#include <charconv>
#include <optional>

#include "writers.h"

namespace cardel::logexport {

namespace {

// The number in EDI form, or nullopt when it has none.
std::optional<std::string> EdiQsoNumber(std::string_view typed) {
  if (typed.empty() || typed.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  const auto first = std::min(typed.find_first_not_of('0'), typed.size());
  const std::string_view digits = typed.substr(first);
  if (digits.size() > 4) return std::nullopt;
  int number = 0;  // stays 0 for no digits after the zeros
  std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return Digits(number, 3);
}

void ToEdiQsoNumber(std::string& number, std::string_view name, std::size_t line,
                    std::vector<LineNote>& notes) {
  if (auto edi = EdiQsoNumber(number)) {
    number = std::move(*edi);
    return;
  }
  notes.push_back(NoteOnLine(line, std::string(name) + " \"" + number +
                                       "\" non è un numero di 4 cifre al più: lasciato vuoto"));
  number.clear();
}

std::string Record(const Contact& c, const ContactScore& scored, const Station& station) {
  const std::string fields[] = {
      CompactDate(c.date).substr(2),
      Digits(c.hour, 2) + Digits(c.minute, 2),
      c.callSign,
      std::string(NamesOf(station.mode).ediCode),
      station.sentReport,
      c.serial,
      station.receivedReport,
      c.receivedSerial,
      "",
      // A received WWL has 0, 4 or 6 characters: a field and square, as
      // typed, scores nothing but tells the checker what was heard. The
      // scoring has named any other as not valid.
      IsLocator(c.locator) || IsSquare(c.locator) ? c.locator : "",
      std::to_string(scored.points),
      "",
      scored.newSquare ? "N" : "",
      "",
      c.duplicate ? "D" : "",
  };
  std::string record = fields[0];
  for (std::size_t i = 1; i < std::size(fields); ++i) record.append(";").append(fields[i]);
  return record;
}

std::string TDate(std::span<const Contact> contacts) {
  const auto [first, last] =
      std::minmax_element(contacts.begin(), contacts.end(),
                          [](const Contact& a, const Contact& b) { return a.date < b.date; });
  return CompactDate(first->date) + ";" + CompactDate(last->date);
}

}  // namespace

std::vector<LineNote> ToEdiQsoNumbers(std::span<Contact> contacts) {
  std::vector<LineNote> notes;
  for (Contact& c : contacts) {
    ToEdiQsoNumber(c.serial, "numero progressivo", c.lineNumber, notes);
    ToEdiQsoNumber(c.receivedSerial, "numero ricevuto", c.lineNumber, notes);
  }
  return notes;
}

std::string WriteEdi(std::span<const Contact> contacts, const Score& score, const Station& station,
                     const Band& band) {
  std::size_t valid = 0;
  for (const Contact& c : contacts) valid += c.duplicate ? 0 : 1;
  std::size_t squares = 0;
  for (const ContactScore& scored : score.contacts) squares += scored.newSquare ? 1 : 0;
  std::string odx;
  if (score.odx) {
    const Contact& far = contacts[*score.odx];
    odx = far.callSign + ";" + far.locator + ";" +
          std::to_string(WholeKm(*score.contacts[*score.odx].km));
  }
  const std::pair<std::string_view, std::string> header[] = {
      {"TName", station.contest},
      {"TDate", TDate(contacts)},
      {"PCall", station.call},
      {"PWWLo", station.locator.value_or("")},
      {"PExch", ""},
      {"PAdr1", ""},
      {"PAdr2", ""},
      {"PSect", station.section},
      {"PBand", std::string(band.edi)},
      {"PClub", ""},
      {"RName", ""},
      {"RCall", station.call},
      {"MOpe1", ""},
      {"MOpe2", ""},
      {"SPowe", ""},
      {"SAnte", ""},
      {"CQSOs", std::to_string(valid) + ";1"},
      {"CQSOP", std::to_string(score.total)},
      {"CWWLs", std::to_string(squares) + ";0;1"},
      {"CWWLB", ""},
      {"CExcs", ""},
      {"CExcB", ""},
      {"CDXCs", ""},
      {"CDXCB", ""},
      {"CToSc", std::to_string(score.total)},
      {"CODXC", odx},
  };
  std::string edi = "[REG1TEST;1]";
  edi += kCrLf;
  for (const auto& [key, value] : header) edi.append(key).append("=").append(value).append(kCrLf);
  edi.append("[Remarks]").append(kCrLf);
  edi.append("[QSORecords;").append(std::to_string(contacts.size())).append("]").append(kCrLf);
  for (std::size_t i = 0; i < contacts.size(); ++i)
    edi.append(Record(contacts[i], score.contacts[i], station)).append(kCrLf);
  return edi;
}

}  // namespace cardel::logexport
