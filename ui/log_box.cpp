#include "log_box.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <memory>
#include <thread>

#include "codepage.h"
#include "entry_filter.h"
#include "qso_line.h"
#include "qt_text.h"

namespace cardel {

namespace {

constexpr char16_t kShownLineFeed = 0x240A;        // ␊
constexpr char16_t kShownCarriageReturn = 0x240D;  // ␍
constexpr char16_t kReplacement = 0xFFFD;

// Characters a text document would take for a line or frame break.
bool BreaksDocumentLine(char16_t c) {
  return c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// Characters the box shows as they are. A shown line feed is not among them:
// it marks where a long line is best cut.
bool ShownAsItIs(char16_t c) {
  return c != u'\r' && c != u'\n' && c != kShownLineFeed && !BreaksDocumentLine(c);
}

// Whether the characters on both sides of `boundary` make a CR LF.
bool FormsLineEnd(TextView log, std::size_t boundary) {
  return boundary > 0 && boundary < log.size() && log[boundary - 1] == u'\r' &&
         log[boundary] == u'\n';
}

}  // namespace

namespace {

// Builds the shown text a character at a time, cutting long lines.
class DisplayBuilder {
 public:
  explicit DisplayBuilder(std::size_t size, int lineLength) : line_(lineLength) {
    shown_.text.reserve(static_cast<qsizetype>(size + size / kMaxShownLine + 1));
  }

  void put(QChar c) {
    if (line_ >= kMaxShownLine && !c.isLowSurrogate()) cutLine();
    shown_.text.append(c);
    ++line_;
    if (c.unicode() == kShownLineFeed) afterLineFeed_ = shown_.text.size();
  }
  // Characters shown as they are, none of them a shown line feed: appended
  // a stretch at a time up to where the line is cut.
  void putPlain(TextView run) {
    while (!run.empty()) {
      if (line_ >= kMaxShownLine) {
        put(QChar(run.front()));
        run.remove_prefix(1);
        continue;
      }
      const std::size_t n = std::min(run.size(), std::size_t(kMaxShownLine - line_));
      shown_.text.append(QStringView(run.data(), static_cast<qsizetype>(n)));
      line_ += static_cast<int>(n);
      run.remove_prefix(n);
    }
  }
  void lineBreak() {
    shown_.text.append(u'\n');
    line_ = 0;
  }
  Display take() { return std::move(shown_); }

 private:
  // After the line's last lone LF when it stands in the second half of the
  // piece, so a file with LF line ends shows its lines whole; anywhere else
  // there is nothing better to break at.
  void cutLine() {
    const qsizetype end = shown_.text.size();
    qsizetype at = end;
    if (afterLineFeed_ > end - line_ / 2) at = afterLineFeed_;
    shown_.text.insert(at, u'\n');
    shown_.displayBreaks.push_back(static_cast<int>(at));
    line_ = static_cast<int>(end - at);
    afterLineFeed_ = -1;
  }

