#include "export_actions.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QWidget>
#include <variant>

#include "export_dialog.h"
#include "log_box.h"
#include "log_file.h"
#include "platform.h"
#include "qt_text.h"
#include "station_dialog.h"

namespace cardel {

ExportActions::ExportActions(Platform& platform, QWidget& window, const LogBox& log)
    : QObject(&window),
      platform_(platform),
      window_(window),
      log_(log),
      settings_(QDir(platform.programFolder()).filePath(QString::fromUtf16(kSettingsFileName))),
      station_(settings_.readStation()),
      choices_(settings_.readExportChoices()) {
  stationAction = new QAction(QStringLiteral("Stazione..."), this);
  stationAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  exportAction = new QAction(QStringLiteral("Esporta..."), this);
  exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
  // The shortcuts work wherever the focus is in the window.
  window.addAction(stationAction);
  window.addAction(exportAction);
  connect(stationAction, &QAction::triggered, this, &ExportActions::onStationTriggered);
  connect(exportAction, &QAction::triggered, this, &ExportActions::onExportTriggered);
}

void ExportActions::onStationTriggered() { editStation(&window_); }

std::optional<Station> ExportActions::editStation(QWidget* parent) {
  StationDialog dialog(platform_, station_, parent);
  if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
  station_ = dialog.station();
  keep(settings_.write(station_));
  emit stationChanged(station_);
  return station_;
}

void ExportActions::onExportTriggered() {
  // The log as "Salva" writes it, the bytes cardel-export would read.
  const auto saved = SaveLog(log_.logText(), u"");
  const auto* order = std::get_if<SaveOrder>(&saved);
  ExportDialog* dialog = nullptr;
  ExportContext context{
      .logBytes = order ? order->bytes : std::string(),
      .keptFiles = CardelFilesIn(platform_.programFolder()) << RunningProgram(),
      .programFolder = QDir::toNativeSeparators(platform_.programFolder()),
      .station = station_,
      .choices = choices_,
      .editStation = [this, &dialog] { return editStation(dialog); },
      .keepChoices =
          [this](const ExportChoices& choices) {
            choices_ = choices;
            keep(settings_.write(choices_));
            emit choicesChanged(choices_);
          },
  };
  ExportDialog exportDialog(platform_, std::move(context), &window_);
  dialog = &exportDialog;
  ExecModal(exportDialog);
}

// Each told once: the values stay in use until the program ends either way.
void ExportActions::keep(const SettingsWrite& written) {
  const QString path = QDir::toNativeSeparators(settings_.path());
  if (written.failure && !toldUnwritable_) {
    toldUnwritable_ = true;
    warn(QStringLiteral("Impossibile salvare le impostazioni in %1: %2.\n"
                        "Restano valide fino alla chiusura del programma.")
             .arg(path, *written.failure));
  }
  if (written.droppedComments > 0 && !toldCommentsDropped_) {
    toldCommentsDropped_ = true;
    warn(QStringLiteral("Le impostazioni sono state salvate in %1 senza le sue righe di commento "
                        "(%2): il file è riscritto con le sole chiavi e i loro valori.")
             .arg(path)
             .arg(written.droppedComments));
  }
}

void ExportActions::warn(const QString& text) {
  platform_.showMessage(
      QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &window_,
      {.text = text, .title = ToQString(kApplicationTitle), .icon = QMessageBox::Warning});
}

}  // namespace cardel
