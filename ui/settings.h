#pragma once

#include <QString>
#include <optional>

#include "kept_files.h"

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

// What a write of the settings did.
struct SettingsWrite {
  std::optional<QString> failure;  // why the file was not written
  int droppedComments = 0;         // comment lines the rewrite left out
};

// cardel.ini beside the program, so that a copy of the program folder on a
// USB stick carries the station with it.
class SettingsFile {
 public:
  explicit SettingsFile(QString path) : path_(std::move(path)) {}

  const QString& path() const { return path_; }
  // Read as typed by hand too: blanks around and lower case make no difference.
  Station readStation() const;
  ExportChoices readExportChoices() const;
  SettingsWrite write(const Station& station) const;
  SettingsWrite write(const ExportChoices& choices) const;

 private:
  QString path_;
};

}  // namespace cardel
