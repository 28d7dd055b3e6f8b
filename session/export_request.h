#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "export.h"
#include "settings.h"

// What an export asks for, shared by "Esporta log" and cardel-export: the
// names of its choices, the options they make and what it cannot go without.
namespace cardel {

struct FormatName {
  logexport::Format format;
  const char* name;  // the dialog's caption; cardel-export's option in any letter case
  const char* extension;
  const char* filter;  // the file chooser's
};
inline constexpr std::array<FormatName, 3> kFormatNames{{
    {logexport::Format::Edi, "EDI", "edi", "EDI (*.edi)"},
    {logexport::Format::Cabrillo, "Cabrillo", "cbr", "Cabrillo (*.cbr *.log)"},
    {logexport::Format::Adif, "ADIF", "adi", "ADIF (*.adi)"},
}};

struct PointsName {
  logexport::PointsRule rule;
  const char* caption;  // the dialog's
  const char* option;   // cardel-export's
};
inline constexpr std::array<PointsName, 3> kPointsNames{{
    {logexport::PointsRule::Iaru, "IARU", "iaru"},
    {logexport::PointsRule::Km, "km", "km"},
    {logexport::PointsRule::Round, "arrotondati", "round"},
}};

// By name in any letter case; nothing for a name no entry has.
const FormatName* FindFormat(const QString& name);
std::optional<logexport::Mode> FindMode(const QString& name);
std::optional<logexport::PointsRule> FindPointsRule(const QString& name,
                                                    const char* PointsName::*column);

// The points rule the choices name; IARU for a name no entry has.
logexport::PointsRule ChosenPointsRule(const ExportChoices& choices);

// The bands a log's contacts were logged on, in the band list's order; the
// whole list when some contact has no band, since the choice gives it one.
QStringList OfferedBands(std::string_view logBytes);

// The options of the exporter program for these choices, this station and
// this log, with the window's names for them in the messages.
logexport::Options ToOptions(const ExportChoices& choices, const Station& station,
                             std::string_view logBytes);

// The regional short date the window writes into every contact line.
QString LogDateFormat();

// What keeps the dialog's choices from being exported, in the order it asks:
// the contest's name, then a station with a call sign and, for the EDI, a
// locator; a station "Stazione" would not keep is asked for as if missing.
enum class ExportRefusal { NoContest, IncompleteStation };
std::optional<ExportRefusal> RefusalFor(const ExportChoices& choices, const Station& station);

// The file an export proposes: the call sign, the band's megahertz and the
// format's extension, "Q9OWN-P_144.edi".
QString ProposedFileName(const QString& callSign, const QString& band, const QString& format);

}  // namespace cardel
