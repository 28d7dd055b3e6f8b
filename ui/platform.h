#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMessageBox>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

#include "files.h"

class QWidget;

namespace cardel {

struct MessageRequest {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

// A file kept open to add to its end.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  virtual qint64 size() const = 0;
  // All of `bytes`, or the reason why not: part of them may be written.
  virtual std::optional<QString> write(const QByteArray& bytes) = 0;
  // Past the system's and the drive's caches, so that a power cut keeps it.
  virtual std::optional<QString> sync() = 0;
  virtual std::optional<QString> truncate(qint64 length) = 0;
  // Whether `path` still names this file: not deleted, moved or replaced.
  virtual bool isAt(const QString& path) const = 0;
};

// A new content for a file that takes the file's place only on commit();
// dropped before, it leaves the file as it was.
class FileReplacement {
 public:
  virtual ~FileReplacement() = default;
  virtual std::optional<QString> write(const QByteArray& bytes) = 0;
  // Syncs the new content, puts it in the file's place and syncs that too.
  virtual std::optional<QString> commit() = 0;
};

// Held until destroyed. The system releases it when the process ends,
// however it ends, so a crash never leaves it held.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

struct LockAttempt {
  enum class Outcome { Held, InUse, Failed };
  Outcome outcome = Outcome::Failed;
  std::unique_ptr<FileLock> lock;
  QString reason;  // why it failed
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

}  // namespace cardel
