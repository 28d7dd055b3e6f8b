#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

#include "disk_files.h"
#include "files.h"

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

enum class PathKind { Missing, File, Other };

// What the window needs of the machine: the clock, the program's folder,
// modal message boxes and the log file. Tests replace any of it.
class Platform {
 public:
  virtual ~Platform() = default;

  virtual QDateTime localNow() const;
  virtual QString programFolder() const;
  virtual QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request);
  // Replaces the file only once the new content is complete, or writes it
  // in place when no file can be created beside it; the reason when it
  // could not.
  virtual std::optional<QString> writeFile(const QString& path, const QByteArray& bytes);
  // How the system tells files apart, for what an export must not replace.
  virtual FileNaming fileNaming() const;
  // Missing when there is no plain, visible file of that name.
  virtual FileRead readFile(const QString& path);

  // The files the window keeps beside the log while it runs. Called from
  // other threads too.
  virtual PathKind pathKind(const QString& path);
  // Held by one process at a time, on one machine or across a shared folder.
  virtual LockAttempt lockFile(const QString& path);
  // Created when missing, emptied unless `keepContent`; synced, with its
  // folder, so that it is there after a power cut.
  virtual std::variant<std::unique_ptr<AppendFile>, QString> openAppendFile(const QString& path,
                                                                            bool keepContent);
  virtual std::unique_ptr<FileReplacement> replaceFile(const QString& path);
  virtual std::optional<QString> renameFile(const QString& from, const QString& to);
  virtual std::optional<QString> removeFile(const QString& path);
};

// A question with Yes as the default answer and Esc for No; true for Yes.
bool AskYesNo(Platform& platform, QWidget* parent, const QString& question, const QString& title,
              QMessageBox::Icon icon = QMessageBox::Question);

}  // namespace cardel
