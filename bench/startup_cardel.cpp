// Starts the logbook's window the way the program does, with the known
// locators read beside it, and ends right after its first paint; compare
// with startup_bare.
#include <QApplication>

#include "main_window.h"
#include "platform.h"
#include "startup_first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  cardel::Platform platform;
  cardel::Form15 window(platform);
  new ExitAfterFirstPaint(&window);
  window.show();
  window.loadHistory();
  EndProcess(app.exec());
}
