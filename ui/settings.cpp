#include "settings.h"

#include <QSettings>
#include <functional>

namespace cardel {

namespace {

// QSettings keeps what it could not write in memory and reports only a
// status; the caller keeps its own values either way.
std::optional<QString> WriteGroup(const QString& path, const QString& group,
                                  const std::function<void(QSettings&)>& fill) {
  QSettings settings(path, QSettings::IniFormat);
  settings.beginGroup(group);
  fill(settings);
  settings.endGroup();
  settings.sync();
  switch (settings.status()) {
    case QSettings::NoError: return std::nullopt;
    case QSettings::FormatError:
      return QStringLiteral("il file non è nel formato delle impostazioni");
    case QSettings::AccessError: break;
  }
  return QStringLiteral("la cartella o il file non si lasciano scrivere");
}

}  // namespace

Station SettingsFile::readStation() const {
  QSettings settings(path_, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Stazione"));
  return {settings.value(QStringLiteral("Nominativo")).toString(),
          settings.value(QStringLiteral("Locatore")).toString()};
}

std::optional<QString> SettingsFile::write(const Station& station) const {
  return WriteGroup(path_, QStringLiteral("Stazione"), [&](QSettings& s) {
    s.setValue(QStringLiteral("Nominativo"), station.callSign);
    s.setValue(QStringLiteral("Locatore"), station.locator);
  });
}

ExportChoices SettingsFile::readExportChoices() const {
  QSettings settings(path_, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Esporta"));
  const ExportChoices defaults;
  const auto read = [&](const char* key, const QString& fallback) {
    return settings.value(QLatin1String(key), fallback).toString();
  };
  return {
      .format = read("Formato", defaults.format),
      .contest = read("Contest", defaults.contest),
      .section = read("Sezione", defaults.section),
      .band = read("Banda", defaults.band),
      .mode = read("Modo", defaults.mode),
      .points = read("Punti", defaults.points),
      .folder = read("Cartella", defaults.folder),
  };
}

std::optional<QString> SettingsFile::write(const ExportChoices& choices) const {
  return WriteGroup(path_, QStringLiteral("Esporta"), [&](QSettings& s) {
    s.setValue(QStringLiteral("Formato"), choices.format);
    s.setValue(QStringLiteral("Contest"), choices.contest);
    s.setValue(QStringLiteral("Sezione"), choices.section);
    s.setValue(QStringLiteral("Banda"), choices.band);
    s.setValue(QStringLiteral("Modo"), choices.mode);
    s.setValue(QStringLiteral("Punti"), choices.points);
    s.setValue(QStringLiteral("Cartella"), choices.folder);
  });
}

}  // namespace cardel
