// Speed of the window and of the core on contest logs of 1k, 10k and 100k
// contacts. Every window figure comes from the real Form15, shown on the
// offscreen platform and driven by real key and mouse events, so it includes
// everything Qt does for the operator's keystroke or click up to the moment
// the handler returns.
//
// Each benchmark times one operation per iteration with the wall clock and
// reports, besides Google Benchmark's mean, the median of the single
// operations (counter median_ms) and their 90th percentile (p90_ms). The work
// Qt defers to the event loop after the operation (mostly repainting) is timed
// apart, as after_median_ms.
//
//   cardel_bench [benchmark options]   the benchmarks
//   cardel_bench --memory LINES        memory of a window holding LINES
//                                      contacts opened with "Apri", as JSON
//
// Run with QT_QPA_PLATFORM=offscreen; scripts/bench.sh does all of it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "call_check.h"
#include "export_actions.h"
#include "history.h"
#include "log_box.h"
#include "log_file.h"
#include "log_model.h"
#include "main_window.h"
#include "score_window.h"
#include "platform.h"
#include "qso_entry.h"
#include "qso_line.h"
#include "qt_text.h"
#include "recovery.h"
#include "recovery_file.h"

namespace {

using cardel::Text;
using cardel::TextView;
using Clock = std::chrono::steady_clock;

constexpr int kLogSizes[] = {1'000, 10'000, 100'000};

// ---------------------------------------------------------------------------
// A realistic contest log.

// SplitMix64: the same log on every machine and every run.
class Prng {
 public:
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  char letter(char first, char last) { return static_cast<char>(first + below(last - first + 1)); }

 private:
  std::uint64_t state_ = 0xCA4DE1ull;
};

// Prefixes of letters only and never a Q: a call sign starting "QX9" can then
// occur nowhere in a log, which gives calls known to be absent.
constexpr const char* kPrefixes[] = {"I",  "IK", "IZ", "IW", "IU", "IV", "DL", "DK", "DJ",
                                     "F",  "G",  "M",  "OK", "OM", "SP", "HA", "S",  "OE",
                                     "EA", "YU", "LZ", "YO", "ON", "PA", "HB", "OH", "SM",
                                     "LA", "OZ", "EI", "GW", "EW", "UR", "UA", "K",  "W"};
constexpr const char* kBands[] = {"7 Mhz",  "14 Mhz",  "21 Mhz",  "28 Mhz",
                                  "50 Mhz", "144 Mhz", "432 Mhz", "1296 Mhz"};

std::string ThreeDigits(int n) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%03d", n);
  return buffer;
}

std::string CallSign(Prng& prng) {
  // Prefix, one digit and a suffix: 4 to 7 characters.
  const std::string prefix = kPrefixes[prng.below(std::size(kPrefixes))];
  const int plen = static_cast<int>(prefix.size());
  const int minSuffix = std::max(1, 3 - plen);
  const int maxSuffix = std::min(4, 6 - plen);
  std::string call = prefix;
  call.push_back(static_cast<char>('0' + prng.below(10)));
  const int suffix = minSuffix + prng.below(maxSuffix - minSuffix + 1);
  for (int i = 0; i < suffix; ++i) call.push_back(prng.letter('A', 'Z'));
  return call;
}

// The log as the program writes it: one line per contact, each ending CR LF,
// ASCII only, so its Windows-1252 bytes are its characters one for one. Each
// line goes to `sink` as it is made.
// The worst case for the duplicate check: a call sign that ends every call
// sign of the log without being one of them.
constexpr const char* kTailOfEveryCall = "ZZZZ";

// `tails`: every call sign of the log ends in kTailOfEveryCall.
template <typename Sink>
void MakeLog(int lines, Sink&& sink, std::string* middleCall = nullptr, bool tails = false) {
  Prng prng;
  std::string line;
  int minuteOfDay = 14 * 60;
  for (int i = 0; i < lines; ++i) {
    minuteOfDay = (minuteOfDay + prng.below(3)) % (24 * 60);
    const std::string call = CallSign(prng) + (tails ? kTailOfEveryCall : "");
    if (middleCall && i == lines / 2) *middleCall = call;
    line = ThreeDigits(std::min(i + 1, cardel::kLastSerial));
    line += "-+-07/12/2026---";
    line += ThreeDigits(minuteOfDay / 60).substr(1) + ThreeDigits(minuteOfDay % 60).substr(1);
    line += "---" + call + "---59---" + ThreeDigits(1 + prng.below(999)) + "---";
    line += prng.letter('A', 'R');
    line += prng.letter('A', 'R');
    line += static_cast<char>('0' + prng.below(10));
    line += static_cast<char>('0' + prng.below(10));
    line += prng.letter('A', 'X');
    line += prng.letter('A', 'X');
    if (prng.below(3) == 0) line += std::string("-->") + kBands[prng.below(std::size(kBands))];
    line += "\r\n";
    sink(line);
  }
}

std::string MakeLogBytes(int lines, std::string* middleCall = nullptr, bool tails = false) {
  std::string log;
  log.reserve(static_cast<std::size_t>(lines) * 56);
  MakeLog(
      lines, [&](const std::string& line) { log += line; }, middleCall, tails);
  return log;
}

Text Widen(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

// A call sign guaranteed not to be in any generated log, different for each n.
QString AbsentCall(int n) {
  QString call = QStringLiteral("QX9");
  for (int i = 0; i < 3; ++i, n /= 26) call.append(QChar(u'A' + n % 26));
  return call;
}

// ---------------------------------------------------------------------------
// Timing.

class Samples {
 public:
  explicit Samples(benchmark::State& state) : state_(state) {}

  void add(Clock::duration took) {
    const double seconds = std::chrono::duration<double>(took).count();
    state_.SetIterationTime(seconds);
    times_.push_back(seconds);
  }
  void addAfter(Clock::duration took) {
    after_.push_back(std::chrono::duration<double>(took).count());
  }

  void report(int lines) {
    state_.counters["lines"] = lines;
    if (times_.empty()) return;
    state_.counters["median_ms"] = Quantile(times_, 0.5) * 1e3;
    state_.counters["p90_ms"] = Quantile(times_, 0.9) * 1e3;
    state_.counters["min_ms"] = Quantile(times_, 0.0) * 1e3;
    if (!after_.empty()) state_.counters["after_median_ms"] = Quantile(after_, 0.5) * 1e3;
  }

 private:
  static double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const auto at = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(at, v.size() - 1)];
  }

