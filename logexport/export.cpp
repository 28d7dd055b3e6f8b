#include "export.h"

#include <algorithm>
#include <set>
#include <utility>
#include <variant>

#include "ascii.h"
#include "bands.h"
#include "contacts.h"
#include "qso_line.h"
#include "running_score.h"
#include "scoring.h"
#include "writers.h"

namespace cardel::logexport {

namespace {

// The options once checked; a text instead is the refusal.
struct Checked {
  Station station;
  const Band* band = nullptr;
  std::vector<std::string> warnings;
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string BandList() {
  std::string names;
  for (const Band& band : Bands()) names += (names.empty() ? "" : ", ") + ToUtf8(band.listText);
  return names;
}

std::string NoEdiBelow50(const Band& band) {
  return "l'EDI non copre la banda " + ToUtf8(band.listText) + ": solo da 50 Mhz in su";
}

std::string AsciiUpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// The Cabrillo category of the EDI section, when the two mean the same.
std::optional<std::string_view> CategoryOperator(std::string_view section) {
  const std::string first = AsciiUpperCase(section.substr(0, section.find_first_of(" -/")));
  if (first == "SINGLE" || first == "SO") return "SINGLE-OP";
  if (first == "MULTI" || first == "MO") return "MULTI-OP";
  if (first == "CHECK" || first == "CHECKLOG") return "CHECKLOG";
  return std::nullopt;
}

// The checked options with the section's, or the refusal.
std::variant<Checked, std::string> CheckSection(const Options& options, Checked checked) {
  const auto section = FoldHeaderText(FromUtf8(options.section));
  if (section.ascii.find_first_not_of(' ') == std::string::npos && options.format == Format::Edi)
    return "sezione vuota (" + options.names.section + "): l'EDI la scrive in PSect";
  if (section.changed)
    checked.warnings.push_back(options.names.section + ": caratteri fuori ASCII sostituiti (" +
                               options.section + " scritto " + section.ascii + ")");
  checked.station.section = section.ascii;
  const auto category = CategoryOperator(section.ascii);
  checked.station.categoryOperator = category.value_or("SINGLE-OP");
  if (!category && options.format == Format::Cabrillo)
    checked.warnings.push_back(options.names.section + " " + Quoted(options.section) +
                               " non dice se gli operatori sono uno o più: CATEGORY-OPERATOR "
                               "scritto SINGLE-OP");
  return checked;
}

std::variant<Checked, std::string> CheckOptions(const Options& options) {
  Checked checked;
  Station& station = checked.station;
  station.mode = options.mode;
  const Missing missing = MissingFor(options);
  if (missing.callSign) return "manca il nominativo della stazione (" + options.names.call + ")";
  station.call = AsciiUpperCase(options.ownCall);
  if (!IsStationCall(station.call))
    return "nominativo della stazione non valido: " + Quoted(options.ownCall);
  if (missing.contest)
    return std::string(options.format == Format::Edi ? "l'EDI" : "il Cabrillo") +
           " nomina il contest: manca --contest";
  auto withSection = CheckSection(options, std::move(checked));
  if (const auto* refusal = std::get_if<std::string>(&withSection)) return *refusal;
  checked = std::get<Checked>(std::move(withSection));

  if (options.ownLocator) {
    station.locator = AsciiUpperCase(*options.ownLocator);
    if (!IsLocator(*station.locator))
      return "locatore della stazione non valido: " + Quoted(*options.ownLocator) +
             " (servono 6 caratteri, come JN61FW)";
  } else if (missing.locator) {
    return "per l'EDI serve il locatore della stazione (" + options.names.locator + ")";
  }

  if (options.band) {
    checked.band = FindBand(FromUtf8(*options.band));
    if (!checked.band)
      return "banda sconosciuta: " + Quoted(*options.band) + " (bande: " + BandList() + ")";
    if (options.format == Format::Edi && checked.band->edi.empty())
      return NoEdiBelow50(*checked.band);
  }

  // The log stores the phone report; telegraphy reports have a tone digit.
  const std::string usual = options.mode == Mode::Cw ? "599" : "59";
  station.sentReport = usual;
  const std::string typedReport = options.receivedReport.value_or(usual);
  const auto report = FoldField(FromUtf8(typedReport));
  if (report.ascii.empty() || report.changed)
    return "rapporto ricevuto non valido: " + Quoted(typedReport);
  station.receivedReport = report.ascii;

  const auto contest = FoldHeaderText(FromUtf8(options.contest));
  if (contest.changed)
    checked.warnings.push_back("--contest: caratteri fuori ASCII sostituiti (" + options.contest +
                               " scritto " + contest.ascii + ")");
  station.contest = contest.ascii;
  station.programVersion = FoldField(FromUtf8(options.programVersion)).ascii;
  return checked;
}

// An EDI file covers one band: the one asked for, or the log's only band.
std::variant<const Band*, std::string> EdiBand(const Band* asked, std::span<const Contact> contacts,
                                               const OptionNames& names) {
  if (asked) return asked;
  std::set<const Band*> found;  // band list order: they point into one array
  for (const Contact& c : contacts) found.insert(c.band);
  if (found.size() > 1) {
    std::string list;
    for (const Band* band : found) list += (list.empty() ? "" : ", ") + ToUtf8(band->listText);
    return "il log ha più bande (" + list + "): sceglierne una con " + names.band;
  }
  if ((*found.begin())->edi.empty()) return NoEdiBelow50(**found.begin());
  return *found.begin();
}

std::string PerBand(std::span<const Contact> contacts) {
  std::vector<BandCount> counts;
  for (const Contact& c : contacts) {
    const auto it = std::find_if(counts.begin(), counts.end(),
                                 [&](const BandCount& n) { return n.name == c.bandName; });
    if (it == counts.end())
      counts.push_back({c.band, c.bandName, 1});
    else
      ++it->contacts;
  }
  return PerBandText(std::move(counts));
}

std::vector<std::string> Summary(std::span<const Contact> exported,
                                 std::span<const Contact> otherBands, std::size_t leftOut,
                                 const std::optional<Score>& score) {
  const auto duplicates =
      std::count_if(exported.begin(), exported.end(), [](const Contact& c) { return c.duplicate; });
  std::vector<std::string> lines{"Collegamenti: " + std::to_string(exported.size()) + " (" +
                                 PerBand(exported) + ")"};
  if (!otherBands.empty()) lines.push_back("Altre bande, non nel file: " + PerBand(otherBands));
  lines.push_back("Doppi: " + std::to_string(duplicates));
  lines.push_back("Righe escluse: " + std::to_string(leftOut));
  if (!score) return lines;
  lines.push_back("Punti: " + std::to_string(score->total));
  std::optional<BestDx> odx;
  if (score->odx) {
    const Contact& far = exported[*score->odx];
    odx = BestDx{FromUtf8(far.callSign), FromUtf8(far.locator), *score->contacts[*score->odx].km};
  }
  lines.push_back(OdxLine(odx));
  lines.push_back("Punteggio dichiarato: " + std::to_string(score->total));
  return lines;
}

class Exporter {
 public:
  Outcome Run(std::string_view bytes, const Options& options, const DateReader& readDate) {
    auto checked = CheckOptions(options);
    if (auto* refusal = std::get_if<std::string>(&checked)) return Refuse(*refusal);
    auto& [station, band, warnings] = std::get<Checked>(checked);
    outcome_.diagnostics = std::move(warnings);

    ReadLog log =
        ReadContacts(bytes, {band, options.format != Format::Adif, options.names.band}, readDate);
    notes_ = std::move(log.notes);
    if (log.contacts.empty()) return Refuse("nessun collegamento nel log");

    std::vector<Contact> exported = std::move(log.contacts);
    std::vector<Contact> otherBands;
    const Band* ediBand = nullptr;
    if (options.format == Format::Edi) {
      auto chosen = EdiBand(band, exported, options.names);
      if (auto* refusal = std::get_if<std::string>(&chosen)) return Refuse(*refusal);
      ediBand = std::get<const Band*>(chosen);
      const auto other = std::stable_partition(exported.begin(), exported.end(),
                                               [&](const Contact& c) { return c.band == ediBand; });
      otherBands.assign(std::make_move_iterator(other), std::make_move_iterator(exported.end()));
      exported.erase(other, exported.end());
      if (exported.empty())
        return Refuse("nessun collegamento sulla banda " + ToUtf8(ediBand->listText));
    }

    if (options.format == Format::Cabrillo && station.locator)
      LeaveOutWithoutLocator(exported, log);
    if (exported.empty()) return Refuse("nessun collegamento da scrivere");
    if (options.format == Format::Edi) {
      auto repaired = ToEdiQsoNumbers(exported);
      notes_.insert(notes_.end(), repaired.begin(), repaired.end());
    }

    std::optional<Score> score;
    if (station.locator) {
      score = ScoreContacts(exported, *station.locator, options.points);
      notes_.insert(notes_.end(), score->notes.begin(), score->notes.end());
    }
    switch (options.format) {
      case Format::Edi: outcome_.output = WriteEdi(exported, *score, station, *ediBand); break;
      case Format::Cabrillo: outcome_.output = WriteCabrillo(exported, score, station); break;
      case Format::Adif: outcome_.output = WriteAdif(exported, station); break;
    }
    AddNotes();
    for (auto& line : Summary(exported, otherBands, log.leftOut, score))
      outcome_.diagnostics.push_back(std::move(line));
    outcome_.exitStatus = log.leftOut > 0 ? 1 : 0;
    return std::move(outcome_);
  }

