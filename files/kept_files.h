#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "files.h"

namespace cardel {

inline constexpr char16_t kSettingsFileName[] = u"cardel.ini";

// A file the program keeps, which an export must never replace.
struct KeptFile {
  QString path;
  QString what;  // "il file del log stesso", ...
};

// What Cardel keeps in its folder: the log, the recovery file and its lock,
// the settings and the program.
QList<KeptFile> CardelFilesIn(const QString& folder);

// The log, wherever it is read from.
KeptFile KeptLog(const QString& path);

// The running program itself.
KeptFile RunningProgram();

// The kept file that `path` names, by any spelling the system treats as the same.
std::optional<KeptFile> KeptFileAt(const QString& path, const QList<KeptFile>& kept,
                                   const FileNaming& naming = SystemNaming());

// Why an export does not write `path`, for both the window and the exporter.
QString NotReplaced(const QString& path, const KeptFile& kept);

}  // namespace cardel
