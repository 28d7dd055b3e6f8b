// Kills the real window with SIGKILL at random moments, again and again in
// one folder, and checks after each kill that the recovery file holds a log
// the window really held, with every contact entered, and that the next
// start offers exactly that log back.

#include <QDataStream>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "codepage.h"
#include "qt_text.h"
#include "recovery_file.h"

namespace {

struct Record {
  QString kind;
  qint64 ms = 0;
  QString text;
};

QList<Record> ReadJournal(const QString& path) {
  QFile file(path);
  QList<Record> records;
  if (!file.open(QIODevice::ReadOnly)) return records;
  QDataStream in(&file);
  for (;;) {
    Record r;
    in >> r.kind >> r.ms >> r.text;
    if (in.status() != QDataStream::Ok) return records;
    records.append(r);
  }
}

QString ReadRecoveryFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return cardel::ToQString(cardel::DecodeWindows1252({bytes.constData(), size_t(bytes.size())}));
}

// What one run of the window did, as its journal tells it.
struct Run {
  QStringList logs;          // the log after each step, from the start on
  QList<bool> addedContact;  // per step
  int firstBinding = 0;      // the file surely matched the log at this step
  QString contactInFlight;   // the call of a contact being entered at the kill
  int contacts = 0;
  QString question;
  bool started = false;
};

Run ReadRun(const QList<Record>& journal, const QString& leftBehind) {
  Run run;
  run.logs.append(leftBehind);
  run.addedContact.append(false);
  for (const Record& r : journal) {
    if (r.kind == "question") run.question = r.text;
    if (r.kind == "pressing") run.contactInFlight = r.text;
    if (r.kind == "question" || r.kind == "pressing" || r.kind == "message") continue;
    const bool contact = r.kind == "contact" && r.text != run.logs.last();
    run.contacts += contact;
    run.logs.append(r.text);
    run.addedContact.append(contact);
    if (r.kind == "contact") run.contactInFlight.clear();
    if (r.kind == "start") run.started = true;
    if (r.kind == "start" || r.kind == "settled") run.firstBinding = int(run.logs.size()) - 1;
  }
  return run;
}

// One contact line, and nothing else, of the call being entered.
bool IsLineOf(const QString& call, QStringView rest) {
  return !call.isEmpty() && rest.endsWith(u"\r\n") && rest.indexOf(u"\r\n") == rest.size() - 2 &&
         rest.contains(QString("---" + call + "---"));
}

// The log of some step no older than the last one known written, with every
// contact entered after it (edits may still wait for their rewrite, contacts
// never do), and possibly the contact being entered when the process died.
bool FileIsALogTheWindowHeld(const Run& run, const QString& file) {
  for (int k = run.firstBinding; k < run.logs.size(); ++k) {
    QString expected = run.logs[k];
    for (int j = k + 1; j < run.logs.size(); ++j)
      if (run.addedContact[j]) expected += run.logs[j].mid(run.logs[j - 1].size());
    if (file == expected) return true;
    if (file.startsWith(expected) &&
        IsLineOf(run.contactInFlight, QStringView(file).mid(expected.size())))
      return true;
  }
  return false;
}

}  // namespace

class RecoveryKillTest : public QObject {
  Q_OBJECT

 private slots:
  void everyKillLeavesALogTheWindowHeld() {
    const int kills = qEnvironmentVariableIntValue("CARDEL_KILLS") > 0
                          ? qEnvironmentVariableIntValue("CARDEL_KILLS")
                          : 200;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
      QFile log(dir.filePath("cardel.txt"));
      QVERIFY(log.open(QIODevice::WriteOnly));
      log.write("001-+-7/12/2026---0818---Q1OLD---59---001---JN45\r\n");
    }
    const QString recoveryPath = dir.filePath("cardel-recupero.txt");
    const QString dieAfter[] = {"contact", "typing", "open", "edit"};
    QRandomGenerator random(15);
    QString leftBehind;
    int entered = 0;
    for (int i = 0; i < kills; ++i) {
      const QString journalPath = dir.filePath(QString("journal-%1").arg(i));
      // Half the runs die at a chosen moment, half when the test decides.
      const QString die = i % 2 == 0 ? dieAfter[(i / 2) % 4] : QString();
      QProcess driver;
      driver.start(RECOVERY_DRIVER, {dir.path(), journalPath, QString::number(i), "50", die});
      QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));
      if (die.isEmpty()) {
        QVERIFY(driver.waitForReadyRead(20000));
        QTest::qSleep(random.bounded(1, 300));
        driver.kill();  // SIGKILL; TerminateProcess on Windows
      }
      QVERIFY(driver.waitForFinished(20000));
      QCOMPARE(driver.exitStatus(), QProcess::CrashExit);

      const Run run = ReadRun(ReadJournal(journalPath), leftBehind);
      const QString file = ReadRecoveryFile(recoveryPath);
      QString where = QString("kill %1 (%2)").arg(i).arg(die.isEmpty() ? "at random" : die);
      if (!leftBehind.isEmpty() && run.started) {
        const qsizetype lines = qsizetype(cardel::CountLogLines(cardel::ToText(leftBehind)));
        QCOMPARE(run.question, cardel::ToQString(cardel::RecoveryQuestion(size_t(lines))));
        QVERIFY2(run.logs[1] == leftBehind, qPrintable(where + ": the log offered back"));
      }
      QVERIFY2(FileIsALogTheWindowHeld(run, file),
               qPrintable(where + ": the file holds\n" + file + "\nthe window held\n" +
                          run.logs.last()));
      entered += run.contacts;
      leftBehind = file;
    }
    qInfo("%d kills, %d contacts entered, %lld lines recovered at the end", kills, entered,
          qlonglong(cardel::CountLogLines(cardel::ToText(leftBehind))));
  }
};

QTEST_GUILESS_MAIN(RecoveryKillTest)
#include "recovery_kill_test.moc"