 private:
  // With the own locator every Cabrillo line ends in the received one: a
  // contact without it would shift its columns.
  void LeaveOutWithoutLocator(std::vector<Contact>& contacts, ReadLog& log) {
    const auto leftOut = std::erase_if(contacts, [&](const Contact& c) {
      if (!c.locator.empty()) return false;
      notes_.push_back(
          NoteOnLine(c.lineNumber, c.callSign + " senza locatore ricevuto, che il Cabrillo con il "
                                                "locatore della stazione scrive su ogni riga: "
                                                "escluso"));
      return true;
    });
    log.leftOut += leftOut;
    if (leftOut > 0) MarkDuplicates(contacts);
  }

  Outcome Refuse(const std::string& why) {
    AddNotes();
    outcome_.diagnostics.push_back(why);
    outcome_.output.clear();
    outcome_.exitStatus = 2;
    return std::move(outcome_);
  }

  void AddNotes() {
    std::stable_sort(notes_.begin(), notes_.end(), [](const LineNote& a, const LineNote& b) {
      return a.lineNumber < b.lineNumber;
    });
    for (auto& note : notes_) outcome_.diagnostics.push_back(std::move(note.text));
    notes_.clear();
  }

  Outcome outcome_;
  std::vector<LineNote> notes_;
};

}  // namespace

Missing MissingFor(const Options& options) {
  // A name of blanks alone is no name: the header would carry it empty.
  return {
      .callSign = options.ownCall.empty(),
      .contest = options.format != Format::Adif &&
                 WithoutInvisibleAround(FromUtf8(options.contest)).empty(),
      .locator = options.format == Format::Edi && !options.ownLocator,
  };
}

bool IsStationCall(std::string_view call) {
  return std::all_of(call.begin(), call.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
  });
}

Outcome Export(std::string_view logFileBytes, const Options& options, const DateReader& readDate) {
  return Exporter().Run(logFileBytes, options, readDate);
}

}  // namespace cardel::logexport
