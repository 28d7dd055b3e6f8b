#pragma once

#include <QtGlobal>
#include <initializer_list>
#include <optional>

class QLineEdit;
class QString;

namespace cardel {

// Makes each single-line box keep what is pasted, dropped or typed into it up
// to the first line end, and only the characters the log file can hold, so
// that one contact is always one line and the box shows what "Salva" writes.
void KeepEntriesOnOneLine(std::initializer_list<QLineEdit*> boxes);
// The same for the boxes of one word (a call sign, a serial, a locator), which
// also keep out blanks, control and invisible characters: such a field never
// holds them, and one pasted from a web page with them would look like a
// station in the log without being marked, or a locator that scores nothing.
// A length limit counts what is kept, so a pasted blank takes no place.
void KeepWordsClean(std::initializer_list<QLineEdit*> boxes,
                    std::optional<qsizetype> maxLength = std::nullopt);

// The characters of a text that comes in which the log file can hold. Some
// systems copy an accented letter as the letter and a combining mark; joined
// first, most such letters fit.
QString StorableInput(const QString& text);

}  // namespace cardel
