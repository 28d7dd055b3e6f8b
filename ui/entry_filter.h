#pragma once

#include <initializer_list>

class QLineEdit;
class QString;

namespace cardel {

// Makes each single-line box keep what is pasted, dropped or typed into it up
// to the first line end, and only the characters the log file can hold, so
// that one contact is always one line and the box shows what "Salva" writes.
void KeepEntriesOnOneLine(std::initializer_list<QLineEdit*> boxes);
// The same for the call-sign box, which also keeps out blanks, control and
// invisible characters: a call sign never holds them, and a pasted one that
// brought them would look like a station in the log without being marked.
void KeepCallSignClean(QLineEdit* box);

// The characters of a text that comes in which the log file can hold. Some
// systems copy an accented letter as the letter and a combining mark; joined
// first, most such letters fit.
QString StorableInput(const QString& text);

}  // namespace cardel
