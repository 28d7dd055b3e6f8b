#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "text.h"

namespace cardel {

class AppendFile;
class FileReplacement;
class Machine;

// The recovery file itself. The window's thread appends each contact and waits
// for the disk; a thread of its own replaces the whole file, so that a large
// log never stalls the window. Contacts appended while a replacement is being
// written are added to it before it takes the old file's place, so no contact
// is ever missing from the file on the disk.
class RecoveryWriter {
 public:
  // `onFailure` runs on the writer's thread.
  RecoveryWriter(Machine& machine, QString path, std::function<void(QString)> onFailure);
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Opens the file for appending, emptied unless `keepContent`; the reason
  // when it cannot.
  std::optional<QString> open(bool keepContent);
  // On the disk itself before it returns, whole, or not at all; the reason
  // when it is not, and nothing is written from then on.
  std::optional<QString> append(const QByteArray& bytes);
  // Whether the path still names the file being written: not deleted or
  // replaced by someone else.
  bool isAtPath() const;
  // Replaces the whole file with `log`, later; a newer log waits until the
  // one being written is in place.
  void replace(Text log);
  // A buffer to copy the next log into: one handed over before, whose memory
  // the process already holds, so that copying a large log on the window's
  // thread costs a plain copy and no fresh pages.
  Text takeSpare();
  // Makes the spare buffer hold at least `length` characters, on the
  // writer's thread, ahead of the next takeSpare().
  void prepareSpare(std::size_t length);
  // No replacement waiting or being written, no spare buffer being made.
  bool idle() const;
  // Waits for the writer's thread, then closes the file.
  void stop();

 private:
  enum class State {
    Idle,     // the file holds every log handed over
    Writing,  // a replacement is being written
    Failed,   // nothing more is written
    Stopped,
  };

  void run();
  void growSpare(std::unique_lock<std::mutex>& lock);
  std::optional<QString> write(const Text& log);
  std::optional<QString> commit(FileReplacement& out);
  void setFailed(const QString& reason);

  Machine& machine_;
  QString path_;
  std::function<void(QString)> onFailure_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  State state_ = State::Idle;
  std::unique_ptr<AppendFile> file_;  // the file now on the disk, open for appending
  std::optional<Text> waiting_;
  QByteArray waitingTail_;  // appended since the waiting log was handed over
  QByteArray tail_;         // appended since the log being written was handed over
  Text spare_;
  std::size_t spareWanted_ = 0;
  std::thread thread_;
};

}  // namespace cardel
