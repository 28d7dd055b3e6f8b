#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "message.h"
#include "text.h"

class QLockFile;
class QSaveFile;
class QWidget;

namespace cardel {

class LogBox;
class Platform;

// How long an edit of the log can stay off the disk: typing in the log box
// rewrites the file at most once in this time, not once per key.
inline constexpr std::chrono::milliseconds kRecoveryRewriteDelay{1000};
// The log is copied for a rewrite this many characters per turn of the event
// loop (a few milliseconds), so even a 45 MB log never holds up a keystroke
// or a repaint for a whole frame.
inline constexpr std::size_t kRecoveryCopySlice = 2'000'000;

// Copies the next slice of `log` to the end of `copy`; true once `copy` holds
// all of it.
bool CopyNextSlice(Text& copy, const Text& log);

// The recovery file itself. The window's thread appends each contact and waits
// for the disk; a thread of its own replaces the whole file, so that a large
// log never stalls the window. Contacts appended while a replacement is being
// written are added to it before it takes the old file's place, so no contact
// is ever missing from the file on the disk.
class RecoveryWriter {
 public:
  // `onFailure` runs on the writer's thread.
  RecoveryWriter(QString path, std::function<void(QString)> onFailure);
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Opens the file for appending, emptied unless `keepContent`; the reason
  // when it cannot.
  std::optional<QString> open(bool keepContent);
  // On the disk itself before it returns; the reason when it is not.
  std::optional<QString> append(const QByteArray& bytes);
  // Replaces the whole file with `log`, later; a newer log supersedes it.
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
  void run();
  void growSpare(std::unique_lock<std::mutex>& lock);
  std::optional<QString> write(const Text& log, std::uint64_t generation);
  std::optional<QString> commit(QSaveFile& out, std::uint64_t generation);
  void setFailed(const QString& reason);

  QString path_;
  std::function<void(QString)> onFailure_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  QFile file_;  // the file now on the disk, open for appending
  std::optional<Text> waiting_;
  Text spare_;
  std::size_t spareWanted_ = 0;
  std::uint64_t generation_ = 0;  // of the newest log handed to replace()
  QByteArray tail_;               // appended since the newest log was handed over
  bool writing_ = false;
  bool stopping_ = false;
  bool failed_ = false;
  std::thread thread_;
};

// Keeps the recovery file equal to the log the window holds, from start to a
// normal exit, and offers it back at the start after a run that did not end
// normally. Until start() it does nothing, so a window made without it (the
// tests of other behaviours) leaves no files behind.
class Recovery : public QObject {
  Q_OBJECT

 public:
  Recovery(Platform& platform, QWidget& window, LogBox& log,
           std::function<void(const Message&)> showMessage);
  ~Recovery() override;

  // Before the window takes input: asks about a recovery file left behind and
  // gives its log when the operator wants it back, then protects the log
  // from protect() on.
  std::optional<Text> start(std::chrono::milliseconds rewriteDelay);
  // Watches the log box from now on; a log already in the box is written
  // whole first.
  void protect();
  // An accepted contact: `show` adds it at the end of the log box, and what it
  // added is on the disk before this returns.
  void appendContact(const std::function<void()>& show);
  // A normal exit: nothing is left to recover.
  void finish();

  // The file holds the log as the window holds it, or protection has ended.
  bool isWritten() const;
  QString path() const;

 private:
  bool lockFolder();
  std::optional<Text> offerLeftLog();
  bool keepAside();
  void onLogChanged();
  void onRewriteDue();
  void copyNextSlice();
  void reportFailure(const QString& reason);
  void stopProtecting();

  Platform& platform_;
  QWidget& window_;
  LogBox& log_;
  std::function<void(const Message&)> showMessage_;
  QTimer rewriteTimer_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<RecoveryWriter> writer_;
  QMetaObject::Connection watch_;
  Text copy_;  // the log being copied for the next rewrite
  bool copying_ = false;
  bool keptContent_ = false;  // the file already holds the log
  bool showingContact_ = false;
  bool failureShown_ = false;
};

}  // namespace cardel
