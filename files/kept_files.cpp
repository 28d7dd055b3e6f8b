#include "kept_files.h"

#include <QCoreApplication>

#include "log_file.h"
#include "qt_text.h"
#include "recovery_file.h"

namespace cardel {

namespace {

#ifdef _WIN32
const QString kProgramFileName = QStringLiteral("cardel.exe");
#else
const QString kProgramFileName = QStringLiteral("cardel");
#endif

}  // namespace

QList<KeptFile> CardelFilesIn(const QString& folder) {
  return {
      KeptLog(InFolder(folder, ToQString(kLogFileName))),
      {InFolder(folder, ToQString(kRecoveryFileName)),
       QStringLiteral("il file di recupero del log, che Cardel riscrive mentre è aperto")},
      {InFolder(folder, ToQString(kRecoveryLockName)),
       QStringLiteral("il blocco del file di recupero, che tiene un secondo Cardel fuori dal log")},
      {InFolder(folder, QString::fromUtf16(kSettingsFileName)),
       QStringLiteral("il file delle impostazioni, con la stazione e l'ultima esportazione")},
      {InFolder(folder, kProgramFileName), QStringLiteral("il programma Cardel")},
  };
}

KeptFile KeptLog(const QString& path) { return {path, QStringLiteral("il file del log stesso")}; }

KeptFile RunningProgram() {
  return {QCoreApplication::applicationFilePath(), QStringLiteral("il programma stesso")};
}

std::optional<KeptFile> KeptFileAt(const QString& path, const QList<KeptFile>& kept,
                                   const FileNaming& naming) {
  for (const KeptFile& file : kept)
    if (IsSameFile(path, file.path, naming)) return file;
  return std::nullopt;
}

QString NotReplaced(const QString& path, const KeptFile& kept) {
  return QStringLiteral("Il file da scrivere è %1, che un'esportazione non sostituisce mai: %2")
      .arg(kept.what, path);
}

}  // namespace cardel
