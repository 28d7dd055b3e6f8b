#include "export_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <array>
#include <utility>
#include <variant>

#include "bands.h"
#include "files.h"
#include "log_dates.h"
#include "platform.h"
#include "qso_line_parse.h"
#include "qt_text.h"
#include "station_dialog.h"

namespace cardel {

namespace {

using logexport::Format;
using logexport::Mode;
using logexport::PointsRule;

struct FormatName {
  const char* caption;
  Format format;
  const char* extension;
  const char* filter;  // the file chooser's
};
constexpr std::array<FormatName, 3> kFormats{{
    {"EDI", Format::Edi, "edi", "EDI (*.edi)"},
    {"Cabrillo", Format::Cabrillo, "cbr", "Cabrillo (*.cbr *.log)"},
    {"ADIF", Format::Adif, "adi", "ADIF (*.adi)"},
}};
constexpr std::array<std::pair<const char*, PointsRule>, 3> kPoints{{
    {"IARU", PointsRule::Iaru},
    {"km", PointsRule::Km},
    {"arrotondati", PointsRule::Round},
}};

const QString kTitle = QStringLiteral("Esporta log");

const FormatName& FindFormat(const QString& caption) {
  for (const auto& f : kFormats)
    if (caption == QLatin1String(f.caption)) return f;
  return kFormats.front();
}

template <typename Value, std::size_t N>
Value Find(const std::array<std::pair<const char*, Value>, N>& table, const QString& caption) {
  for (const auto& [text, value] : table)
    if (caption == QLatin1String(text)) return value;
  return table.front().second;
}

template <typename Value, std::size_t N>
void Fill(QComboBox* box, const std::array<std::pair<const char*, Value>, N>& table) {
  for (const auto& [text, value] : table) box->addItem(QLatin1String(text));
}

void Select(QComboBox* box, const QString& text) {
  if (const int index = box->findText(text); index >= 0) box->setCurrentIndex(index);
}

// A file name holds no "/" of a portable call sign.
QString FileStem(const QString& callSign, const QString& band) {
  QString stem = callSign.isEmpty() ? QStringLiteral("cardel") : callSign;
  stem.replace(u'/', u'-');
  if (const auto* found = logexport::FindBand(ToText(band)))
    stem += u'_' + QString::number(found->megahertz);
  return stem;
}

// A log of HF contacts has no received locators: its Cabrillo is written
// without the station's locator too, as the exporter writes it without one.
bool HasReceivedLocator(std::string_view logBytes) {
  for (const LogLine& line : SplitLogLines(logBytes)) {
    const auto parsed = ParseQsoLine(line.text);
    if (const auto* qso = std::get_if<ParsedQso>(&parsed); qso && !qso->locator.empty())
      return true;
  }
  return false;
}

// Alt with a letter that is no access key would choose an entry of a list by
// its first letter, with no sign; it chooses nothing.
class NoAltTypeAhead : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    return (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) &&
           !key->text().isEmpty();
  }
};

QString Joined(const std::vector<std::string>& lines) {
  QStringList texts;
  for (const auto& line : lines) texts.append(QString::fromStdString(line));
  return texts.join(u'\n');
}

}  // namespace

QStringList OfferedBands(std::string_view logBytes) {
  std::vector<bool> held(logexport::Bands().size(), false);
  bool unbanded = false;
  for (const LogLine& line : SplitLogLines(logBytes)) {
    const auto parsed = ParseQsoLine(line.text);
    const auto* qso = std::get_if<ParsedQso>(&parsed);
    if (!qso) continue;
    if (!qso->band) {
      unbanded = true;
    } else if (const auto* band = logexport::FindBand(*qso->band)) {
      held[std::size_t(band - logexport::Bands().data())] = true;
    }
  }
  QStringList offered;
  for (std::size_t i = 0; i < held.size(); ++i)
    if (held[i] || unbanded) offered.append(ToQString(logexport::Bands()[i].listText));
  return offered;
}

