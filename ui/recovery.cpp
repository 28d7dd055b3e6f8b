#include "recovery.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "codepage.h"
#include "log_box.h"
#include "platform.h"
#include "qt_text.h"
#include "recovery_file.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace cardel {

namespace {

QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Qt leaves some failed writes as "Unknown error"; the system's reason
// ("No space left on device") tells the operator what to do.
QString Reason(const QFileDevice& file) {
  const QString system = SystemError();
  return file.error() == QFileDevice::UnspecifiedError || file.errorString() == "Unknown error"
             ? system
             : file.errorString();
}

// Past the drive's own cache too, so that a power cut keeps what was written.
std::optional<QString> SyncToDisk(QFileDevice& file) {
  if (!file.flush()) return Reason(file);
#if defined(_WIN32)
  if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
    return QStringLiteral("FlushFileBuffers: errore %1").arg(GetLastError());
#elif defined(__APPLE__)
  if (fcntl(file.handle(), F_FULLFSYNC) != 0 && fsync(file.handle()) != 0) return SystemError();
#else
  if (fdatasync(file.handle()) != 0) return SystemError();
#endif
  return std::nullopt;
}

// A file that has just replaced another is only sure to stay after a power
// cut once its folder is on the disk too.
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

FileStamp ToFileStamp(const QDateTime& t) {
  return {t.date().year(), t.date().month(),  t.date().day(),
          t.time().hour(), t.time().minute(), t.time().second()};
}

QString InFolder(const QString& folder, TextView name) {
  return QDir::toNativeSeparators(QDir(folder).filePath(ToQString(name)));
}

}  // namespace

bool CopyNextSlice(Text& copy, const Text& log) {
  copy.append(log, copy.size(), kRecoveryCopySlice);
  return copy.size() == log.size();
}

RecoveryWriter::RecoveryWriter(QString path, std::function<void(QString)> onFailure)
    : path_(std::move(path)), onFailure_(std::move(onFailure)) {}

RecoveryWriter::~RecoveryWriter() { stop(); }

std::optional<QString> RecoveryWriter::open(bool keepContent) {
  std::lock_guard lock(mutex_);
  file_.setFileName(path_);
  const auto mode = keepContent ? QIODevice::WriteOnly | QIODevice::Append
                                : QIODevice::WriteOnly | QIODevice::Truncate;
  if (!file_.open(mode)) return file_.errorString();
  if (auto failure = SyncToDisk(file_)) return failure;
  SyncFolder(path_);
  thread_ = std::thread(&RecoveryWriter::run, this);
  return std::nullopt;
}

std::optional<QString> RecoveryWriter::append(const QByteArray& bytes) {
  std::lock_guard lock(mutex_);
  if (failed_ || !file_.isOpen()) return std::nullopt;
  std::optional<QString> failure;
  if (file_.write(bytes) != bytes.size())
    failure = Reason(file_);
  else
    failure = SyncToDisk(file_);
  if (failure) {
    failed_ = true;
    return failure;
  }
  if (waiting_ || writing_) tail_ += bytes;
  return std::nullopt;
}

void RecoveryWriter::replace(Text log) {
  {
    std::lock_guard lock(mutex_);
    if (failed_ || stopping_) return;
    if (waiting_) spare_ = std::move(*waiting_);
    waiting_ = std::move(log);
    ++generation_;
    tail_.clear();
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
  return !waiting_ && !writing_ && spareWanted_ <= spare_.capacity();
}

void RecoveryWriter::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  file_.close();
}

void RecoveryWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || waiting_ || spareWanted_ > spare_.capacity(); });
    if (stopping_) return;
    if (!waiting_) {
      growSpare(lock);
      continue;
    }
    Text log = std::move(*waiting_);
    waiting_.reset();
    writing_ = true;
    const std::uint64_t generation = generation_;
    lock.unlock();
    const auto failure = write(log, generation);
    lock.lock();
    writing_ = false;
    spare_ = std::move(log);
    if (failure) {
      lock.unlock();
      setFailed(*failure);
      return;
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
std::optional<QString> RecoveryWriter::write(const Text& log, std::uint64_t generation) {
  const std::string bytes = RecoveryBytes(log);
  QSaveFile out(path_);
  const auto size = static_cast<qint64>(bytes.size());
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes.data(), size) != size) return Reason(out);
  if (auto failure = SyncToDisk(out)) return failure;
  return commit(out, generation);
}

