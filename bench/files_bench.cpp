// "Apri" of awkward log files in a real window: how long until the window
// answers again, what one character typed at the end of the log box costs,
// and whether "Salva" writes back exactly what was read. Run it on a real X
// server (scripts/bench.sh --x11 does, under Xvfb with a window manager): the
// offscreen platform neither paints nor lays out text the way a real window
// does.
//
//   cardel_files_bench [NAME...]   the files whose name holds one of NAMEs,
//                                  all of them without arguments

#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codepage.h"
#include "log_box.h"
#include "log_file.h"
#include "main_window.h"
#include "platform.h"

namespace {

class BenchPlatform : public cardel::Platform {
 public:
  QString folder;
  QString programFolder() const override { return folder; }
  QMessageBox::StandardButton showMessage(QWidget*, const cardel::MessageRequest&) override {
    return QMessageBox::Ok;
  }
};

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Everything the window left to the event loop: layout, paint, expose.
void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

std::string Contacts(int count, const char* lineEnd) {
  std::string log;
  char line[96];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line,
                  "%03d-+-07/12/2026---%02d%02d---I%dK%c%c---59---%03d---JN%02dFW%s",
                  std::min(i + 1, 999), (i / 60) % 24, i % 60, i % 10, 'A' + i % 26,
                  'A' + (i / 26) % 26, 1 + i % 999, i % 100, lineEnd);
    log += line;
  }
  return log;
}

struct LogFile {
  const char* name;
  std::function<std::string()> make;
};

const LogFile kFiles[] = {
    {"one line of 4 MB, no line end", [] { return std::string(4 << 20, 'A'); }},
    {"1 MB of digits ending CR LF",
     [] {
       std::string s;
       for (int i = 0; i < (1 << 20); ++i) s.push_back(static_cast<char>('0' + i % 10));
       return s + "\r\n";
     }},
    {"20,000 contacts, lone LF line ends", [] { return Contacts(20'000, "\n"); }},
    {"100,000 contacts", [] { return Contacts(100'000, "\r\n") + "\r\n"; }},
    {"900,000 contacts", [] { return Contacts(900'000, "\r\n") + "\r\n"; }},
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool Measure(const LogFile& file) {
  const std::string bytes = file.make();
  QTemporaryDir dir;
  BenchPlatform platform;
  platform.folder = dir.path();
  cardel::Form15 form(platform);
  form.show();
  QApplication::setActiveWindow(&form);
  if (!QTest::qWaitForWindowExposed(&form)) return false;
  Settle();
  {
    QFile log(form.logFilePath());
    if (!log.open(QIODevice::WriteOnly) ||
        log.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
      return false;
  }

  QElapsedTimer wall;
  wall.start();
  const double cpuBefore = CpuMs();
  QTest::mouseClick(form.Command2, Qt::LeftButton);
  Settle();
  const double openWallMs = wall.nsecsElapsed() / 1e6;
  const double openCpuMs = CpuMs() - cpuBefore;

  // The operator's keystrokes go where the caret is: at the end of the log.
  form.Text1->setFocus();
  Settle();
  std::vector<double> typing;
  for (int i = 0; i < 15; ++i) {
    const double before = CpuMs();
    QTest::keyClick(form.Text1, 'x');
    Settle();
    typing.push_back(CpuMs() - before);
  }
  for (int i = 0; i < 15; ++i) QTest::keyClick(form.Text1, Qt::Key_Backspace);
  Settle();

  QTest::mouseClick(form.Command3, Qt::LeftButton);
  QFile saved(form.logFilePath());
  const QByteArray written = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
  const auto opened = std::get<cardel::OpenedLog>(cardel::OpenLog(u"", bytes));
  const auto order = std::get<cardel::SaveOrder>(cardel::SaveLog(opened.logText, u""));
  const bool faithful =
      written == QByteArray(order.bytes.data(), static_cast<qsizetype>(order.bytes.size()));

  std::printf("| %s | %.1f | %.0f | %.0f | %.2f | %s |\n", file.name,
              static_cast<double>(bytes.size()) / (1 << 20), openWallMs, openCpuMs, Median(typing),
              faithful ? "same bytes" : "DIFFERENT");
  std::fflush(stdout);
  return faithful;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::printf("platform: %s\n\n", qPrintable(QGuiApplication::platformName()));
  std::printf(
      "| file | MB | Apri until the window answers, ms | its CPU, ms | one character typed at "
      "the end, CPU ms (median of 15) | Salva |\n|---|---|---|---|---|---|\n");
  bool ok = true;
  for (const LogFile& file : kFiles) {
    bool wanted = argc == 1;
    for (int i = 1; i < argc; ++i) wanted = wanted || std::strstr(file.name, argv[i]);
    if (wanted) ok = Measure(file) && ok;
  }
  return ok ? 0 : 1;
}