logexport::Options ToOptions(const ExportChoices& choices, const Station& station,
                             std::string_view logBytes) {
  logexport::Options options;
  options.format = FindFormat(choices.format).format;
  options.ownCall = station.callSign.toStdString();
  if (!station.locator.isEmpty() &&
      (options.format != Format::Cabrillo || HasReceivedLocator(logBytes)))
    options.ownLocator = station.locator.toStdString();
  if (!choices.band.isEmpty()) options.band = choices.band.toStdString();
  options.mode = Find(logexport::kModeNames, choices.mode);
  options.contest = choices.contest.toStdString();
  options.section = choices.section.toStdString();
  options.points = Find(kPoints, choices.points);
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

ExportDialog::ExportDialog(Platform& platform, ExportContext context, QWidget* parent)
    : QDialog(parent), platform_(platform), context_(std::move(context)) {
  setWindowTitle(kTitle);
  createControls();
  showChoices(context_.choices);
  connect(formatBox, &QComboBox::currentTextChanged, this, &ExportDialog::proposeFile);
  connect(bandBox, &QComboBox::currentTextChanged, this, &ExportDialog::proposeFile);
  connect(browseButton, &QPushButton::clicked, this, &ExportDialog::onBrowseClicked);
  connect(exportButton, &QPushButton::clicked, this, &ExportDialog::onExportClicked);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  formatBox->setFocus();
}

void ExportDialog::createControls() {
  formatBox = new QComboBox(this);
  for (const auto& f : kFormats) formatBox->addItem(QLatin1String(f.caption));
  contestBox = new QLineEdit(this);
  sectionBox = new QLineEdit(this);
  bandBox = new QComboBox(this);
  bandBox->addItems(OfferedBands(context_.logBytes));
  modeBox = new QComboBox(this);
  Fill(modeBox, logexport::kModeNames);
  pointsBox = new QComboBox(this);
  Fill(pointsBox, kPoints);
  fileBox = new QLineEdit(this);
  browseButton = new QPushButton(QStringLiteral("Sf&oglia..."), this);
  exportButton = new QPushButton(QStringLiteral("&Esporta"), this);
  cancelButton = new QPushButton(QStringLiteral("&Annulla"), this);
  exportButton->setDefault(true);
  auto* noAltTypeAhead = new NoAltTypeAhead(this);
  for (QComboBox* box : {formatBox, bandBox, modeBox, pointsBox})
    box->installEventFilter(noAltTypeAhead);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(fileBox, 1);
  fileRow->addWidget(browseButton);
  auto* form = new QFormLayout;
  // No two access keys alike, the buttons' included.
  const std::pair<const char*, QWidget*> rows[] = {
      {"&Formato", formatBox}, {"&Contest", contestBox}, {"&Sezione", sectionBox},
      {"&Banda", bandBox},     {"&Modo", modeBox},       {"&Punti", pointsBox},
      {"F&ile", fileBox}};
  for (const auto& [caption, field] : rows) {
    auto* label = CaptionFor(field, QString::fromUtf8(caption), this);
    if (field == fileBox)
      form->addRow(label, fileRow);
    else
      form->addRow(label, field);
  }
  browseButton->setAccessibleDescription(QStringLiteral("Sceglie il file da scrivere"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(exportButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setMinimumWidth(420);
}

void ExportDialog::showChoices(const ExportChoices& choices) {
  Select(formatBox, choices.format);
  contestBox->setText(choices.contest);
  sectionBox->setText(choices.section);
  Select(bandBox, choices.band);
  Select(modeBox, choices.mode);
  Select(pointsBox, choices.points);
  proposeFile();
}

ExportChoices ExportDialog::choices() const {
  return {
      .format = formatBox->currentText(),
      .contest = contestBox->text(),
      .section = sectionBox->text(),
      .band = bandBox->currentText(),
      .mode = modeBox->currentText(),
      .points = pointsBox->currentText(),
      .folder = QFileInfo(chosenFile()).absolutePath(),
  };
}

// A bare name goes to the program's folder, not to wherever it was started from.
QString ExportDialog::chosenFile() const {
  const QString typed = fileBox->text().trimmed();
  if (typed.isEmpty()) return typed;
  // One spelling in every message, however the path was typed.
  return QDir::toNativeSeparators(QDir(context_.programFolder).filePath(typed));
}

// The name follows the call sign, the band and the format until the
// operator writes a name of his own.
void ExportDialog::proposeFile() {
  if (!fileBox->text().isEmpty() && fileBox->text() != proposedFile_) return;
  const QString folder =
      context_.choices.folder.isEmpty() || !QDir(context_.choices.folder).exists()
          ? context_.programFolder
          : context_.choices.folder;
  proposedFile_ = QDir::toNativeSeparators(
      QDir(folder).filePath(FileStem(context_.station.callSign, bandBox->currentText()) + u'.' +
                            QLatin1String(FindFormat(formatBox->currentText()).extension)));
  fileBox->setText(proposedFile_);
}

// The format's own files first; a file that is there is asked about once,
// by the export.
void ExportDialog::onBrowseClicked() {
  QString selected = QLatin1String(FindFormat(formatBox->currentText()).filter);
  QStringList filters{selected};
  for (const auto& f : kFormats)
    if (selected != QLatin1String(f.filter)) filters.append(QLatin1String(f.filter));
  filters.append(QStringLiteral("Tutti i file (*)"));
  QString chosen;
  {
    ReturnFocus back(this);
    chosen = QFileDialog::getSaveFileName(this, QStringLiteral("File"), fileBox->text(),
                                          filters.join(QStringLiteral(";;")), &selected,
                                          QFileDialog::DontConfirmOverwrite);
  }
  if (chosen.isEmpty()) return;
  fileBox->setText(QDir::toNativeSeparators(chosen));
  fileBox->setFocus();  // where Enter exports it
}

// The call sign always, the locator for the EDI, which cannot go without it;
// a locator edited by hand into something else is asked for as if missing.
bool ExportDialog::ensureStation() {
  const auto complete = [this] {
    return !context_.station.callSign.isEmpty() && !StationFault(context_.station) &&
           (!context_.station.locator.isEmpty() ||
            FindFormat(formatBox->currentText()).format != Format::Edi);
  };
  if (complete()) return true;
  if (!ask(QStringLiteral("Manca il nominativo o il locatore della stazione in \"Stazione\".\n"
                          "Impostarli adesso?")))
    return false;
  const std::optional<Station> station = context_.editStation();
  if (!station) return false;
  const bool wasProposed = fileBox->text() == proposedFile_;
  context_.station = *station;
  if (wasProposed) proposeFile();
  return complete();
}

// Never a file the program keeps; another file only once the operator agrees.
bool ExportDialog::mayWrite(const QString& path) {
  if (const auto kept = KeptFileAt(path, context_.keptFiles, platform_.fileNaming())) {
    tell(NotReplaced(path, *kept) + QStringLiteral("\nNessun file scritto."), QMessageBox::Warning);
    fileBox->setFocus();
    return false;
  }
  // A folder is not replaced: the write says why.
  if (!QFileInfo(path).isFile()) return true;
  return ask(QStringLiteral("Il file %1 esiste già. Sostituirlo?").arg(path));
}

void ExportDialog::onExportClicked() {
  if (contestBox->text().trimmed().isEmpty() &&
      FindFormat(formatBox->currentText()).format != Format::Adif) {
    tell(QStringLiteral("Manca il nome del contest: il file %1 lo scrive nell'intestazione.\n"
                        "Nessun file scritto.")
             .arg(formatBox->currentText()),
         QMessageBox::Warning);
    contestBox->setFocus();
    return;
  }
  // The station may name the file, so it comes before the file's name.
  if (!ensureStation()) return;
  const QString path = chosenFile();
  if (path.isEmpty()) {
    tell(QStringLiteral("Manca il file da scrivere."), QMessageBox::Warning);
    fileBox->setFocus();
    return;
  }
  const ExportChoices chosen = choices();
  const logexport::Outcome outcome =
      logexport::Export(context_.logBytes, ToOptions(chosen, context_.station, context_.logBytes),
                        MakeDateReader(LogDateFormat()));
  if (outcome.exitStatus >= 2 || outcome.output.empty()) {
    tell(QStringLiteral("Nessun file scritto:\n%1").arg(Joined(outcome.diagnostics)),
         QMessageBox::Warning);
    return;
  }
  if (!mayWrite(path)) return;
  if (const auto failure = platform_.writeFile(path, QByteArray::fromStdString(outcome.output))) {
    tell(QStringLiteral("Impossibile scrivere %1:\n%2\nNessun file scritto.").arg(path, *failure),
         QMessageBox::Warning);
    return;
  }
  context_.keepChoices(chosen);
  tell(QStringLiteral("Scritto %1\n\n%2").arg(path, Joined(outcome.diagnostics)),
       outcome.exitStatus == 0 ? QMessageBox::Information : QMessageBox::Warning);
  accept();
}

void ExportDialog::tell(const QString& text, QMessageBox::Icon icon) {
  platform_.showMessage(this, {.text = text, .title = kTitle, .icon = icon});
}

// Yes by default, Esc for No.
bool ExportDialog::ask(const QString& question) {
  const MessageRequest request{
      .text = question,
      .title = kTitle,
      .icon = QMessageBox::Question,
      .buttons = QMessageBox::Yes | QMessageBox::No,
      .defaultButton = QMessageBox::Yes,
      .escapeButton = QMessageBox::No,
  };
  return platform_.showMessage(this, request) == QMessageBox::Yes;
}

}  // namespace cardel