  Display shown_;
  int line_;
  qsizetype afterLineFeed_ = -1;
};

}  // namespace

Display ToDisplay(TextView log, int lineLength) {
  DisplayBuilder shown(log.size(), lineLength);
  for (std::size_t i = 0; i < log.size(); ++i) {
    std::size_t plain = i;
    while (plain < log.size() && ShownAsItIs(log[plain])) ++plain;
    if (plain > i) {
      shown.putPlain(log.substr(i, plain - i));
      i = plain - 1;
      continue;
    }
    const char16_t c = log[i];
    if (c == u'\r' && i + 1 < log.size() && log[i + 1] == u'\n') {
      shown.lineBreak();
      ++i;
    } else if (c == u'\n') {
      shown.put(QChar(kShownLineFeed));
    } else if (c == u'\r') {
      shown.put(QChar(kShownCarriageReturn));
    } else {
      shown.put(QChar(BreaksDocumentLine(c) ? kReplacement : c));
    }
  }
  return shown.take();
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
  if (text == log_.text()) return;
  if (!log_.text().empty() && text.starts_with(log_.text())) {
    appendLogText(TextView(text).substr(log_.text().size()));
    return;
  }
  // The index is built on a thread of its own while the document fills, the
  // two halves of a large "Apri": neither reads what the other writes, and
  // the log box asks the model nothing until both are done.
  Display shown = ToDisplay(text);
  {
    std::jthread indexing([this, &text] { log_.edit().setText(std::move(text)); });
    showLog(std::move(shown));
  }
  changedFrom_ = 0;
  finishProgramChange();
}

void LogBox::appendLine(TextView line) { appendLogText(AppendedQsoLine(log_.text(), line)); }

void LogBox::appendLogText(TextView tail) {
  if (tail.empty()) return;
  const std::size_t oldSize = log_.text().size();
  log_.edit().append(tail);
  changedFrom_ = oldSize;
  if (FormsLineEnd(log_.text(), oldSize)) {
    showLog(ToDisplay(log_.text()));  // a lone CR at the end now meets an LF
  } else {
    const int end = documentLength();
    const Display shown = ToDisplay(tail, document()->lastBlock().length() - 1);
    if (!shown.displayBreaks.empty()) document()->setUndoRedoEnabled(false);
    settingText_ = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown.text);
    settingText_ = false;
    for (int at : shown.displayBreaks) displayBreaks_.push_back(end + at);
  }
  finishProgramChange();
}

void LogBox::finishProgramChange() {
  // Like a text set on an edit box, a change made by the program is not
  // something the operator can undo.
  document()->clearUndoRedoStacks();
  shownLength_ = documentLength();
  log_.announce(changedFrom_);
}

// A fresh document, given to the view while still empty and then filled in
// one edit: the view lays out only the lines it shows. A document filled
// before the view takes it gets a layout made for every line (26 MB at
// 100,000 contacts), and one filled line by line has its layout renewed for
// each line added.
void LogBox::showLog(Display shown) {
  settingText_ = true;
  displayBreaks_ = std::move(shown.displayBreaks);
  auto* filled = new QTextDocument(this);
  filled->setDocumentLayout(new QPlainTextDocumentLayout(filled));
  filled->setDefaultFont(font());
  filled->setUndoRedoEnabled(false);
  // The edit box deletes the document it made itself; the ones made here
  // are deleted here.
  QTextDocument* old = document();
  const bool madeHere = old->parent() == this;
  setDocument(filled);
  if (madeHere) delete old;
  filled->setPlainText(shown.text);
  shown.text = QString();  // the document holds its own copy
  // An undo would bring a display break back as a line break of the log.
  filled->setUndoRedoEnabled(displayBreaks_.empty());
  connect(filled, &QTextDocument::contentsChange, this, &LogBox::onContentsChange);
  shownLength_ = documentLength();
  settingText_ = false;
}

// Where the character at a document position stands in the log: a line
// break before it stands for CR LF, a display break for nothing.
std::size_t LogBox::logIndex(int position) const {
  const int breaks = document()->findBlock(position).blockNumber();
  const auto displayBreaks =
      std::lower_bound(displayBreaks_.begin(), displayBreaks_.end(), position) -
      displayBreaks_.begin();
  return static_cast<std::size_t>(position + breaks - 2 * displayBreaks);
}

bool LogBox::isDisplayBreak(int position) const {
  return std::binary_search(displayBreaks_.begin(), displayBreaks_.end(), position);
}

// The breaks in the removed range are gone; the ones behind it move.
void LogBox::shiftDisplayBreaks(int position, int removed, int added) {
  auto first = std::lower_bound(displayBreaks_.begin(), displayBreaks_.end(), position);
  auto last = std::lower_bound(first, displayBreaks_.end(), position + removed);
  for (auto it = last; it != displayBreaks_.end(); ++it) *it += added - removed;
  displayBreaks_.erase(first, last);
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
    const Text before = log_.text();
    changedFrom_ = 0;
    resyncFromDocument();
    changed = log_.text() != before;
  } else {
    const std::size_t start = logIndex(position);
    std::size_t end = start;
    auto displayBreak = std::lower_bound(displayBreaks_.begin(), displayBreaks_.end(), position);
    for (int i = position; i < position + removed && end < log_.text().size(); ++i) {
      if (displayBreak != displayBreaks_.end() && *displayBreak == i) {
        ++displayBreak;  // stands for no character of the log
        continue;
      }
      end += log_.text().compare(end, 2, kLineEnd) == 0 ? 2 : 1;
    }
    shiftDisplayBreaks(position, removed, added);

    QTextCursor piece(document());
    piece.setPosition(position);
    piece.setPosition(position + added, QTextCursor::KeepAnchor);
    const Text inserted = FromDisplay(piece.selectedText());
    // Formatting alone also reports a change; only a new text is one.
    changed = log_.text().compare(start, end - start, inserted) != 0;
    log_.edit().replace(start, end - start, inserted);
    changedFrom_ = start;

    if (StorableText(inserted).size() != inserted.size()) {
      // Past the key, paste and input-method filters: text an assistive tool
      // inserts through the accessibility interface.
      QMetaObject::invokeMethod(
          this, [this, position, added] { keepStorable(position, added); }, Qt::QueuedConnection);
    }
    if (!documentMatchesLog()) {
      changedFrom_ = 0;
      resyncFromDocument();
    } else if (FormsLineEnd(log_.text(), start) ||
               FormsLineEnd(log_.text(), start + inserted.size())) {
      // A lone CR now stands before a lone LF: show them as a line break,
      // once the document has finished the edit under way.
      QMetaObject::invokeMethod(this, &LogBox::showJoinedLineEnd, Qt::QueuedConnection);
    } else if (document()->findBlock(position).length() > 2 * kMaxShownLine ||
               document()->findBlock(position + added).length() > 2 * kMaxShownLine) {
      // The document cannot be changed while it reports a change.
      QMetaObject::invokeMethod(
          this, [this, position, added] { splitLongParagraphs(position, position + added); },
          Qt::QueuedConnection);
    }
  }
  if (changed) log_.announce(changedFrom_);
}

