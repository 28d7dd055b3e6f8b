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

std::optional<QString> Platform::writeFile(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
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
