#include "settings.h"

#include <QFileInfo>
#include <QSettings>
#include <initializer_list>
#include <utility>

#include "export.h"
#include "files.h"
#include "kept_files.h"
#include "locator.h"
#include "message.h"
#include "qt_text.h"

namespace cardel {

namespace {

// Far more than any settings the program writes; a bigger file was made by
// hand, and rewriting it whole on every change would hold up the window.
constexpr qint64 kLargestRewritten = 1024 * 1024;

// The rewrite keeps keys and values only.
int CommentLines(const QByteArray& bytes) {
  int comments = 0;
  for (const QByteArray& line : bytes.split('\n'))
    if (const QByteArray text = line.trimmed(); text.startsWith(';') || text.startsWith('#'))
      ++comments;
  return comments;
}

// QSettings keeps what it could not write in memory and reports only a
// status; the caller keeps its own values either way.
SettingsWrite WriteGroup(const QString& path, const char* group,
                         std::initializer_list<std::pair<const char*, QString>> values) {
  if (const qint64 size = QFileInfo(path).size(); size > kLargestRewritten)
    return {ToQString(
        SettingsTooLargeReason(ToText(QString::number(double(size) / (1024 * 1024), 'f', 1))))};
  const FileRead before = ReadWholeFile(path);
  SettingsWrite outcome{.droppedComments = CommentLines(before.bytes)};
  QSettings settings(path, QSettings::IniFormat);
  settings.beginGroup(QLatin1String(group));
  for (const auto& [key, value] : values) settings.setValue(QLatin1String(key), value);
  settings.endGroup();
  settings.sync();
  switch (settings.status()) {
    case QSettings::NoError: return outcome;
    case QSettings::FormatError: return {ToQString(kSettingsFormatReason)};
    case QSettings::AccessError: break;
  }
  return {ToQString(kSettingsAccessReason)};
}

Station ReadStation(const QString& path) {
  QSettings settings(path, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Stazione"));
  const auto read = [&](const char* key) {
    return settings.value(QLatin1String(key)).toString().trimmed().toUpper();
  };
  return {read("Nominativo"), read("Locatore")};
}

ExportChoices ReadExportChoices(const QString& path) {
  QSettings settings(path, QSettings::IniFormat);
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

// A position only where both coordinates read as whole numbers.
ScoreWindowPlace ReadScoreWindowPlace(const QString& path) {
  QSettings settings(path, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Punteggio"));
  ScoreWindowPlace place;
  place.open = settings.value(QStringLiteral("Aperta")).toString().trimmed().toLower() ==
               QStringLiteral("true");
  bool xRead = false, yRead = false;
  const int x = settings.value(QStringLiteral("X")).toString().trimmed().toInt(&xRead);
  const int y = settings.value(QStringLiteral("Y")).toString().trimmed().toInt(&yRead);
  if (xRead && yRead) place.position = QPoint(x, y);
  return place;
}

}  // namespace

QString UsableLocator(const Station& station) {
  return IsLocator(station.locator.toStdString()) ? station.locator : QString();
}

std::optional<QString> StationFault(const Station& station) {
  if (!logexport::IsStationCall(station.callSign.toStdString()))
    return ToQString(BadStationCallText(ToText(station.callSign)));
  if (!station.locator.isEmpty() && UsableLocator(station).isEmpty())
    return ToQString(BadStationLocatorText(ToText(station.locator)));
  return std::nullopt;
}

StationSettings::StationSettings(const QString& programFolder, QObject* parent)
    : QObject(parent),
      path_(InFolder(programFolder, QString::fromUtf16(kSettingsFileName))),
      station_(ReadStation(path_)),
      choices_(ReadExportChoices(path_)),
      scoreWindowPlace_(ReadScoreWindowPlace(path_)) {}

SettingsWrite StationSettings::keep(const Station& station) {
  station_ = station;
  emit stationChanged(station_);
  return WriteGroup(path_, "Stazione",
                    {{"Nominativo", station.callSign}, {"Locatore", station.locator}});
}

SettingsWrite StationSettings::keep(const ExportChoices& choices) {
  choices_ = choices;
  emit choicesChanged(choices_);
  return WriteGroup(path_, "Esporta",
                    {{"Formato", choices.format},
                     {"Contest", choices.contest},
                     {"Sezione", choices.section},
                     {"Banda", choices.band},
                     {"Modo", choices.mode},
                     {"Punti", choices.points},
                     {"Cartella", choices.folder}});
}

SettingsWrite StationSettings::keep(const ScoreWindowPlace& place) {
  scoreWindowPlace_ = place;
  return WriteGroup(path_, "Punteggio",
                    {{"Aperta", place.open ? QStringLiteral("true") : QStringLiteral("false")},
                     {"X", place.position ? QString::number(place.position->x()) : QString()},
                     {"Y", place.position ? QString::number(place.position->y()) : QString()}});
}

}  // namespace cardel
