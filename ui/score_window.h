#pragma once

#include <QList>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace cardel {

// "Punteggio": the claimed score in sight while the contest runs, in a small
// window beside the log that never blocks it. One figure per line, each line
// a label whose accessible name is its text, so a screen reader reads it.
class ScoreWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ScoreWindow(QWidget* parent);

  // UTF-8 lines, as the running score gives them.
  void showLines(const std::vector<std::string>& lines);
  const QList<QLabel*>& lines() const { return lines_; }

 signals:
  // Closed by the operator, or hidden by the window's shortcut.
  void hidden();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  QVBoxLayout* layout_;
  QList<QLabel*> lines_;
};

}  // namespace cardel
