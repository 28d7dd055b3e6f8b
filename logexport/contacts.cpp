#include "contacts.h"

#include <set>
#include <utility>
#include <variant>

#include "ascii.h"
#include "qso_line.h"
#include "qso_line_parse.h"

namespace cardel::logexport {

namespace {

std::string_view FaultText(QsoLineFault fault) {
  switch (fault) {
    case QsoLineFault::NotAContact: return "non è un collegamento";
    case QsoLineFault::NoSerial: return "manca il numero progressivo";
    case QsoLineFault::BadTime: return "ora non valida";
    case QsoLineFault::NoCallSign: return "manca il nominativo";
    case QsoLineFault::NoReceivedSerial: return "manca il numero ricevuto";
    case QsoLineFault::BlankInField: return "spazio dentro un campo";
  }
  return "non è un collegamento";
}

class Reader {
 public:
  Reader(const ReadingRules& rules, const DateReader& readDate)
      : rules_(rules), readDate_(readDate) {}

  void Read(const LogLine& line) {
    const auto parsed = ParseQsoLine(line.text);
    if (const auto* fault = std::get_if<QsoLineFault>(&parsed))
      return LeaveOut(line, FaultText(*fault));
    const auto& qso = std::get<ParsedQso>(parsed);

    Contact contact{.lineNumber = line.number};
    const auto day = QsoDay(qso, readDate_);
    if (!day) return LeaveOut(line, "data non valida");
    contact.date = *day;
    contact.hour = qso.time.hour;
    contact.minute = qso.time.minute;
    const auto band = TakeBand(line, qso.band);
    if (!band) return;
    contact.band = band->band;
    contact.bandName = band->name;
    contact.workedCallSign = qso.callSign;
    if (qso.band)
      contact.workedBand = WorkedForm(*qso.band);
    else if (rules_.defaultBand)
      contact.workedBand = WorkedForm(rules_.defaultBand->listText);

    std::string replaced;  // "è scritto e, ..." for each field folding changed
    for (const auto& [field, ascii] : {std::pair{&qso.serial, &contact.serial},
                                       {&qso.callSign, &contact.callSign},
                                       {&qso.receivedSerial, &contact.receivedSerial},
                                       {&qso.locator, &contact.locator}}) {
      Folded folded = FoldField(*field);
      if (folded.changed)
        replaced += (replaced.empty() ? "" : ", ") + Printable(*field) + " scritto " + folded.ascii;
      *ascii = std::move(folded.ascii);
    }
    if (!replaced.empty()) Note(line.number, "caratteri fuori ASCII sostituiti (" + replaced + ")");

    log_.contacts.push_back(std::move(contact));
  }

  ReadLog Result() && { return std::move(log_); }

 private:
  struct LineBand {
    const Band* band = nullptr;  // nullptr: hand-typed, or none
    std::string name;
  };

  // The band of a line, or nothing when the line is left out for it.
  std::optional<LineBand> TakeBand(const LogLine& line, const std::optional<Text>& band) {
    if (!band) {
      if (rules_.defaultBand)
        return LineBand{rules_.defaultBand, ToUtf8(rules_.defaultBand->listText)};
      if (rules_.bandRequired) {
        LeaveOut(line, "manca la banda (indicarla con " + rules_.bandOption + ")");
        return std::nullopt;
      }
      return LineBand{};
    }
    if (const Band* listed = FindBand(*band)) return LineBand{listed, ToUtf8(listed->listText)};
    if (rules_.bandRequired) {
      LeaveOut(line, "banda sconosciuta \"" + Printable(*band) + "\"");
      return std::nullopt;
    }
    Note(line.number, "banda \"" + Printable(*band) + "\" fuori dalla lista: BAND non scritto");
    return LineBand{nullptr, FoldHeaderText(*band).ascii};
  }

  void LeaveOut(const LogLine& line, std::string_view why) {
    ++log_.leftOut;
    Note(line.number, std::string(why) + ": " + Printable(line.text));
  }

  void Note(std::size_t number, std::string_view text) {
    log_.notes.push_back(NoteOnLine(number, text));
  }

  const ReadingRules& rules_;
  const DateReader& readDate_;
  ReadLog log_;
};

}  // namespace

LineNote NoteOnLine(std::size_t lineNumber, std::string_view about) {
  return {lineNumber, "riga " + std::to_string(lineNumber) + ": " + std::string(about)};
}

void MarkDuplicates(std::span<Contact> contacts) {
  std::set<std::pair<std::optional<Text>, Text>> worked;
  for (Contact& c : contacts) c.duplicate = !worked.emplace(c.workedBand, c.workedCallSign).second;
}

ReadLog ReadContacts(std::string_view logFileBytes, const ReadingRules& rules,
                     const DateReader& readDate) {
  Reader reader(rules, readDate);
  for (const LogLine& line : SplitLogLines(logFileBytes)) reader.Read(line);
  ReadLog log = std::move(reader).Result();
  MarkDuplicates(log.contacts);
  return log;
}

}  // namespace cardel::logexport
