#include "command_line.h"

#include <QCommandLineParser>

#include "export_request.h"
#include "log_file.h"
#include "qt_text.h"

namespace cardel {

namespace {

struct Parser {
  QCommandLineParser parser;
  QCommandLineOption format{QStringLiteral("format"),
                            QStringLiteral("Formato del file da scrivere: edi, cabrillo o adif "
                                           "(obbligatorio)."),
                            QStringLiteral("formato")};
  QCommandLineOption call{QStringLiteral("call"),
                          QStringLiteral("Il nominativo della propria stazione (obbligatorio)."),
                          QStringLiteral("nominativo")};
  QCommandLineOption locator{
      QStringLiteral("locator"),
      QStringLiteral("Il proprio locatore di 6 caratteri (EDI PWWLo): obbligatorio per edi; "
                     "aggiunge i punti per distanza e il punteggio dichiarato. In cabrillo mette "
                     "su ogni riga i due locatori: un collegamento senza locatore ricevuto è "
                     "escluso; senza --locator nessuna riga ha locatori."),
      QStringLiteral("locatore")};
  QCommandLineOption band{
      QStringLiteral("band"),
      QStringLiteral("La banda come la scrive l'elenco delle bande (\"144 Mhz\"): va ai "
                     "collegamenti senza banda; per edi sceglie la banda da esportare."),
      QStringLiteral("banda")};
  QCommandLineOption mode{QStringLiteral("mode"),
                          QStringLiteral("Il modo: SSB (predefinito), CW o FM. In CW il "
                                         "rapporto inviato è 599."),
                          QStringLiteral("modo"), QStringLiteral("SSB")};
  QCommandLineOption contest{
      QStringLiteral("contest"),
      QStringLiteral("Il nome del contest (EDI TName, Cabrillo CONTEST): obbligatorio per edi e "
                     "cabrillo, che lo scrivono nell'intestazione; per cabrillo il nome che usa "
                     "lo sponsor (IARU-R1-VHF...)."),
      QStringLiteral("nome")};
  QCommandLineOption section{
      QStringLiteral("section"),
      QStringLiteral("La sezione (EDI PSect), predefinita %1. Cabrillo CATEGORY-OPERATOR la "
                     "segue: SINGLE o SO dà SINGLE-OP, MULTI o MO dà MULTI-OP, CHECK dà CHECKLOG; "
                     "ogni altra SINGLE-OP, con un avviso.")
          .arg(QLatin1String(logexport::kDefaultSection)),
      QStringLiteral("sezione"), QLatin1String(logexport::kDefaultSection)};
  QCommandLineOption points{
      QStringLiteral("points"),
      QStringLiteral("Come la distanza dà i punti, su ogni riga e nel punteggio dichiarato: "
                     "iaru (predefinito) i km interi più 1, km i km interi, round i km "
                     "arrotondati al più vicino."),
      QStringLiteral("regola"), QStringLiteral("iaru")};
  QCommandLineOption dateFormat{
      QStringLiteral("date-format"),
      QStringLiteral("Come è scritta la data nelle righe, come formato di data Qt (dd/MM/yy); "
                     "predefinito: il formato breve di questo computer, \"%1\". Gli anni di due "
                     "cifre sono 20aa.")
          .arg(LogDateFormat()),
      QStringLiteral("formato"), LogDateFormat()};
  QCommandLineOption receivedReport{
      QStringLiteral("received-report"),
      QStringLiteral("Il rapporto ricevuto, predefinito 59 (599 in CW): il log non lo registra."),
      QStringLiteral("rapporto")};
  QCommandLineOption output{
      {QStringLiteral("o"), QStringLiteral("output")},
      QStringLiteral("Il file da scrivere, sostituito per intero solo a esportazione finita; "
                     "senza: lo standard output. Mai il file del log."),
      QStringLiteral("file")};
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Mostra questo aiuto.")};
  QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("Mostra la versione.")};

