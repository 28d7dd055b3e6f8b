#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
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

// Whether two paths name one existing file: canonical paths, so that
// "./cardel.txt", "../x/cardel.txt" and a link all count.
bool IsSameFile(const QString& a, const QString& b);

// Replaces the file only once the new content is complete, or writes it in
// place when no file can be created beside it; the reason when it could not.
std::optional<QString> ReplaceFile(const QString& path, QByteArrayView bytes);

}  // namespace cardel