std::optional<QString> RecoveryWriter::commit(QSaveFile& out, std::uint64_t generation) {
  std::lock_guard lock(mutex_);
  if (generation != generation_ || stopping_) {
    out.cancelWriting();  // a newer log is waiting, or the window is closing
    return std::nullopt;
  }
  if (out.write(tail_) != tail_.size()) return Reason(out);
  // Windows renames nothing over a file that is open, so the old file is
  // closed for the swap; the lock keeps appends out until it is open again.
  file_.close();
  const bool committed = out.commit();
  const QString failure = committed ? QString() : Reason(out);
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) return file_.errorString();
  if (!committed) return failure;
  tail_.clear();
  SyncFolder(path_);
  return std::nullopt;
}

void RecoveryWriter::setFailed(const QString& reason) {
  {
    std::lock_guard lock(mutex_);
    failed_ = true;
  }
  onFailure_(reason);
}

Recovery::Recovery(Platform& platform, QWidget& window, LogBox& log,
                   std::function<void(const Message&)> showMessage)
    : platform_(platform), window_(window), log_(log), showMessage_(std::move(showMessage)) {
  rewriteTimer_.setSingleShot(true);
  connect(&rewriteTimer_, &QTimer::timeout, this, &Recovery::onRewriteDue);
}

Recovery::~Recovery() {
  if (writer_) writer_->stop();
}

QString Recovery::path() const { return InFolder(platform_.programFolder(), kRecoveryFileName); }

std::optional<Text> Recovery::start(std::chrono::milliseconds rewriteDelay) {
  rewriteTimer_.setInterval(rewriteDelay);
  if (!lockFolder()) return std::nullopt;
  std::optional<Text> recovered;
  if (QFileInfo::exists(path())) {
    recovered = offerLeftLog();
    if (!recovered && !keepAside()) return std::nullopt;
  }
  writer_ = std::make_unique<RecoveryWriter>(path(), [this](QString reason) {
    QMetaObject::invokeMethod(
        this, [this, reason] { reportFailure(reason); }, Qt::QueuedConnection);
  });
  keptContent_ = recovered.has_value();
  if (auto failure = writer_->open(keptContent_)) reportFailure(*failure);
  return recovered;
}

// Only one window per folder may own the recovery file; a lock left by a
// killed process names a process that is gone, and QLockFile takes it over.
bool Recovery::lockFolder() {
  lock_ = std::make_unique<QLockFile>(InFolder(platform_.programFolder(), kRecoveryLockName));
  lock_->setStaleLockTime(0);  // never by age: a contest window stays open for days
  if (lock_->tryLock(0)) return true;
  const QLockFile::LockError error = lock_->error();
  const bool inUse = error == QLockFile::LockFailedError;
  lock_.reset();
  if (inUse)
    showMessage_(RecoveryInUseMessage());
  else
    reportFailure(
        QStringLiteral("Impossibile creare ") +
        InFolder(platform_.programFolder(), kRecoveryLockName) +
        (error == QLockFile::PermissionError ? QStringLiteral(": permesso negato") : QString()));
  return false;
}

// The log left by the last run when the operator wants it back; an empty
// file has nothing to offer and is simply reused.
std::optional<Text> Recovery::offerLeftLog() {
  const FileRead file = platform_.readFile(path());
  if (file.outcome != FileRead::Outcome::Read) return std::nullopt;
  if (file.bytes.isEmpty()) return Text();
  Text log = DecodeWindows1252(std::string_view(file.bytes.constData(), file.bytes.size()));
  const MessageRequest question{
      .text = ToQString(RecoveryQuestion(CountLogLines(log))),
      .title = ToQString(kApplicationTitle),
      .icon = QMessageBox::Question,
      .buttons = QMessageBox::Yes | QMessageBox::No,
      .defaultButton = QMessageBox::Yes,
      .escapeButton = QMessageBox::No,
  };
  if (platform_.showMessage(&window_, question) != QMessageBox::Yes) return std::nullopt;
  return log;
}

