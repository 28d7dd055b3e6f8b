// Starts the logbook's window the way the program does and ends right after
// its first paint; compare with startup_bare.
//   startup_cardel              ends as the program does, destructors and all
//   startup_cardel --paint      ends the process at the first paint
//   startup_cardel --history    the same, with storico beside it being read
#include <QApplication>
#include <cstring>

#include "main_window.h"
#include "platform.h"
#include "startup_first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool paintOnly = argc > 1 && std::strcmp(argv[1], "--paint") == 0;
  const bool history = argc > 1 && std::strcmp(argv[1], "--history") == 0;
  cardel::Platform platform;
  cardel::Form15 window(platform);
  new ExitAfterFirstPaint(&window);
  window.show();
  if (history) window.loadHistory();
  const int status = app.exec();
  if (paintOnly || history) EndProcess(status);
  return status;
}
