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
#include <QPushButton>

#include "export_request.h"
#include "files.h"
#include "log_dates.h"
#include "message.h"
#include "platform.h"
#include "qt_text.h"
#include "station_dialog.h"

namespace cardel {

namespace {

const QString kTitle = ToQString(kExportTitle);

void Select(QComboBox* box, const QString& text) {
  if (const int index = box->findText(text); index >= 0) box->setCurrentIndex(index);
}

const FormatName& ChosenFormat(const QComboBox* formatBox) {
  return *FindFormat(formatBox->currentText());
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

ExportDialog::ExportDialog(Platform& platform, ExportContext context, QWidget* parent)
    : QDialog(parent), platform_(platform), context_(std::move(context)) {
  setWindowTitle(kTitle);
  createControls();
  showChoices(context_.settings.choices());
  connect(formatBox, &QComboBox::currentTextChanged, this, &ExportDialog::proposeFile);
  connect(bandBox, &QComboBox::currentTextChanged, this, &ExportDialog::proposeFile);
  connect(browseButton, &QPushButton::clicked, this, &ExportDialog::onBrowseClicked);
  connect(exportButton, &QPushButton::clicked, this, &ExportDialog::onExportClicked);
  formatBox->setFocus();
}

void ExportDialog::createControls() {
  formatBox = new QComboBox(this);
  for (const FormatName& f : kFormatNames) formatBox->addItem(QLatin1String(f.name));
  contestBox = new QLineEdit(this);
  sectionBox = new QLineEdit(this);
  bandBox = new QComboBox(this);
  bandBox->addItems(OfferedBands(context_.logBytes));
  modeBox = new QComboBox(this);
  for (const logexport::Mode mode : logexport::kModes)
    modeBox->addItem(QLatin1String(logexport::ModeName(mode)));
  pointsBox = new QComboBox(this);
  for (const PointsName& points : kPointsNames) pointsBox->addItem(QLatin1String(points.caption));
  fileBox = new QLineEdit(this);
  browseButton = new QPushButton(QStringLiteral("Sf&oglia..."), this);
  exportButton = new QPushButton(QStringLiteral("&Esporta"), this);
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
  cancelButton = LayOutDialog(this, form, exportButton);
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
  return InFolder(context_.programFolder, typed);
}

// The name follows the call sign, the band and the format until the
// operator writes a name of his own.
void ExportDialog::proposeFile() {
  if (!fileBox->text().isEmpty() && fileBox->text() != proposedFile_) return;
  const QString& lastFolder = context_.settings.choices().folder;
  const QString folder =
      lastFolder.isEmpty() || !QDir(lastFolder).exists() ? context_.programFolder : lastFolder;
  proposedFile_ =
      InFolder(folder, ProposedFileName(context_.settings.station().callSign,
                                        bandBox->currentText(), formatBox->currentText()));
  fileBox->setText(proposedFile_);
}

// The format's own files first; a file that is there is asked about once,
// by the export.
void ExportDialog::onBrowseClicked() {
  QString selected = QLatin1String(ChosenFormat(formatBox).filter);
  QStringList filters{selected};
  for (const FormatName& f : kFormatNames)
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

// Asked for until "Stazione" gives the export what it needs.
bool ExportDialog::ensureStation() {
  if (RefusalFor(choices(), context_.settings.station()) != ExportRefusal::IncompleteStation)
    return true;
  if (!ask(ToQString(kNoStationQuestion))) return false;
  const bool wasProposed = fileBox->text() == proposedFile_;
  if (!context_.editStation()) return false;
  if (wasProposed) proposeFile();
  return RefusalFor(choices(), context_.settings.station()) != ExportRefusal::IncompleteStation;
}

// Never a file the program keeps; another file only once the operator agrees.
bool ExportDialog::mayWrite(const QString& path) {
  if (const auto kept = KeptFileAt(path, context_.keptFiles, platform_.fileNaming())) {
    tell(NotReplaced(path, *kept) + u'\n' + ToQString(kNothingWritten), QMessageBox::Warning);
    fileBox->setFocus();
    return false;
  }
  // A folder is not replaced: the write says why.
  if (!QFileInfo(path).isFile()) return true;
  return ask(ToQString(ReplaceFileQuestion(ToText(path))));
}

void ExportDialog::onExportClicked() {
  if (RefusalFor(choices(), context_.settings.station()) == ExportRefusal::NoContest) {
    tell(ToQString(NoContestText(ToText(formatBox->currentText()))), QMessageBox::Warning);
    contestBox->setFocus();
    return;
  }
  // The station may name the file, so it comes before the file's name.
  if (!ensureStation()) return;
  const QString path = chosenFile();
  if (path.isEmpty()) {
    tell(ToQString(kNoExportFileText), QMessageBox::Warning);
    fileBox->setFocus();
    return;
  }
  const ExportChoices chosen = choices();
  const logexport::Outcome outcome = logexport::Export(
      context_.logBytes, ToOptions(chosen, context_.settings.station(), context_.logBytes),
      MakeDateReader(LogDateFormat()));
  if (outcome.exitStatus >= 2 || outcome.output.empty()) {
    tell(ToQString(ExportRefusedText(ToText(Joined(outcome.diagnostics)))), QMessageBox::Warning);
    return;
  }
  if (!mayWrite(path)) return;
  if (const auto failure = platform_.writeFile(path, QByteArray::fromStdString(outcome.output))) {
    tell(ToQString(CannotExportText(ToText(path), ToText(*failure))), QMessageBox::Warning);
    return;
  }
  context_.keepChoices(chosen);
  tell(ToQString(ExportWrittenText(ToText(path), ToText(Joined(outcome.diagnostics)))),
       outcome.exitStatus == 0 ? QMessageBox::Information : QMessageBox::Warning);
  accept();
}

void ExportDialog::tell(const QString& text, QMessageBox::Icon icon) {
  platform_.showMessage(this, {.text = text, .title = kTitle, .icon = icon});
}

bool ExportDialog::ask(const QString& question) {
  return AskYesNo(platform_, this, question, kTitle);
}

}  // namespace cardel