  benchmark::State& state_;
  std::vector<double> times_;
  std::vector<double> after_;
};

template <typename Op>
Clock::duration TimeIt(Op&& op) {
  const auto start = Clock::now();
  op();
  return Clock::now() - start;
}

// The deferred work (repaints, layout) the operation left to the event loop.
Clock::duration Settle() {
  return TimeIt([] {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  });
}

// ---------------------------------------------------------------------------
// The window.

// The machine for the benchmarks: a fixed clock, a temporary program folder,
// message boxes counted instead of shown; files are really written and read.
class BenchPlatform : public cardel::Platform {
 public:
  QString folder;
  int messages = 0;

  QDateTime localNow() const override { return {QDate(2026, 12, 7), QTime(15, 18)}; }
  QString programFolder() const override { return folder; }
  QMessageBox::StandardButton showMessage(QWidget*, const cardel::MessageRequest&) override {
    ++messages;
    return QMessageBox::Ok;
  }
};

struct BenchWindow {
  int lines = 0;
  bool tails = false;
  std::string bytes;
  Text log;
  std::string middleCall;
  Text serial;
  int shownLength = 0;  // the document's length when it shows `log`
  QTemporaryDir dir;
  BenchPlatform platform;
  std::unique_ptr<cardel::Form15> form;

  explicit BenchWindow(int n, bool withTails = false) : lines(n), tails(withTails) {
    bytes = MakeLogBytes(n, &middleCall, tails);
    log = Widen(bytes);
    serial = cardel::RestoreSerial(log).value_or(Text(cardel::kFirstSerial));
    platform.folder = dir.path();
    form = std::make_unique<cardel::Form15>(platform);
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get())) std::fputs("window not active\n", stderr);
    form->Text1->setLogText(log);
    shownLength = form->Text1->document()->characterCount() - 1;
    form->Frame1->setTitle(cardel::ToQString(serial));
    Settle();
  }

  cardel::LogBox& box() const { return *form->Text1; }

  // Back to the log under test: contacts entered since are cut from the end
  // of the document, which is cheap; anything else redisplays the log.
  void restoreLog() {
    if (box().logText() == log) return;
    if (box().logText().starts_with(log)) {
      QTextCursor tail(box().document());
      tail.setPosition(shownLength);
      tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      tail.removeSelectedText();
    }
    if (box().logText() != log) box().setLogText(log);
    box().document()->clearUndoRedoStacks();
  }

  // The state each benchmark starts from: the log under test, the fields
  // empty, multiband off and the caret in the call sign.
  void reset() {
    if (form->Check2->isChecked()) form->Check2->click();
    form->Text2->clear();
    form->Text3->clear();
    form->Text4->clear();
    restoreLog();
    form->Frame1->setTitle(cardel::ToQString(serial));
    form->Text2->setFocus();
    Settle();
  }
};

