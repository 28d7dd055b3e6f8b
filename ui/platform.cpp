#include "platform.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTimer>

#include "disk_files.h"

namespace cardel {

ReturnFocus::ReturnFocus(QWidget* parent)
    : window_(parent ? parent->window() : nullptr), focus_(QApplication::focusWidget()) {}

// The focus goes back at once, so that the caller may still move it; the
// activation is asked for at once and again once the events of the closing
// have come in, since the window manager may hand it on after them.
ReturnFocus::~ReturnFocus() {
  if (focus_ && focus_->window() == window_) focus_->setFocus(Qt::OtherFocusReason);
  const auto activate = [window = window_] {
    const QWidget* modal = QApplication::activeModalWidget();
    if (window && window->isVisible() && (!modal || modal == window)) window->activateWindow();
  };
  activate();
  if (window_) QTimer::singleShot(0, window_, activate);
}

int ExecModal(QDialog& dialog) {
  ReturnFocus back(dialog.parentWidget());
  return dialog.exec();
}

QDateTime Platform::localNow() const { return QDateTime::currentDateTime(); }

QString Platform::programFolder() const { return QCoreApplication::applicationDirPath(); }

QMessageBox::StandardButton Platform::showMessage(QWidget* parent, const MessageRequest& request) {
  QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
  if (request.defaultButton != QMessageBox::NoButton) box.setDefaultButton(request.defaultButton);
  if (request.escapeButton != QMessageBox::NoButton) box.setEscapeButton(request.escapeButton);
  return static_cast<QMessageBox::StandardButton>(ExecModal(box));
}

bool AskYesNo(Platform& platform, QWidget* parent, const QString& question, const QString& title,
              QMessageBox::Icon icon) {
  const MessageRequest request{
      .text = question,
      .title = title,
      .icon = icon,
      .buttons = QMessageBox::Yes | QMessageBox::No,
      .defaultButton = QMessageBox::Yes,
      .escapeButton = QMessageBox::No,
  };
  return platform.showMessage(parent, request) == QMessageBox::Yes;
}

FileNaming Platform::fileNaming() const { return SystemNaming(); }

std::optional<QString> Platform::writeFile(const QString& path, const QByteArray& bytes) {
  return ReplaceFile(path, bytes);
}

FileRead Platform::readFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile() || info.isHidden()) return {};
  return ReadWholeFile(path);
}

}  // namespace cardel

namespace cardel {

PathKind Platform::pathKind(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return PathKind::Missing;
  return info.isFile() ? PathKind::File : PathKind::Other;
}

LockAttempt Platform::lockFile(const QString& path) { return LockFileOnDisk(path); }

std::variant<std::unique_ptr<AppendFile>, QString> Platform::openAppendFile(const QString& path,
                                                                            bool keepContent) {
  return OpenAppendFileOnDisk(path, keepContent);
}

std::unique_ptr<FileReplacement> Platform::replaceFile(const QString& path) {
  return ReplaceFileOnDisk(path);
}

std::optional<QString> Platform::renameFile(const QString& from, const QString& to) {
  QFile file(from);
  if (!file.rename(to)) return file.errorString();
  return std::nullopt;
}

std::optional<QString> Platform::removeFile(const QString& path) {
  QFile file(path);
  if (!file.remove()) return file.errorString();
  return std::nullopt;
}

}  // namespace cardel
