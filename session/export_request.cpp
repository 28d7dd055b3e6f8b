#include "export_request.h"

#include <QLocale>
#include <algorithm>
#include <variant>

#include "bands.h"
#include "qso_line_parse.h"
#include "qt_text.h"

namespace cardel {

namespace {

bool SameName(const QString& name, const char* entry) {
  return name.compare(QLatin1String(entry), Qt::CaseInsensitive) == 0;
}

// The contact lines of a log, read as the exporter reads them.
std::vector<ParsedQso> Contacts(std::string_view logBytes) {
  std::vector<ParsedQso> contacts;
  for (const LogLine& line : SplitLogLines(logBytes))
    if (auto parsed = ParseQsoLine(line.text); auto* qso = std::get_if<ParsedQso>(&parsed))
      contacts.push_back(std::move(*qso));
  return contacts;
}

// A log of HF contacts has no received locators: its Cabrillo is written
// without the station's locator too, as the exporter writes it without one.
bool HasReceivedLocator(std::string_view logBytes) {
  return std::ranges::any_of(Contacts(logBytes),
                             [](const ParsedQso& qso) { return !qso.locator.empty(); });
}

}  // namespace

const FormatName* FindFormat(const QString& name) {
  for (const FormatName& format : kFormatNames)
    if (SameName(name, format.name)) return &format;
  return nullptr;
}

std::optional<logexport::Mode> FindMode(const QString& name) {
  for (const logexport::Mode mode : logexport::kModes)
    if (SameName(name, logexport::ModeName(mode).data())) return mode;
  return std::nullopt;
}

std::optional<logexport::PointsRule> FindPointsRule(const QString& name,
                                                    const char* PointsName::*column) {
  for (const PointsName& points : kPointsNames)
    if (SameName(name, points.*column)) return points.rule;
  return std::nullopt;
}

QStringList OfferedBands(std::string_view logBytes) {
  std::vector<bool> held(logexport::Bands().size(), false);
  bool unbanded = false;
  for (const ParsedQso& qso : Contacts(logBytes)) {
    if (!qso.band) {
      unbanded = true;
    } else if (const auto* band = logexport::FindBand(*qso.band)) {
      held[std::size_t(band - logexport::Bands().data())] = true;
    }
  }
  QStringList offered;
  for (std::size_t i = 0; i < held.size(); ++i)
    if (held[i] || unbanded) offered.append(ToQString(logexport::Bands()[i].listText));
  return offered;
}

logexport::PointsRule ChosenPointsRule(const ExportChoices& choices) {
  return FindPointsRule(choices.points, &PointsName::caption).value_or(logexport::PointsRule::Iaru);
}

logexport::Options ToOptions(const ExportChoices& choices, const Station& station,
                             std::string_view logBytes) {
  logexport::Options options;
  if (const FormatName* format = FindFormat(choices.format)) options.format = format->format;
  options.ownCall = station.callSign.toStdString();
  if (!station.locator.isEmpty() &&
      (options.format != logexport::Format::Cabrillo || HasReceivedLocator(logBytes)))
    options.ownLocator = station.locator.toStdString();
  if (!choices.band.isEmpty()) options.band = choices.band.toStdString();
  options.mode = FindMode(choices.mode).value_or(logexport::Mode::Ssb);
  options.contest = choices.contest.toStdString();
  options.section = choices.section.toStdString();
  options.points = ChosenPointsRule(choices);
  options.programVersion = CARDEL_VERSION;
  options.names = {
      .call = "Nominativo in \"Stazione\"",
      .locator = "Locatore in \"Stazione\"",
      .band = "Banda",
      .section = "Sezione",
  };
  return options;
}

QString LogDateFormat() { return QLocale::system().dateFormat(QLocale::ShortFormat); }

std::optional<ExportRefusal> RefusalFor(const ExportChoices& choices, const Station& station) {
  // The log does not change what is missing: any will do.
  const logexport::Missing missing = logexport::MissingFor(ToOptions(choices, station, {}));
  if (missing.contest) return ExportRefusal::NoContest;
  if (missing.callSign || missing.locator || StationFault(station))
    return ExportRefusal::IncompleteStation;
  return std::nullopt;
}

// A file name holds no "/" of a portable call sign.
QString ProposedFileName(const QString& callSign, const QString& band, const QString& format) {
  QString stem = callSign.isEmpty() ? QStringLiteral("cardel") : callSign;
  stem.replace(u'/', u'-');
  if (const auto* found = logexport::FindBand(ToText(band)))
    stem += u'_' + QString::number(found->megahertz);
  const FormatName* named = FindFormat(format);
  return stem + u'.' + QLatin1String((named ? *named : kFormatNames.front()).extension);
}

}  // namespace cardel
