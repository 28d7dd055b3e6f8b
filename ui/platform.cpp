#include "platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace cardel {

QDateTime Platform::localNow() const { return QDateTime::currentDateTime(); }

QString Platform::programFolder() const { return QCoreApplication::applicationDirPath(); }

QMessageBox::StandardButton Platform::showMessage(QWidget* parent, const MessageRequest& request) {
  QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
  if (request.defaultButton != QMessageBox::NoButton) box.setDefaultButton(request.defaultButton);
  if (request.escapeButton != QMessageBox::NoButton) box.setEscapeButton(request.escapeButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

namespace {

// A write the disk cuts short reports no error; the next one, which writes
// nothing, carries the system's reason ("No space left on device").
bool WriteWhole(QSaveFile& file, const QByteArray& bytes) {
  for (qint64 written = 0; written < bytes.size();) {
    const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
    if (n <= 0) return false;
    written += n;
  }
  return true;
}

}  // namespace

std::optional<QString> Platform::writeFile(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  // An installed program or a shared folder may let the log be written but
  // no file be created beside it; only then is the log written in place.
  file.setDirectWriteFallback(true);
  // Unbuffered, so that every write reaches the disk here, where a short one
  // is noticed: commit() misses a buffered write that fails when flushed,
  // and would put a short file in place of the log.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !WriteWhole(file, bytes) ||
      !file.commit())
    return file.errorString();
  return std::nullopt;
}

FileRead Platform::readFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile() || info.isHidden()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {FileRead::Outcome::Failed, {}, file.errorString()};
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    return {FileRead::Outcome::Failed, {}, file.errorString()};
  return {FileRead::Outcome::Read, std::move(bytes), {}};
}

}  // namespace cardel