// One window at a time: the benchmarks are registered size by size, so each
// size builds its window once. main() ends it before the application.
std::unique_ptr<BenchWindow> currentWindow;

BenchWindow& WindowWith(int lines, bool tails = false) {
  if (!currentWindow || currentWindow->lines != lines || currentWindow->tails != tails) {
    currentWindow.reset();
    currentWindow = std::make_unique<BenchWindow>(lines, tails);
  }
  currentWindow->reset();
  return *currentWindow;
}

// The log kept in the recovery file as the program keeps it, from the whole
// log written once to the normal exit that removes the file.
class ProtectedLog {
 public:
  ProtectedLog(BenchWindow& w, bool on) : w_(w), on_(on) {
    if (!on_) return;
    w_.form->startRecovery();
    while (!w_.form->recovery().isWritten()) QTest::qWait(5);
  }
  ~ProtectedLog() {
    if (on_) w_.form->recovery().finish();
  }
  ProtectedLog(const ProtectedLog&) = delete;
  ProtectedLog& operator=(const ProtectedLog&) = delete;

 private:
  BenchWindow& w_;
  bool on_;
};

int Iterations(int lines, int small, int medium, int large) {
  return lines <= 1'000 ? small : lines <= 10'000 ? medium : large;
}

// The call sign typed: not in the log, in the log (the middle contact's), or
// the end of every call sign of the log but none of them.
enum class Typed { Absent, Present, TailOfEveryCall };

// Whether every line of the middle contact's call has a band: with "..."
// chosen, the call is then on other bands only.
bool MiddleCallOnBandsOnly(const BenchWindow& w) {
  const std::string field = "---" + w.middleCall + "---59---";
  for (auto at = w.bytes.find(field); at != std::string::npos; at = w.bytes.find(field, at + 1)) {
    const auto end = w.bytes.find("\r\n", at);
    if (w.bytes.substr(at, end - at).find("-->") == std::string::npos) return false;
  }
  return true;
}

// a. One keystroke in the call sign, from the text typed so far to the mark.
void Text2Keystroke(benchmark::State& state, int lines, Typed typed, bool multiband) {
  BenchWindow& w = WindowWith(lines, typed == Typed::TailOfEveryCall);
  // Multiband right after it is switched on: the band box shows "...".
  if (multiband) {
    QTest::mouseClick(w.form->Check2, Qt::LeftButton);
    w.form->Text2->setFocus();
  }
  // Operators type lower case; the window writes it back upper-cased.
  const QString call = (typed == Typed::Present           ? QString::fromLatin1(w.middleCall)
                        : typed == Typed::TailOfEveryCall ? QString::fromLatin1(kTailOfEveryCall)
                                                          : QStringLiteral("QX9A"))
                           .toLower();
  QTest::keyClicks(w.form->Text2, call.chopped(1));
  const char last = call.back().toLatin1();
  cardel::CallMark expected = cardel::CallMark::Normal;
  if (typed == Typed::Present)
    expected = multiband && MiddleCallOnBandsOnly(w) ? cardel::CallMark::NewBand
                                                     : cardel::CallMark::Duplicate;

  Samples samples(state);
  bool marked = true;
  for (auto _ : state) {
    samples.add(TimeIt([&] { QTest::keyClick(w.form->Text2, last); }));
    marked = marked && w.form->callMark() == expected && w.form->Text2->text() == call.toUpper();
    samples.addAfter(Settle());
    QTest::keyClick(w.form->Text2, Qt::Key_Backspace);
  }
  samples.report(lines);
  if (!marked) state.SkipWithError("the call sign was not marked as expected");
  w.reset();
}

