// The locator of a known station, filled in as the call sign is left, with
// real key events.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "export_actions.h"
#include "main_window.h"
#include "station_dialog.h"
#include "window_fixture.h"

namespace {

QString Contact(const char* serial, const char* call, const char* locator) {
  return QStringLiteral("%1-+-%2---0918---%3---59---001---%4\r\n")
      .arg(serial, ShortDate(2026, 12, 7), call, locator);
}

}  // namespace

class WindowPrefillTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }

  void typeCall(const char* call) {
    form()->Text2->setFocus();
    form()->Text2->clear();
    QTest::keyClicks(form()->Text2, call);
    QTest::keyClick(form()->Text2, Qt::Key_Tab);
  }

 private slots:
  void init() {
    w = std::make_unique<WindowUnderTest>();
    WriteAll(w->dir.filePath(QStringLiteral("cardel.ini")),
             "[Stazione]\nNominativo=Q9XYZ\nLocatore=JN61FW\n");
    w->window = std::make_unique<cardel::Form15>(w->platform);
    w->showActive();
    w->setLog(Contact("001", "Q1ABC", "JN45AA") + Contact("002", "Q2XY", "JO22") +
              Contact("003", "q1abc", "JO22AB"));
  }
  void cleanup() { w.reset(); }

  // Tab, then the serial, then Tab: the prefill is all selected, and its
  // distance is shown from the moment it is filled in.
  void fillsTheLatestLocatorFromTheLog() {
    // A station worked before is new on another band.
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    form()->Combo1->setEditText(QStringLiteral("432 Mhz"));
    typeCall("Q1ABC");
    QCOMPARE(form()->Text4->text(), QStringLiteral("JO22AB"));
    QCOMPARE(form()->Label5->text(), QStringLiteral("1292 km 333\u00B0"));
    QVERIFY(form()->Text3->hasFocus());
    QTest::keyClicks(form()->Text3, "7");
    QTest::keyClick(form()->Text3, Qt::Key_Tab);
    QVERIFY(form()->Text4->hasFocus());
    QCOMPARE(form()->Text4->selectedText(), QStringLiteral("JO22AB"));
    QTest::keyClick(form()->Text4, Qt::Key_Return);
    QVERIFY(w->log().endsWith(QStringLiteral("---Q1ABC---59---7---JO22AB-->432 Mhz\r\n")));
  }

  void isReplacedByTyping() {
    typeCall("Q1ABC");
    QTest::keyClicks(form()->Text3, "7");
    QTest::keyClick(form()->Text3, Qt::Key_Tab);
    QTest::keyClicks(form()->Text4, "jn45ab");
    QCOMPARE(form()->Text4->text(), QStringLiteral("JN45AB"));
    typeCall("Q2XY");  // typed, so kept
    QCOMPARE(form()->Text4->text(), QStringLiteral("JN45AB"));
  }

  void followsACorrectedCallSign() {
    w->setLog(w->log() + Contact("004", "Q3ZZ", "IO91WM"));
    typeCall("Q1ABC");
    QCOMPARE(form()->Text4->text(), QStringLiteral("JO22AB"));
    typeCall("Q3ZZ");
    QCOMPARE(form()->Text4->text(), QStringLiteral("IO91WM"));
    typeCall("Q2XY");  // only a square in the log: nothing known
    QCOMPARE(form()->Text4->text(), QString());
    QCOMPARE(form()->Label5->text(), QString());
  }

  // One file of each layout in "storico"; the log in the window comes first.
  void fillsFromEveryHistoryFormat() {
    const QDir folder(w->dir.filePath(QStringLiteral("storico")));
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    WriteAll(folder.filePath("a.edi"),
             "[REG1TEST;1]\r\nTName=Prova\r\nPCall=Q9XYZ\r\n[QSORecords;1]\r\n"
             "261207;0918;Q5EDI;1;59;001;59;012;;JO33AB;1293;;N;;\r\n");
    WriteAll(folder.filePath("b.txt"),
             "!!Order!!,Call,Name,Loc1,Loc2\n# from the section's shared file\n"
             "Q5ORD,Mario,JN45XW,\nQ5SEM;Anna;zz;JN54AB\nQ1ABC,Ugo,IO91WM,\n");
    WriteAll(folder.filePath("c.txt"), "Q5PLN JO44CD 20261101\nQ5SCL;KN03AA\nnon letta\n");
    WriteAll(folder.filePath("d.txt"), Contact("001", "Q5LOG", "JN33AA").toLatin1());
    form()->loadHistory();
    QTRY_VERIFY(!form()->historyStatus().isEmpty());
    QCOMPARE(form()->historyStatus(),
             QStringLiteral("Storico: 7 nominativi da 4 file, 1 riga non letta"));
    const struct {
      const char* call;
      const char* locator;
    } known[] = {
        {"Q5EDI", "JO33AB"}, {"Q5ORD", "JN45XW"}, {"Q5SEM", "JN54AB"}, {"Q5PLN", "JO44CD"},
        {"Q5SCL", "KN03AA"}, {"Q5LOG", "JN33AA"}, {"Q1ABC", "JO22AB"},
    };
    for (const auto& k : known) {
      typeCall(k.call);
      QCOMPARE(form()->Text4->text(), QString::fromLatin1(k.locator));
    }
    QString told;  // in "Stazione", below its fields
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<cardel::StationDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      told = dialog->historyLabel->isVisibleTo(dialog) ? dialog->historyLabel->accessibleName()
                                                        : QString();
      dialog->reject();
    });
    form()->exportActions().stationAction->trigger();
    QCOMPARE(told, form()->historyStatus());
  }

  void asksForThreeCharactersAndNoHf() {
    w->setLog(w->log() + Contact("004", "Q1", "IO91WM"));
    typeCall("Q1");
    QCOMPARE(form()->Text4->text(), QString());
    QTest::mouseClick(form()->Check3, Qt::LeftButton);  // HF
    typeCall("Q1ABC");
    QCOMPARE(form()->Text4->text(), QString());
  }
};

QTEST_MAIN(WindowPrefillTest)
#include "window_prefill_test.moc"
