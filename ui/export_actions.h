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

  const Station& station() const { return station_; }
  // The last export's choices, which the running score counts by too.
  const ExportChoices& choices() const { return choices_; }

  QAction* stationAction;
  QAction* exportAction;

 signals:
  void stationChanged(const Station& station);
  void choicesChanged(const ExportChoices& choices);

 private:
  void onStationTriggered();
  void onExportTriggered();
  std::optional<Station> editStation(QWidget* parent);
  void keep(const SettingsWrite& written);
  void warn(const QString& text);

  Platform& platform_;
  QWidget& window_;
  const LogBox& log_;
  SettingsFile settings_;
  Station station_;
  ExportChoices choices_;
  bool toldUnwritable_ = false;
  bool toldCommentsDropped_ = false;
};

}  // namespace cardel
