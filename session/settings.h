#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <optional>

namespace cardel {

// The operator's own station, as the exports name it.
struct Station {
  QString callSign;
  QString locator;  // six characters, upper case, or empty when not set

  friend bool operator==(const Station&, const Station&) = default;
};

// The station's locator when it is one to measure and export from; empty
// otherwise. The one rule for the distance, "Stazione" and the export.
QString UsableLocator(const Station& station);

// Why a station cannot be kept; nothing when it can. An empty locator is
// kept: only the EDI needs one, and the export asks for it then.
std::optional<QString> StationFault(const Station& station);

// The choices of the last export, as the dialog's lists show them.
struct ExportChoices {
  QString format = QStringLiteral("EDI");
  QString contest;
  QString section = QStringLiteral("SINGLE");
  QString band = QStringLiteral("144 Mhz");  // the usual contest band, when offered
  QString mode = QStringLiteral("SSB");
  QString points = QStringLiteral("IARU");
  QString folder;  // where the last file went; empty: the program's folder

  friend bool operator==(const ExportChoices&, const ExportChoices&) = default;
};

// Whether "Punteggio" was open and where it stood, so that it comes back so.
struct ScoreWindowPlace {
  bool open = false;
  std::optional<QPoint> position;  // its frame's top left on the desktop

  friend bool operator==(const ScoreWindowPlace&, const ScoreWindowPlace&) = default;
};

// What a write of the settings did.
struct SettingsWrite {
  std::optional<QString> failure;  // why the file was not written
  int droppedComments = 0;         // comment lines the rewrite left out
};

// The station and the last export's choices, read once from cardel.ini
// beside the program and held here alone: the window, "Stazione" and
// "Esporta log" ask for them. A copy of the program folder on a USB stick
// carries the station with it.
class StationSettings : public QObject {
  Q_OBJECT

 public:
  // Read as typed by hand too: blanks around and lower case make no difference.
  StationSettings(const QString& programFolder, QObject* parent);

  const QString& path() const { return path_; }
  const Station& station() const { return station_; }
  const ExportChoices& choices() const { return choices_; }
  const ScoreWindowPlace& scoreWindowPlace() const { return scoreWindowPlace_; }
  // In use until the program ends, whether or not the file could be written.
  SettingsWrite keep(const Station& station);
  SettingsWrite keep(const ExportChoices& choices);
  SettingsWrite keep(const ScoreWindowPlace& place);

 signals:
  void stationChanged(const Station& station);
  void choicesChanged(const ExportChoices& choices);

 private:
  QString path_;
  Station station_;
  ExportChoices choices_;
  ScoreWindowPlace scoreWindowPlace_;
};

}  // namespace cardel
