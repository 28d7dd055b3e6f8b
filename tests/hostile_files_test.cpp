// Hostile log files opened through the real window: whatever lies in the
// program folder as cardel.txt, "Apri" must neither crash nor hang, must bring
// in exactly the file's lines, must leave the serial caption alone unless the
// log says otherwise, "Salva" must write back exactly what the box holds, and
// the operator must be able to go on logging afterwards.
//
// The expected log text is computed by the reference model of the log file
// that the fuzz targets share, written independently of the core; the expected
// captions are written out by hand in the case table (and the model is held
// to them too, so a wrong table and a wrong model cannot agree by accident).

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <optional>
#include <random>

#include "reference_model.h"
#include "window_fixture.h"

namespace {

// ---------------------------------------------------------------------------
// Reference model of the log file format.

model::Text ToModel(const QString& text) {
  return model::Text(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
}

QByteArray Encode(const QString& text) {
  const std::string bytes = model::Encode(ToModel(text));
  return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// The serial caption after the log is opened: the number in the four
// characters before the last "-+-" (blanks, tabs and LFs skipped) plus one,
// kept at 999 from 999 up; negative or fractional numbers and a log with no
// "-+-" leave `current` as it is.
QString CaptionAfterOpen(const QString& log, const QString& current) {
  const qsizetype separator = log.lastIndexOf(QStringLiteral("-+-"));
  if (separator < 0) return current;
  const qsizetype from = std::max<qsizetype>(0, separator - 4);
  QString window = log.mid(from, separator - from);
  window.remove(QRegularExpression(QStringLiteral("[ \\t\\n]")));
  static const QRegularExpression kNumber(
      QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?"));
  const auto match = kNumber.match(window);
  const double last = match.hasMatch() ? match.captured(0).toDouble() : 0.0;
  if (last < 0 || last != double(qint64(last))) return current;
  if (last >= 999) return QStringLiteral("999");
  return QStringLiteral("%1").arg(qint64(last) + 1, 3, 10, QChar(u'0'));
}

QString LogAfterOpen(const QString& before, const QByteArray& file) {
  const model::Text log = model::OpenedText(
      ToModel(before), std::string_view(file.constData(), std::size_t(file.size())));
  return QString::fromUtf16(log.data(), qsizetype(log.size()));
}

// The box's document as the operator sees it: a CR LF is a paragraph break, a
// lone LF shows as ␊ and a lone CR as ␍, so no character of the log is lost.
QString AsShown(const QString& log) {
  QString shown;
  shown.reserve(log.size());
  for (qsizetype i = 0; i < log.size(); ++i) {
    const char16_t c = log[i].unicode();
    if (c == u'\r' && i + 1 < log.size() && log[i + 1] == u'\n') {
      shown.append(QChar::ParagraphSeparator);
      ++i;
    } else if (c == u'\n') {
      shown.append(QChar(0x240A));
    } else if (c == u'\r') {
      shown.append(QChar(0x240D));
    } else if (c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1) {
      shown.append(QChar(0xFFFD));
    } else {
      shown.append(QChar(c));
    }
  }
  return shown;
}

QString NextCaption(const QString& caption) {
  const int n = caption.toInt();
  return n >= 999 ? QStringLiteral("999") : QStringLiteral("%1").arg(n + 1, 3, 10, QChar(u'0'));
}

// ---------------------------------------------------------------------------
// Files too big, or too random, to keep in the repository.

QByteArray Generated(const QString& name) {
  QByteArray bytes;
  if (name == "random-64k") {
    // std::mt19937's output sequence is fixed by the C++ standard, so every
    // platform gets the same bytes; the tail fixes the serial.
    std::mt19937 random(1252);
    bytes.resize(64 * 1024);
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    bytes.append("\r\n517-+-END");
  } else if (name == "random-line-ends") {
    // Mostly line ends, separators and number characters, so runs of CR LF,
    // lone CRs and LFs and broken serials come in every combination.
    static const char kAlphabet[] = "\r\n\r\n\r\r\n\n-+-+-0123456789 \t.eEA";
    std::mt19937 random(2026);
    bytes.resize(200 * 1000);
    for (char& b : bytes) b = kAlphabet[random() % (sizeof kAlphabet - 1)];
    bytes.append("\r\n321-+-Z");
  } else if (name == "20mb-no-line-end") {
    const QByteArray tail = "0041-+-END";
    const QByteArray unit = "Q1ABC---59---012---JN61FW ";
    const qsizetype size = 20 * 1024 * 1024;
    bytes.reserve(size);
    while (bytes.size() + unit.size() <= size - tail.size()) bytes.append(unit);
    bytes.append(QByteArray(size - tail.size() - bytes.size(), 'x'));
    bytes.append(tail);
  } else if (name == "million-lines") {
    // Every seventh line ends with a lone CR; the last is serial 001.
    bytes.reserve(18 * 1000 * 1000);
    for (int i = 0; i < 1000 * 1000; ++i) {
      bytes.append(QByteArray::number(i % 999 + 1).rightJustified(3, '0'));
      bytes.append("-+-Q").append(QByteArray::number(i));
      bytes.append(i % 7 == 6 ? "\r" : "\r\n");
    }
  } else if (name == "long-lines") {
    // Three lines of 150,000 characters, the middle one full of lone LFs.
    bytes.append("001-+-").append(QByteArray(150000 - 6, 'A')).append("\r\n");
    bytes.append(QByteArray("ab\n").repeated(50000)).append("\r\n");
    bytes.append("002-+-").append(QByteArray("JN61FW").repeated(25000 - 1));
  }
  return bytes;
}

// ---------------------------------------------------------------------------
// Comparing long texts with a message that points at the first difference.

template <typename S>
QString Escaped(const S& s) {
  QString out;
  for (const auto ch : s) {
    const auto c = static_cast<unsigned>(QChar(ch).unicode());
    if (c >= 0x20 && c < 0x7F)
      out += QChar(c);
    else
      out += QStringLiteral("\\x{%1}").arg(c, 0, 16);
  }
  return out;
}

template <typename S>
QString FirstDifference(const S& actual, const S& expected) {
  if (actual == expected) return {};
  qsizetype at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const qsizetype from = std::max<qsizetype>(0, at - 12);
  return QStringLiteral("differ at %1 (sizes %2 vs %3): actual \"%4\" expected \"%5\"")
      .arg(at)
      .arg(actual.size())
      .arg(expected.size())
      .arg(Escaped(actual.mid(from, 40)), Escaped(expected.mid(from, 40)));
}

#define EXPECT_SAME(actual, expected)                                 \
  do {                                                                \
    const QString difference = FirstDifference((actual), (expected)); \
    QVERIFY2(difference.isEmpty(), qPrintable(difference));           \
  } while (false)

// A check made in a helper ends the case too, not only the helper.
#define CHECKED(call)                       \
  do {                                      \
    call;                                   \
    if (QTest::currentTestFailed()) return; \
  } while (false)

const QString kNoMessage;
const QString kNoLogFound = QStringLiteral("Nessun LOG trovato!.");
const QString kEmptyLogRefused = QStringLiteral("Impossibile salvare un LOG vuoto");

bool IsBig(const QByteArray& bytes) { return bytes.size() > 1024 * 1024; }

}  // namespace

class HostileFilesTest : public QObject {
  Q_OBJECT

 private:
  // Where cardel.txt is put: the file's bytes, or a folder when there are none.
  static void placeLogFile(const WindowUnderTest& w, const std::optional<QByteArray>& file) {
    if (file)
      WriteAll(w.logPath(), *file);
    else
      QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("cardel.txt")));
  }

  static void show(WindowUnderTest& w) {
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
  }

  // Clicks "Apri" and lets the window repaint, as it would for the operator.
  static qint64 clickOpen(WindowUnderTest& w) {
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(w.window->Command2, Qt::LeftButton);
    QCoreApplication::processEvents();
    return clock.elapsed();
  }

  static void expectMessages(const WindowUnderTest& w, int count, const QString& lastText,
                             QMessageBox::Icon icon) {
    QCOMPARE(w.platform.shown.size(), count);
    if (lastText.isEmpty()) return;
    const auto& box = w.platform.shown.last();
    QCOMPARE(box.text, lastText);
    QCOMPARE(box.title, QStringLiteral("Ventor Cardel"));
    QCOMPARE(box.icon, icon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

  // The log exact, and the box showing it with no paragraph too long to lay
  // out quickly; its display breaks taken out, it shows the log as it is.
  static void expectLog(const WindowUnderTest& w, const QString& expected) {
    EXPECT_SAME(w.log(), expected);
    const QTextDocument* document = w.window->Text1->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
      QVERIFY2(block.length() <= 2 * cardel::kMaxShownLine, qPrintable(block.text().left(40)));
    const QString raw = document->toRawText().replace(QChar(u'\n'), QChar::ParagraphSeparator);
    QString shown;
    qsizetype from = 0;
    for (const int at : w.window->Text1->displayBreaks()) {
      QCOMPARE(raw[at], QChar::ParagraphSeparator);
      shown.append(QStringView(raw).mid(from, at - from));
      from = at + 1;
    }
    shown.append(QStringView(raw).mid(from));
    EXPECT_SAME(shown, AsShown(expected));
  }

 private slots:
  void openSaveAndGoOn_data() {
    QTest::addColumn<QString>("source");        // file in tests/data, "gen:" name, or "folder"
    QTest::addColumn<QString>("emptyCaption");  // after Apri into an empty log captioned 007
    QTest::addColumn<QString>("fullCaption");   // after Apri into two contacts, captioned 003
    QTest::addColumn<bool>("savedLog");         // the file is a saved log: Salva gives it back

    const auto row = [](const char* source, const char* empty, const char* full, bool savedLog) {
      QTest::newRow(source) << QString::fromLatin1(source) << QString::fromLatin1(empty)
                            << QString::fromLatin1(full) << savedLog;
    };
    // Nothing to read.
    row("folder", "007", "003", false);
    row("empty.txt", "007", "003", false);
    // A log as the program saves it.
    row("saved-log.txt", "004", "004", true);
    // Any byte at all.
    row("all-bytes.bin", "007", "003", false);
    row("nul-bytes.txt", "043", "043", true);
    row("nul-before-serial.txt", "001", "001", false);
    row("control-chars.txt", "002", "002", false);
    row("undefined-bytes.txt", "002", "002", true);
    row("latin1-accents.txt", "003", "003", true);
    row("gen:random-64k", "518", "518", false);
    // Line ends.
    row("cr-only.txt", "007", "003", false);
    row("lf-only.txt", "007", "003", false);
    row("crlf-runs.txt", "007", "003", false);
    row("mixed-line-ends.txt", "007", "003", false);
    row("cr-cr-lf.txt", "003", "003", false);
    row("lf-cr.txt", "003", "003", false);
    row("no-final-line-end.txt", "003", "003", false);
    row("blank-lines.txt", "007", "003", false);
    row("gen:random-line-ends", "322", "322", false);
    // Where the last "-+-" is and what stands before it.
    row("separator-at-start.txt", "001", "001", false);
    row("separator-alone.txt", "001", "001", false);
    row("separator-run.txt", "001", "001", false);
    row("separator-in-call.txt", "001", "001", true);
    row("separator-in-locator.txt", "001", "001", true);
    row("serial-999.txt", "999", "999", true);
    row("serial-1000.txt", "999", "999", true);
    row("serial-minus-4.txt", "007", "003", false);
    row("serial-minus-4-first-line.txt", "007", "001", false);
    row("serial-1.5.txt", "007", "003", false);
    row("serial-1e2.txt", "101", "101", false);
    row("serial-9e-9.txt", "007", "003", false);
    row("serial-12e.txt", "013", "013", false);
    row("serial-plus-5.txt", "006", "006", false);
    row("serial-space-7.txt", "008", "001", false);
    row("serial-tab-space-7.txt", "008", "008", false);
    row("serial-tabs-42.txt", "043", "043", false);
    row("serial-abc.txt", "001", "001", false);
    row("serial-superscript.txt", "001", "001", false);
    // Other encodings, read as Windows-1252 bytes.
    row("utf8-bom.txt", "001", "001", true);
    row("utf8-text.txt", "003", "003", true);
    row("utf16le-bom.txt", "007", "003", false);
    row("utf16be-bom.txt", "007", "003", false);
    // Size.
    row("gen:long-lines", "003", "003", false);
    row("gen:20mb-no-line-end", "042", "042", false);
    row("gen:million-lines", "002", "002", false);
  }

  void openSaveAndGoOn() {
    QFETCH(QString, source);
    QFETCH(QString, emptyCaption);
    QFETCH(QString, fullCaption);
    QFETCH(bool, savedLog);

    std::optional<QByteArray> file;
    if (source.startsWith(u"gen:")) {
      file = Generated(source.mid(4));
      QVERIFY(!file->isEmpty());
    } else if (source != u"folder") {
      const QString path = QFINDTESTDATA(QStringLiteral("data/") + source);
      QVERIFY2(!path.isEmpty(), qPrintable(source));
      file = ReadAll(path);
    }
    const bool big = file && IsBig(*file);
    QElapsedTimer wholeCase;
    wholeCase.start();

    // Apri into an empty log.
    {
      WindowUnderTest w;
      CHECKED(show(w));
      CHECKED(placeLogFile(w, file));
      w.window->Frame1->setTitle(QStringLiteral("007"));
      const qint64 openMs = clickOpen(w);

      const QString expected = file ? LogAfterOpen(QString(), *file) : QString();
      QCOMPARE(CaptionAfterOpen(expected, QStringLiteral("007")), emptyCaption);
      CHECKED(
          expectMessages(w, file ? 0 : 1, file ? kNoMessage : kNoLogFound, QMessageBox::Warning));
      CHECKED(expectLog(w, expected));
      QCOMPARE(w.window->Frame1->title(), emptyCaption);

      // Salva writes the box back, or refuses an empty box and leaves the
      // file alone.
      QElapsedTimer clock;
      clock.start();
      QTest::mouseClick(w.window->Command3, Qt::LeftButton);
      const qint64 saveMs = clock.elapsed();
      if (expected.isEmpty()) {
        CHECKED(expectMessages(w, file ? 1 : 2, kEmptyLogRefused, QMessageBox::Information));
        if (file)
          QCOMPARE(ReadAll(w.logPath()), *file);
        else
          QVERIFY(QFileInfo(w.logPath()).isDir());
      } else {
        CHECKED(expectMessages(w, 1, "Log salvato in " + QDir::toNativeSeparators(w.logPath()),
                               QMessageBox::Information));
        const QByteArray saved = ReadAll(w.logPath());
        EXPECT_SAME(saved, Encode(expected) + "\r\n");
        if (savedLog) EXPECT_SAME(saved, *file);
      }
      EXPECT_SAME(w.log(), expected);
      QCOMPARE(w.window->Frame1->title(), emptyCaption);
      if (big)
        qDebug("%s into an empty log: Apri %lld ms, Salva %lld ms", qPrintable(source), openMs,
               saveMs);
    }

    // Apri into a log that already holds two contacts, then go on logging.
    WindowUnderTest w;
    CHECKED(show(w));
    CHECKED(
        w.enterContact(QStringLiteral("Q1ABC"), QStringLiteral("012"), QStringLiteral("JN61FW")));
    CHECKED(
        w.enterContact(QStringLiteral("Q2ABC"), QStringLiteral("013"), QStringLiteral("JN61FX")));
    const QString twoContacts = QsoLineText("001", "0818", "Q1ABC", "012", "JN61FW") +
                                QsoLineText("002", "0818", "Q2ABC", "013", "JN61FX");
    QCOMPARE(w.log(), twoContacts);
    QCOMPARE(w.window->Frame1->title(), QStringLiteral("003"));
    CHECKED(placeLogFile(w, file));
    const qint64 openMs = clickOpen(w);

    const QString expected = file ? LogAfterOpen(twoContacts, *file) : twoContacts;
    QCOMPARE(CaptionAfterOpen(expected, QStringLiteral("003")), fullCaption);
    CHECKED(expectMessages(w, file ? 0 : 1, file ? kNoMessage : kNoLogFound, QMessageBox::Warning));
    CHECKED(expectLog(w, expected));
    QCOMPARE(w.window->Frame1->title(), fullCaption);

    // The window still takes a contact, numbered from the restored caption.
    const QString call = QStringLiteral("Q9ZZX");
    QVERIFY(!expected.contains(call));  // otherwise it would be refused as a duplicate
    QElapsedTimer clock;
    clock.start();
    CHECKED(w.enterContact(call, QStringLiteral("001"), QStringLiteral("JN61")));
    QCoreApplication::processEvents();
    const qint64 contactMs = clock.elapsed();
    CHECKED(expectMessages(w, file ? 0 : 1, kNoMessage, QMessageBox::NoIcon));
    CHECKED(expectLog(w, expected + QsoLineText(fullCaption, "0818", call, "001", "JN61")));
    QCOMPARE(w.window->Frame1->title(), NextCaption(fullCaption));
    QVERIFY(w.window->Text2->text().isEmpty());
    if (big)
      qDebug("%s into two contacts: Apri %lld ms, next contact %lld ms; whole case %lld ms",
             qPrintable(source), openMs, contactMs, wholeCase.elapsed());
  }
};

QTEST_MAIN(HostileFilesTest)
#include "hostile_files_test.moc"
