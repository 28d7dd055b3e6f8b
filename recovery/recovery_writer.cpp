#include "recovery_writer.h"

#include "machine.h"
#include "recovery_file.h"

namespace cardel {

RecoveryWriter::RecoveryWriter(Machine& machine, QString path,
                               std::function<void(QString)> onFailure)
    : machine_(machine), path_(std::move(path)), onFailure_(std::move(onFailure)) {}

RecoveryWriter::~RecoveryWriter() { stop(); }

std::optional<QString> RecoveryWriter::open(bool keepContent) {
  std::lock_guard lock(mutex_);
  auto opened = machine_.openAppendFile(path_, keepContent);
  if (const QString* failure = std::get_if<QString>(&opened)) return *failure;
  file_ = std::move(std::get<std::unique_ptr<AppendFile>>(opened));
  thread_ = std::thread(&RecoveryWriter::run, this);
  return std::nullopt;
}

std::optional<QString> RecoveryWriter::append(const QByteArray& bytes) {
  std::lock_guard lock(mutex_);
  if (state_ == State::Failed || !file_) return std::nullopt;
  const qint64 length = file_->size();
  auto failure = file_->write(bytes);
  if (!failure) failure = file_->sync();
  if (failure) {
    // Half a contact would be counted and offered back at the next start,
    // and the next line glued onto it: the file goes back to its last whole
    // line.
    if (!file_->truncate(length)) file_->sync();
    state_ = State::Failed;
    return failure;
  }
  if (state_ == State::Writing) tail_ += bytes;
  if (waiting_) waitingTail_ += bytes;
  return std::nullopt;
}

bool RecoveryWriter::isAtPath() const {
  std::lock_guard lock(mutex_);
  return !file_ || file_->isAt(path_);
}

void RecoveryWriter::replace(Text log) {
  {
    std::lock_guard lock(mutex_);
    if (state_ == State::Failed || state_ == State::Stopped) return;
    if (waiting_) spare_ = std::move(*waiting_);
    waiting_ = std::move(log);
    waitingTail_.clear();
  }
  wake_.notify_one();
}

void RecoveryWriter::prepareSpare(std::size_t length) {
  {
    std::lock_guard lock(mutex_);
    spareWanted_ = length;
  }
  wake_.notify_one();
}

Text RecoveryWriter::takeSpare() {
  std::lock_guard lock(mutex_);
  return std::move(spare_);
}

bool RecoveryWriter::idle() const {
  std::lock_guard lock(mutex_);
  return !waiting_ && state_ != State::Writing && spareWanted_ <= spare_.capacity();
}

void RecoveryWriter::stop() {
  {
    std::lock_guard lock(mutex_);
    state_ = State::Stopped;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  file_.reset();
}

void RecoveryWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] {
      return state_ == State::Stopped || waiting_ || spareWanted_ > spare_.capacity();
    });
    if (state_ == State::Stopped) return;
    if (!waiting_) {
      growSpare(lock);
      continue;
    }
    if (state_ == State::Failed) {
      waiting_.reset();
      continue;
    }
    Text log = std::move(*waiting_);
    waiting_.reset();
    tail_ = std::move(waitingTail_);
    waitingTail_.clear();
    state_ = State::Writing;
    lock.unlock();
    const auto failure = write(log);
    lock.lock();
    if (state_ == State::Writing) state_ = State::Idle;
    spare_ = std::move(log);
    if (failure) {
      lock.unlock();
      setFailed(*failure);
      lock.lock();
    }
  }
}

// Touching every page of the buffer here spares the window's thread the cost
// of fresh memory, which in a virtual machine can be twenty times that of the
// copy itself.
void RecoveryWriter::growSpare(std::unique_lock<std::mutex>& lock) {
  Text buffer = std::move(spare_);
  const std::size_t wanted = spareWanted_;
  lock.unlock();
  buffer.resize(wanted + wanted / 8);
  buffer.clear();
  lock.lock();
  if (spare_.capacity() < buffer.capacity()) spare_ = std::move(buffer);
  spareWanted_ = 0;
}

// The bulk is written and synced without the lock, so that contacts keep
// reaching the old file meanwhile; only the short tail and the swap hold it.
std::optional<QString> RecoveryWriter::write(const Text& log) {
  const std::string bytes = RecoveryBytes(log);
  const std::unique_ptr<FileReplacement> out = machine_.replaceFile(path_);
  if (auto failure = out->write(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()))))
    return failure;
  return commit(*out);
}

// A newer log waiting does not cancel this one: under continuous edits every
// replacement would then give way to the next, and none would land.
std::optional<QString> RecoveryWriter::commit(FileReplacement& out) {
  std::lock_guard lock(mutex_);
  if (state_ != State::Writing) return std::nullopt;  // failed or closing: `out` is dropped
  if (auto failure = out.write(tail_)) return failure;
  // Windows renames nothing over a file that is open, so the old file is
  // closed for the swap; the lock keeps appends out until it is open again.
  file_.reset();
  const auto failure = out.commit();
  auto reopened = machine_.openAppendFile(path_, true);
  if (const QString* reason = std::get_if<QString>(&reopened)) return failure ? failure : *reason;
  file_ = std::move(std::get<std::unique_ptr<AppendFile>>(reopened));
  if (failure) return failure;
  tail_.clear();
  return std::nullopt;
}

void RecoveryWriter::setFailed(const QString& reason) {
  {
    std::lock_guard lock(mutex_);
    if (state_ == State::Stopped) return;
    state_ = State::Failed;
  }
  onFailure_(reason);
}

}  // namespace cardel
