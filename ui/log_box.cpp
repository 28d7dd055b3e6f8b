#include "log_box.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "qso_line.h"

namespace cardel {

namespace {

constexpr char16_t kShownLineFeed = 0x240A;        // ␊
constexpr char16_t kShownCarriageReturn = 0x240D;  // ␍
constexpr char16_t kReplacement = 0xFFFD;

// Characters a text document would take for a line or frame break.
bool BreaksDocumentLine(char16_t c) {
  return c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// Whether the characters on both sides of `boundary` make a CR LF.
bool FormsLineEnd(TextView log, std::size_t boundary) {
  return boundary > 0 && boundary < log.size() && log[boundary - 1] == u'\r' &&
         log[boundary] == u'\n';
}

}  // namespace

QString ToDisplay(TextView log) {
  QString shown;
  shown.reserve(static_cast<qsizetype>(log.size()));
  for (std::size_t i = 0; i < log.size(); ++i) {
    const char16_t c = log[i];
    if (c == u'\r' && i + 1 < log.size() && log[i + 1] == u'\n') {
      shown.append(u'\n');
      ++i;
    } else if (c == u'\n') {
      shown.append(QChar(kShownLineFeed));
    } else if (c == u'\r') {
      shown.append(QChar(kShownCarriageReturn));
    } else {
      shown.append(QChar(BreaksDocumentLine(c) ? kReplacement : c));
    }
  }
  return shown;
}

Text FromDisplay(QStringView shown) {
  Text log;
  log.reserve(static_cast<std::size_t>(shown.size()));
  for (QChar qc : shown) {
    const char16_t c = qc.unicode();
    if (c == u'\n' || c == 0x2029) {
      log.append(kLineEnd);
    } else if (c == kShownLineFeed) {
      log.push_back(u'\n');
    } else if (c == kShownCarriageReturn) {
      log.push_back(u'\r');
    } else {
      log.push_back(c);
    }
  }
  return log;
}

LogBox::LogBox(QWidget* parent) : QPlainTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setTabChangesFocus(true);
  connect(document(), &QTextDocument::contentsChange, this, &LogBox::onContentsChange);
}

int LogBox::documentLength() const { return document()->characterCount() - 1; }

void LogBox::setLogText(Text text) {
  if (text == log_) return;
  if (!log_.empty() && text.starts_with(log_)) {
    appendLogText(TextView(text).substr(log_.size()));
    return;
  }
  log_ = std::move(text);
  showWholeLog();
  finishProgramChange();
}

void LogBox::appendLogText(TextView tail) {
  if (tail.empty()) return;
  const std::size_t oldSize = log_.size();
  log_ = AppendQsoLine(std::move(log_), tail);
  if (FormsLineEnd(log_, oldSize)) {
    showWholeLog();  // a lone CR at the end now meets an LF
  } else {
    settingText_ = true;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(ToDisplay(tail));
    settingText_ = false;
  }
  finishProgramChange();
}

void LogBox::finishProgramChange() {
  // Like a text set on an edit box, a change made by the program is not
  // something the operator can undo.
  document()->clearUndoRedoStacks();
  shownLength_ = documentLength();
  emit logTextChanged();
}

// A new document filled before it is shown: a text document attached to a
// view updates its layout for every line added, which makes opening a large
// log several times slower.
void LogBox::showWholeLog() {
  settingText_ = true;
  auto* shown = new QTextDocument(this);
  shown->setDocumentLayout(new QPlainTextDocumentLayout(shown));
  shown->setDefaultFont(font());
  shown->setUndoRedoEnabled(false);
  shown->setPlainText(ToDisplay(log_));
  shown->setUndoRedoEnabled(true);
  // The edit box deletes the document it made itself; the ones made here
  // are deleted here.
  QTextDocument* old = document();
  const bool madeHere = old->parent() == this;
  setDocument(shown);
  if (madeHere) delete old;
  connect(shown, &QTextDocument::contentsChange, this, &LogBox::onContentsChange);
  shownLength_ = documentLength();
  settingText_ = false;
}

void LogBox::onContentsChange(int position, int removed, int added) {
  if (settingText_) return;
  // The document may count its closing paragraph in a change; the lengths
  // before and after are what can be trusted.
  const int newLength = documentLength();
  added = std::clamp(added, 0, std::max(0, newLength - position));
  removed = added - (newLength - shownLength_);
  shownLength_ = newLength;

  bool changed = true;
  if (removed < 0) {
    const Text before = log_;
    resyncFromDocument();
    changed = log_ != before;
  } else {
    const int blocksBefore = document()->findBlock(position).blockNumber();
    const std::size_t start = static_cast<std::size_t>(position + blocksBefore);
    std::size_t end = start;
    for (int i = 0; i < removed && end < log_.size(); ++i)
      end += log_.compare(end, 2, kLineEnd) == 0 ? 2 : 1;

    QTextCursor piece(document());
    piece.setPosition(position);
    piece.setPosition(position + added, QTextCursor::KeepAnchor);
    const Text inserted = FromDisplay(piece.selectedText());
    // Formatting alone also reports a change; only a new text is one.
    changed = log_.compare(start, end - start, inserted) != 0;
    log_.replace(start, end - start, inserted);

    if (!documentMatchesLog()) {
      resyncFromDocument();
    } else if (FormsLineEnd(log_, start) || FormsLineEnd(log_, start + inserted.size())) {
      // A lone CR now stands before a lone LF: show them as a line break,
      // once the document has finished the edit under way.
      QMetaObject::invokeMethod(this, &LogBox::showJoinedLineEnd, Qt::QueuedConnection);
    }
  }
  if (changed) emit logTextChanged();
}

bool LogBox::documentMatchesLog() const {
  return log_.size() == static_cast<std::size_t>(shownLength_ + document()->blockCount() - 1);
}

void LogBox::resyncFromDocument() {
  log_ = FromDisplay(document()->toRawText());
  shownLength_ = documentLength();
}

void LogBox::showJoinedLineEnd() {
  showWholeLog();
  moveCursor(QTextCursor::End);
}

void LogBox::keyPressEvent(QKeyEvent* event) {
  // Any Enter is a plain line break (CR LF), never a soft line break.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() != Qt::NoModifier) {
    QKeyEvent plain(event->type(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QPlainTextEdit::keyPressEvent(&plain);
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void LogBox::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  QString text = source->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (QChar& c : text)
    if (c == u'\r' || c.unicode() == 0x2028 || c.unicode() == 0x2029) c = u'\n';
  textCursor().insertText(text);
  ensureCursorVisible();
}

}  // namespace cardel