// Cuts the paragraphs from `from` to `to` that editing made long.
void LogBox::splitLongParagraphs(int from, int to) {
  const int length = documentLength();
  for (QTextBlock block = document()->findBlock(std::min(from, length));
       block.isValid() && block.position() <= std::min(to, length); block = block.next()) {
    while (block.length() - 1 > kMaxShownLine) {
      int at = block.position() + kMaxShownLine;
      if (document()->characterAt(at).isLowSurrogate()) ++at;
      insertDisplayBreak(at);
      ++to;
      block = block.next();
    }
  }
}

void LogBox::insertDisplayBreak(int position) {
  document()->setUndoRedoEnabled(false);
  settingText_ = true;
  QTextCursor cursor(document());
  cursor.setPosition(position);
  cursor.insertBlock();
  settingText_ = false;
  shiftDisplayBreaks(position, 0, 1);
  displayBreaks_.insert(std::lower_bound(displayBreaks_.begin(), displayBreaks_.end(), position),
                        position);
  shownLength_ = documentLength();
}

bool LogBox::documentMatchesLog() const {
  const long long expected = static_cast<long long>(shownLength_) + document()->blockCount() - 1 -
                             2 * static_cast<long long>(displayBreaks_.size());
  return static_cast<long long>(log_.text().size()) == expected;
}

void LogBox::resyncFromDocument() {
  Text log;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    log.append(FromDisplay(block.text()));
    if (block.next().isValid() && !isDisplayBreak(block.position() + block.length() - 1))
      log.append(kLineEnd);
  }
  log_.edit().setText(std::move(log));
  shownLength_ = documentLength();
}

// Replaces a piece of the document by what the log file can hold of it, as
// an edit of the operator's, so the log follows as it does for any edit.
void LogBox::keepStorable(int position, int added) {
  const int length = documentLength();
  QTextCursor piece(document());
  piece.setPosition(std::min(position, length));
  piece.setPosition(std::min(position + added, length), QTextCursor::KeepAnchor);
  const Text shown = FromDisplay(piece.selectedText());
  const Text kept = StorableText(shown);
  if (kept == shown) return;
  // Uncut: the insertion cuts long lines itself.
  Display uncut = ToDisplay(kept);
  for (auto at = uncut.displayBreaks.rbegin(); at != uncut.displayBreaks.rend(); ++at)
    uncut.text.remove(*at, 1);
  insertPieces(piece, uncut.text);
}

void LogBox::showJoinedLineEnd() {
  showLog(ToDisplay(log_.text()));
  moveCursor(QTextCursor::End);
}

// A deletion next to a display break deletes the log's character beyond it,
// as it would without the break.
void LogBox::stepOverDisplayBreaks(int direction) {
  QTextCursor cursor = textCursor();
  if (cursor.hasSelection()) return;
  int position = cursor.position();
  while (direction < 0 && position > 0 && isDisplayBreak(position - 1)) --position;
  while (direction > 0 && isDisplayBreak(position)) ++position;
  if (position == cursor.position()) return;
  cursor.setPosition(position);
  setTextCursor(cursor);
}