// b. The OK command, pressed with Enter in the locator, until the caret is
// back in the call sign.
// With the recovery file on, each contact is appended and synced to the disk
// before the command returns.
// With `score`, "Punteggio" is open and counts the points from a station's
// locator, renewed after each contact.
void OkCommand(benchmark::State& state, int lines, bool protect, bool score = false) {
  BenchWindow& w = WindowWith(lines);
  const ProtectedLog kept(w, protect);
  if (score) {
    w.form->exportActions().settings().keep(
        cardel::Station{QStringLiteral("Q9XYZ"), QStringLiteral("JN61FW")});
    w.form->scoreAction->trigger();
    // The score window must not keep the keyboard from the log.
    QApplication::setActiveWindow(w.form.get());
  }
  Samples samples(state);
  bool entered = true;
  int n = 0;
  for (auto _ : state) {
    w.restoreLog();
    // The offscreen platform hands the activation to a window whose size
    // changes, as the score window's does; a desktop does not.
    if (score) QApplication::setActiveWindow(w.form.get());
    w.form->Text2->setText(AbsentCall(n++));
    w.form->Text3->setText(QStringLiteral("123"));
    w.form->Text4->setText(QStringLiteral("JN45AB"));
    w.form->Text4->setFocus();
    const std::size_t before = w.box().logText().size();
    samples.add(TimeIt([&] { QTest::keyClick(w.form->Text4, Qt::Key_Return); }));
    entered = entered && w.box().logText().size() > before && w.form->Text2->text().isEmpty() &&
              QApplication::focusWidget() == w.form->Text2;
    samples.addAfter(Settle());
  }
  samples.report(lines);
  if (!entered) state.SkipWithError("a contact was not entered");
  if (score) {
    const auto& shown = w.form->scoreWindow().lines();
    if (shown.isEmpty() || !shown.front()->text().startsWith(QStringLiteral("Collegamenti: ")))
      state.SkipWithError("the score was not shown");
    w.form->scoreAction->trigger();
    w.form->exportActions().settings().keep(cardel::Station{});
  }
  w.reset();
}

// c. "Apri" of the saved log into an empty log box.
void OpenCommand(benchmark::State& state, int lines) {
  BenchWindow& w = WindowWith(lines);
  {
    QFile file(w.form->logFilePath());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(w.bytes.data(), static_cast<qint64>(w.bytes.size())) !=
            static_cast<qint64>(w.bytes.size())) {
      state.SkipWithError("cannot write the log file");
      return;
    }
  }
  Samples samples(state);
  bool opened = true;
  for (auto _ : state) {
    w.box().setLogText(u"");
    w.form->Frame1->setTitle(QStringLiteral("001"));
    Settle();
    samples.add(TimeIt([&] { QTest::mouseClick(w.form->Command2, Qt::LeftButton); }));
    opened = opened && w.box().logText() == w.log &&
             w.form->Frame1->title() == cardel::ToQString(w.serial);
    samples.addAfter(Settle());
  }
  samples.report(lines);
  if (!opened) state.SkipWithError("the log was not opened as saved");
  QFile::remove(w.form->logFilePath());
  w.reset();
}

// d. "Salva" of the log to the log file, committed to disk.
void SaveCommand(benchmark::State& state, int lines) {
  BenchWindow& w = WindowWith(lines);
  Samples samples(state);
  const int messagesBefore = w.platform.messages;
  for (auto _ : state) {
    samples.add(TimeIt([&] { QTest::mouseClick(w.form->Command3, Qt::LeftButton); }));
    samples.addAfter(Settle());
  }
  samples.report(lines);
  const auto saved = QFileInfo(w.form->logFilePath()).size();
  if (saved != static_cast<qint64>(w.bytes.size() + 2) ||
      w.platform.messages - messagesBefore != static_cast<int>(state.iterations()))
    state.SkipWithError("the log was not saved");
  QFile::remove(w.form->logFilePath());
  w.reset();
}

// e. One letter typed in the middle of the log box.
// With the recovery file on, the rewrite it schedules runs, when due, in the
// work left to the event loop (its copy of the log) and on its own thread.
void Text1Keystroke(benchmark::State& state, int lines, bool protect) {
  BenchWindow& w = WindowWith(lines);
  const ProtectedLog kept(w, protect);
  const int middle = w.shownLength / 2;
  auto placeCaret = [&](int position) {
    QTextCursor caret = w.box().textCursor();
    caret.setPosition(position);
    w.box().setTextCursor(caret);
  };
  // Where the letter lands in the log: each line break before it is CR LF.
  const std::size_t logIndex =
      static_cast<std::size_t>(middle + w.box().document()->findBlock(middle).blockNumber());
  w.box().setFocus();
  Samples samples(state);
  bool typed = true;
  for (auto _ : state) {
    placeCaret(middle);
    Settle();
    samples.add(TimeIt([&] { QTest::keyClick(&w.box(), 'x'); }));
    typed = typed && w.box().logText().size() == w.log.size() + 1 &&
            w.box().logText()[logIndex] == u'x';
    samples.addAfter(Settle());
    placeCaret(middle + 1);
    QTest::keyClick(&w.box(), Qt::Key_Backspace);
  }
  samples.report(lines);
  if (!typed || w.box().logText() != w.log) state.SkipWithError("the letter was not typed");
  w.reset();
}

