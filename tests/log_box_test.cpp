#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPushButton>
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

  // Where the character at a document position is drawn, in the viewport.
  QPoint pointAt(int position) {
    QTextCursor cursor(box()->document());
    cursor.setPosition(position);
    const QPoint point = box()->cursorRect(cursor).center();
    if (box()->cursorForPosition(point).position() != position) return {-1, -1};
    return point;
  }

  void scrollTo(int position) {
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(position);
    box()->setTextCursor(cursor);
    box()->ensureCursorVisible();
  }

  void select(int anchor, int position) {
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
  }

  void expectSaved(const QString& log) {
    QTest::mouseClick(w->window->Command3, Qt::LeftButton);
    QCOMPARE(ReadAll(w->logPath()), (log + "\r\n").toLatin1());
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

  // Where a long line is cut: after kMaxShownLine characters, never inside a
  // surrogate pair, and after a lone LF in the second half of the piece.
  void longLinesAreCutWhereTheyShould_data() {
    const int max = cardel::kMaxShownLine;
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QString(max + 1, u'A') << QString(max, u'A') + "\nA";
    QTest::newRow("exactly the length") << QString(max, u'A') + "\r\nB"
                                        << QString(max, u'A') + "\nB";
    QTest::newRow("a surrogate pair on the cut")
        << QString(max - 1, u'A') + "\U0001F600B"
        << QString(max - 1, u'A') + "\U0001F600\nB";
    QTest::newRow("after a lone LF") << QString(max - 10, u'A') + "\n" + QString(20, u'B')
                                     << QString(max - 10, u'A') + "\u240A\n" + QString(20, u'B');
    QTest::newRow("after a typed shown line feed")
        << QString(max - 10, u'A') + "\u240A" + QString(20, u'B')
        << QString(max - 10, u'A') + "\u240A\n" + QString(20, u'B');
    QTest::newRow("lone LF in the first half")
        << QString(10, u'A') + "\n" + QString(max, u'B')
        << QString(10, u'A') + "\u240A" + QString(max - 11, u'B') + "\n" + QString(11, u'B');
    QTest::newRow("line breaks of the document replaced")
        << "a\u2029b\u2028c" << "a\uFFFDb\uFFFDc";
  }

  void longLinesAreCutWhereTheyShould() {
    QFETCH(QString, log);
    QFETCH(QString, shown);
    QCOMPARE(ToDisplay(ToText(log)).text, shown);
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

  // A line of 2000 A then "BC", CR LF, "end" again; text dragged in from
  // elsewhere is dropped at a document position.
  void dropsChangeTheLogAsPastesDo_data() {
    const QString as(cardel::kMaxShownLine, u'A');
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("before the display break") << 2000 << "xyz" << as + "xyzBC\r\nend";
    QTest::newRow("after the display break") << 2001 << "xyz" << as + "xyzBC\r\nend";
    QTest::newRow("line end beside the display break")
        << 2001 << "x\r\ny" << as + "x\r\nyBC\r\nend";
    QTest::newRow("lone CR before the real line end") << 2003 << "q\r" << as + "BCq\r\n\r\nend";
    QTest::newRow("long text far before the break")
        << 10 << QString(4500, u'z')
        << as.left(10) + QString(4500, u'z') + as.mid(10) + "BC\r\nend";
    QTest::newRow("characters the file cannot hold")
        << 2004 << "\u0436\u00E9\u240A" << as + "BC\r\n\u00E9end";
  }

  void dropsChangeTheLogAsPastesDo() {
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    w->setLog(QString(cardel::kMaxShownLine, u'A') + "BC\r\nend");
    scrollTo(position);
    const QPoint point = pointAt(position);
    QVERIFY(point.x() >= 0);
    DropText(box()->viewport(), point, text);
    QCOMPARE(w->log(), expected);
    QCoreApplication::processEvents();  // long lines are cut once the drop is in
    for (QTextBlock b = box()->document()->begin(); b.isValid(); b = b.next())
      QVERIFY(b.length() <= 2 * cardel::kMaxShownLine + 1);
    QTest::keyClick(box(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(box(), Qt::Key_Return);  // the log and its display still agree
    QCOMPARE(w->log(), expected + "\r\n");
    expectSaved(expected + "\r\n");
  }

  // Pressing in a selection and moving the mouse, as to drag the text across
  // a display break or out to the call-sign box, selects anew: the box
  // starts no drag, so nothing leaves the log and no break becomes a line end.
  void draggingTheSelectionSelectsInstead_data() {
    const QString as(cardel::kMaxShownLine, u'A');
    const QString contacts =
        "001-+-01/12/26---1001---QC1AAA---59---021---JN61FW\r\n"
        "002-+-01/12/26---1002---QC2BBB---59---022---JN61FW";
    const int call = contacts.indexOf("QC2BBB") - 1;  // document positions: one break less
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("moveTo");  // -1: over the call-sign box
    QTest::addColumn<QString>("selected");
    QTest::newRow("into the next paragraph")
        << as + "BC\r\nend" << 1995 << 1999 << 1997 << 2003 << "AAA\u2029BC";
    QTest::newRow("back across the display break")
        << as + "BC\r\nend" << 2001 << 2003 << 2002 << 1996 << "AAAA\u2029B";
    QTest::newRow("call sign to the call-sign box")
        << contacts << call << call + 6 << call + 2 << -1 << "";
  }

  void draggingTheSelectionSelectsInstead() {
    QFETCH(QString, log);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(int, press);
    QFETCH(int, moveTo);
    QFETCH(QString, selected);
    w->setLog(log);
    select(anchor, position);
    QWidget* viewport = box()->viewport();
    const QPoint from = pointAt(press);
    const QPoint to = moveTo >= 0
                          ? pointAt(moveTo)
                          : viewport->mapFromGlobal(w->window->Text2->mapToGlobal(QPoint(4, 4)));
    QVERIFY(from.x() >= 0 && to.x() >= 0);

    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(viewport->mapToGlobal(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QVERIFY(viewport->findChildren<QDrag*>().isEmpty());
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);

    if (moveTo >= 0) QCOMPARE(box()->textCursor().selectedText(), selected);
    QCOMPARE(w->log(), log);
    QVERIFY(w->window->Text2->text().isEmpty());
    expectSaved(log);
  }

  // Whatever way they come, the characters the log file cannot hold never
  // enter the log, so the box shows what "Salva" writes.
  void charactersTheFileCannotHoldNeverEnter_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("typed with another layout") << "type"
                                               << "Q\u0436\u044F1AB"
                                               << "Q1AB" << QByteArray("Q1AB");
    QTest::newRow("pasted") << "paste"
                            << "a\u2192b\U0001F600c"
                            << "abc" << QByteArray("abc");
    QTest::newRow("input method") << "input method"
                                  << "\u0436\u00E9"
                                  << "\u00E9" << QByteArray("\xE9");
    QTest::newRow("letters the file holds")
        << "paste"
        << "\u00C9\u0178\u0160\u0152\u20AC"
        << "\u00C9\u0178\u0160\u0152\u20AC" << QByteArray("\xC9\x9F\x8A\x8C\x80");
    QTest::newRow("accent as a combining mark") << "paste"
                                                << "Citta\u0300"
                                                << "Citt\u00E0" << QByteArray("Citt\xE0");
  }

  void charactersTheFileCannotHoldNeverEnter() {
    QFETCH(QString, gesture);
    QFETCH(QString, text);
    QFETCH(QString, added);
    QFETCH(QByteArray, saved);
    w->setLog("001-+-a\r\n");
    box()->moveCursor(QTextCursor::End);
    if (gesture == "type") {
      TypeText(box(), text);
    } else if (gesture == "paste") {
      QApplication::clipboard()->setText(text);
      QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    } else {
      QInputMethodEvent commit;
      commit.setCommitString(text);
      QApplication::sendEvent(box(), &commit);
    }
    QCOMPARE(w->log(), "001-+-a\r\n" + added);
    QCOMPARE(box()->document()->lastBlock().text(), added);
    QTest::mouseClick(w->window->Command3, Qt::LeftButton);
    QCOMPARE(ReadAll(w->logPath()), "001-+-a\r\n" + saved + "\r\n");
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
