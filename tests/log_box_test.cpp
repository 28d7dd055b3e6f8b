#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>

#include "window_fixture.h"

using cardel::FromDisplay;
using cardel::ToDisplay;
using cardel::ToQString;
using cardel::ToText;

class LogBoxTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::LogBox* box() { return w->window->Text1; }

  void placeCaret(int position) {
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(position);
    box()->setTextCursor(cursor);
  }

  void expectCaretAtEnd() {
    QCOMPARE(box()->textCursor().position(), box()->document()->characterCount() - 1);
  }

 private slots:
  void init() {
    w = std::make_unique<WindowUnderTest>();
    w->showActive();
    box()->setFocus();
  }
  void cleanup() { w.reset(); }

  void displayIsFaithful_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("shown");
    QTest::newRow("line ends") << "a\r\nb\r\n"
                               << "a\nb\n";
    QTest::newRow("lone line feed") << "a\nb"
                                    << "a\u240Ab";
    QTest::newRow("lone carriage return") << "a\rb"
                                          << "a\u240Db";
    QTest::newRow("CR CR LF") << "\r\r\n"
                              << "\u240D\n";
    QTest::newRow("LF CR") << "\n\r"
                           << "\u240A\u240D";
  }

  void displayIsFaithful() {
    QFETCH(QString, log);
    QFETCH(QString, shown);
    QCOMPARE(ToDisplay(ToText(log)).text, shown);
    QCOMPARE(ToQString(FromDisplay(shown)), log);
    w->setLog(log);
    QCOMPARE(w->log(), log);
    QCOMPARE(box()->document()->toRawText().replace(QChar(0x2029), '\n'), shown);
  }

  void typingBuildsTheLogText() {
    QTest::keyClicks(box(), "abc");
    QTest::keyClick(box(), Qt::Key_Return);
    QTest::keyClicks(box(), "de");
    QTest::keyClick(box(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(box(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w->log(), QStringLiteral("abc\r\nde\r\n\r\n"));
    QTest::keyClick(box(), Qt::Key_Backspace);
    QTest::keyClick(box(), Qt::Key_Backspace);
    QCOMPARE(w->log(), QStringLiteral("abc\r\nde"));
    QTest::keyClick(box(), Qt::Key_Z, Qt::ControlModifier);  // undo gives the text back
    QCOMPARE(w->log(), box()->document()->toPlainText().replace("\n", "\r\n"));
  }

  void typingInTheMiddleKeepsLineFeedsAndMovesTheCaret() {
    w->setLog("001-+-a\nb\r\n002-+-c\r\n");
    placeCaret(3);  // "001|-+-"
    QTest::keyClick(box(), Qt::Key_X);
    QCOMPARE(w->log(), QStringLiteral("001x-+-a\nb\r\n002-+-c\r\n"));
    expectCaretAtEnd();

    placeCaret(11);  // start of the second line
    QTest::keyClick(box(), Qt::Key_Backspace);
    QCOMPARE(w->log(), QStringLiteral("001x-+-a\nb002-+-c\r\n"));
    placeCaret(8);  // after "a", before the shown line feed
    QTest::keyClick(box(), Qt::Key_Delete);
    QCOMPARE(w->log(), QStringLiteral("001x-+-ab002-+-c\r\n"));
    expectCaretAtEnd();
  }

  void selectionAcrossLinesIsReplaced() {
    w->setLog("one\r\ntwo\r\nthree\r\n");
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(9, QTextCursor::KeepAnchor);  // "e\ntwo\nth"
    box()->setTextCursor(cursor);
    QTest::keyClick(box(), Qt::Key_Y);
    QCOMPARE(w->log(), QStringLiteral("onyhree\r\n"));
  }

  void pastedLineEndsBecomeCrLf() {
    w->setLog("x\r\n");
    auto* data = new QMimeData;
    data->setText("a\r\nb\nc\rd\u2028e");
    QApplication::clipboard()->setMimeData(data);
    box()->paste();
    QCOMPARE(w->log(), QStringLiteral("x\r\na\r\nb\r\nc\r\nd\r\ne"));
  }

  void crMeetingLfBecomesALineBreak() {
    w->setLog("a\rX\nb");
    placeCaret(3);
    QTest::keyClick(box(), Qt::Key_Backspace);  // removes X: CR and LF meet
    QCOMPARE(w->log(), QStringLiteral("a\r\nb"));
    QTRY_COMPARE(box()->document()->blockCount(), 2);
    QTest::keyClick(box(), Qt::Key_Backspace);
    QCOMPARE(w->log(), QStringLiteral("a\r\n"));  // the caret went to the end
  }

  // A line of 2000 A then "BC", CR LF, "end": the box shows a display break
  // between the A and the B, at document position 2000.
  void editsAcrossADisplayBreak_data() {
    const QString as(cardel::kMaxShownLine, u'A');
    const QString log = as + "BC\r\nend";
    QTest::addColumn<QString>(
        "keys");  // typed, or ^H backspace, ^D delete, ^V paste "xyz", ^M Enter
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backspace after it") << "^H" << 2001 << 2001 << as.chopped(1) + "BC\r\nend";
    QTest::newRow("delete before it") << "^D" << 2000 << 2000 << as + "C\r\nend";
    QTest::newRow("typed after it") << "x" << 2001 << 2001 << as + "xBC\r\nend";
    QTest::newRow("typed before it") << "x" << 2000 << 2000 << as + "xBC\r\nend";
    QTest::newRow("selection across it typed over")
        << "y" << 1998 << 2003 << as.chopped(2) + "y\r\nend";
    QTest::newRow("selection across it deleted")
        << "^H" << 2003 << 1998 << as.chopped(2) + "\r\nend";
    QTest::newRow("pasted after it") << "^V" << 2001 << 2001 << as + "xyzBC\r\nend";
    QTest::newRow("Enter after it") << "^M" << 2001 << 2001 << as + "\r\nBC\r\nend";
    QTest::newRow("selection up to the line end deleted")
        << "^D" << 1990 << 2003 << as.left(1990) + "\r\nend";
    QVERIFY(log.size() == cardel::kMaxShownLine + 7);
  }

  void editsAcrossADisplayBreak() {
    QFETCH(QString, keys);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);
    w->setLog(QString(cardel::kMaxShownLine, u'A') + "BC\r\nend");
    QCOMPARE(box()->displayBreaks(), std::vector<int>{cardel::kMaxShownLine});
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
    if (keys == "^H") {
      QTest::keyClick(box(), Qt::Key_Backspace);
    } else if (keys == "^D") {
      QTest::keyClick(box(), Qt::Key_Delete);
    } else if (keys == "^M") {
      QTest::keyClick(box(), Qt::Key_Return);
    } else if (keys == "^V") {
      QApplication::clipboard()->setText("xyz");
      box()->paste();
    } else {
      QTest::keyClicks(box(), keys);
    }
    QCOMPARE(w->log(), expected);
    expectCaretAtEnd();
  }

  void copyGivesTheLogsCharacters_data() {
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("copied");
    QTest::newRow("across the display break") << 1998 << 2003 << "AABC";
    QTest::newRow("across the line break") << 2002 << 2006 << "C\r\nd\r";
    QTest::newRow("the break alone") << 2000 << 2001 << "";
  }

  void copyGivesTheLogsCharacters() {
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, copied);
    w->setLog(QString(cardel::kMaxShownLine, u'A') + "BC\r\nd\re");
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
    box()->copy();
    QCOMPARE(QApplication::clipboard()->text(), copied);
  }

  // However long a line grows, by a paste or by typing, the box cuts it.
  void longLinesAreCutAsTheyGrow() {
    const QString line(5 * cardel::kMaxShownLine, u'x');
    w->setLog("001-+-a\r\n");
    QApplication::clipboard()->setText(line);
    box()->paste();
    QTest::keyClicks(box(), QString(cardel::kMaxShownLine + 1, u'y'));
    QCoreApplication::processEvents();
    QCOMPARE(w->log(), "001-+-a\r\n" + line + QString(cardel::kMaxShownLine + 1, u'y'));
    for (QTextBlock b = box()->document()->begin(); b.isValid(); b = b.next())
      QVERIFY(b.length() <= 2 * cardel::kMaxShownLine + 1);
    QTest::keyClick(box(), Qt::Key_Return);  // the log and its display still agree
    QVERIFY(w->log().endsWith("yy\r\n"));
  }

  void appendingAddsOnlyTheNewLine() {
    w->setLog("001-+-a\r\n");
    QTextBlock first = box()->document()->firstBlock();
    w->setLog("001-+-a\r\n002-+-b\r\n");
    QVERIFY(first.isValid());
    QCOMPARE(first.text(), QStringLiteral("001-+-a"));  // the same block, not a new document
    QCOMPARE(box()->document()->blockCount(), 3);
    expectCaretAtEnd();
  }
};

QTEST_MAIN(LogBoxTest)
#include "log_box_test.moc"
