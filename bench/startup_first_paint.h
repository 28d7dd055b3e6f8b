#pragma once

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

// Ends the program once `window` has painted for the first time, so that the
// time of the whole process is the time to the first picture on the screen.
// The two start-up programs share it so that they differ only in the window.
class ExitAfterFirstPaint : public QObject {
 public:
  explicit ExitAfterFirstPaint(QWidget* window) : QObject(window) {
    window->installEventFilter(this);
    // A window that never paints fails the measurement rather than hang it.
    QTimer::singleShot(10'000, this, [] { QCoreApplication::exit(2); });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      // Queued: the children are painted into the same frame first. exit()
      // rather than quit(), which would ask the window to close.
      QMetaObject::invokeMethod(
          qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

// Ends the process as soon as the event loop returns, before any destructor:
// the time measured is the time to the first paint, not the time a thread
// started beside it (the known locators being read) takes to finish.
// startup_cardel's --paint and --history compare with each other.
[[noreturn]] inline void EndProcess(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}
