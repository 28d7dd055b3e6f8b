#pragma once

#include <QString>
#include <optional>

namespace cardel {

inline constexpr char16_t kSettingsFileName[] = u"cardel.ini";

// The operator's own station, as the exports name it.
struct Station {
  QString callSign;
  QString locator;  // six characters, or empty when not set

  friend bool operator==(const Station&, const Station&) = default;
};

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

// cardel.ini beside the program, so that a copy of the program folder on a
// USB stick carries the station with it.
class SettingsFile {
 public:
  explicit SettingsFile(QString path) : path_(std::move(path)) {}

  const QString& path() const { return path_; }
  Station readStation() const;
  ExportChoices readExportChoices() const;
  // The reason when the file could not be written.
  std::optional<QString> write(const Station& station) const;
  std::optional<QString> write(const ExportChoices& choices) const;

 private:
  QString path_;
};

}  // namespace cardel
