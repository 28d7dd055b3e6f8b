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
    QCOMPARE(ToDisplay(ToText(log)), shown);
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