// f. One keystroke in the locator that completes it, to the distance shown
// (or, without a station locator, to the same keystroke as before there was
// a distance).
void Text4Keystroke(benchmark::State& state, int lines, bool station) {
  BenchWindow& w = WindowWith(lines);
  w.form->exportActions().settings().keep(
      cardel::Station{QString(), station ? QStringLiteral("JN61FW") : QString()});
  QTest::keyClicks(w.form->Text4, "jo22a");
  const QString expected = station ? QStringLiteral("1292 km 333\u00B0") : QString();
  Samples samples(state);
  bool shown = true;
  for (auto _ : state) {
    samples.add(TimeIt([&] { QTest::keyClick(w.form->Text4, 'b'); }));
    shown = shown && w.form->Text4->text() == QStringLiteral("JO22AB") &&
            w.form->Label5->text() == expected;
    samples.addAfter(Settle());
    QTest::keyClick(w.form->Text4, Qt::Key_Backspace);
  }
  samples.report(lines);
  if (!shown) state.SkipWithError("the distance was not shown as expected");
  w.form->exportActions().settings().keep(cardel::Station{});
  w.reset();
}

// Typing without a pause in the middle of the log box, a key every 30 ms
// for 15 s: the longest an edit stays off the recovery file, measured as the
// longest time between two replacements of the file (the first counted from
// the first key).
void Text1Typing(benchmark::State& state, int lines) {
  BenchWindow& w = WindowWith(lines);
  const ProtectedLog kept(w, true);
  const QString path = w.form->recovery().path();
  QTextCursor caret = w.box().textCursor();
  caret.setPosition(w.shownLength / 2);
  w.box().setTextCursor(caret);
  w.box().setFocus();
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    QDateTime stamp = QFileInfo(path).lastModified();
    qint64 last = 0;
    qint64 longest = 0;
    int replacements = 0;
    while (clock.elapsed() < 15'000) {
      QTest::keyClick(&w.box(), 'x');
      QTest::qWait(30);
      if (const QDateTime now = QFileInfo(path).lastModified(); now != stamp) {
        stamp = now;
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
        ++replacements;
      }
    }
    longest = std::max(longest, clock.elapsed() - last);
    state.SetIterationTime(double(longest) / 1000);
    state.counters["replacements"] = replacements;
  }
  w.reset();
}

// ---------------------------------------------------------------------------
// The core alone, on the same logs.

struct CoreLog {
  int lines = 0;
  std::string bytes;
  Text log;
  // Indexed on first use only: most rows never ask it.
  const cardel::LogModel& model() const {
    if (!indexed) {
      indexed = std::make_unique<cardel::LogModel>();
      indexed->setText(log);
    }
    return *indexed;
  }
  mutable std::unique_ptr<cardel::LogModel> indexed;
};

const CoreLog& CoreLogWith(int lines) {
  static CoreLog current;
  if (current.lines != lines) {
    current.lines = lines;
    current.bytes = MakeLogBytes(lines);
    current.log = Widen(current.bytes);
    current.indexed.reset();
  }
  return current;
}

template <typename Op>
void CoreBenchmark(benchmark::State& state, int lines, Op op) {
  const CoreLog& log = CoreLogWith(lines);
  Samples samples(state);
  for (auto _ : state) samples.add(TimeIt([&] { op(log); }));
  samples.report(lines);
}

// The model's share of "Apri": the whole log indexed into an empty model.
void ModelSetText(benchmark::State& state, int lines) {
  const CoreLog& log = CoreLogWith(lines);
  Samples samples(state);
  for (auto _ : state) {
    cardel::LogModel model;
    Text copy = log.log;
    samples.add(TimeIt([&] { model.setText(std::move(copy)); }));
  }
  samples.report(lines);
}

