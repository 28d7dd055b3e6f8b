#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "window_fixture.h"

namespace {

QString AccessibleText(QWidget* widget, QAccessible::Text which) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->text(which) : QStringLiteral("<no interface>");
}

void AddNameRow(const char* control, const char* name) {
  QTest::newRow(control) << QString::fromLatin1(control) << QString::fromLatin1(name);
}

}  // namespace

// What a screen reader is told about the window.
class WindowAccessTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }

 private slots:
  void init() { w = std::make_unique<WindowUnderTest>(); }
  void cleanup() { w.reset(); }

  void names_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    AddNameRow("Text2", "Nominativo");
    AddNameRow("Text3", "Progressivo");
    AddNameRow("Text4", "Locatore");
    AddNameRow("Text1", "Log");
    AddNameRow("Command1", "OK");
    AddNameRow("Command2", "Apri");
    AddNameRow("Command3", "Salva");
    AddNameRow("Command4", "Esci");
    AddNameRow("Check1", "gmt+1");
    AddNameRow("Check2", "Multibanda");
    AddNameRow("Check3", "HF");
  }

  void names() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    w->showActive();
    QCOMPARE(AccessibleText(form()->findChild<QWidget*>(control), QAccessible::Name), name);
  }

  // The caption an entry box is labelled by; on Linux this is all that names
  // the band box, whose accessible name is its text.
  void labelledBy_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    AddNameRow("Text2", "Nominativo");
    AddNameRow("Text3", "Progressivo");
    AddNameRow("Text4", "Locatore");
    AddNameRow("Combo1", "Banda");
  }

  void labelledBy() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    w->showActive();
    QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(form()->findChild<QWidget*>(control));
    QStringList labels;  // the group box labels them all as well
    for (const auto& [label, relation] : face->relations(QAccessible::Label))
      labels << label->text(QAccessible::Name);
    QVERIFY2(labels.contains(name), qPrintable(labels.join(", ")));
  }

  void descriptionFollowsMark_data() {
    QTest::addColumn<bool>("multiband");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("afterOk");
    const auto row = [](const char* name, bool multiband, const char* typed,
                        const char* description, const char* afterOk) {
      QTest::newRow(name) << multiband << typed << description << afterOk;
    };
    // OK refuses a duplicate and leaves it; an accepted contact empties the box.
    row("duplicate", false, "qq0abc", "Duplicato", "Duplicato");
    row("new band", true, "qq0abc", "Nuova banda", "");
    row("not in the log", false, "qq7zz", "", "");
    row("three characters", false, "qq0", "", "");
  }

  void descriptionFollowsMark() {
    QFETCH(bool, multiband);
    QFETCH(QString, typed);
    QFETCH(QString, description);
    QFETCH(QString, afterOk);
    w->showActive();
    w->setLog("001-+-x---0000---QQ0ABC---59---1---JN-->14 Mhz\r\n");
    if (multiband) QTest::mouseClick(form()->Check2, Qt::LeftButton);
    QTest::keyClicks(form()->Text2, typed);
    QCOMPARE(AccessibleText(form()->Text2, QAccessible::Description), description);
    QCOMPARE(AccessibleText(form()->Text2, QAccessible::Name), QStringLiteral("Nominativo"));

    QTest::keyClicks(form()->Text3, "5");
    QTest::keyClicks(form()->Text4, "jn");
    QTest::keyClick(form()->Text4, Qt::Key_Return);
    QCOMPARE(AccessibleText(form()->Text2, QAccessible::Description), afterOk);
  }

  void descriptionEmptyAgainWhenShortened() {
    w->setLog("001-+-x---0000---QQ0ABC---59---1---JN\r\n");
    QTest::keyClicks(form()->Text2, "qq0abc");
    QCOMPARE(AccessibleText(form()->Text2, QAccessible::Description), QStringLiteral("Duplicato"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(form()->Text2, Qt::Key_Backspace);
    QCOMPARE(AccessibleText(form()->Text2, QAccessible::Description), QString());
  }

  // A screen reader or voice control changes a check box by its Toggle
  // action, which is no click: what the box controls follows all the same.
  void toggleActionRunsTheHandler_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("Multibanda") << "Check2";
    QTest::newRow("HF") << "Check3";
  }

  void toggleActionRunsTheHandler() {
    QFETCH(QString, box);
    w->showActive();
    w->setLog(QsoLineText("001", "0818", "Q1ABC", "012", "JN61FW", "14 Mhz"));
    QTest::keyClicks(form()->Text2, "Q1ABC");
    QCOMPARE(form()->callMark(), cardel::CallMark::Duplicate);
    auto* check = form()->findChild<QCheckBox*>(box);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(check);
    QVERIFY(face && face->actionInterface());
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(check->isChecked());
    if (box == "Check2") {
      QVERIFY(form()->Combo1->isVisible());
      QVERIFY(form()->Label4->isVisible());
      QCOMPARE(form()->callMark(), cardel::CallMark::NewBand);
    } else {
      QVERIFY(!form()->Text4->isVisible());
      QVERIFY(!form()->Label2->isVisible());
    }
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(form()->Text4->isVisible());
    QVERIFY(!form()->Combo1->isVisible());
    QCOMPARE(form()->callMark(), cardel::CallMark::Duplicate);
  }

  // Text an assistive tool inserts through the accessible text interface
  // passes the same filter as typed text.
  void accessibleInsertionIsFiltered_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("shown");
    QTest::newRow("log box") << "Text1"
                             << "abc xy\r\n";
    // A call sign holds no blank either.
    QTest::newRow("call sign") << "Text2"
                               << "ABCXY";
  }

  void accessibleInsertionIsFiltered() {
    QFETCH(QString, box);
    QFETCH(QString, shown);
    w->showActive();
    if (box == "Text1")
      w->setLog("abc\r\n");
    else
      QTest::keyClicks(form()->Text2, "abc");
    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(form()->findChild<QWidget*>(box));
    QVERIFY(face && face->editableTextInterface());
    face->editableTextInterface()->insertText(3, QString::fromUtf8("\u0416\u044F x\U0001F600y"));
    if (box == "Text1") {
      QTRY_COMPARE(w->log(), shown);
      QCOMPARE(form()->Text1->toPlainText(), "abc xy\n");
    } else {
      QCOMPARE(form()->Text2->text(), shown);
    }
  }
};

QTEST_MAIN(WindowAccessTest)
#include "window_access_test.moc"
