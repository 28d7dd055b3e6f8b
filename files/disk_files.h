#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace cardel {

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

// The files on the local disk that the Machine hands out.
LockAttempt LockFileOnDisk(const QString& path);
std::variant<std::unique_ptr<AppendFile>, QString> OpenAppendFileOnDisk(const QString& path,
                                                                        bool keepContent);
std::unique_ptr<FileReplacement> ReplaceFileOnDisk(const QString& path);

}  // namespace cardel
