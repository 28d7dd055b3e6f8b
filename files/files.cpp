#include "files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool IsSameFile(const QString& a, const QString& b) {
  const QString canonical = QFileInfo(a).canonicalFilePath();
  return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

std::optional<QString> ReplaceFile(const QString& path, QByteArrayView bytes) {
  QSaveFile file(path);
  // An installed program or a shared folder may let a file be written but
  // no file be created beside it; only then is it written in place.
  file.setDirectWriteFallback(true);
  if (!OpenToWrite(file) || !WriteWhole(file, bytes)) return file.errorString();
  return std::nullopt;
}

}  // namespace cardel
