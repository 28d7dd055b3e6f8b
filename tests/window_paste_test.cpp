#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include "export_actions.h"
#include "station_dialog.h"
#include "window_fixture.h"

// What is pasted, dropped or typed into an entry box reaches the log file as
// one contact line, holding only what the box shows.
class WindowPasteTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }

  QLineEdit* entryBox(const QString& name) {
    if (name == "Combo1") return form()->Combo1->lineEdit();
    return form()->findChild<QLineEdit*>(name);
  }

  static void bring(QLineEdit* box, const QString& gesture, const QString& text) {
    if (gesture == "paste") {
      QApplication::clipboard()->setText(text);
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else if (gesture == "drop") {
      DropText(box, box->rect().bottomRight(), text);
    } else if (gesture == "input method") {
      QInputMethodEvent commit;
      commit.setCommitString(text);
      QApplication::sendEvent(box, &commit);
    } else {
      TypeText(box, text);
    }
  }

 private slots:
  void init() {
    w = std::make_unique<WindowUnderTest>();
    w->showActive();
  }
  void cleanup() { w.reset(); }

  void entryBoxesHoldOneLineOfStorableText_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("before");  // typed first, the caret left after its first letter
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("saved");  // the field in the file
    QTest::newRow("call sign with CR LF pasted") << "Text2"
                                                 << ""
                                                 << "paste"
                                                 << "QA1ABC\r\n"
                                                 << "QA1ABC" << QByteArray("QA1ABC");
    QTest::newRow("call sign with CR LF dropped") << "Text2"
                                                  << ""
                                                  << "drop"
                                                  << "QA1ABC\r\n"
                                                  << "QA1ABC" << QByteArray("QA1ABC");
    QTest::newRow("two lines pasted into the middle") << "Text2"
                                                      << "QC"
                                                      << "paste"
                                                      << "A1\r\nQB9ZZZ"
                                                      << "QA1C" << QByteArray("QA1C");
    QTest::newRow("serial with CR LF") << "Text3"
                                       << ""
                                       << "paste"
                                       << "022\r\n"
                                       << "022" << QByteArray("022");
    QTest::newRow("locator with lone CR") << "Text4"
                                          << ""
                                          << "paste"
                                          << "JN00\rAA"
                                          << "JN00" << QByteArray("JN00");
    QTest::newRow("band with CR LF pasted") << "Combo1"
                                            << ""
                                            << "paste"
                                            << "144 Mhz\r\n"
                                            << "144 Mhz" << QByteArray("144 Mhz");
    QTest::newRow("band with LF dropped") << "Combo1"
                                          << ""
                                          << "drop"
                                          << "432 Mhz\n"
                                          << "432 Mhz" << QByteArray("432 Mhz");
    QTest::newRow("Cyrillic letters typed") << "Text2"
                                            << ""
                                            << "type"
                                            << "Q\u0436\u044F1AB"
                                            << "Q1AB" << QByteArray("Q1AB");
    QTest::newRow("input method commit") << "Text2"
                                         << ""
                                         << "input method"
                                         << "Q\u0436"
                                         << "Q" << QByteArray("Q");
    QTest::newRow("letters the file holds")
        << "Text2"
        << ""
        << "paste"
        << "\u00C9\u0178\u0160\u0152"
        << "\u00C9\u0178\u0160\u0152" << QByteArray("\xC9\x9F\x8A\x8C");
    QTest::newRow("accent as a combining mark") << "Text2"
                                                << ""
                                                << "paste"
                                                << "QE\u0301"
                                                << "Q\u00C9" << QByteArray("Q\xC9");
    // A call sign never holds blanks, control or invisible characters: one
    // pasted from a web page or a spreadsheet, or typed with a blank, would
    // look like a logged station without being marked.
    QTest::newRow("call sign from a web page") << "Text2"
                                               << ""
                                               << "paste"
                                               << " QA1ABC\u00A0"
                                               << "QA1ABC" << QByteArray("QA1ABC");
    QTest::newRow("call sign from a spreadsheet") << "Text2"
                                                  << ""
                                                  << "paste"
                                                  << "QA1ABC\t"
                                                  << "QA1ABC" << QByteArray("QA1ABC");
    QTest::newRow("soft hyphen and NUL in a call sign")
        << "Text2"
        << ""
        << "paste" << QString::fromUtf16(u"QA1\u00ADA\0BC", 8) << "QA1ABC" << QByteArray("QA1ABC");
    QTest::newRow("blank typed in a call sign") << "Text2"
                                                << ""
                                                << "type"
                                                << "QA1 ABC "
                                                << "QA1ABC" << QByteArray("QA1ABC");
    // Nor do a locator and a serial, which would then score nothing.
    QTest::newRow("locator with a no-break space") << "Text4"
                                                   << ""
                                                   << "paste"
                                                   << "\u00A0jn54ab"
                                                   << "JN54AB" << QByteArray("JN54AB");
    QTest::newRow("locator with a trailing blank") << "Text4"
                                                   << ""
                                                   << "paste"
                                                   << "JN54AB "
                                                   << "JN54AB" << QByteArray("JN54AB");
    QTest::newRow("serial with a no-break space") << "Text3"
                                                  << ""
                                                  << "paste"
                                                  << "8\u00A0"
                                                  << "8" << QByteArray("8");
    QTest::newRow("serial with a trailing blank") << "Text3"
                                                  << ""
                                                  << "paste"
                                                  << "8 "
                                                  << "8" << QByteArray("8");
    QTest::newRow("blank typed in a serial") << "Text3"
                                             << ""
                                             << "type"
                                             << " 1 2"
                                             << "12" << QByteArray("12");
  }

  void entryBoxesHoldOneLineOfStorableText() {
    QFETCH(QString, box);
    QFETCH(QString, before);
    QFETCH(QString, gesture);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    QLineEdit* target = entryBox(box);
    if (box == "Combo1") {
      QTest::mouseClick(form()->Check2, Qt::LeftButton);
      target->clear();
    }
    target->setFocus();
    QTest::keyClicks(target, before);
    if (!before.isEmpty()) target->setCursorPosition(1);

    bring(target, gesture, text);
    QCOMPARE(target->text(), shown);

    // The other fields as an operator types them, then OK and "Salva".
    const QString fields[] = {"Text2", "Text3", "Text4"};
    const QString typed[] = {"Q9ZZ", "5", "JN00AA"};
    for (int i = 0; i < 3; ++i)
      if (fields[i] != box) QTest::keyClicks(entryBox(fields[i]), typed[i]);
    QTest::keyClick(form()->Text4, Qt::Key_Return);
    QTest::mouseClick(form()->Command3, Qt::LeftButton);

    const QString mark = "@FIELD@";
    const QString line = QsoLineText("001", "0818", box == "Text2" ? mark : typed[0],
                                     box == "Text3" ? mark : typed[1],
                                     box == "Text4" ? mark : typed[2], box == "Combo1" ? mark : "");
    const QByteArray expected = (line + "\r\n").toLatin1().replace(mark.toLatin1(), saved);
    QCOMPARE(ReadAll(w->logPath()), expected);
  }

  void pastedLocatorIsMeasured() {
    form()->exportActions().settings().keep(cardel::Station{"", "JN61FW"});
    QApplication::clipboard()->setText("\u00A0JO22AB ");
    QTest::keyClick(form()->Text4, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form()->Label5->text(), QStringLiteral("1292 km 333\u00B0"));
  }

  // The station's fields keep the same characters out, before the length
  // limit counts: a locator pasted with a no-break space is not cut short.
  void stationFieldsKeepBlanksOut_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("locator after a no-break space") << "locator"
                                                    << ""
                                                    << "\u00A0JN61FW"
                                                    << "JN61FW";
    QTest::newRow("locator in lower case, blanks around") << "locator"
                                                          << ""
                                                          << " jn61fw\t"
                                                          << "JN61FW";
    QTest::newRow("no seventh character") << "locator"
                                          << "JN61FW"
                                          << "X"
                                          << "JN61FW";
    QTest::newRow("cut at six") << "locator"
                                << ""
                                << "JN61FWXX"
                                << "JN61FW";
    QTest::newRow("call sign with a soft hyphen") << "call"
                                                  << ""
                                                  << "Q9\u00ADOWN\u00A0"
                                                  << "Q9OWN";
  }

  void stationFieldsKeepBlanksOut() {
    QFETCH(QString, box);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    cardel::StationDialog dialog(w->platform, {QString(), before}, QString(), form());
    dialog.show();
    QLineEdit* target = box == "locator" ? dialog.locatorBox : dialog.callSignBox;
    target->setFocus();
    target->end(false);
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(target->text(), shown);
  }
};

QTEST_MAIN(WindowPasteTest)
#include "window_paste_test.moc"
