#include "export_actions.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QWidget>
#include <variant>

#include "export_dialog.h"
#include "log_box.h"
#include "log_file.h"
#include "message.h"
#include "platform.h"
#include "qt_text.h"
#include "station_dialog.h"

namespace cardel {

ExportActions::ExportActions(Platform& platform, QWidget& window, const LogBox& log)
    : QObject(&window),
      platform_(platform),
      window_(window),
      log_(log),
      settings_(new StationSettings(platform.programFolder(), this)) {
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
  StationDialog dialog(platform_, settings_->station(), historyStatus_, parent);
  if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
  keep(settings_->keep(dialog.station()));
  return settings_->station();
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
      .settings = *settings_,
      .editStation = [this, &dialog] { return editStation(dialog); },
      .keepChoices = [this](const ExportChoices& choices) { keep(settings_->keep(choices)); },
  };
  ExportDialog exportDialog(platform_, std::move(context), &window_);
  dialog = &exportDialog;
  ExecModal(exportDialog);
}

// Each told once: the values stay in use until the program ends either way.
void ExportActions::keep(const SettingsWrite& written) {
  const Text path = ToText(settings_->path());
  if (written.failure && !toldUnwritable_) {
    toldUnwritable_ = true;
    warn(ToQString(SettingsNotSavedText(path, ToText(*written.failure))));
  }
  if (written.droppedComments > 0 && !toldCommentsDropped_) {
    toldCommentsDropped_ = true;
    warn(ToQString(SettingsCommentsDroppedText(path, std::size_t(written.droppedComments))));
  }
}

void ExportActions::warn(const QString& text) {
  platform_.showMessage(
      QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &window_,
      {.text = text, .title = ToQString(kApplicationTitle), .icon = QMessageBox::Warning});
}

}  // namespace cardel
