#include "disk_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "files.h"

namespace cardel {

namespace {

std::optional<QString> Written(QFileDevice& file, const QByteArray& bytes) {
  if (!WriteAll(file, bytes)) return file.errorString();
  return std::nullopt;
}

#ifdef _WIN32
QString SystemReason() { return qt_error_string(static_cast<int>(GetLastError())); }
#else
QString SystemReason() { return qt_error_string(errno); }
#endif

// Past the drive's own cache too, so that a power cut keeps what was written.
std::optional<QString> SyncToDisk(QFileDevice& file) {
  if (!file.flush()) return file.errorString();
#if defined(_WIN32)
  if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
    return SystemReason();
#elif defined(__APPLE__)
  if (fcntl(file.handle(), F_FULLFSYNC) != 0 && fsync(file.handle()) != 0) return SystemReason();
#else
  if (fdatasync(file.handle()) != 0) return SystemReason();
#endif
  return std::nullopt;
}

// A file that has just been created or has replaced another is only sure to
// stay after a power cut once its folder is on the disk too.
void SyncFolder(const QString& path) {
#ifndef _WIN32
  const int fd =
      ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
#else
  Q_UNUSED(path);
#endif
}

// Unbuffered, so that a write the disk refuses fails here, with its reason.
class DiskAppendFile : public AppendFile {
 public:
  explicit DiskAppendFile(const QString& path) : file_(path) {}

  std::optional<QString> open(bool keepContent) {
    const auto mode = keepContent ? QIODevice::Append : QIODevice::Truncate;
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered | mode))
      return file_.errorString();
    if (auto failure = SyncToDisk(file_)) return failure;
    SyncFolder(file_.fileName());
    return std::nullopt;
  }

  qint64 size() const override { return file_.size(); }
  std::optional<QString> write(const QByteArray& bytes) override {
    return Written(file_, bytes);
  }
  std::optional<QString> sync() override { return SyncToDisk(file_); }
  std::optional<QString> truncate(qint64 length) override {
    if (!file_.resize(length) || !file_.seek(length)) return file_.errorString();
    return std::nullopt;
  }

  bool isAt(const QString& path) const override {
#ifdef _WIN32
    // An open file can be neither deleted nor moved there: Qt opens it
    // without sharing its deletion.
    return QFileInfo(path).isFile();
#else
    struct stat open {};
    struct stat named {};
    return ::fstat(file_.handle(), &open) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
#endif
  }

 private:
  QFile file_;
};

// Unbuffered, so that every write reaches the disk here, where a short one is
// noticed: commit() misses a buffered write that fails when flushed.
class DiskReplacement : public FileReplacement {
 public:
  explicit DiskReplacement(const QString& path) : file_(path) {
    file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }

  std::optional<QString> write(const QByteArray& bytes) override {
    if (!file_.isOpen()) return file_.errorString();
    return Written(file_, bytes);
  }
  std::optional<QString> commit() override {
    if (!file_.isOpen()) return file_.errorString();
    if (auto failure = SyncToDisk(file_)) return failure;
    if (!file_.commit()) return file_.errorString();
    SyncFolder(file_.fileName());
    return std::nullopt;
  }

 private:
  QSaveFile file_;
};

#ifdef _WIN32
// A file opened without sharing: no other process can open it while the
// handle is open, and the system closes the handle when the process ends.
// It goes with the last handle, so nothing is left behind.
class HeldFile : public FileLock {
 public:
  explicit HeldFile(HANDLE handle) : handle_(handle) {}
  ~HeldFile() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

LockAttempt TryLock(const QString& path) {
  const HANDLE handle =
      CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle != INVALID_HANDLE_VALUE)
    return {LockAttempt::Outcome::Held, std::make_unique<HeldFile>(handle), {}};
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION) return {LockAttempt::Outcome::InUse, nullptr, {}};
  return {LockAttempt::Outcome::Failed, nullptr, qt_error_string(static_cast<int>(error))};
}
#else
// An flock() on an open file, which the system drops when the process ends.
// The file is removed while still locked, so a process that opened it before
// then finds, once it holds the lock, that the path names another file, and
// tries again.
class HeldFile : public FileLock {
 public:
  HeldFile(int fd, QByteArray path) : fd_(fd), path_(std::move(path)) {}
  ~HeldFile() override {
    ::unlink(path_.constData());
    ::close(fd_);
  }

 private:
  int fd_;
  QByteArray path_;
};

bool NamesOpenFile(int fd, const QByteArray& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::stat(path.constData(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

LockAttempt TryLock(const QString& qpath) {
  const QByteArray path = QFile::encodeName(qpath);
  for (;;) {
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return {LockAttempt::Outcome::Failed, nullptr, SystemReason()};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) return {LockAttempt::Outcome::InUse, nullptr, {}};
      return {LockAttempt::Outcome::Failed, nullptr, qt_error_string(error)};
    }
    if (NamesOpenFile(fd, path))
      return {LockAttempt::Outcome::Held, std::make_unique<HeldFile>(fd, path), {}};
    ::close(fd);
  }
}
#endif

}  // namespace

LockAttempt LockFileOnDisk(const QString& path) { return TryLock(path); }

std::variant<std::unique_ptr<AppendFile>, QString> OpenAppendFileOnDisk(const QString& path,
                                                                        bool keepContent) {
  auto file = std::make_unique<DiskAppendFile>(path);
  if (auto failure = file->open(keepContent)) return *failure;
  return file;
}

std::unique_ptr<FileReplacement> ReplaceFileOnDisk(const QString& path) {
  return std::make_unique<DiskReplacement>(path);
}

}  // namespace cardel
