// The least a Qt Widgets program can do: an empty window of the logbook's
// size, started and ended like startup_cardel.
#include <QApplication>
#include <QWidget>

#include "startup_first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Cardel v1.2 - Ventor"));
  window.resize(5775 / 15, 5325 / 15);  // Form15's size in pixels
  new ExitAfterFirstPaint(&window);
  window.show();
  return app.exec();
}
