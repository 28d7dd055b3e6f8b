#include "files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef _WIN32
#include <windows.h>
// windows.h names ReplaceFile a macro for its own ReplaceFileW; ours keeps its name.
#undef ReplaceFile
#else
#include <sys/stat.h>
#endif

namespace cardel {

FileRead ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {FileRead::Outcome::Failed, {}, file.errorString()};
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    return {FileRead::Outcome::Failed, {}, file.errorString()};
  return {FileRead::Outcome::Read, std::move(bytes), {}};
}

bool OpenToWrite(QFileDevice& file) {
  return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool WriteAll(QFileDevice& file, QByteArrayView bytes) {
  // A write the disk cuts short reports no error; the next one, which writes
  // nothing, carries the system's reason ("No space left on device").
  for (qint64 written = 0; written < bytes.size();) {
    const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
    if (n <= 0) return false;
    written += n;
  }
  return true;
}

bool WriteWhole(QFileDevice& file, QByteArrayView bytes) {
  if (!WriteAll(file, bytes)) return false;
  if (auto* saveFile = qobject_cast<QSaveFile*>(&file)) return saveFile->commit();
  return file.flush();
}

namespace {

#ifdef _WIN32
std::optional<FileIdentity> IdentifyOnDisk(const QString& path) {
  // Backup semantics open a folder too; no access right is needed to read
  // the identity, and sharing everything disturbs no other program.
  const HANDLE handle =
      CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), 0,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileInformationByHandle(handle, &information);
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber,
                      quint64(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
}
constexpr bool kFoldsCase = true;
#else
std::optional<FileIdentity> IdentifyOnDisk(const QString& path) {
  struct stat status {};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0) return std::nullopt;
  return FileIdentity{quint64(status.st_dev), quint64(status.st_ino)};
}
constexpr bool kFoldsCase = false;
#endif

// The path a chain of links leads to, so that a link to a file not written
// yet names that file.
QString FollowLinks(const QString& path) {
  QFileInfo info(QFileInfo(path).absoluteFilePath());
  for (int hops = 0; hops < 40 && info.isSymLink(); ++hops) info = QFileInfo(info.symLinkTarget());
  return QDir::cleanPath(info.absoluteFilePath());
}

// A name as the system compares it: where it folds letter case (Windows) it
// also drops the dots and blanks that end a name.
QString ComparedName(QString name, const FileNaming& naming) {
  if (!naming.foldsCase) return name;
  while (name.endsWith(u'.') || name.endsWith(u' ')) name.chop(1);
  return name.toCaseFolded();
}

bool IsSameFolder(const QString& a, const QString& b, const FileNaming& naming) {
  const auto first = naming.identify(a);
  const auto second = naming.identify(b);
  if (first && second) return *first == *second;
  return ComparedName(a, naming) == ComparedName(b, naming);
}

}  // namespace

FileNaming SystemNaming() { return {IdentifyOnDisk, kFoldsCase}; }

bool IsSameFile(const QString& a, const QString& b, const FileNaming& naming) {
  const QString first = FollowLinks(a);
  const QString second = FollowLinks(b);
  const auto firstIdentity = naming.identify(first);
  const auto secondIdentity = naming.identify(second);
  if (firstIdentity && secondIdentity) return *firstIdentity == *secondIdentity;
  const QFileInfo firstInfo(first);
  const QFileInfo secondInfo(second);
  return ComparedName(firstInfo.fileName(), naming) ==
             ComparedName(secondInfo.fileName(), naming) &&
         IsSameFolder(firstInfo.absolutePath(), secondInfo.absolutePath(), naming);
}

QString WriteFailure(const QFileDevice& file) {
  const QFileInfo info(file.fileName());
  if (info.isDir()) return QStringLiteral("è una cartella, non un file");
  if (info.exists() && !info.isWritable())
    return QStringLiteral(
        "il file c'è già e non si lascia scrivere (sola lettura o senza permesso)");
  return file.errorString();
}

std::optional<QString> ReplaceFile(const QString& path, QByteArrayView bytes) {
  QSaveFile file(path);
  // An installed program or a shared folder may let a file be written but
  // no file be created beside it; only then is it written in place.
  file.setDirectWriteFallback(true);
  if (!OpenToWrite(file) || !WriteWhole(file, bytes)) return WriteFailure(file);
  return std::nullopt;
}

QString InFolder(const QString& folder, const QString& name) {
  return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

}  // namespace cardel
