#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "message.h"
#include "recovery_writer.h"
#include "text.h"

namespace cardel {

class FileLock;
class LogDocument;
class Machine;

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

// What the recovery asks and tells the operator, through the window.
struct RecoveryDialogs {
  // True for Yes to a yes/no question.
  std::function<bool(const Text& question)> ask;
  std::function<void(const Message&)> tell;
};

// Keeps the recovery file equal to the log the window holds, from start to a
// normal exit, and offers it back at the start after a run that did not end
// normally. Until start() it does nothing, so a window made without it (the
// tests of other behaviours) leaves no files behind.
class Recovery : public QObject {
  Q_OBJECT

 public:
  Recovery(Machine& machine, const LogDocument& log, RecoveryDialogs dialogs);
  ~Recovery() override;

  // Before the window takes input: asks about a recovery file left behind and
  // gives its log when the operator wants it back, then protects the log
  // from protect() on.
  std::optional<Text> start(std::chrono::milliseconds rewriteDelay);
  // Watches the log from now on; a log already there is written whole first.
  void protect();
  // An accepted contact: `show` adds it at the end of the log, and what it
  // added is on the disk before this returns.
  void appendContact(const std::function<void()>& show);
  // A normal exit: nothing is left to recover.
  void finish();

  // The file holds the log as the window holds it, or protection has ended.
  bool isWritten() const;
  QString path() const;

 private:
  enum class State {
    Off,          // not started, or ended by a normal exit
    Unprotected,  // the operator has been told why the log is not protected
    Empty,        // the file has just been made and holds nothing yet
    Written,      // the file holds the log as the window holds it
    Due,          // an edit waits for the rewrite delay
    Copying,      // the log is being copied for a rewrite
  };

  QString lockPath() const;
  std::optional<Text> offerLeftLog();
  bool keepAside();
  bool openWriter(bool keepContent);
  void watchLog();
  void onLogChanged(std::size_t from);
  void rewriteNow();
  void copyNextSlice();
  void tellUnprotected(const Message& message);

  Machine& machine_;
  const LogDocument& log_;
  RecoveryDialogs dialogs_;
  State state_ = State::Off;
  QTimer rewriteTimer_;
  QElapsedTimer dueSince_;  // since the oldest edit not yet on the disk
  std::unique_ptr<FileLock> lock_;
  std::unique_ptr<RecoveryWriter> writer_;
  QMetaObject::Connection watch_;
  Text copy_;  // the log being copied for the next rewrite
};

}  // namespace cardel
