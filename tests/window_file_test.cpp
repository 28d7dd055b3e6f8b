#ifdef __linux__
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "window_fixture.h"

namespace {

const QString kTwoContacts = QsoLineText("001", "0818", "Q1ABC", "012", "JN61FW") +
                             QsoLineText("002", "0819", "Q2ABC", "013", "JN61FX", "144 Mhz");

// A disk that fills up halfway through the save.
class FailingDiskPlatform : public FakePlatform {
 public:
  std::optional<QString> writeFile(const QString& path, const QByteArray& bytes) override {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    file.write(bytes.left(bytes.size() / 2));
    file.cancelWriting();
    return QStringLiteral("No space left on device");
  }
};

#ifdef __linux__
// Takes from this thread the superuser's power to write where the
// permissions forbid it, so that a read-only folder is read-only to the test
// as it is to an operator.
class WithoutPermissionOverride {
 public:
  WithoutPermissionOverride() {
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &=
        ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    active_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~WithoutPermissionOverride() {
    if (active_) syscall(SYS_capset, &header_, saved_);
  }
  WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
  WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
  bool active_ = false;
};

ino_t Inode(const QString& path) {
  struct stat info {};
  return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}
#endif

}  // namespace

class WindowFileTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }
  const cardel::MessageRequest& lastMessage() { return w->platform.shown.last(); }
  QString nativeLogPath() { return QDir::toNativeSeparators(w->logPath()); }

  void expectMessage(const QString& text, QMessageBox::Icon icon) {
    QCOMPARE(w->platform.shown.size(), 1);
    QCOMPARE(lastMessage().text, text);
    QCOMPARE(lastMessage().title, QStringLiteral("Ventor Cardel"));
    QCOMPARE(lastMessage().icon, icon);
    QCOMPARE(lastMessage().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

 private slots:
  void init() { w = std::make_unique<WindowUnderTest>(); }
  void cleanup() { w.reset(); }

  void saveWritesTheLogThenOneLineEnd_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("two contacts") << kTwoContacts << (kTwoContacts + "\r\n").toLatin1();
    QTest::newRow("no line end") << "edited" << QByteArray("edited\r\n");
    QTest::newRow("blank") << " " << QByteArray(" \r\n");
    QTest::newRow("accents and euro") << "\u00C0\u20AC\u0416\r\n"
                                      << QByteArray("\xC0\x80?\r\n\r\n");
  }

  void saveWritesTheLogThenOneLineEnd() {
    QFETCH(QString, log);
    QFETCH(QByteArray, bytes);
    w->setLog(log);
    form()->Frame1->setTitle("003");
    for (int i = 0; i < 2; ++i) QTest::mouseClick(form()->Command3, Qt::LeftButton);
    QCOMPARE(ReadAll(w->logPath()), bytes);  // twice leaves one copy
    QCOMPARE(w->platform.shown.size(), 2);
    QCOMPARE(lastMessage().text, "Log salvato in " + nativeLogPath());
    QCOMPARE(lastMessage().title, QStringLiteral("Ventor Cardel"));
    QCOMPARE(lastMessage().icon, QMessageBox::Information);
    QCOMPARE(w->log(), log);
    QCOMPARE(form()->Frame1->title(), QStringLiteral("003"));
  }

  void saveRefusesAnEmptyLog() {
    WriteAll(w->logPath(), "old\r\n\r\n");
    QTest::mouseClick(form()->Command3, Qt::LeftButton);
    expectMessage("Impossibile salvare un LOG vuoto", QMessageBox::Information);
    QCOMPARE(ReadAll(w->logPath()), QByteArray("old\r\n\r\n"));
  }

  void failedSaveKeepsEverything_data() {
    QTest::addColumn<QString>("why");
    QTest::newRow("folder named cardel.txt") << "folder";
    QTest::newRow("folder that cannot hold files") << "proc";
    QTest::newRow("disk full halfway") << "disk";
    QTest::newRow("file that cannot be replaced") << "locked";
  }

  void failedSaveKeepsEverything() {
    QFETCH(QString, why);
    FailingDiskPlatform failingDisk;
    FakePlatform& platform = why == "disk" ? failingDisk : w->platform;
    platform.folder = why == "proc" ? QStringLiteral("/proc/self") : w->dir.path();
    if (why == "folder") QVERIFY(QDir(w->dir.path()).mkdir("cardel.txt"));
    const bool keepsOldFile = why == "disk" || why == "locked";
    if (keepsOldFile) WriteAll(w->logPath(), "old log\r\n\r\n");
    FolderLock lock(why == "locked" ? w->dir.path() : QString());
    if (why == "locked" && !lock.locked()) QSKIP("no way to lock a folder here");
    cardel::Form15 window(platform);
    window.Text1->setLogText(cardel::ToText(kTwoContacts));
    window.Frame1->setTitle("003");

    QTest::mouseClick(window.Command3, Qt::LeftButton);
    QCOMPARE(platform.shown.size(), 1);
    const auto& box = platform.shown.first();
    const QString path = window.logFilePath();
    QVERIFY2(box.text.startsWith("Impossibile salvare il LOG in " + path + "\n"),
             qPrintable(box.text));
    QVERIFY(box.text.size() > ("Impossibile salvare il LOG in " + path + "\n").size());
    QCOMPARE(box.title, QStringLiteral("Ventor Cardel"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(cardel::ToQString(window.Text1->logText()), kTwoContacts);
    QCOMPARE(window.Frame1->title(), QStringLiteral("003"));
    if (keepsOldFile) QCOMPARE(ReadAll(w->logPath()), QByteArray("old log\r\n\r\n"));
    QCOMPARE(QDir(w->dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             keepsOldFile ? 1 : 0);
  }

  // Only when no file can be made beside the log is the log written in
  // place; a read-only log or a missing one is refused as before.
  void readOnlyFolderWritesTheLogInPlace_data() {
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<QString>(
        "log");  // the file before the save: "absent", "writable", "read-only"
    QTest::addColumn<bool>("saved");
    QTest::newRow("writable folder: replaced whole") << true << "writable" << true;
    QTest::newRow("read-only folder, writable log: written in place")
        << false << "writable" << true;
    QTest::newRow("read-only folder, read-only log") << false << "read-only" << false;
    QTest::newRow("read-only folder, no log") << false << "absent" << false;
  }

  void readOnlyFolderWritesTheLogInPlace() {
#ifndef __linux__
    QSKIP("a save in place is told by the file's inode, read on Linux");
#else
    QFETCH(bool, folderWritable);
    QFETCH(QString, log);
    QFETCH(bool, saved);
    // Longer than the new log, so a log written in place must be cut to it.
    const QByteArray old =
        "old log, longer than the two contacts that replace it........"
        "..............................................................."
        "..............................................................."
        "\r\n\r\n";
    if (log != "absent") WriteAll(w->logPath(), old);
    if (log == "read-only") QFile::setPermissions(w->logPath(), QFile::ReadOwner);
    const ino_t before = Inode(w->logPath());
    if (!folderWritable) QFile::setPermissions(w->dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    w->setLog(kTwoContacts);
    {
      WithoutPermissionOverride operatorRights;
      QFile probe(w->dir.filePath("probe"));
      if (!folderWritable && probe.open(QIODevice::WriteOnly)) QSKIP("no read-only folder here");
      QTest::mouseClick(form()->Command3, Qt::LeftButton);
    }
    QFile::setPermissions(w->dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(w->platform.shown.size(), 1);
    if (saved) {
      QCOMPARE(lastMessage().text, "Log salvato in " + nativeLogPath());
      QCOMPARE(ReadAll(w->logPath()), (kTwoContacts + "\r\n").toLatin1());
      QCOMPARE(Inode(w->logPath()) == before, !folderWritable);
    } else {
      QVERIFY2(lastMessage().text.startsWith("Impossibile salvare il LOG in " + nativeLogPath() +
                                             "\n" + QString::fromLocal8Bit(strerror(EACCES))),
               qPrintable(lastMessage().text));
      QCOMPARE(ReadAll(w->logPath()), log == "absent" ? QByteArray("<unreadable>") : old);
    }
    QCOMPARE(QDir(w->dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             log == "absent" ? 0 : 1);
#endif
  }

  // A disk that fills up during the save: the reason is the system's, and
  // the old log stays whole, whether the disk fills on the first write or
  // only when the last buffered bytes go out.
  void fullDiskSaysSoAndKeepsTheLog_data() {
    QTest::addColumn<int>("logSize");
    QTest::addColumn<int>("filler");  // bytes already taking the disk
    QTest::newRow("log larger than the disk") << 100 * 1024 << 0;
    QTest::newRow("last bytes do not fit") << 8 * 1024 << 56 * 1024;
  }

  void fullDiskSaysSoAndKeepsTheLog() {
    QFETCH(int, logSize);
    QFETCH(int, filler);
    const QString folder = w->dir.filePath("disk");
    SmallDisk disk(folder, "64k");
    if (!disk.mounted()) QSKIP("no small disk can be mounted here");
    const QByteArray old = "001-+-old\r\n\r\n";
    WriteAll(folder + "/cardel.txt", old);
    if (filler > 0) WriteAll(folder + "/filler", QByteArray(filler, 'f'));
    w->platform.folder = folder;
    cardel::Form15 window(w->platform);
    window.Text1->setLogText(cardel::ToText(QString(logSize, u'x')));

    QTest::mouseClick(window.Command3, Qt::LeftButton);
    QCOMPARE(w->platform.shown.size(), 1);
    QCOMPARE(w->platform.shown.first().text, "Impossibile salvare il LOG in " +
                                                 window.logFilePath() + "\n" +
                                                 QString::fromLocal8Bit(strerror(ENOSPC)));
    QCOMPARE(ReadAll(folder + "/cardel.txt"), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), filler > 0 ? 2 : 1);
  }

  void openWithoutLogFile_data() {
    QTest::addColumn<bool>("folder");
    QTest::newRow("absent") << false;
    QTest::newRow("folder named cardel.txt") << true;
  }

  void openWithoutLogFile() {
    QFETCH(bool, folder);
    if (folder) QVERIFY(QDir(w->dir.path()).mkdir("cardel.txt"));
    w->setLog("kept\r\n");
    form()->Frame1->setTitle("005");
    QTest::mouseClick(form()->Command2, Qt::LeftButton);
    expectMessage("Nessun LOG trovato!.", QMessageBox::Warning);
    QCOMPARE(w->log(), QStringLiteral("kept\r\n"));
    QCOMPARE(form()->Frame1->title(), QStringLiteral("005"));
  }

  void openUnreadableFile() {
#ifndef __linux__
    QSKIP("the file that no one can read is Linux's /proc/self/mem");
#endif
    // Reading this file fails even for the superuser.
    QVERIFY(QFile::link("/proc/self/mem", w->logPath()));
    w->setLog("kept\r\n");
    QTest::mouseClick(form()->Command2, Qt::LeftButton);
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY(
        lastMessage().text.startsWith("Impossibile leggere il LOG da " + nativeLogPath() + "\n"));
    QCOMPARE(lastMessage().title, QStringLiteral("Ventor Cardel"));
    QCOMPARE(lastMessage().icon, QMessageBox::Warning);
    QCOMPARE(w->log(), QStringLiteral("kept\r\n"));
  }

  void openAppendsAndContinuesTheSerial_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("caption");
    const QString three = QsoLineText("001", "0818", "A", "1", "J") +
                          QsoLineText("002", "0818", "B", "1", "J") +
                          QsoLineText("003", "0818", "C", "1", "J");
    const QByteArray saved = (three + "\r\n").toLatin1();
    QTest::newRow("into empty") << "" << saved << three << "004";
    QTest::newRow("after two") << three.left(three.indexOf("003-+-")) << saved
                               << three.left(three.indexOf("003-+-")) + three << "004";
    QTest::newRow("last 999") << "" << QByteArray("x\r\n999-+-y\r\n\r\n") << "x\r\n999-+-y\r\n"
                              << "999";
    QTest::newRow("last 099") << "" << QByteArray("x\r\n099-+-y\r\n\r\n") << "x\r\n099-+-y\r\n"
                              << "100";
    QTest::newRow("one contact") << "" << QByteArray("041-+-y\r\n\r\n") << "041-+-y\r\n"
                                 << "042";
    QTest::newRow("negative") << "" << QByteArray("x\r\n -4-+-y") << "x\r\n -4-+-y\r\n"
                              << "007";
    QTest::newRow("empty file") << "a\r\n\r\n"
                                << QByteArray() << "a\r\n"
                                << "007";
    QTest::newRow("line feeds only") << "" << QByteArray("A\nB\n") << "A\nB\n\r\n"
                                     << "007";
  }

  void openAppendsAndContinuesTheSerial() {
    QFETCH(QString, box);
    QFETCH(QByteArray, file);
    QFETCH(QString, log);
    QFETCH(QString, caption);
    WriteAll(w->logPath(), file);
    w->setLog(box);
    form()->Frame1->setTitle("007");
    QTest::keyClicks(form()->Text2, "qq0abc");
    QTest::mouseClick(form()->Command2, Qt::LeftButton);
    QVERIFY(w->platform.shown.isEmpty());
    QCOMPARE(w->log(), log);
    QCOMPARE(form()->Frame1->title(), caption);
    QCOMPARE(form()->Text1->textCursor().position(),
             form()->Text1->document()->characterCount() - 1);
    QCOMPARE(form()->Text2->text(), QStringLiteral("QQ0ABC"));  // left alone
    QCOMPARE(ReadAll(w->logPath()), file);
  }

  void contestAcrossTwoRuns() {
    w->enterContact("Q1ABC", "012", "JN61FW");
    w->enterContact("Q2ABC", "013", "JN61FX");
    QTest::mouseClick(form()->Command3, Qt::LeftButton);
    const QByteArray saved = ReadAll(w->logPath());

    // The next run opens the log, goes on, and finds the duplicates.
    cardel::Form15 next(w->platform);
    QTest::mouseClick(next.Command2, Qt::LeftButton);
    QCOMPARE(next.Frame1->title(), QStringLiteral("003"));
    QTest::keyClicks(next.Text2, "q2abc");
    QCOMPARE(next.callMark(), cardel::CallMark::Duplicate);
    next.Text2->clear();
    QTest::keyClicks(next.Text2, "Q3ABC");
    QTest::keyClicks(next.Text3, "014");
    QTest::keyClicks(next.Text4, "JN62");
    QTest::keyClick(next.Text4, Qt::Key_Return);
    QCOMPARE(next.Frame1->title(), QStringLiteral("004"));

    // Saving an opened, untouched log gives back the same bytes.
    cardel::Form15 third(w->platform);
    QTest::mouseClick(third.Command2, Qt::LeftButton);
    QTest::mouseClick(third.Command3, Qt::LeftButton);
    QCOMPARE(ReadAll(w->logPath()), saved);
  }

  void hostileBytesSaveBackUnchanged() {
    QByteArray file = "001-+-\x81\x8d\x8f\x90\x9d\x80 lone\nfeed\r\n";
    file.append('\0');
    file.append("\x01\xff\r\n\r\n");
    WriteAll(w->logPath(), file);
    QTest::mouseClick(form()->Command2, Qt::LeftButton);
    QTest::mouseClick(form()->Command3, Qt::LeftButton);
    QCOMPARE(ReadAll(w->logPath()), file);
  }

  void closeAsksFirst_data() {
    QTest::addColumn<bool>("fromEsci");
    QTest::addColumn<int>("answer");
    QTest::newRow("Esci, No") << true << int(QMessageBox::No);
    QTest::newRow("Esci, Yes") << true << int(QMessageBox::Yes);
    QTest::newRow("title bar, No") << false << int(QMessageBox::No);
    QTest::newRow("title bar, Yes") << false << int(QMessageBox::Yes);
  }

  void closeAsksFirst() {
    QFETCH(bool, fromEsci);
    QFETCH(int, answer);
    w->showActive();
    w->setLog(kTwoContacts);
    form()->Frame1->setTitle("003");
    QTest::keyClicks(form()->Text2, "q9zz");
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    w->platform.answers.push_back(QMessageBox::StandardButton(answer));

    if (fromEsci) {
      QTest::mouseClick(form()->Command4, Qt::LeftButton);
    } else {
      QCloseEvent event;
      QApplication::sendEvent(form(), &event);
      if (event.isAccepted()) form()->hide();
    }

    QCOMPARE(w->platform.shown.size(), 1);
    const auto& box = w->platform.shown.first();
    QCOMPARE(box.text, QStringLiteral("Uscire dal programma?"));
    QCOMPARE(box.title, QStringLiteral("Cardel_eng"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.defaultButton, QMessageBox::Yes);
    QCOMPARE(box.escapeButton, QMessageBox::No);
    QCOMPARE(form()->isVisible(), answer == QMessageBox::No);
    QCOMPARE(w->log(), kTwoContacts);
    QCOMPARE(form()->Frame1->title(), QStringLiteral("003"));
    QCOMPARE(form()->Text2->text(), QStringLiteral("Q9ZZ"));
    QVERIFY(form()->Check2->isChecked());
    QVERIFY(!QFile::exists(w->logPath()));  // nothing saved on the way out
  }

  void realConfirmationBox_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::newRow("Enter is Yes") << int(Qt::Key_Return) << int(QMessageBox::Yes);
    QTest::newRow("Escape is No") << int(Qt::Key_Escape) << int(QMessageBox::No);
  }

  void realConfirmationBox() {
    QFETCH(int, key);
    QFETCH(int, answer);
    cardel::Platform desktop;
    QString title;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      QVERIFY(box);
      title = box->windowTitle();
      QTest::keyClick(box, Qt::Key(key));
    });
    const auto pressed =
        desktop.showMessage(nullptr, {.text = "Uscire dal programma?",
                                      .title = "Cardel_eng",
                                      .buttons = QMessageBox::Yes | QMessageBox::No,
                                      .defaultButton = QMessageBox::Yes,
                                      .escapeButton = QMessageBox::No});
    QCOMPARE(int(pressed), answer);
    QCOMPARE(title, QStringLiteral("Cardel_eng"));
  }
};

QTEST_MAIN(WindowFileTest)
#include "window_file_test.moc"