  Parser() {
    parser.setApplicationDescription(QStringLiteral(
        "Scrive il log di Cardel come EDI (REG1TEST), Cabrillo 3.0 o ADIF 3 e riassume su "
        "standard error collegamenti, doppi, righe escluse e punteggio.\n"
        "Nell'intestazione EDI i lettori vogliono TName (--contest), PCall (--call), PWWLo "
        "(--locator), PSect (--section) e PBand (--band o la banda del log); RCall è il "
        "proprio nominativo.\n"
        "Stato di uscita: 0 tutto esportato, 1 file scritto con righe escluse, 2 nulla "
        "scritto."));
    parser.addOptions({format, call, locator, band, mode, contest, section, points, dateFormat,
                       receivedReport, output, help, version});
    parser.addPositionalArgument(
        QStringLiteral("LOGFILE"),
        QStringLiteral("Il file del log; senza: %1 nella cartella corrente.")
            .arg(ToQString(kLogFileName)),
        QStringLiteral("[LOGFILE]"));
  }
};

CommandLine ReadExport(const Parser& p) {
  const QCommandLineParser& parser = p.parser;
  if (!parser.isSet(p.format))
    return Refusal{QStringLiteral("Manca --format: edi, cabrillo o adif.")};
  const FormatName* format = FindFormat(parser.value(p.format));
  if (!format)
    return Refusal{QStringLiteral("Formato sconosciuto \"%1\": usa edi, cabrillo o adif.")
                       .arg(parser.value(p.format))};
  ExportCommand command;
  logexport::Options& options = command.options;
  options.format = format->format;
  options.ownCall = parser.value(p.call).toStdString();
  if (logexport::MissingFor(options).callSign)
    return Refusal{QStringLiteral("Manca --call: il nominativo della propria stazione.")};
  const std::optional<logexport::Mode> mode = FindMode(parser.value(p.mode));
  if (!mode)
    return Refusal{
        QStringLiteral("Modo sconosciuto \"%1\": usa SSB, CW o FM.").arg(parser.value(p.mode))};
  const std::optional<logexport::PointsRule> pointsRule =
      FindPointsRule(parser.value(p.points), &PointsName::option);
  if (!pointsRule)
    return Refusal{QStringLiteral("Regola dei punti sconosciuta \"%1\": usa iaru, km o round.")
                       .arg(parser.value(p.points))};
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1)
    return Refusal{QStringLiteral("Un solo file del log, non %1: %2.")
                       .arg(files.size())
                       .arg(files.join(QStringLiteral(", ")))};

  if (parser.isSet(p.locator)) options.ownLocator = parser.value(p.locator).toStdString();
  if (parser.isSet(p.band)) options.band = parser.value(p.band).toStdString();
  options.mode = *mode;
  options.contest = parser.value(p.contest).toStdString();
  options.section = parser.value(p.section).toStdString();
  options.points = *pointsRule;
  if (parser.isSet(p.receivedReport))
    options.receivedReport = parser.value(p.receivedReport).toStdString();
  options.programVersion = CARDEL_VERSION;
  command.dateFormat = parser.value(p.dateFormat);
  command.logFile = files.isEmpty() ? ToQString(kLogFileName) : files.first();
  if (parser.isSet(p.output)) command.outputFile = parser.value(p.output);
  return command;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  Parser p;
  if (!p.parser.parse(arguments)) return Refusal{p.parser.errorText()};
  if (p.parser.isSet(p.help)) return Printout{p.parser.helpText()};
  if (p.parser.isSet(p.version))
    return Printout{QStringLiteral("cardel-export %1\n").arg(QLatin1String(CARDEL_VERSION))};
  return ReadExport(p);
}

QString ItalianParserTexts::translate(const char* context, const char* sourceText,
                                      const char* /*disambiguation*/, int /*n*/) const {
  static constexpr std::pair<const char*, const char*> kTexts[] = {
      {"Usage: %1", "Uso: %1"},
      {"[options]", "[opzioni]"},
      {"Options:", "Opzioni:"},
      {"Arguments:", "Argomenti:"},
      {"Unknown option '%1'.", "Opzione sconosciuta: '%1'."},
      {"Unknown options: %1.", "Opzioni sconosciute: %1."},
      {"Missing value after '%1'.", "Manca il valore dopo '%1'."},
      {"Unexpected value after '%1'.", "Valore inatteso dopo '%1'."},
  };
  if (qstrcmp(context, "QCommandLineParser") != 0) return {};
  for (const auto& [english, italian] : kTexts)
    if (qstrcmp(sourceText, english) == 0) return QString::fromUtf8(italian);
  return {};
}

}  // namespace cardel
