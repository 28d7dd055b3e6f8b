// The real window in a process of its own, for the tests that kill it. It
// starts with the recovery question answered Yes, then plays random operator
// steps (contacts, typing, "Apri", edits of the log box) and writes each
// finished step with the log it left to a journal, unbuffered, so that a
// SIGKILL keeps every record already written.
//
//   recovery_driver FOLDER JOURNAL RUN DELAY_MS [DIE_AFTER]
//
// DIE_AFTER (contact, typing, open, edit) makes the process kill itself with
// SIGKILL right after the first step of that kind.

#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "log_box.h"
#include "main_window.h"
#include "platform.h"
#include "qt_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Ends the process at once, as a crash or a killed process ends: nothing is
// flushed or closed.
[[noreturn]] void DieNow() {
#ifdef _WIN32
  // The exit code QProcess::kill() gives, which QProcess reports as a crash.
  TerminateProcess(GetCurrentProcess(), 0xf291);
#else
  std::raise(SIGKILL);
#endif
  std::abort();
}

class Journal {
 public:
  explicit Journal(const QString& path) : file_(path) {
    file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    clock_.start();
  }
  // One write call per record, so a kill never leaves half of one.
  void record(const QString& kind, const QString& text) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kind << clock_.elapsed() << text;
    file_.write(bytes);
  }

 private:
  QFile file_;
  QElapsedTimer clock_;
};

class DriverPlatform : public cardel::Platform {
 public:
  DriverPlatform(QString folder, Journal& journal)
      : folder_(std::move(folder)), journal_(journal) {}
  QDateTime localNow() const override { return {QDate(2026, 12, 7), QTime(10, 18)}; }
  QString programFolder() const override { return folder_; }
  QMessageBox::StandardButton showMessage(QWidget*, const cardel::MessageRequest& r) override {
    journal_.record(r.buttons & QMessageBox::Yes ? "question" : "message", r.text);
    return r.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
  }

 private:
  QString folder_;
  Journal& journal_;
};

class Operator {
 public:
  Operator(cardel::Form15& window, Journal& journal, quint32 run, QString dieAfter)
      : w_(window), journal_(journal), random_(run), dieAfter_(std::move(dieAfter)) {}

  void next() {
    QTimer::singleShot(random_.bounded(15), [this] { step(); });
  }

 private:
  void step() {
    switch (random_.bounded(10)) {
      case 0: done("open", [this] { w_.Command2->click(); }); break;
      case 1:
      case 2: done("edit", [this] { edit(); }); break;
      case 3: typeSlowly(); return;
      case 4: settle(); return;
      default: contact(); break;
    }
    next();
  }

  void done(const QString& kind, const std::function<void()>& act) {
    act();
    journal_.record(kind, log());
    if (kind == dieAfter_) DieNow();
  }

  QString log() const { return cardel::ToQString(w_.Text1->logText()); }

  void contact() {
    const QString call =
        QStringLiteral("Q%1AB%2").arg(random_.bounded(10)).arg(QChar('A' + random_.bounded(26)));
    w_.Text2->clear();
    w_.Text3->clear();
    w_.Text4->clear();
    QTest::keyClicks(w_.Text2, call);
    QTest::keyClicks(w_.Text3, QString::number(random_.bounded(1, 999)));
    QTest::keyClicks(w_.Text4, QStringLiteral("JN45"));
    journal_.record("pressing", call);
    done("contact", [this] { QTest::keyClick(w_.Text4, Qt::Key_Return); });
  }

  // One key per turn of the event loop, as an operator types.
  void typeSlowly(int left = 6) {
    if (left == 0) return done("typing", [] {}), next();
    QTest::keyClick(w_.Text2, char('A' + random_.bounded(26)));
    if (left == 3 && dieAfter_ == "typing") DieNow();
    QTimer::singleShot(random_.bounded(5), [this, left] { typeSlowly(left - 1); });
  }

  void edit() {
    QTextCursor cursor = w_.Text1->textCursor();
    cursor.setPosition(random_.bounded(w_.Text1->document()->characterCount()));
    w_.Text1->setTextCursor(cursor);
    if (random_.bounded(3) == 0)
      QTest::keyClick(w_.Text1, Qt::Key_Backspace);
    else
      QTest::keyClicks(w_.Text1, QStringLiteral("x"));
  }

  // Waits until the file holds the window's log, so the test can insist on
  // it from here on.
  void settle() {
    if (!w_.recovery().isWritten()) {
      QTimer::singleShot(5, [this] { settle(); });
      return;
    }
    journal_.record("settled", log());
    next();
  }

  cardel::Form15& w_;
  Journal& journal_;
  QRandomGenerator random_;
  QString dieAfter_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 5) {
    std::fputs("usage: recovery_driver FOLDER JOURNAL RUN DELAY_MS [DIE_AFTER]\n", stderr);
    return 2;
  }
  Journal journal(args[2]);
  DriverPlatform platform(args[1], journal);
  cardel::Form15 window(platform);
  window.startRecovery(std::chrono::milliseconds(args[4].toInt()));
  journal.record("start", cardel::ToQString(window.Text1->logText()));
  window.show();
  Operator op(window, journal, args[3].toUInt(), args.value(5));
  op.next();
  std::puts("ready");
  std::fflush(stdout);
  return app.exec();
}
