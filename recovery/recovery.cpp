#include "recovery.h"

#include <QDir>

#include "codepage.h"
#include "log_document.h"
#include "machine.h"
#include "qt_text.h"
#include "recovery_file.h"

namespace cardel {

namespace {

FileStamp ToFileStamp(const QDateTime& t) {
  return {t.date().year(), t.date().month(),  t.date().day(),
          t.time().hour(), t.time().minute(), t.time().second()};
}

}  // namespace

bool CopyNextSlice(Text& copy, const Text& log) {
  copy.append(log, copy.size(), kRecoveryCopySlice);
  return copy.size() == log.size();
}

Recovery::Recovery(Machine& machine, const LogDocument& log, RecoveryDialogs dialogs)
    : machine_(machine), log_(log), dialogs_(std::move(dialogs)) {
  rewriteTimer_.setSingleShot(true);
  connect(&rewriteTimer_, &QTimer::timeout, this, &Recovery::rewriteNow);
}

Recovery::~Recovery() {
  if (writer_) writer_->stop();
}

QString Recovery::path() const { return InFolder(machine_.programFolder(), ToQString(kRecoveryFileName)); }

QString Recovery::lockPath() const { return InFolder(machine_.programFolder(), ToQString(kRecoveryLockName)); }

// Only one window per folder may own the recovery file. The lock is one the
// system drops when its process ends, so what a crash leaves behind never
// passes for a window still open. A file that is there is offered even when
// the lock cannot be taken (a full disk, a read-only folder): its contacts
// would otherwise stay on the disk unseen.
std::optional<Text> Recovery::start(std::chrono::milliseconds rewriteDelay) {
  rewriteTimer_.setInterval(rewriteDelay);
  LockAttempt lock = machine_.lockFile(lockPath());
  if (lock.outcome == LockAttempt::Outcome::InUse) {
    tellUnprotected(RecoveryInUseMessage());
    return std::nullopt;
  }
  std::optional<Text> recovered;
  switch (machine_.pathKind(path())) {
    case PathKind::Other: tellUnprotected(RecoveryNotAFileMessage(ToText(path()))); return {};
    case PathKind::File:
      recovered = offerLeftLog();
      if (!recovered && !keepAside()) return std::nullopt;
      break;
    case PathKind::Missing: break;
  }
  if (lock.outcome == LockAttempt::Outcome::Failed) {
    tellUnprotected(RecoveryLockFailedMessage(ToText(lockPath()), ToText(lock.reason)));
    return recovered;
  }
  lock_ = std::move(lock.lock);
  if (openWriter(recovered.has_value())) state_ = recovered ? State::Written : State::Empty;
  return recovered;
}

// The log left by the last run when the operator wants it back; an empty
// file has nothing to offer and is simply reused.
std::optional<Text> Recovery::offerLeftLog() {
  const FileRead file = machine_.readFile(path());
  if (file.outcome != FileRead::Outcome::Read) return std::nullopt;
  if (file.bytes.isEmpty()) return Text();
  Text log = DecodeWindows1252(std::string_view(file.bytes.constData(), file.bytes.size()));
  if (!dialogs_.ask(RecoveryQuestion(CountLogLines(log)))) return std::nullopt;
  return log;
}

// Moves an unwanted recovery file to a dated name the program never
// deletes; false when it stays where it is, unprotected from now on.
bool Recovery::keepAside() {
  const QString folder = machine_.programFolder();
  const FileStamp stamp = ToFileStamp(machine_.localNow());
  QString kept;
  for (int attempt = 1; kept.isEmpty() || machine_.pathKind(kept) != PathKind::Missing; ++attempt)
    kept = InFolder(folder, ToQString(KeptRecoveryFileName(stamp, attempt)));
  if (const auto failure = machine_.renameFile(path(), kept)) {
    tellUnprotected(RecoveryNotKeptMessage(ToText(path()), ToText(*failure)));
    return false;
  }
  dialogs_.tell(RecoveryKeptMessage(ToText(kept)));
  return true;
}

bool Recovery::openWriter(bool keepContent) {
  writer_ = std::make_unique<RecoveryWriter>(machine_, path(), [this](QString reason) {
    QMetaObject::invokeMethod(
        this,
        [this, reason] { tellUnprotected(RecoveryFailedMessage(ToText(path()), ToText(reason))); },
        Qt::QueuedConnection);
  });
  if (const auto failure = writer_->open(keepContent)) {
    tellUnprotected(RecoveryFailedMessage(ToText(path()), ToText(*failure)));
    return false;
  }
  return true;
}

void Recovery::protect() {
  if (state_ != State::Empty && state_ != State::Written) return;
  watchLog();
  if (state_ == State::Empty && !log_.text().empty())
    rewriteNow();
  else
    state_ = State::Written;
}

void Recovery::watchLog() {
  watch_ = connect(&log_, &LogDocument::changed, this, &Recovery::onLogChanged);
}

void Recovery::appendContact(const std::function<void()>& show) {
  if (!watch_) {
    show();
    return;
  }
  const std::size_t before = log_.text().size();
  // A contact is written here and now, not by a rewrite.
  disconnect(watch_);
  show();
  watchLog();
  const std::string bytes = RecoveryBytes(TextView(log_.text()).substr(before));
  if (auto failure = writer_->append(QByteArray(bytes.data(), qsizetype(bytes.size())))) {
    tellUnprotected(RecoveryFailedMessage(ToText(path()), ToText(*failure)));
    return;
  }
  // Deleted or replaced behind the program's back (by hand, a cleaner, a
  // sync tool): the contact went into a file no longer there.
  if (state_ != State::Copying && !writer_->isAtPath()) rewriteNow();
}

// The first change starts the wait and later ones join it, so an edit is on
// the disk about one delay (plus the write) after it was made. An edit while
// the log is being copied makes the copy stale from where it begins on.
void Recovery::onLogChanged(std::size_t from) {
  switch (state_) {
    case State::Written:
      state_ = State::Due;
      dueSince_.start();
      rewriteTimer_.start();
      writer_->prepareSpare(log_.text().size());
      break;
    case State::Copying: copy_.resize(std::min(copy_.size(), from)); break;
    case State::Off:
    case State::Unprotected:
    case State::Empty:
    case State::Due: break;
  }
}

// The copy is the only work on the window's thread; encoding and writing
// happen on the writer's.
void Recovery::rewriteNow() {
  rewriteTimer_.stop();
  if (state_ != State::Due) dueSince_.start();
  if (Text spare = writer_->takeSpare(); spare.capacity() > copy_.capacity())
    copy_ = std::move(spare);
  copy_.clear();
  // Room for contacts entered meanwhile, so that no slice moves it all.
  const std::size_t length = log_.text().size();
  copy_.reserve(length + length / 16 + 4096);
  state_ = State::Copying;
  copyNextSlice();
}

// Contacts entered between slices are copied too, as they only add to the
// end. Edits elsewhere send the copy back to where they begin; once the
// oldest of them has waited twice the delay, the rest is copied at once, so
// that no typing rate keeps an edit off the disk for long.
void Recovery::copyNextSlice() {
  if (state_ != State::Copying) return;
  const Text& log = log_.text();
  if (dueSince_.elapsed() > 2 * rewriteTimer_.interval())
    copy_.append(log, copy_.size());
  else if (!CopyNextSlice(copy_, log)) {
    QTimer::singleShot(0, this, &Recovery::copyNextSlice);
    return;
  }
  state_ = State::Written;
  writer_->replace(std::move(copy_));
}

// Told once: after the first failure nothing more is written.
void Recovery::tellUnprotected(const Message& message) {
  rewriteTimer_.stop();
  disconnect(watch_);
  watch_ = {};
  if (state_ == State::Unprotected) return;
  state_ = State::Unprotected;
  dialogs_.tell(message);
}

// A file left behind would be offered at the next start as if the program
// had stopped: the operator is told, and can answer that question knowingly.
void Recovery::finish() {
  rewriteTimer_.stop();
  disconnect(watch_);
  watch_ = {};
  state_ = State::Off;
  if (!writer_) return;
  writer_->stop();
  writer_.reset();
  if (machine_.pathKind(path()) == PathKind::Missing) return lock_.reset();
  if (const auto failure = machine_.removeFile(path()))
    dialogs_.tell(RecoveryNotRemovedMessage(ToText(path()), ToText(*failure)));
  lock_.reset();
}

bool Recovery::isWritten() const {
  switch (state_) {
    case State::Due:
    case State::Copying: return false;
    case State::Empty:
    case State::Written: return writer_->idle();
    case State::Off:
    case State::Unprotected: break;
  }
  return true;
}

}  // namespace cardel
