// Which paths name one file, as the system sees it: on this system's own
// rules, and on a system that folds letter case, through the same seam.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

#include "files.h"

using cardel::FileNaming;
using cardel::SystemNaming;

namespace {

void Touch(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("x");
}

// This system's identities, letter case folded as on Windows.
FileNaming FoldingNaming() {
  FileNaming naming = SystemNaming();
  naming.foldsCase = true;
  return naming;
}

#ifdef Q_OS_WIN
constexpr bool kSystemFolds = true;
#else
constexpr bool kSystemFolds = false;
#endif

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString at(const QString& name) const { return dir_.filePath(name); }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkdir("sub"));
    Touch(at("cardel.txt"));
    Touch(at("other.txt"));
  }

  void sameFile_data() {
    QTest::addColumn<QString>("target");  // relative to the folder
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("naming");  // "system" or "folding"
    QTest::addColumn<bool>("same");
    QTest::newRow("same path") << "cardel.txt"
                               << "cardel.txt"
                               << "system" << true;
    QTest::newRow("through a folder and back") << "sub/../cardel.txt"
                                               << "cardel.txt"
                                               << "system" << true;
    QTest::newRow("another file") << "other.txt"
                                  << "cardel.txt"
                                  << "system" << false;
    QTest::newRow("capitals, file there") << "CARDEL.TXT"
                                          << "cardel.txt"
                                          << "system" << kSystemFolds;
    QTest::newRow("capitals, folding, file there") << "CARDEL.TXT"
                                                   << "cardel.txt"
                                                   << "folding" << true;
    QTest::newRow("capitals, folding, neither there") << "CARDEL.INI"
                                                      << "cardel.ini"
                                                      << "folding" << true;
    QTest::newRow("capitals, neither there") << "CARDEL.INI"
                                             << "cardel.ini"
                                             << "system" << kSystemFolds;
    QTest::newRow("trailing dot, folding") << "cardel.ini."
                                           << "cardel.ini"
                                           << "folding" << true;
    QTest::newRow("capitals of the folder, folding") << "SUB/cardel.ini"
                                                     << "sub/cardel.ini"
                                                     << "folding" << true;
    QTest::newRow("same name, other folder") << "sub/cardel.ini"
                                             << "cardel.ini"
                                             << "folding" << false;
    QTest::newRow("neither there, other names") << "cardel.lock"
                                                << "cardel.ini"
                                                << "folding" << false;
  }

  void sameFile() {
    QFETCH(QString, target);
    QFETCH(QString, kept);
    QFETCH(QString, naming);
    QFETCH(bool, same);
    const FileNaming rules = naming == "folding" ? FoldingNaming() : SystemNaming();
    QCOMPARE(cardel::IsSameFile(at(target), at(kept), rules), same);
    QCOMPARE(cardel::IsSameFile(at(kept), at(target), rules), same);
  }

#ifndef Q_OS_WIN  // QFile::link makes a shortcut there, a file of its own
  void linksLeadToTheirFile_data() {
    QTest::addColumn<QString>("linkTo");
    QTest::addColumn<QString>("kept");
    QTest::newRow("to a file there") << "cardel.txt"
                                     << "cardel.txt";
    QTest::newRow("to a file not written yet") << "cardel-recupero.lock"
                                               << "cardel-recupero.lock";
    QTest::newRow("to a link to the file") << "link-to-log"
                                           << "cardel.txt";
  }

  void linksLeadToTheirFile() {
    QFETCH(QString, linkTo);
    QFETCH(QString, kept);
    QFile::link(at("cardel.txt"), at("link-to-log"));
    const QString link = at("link-" + linkTo);
    QVERIFY(QFile::link(at(linkTo), link));
    QVERIFY(cardel::IsSameFile(link, at(kept)));
    QVERIFY(!cardel::IsSameFile(link, at("other.txt")));
  }

  void aHardLinkIsTheSameFile() {
    QVERIFY(::link(QFile::encodeName(at("other.txt")).constData(),
                   QFile::encodeName(at("hard.txt")).constData()) == 0);
    QVERIFY(cardel::IsSameFile(at("hard.txt"), at("other.txt")));
  }
#endif
};

QTEST_MAIN(FilesTest)
#include "files_test.moc"