void LogBox::keyPressEvent(QKeyEvent* event) {
  // Any Enter is a plain line break (CR LF), never a soft line break.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() != Qt::NoModifier) {
    QKeyEvent plain(event->type(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QPlainTextEdit::keyPressEvent(&plain);
    return;
  }
  // Not every desktop turns these keys into a context menu for the box.
  if (event->key() == Qt::Key_Menu ||
      (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
    const QPoint at = cursorRect().bottomLeft();
    showContextMenu(at, viewport()->mapToGlobal(at));
    return;
  }
  if (event->key() == Qt::Key_Backspace) stepOverDisplayBreaks(-1);
  if (event->key() == Qt::Key_Delete) stepOverDisplayBreaks(+1);
  // A letter typed with another keyboard layout never enters the log.
  if (const QString kept = StorableInput(event->text()); kept != event->text()) {
    event->accept();
    if (kept.isEmpty()) return;
    QKeyEvent storable(event->type(), event->key(), event->modifiers(), kept, event->isAutoRepeat(),
                       static_cast<quint16>(event->count()));
    QPlainTextEdit::keyPressEvent(&storable);
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void LogBox::inputMethodEvent(QInputMethodEvent* event) {
  const QString kept = StorableInput(event->commitString());
  if (kept == event->commitString()) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent storable(event->preeditString(), event->attributes());
  storable.setCommitString(kept, event->replacementStart(), event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&storable);
  event->setAccepted(storable.isAccepted());
}

// The box starts no drags: a press in the selection starts a new selection,
// as in the desktop's own multi-line box, so no gesture can move text out of
// the log or carry it across a display break.
void LogBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) &&
      textCursor().hasSelection())
    setTextCursor(cursorForPosition(event->position().toPoint()));
  QPlainTextEdit::mousePressEvent(event);
}

void LogBox::contextMenuEvent(QContextMenuEvent* event) {
  showContextMenu(event->pos(), event->globalPos());
}

void LogBox::showContextMenu(QPoint position, QPoint globalPosition) {
  std::unique_ptr<QMenu> menu(createStandardContextMenu(position));
  if (!contextActions_.isEmpty()) {
    menu->addSeparator();
    menu->addActions(contextActions_);
  }
  menu->exec(globalPosition);
}

// A copy holds the log's own characters: CR LF, lone LF and CR, and nothing
// for a display break.
QMimeData* LogBox::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  const std::size_t start = logIndex(cursor.selectionStart());
  const std::size_t end = std::min(logIndex(cursor.selectionEnd()), log_.text().size());
  auto* data = new QMimeData;
  data->setText(ToQString(TextView(log_.text()).substr(start, end - start)));
  return data;
}

// A text edit makes a drop one combined edit of the document, in which a
// display break could not be told from a line break; here a drop goes in as
// a paste at the drop point.
void LogBox::dropEvent(QDropEvent* event) {
  QDragLeaveEvent leave;  // ends the drop caret and the scrolling of the drag
  QPlainTextEdit::dragLeaveEvent(&leave);
  if (isReadOnly() || !event->mimeData()->hasText()) {
    event->ignore();
    return;
  }
  setTextCursor(cursorForPosition(event->position().toPoint()));
  insertFromMimeData(event->mimeData());
  event->acceptProposedAction();
}

void LogBox::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  QString text = source->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (QChar& c : text)
    if (c == u'\r' || c.unicode() == 0x2028 || c.unicode() == 0x2029) c = u'\n';
  QTextCursor cursor = textCursor();
  insertPieces(cursor, StorableInput(text));
  ensureCursorVisible();
}

// A long paste goes in a piece at a time, each line cut as it grows long, so
// no paragraph is ever laid out whole.
void LogBox::insertPieces(QTextCursor& cursor, const QString& text) {
  for (qsizetype from = 0; from < text.size();) {
    qsizetype size = std::min<qsizetype>(kMaxShownLine, text.size() - from);
    if (from + size < text.size() && text[from + size].isLowSurrogate()) ++size;
    cursor.insertText(text.mid(from, size));
    from += size;
    if (from < text.size() && cursor.positionInBlock() >= kMaxShownLine) {
      const int at = cursor.position();
      insertDisplayBreak(at);
      cursor.setPosition(at + 1);
    }
  }
}

}  // namespace cardel
