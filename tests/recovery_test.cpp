#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <atomic>

#include "recovery_file.h"
#include "window_fixture.h"

namespace {

const QString kTitle = QStringLiteral("Cardel_eng");
const QString kTwoContacts = QsoLineText("001", "0818", "Q1ABC", "012", "JN61FW") +
                             QsoLineText("002", "0819", "Q2ABC", "013", "JN61FX");
QByteArray Cp1252(const QString& log) {
  return QByteArray::fromStdString(cardel::RecoveryBytes(cardel::ToText(log)));
}

const QString kKeptName = QStringLiteral("cardel-recupero-2026-12-07_10-18-00.txt");

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }
  QString recoveryPath() const { return w->dir.filePath("cardel-recupero.txt"); }
  QString lockPath() const { return w->dir.filePath("cardel-recupero.lock"); }
  QString question(int lines) const {
    return cardel::ToQString(cardel::RecoveryQuestion(std::size_t(lines)));
  }
  QByteArray recoveryBytes() const { return ReadAll(recoveryPath()); }
  void waitUntilWritten() { QTRY_VERIFY(form()->recovery().isWritten()); }
  QStringList filesInFolder() const { return QDir(w->dir.path()).entryList(QDir::Files); }

  // A new window in the same folder, started as the program starts it.
  void restart(std::deque<QMessageBox::StandardButton> answers = {}) {
    w->window.reset();
    w->platform.shown.clear();
    w->platform.answers = std::move(answers);
    w->window = std::make_unique<cardel::Form15>(w->platform);
    form()->startRecovery(std::chrono::milliseconds(20));
  }

 private slots:
  void init() {
    w = std::make_unique<WindowUnderTest>();
    form()->startRecovery(std::chrono::milliseconds(20));
  }
  void cleanup() { w.reset(); }

  // Every way the log changes reaches the file: contacts before OK returns,
  // anything else within the rewrite delay.
  void fileFollowsTheLog_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("contacts") << "contacts";
    QTest::newRow("open") << "open";
    QTest::newRow("typing in the log box") << "typing";
    QTest::newRow("deleting in the log box") << "deleting";
    QTest::newRow("contact right after an edit") << "edit then contact";
    QTest::newRow("log copied in several slices") << "long log";
  }

  void fileFollowsTheLog() {
    QFETCH(QString, change);
    QCOMPARE(recoveryBytes(), QByteArray());
    WriteAll(w->logPath(), "005-+-old\r\n");
    if (change == "contacts") {
      w->enterContact("Q1ABC", "12", "JN61FW");
      QCOMPARE(recoveryBytes(), Cp1252(w->log()));  // no wait: it is on disk already
      w->enterContact("Q2ABC", "13", "JN61FX");
      QCOMPARE(recoveryBytes(), Cp1252(w->log()));
    } else if (change == "long log") {
      const qsizetype length = qsizetype(cardel::kRecoveryCopySlice) * 2 + 123;
      w->setLog(QString(length, 'a') + "\r\n" + kTwoContacts);
      w->enterContact("Q3ABC", "14", "JN61FX");
    } else if (change == "open") {
      QTest::mouseClick(form()->Command2, Qt::LeftButton);
    } else {
      w->setLog(kTwoContacts);
      waitUntilWritten();
      form()->Text1->moveCursor(QTextCursor::Start);
      if (change == "deleting")
        QTest::keyClick(form()->Text1, Qt::Key_Delete);
      else
        QTest::keyClicks(form()->Text1, "\u00C0x");
      if (change == "edit then contact") w->enterContact("Q3ABC", "14", "JN61FX");
    }
    waitUntilWritten();
    QCOMPARE(recoveryBytes(), QByteArray(Cp1252(w->log())));
    QVERIFY(w->platform.shown.isEmpty() || change == "open");
  }

  // Contacts that reach the old file while the new one is being written are
  // in the new one too, and so is the newest of several logs handed over.
  void writerKeepsContactsMadeDuringARewrite_data() {
    QTest::addColumn<int>("logs");
    QTest::newRow("one rewrite") << 1;
    QTest::newRow("a newer log supersedes") << 3;
  }

  void writerKeepsContactsMadeDuringARewrite() {
    QFETCH(int, logs);
    std::atomic<bool> failed = false;
    cardel::RecoveryWriter writer(w->platform, recoveryPath() + ".w",
                                  [&failed](QString) { failed = true; });
    QVERIFY(!writer.open(false));
    cardel::Text log;
    for (int i = 0; i < logs; ++i) {
      // Encoding a log this long outlasts the appends that follow.
      log = cardel::Text(4'000'000, char16_t(u'a' + i)) + u"\r\n";
      writer.replace(log);
      for (int c = 0; c < 3; ++c) {
        const cardel::Text line = u"00" + cardel::ZeroPadded(c, 1) + u"-+-contact\r\n";
        QVERIFY(!writer.append(QByteArray::fromStdString(cardel::RecoveryBytes(line))));
        log += line;
      }
    }
    QTRY_VERIFY(writer.idle());
    writer.stop();
    QVERIFY(!failed);
    QVERIFY(ReadAll(recoveryPath() + ".w") ==
            QByteArray::fromStdString(cardel::RecoveryBytes(log)));
  }

  void normalExitRemovesTheFile_data() {
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("kept");
    QTest::newRow("exit confirmed") << QMessageBox::Yes << false;
    QTest::newRow("exit cancelled") << QMessageBox::No << true;
  }

  void normalExitRemovesTheFile() {
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, kept);
    w->enterContact("Q1ABC", "12", "JN61FW");
    w->platform.answers = {answer};
    form()->close();
    QCOMPARE(QFileInfo::exists(recoveryPath()), kept);
    QCOMPARE(filesInFolder().contains("cardel-recupero.lock"), kept);
  }

  // The start after a run that did not end normally.
  void startOffersTheLogLeftBehind_data() {
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("lines");
    QTest::newRow("yes") << kTwoContacts.toLatin1() << QMessageBox::Yes << kTwoContacts << "003"
                         << 2;
    QTest::newRow("yes, code page and a last line without end")
        << QByteArray("\xC0\x80 note\r\n007-+-x\r\nabc") << QMessageBox::Yes
        << "\u00C0\u20AC note\r\n007-+-x\r\nabc"
        << "008" << 3;
    QTest::newRow("no") << kTwoContacts.toLatin1() << QMessageBox::No << ""
                        << "001" << 2;
  }

  void startOffersTheLogLeftBehind() {
    QFETCH(QByteArray, left);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, log);
    QFETCH(QString, serial);
    QFETCH(int, lines);
    w->window.reset();  // as if killed: the file stays
    WriteAll(recoveryPath(), left);
    restart({answer});
    const auto& question = w->platform.shown.first();
    QCOMPARE(question.text, QString("L'ultima sessione non \u00E8 stata chiusa correttamente. "
                                    "Recuperare il log (%1 righe)?")
                                .arg(lines));
    QCOMPARE(question.title, kTitle);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(w->log(), log);
    QCOMPARE(form()->Frame1->title(), serial);
    QCOMPARE(form()->Text2->text(), QString());
    QCOMPARE(recoveryBytes(), answer == QMessageBox::Yes ? left : QByteArray());
    if (answer == QMessageBox::Yes) {
      QCOMPARE(w->platform.shown.size(), 1);
      w->enterContact("Q3ABC", "1", "JN61FW");  // continues the recovered file
      QVERIFY(recoveryBytes().startsWith(left));
      QCOMPARE(recoveryBytes(), Cp1252(w->log()));
    } else {
      const QString kept = QDir::toNativeSeparators(w->dir.filePath(kKeptName));
      QCOMPARE(w->platform.shown.size(), 2);
      QCOMPARE(w->platform.shown[1].text,
               "Il log non recuperato \u00E8 stato conservato in " + kept);
      QCOMPARE(ReadAll(kept), left);
    }
  }

  // A name already taken is never overwritten: what was kept stays kept.
  void keptFilesNeverOverwriteEachOther() {
    w->window.reset();
    for (int run = 1; run <= 3; ++run) {
      WriteAll(recoveryPath(), QByteArray::number(run) + "\r\n");
      restart({QMessageBox::No});
      w->window.reset();
    }
    QCOMPARE(ReadAll(w->dir.filePath(kKeptName)), QByteArray("1\r\n"));
    QCOMPARE(ReadAll(w->dir.filePath("cardel-recupero-2026-12-07_10-18-00-2.txt")), "2\r\n");
    QCOMPARE(ReadAll(w->dir.filePath("cardel-recupero-2026-12-07_10-18-00-3.txt")), "3\r\n");
  }

  void secondWindowInTheFolderRunsWithoutRecovery() {
    w->enterContact("Q1ABC", "12", "JN61FW");
    FakePlatform platform;
    platform.folder = w->dir.path();
    cardel::Form15 second(platform);
    second.startRecovery(std::chrono::milliseconds(20));
    QCOMPARE(platform.shown.size(), 1);
    QVERIFY(platform.shown[0].text.startsWith("Cardel \u00E8 gi\u00E0 aperto in questa cartella"));
    QCOMPARE(platform.shown[0].title, kTitle);
    second.Text1->setLogText(u"other\r\n");
    QTest::keyClicks(second.Text2, "Q9XYZ");
    QTest::keyClicks(second.Text3, "1");
    QTest::keyClicks(second.Text4, "JN61");
    QTest::keyClick(second.Text4, Qt::Key_Return);
    QTest::qWait(100);
    QCOMPARE(platform.shown.size(), 1);
    QCOMPARE(recoveryBytes(), Cp1252(w->log()));  // the first window's log only
  }

  // A recovery file that cannot be written: one message, then the window
  // works as it always did and keeps every contact.
  void failedWriteLosesNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("contacts");
    QTest::newRow("read-only folder") << "read-only" << 3;
    QTest::newRow("disk fills with contacts") << "full by contacts" << 400;
    QTest::newRow("disk fills with a rewrite") << "full by rewrite" << 3;
  }

  void failedWriteLosesNothing() {
    QFETCH(QString, how);
    QFETCH(int, contacts);
    w->window.reset();
    QFile::remove(recoveryPath());
    FolderLock lock(how == "read-only" ? w->dir.path() : QString());
    SmallDisk disk(how == "read-only" ? QString() : w->dir.path(), "16k");
    const auto closeFirst = qScopeGuard([this] { w->window.reset(); });
    if (how == "read-only" && !lock.locked()) QSKIP("no way to lock a folder here");
    if (how != "read-only" && !disk.mounted()) QSKIP("mounting a tmpfs needs the superuser");
    restart();
    if (how == "full by rewrite") {
      w->setLog(QString(20000, 'x') + "\r\n");
      QTRY_COMPARE(w->platform.shown.size(), 1);
    }
    QString expected = w->log();
    for (int i = 0; i < contacts; ++i) {
      w->enterContact(QString("Q%1X").arg(i), QString::number(i + 1), "JN61FW");
      expected += QsoLineText(QString("%1").arg(i + 1, 3, 10, QChar('0')), "0818",
                              QString("Q%1X").arg(i), QString::number(i + 1), "JN61FW");
    }
    QTest::qWait(100);
    QCOMPARE(w->platform.shown.size(), 1);
    const auto& box = w->platform.shown.first();
    // A read-only folder holds no lock either.
    QVERIFY2(box.text.startsWith(how == "read-only" ? "Impossibile creare il blocco "
                                                    : "Impossibile scrivere il file di recupero "),
             qPrintable(box.text));
    QVERIFY(box.text.contains("I contatti non sono protetti"));
    if (how != "read-only")
      QVERIFY2(box.text.contains("No space left on device"), qPrintable(box.text));
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(w->log(), expected);
  }

  // A line end deleted or a note typed at the end of the log: the next
  // contact, from OK or from "Apri", still starts a line of its own, and the
  // verdict sees it.
  void addedLineStartsALineOfItsOwn_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("open");
    QTest::newRow("Backspace, then OK") << "backspace" << false;
    QTest::newRow("a note without Enter, then OK") << "note" << false;
    QTest::newRow("Backspace, then Apri") << "backspace" << true;
    QTest::newRow("a note without Enter, then Apri") << "note" << true;
  }

  void addedLineStartsALineOfItsOwn() {
    QFETCH(QString, edit);
    QFETCH(bool, open);
    w->enterContact("Q1ABC", "012", "JN61AA");
    form()->Text1->moveCursor(QTextCursor::End);
    if (edit == "backspace")
      QTest::keyClick(form()->Text1, Qt::Key_Backspace);
    else
      QTest::keyClicks(form()->Text1, "nota");
    const QString before = w->log();
    QVERIFY(!before.endsWith("\r\n"));
    const QString line = QsoLineText("002", "0818", "Q2XYZ", "013", "JN61FX");
    if (open) {
      WriteAll(w->logPath(), line.toLatin1());
      QTest::mouseClick(form()->Command2, Qt::LeftButton);
    } else {
      w->enterContact("Q2XYZ", "013", "JN61FX");
    }
    QCOMPARE(w->log(), before + "\r\n" + line);
    QTest::keyClicks(form()->Text2, "Q2XYZ");
    QCOMPARE(form()->callMark(), cardel::CallMark::Duplicate);
    waitUntilWritten();
    QCOMPARE(recoveryBytes(), Cp1252(w->log()));
  }

  // What a crash leaves of a lock never passes for a window still open,
  // whatever the file says and wherever the crash happened.
  void leftoverLockNeverHidesTheLog_data() {
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("another computer") << QByteArray("4242\ncardel\nother-pc\n");
    QTest::newRow("garbage") << QByteArray("\xFF\xFEnot a lock\r\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a PID now reused")
        << QByteArray::number(QCoreApplication::applicationPid()) + "\ncardel\n" + host + "\n";
    QTest::newRow("PID 1, as in a sandbox") << "1\ncardel\n" + host + "\n";
  }

  void leftoverLockNeverHidesTheLog() {
    QFETCH(QByteArray, lock);
    w->window.reset();  // as if killed
    WriteAll(recoveryPath(), kTwoContacts.toLatin1());
    WriteAll(lockPath(), lock);
    restart({QMessageBox::Yes});
    QCOMPARE(w->platform.shown.size(), 1);
    QCOMPARE(w->platform.shown[0].text, question(2));
    QCOMPARE(w->log(), kTwoContacts);
    w->enterContact("Q3ABC", "014", "JN61FX");
    QCOMPARE(recoveryBytes(), Cp1252(w->log()));
  }

  // No lock at start: the file left behind is still offered, and what
  // cannot be protected is said once.
  void fileOfferedWithoutALock_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("no room for a lock, Yes") << "full" << QMessageBox::Yes;
    QTest::newRow("no room for a lock, No") << "full" << QMessageBox::No;
    QTest::newRow("read-only folder, Yes") << "read-only" << QMessageBox::Yes;
  }

  void fileOfferedWithoutALock() {
    QFETCH(QString, how);
    QFETCH(QMessageBox::StandardButton, answer);
    w->window.reset();
    WriteAll(recoveryPath(), kTwoContacts.toLatin1());
    if (how == "full") w->platform.lockFailure = "No space left on device";
    FolderLock lock(how == "read-only" ? w->dir.path() : QString());
    const auto closeFirst = qScopeGuard([this] { w->window.reset(); });
    if (how == "read-only" && !lock.locked()) QSKIP("no way to lock a folder here");
    restart({answer});
    QCOMPARE(w->platform.shown.first().text, question(2));
    QCOMPARE(w->log(), answer == QMessageBox::Yes ? kTwoContacts : QString());
    const auto& told = w->platform.shown.last();
    QVERIFY2(told.text.startsWith("Impossibile creare il blocco del file di recupero "),
             qPrintable(told.text));
    QVERIFY(told.text.contains("I contatti non sono protetti"));
    if (how == "full") QVERIFY(told.text.contains("No space left on device"));
    const qsizetype messages = w->platform.shown.size();
    w->enterContact("Q3ABC", "014", "JN61FX");
    QCOMPARE(w->platform.shown.size(), messages);
    if (answer == QMessageBox::Yes)
      QCOMPARE(recoveryBytes(), kTwoContacts.toLatin1());  // left as it was
    else
      QVERIFY(ReadAll(w->dir.filePath(kKeptName)) == kTwoContacts.toLatin1());
  }

  // A disk that fills during OK: the contact stays in the window, the file
  // keeps whole lines only, and the operator is told once.
  void tornAppendIsCutBack_data() {
    QTest::addColumn<int>("fullAt");
    QTest::newRow("first contact") << 1;
    QTest::newRow("third contact") << 3;
  }

  void tornAppendIsCutBack() {
    QFETCH(int, fullAt);
    w->window.reset();
    w->platform.fullAtWrite = fullAt;
    restart();
    QString whole;
    for (int i = 1; i <= 4; ++i) {
      if (i == fullAt) whole = w->log();
      w->enterContact(QString("Q%1X").arg(i), QString::number(i), "JN61FW");
    }
    QCOMPARE(cardel::CountLogLines(cardel::ToText(w->log())), std::size_t(4));
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY(w->platform.shown[0].text.contains("No space left on device"));
    QCOMPARE(recoveryBytes(), Cp1252(whole));
  }

  // Deleted or replaced behind the program's back: the next contact writes
  // the whole log anew, or the operator is told once that it cannot.
  void fileReplacedWhileRunning_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("deleted") << "deleted";
    QTest::newRow("replaced by another file") << "file";
    QTest::newRow("replaced by a folder") << "folder";
  }

  void fileReplacedWhileRunning() {
    QFETCH(QString, how);
    w->enterContact("Q1ABC", "012", "JN61FW");
    if (!QFile::remove(recoveryPath())) QSKIP("this system deletes no file that is open");
    if (how == "file") WriteAll(recoveryPath(), "other\r\n");
    if (how == "folder") QVERIFY(QDir(w->dir.path()).mkdir("cardel-recupero.txt"));
    w->enterContact("Q2ABC", "013", "JN61FX");
    if (how == "folder") {
      QTRY_COMPARE(w->platform.shown.size(), 1);
      QVERIFY(w->platform.shown[0].text.startsWith("Impossibile scrivere il file di recupero "));
      w->enterContact("Q3ABC", "014", "JN61FX");
      QCOMPARE(w->platform.shown.size(), 1);
      return;
    }
    waitUntilWritten();
    QCOMPARE(recoveryBytes(), Cp1252(w->log()));
    QVERIFY(w->platform.shown.isEmpty());
  }

  void exitThatCannotRemoveTheFileSaysSo() {
    w->enterContact("Q1ABC", "012", "JN61FW");
    w->platform.removeFailure = "Read-only file system";
    w->platform.answers = {QMessageBox::Yes};
    form()->close();
    QCOMPARE(w->platform.shown.size(), 2);
    QVERIFY(w->platform.shown[1].text.startsWith("Impossibile eliminare il file di recupero "));
    QVERIFY(w->platform.shown[1].text.contains("Read-only file system"));
  }

  void folderWithTheFileNameIsLeftAlone() {
    w->window.reset();
    QFile::remove(recoveryPath());
    QVERIFY(QDir(w->dir.path()).mkpath("cardel-recupero.txt/inside"));
    restart();
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY(w->platform.shown[0].text.startsWith(QDir::toNativeSeparators(recoveryPath()) +
                                                 " non \u00E8 un file"));
    w->enterContact("Q1ABC", "012", "JN61FW");
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY(QFileInfo(recoveryPath() + "/inside").isDir());
    QCOMPARE(filesInFolder(), QStringList());
  }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