// A rewrite of the recovery file after an edit of the log box, as the window
// asks for it: the copy of the log into the writer's spare buffer, a slice
// per turn of the event loop, is all that runs on the window's thread (timed
// here: the longest slice); encoding, writing and syncing the whole file run
// on the writer's own (timed here from the first slice until it is idle).
void RecoveryRewrite(benchmark::State& state, int lines, bool windowThread) {
  const CoreLog& log = CoreLogWith(lines);
  QTemporaryDir dir;
  cardel::Platform platform;
  cardel::RecoveryWriter writer(platform, dir.filePath("cardel-recupero.txt"), [](QString) {});
  if (writer.open(false)) {
    state.SkipWithError("cannot write the recovery file");
    return;
  }
  Samples samples(state);
  for (auto _ : state) {
    writer.prepareSpare(log.log.size());  // as the first change of the log asks
    while (!writer.idle()) std::this_thread::sleep_for(std::chrono::microseconds(100));
    Text copy = writer.takeSpare();
    copy.clear();
    Clock::duration longestSlice{};
    const auto written = TimeIt([&] {
      for (bool done = false; !done;) {
        const auto slice = TimeIt([&] { done = cardel::CopyNextSlice(copy, log.log); });
        longestSlice = std::max(longestSlice, slice);
      }
      writer.replace(std::move(copy));
      while (!writer.idle()) std::this_thread::sleep_for(std::chrono::microseconds(100));
    });
    samples.add(windowThread ? longestSlice : written);
  }
  samples.report(lines);
}

