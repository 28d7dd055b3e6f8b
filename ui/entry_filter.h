#pragma once

#include <initializer_list>

class QLineEdit;

namespace cardel {

// Makes each single-line box keep what is pasted, dropped or typed into it up
// to the first line end, and only the characters the log file can hold, so
// that one contact is always one line and the box shows what "Salva" writes.
void KeepEntriesOnOneLine(std::initializer_list<QLineEdit*> boxes);

}  // namespace cardel
