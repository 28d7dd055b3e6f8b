#pragma once

#include <QObject>
#include <cstddef>

#include "log_model.h"
#include "text.h"

namespace cardel {

// The log the window holds, for what watches it without drawing it: the
// text with its index, and a signal after every change. The log box edits
// it and announces each edit once it shows it.
class LogDocument : public QObject {
  Q_OBJECT

 public:
  const Text& text() const { return model_.text(); }
  const LogModel& model() const { return model_; }
  LogModel& edit() { return model_; }
  void announce(std::size_t from) { emit changed(from); }

 signals:
  // Every change of the log, typed or set; the log before `from` is as it was.
  void changed(std::size_t from);

 private:
  LogModel model_;
};

}  // namespace cardel
