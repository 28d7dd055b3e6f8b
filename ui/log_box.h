#pragma once

#include <QPlainTextEdit>

#include "text.h"

namespace cardel {

// The log as the box shows it: each CR LF is a line break, a lone LF or CR is
// a visible symbol, and the few characters the document would turn into a
// line break are shown as a replacement mark. One shown character stands for
// one character of the log, a line break for CR LF.
QString ToDisplay(TextView log);
// Reverses ToDisplay on a piece of the document (line breaks as U+2029 or \n).
Text FromDisplay(QStringView shown);

// The multi-line log box. It keeps the exact log text beside its document and
// updates it from every edit, so reading the log never copies the document
// and a lone LF brought in by a file stays one LF.
class LogBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit LogBox(QWidget* parent = nullptr);

  const Text& logText() const { return log_; }
  // Shows `text`; when the current log is its start only the rest is added.
  void setLogText(Text text);
  // The log followed directly by `tail`, added at the end of what is shown.
  void appendLogText(TextView tail);

 signals:
  // Every change of the log text, typed or set.
  void logTextChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void onContentsChange(int position, int removed, int added);
  bool documentMatchesLog() const;
  void resyncFromDocument();
  void showWholeLog();
  void showJoinedLineEnd();
  void finishProgramChange();
  int documentLength() const;

  Text log_;
  int shownLength_ = 0;
  bool settingText_ = false;
};

}  // namespace cardel
