// "Punteggio": the running score beside the window, with real key events.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include "main_window.h"
#include "score_window.h"
#include "window_fixture.h"

namespace {

// The clock of FakePlatform reads 10:18 local, 08:18 UTC with "gmt+1" off.
QString Contact(const char* serial, const char* time, const char* call, const char* locator,
                const char* band = nullptr) {
  QString line = QStringLiteral("%1-+-%2---%3---%4---59---001---%5")
                     .arg(serial, ShortDate(2026, 12, 7), time, call, locator);
  if (band) line += QStringLiteral("-->") + band;
  return line + QStringLiteral("\r\n");
}

}  // namespace

class WindowScoreTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }

  QStringList shown() {
    QStringList texts;
    for (const QLabel* label : form()->scoreWindow().lines()) {
      if (label->accessibleName() != label->text()) qWarning("a line's name is not its text");
      texts.append(label->text());
    }
    return texts;
  }

  void makeWindow(const char* settings) {
    w = std::make_unique<WindowUnderTest>();
    WriteAll(w->dir.filePath(QStringLiteral("cardel.ini")), settings);
    w->window = std::make_unique<cardel::Form15>(w->platform);
    w->showActive();
  }

  void pressScoreKeys(QWidget* where) {
    QTest::keyClick(where, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  }

 private slots:
  void cleanup() { w.reset(); }

  void opensAndClosesWithItsKeys() {
    makeWindow("");
    QVERIFY(!form()->scoreWindow().isVisible());
    pressScoreKeys(form()->Text2);
    QVERIFY(form()->scoreWindow().isVisible());
    QVERIFY(form()->Text2->hasFocus());  // the log keeps the keyboard
    QCOMPARE(form()->scoreAction->text(), QStringLiteral("Punteggio..."));
    form()->scoreAction->trigger();
    QVERIFY(!form()->scoreWindow().isVisible());
  }

  void followsContactsDuplicatesBandsAndEdits() {
    makeWindow("[Stazione]\nNominativo=Q9XYZ\nLocatore=JN61FW\n");
    pressScoreKeys(form()->Text2);
    QCOMPARE(shown(), QStringList({"Collegamenti: 0", "Punti: 0", "Quadrati: 0", "ODX: nessuno",
                                   "Ultima ora: 0", "Ultimi 10 minuti: 0",
                                   "Punteggio dichiarato: 0"}));

    w->enterContact("Q1ABC", "12", "JO22AB");
    w->enterContact("Q2XY", "7", "JN61FW");
    w->enterContact("q1abc", "15", "JO22AB");  // refused: a duplicate
    QCOMPARE(shown(), QStringList({"Collegamenti: 2", "Punti: 1294", "Quadrati: 2",
                                   "ODX: Q1ABC JO22AB 1292 km", "Ultima ora: 2",
                                   "Ultimi 10 minuti: 2", "Punteggio dichiarato: 1294"}));

    // A second band: lines without band count on the export's band, 144 Mhz.
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    form()->Combo1->setEditText(QStringLiteral("432 Mhz"));
    for (QLineEdit* box : {form()->Text2, form()->Text3, form()->Text4}) box->clear();
    w->enterContact("Q1ABC", "16", "JO22AB");
    QCOMPARE(shown().mid(0, 4), QStringList({"Collegamenti: 3", "(144 Mhz: 2, 432 Mhz: 1)",
                                             "Punti: 2587", "Quadrati: 3"}));

    // A hand edit: the farthest contact's locator typed again.
    QString log = w->log();
    log.replace(QStringLiteral("JO22AB"), QStringLiteral("IO91WM"));
    form()->Text1->setPlainText(log);
    QCOMPARE(shown().mid(0, 5),
             QStringList({"Collegamenti: 3", "(144 Mhz: 2, 432 Mhz: 1)", "Punti: 2861",
                          "Quadrati: 3", "ODX: Q1ABC IO91WM 1429 km"}));
  }

  void countsTheLastHourByTheUtcClockOfOk() {
    makeWindow("[Stazione]\nNominativo=Q9XYZ\nLocatore=JN61FW\n");
    // 08:18 UTC: 07:19 is in the last hour, 07:18 is not; 08:09 in the
    // last ten minutes, 08:08 not. The rate counts a duplicate too.
    WriteAll(w->logPath(), (Contact("001", "0718", "Q1A", "JO22AB") +
                            Contact("002", "0719", "Q1B", "JO22AB") +
                            Contact("003", "0808", "Q1C", "JO22AB") +
                            Contact("004", "0809", "Q1D", "JO22AB") +
                            Contact("005", "0810", "Q1D", "JO22AB"))
                               .toLatin1());
    pressScoreKeys(form()->Text2);
    QTest::mouseClick(form()->Command2, Qt::LeftButton);  // "Apri"
    QVERIFY(shown().contains("Collegamenti: 4"));
    QVERIFY(shown().contains("Punti: 5172"));
    QVERIFY(shown().contains("Ultima ora: 4"));
    QVERIFY(shown().contains("Ultimi 10 minuti: 2"));
    // With "gmt+1" the same clock reads 09:18 UTC, and the contact is stamped so.
    QTest::mouseClick(form()->Check1, Qt::LeftButton);
    w->enterContact("Q1E", "5", "JO22AB");
    QVERIFY(shown().contains("Ultima ora: 1"));
  }

  // Open or closed, and where it stood, it comes back so at the next start.
  void comesBackAsItWasLeft() {
    makeWindow("");
    pressScoreKeys(form()->Text2);
    form()->scoreWindow().move(QPoint(40, 50));
    const QPoint placed = form()->scoreWindow().pos();  // as the window system put it
    w->platform.answers.push_back(QMessageBox::Yes);  // "Vuoi uscire?"
    QVERIFY(form()->close());
    const QString ini = w->dir.filePath(QStringLiteral("cardel.ini"));
    const auto kept = [&](const char* key) {
      return QSettings(ini, QSettings::IniFormat).value(QStringLiteral("Punteggio/") + key).toString();
    };
    QCOMPARE(kept("Aperta"), QStringLiteral("true"));
    QCOMPARE(QPoint(kept("X").toInt(), kept("Y").toInt()), placed);

    w->window.reset();
    w->window = std::make_unique<cardel::Form15>(w->platform);
    QVERIFY(!form()->scoreWindow().isVisible());  // not before the window shows
    w->showActive();
    QVERIFY(form()->scoreWindow().isVisible());
    QCOMPARE(form()->scoreWindow().pos(), placed);
    QVERIFY(shown().contains("Collegamenti: 0"));

    pressScoreKeys(form()->Text2);
    QCOMPARE(kept("Aperta"), QStringLiteral("false"));
    w->window.reset();
    w->window = std::make_unique<cardel::Form15>(w->platform);
    w->showActive();
    QVERIFY(!form()->scoreWindow().isVisible());
  }

  void asksForTheLocatorWhereThePointsWouldBe() {
    makeWindow("[Stazione]\nNominativo=Q9XYZ\n");
    pressScoreKeys(form()->Text2);
    w->enterContact("Q1ABC", "12", "JO22AB");
    QCOMPARE(shown(), QStringList({"Collegamenti: 1", "Imposta il locatore in Stazione",
                                   "Quadrati: 1", "Ultima ora: 1", "Ultimi 10 minuti: 1"}));
  }
};

QTEST_MAIN(WindowScoreTest)
#include "window_score_test.moc"
