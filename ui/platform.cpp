#include "platform.h"

#include <QCoreApplication>
#include <QFileInfo>

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
  return ReplaceFile(path, bytes);
}

FileRead Platform::readFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile() || info.isHidden()) return {};
  return ReadWholeFile(path);
}

}  // namespace cardel
