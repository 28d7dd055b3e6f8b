#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

#include "disk_files.h"
#include "files.h"

namespace cardel {

enum class PathKind { Missing, File, Other };

// What the program needs of the machine besides its screen: the clock, the
// program's folder and the files. Tests replace any of it.
class Machine {
 public:
  virtual ~Machine() = default;

  virtual QDateTime localNow() const;
  virtual QString programFolder() const;
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

}  // namespace cardel
