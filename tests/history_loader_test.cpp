// The known locators of the folder "storico", read in the order of the
// files' names, and the loader that reads them off the window's thread.
#include "history_loader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using cardel::HistoryFigures;
using cardel::LoadedHistory;

namespace {

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

QString LocatorOf(const cardel::History& history, const char16_t* call) {
  const auto locator = history.locatorOf(call);
  return locator ? QString::fromUtf16(locator->data(), locator->size()) : QString();
}

}  // namespace

class HistoryLoaderTest : public QObject {
  Q_OBJECT

  QTemporaryDir program_;
  QString storico() const { return QDir(program_.path()).filePath("storico"); }

 private slots:
  void initTestCase() {
    QVERIFY(program_.isValid());
    QVERIFY(QDir(program_.path()).mkdir("storico"));
    QVERIFY(QDir(storico()).mkdir("sub"));
    // Undated, so the file read last decides: "a", "B", "c" whatever the case.
    Write(storico() + "/c.txt", "Q2DEF JO22AB\nnon una stazione\n");
    Write(storico() + "/B.csv", "!!Order!!,Call,Loc1\nQ1ABC,JN61FW\n");
    Write(storico() + "/a.edi",
          "[REG1TEST;1]\n[QSORecords;2]\n240706;1418;Q1ABC;1;59;1;59;1;;JO22AB;1\n"
          "240706;1419;Q3GHI;1;59;2;59;2;;JN45;1\n");
    Write(storico() + "/sub/d.txt", "Q9XYZ JN61FW\n");
    Write(storico() + "/.hidden.txt", "Q8XYZ JN61FW\n");
  }

  void readsEveryFileInNameOrder() {
    const LoadedHistory loaded = cardel::LoadHistory(program_.path());
    QCOMPARE(LocatorOf(*loaded.history, u"Q1ABC"), QStringLiteral("JN61FW"));
    QCOMPARE(LocatorOf(*loaded.history, u"Q2DEF"), QStringLiteral("JO22AB"));
    QCOMPARE(LocatorOf(*loaded.history, u"Q9XYZ"), QString());  // in a subfolder
    QCOMPARE(LocatorOf(*loaded.history, u"Q8XYZ"), QString());  // hidden
    QCOMPARE(loaded.figures.stations, std::size_t(2));
    QCOMPARE(loaded.figures.files, std::size_t(3));
    QCOMPARE(loaded.figures.unreadLines, std::size_t(2));
    QVERIFY(loaded.figures.unreadableFiles.isEmpty());
  }

  void readsNothingWithoutTheFolder() {
    QTemporaryDir bare;
    const LoadedHistory loaded = cardel::LoadHistory(bare.path());
    QVERIFY(loaded.history);
    QCOMPARE(loaded.history->stationCount(), std::size_t(0));
    QCOMPARE(loaded.figures.files, std::size_t(0));
    QCOMPARE(loaded.figures.unreadLines, std::size_t(0));
  }

  void loadsOnAThreadAndTellsTheWindowsThread() {
    cardel::HistoryLoader loader;
    QThread* received = nullptr;
    std::shared_ptr<const cardel::History> history;
    HistoryFigures figures;
    connect(&loader, &cardel::HistoryLoader::loaded, this,
            [&](std::shared_ptr<const cardel::History> h, const HistoryFigures& f) {
              received = QThread::currentThread();
              history = std::move(h);
              figures = f;
            });
    loader.start(program_.path());
    QTRY_VERIFY(history);
    QCOMPARE(received, QThread::currentThread());
    QCOMPARE(LocatorOf(*history, u"Q1ABC"), QStringLiteral("JN61FW"));
    QCOMPARE(figures.stations, std::size_t(2));
    QCOMPARE(figures.files, std::size_t(3));
  }

  void aLoaderDestroyedWhileLoadingSaysNothing() {
    bool said = false;
    {
      cardel::HistoryLoader loader;
      connect(&loader, &cardel::HistoryLoader::loaded, this, [&] { said = true; });
      loader.start(program_.path());
    }
    QTest::qWait(50);
    QVERIFY(!said);
  }
};

QTEST_GUILESS_MAIN(HistoryLoaderTest)
#include "history_loader_test.moc"
