#include "platform.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

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

}  // namespace cardel
