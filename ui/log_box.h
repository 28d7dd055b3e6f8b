#pragma once

#include <QPlainTextEdit>
#include <vector>

#include "log_document.h"
#include "text.h"

namespace cardel {

// Qt lays out a paragraph in time that grows with the square of its length
// when it has nothing to break at, and again after every edit in it, so no
// paragraph the box shows is much longer than this.
inline constexpr int kMaxShownLine = 2000;

// The log as the box shows it: each CR LF is a line break, a lone LF or CR is
// a visible symbol, and the few characters the document would turn into a
// line break are shown as a replacement mark. One shown character stands for
// one character of the log, a line break for CR LF, except the display
// breaks, which cut a longer line into paragraphs of kMaxShownLine characters
// at most (after a lone LF where there is one near) and stand for nothing.
struct Display {
  QString text;
  std::vector<int> displayBreaks;  // positions in `text`, ascending
};
// `lineLength`: characters already shown on the line that `log` continues.
Display ToDisplay(TextView log, int lineLength = 0);
// Reverses ToDisplay on a piece of the document (line breaks as U+2029 or \n).
Text FromDisplay(QStringView shown);

// The multi-line log box. It keeps the exact log text beside its document and
// updates it from every edit, so reading the log never copies the document,
// a lone LF brought in by a file stays one LF and a display break never
// reaches the log. What watches the log watches logDocument().
class LogBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit LogBox(QWidget* parent = nullptr);

  const Text& logText() const { return log_.text(); }
  // The log and its index of contact lines, which answer the window's verdicts.
  const LogModel& model() const { return log_.model(); }
  const LogDocument& logDocument() const { return log_; }
  // What the model's running score counts by; it reads the log again.
  void setScoring(ScoringRules rules) { log_.edit().setScoring(std::move(rules)); }
  // Document positions of the display breaks' separators, ascending.
  const std::vector<int>& displayBreaks() const { return displayBreaks_; }
  // Shows `text`; when the current log is its start only the rest is added.
  void setLogText(Text text);
  // The log followed directly by `tail`, added at the end of what is shown.
  void appendLogText(TextView tail);
  // Added after a separator at the end of the box's own context menu.
  void addContextActions(const QList<QAction*>& actions) { contextActions_ += actions; }
  // A contact line added at the end, on a line of its own.
  void appendLine(TextView line);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void onContentsChange(int position, int removed, int added);
  std::size_t logIndex(int position) const;
  bool isDisplayBreak(int position) const;
  void stepOverDisplayBreaks(int direction);
  void shiftDisplayBreaks(int position, int removed, int added);
  void splitLongParagraphs(int from, int to);
  void insertDisplayBreak(int position);
  void insertPieces(QTextCursor& cursor, const QString& text);
  bool documentMatchesLog() const;
  void resyncFromDocument();
  // Shows the whole log as `shown`, in a fresh document.
  void showLog(Display shown);
  void showJoinedLineEnd();
  void keepStorable(int position, int added);
  void finishProgramChange();
  int documentLength() const;
  void showContextMenu(QPoint position, QPoint globalPosition);

  LogDocument log_;
  std::vector<int> displayBreaks_;  // document positions of their separators, ascending
  int shownLength_ = 0;
  std::size_t changedFrom_ = 0;  // where the change to announce began
  bool settingText_ = false;
  QList<QAction*> contextActions_;
};

}  // namespace cardel
