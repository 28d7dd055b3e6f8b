#pragma once

#include <initializer_list>

class QLineEdit;
class QString;

namespace cardel {

// Makes each single-line box keep what is pasted, dropped or typed into it up
// to the first line end, and only the characters the log file can hold, so
// that one contact is always one line and the box shows what "Salva" writes.
void KeepEntriesOnOneLine(std::initializer_list<QLineEdit*> boxes);

// The characters of a text that comes in which the log file can hold. Some
// systems copy an accented letter as the letter and a combining mark; joined
// first, most such letters fit.
QString StorableInput(const QString& text);

}  // namespace cardel
