#pragma once

#include <QDateTime>
#include <QLineEdit>
#include <QList>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <deque>
#include <memory>

#include "log_box.h"
#include "main_window.h"
#include "platform.h"
#include "qso_line.h"
#include "qt_text.h"

// A file on a disk that fills at the `failAt`-th write: half of it lands.
class FillingFile : public cardel::AppendFile {
 public:
  FillingFile(std::unique_ptr<cardel::AppendFile> file, std::atomic<int>& writes, int failAt)
      : file_(std::move(file)), writes_(writes), failAt_(failAt) {}
  qint64 size() const override { return file_->size(); }
  std::optional<QString> write(const QByteArray& bytes) override {
    if (++writes_ != failAt_) return file_->write(bytes);
    file_->write(bytes.left(bytes.size() / 2));
    return QStringLiteral("No space left on device");
  }
  std::optional<QString> sync() override { return file_->sync(); }
  std::optional<QString> truncate(qint64 length) override { return file_->truncate(length); }
  bool isAt(const QString& path) const override { return file_->isAt(path); }

 private:
  std::unique_ptr<cardel::AppendFile> file_;
  std::atomic<int>& writes_;
  int failAt_;
};

// The machine as the tests want it: a chosen clock, a temporary program
// folder, message boxes that are recorded and answered from a queue, and
// files that fail where a test says.
class FakePlatform : public cardel::Platform {
 public:
  QDateTime now{QDate(2026, 12, 7), QTime(10, 18)};
  QString folder;
  QList<cardel::MessageRequest> shown;
  std::deque<QMessageBox::StandardButton> answers;
  QString lockFailure;     // no lock can be made, for this reason
  QString removeFailure;   // no file can be removed, for this reason
  int fullAtWrite = 0;     // the disk fills at this append
  bool foldsCase = false;  // names as Windows compares them
  std::atomic<int> writes = 0;

  cardel::LockAttempt lockFile(const QString& path) override {
    if (lockFailure.isEmpty()) return Platform::lockFile(path);
    return {cardel::LockAttempt::Outcome::Failed, nullptr, lockFailure};
  }
  std::optional<QString> removeFile(const QString& path) override {
    if (removeFailure.isEmpty()) return Platform::removeFile(path);
    return removeFailure;
  }
  std::variant<std::unique_ptr<cardel::AppendFile>, QString> openAppendFile(
      const QString& path, bool keepContent) override {
    auto opened = Platform::openAppendFile(path, keepContent);
    auto* file = std::get_if<std::unique_ptr<cardel::AppendFile>>(&opened);
    if (!file || fullAtWrite == 0) return opened;
    return std::make_unique<FillingFile>(std::move(*file), writes, fullAtWrite);
  }

  cardel::FileNaming fileNaming() const override {
    cardel::FileNaming naming = Platform::fileNaming();
    naming.foldsCase = naming.foldsCase || foldsCase;
    return naming;
  }
  QDateTime localNow() const override { return now; }
  QString programFolder() const override { return folder; }
  QMessageBox::StandardButton showMessage(QWidget*, const cardel::MessageRequest& r) override {
    shown.append(r);
    if (answers.empty()) return QMessageBox::Ok;
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// A fresh window in a fresh program folder.
struct WindowUnderTest {
  QTemporaryDir dir;
  FakePlatform platform;
  std::unique_ptr<cardel::Form15> window;

  WindowUnderTest() {
    platform.folder = dir.path();
    window = std::make_unique<cardel::Form15>(platform);
  }

  void showActive() {
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }

  QString logPath() const { return dir.filePath(QStringLiteral("cardel.txt")); }
  QString log() const { return cardel::ToQString(window->Text1->logText()); }
  void setLog(const QString& text) { window->Text1->setLogText(cardel::ToText(text)); }

  // Types one contact the way an operator does and presses Enter in Text4.
  void enterContact(const QString& call, const QString& serial, const QString& locator) {
    QTest::keyClicks(window->Text2, call);
    QTest::keyClicks(window->Text3, serial);
    QTest::keyClicks(window->Text4, locator);
    QTest::keyClick(window->Text4, Qt::Key_Return);
  }
};

// Types any text, one key per character, as a keyboard with that layout
// would; QTest::keyClicks takes Latin-1 only.
inline void TypeText(QWidget* widget, const QString& text) {
  for (QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                        Qt::NoModifier);
}

// Drags `text` in from another program and drops it at `position`, in the
// events the window gets from the desktop; the drop goes to the widget that
// accepted the drag's entry.
inline void DropText(QWidget* widget, QPoint position, const QString& text) {
  QMimeData data;
  data.setText(text);
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(position, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &enter);
  QDragMoveEvent move(position, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
  QDropEvent drop(QPointF(position), actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &drop);
}

inline QString ShortDate(int y, int m, int d) {
  return QLocale::system().toString(QDate(y, m, d), QLocale::ShortFormat);
}

inline QString QsoLineText(const QString& serial, const QString& time, const QString& call,
                           const QString& received, const QString& locator,
                           const QString& band = {}) {
  using cardel::ToText;
  return cardel::ToQString(cardel::ComposeQsoLine({
      .serial = ToText(serial),
      .date = ToText(ShortDate(2026, 12, 7)),
      .time = ToText(time),
      .callSign = ToText(call),
      .receivedSerial = ToText(received),
      .locator = ToText(locator),
      .band = band.isEmpty() ? std::nullopt : std::optional(ToText(band)),
  }));
}

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// A folder in which no file can be created, renamed or replaced: immutable
// for the superuser, read-only for anyone else.
class FolderLock {
 public:
  explicit FolderLock(const QString& folder) : folder_(folder) {
    if (folder_.isEmpty()) return;
    // Read-only, the log in it too, since a writable log in a read-only
    // folder is written in place.
    if (QProcess::execute("chattr", {"+i", folder_}) != 0) {
      QFile::setPermissions(folder_ + "/cardel.txt", QFile::ReadOwner);
      QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
    }
    QFile probe(folder_ + "/probe");
    locked_ = !probe.open(QIODevice::WriteOnly);
  }
  ~FolderLock() {
    if (folder_.isEmpty()) return;
    QProcess::execute("chattr", {"-i", folder_});
    QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  bool locked() const { return locked_; }

 private:
  QString folder_;
  bool locked_ = false;
};

// A small disk of its own (a tmpfs of `size`, such as "64k") at `folder`,
// where the superuser may mount one; an empty folder mounts nothing.
class SmallDisk {
 public:
  SmallDisk(const QString& folder, const QString& size) : folder_(folder) {
    if (folder_.isEmpty()) return;
    mounted_ =
        QDir().mkpath(folder_) &&
        QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", folder_}) == 0;
  }
  ~SmallDisk() {
    if (mounted_) QProcess::execute("umount", {folder_});
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }

 private:
  QString folder_;
  bool mounted_ = false;
};
