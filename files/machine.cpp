#include "machine.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace cardel {

QDateTime Machine::localNow() const { return QDateTime::currentDateTime(); }

QString Machine::programFolder() const { return QCoreApplication::applicationDirPath(); }

FileNaming Machine::fileNaming() const { return SystemNaming(); }

std::optional<QString> Machine::writeFile(const QString& path, const QByteArray& bytes) {
  return ReplaceFile(path, bytes);
}

FileRead Machine::readFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile() || info.isHidden()) return {};
  return ReadWholeFile(path);
}

PathKind Machine::pathKind(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return PathKind::Missing;
  return info.isFile() ? PathKind::File : PathKind::Other;
}

LockAttempt Machine::lockFile(const QString& path) { return LockFileOnDisk(path); }

std::variant<std::unique_ptr<AppendFile>, QString> Machine::openAppendFile(const QString& path,
                                                                           bool keepContent) {
  return OpenAppendFileOnDisk(path, keepContent);
}

std::unique_ptr<FileReplacement> Machine::replaceFile(const QString& path) {
  return ReplaceFileOnDisk(path);
}

std::optional<QString> Machine::renameFile(const QString& from, const QString& to) {
  QFile file(from);
  if (!file.rename(to)) return file.errorString();
  return std::nullopt;
}

std::optional<QString> Machine::removeFile(const QString& path) {
  QFile file(path);
  if (!file.remove()) return file.errorString();
  return std::nullopt;
}

}  // namespace cardel
