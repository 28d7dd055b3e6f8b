#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

class QFileDevice;

namespace cardel {

struct FileRead {
  enum class Outcome { Missing, Failed, Read };
  Outcome outcome = Outcome::Missing;
  QByteArray bytes;
  QString reason;  // why a read failed
};

// The whole of a file that is there: Read, or Failed with the reason.
FileRead ReadWholeFile(const QString& path);

// Opens a file to be written whole. Unbuffered, so that every write reaches
// the disk where a short one is noticed: QSaveFile::commit() misses a
// buffered write that fails when flushed, and would put a short file in
// place of the old one.
bool OpenToWrite(QFileDevice& file);

// Writes all of `bytes` into an open file. A write the disk cuts short is a
// failure: false, and the file's errorString() says why.
bool WriteAll(QFileDevice& file, QByteArrayView bytes);

// Writes all of `bytes` into a file opened with OpenToWrite and, for a
// QSaveFile, puts the new file in place. A write the disk cuts short is a
// failure: false, and the file's errorString() says why.
bool WriteWhole(QFileDevice& file, QByteArrayView bytes);

// What tells one file from another on the system: the volume and the file's
// number on it (device and inode, or volume serial and file index).
struct FileIdentity {
  quint64 volume = 0;
  quint64 index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// How the system names files: the identity of a file or folder that is
// there, and whether names differing only in letter case are one file.
struct FileNaming {
  std::function<std::optional<FileIdentity>(const QString& path)> identify;
  bool foldsCase = false;
};

// This system's: Windows' NTFS and FAT fold letter case, Linux's do not.
FileNaming SystemNaming();

// Whether two paths name one file, by any spelling, link or letter case the
// system treats as the same: by identity where both are there, otherwise by
// the identity of the folder and the name within it.
bool IsSameFile(const QString& a, const QString& b, const FileNaming& naming = SystemNaming());

// Why a write of the file failed, in words of our own where the system has
// none (a folder, a read-only file); the system's otherwise.
QString WriteFailure(const QFileDevice& file);

// The file of that name in the folder, spelt the system's way.
QString InFolder(const QString& folder, const QString& name);

// Replaces the file only once the new content is complete, or writes it in
// place when no file can be created beside it; the reason when it could not.
std::optional<QString> ReplaceFile(const QString& path, QByteArrayView bytes);

}  // namespace cardel
