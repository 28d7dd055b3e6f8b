#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "export_actions.h"
#include "window_fixture.h"

using cardel::CallMark;

class WindowEntryTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }

  // What a refused contact must leave as it was.
  struct Snapshot {
    QString log, caption, call, serial, locator;
    CallMark mark;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot() {
    return {w->log(),
            form()->Frame1->title(),
            form()->Text2->text(),
            form()->Text3->text(),
            form()->Text4->text(),
            form()->callMark()};
  }

 private slots:
  void init() { w = std::make_unique<WindowUnderTest>(); }
  void cleanup() { w.reset(); }

  void startState() {
    w->showActive();
    QCOMPARE(form()->windowTitle(), QStringLiteral("Cardel v1.2 - Ventor"));
    QCOMPARE(form()->size(), QSize(385, 355));
    QCOMPARE(form()->Frame1->title(), QStringLiteral("001"));
    for (auto* check : {form()->Check1, form()->Check2, form()->Check3})
      QVERIFY(!check->isChecked());
    QVERIFY(form()->Label4->isHidden());
    QVERIFY(form()->Combo1->isHidden());
    QVERIFY(!form()->Text4->isHidden());
    QVERIFY(w->log().isEmpty());
    for (auto* box : {form()->Text2, form()->Text3, form()->Text4}) QVERIFY(box->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), form()->Text2);
    QVERIFY(!form()->Command1->isDefault());
    QVERIFY(!form()->Command1->autoDefault());
  }

  void bandList() {
    QStringList items;
    for (int i = 0; i < form()->Combo1->count(); ++i) items << form()->Combo1->itemText(i);
    QCOMPARE(items, QStringList({"7 Mhz", "14 Mhz", "21 Mhz", "28 Mhz", "50 Mhz", "144 Mhz",
                                 "432 Mhz", "1296 Mhz"}));
    QCOMPARE(form()->Combo1->currentIndex(), -1);
    QCOMPARE(form()->Combo1->currentText(), QStringLiteral("..."));
    QVERIFY(form()->Combo1->isEditable());
  }

  void layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");
    const auto row = [](const char* name, const char* container, QRect r, const char* caption) {
      QTest::newRow(name) << name << container << r << caption;
    };
    row("Frame1", "Form15", {240, 240, 5295, 1695}, "001");
    row("Label1", "Frame1", {240, 360, 855, 255}, "Nominativo");
    row("Label3", "Frame1", {1320, 360, 855, 255}, "Progressivo");
    row("Label2", "Frame1", {2520, 360, 735, 255}, "Locatore");
    row("Label4", "Frame1", {3720, 360, 855, 255}, "Banda");
    row("Text2", "Frame1", {120, 720, 975, 285}, "Nominativo");
    row("Text3", "Frame1", {1320, 720, 975, 285}, "Progressivo");
    row("Text4", "Frame1", {2520, 720, 975, 285}, "Locatore");
    row("Combo1", "Frame1", {3720, 720, 1095, 315}, "Banda");
    row("Command1", "Frame1", {120, 1200, 855, 285}, "OK");
    row("Check1", "Frame1", {1200, 1200, 855, 255}, "gmt+1");
    row("Check2", "Frame1", {2040, 1200, 1215, 255}, "Multibanda");
    row("Check3", "Frame1", {3240, 1200, 615, 255}, "HF");
    row("Label5", "Frame1", {3900, 1200, 1275, 255}, "");
    row("Text1", "Form15", {240, 2160, 5295, 2415}, "Log");
    row("Command2", "Form15", {1440, 4800, 855, 375}, "Apri");
    row("Command3", "Form15", {2520, 4800, 735, 375}, "Salva");
    row("Command4", "Form15", {3480, 4800, 855, 375}, "Esci");
  }

  void layout() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    w->showActive();
    auto* control = form()->findChild<QWidget*>(name);
    QVERIFY(control);
    const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(control->geometry(), pixels);
    QWidget* parent = container == "Form15" ? static_cast<QWidget*>(form()) : form()->Frame1;
    QCOMPARE(control->parentWidget(), parent);

    // Resizing leaves every control where it was.
    form()->resize(900, 700);
    QCOMPARE(control->geometry(), pixels);

    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(control))
      text = b->text();
    else if (auto* l = qobject_cast<QLabel*>(control))
      text = l->text();
    else if (auto* g = qobject_cast<QGroupBox*>(control))
      text = g->title();
    else
      text = control->accessibleName();  // entry boxes carry their label's caption
    QCOMPARE(text, caption);
  }

  void tabOrder_data() {
    QTest::addColumn<bool>("multiband");
    QTest::addColumn<bool>("hf");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("start") << false << false
                           << QStringList{"Text3",    "Text4",  "Command1", "Command2",
                                          "Command3", "Text1",  "Command4", "Check1",
                                          "Check2",   "Check3", "Text2"};
    QTest::newRow("multiband") << true << false
                               << QStringList{"Text3",    "Text4",  "Command1", "Command2",
                                              "Command3", "Text1",  "Command4", "Combo1",
                                              "Check1",   "Check2", "Check3",   "Text2"};
    QTest::newRow("hf") << false << true
                        << QStringList{"Text3",    "Command1", "Command2", "Command3", "Text1",
                                       "Command4", "Check1",   "Check2",   "Check3",   "Text2"};
  }

  void tabOrder() {
    QFETCH(bool, multiband);
    QFETCH(bool, hf);
    QFETCH(QStringList, order);
    w->showActive();
    if (multiband) QTest::mouseClick(form()->Check2, Qt::LeftButton);
    if (hf) QTest::mouseClick(form()->Check3, Qt::LeftButton);
    form()->Text2->setFocus();
    for (const QString& next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QVERIFY(w->log().isEmpty());  // Tab in the log box moved on, it typed nothing
  }

  void oneContactByKeyboard() {
    w->showActive();
    QTest::keyClicks(QApplication::focusWidget(), "q1abc");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "012");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "jn61fw");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QCOMPARE(w->log(), QsoLineText("001", "0818", "Q1ABC", "012", "JN61FW"));
    QCOMPARE(form()->Frame1->title(), QStringLiteral("002"));
    for (auto* box : {form()->Text2, form()->Text3, form()->Text4}) QVERIFY(box->text().isEmpty());
    QCOMPARE(form()->callMark(), CallMark::Normal);
    QCOMPARE(QApplication::focusWidget(), form()->Text2);
    QCOMPARE(form()->Text1->textCursor().position(),
             form()->Text1->document()->characterCount() - 1);
    QVERIFY(w->platform.shown.isEmpty());

    // The second contact follows on its own line, with band and gmt+1.
    QTest::mouseClick(form()->Check1, Qt::LeftButton);
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    form()->Combo1->setCurrentIndex(7);
    w->platform.now = QDateTime(QDate(2026, 12, 8), QTime(0, 30));
    w->enterContact("q2xyz", "7", "jn45");
    QCOMPARE(w->log(), QsoLineText("001", "0818", "Q1ABC", "012", "JN61FW") + "002-+-" +
                           ShortDate(2026, 12, 7) +
                           "---2330---Q2XYZ---59---7---JN45-->1296 Mhz\r\n");
    QCOMPARE(form()->Frame1->title(), QStringLiteral("003"));
  }

  void serialStopsAt999() {
    form()->Frame1->setTitle("998");
    w->enterContact("Q1AAA", "1", "JN");
    QCOMPARE(form()->Frame1->title(), QStringLiteral("999"));
    w->enterContact("Q1BBB", "1", "JN");
    QCOMPARE(form()->Frame1->title(), QStringLiteral("999"));
    QVERIFY(w->log().endsWith(QsoLineText("999", "0818", "Q1BBB", "1", "JN")));
  }

  void refusals_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("locator");
    QTest::addColumn<bool>("hf");
    QTest::addColumn<QString>("message");
    QTest::newRow("duplicate, serial empty") << "Q1DUP"
                                             << ""
                                             << "" << false << "Duplicato!";
    QTest::newRow("call empty, serial empty") << ""
                                              << ""
                                              << "JN" << false << "Inserisci nominativo";
    QTest::newRow("serial empty") << "Q1NEW"
                                  << ""
                                  << "JN" << false << "Inserisci numero progressivo";
    QTest::newRow("locator empty") << "Q1NEW"
                                   << "5"
                                   << "" << false << "Inserisci locatore";
    QTest::newRow("duplicate in hf") << "Q1DUP"
                                     << "5"
                                     << "" << true << "Duplicato!";
  }

  void refusals() {
    QFETCH(QString, call);
    QFETCH(QString, serial);
    QFETCH(QString, locator);
    QFETCH(bool, hf);
    QFETCH(QString, message);
    w->showActive();
    w->setLog(QsoLineText("001", "0818", "Q1DUP", "1", "JN"));
    form()->Frame1->setTitle("002");
    if (hf) QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QTest::keyClicks(form()->Text2, call);
    QTest::keyClicks(form()->Text3, serial);
    QTest::keyClicks(form()->Text4, locator);
    form()->Text3->setFocus();
    const Snapshot before = snapshot();

    QTest::keyClick(form()->Text3, Qt::Key_Enter);
    QCOMPARE(w->platform.shown.size(), 1);
    const auto& box = w->platform.shown.first();
    QCOMPARE(box.text, message);
    QCOMPARE(box.title, QStringLiteral("Cardel_eng"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(snapshot() == before);
    QCOMPARE(QApplication::focusWidget(), form()->Text3);
  }

  void acceptedVariants() {
    // HF on with the hidden locator still holding text: it goes into the line.
    QTest::keyClicks(form()->Text4, "jn61");
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QTest::keyClicks(form()->Text2, "Q1ABC");
    QTest::keyClicks(form()->Text3, "1");
    QTest::keyClick(form()->Text3, Qt::Key_Return);
    QCOMPARE(w->log(), QsoLineText("001", "0818", "Q1ABC", "1", "JN61"));

    // HF on and the locator empty: accepted with an empty field.
    QTest::keyClicks(form()->Text2, "Q2ABC");
    QTest::keyClicks(form()->Text3, "2");
    QTest::keyClick(form()->Text3, Qt::Key_Return);
    QVERIFY(w->log().endsWith(QsoLineText("002", "0818", "Q2ABC", "2", "")));

    // A call sign of three characters is never a duplicate.
    QTest::keyClicks(form()->Text2, "Q1A");
    QTest::keyClicks(form()->Text3, "3");
    QTest::keyClick(form()->Text3, Qt::Key_Return);
    QVERIFY(w->log().endsWith(QsoLineText("003", "0818", "Q1A", "3", "")));
    QVERIFY(w->platform.shown.isEmpty());
  }

  void duplicateMark_data() {
    QTest::addColumn<bool>("multiband");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("mark");
    const QString log =
        "001-+-x---0000---QQ0ABC---59---1---JN-->14 Mhz\r\n"
        "002-+-x---0000---QQ9XYZ---59---1---JN-->21 Mhz\r\n";
    QTest::newRow("upper-cased and found") << false << "..."
                                           << "qq0abc"
                                           << "QQ0ABC" << int(CallMark::Duplicate);
    QTest::newRow("prefix is another station") << false << "..."
                                               << "qq0ab"
                                               << "QQ0AB" << int(CallMark::Normal);
    QTest::newRow("three characters") << false << "..."
                                      << "qq0"
                                      << "QQ0" << int(CallMark::Normal);
    QTest::newRow("absent") << false << "..."
                            << "qq7zz"
                            << "QQ7ZZ" << int(CallMark::Normal);
    QTest::newRow("same band") << true << "14 Mhz"
                               << "qq0abc"
                               << "QQ0ABC" << int(CallMark::Duplicate);
    QTest::newRow("band of another station's line") << true << "21 Mhz"
                                                    << "qq0abc"
                                                    << "QQ0ABC" << int(CallMark::NewBand);
    QTest::newRow("new band") << true << "50 Mhz"
                              << "qq0abc"
                              << "QQ0ABC" << int(CallMark::NewBand);
    QTest::newRow("no band chosen") << true << "..."
                                    << "QQ0ABC"
                                    << "QQ0ABC" << int(CallMark::NewBand);
    QTest::newRow("band typed in capitals, blanks around") << true << " 14 MHZ\t"
                                                           << "qq0abc"
                                                           << "QQ0ABC" << int(CallMark::Duplicate);
    QTest::newRow("blanks typed around the call sign") << true << "14 Mhz"
                                                       << " qq0abc "
                                                       << "QQ0ABC" << int(CallMark::Duplicate);
  }

  void duplicateMark() {
    QFETCH(bool, multiband);
    QFETCH(QString, band);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, mark);
    w->setLog(
        "001-+-x---0000---QQ0ABC---59---1---JN-->14 Mhz\r\n"
        "002-+-x---0000---QQ9XYZ---59---1---JN-->21 Mhz\r\n");
    if (multiband) QTest::mouseClick(form()->Check2, Qt::LeftButton);
    form()->Combo1->setEditText(band);
    QTest::keyClicks(form()->Text2, typed);
    QCOMPARE(form()->Text2->text(), shown);
    QCOMPARE(form()->Text2->cursorPosition(), shown.size());
    QCOMPARE(int(form()->callMark()), mark);

    const QColor colour = form()->Text2->palette().color(QPalette::Text);
    const QColor expected = mark == int(CallMark::Duplicate) ? QColor(Qt::red)
                            : mark == int(CallMark::NewBand)
                                ? QColor(Qt::blue)
                                : form()->Text2->palette().color(QPalette::ButtonText);
    QCOMPARE(colour, expected);
  }

  // Each row changes one input of the verdict after the call sign was typed,
  // with real events; the colour follows and OK obeys what is shown.
  void markRenewedWhenAnInputChanges_data() {
    QTest::addColumn<bool>("multiband");
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const auto row = [](const char* change, bool multiband, CallMark before, CallMark after) {
      QTest::newRow(change) << multiband << change << int(before) << int(after);
    };
    row("band chosen from the list", true, CallMark::NewBand, CallMark::Duplicate);
    row("band typed", true, CallMark::NewBand, CallMark::Duplicate);
    row("band typed away", true, CallMark::NewBand, CallMark::NewBand);
    row("multiband switched on", false, CallMark::Duplicate, CallMark::NewBand);
    row("multiband switched off", true, CallMark::NewBand, CallMark::Duplicate);
    row("log opened", false, CallMark::Normal, CallMark::Duplicate);
    row("log box emptied", false, CallMark::Duplicate, CallMark::Normal);
    row("call typed into the log box", false, CallMark::Normal, CallMark::Duplicate);
  }

  void markRenewedWhenAnInputChanges() {
    QFETCH(bool, multiband);
    QFETCH(QString, change);
    QFETCH(int, before);
    QFETCH(int, after);
    const QString line = "001-+-x---0000---QQ0ABC---59---1---JN-->14 Mhz\r\n";
    w->showActive();
    if (change != "log opened") w->setLog(change.startsWith("call typed") ? "" : line);
    if (multiband) QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QTest::keyClicks(form()->Text2, "qq0abc");
    QCOMPARE(int(form()->callMark()), before);

    if (change == "band chosen from the list") {
      QTest::keyClick(form()->Combo1, Qt::Key_Down);  // 7 Mhz
      QCOMPARE(int(form()->callMark()), int(CallMark::NewBand));
      QTest::keyClick(form()->Combo1, Qt::Key_Down);  // 14 Mhz
    } else if (change.startsWith("band typed")) {
      form()->Combo1->lineEdit()->selectAll();
      QTest::keyClicks(form()->Combo1->lineEdit(), "14 Mhz");
      if (change.endsWith("away")) QTest::keyClick(form()->Combo1->lineEdit(), Qt::Key_Backspace);
    } else if (change.startsWith("multiband")) {
      QTest::mouseClick(form()->Check2, Qt::LeftButton);
    } else if (change == "log opened") {
      WriteAll(w->logPath(), line.toLatin1() + "\r\n");
      QTest::mouseClick(form()->Command2, Qt::LeftButton);
    } else if (change == "log box emptied") {
      form()->Text1->setFocus();
      QTest::keyClick(form()->Text1, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(form()->Text1, Qt::Key_Delete);
    } else {
      QTest::keyClicks(form()->Text1, line.chopped(2));
    }
    QCOMPARE(form()->Text2->text(), QStringLiteral("QQ0ABC"));
    QCOMPARE(int(form()->callMark()), after);

    const QString log = w->log();
    QTest::keyClicks(form()->Text3, "2");
    QTest::keyClicks(form()->Text4, "jn");
    QTest::keyClick(form()->Text4, Qt::Key_Return);
    const bool refused = after == int(CallMark::Duplicate);
    QCOMPARE(w->log() == log, refused);
    QCOMPARE(!w->platform.shown.isEmpty() && w->platform.shown.last().text == "Duplicato!",
             refused);
  }

  void markAfterAnAcceptedContact() {
    // The contact just logged turns the same call red on the same band only.
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    form()->Combo1->setEditText("21 Mhz");
    w->enterContact("qq0abc", "1", "jn");
    QCOMPARE(form()->callMark(), CallMark::Normal);
    QCOMPARE(form()->Text2->accessibleDescription(), QString());
    QTest::keyClicks(form()->Text2, "qq0abc");
    QCOMPARE(form()->callMark(), CallMark::Duplicate);
    form()->Combo1->setEditText("...");
    QCOMPARE(form()->callMark(), CallMark::NewBand);
    form()->Text2->setCursorPosition(2);
    QTest::keyClick(form()->Text2, Qt::Key_X);  // the caret goes to the end
    QCOMPARE(form()->Text2->text(), QStringLiteral("QQX0ABC"));
    QCOMPARE(form()->Text2->cursorPosition(), 7);
    QCOMPARE(form()->callMark(), CallMark::Normal);
  }

  void locatorUpperCasedSerialLeftAlone() {
    QTest::keyClicks(form()->Text4, "jn61");
    QCOMPARE(form()->Text4->text(), QStringLiteral("JN61"));
    form()->Text4->setCursorPosition(1);
    QTest::keyClick(form()->Text4, Qt::Key_A);
    QCOMPARE(form()->Text4->text(), QStringLiteral("JAN61"));
    QCOMPARE(form()->Text4->cursorPosition(), 5);

    QTest::keyClicks(form()->Text3, "12a");
    form()->Text3->setCursorPosition(1);
    QTest::keyClick(form()->Text3, 'B');
    QCOMPARE(form()->Text3->text(), QStringLiteral("1B2a"));
    QCOMPARE(form()->Text3->cursorPosition(), 2);
  }

  void modeSwitches() {
    w->showActive();
    // Multiband on shows the band; off hides it and forgets the band.
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QVERIFY(form()->Label4->isVisible() && form()->Combo1->isVisible());
    QCOMPARE(QApplication::focusWidget(), form()->Check2);
    form()->Combo1->setCurrentIndex(2);
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QVERIFY(form()->Label4->isHidden() && form()->Combo1->isHidden());
    QCOMPARE(form()->Combo1->currentText(), QStringLiteral("..."));
    QCOMPARE(QApplication::focusWidget(), form()->Text2);
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QCOMPARE(form()->Combo1->currentText(), QStringLiteral("..."));

    // HF hides the locator and keeps its text.
    QTest::keyClicks(form()->Text4, "JN61");
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QVERIFY(form()->Text4->isHidden() && form()->Label2->isHidden());
    QCOMPARE(QApplication::focusWidget(), form()->Check3);
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QVERIFY(form()->Text4->isVisible() && form()->Label2->isVisible());
    QCOMPARE(form()->Text4->text(), QStringLiteral("JN61"));

    // gmt+1 sends the focus to the call sign either way, also from the keyboard.
    for (int i = 0; i < 2; ++i) {
      form()->Check1->setFocus();
      QTest::keyClick(form()->Check1, Qt::Key_Space);
      QCOMPARE(form()->Check1->isChecked(), i == 0);
      QCOMPARE(QApplication::focusWidget(), form()->Text2);
    }
  }

  // The distance follows each key typed in the locator, "HF" and the
  // station's locator; a screen reader speaks its figures, and only
  // "Distanza" while there are none (not the group box's title, the serial).
  void distanceWhileTheLocatorIsTyped() {
    w->showActive();
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(form()->Label5);
    QCOMPARE(spoken->text(QAccessible::Name), QString("Distanza"));
    QTest::keyClicks(form()->Text4, "jn61");
    QCOMPARE(form()->Label5->text(), QString());  // no station locator yet
    form()->exportActions().settings().keep(cardel::Station{"", "JN61FW"});
    QCOMPARE(form()->Label5->text(), QString("66 km 137°"));
    for (int i = 0; i < 4; ++i) QTest::keyClick(form()->Text4, Qt::Key_Backspace);
    const QStringList shown = {"", "", "", "1300 km 337°", "", "1292 km 333°"};
    for (int i = 0; i < 6; ++i) {
      QTest::keyClick(form()->Text4, "jo22ab"[i]);
      QCOMPARE(form()->Label5->text(), shown[i]);
      QCOMPARE(spoken->text(QAccessible::Name), shown[i].isEmpty() ? "Distanza" : shown[i]);
    }
    QCOMPARE(spoken->text(QAccessible::Description), QString("Distanza"));
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QCOMPARE(form()->Label5->text(), QString());
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QCOMPARE(form()->Label5->text(), shown[5]);
    form()->exportActions().settings().keep(cardel::Station{});
    QCOMPARE(form()->Label5->text(), QString());
    form()->exportActions().settings().keep(cardel::Station{"", "JN61FW"});
    w->enterContact("q1abc", "1", "");  // the locator box is emptied, and the label
    QCOMPARE(form()->Label5->text(), QString());
    QCOMPARE(spoken->text(QAccessible::Name), QString("Distanza"));
  }

  // Multiband off and on again forgets the band: the list is as at start.
  void bandForgotten_data() {
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("first band") << 1 << "" << false << "7 Mhz";
    QTest::newRow("second band") << 2 << "" << false << "14 Mhz";
    QTest::newRow("last band") << 8 << "" << false << "1296 Mhz";
    QTest::newRow("band then typed over") << 3 << "QQ" << false << "QQ";
    QTest::newRow("switched by Space") << 2 << "" << true << "14 Mhz";
  }

  void bandForgotten() {
    QFETCH(int, downs);
    QFETCH(QString, typed);
    QFETCH(bool, byKeyboard);
    QFETCH(QString, chosen);
    w->showActive();
    const auto toggleMultiband = [&] {
      if (byKeyboard) {
        form()->Check2->setFocus();
        QTest::keyClick(form()->Check2, Qt::Key_Space);
      } else {
        QTest::mouseClick(form()->Check2, Qt::LeftButton);
      }
    };
    const auto pressDown = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); };
    toggleMultiband();
    form()->Combo1->setFocus();
    for (int i = 0; i < downs; ++i) pressDown();
    if (!typed.isEmpty()) {
      form()->Combo1->lineEdit()->selectAll();
      QTest::keyClicks(QApplication::focusWidget(), typed);
    }
    QCOMPARE(form()->Combo1->currentText(), chosen);

    toggleMultiband();
    toggleMultiband();
    QVERIFY(form()->Combo1->isVisible());
    QCOMPARE(form()->Combo1->currentText(), QStringLiteral("..."));
    QCOMPARE(form()->Combo1->currentIndex(), -1);
    form()->Combo1->setFocus();
    pressDown();
    QCOMPARE(form()->Combo1->currentText(), QStringLiteral("7 Mhz"));
    QCOMPARE(form()->Combo1->currentIndex(), 0);
  }

  void enterPressesOk_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("pressed");
    for (const char* box : {"Text3", "Text4"}) {
      for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        for (int mods : {int(Qt::NoModifier), int(Qt::ShiftModifier), int(Qt::ControlModifier),
                         int(Qt::AltModifier), int(Qt::KeypadModifier)}) {
          QTest::addRow("%s key %x mods %x", box, key, mods) << box << key << mods << true;
        }
      }
    }
    QTest::newRow("Text2") << "Text2" << int(Qt::Key_Return) << 0 << false;
    QTest::newRow("Combo1") << "Combo1" << int(Qt::Key_Return) << 0 << false;
    QTest::newRow("Text3 other key") << "Text3" << int(Qt::Key_A) << 0 << false;
  }

  void enterPressesOk() {
    QFETCH(QString, box);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, pressed);
    w->showActive();
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    auto* target = form()->findChild<QWidget*>(box);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // With empty boxes OK refuses: one message means it was pressed.
    QCOMPARE(w->platform.shown.size(), pressed ? 1 : 0);
    if (pressed) QCOMPARE(w->platform.shown.first().text, QStringLiteral("Inserisci nominativo"));
    QCOMPARE(form()->Combo1->count(), 8);
  }

  // The locator box is green, described "Nuovo quadrato", while its square
  // is in no contact line: on any band, or with "Multibanda" on the chosen one.
  void newSquareMark() {
    const auto isNew = [this] {
      const bool described =
          form()->Text4->accessibleDescription() == QStringLiteral("Nuovo quadrato");
      const bool green = form()->Text4->palette().color(QPalette::Text) == QColor(0x00, 0x80, 0x00);
      if (described != green) qWarning("colour and description disagree");
      return described && green;
    };
    const auto enter = [this](const char* call, const char* locator) {
      QTest::keyClicks(form()->Text2, call);
      QTest::keyClicks(form()->Text3, "1");
      QTest::keyClicks(form()->Text4, locator);
      QTest::keyClick(form()->Text4, Qt::Key_Return);
    };
    QTest::keyClicks(form()->Text4, "jn6");
    QVERIFY(!isNew());  // neither a locator nor a square yet
    QTest::keyClick(form()->Text4, Qt::Key_1);
    QVERIFY(isNew());
    form()->Text4->clear();
    enter("Q1ABC", "jn61fw");
    QTest::keyClicks(form()->Text4, "JN61AA");
    QVERIFY(!isNew());  // the square is in the log
    form()->Text4->clear();
    QTest::keyClicks(form()->Text4, "JN62");
    QVERIFY(isNew());
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QVERIFY(!isNew());  // HF has no squares
    QTest::mouseClick(form()->Check3, Qt::LeftButton);
    QVERIFY(isNew());

    // Two bands: JN61 was worked without band, so it is new on 144 Mhz.
    form()->Text4->clear();
    QTest::keyClicks(form()->Text4, "JN61");
    QVERIFY(!isNew());
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QVERIFY(!isNew());  // "..." is the band of the line
    form()->Combo1->setEditText(QStringLiteral("144 Mhz"));
    QVERIFY(isNew());
    form()->Text4->clear();
    enter("Q2ABC", "jn61aa");
    QTest::keyClicks(form()->Text4, "JN61");
    QVERIFY(!isNew());

    // A hand edit of the log renews the mark: the two lines' squares changed.
    QString log = w->log();
    log.replace(QStringLiteral("JN61"), QStringLiteral("JO22"));
    form()->Text1->setPlainText(log);
    QVERIFY(isNew());
  }
};

QTEST_MAIN(WindowEntryTest)
#include "window_entry_test.moc"