// Moves an unwanted recovery file to a dated name the program never
// deletes; false when it stays where it is, unprotected from now on.
bool Recovery::keepAside() {
  const QString folder = platform_.programFolder();
  const FileStamp stamp = ToFileStamp(platform_.localNow());
  QString kept;
  for (int attempt = 1; kept.isEmpty() || QFileInfo::exists(kept); ++attempt)
    kept = InFolder(folder, KeptRecoveryFileName(stamp, attempt));
  QFile file(path());
  if (!file.rename(kept)) {
    showMessage_(RecoveryNotKeptMessage(ToText(path()), ToText(file.errorString())));
    failureShown_ = true;
    return false;
  }
  showMessage_(RecoveryKeptMessage(ToText(kept)));
  return true;
}

void Recovery::protect() {
  if (!writer_ || watch_) return;
  watch_ = connect(&log_, &LogBox::logTextChanged, this, &Recovery::onLogChanged);
  if (!keptContent_ && !log_.logText().empty()) onRewriteDue();
}

void Recovery::appendContact(const std::function<void()>& show) {
  const std::size_t before = log_.logText().size();
  showingContact_ = true;
  show();
  showingContact_ = false;
  if (!writer_) return;
  const std::string bytes = RecoveryBytes(TextView(log_.logText()).substr(before));
  if (auto failure = writer_->append(QByteArray(bytes.data(), qsizetype(bytes.size()))))
    reportFailure(*failure);
}

// The first change starts the wait and later ones join it, so an edit is on
// the disk about one delay (plus the write) after it was made. An edit while
// the log is being copied makes the copy stale: it starts again after the
// delay.
void Recovery::onLogChanged() {
  if (showingContact_) return;
  copying_ = false;
  if (rewriteTimer_.isActive()) return;
  rewriteTimer_.start();
  if (writer_) writer_->prepareSpare(log_.logText().size());
}

// The copy is the only work on the window's thread; encoding and writing
// happen on the writer's.
void Recovery::onRewriteDue() {
  if (!writer_) return;
  if (Text spare = writer_->takeSpare(); spare.capacity() > copy_.capacity())
    copy_ = std::move(spare);
  copy_.clear();
  // Room for contacts entered meanwhile, so that no slice moves it all.
  const std::size_t length = log_.logText().size();
  copy_.reserve(length + length / 16 + 4096);
  copying_ = true;
  copyNextSlice();
}

// Contacts entered between slices are copied too, as they only add to the
// end; any other change has stopped the copy.
void Recovery::copyNextSlice() {
  if (!copying_ || !writer_) return;
  if (!CopyNextSlice(copy_, log_.logText())) {
    QTimer::singleShot(0, this, &Recovery::copyNextSlice);
    return;
  }
  copying_ = false;
  writer_->replace(std::move(copy_));
}

void Recovery::reportFailure(const QString& reason) {
  stopProtecting();
  if (failureShown_) return;
  failureShown_ = true;
  showMessage_(RecoveryFailedMessage(ToText(path()), ToText(reason)));
}

void Recovery::stopProtecting() {
  rewriteTimer_.stop();
  copying_ = false;
  disconnect(watch_);
  watch_ = {};
}

void Recovery::finish() {
  stopProtecting();
  if (!writer_) return;
  writer_->stop();
  writer_.reset();
  QFile::remove(path());
  lock_.reset();
}

bool Recovery::isWritten() const {
  return !writer_ || (!rewriteTimer_.isActive() && !copying_ && writer_->idle());
}

}  // namespace cardel