void RegisterRecoveryRewrites() {
  for (const int lines : {100'000, 900'000})
    benchmark::RegisterBenchmark(("recovery/typing_longest_wait/" + std::to_string(lines)).c_str(),
                                 [=](benchmark::State& s) { Text1Typing(s, lines); })
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  for (const int lines : {1'000, 10'000, 100'000, 900'000}) {
    const std::string size = "/" + std::to_string(lines);
    for (const bool windowThread : {true, false})
      benchmark::RegisterBenchmark(
          ((windowThread ? "recovery/window_thread_slice" : "recovery/writer_thread_rewrite") +
           size)
              .c_str(),
          [=](benchmark::State& s) { RecoveryRewrite(s, lines, windowThread); })
          ->Iterations(lines < 900'000 ? 50 : 10)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
  }
}

// ---------------------------------------------------------------------------
// The known locators read at start, from a history of distinct stations.

// Station n's call sign, different for every n below 6 million: prefix,
// digit and three letters.
std::string StationCall(int n) {
  std::string call = kPrefixes[n % std::size(kPrefixes)];
  n /= static_cast<int>(std::size(kPrefixes));
  call.push_back(static_cast<char>('0' + n % 10));
  n /= 10;
  for (int i = 0; i < 3; ++i, n /= 26) call.push_back(static_cast<char>('A' + n % 26));
  return call;
}

std::string RandomLocator(Prng& prng) {
  return {prng.letter('A', 'R'), prng.letter('A', 'R'), prng.letter('0', '9'),
          prng.letter('0', '9'), prng.letter('A', 'X'), prng.letter('A', 'X')};
}

// `stations` lines, CR LF ended: "!!Order!!" columns with a name, or plain
// "CALL LOCATOR YYYYMMDD".
std::string MakeHistoryBytes(int stations, bool callHistory) {
  Prng prng;
  std::string bytes = callHistory ? "!!Order!!,Call,Name,Loc1,\r\n" : "";
  bytes.reserve(static_cast<std::size_t>(stations) * 32);
  for (int i = 0; i < stations; ++i) {
    const std::string call = StationCall(i);
    const std::string locator = RandomLocator(prng);
    if (callHistory)
      bytes += call + ",Mario," + locator + ",\r\n";
    else
      bytes += call + " " + locator + " 2026" + ThreeDigits(1 + prng.below(12)).substr(1) +
               ThreeDigits(1 + prng.below(28)).substr(1) + "\r\n";
  }
  return bytes;
}

// A read of the whole file into a fresh history, as a start with one such
// file in "storico" does.
void HistoryRead(benchmark::State& state, int stations, bool callHistory) {
  const std::string bytes = MakeHistoryBytes(stations, callHistory);
  Samples samples(state);
  std::size_t kept = 0;
  for (auto _ : state) {
    // Destroyed outside the timing: the program keeps it until it ends.
    cardel::History history;
    samples.add(TimeIt([&] { history.add(cardel::ReadHistoryFile(bytes)); }));
    kept = history.stationCount();
  }
  samples.report(stations);
  state.counters["stations"] = static_cast<double>(kept);
  state.counters["file_mb"] = static_cast<double>(bytes.size()) / 1e6;
  if (kept != static_cast<std::size_t>(stations)) state.SkipWithError("stations were lost");
}

// A thousand look-ups of typed call signs, half of them known, per iteration:
// median_ms is the microseconds of one.
void HistoryLookup(benchmark::State& state, int stations) {
  cardel::History history;
  history.add(cardel::ReadHistoryFile(MakeHistoryBytes(stations, false)));
  std::vector<Text> typed;
  Prng prng;
  for (int i = 0; i < 1000; ++i)
    typed.push_back(Widen(i % 2 ? StationCall(prng.below(stations)) : "QX9" + StationCall(i)));
  Samples samples(state);
  std::size_t found = 0;
  for (auto _ : state) {
    found = 0;
    samples.add(TimeIt([&] {
      for (const Text& call : typed) found += history.locatorOf(call).has_value();
    }));
  }
  samples.report(stations);
  if (found != 500) state.SkipWithError("the known call signs were not all found");
}

void RegisterHistory() {
  for (const int stations : {1'000, 200'000}) {
    const std::string size = std::to_string(stations);
    for (const bool callHistory : {true, false})
      benchmark::RegisterBenchmark(
          (std::string(callHistory ? "history/read_call_history/" : "history/read_plain/") + size)
              .c_str(),
          [=](benchmark::State& s) { HistoryRead(s, stations, callHistory); })
          ->Iterations(stations < 200'000 ? 200 : 20)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("history/lookup_1000_calls/") + size).c_str(),
                                 [=](benchmark::State& s) { HistoryLookup(s, stations); })
        ->Iterations(2000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
}

void RegisterAll() {
  for (const int lines : kLogSizes) {
    std::string size = "/";
    size += std::to_string(lines);
    auto window = [&](const std::string& name, int small, int medium, int large, auto fn) {
      benchmark::RegisterBenchmark((name + size).c_str(), fn)
          ->Iterations(Iterations(lines, small, medium, large))
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
    };
    const std::pair<Typed, const char*> typings[] = {
        {Typed::Absent, "absent"}, {Typed::Present, "present"}, {Typed::TailOfEveryCall, "tail"}};
    for (const auto& [typed, typedName] : typings)
      for (const bool multiband : {false, true}) {
        const std::string name = std::string("text2_key/") + typedName +
                                 (multiband ? "/multiband_on" : "/multiband_off");
        window(name, 400, 300, 150,
               [=](benchmark::State& s) { Text2Keystroke(s, lines, typed, multiband); });
      }
    for (const bool station : {true, false})
      window(station ? "text4_key/station" : "text4_key/no_station", 400, 300, 150,
             [=](benchmark::State& s) { Text4Keystroke(s, lines, station); });
    window("ok_command", 300, 200, 100, [=](benchmark::State& s) { OkCommand(s, lines, false); });
    window("ok_command_recovery", 300, 200, 100,
           [=](benchmark::State& s) { OkCommand(s, lines, true); });
    window("ok_command_score", 300, 200, 100,
           [=](benchmark::State& s) { OkCommand(s, lines, false, true); });
    window("apri", 30, 20, 12, [=](benchmark::State& s) { OpenCommand(s, lines); });
    window("salva", 40, 30, 20, [=](benchmark::State& s) { SaveCommand(s, lines); });
    window("text1_key_middle", 200, 150, 80,
           [=](benchmark::State& s) { Text1Keystroke(s, lines, false); });
    window("text1_key_middle_recovery", 200, 150, 80,
           [=](benchmark::State& s) { Text1Keystroke(s, lines, true); });

    auto core = [&](const std::string& name, int small, int medium, int large, auto op) {
      benchmark::RegisterBenchmark((name + size).c_str(),
                                   [=](benchmark::State& s) { CoreBenchmark(s, lines, op); })
          ->Iterations(Iterations(lines, small, medium, large))
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
    };
    core("core/CheckCallSign_absent", 2000, 1000, 200, [](const CoreLog& l) {
      benchmark::DoNotOptimize(cardel::CheckCallSign(u"QX9ABC", l.log, false, cardel::kNoBand));
    });
    core("core/LogModel_check_absent", 2000, 2000, 2000, [](const CoreLog& l) {
      benchmark::DoNotOptimize(l.model().check(u"QX9ABC", false, cardel::kNoBand));
    });
    benchmark::RegisterBenchmark(("core/LogModel_setText" + size).c_str(),
                                 [=](benchmark::State& s) { ModelSetText(s, lines); })
        ->Iterations(Iterations(lines, 200, 60, 20))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    core("core/EnterQso", 2000, 2000, 2000, [](const CoreLog&) {
      const cardel::QsoForm form{.callSign = u"QX9ABC",
                                 .receivedSerial = u"123",
                                 .locator = u"JN45AB",
                                 .band = Text(cardel::kNoBand),
                                 .serialCaption = u"999"};
      const cardel::LocalClock clock{std::chrono::year{2026} / 12 / 7, 15, 18};
      benchmark::DoNotOptimize(cardel::EnterQso(
          form, clock, [](std::chrono::year_month_day) { return Text(u"07/12/2026"); }));
    });
    core("core/AppendedQsoLine", 1000, 400, 100, [](const CoreLog& l) {
      benchmark::DoNotOptimize(cardel::AppendedQsoLine(
          l.log, u"999-+-07/12/2026---1318---QX9ABC---59---123---JN45AB\r\n"));
    });
    core("core/OpenLog", 200, 60, 20, [](const CoreLog& l) {
      benchmark::DoNotOptimize(cardel::OpenLog(u"", std::string_view(l.bytes)));
    });
    core("core/RestoreSerial", 2000, 2000, 2000,
         [](const CoreLog& l) { benchmark::DoNotOptimize(cardel::RestoreSerial(l.log)); });
    core("core/SaveLog", 200, 60, 20, [](const CoreLog& l) {
      benchmark::DoNotOptimize(cardel::SaveLog(l.log, u"/tmp/cardel.txt"));
    });
    // What any search for an absent call sign costs at least: one pass of the
    // library's find over the log.
    core("floor/u16string_view_find", 2000, 1000, 200,
         [](const CoreLog& l) { benchmark::DoNotOptimize(TextView(l.log).find(u"QX9ABC")); });
    core("floor/string_view_find_bytes", 2000, 1000, 200, [](const CoreLog& l) {
      benchmark::DoNotOptimize(std::string_view(l.bytes).find("QX9ABC"));
    });
  }
  // The keystroke costs the same at a million contacts as at a thousand.
  const std::pair<Typed, const char*> typings[] = {
      {Typed::Absent, "absent"}, {Typed::Present, "present"}, {Typed::TailOfEveryCall, "tail"}};
  for (const auto& [typed, typedName] : typings)
    for (const bool multiband : {false, true})
      benchmark::RegisterBenchmark(
          (std::string("text2_key/") + typedName +
           (multiband ? "/multiband_on" : "/multiband_off") + "/1000000")
              .c_str(),
          [=](benchmark::State& s) { Text2Keystroke(s, 1'000'000, typed, multiband); })
          ->Iterations(100)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
  // So does the locator's keystroke, with its distance and new-square check.
  benchmark::RegisterBenchmark("text4_key/station/1000000",
                               [](benchmark::State& s) { Text4Keystroke(s, 1'000'000, true); })
      ->Iterations(100)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  RegisterRecoveryRewrites();
  RegisterHistory();
}

// ---------------------------------------------------------------------------
// Memory of a window holding a big log, in a process of its own.

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  const std::size_t length = std::strlen(field);
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
      return std::stol(line.substr(length + 1));
  return -1;
}

int MeasureMemory(int lines) {
  QTemporaryDir dir;
  BenchPlatform platform;
  platform.folder = dir.path();
  cardel::Form15 form(platform);
  {
    // Written a contact at a time so that making the file leaves nothing
    // behind in this process's peak.
    std::FILE* file = std::fopen(QFile::encodeName(form.logFilePath()).constData(), "wb");
    if (!file) return 1;
    MakeLog(lines,
            [&](const std::string& line) { std::fwrite(line.data(), 1, line.size(), file); });
    std::fclose(file);
  }
  form.show();
  QApplication::setActiveWindow(&form);
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  Settle();
  const long emptyRss = StatusKb("VmRSS");
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(form.Command2, Qt::LeftButton);
  const double apriMs = clock.nsecsElapsed() / 1e6;
  Settle();
  const double settledMs = clock.nsecsElapsed() / 1e6;
  std::printf(
      "{\"lines\": %d, \"log_chars\": %zu, \"empty_window_vmrss_kb\": %ld, "
      "\"vmhwm_kb\": %ld, \"vmrss_kb\": %ld, \"apri_ms\": %.1f, \"settled_ms\": %.1f}\n",
      lines, form.Text1->logText().size(), emptyRss, StatusKb("VmHWM"), StatusKb("VmRSS"), apriMs,
      settledMs);
  return form.Text1->logText().empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) return MeasureMemory(std::atoi(argv[2]));

  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  currentWindow.reset();
  return 0;
}
