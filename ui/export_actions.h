#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "settings.h"

class QAction;
class QWidget;

namespace cardel {

class LogBox;
class Platform;

// "Stazione..." and "Esporta...": the station, kept in cardel.ini beside the
// program, and the export of the log the window holds.
class ExportActions : public QObject {
  Q_OBJECT

 public:
  // Reads the station and the last export's choices from cardel.ini.
  ExportActions(Platform& platform, QWidget& window, const LogBox& log);

  StationSettings& settings() { return *settings_; }
  const Station& station() const { return settings_->station(); }
  // The last export's choices, which the running score counts by too.
  const ExportChoices& choices() const { return settings_->choices(); }

  // What "Stazione" tells of the folder storico.
  void setHistoryStatus(const QString& status) { historyStatus_ = status; }
  // Tells the operator, once, when cardel.ini could not be written.
  void keep(const SettingsWrite& written);

  QAction* stationAction;
  QAction* exportAction;

 private:
  void onStationTriggered();
  void onExportTriggered();
  std::optional<Station> editStation(QWidget* parent);
  void warn(const QString& text);

  Platform& platform_;
  QWidget& window_;
  const LogBox& log_;
  StationSettings* settings_;
  QString historyStatus_;
  bool toldUnwritable_ = false;
  bool toldCommentsDropped_ = false;
};

}  // namespace cardel
