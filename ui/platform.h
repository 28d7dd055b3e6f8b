#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include "machine.h"

class QDialog;
class QWidget;

namespace cardel {

// Hands the activation and the focus back to the window that opened a modal
// dialog once the dialog is gone: some window managers leave the activation
// on the closed dialog, and the next keys typed would be lost.
class ReturnFocus {
 public:
  explicit ReturnFocus(QWidget* parent);
  ~ReturnFocus();
  ReturnFocus(const ReturnFocus&) = delete;
  ReturnFocus& operator=(const ReturnFocus&) = delete;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> focus_;
};

// exec() of a modal dialog, with the focus handed back after it.
int ExecModal(QDialog& dialog);

struct MessageRequest {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

// What the window needs of the machine: the clock, the program's folder and
// the files, and modal message boxes. Tests replace any of it.
class Platform : public Machine {
 public:
  virtual QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request);
};

// A question with Yes as the default answer and Esc for No; true for Yes.
bool AskYesNo(Platform& platform, QWidget* parent, const QString& question, const QString& title,
              QMessageBox::Icon icon = QMessageBox::Question);

}  // namespace cardel
