#include "score_window.h"

#include <QHideEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace cardel {

ScoreWindow::ScoreWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), layout_(new QVBoxLayout(this)) {
  setObjectName(QStringLiteral("Punteggio"));
  setWindowTitle(QStringLiteral("Punteggio"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  layout_->setSizeConstraint(QLayout::SetFixedSize);
}

void ScoreWindow::showLines(const std::vector<std::string>& lines) {
  while (lines_.size() > qsizetype(lines.size())) delete lines_.takeLast();
  while (lines_.size() < qsizetype(lines.size())) {
    auto* label = new QLabel(this);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout_->addWidget(label);
    lines_.append(label);
  }
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const QString text = QString::fromStdString(lines[std::size_t(i)]);
    // Qt announces a change of either, changed or not.
    if (lines_[i]->text() == text) continue;
    lines_[i]->setText(text);
    lines_[i]->setAccessibleName(text);
  }
}

void ScoreWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) emit hidden();
}

}  // namespace cardel
