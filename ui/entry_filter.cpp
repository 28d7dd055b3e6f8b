#include "entry_filter.h"

#include <QLineEdit>
#include <QValidator>
#include <algorithm>

#include "codepage.h"
#include "qso_line.h"
#include "qt_text.h"

namespace cardel {

namespace {

// An accent sent as a combining mark joined to its letter, as the code page
// holds it.
Text Composed(const QString& text) { return ToText(text.normalized(QString::NormalizationForm_C)); }

// A line edit hands its validator the whole new text, never the piece that
// came in, so the validator keeps the text it last let through and filters
// only what differs from it: a text pasted in the middle of a call sign
// loses its own line end and what follows it, not the rest of the box.
class SingleLineValidator : public QValidator {
 public:
  using Keep = Text (*)(TextView);
  SingleLineValidator(QLineEdit* box, Keep keep, std::optional<qsizetype> maxLength = std::nullopt)
      : QValidator(box), keep_(keep), maxLength_(maxLength), accepted_(box->text()) {}

  State validate(QString& input, int& position) const override {
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(input.size(), accepted_.size());
    while (prefix < shorter && input[prefix] == accepted_[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           input[input.size() - 1 - suffix] == accepted_[accepted_.size() - 1 - suffix])
      ++suffix;

    const QString added = input.mid(prefix, input.size() - prefix - suffix);
    QString kept = ToQString(keep_(Composed(added)));
    if (maxLength_) kept.truncate(std::max<qsizetype>(0, *maxLength_ - prefix - suffix));
    if (kept != added) {
      input = input.left(prefix) + kept + input.right(suffix);
      position = static_cast<int>(prefix + kept.size());
    }
    accepted_ = input;
    return Acceptable;
  }

 private:
  Keep keep_;
  std::optional<qsizetype> maxLength_;
  mutable QString accepted_;
};

}  // namespace

QString StorableInput(const QString& text) { return ToQString(StorableText(Composed(text))); }

void KeepEntriesOnOneLine(std::initializer_list<QLineEdit*> boxes) {
  for (QLineEdit* box : boxes) box->setValidator(new SingleLineValidator(box, SingleLineText));
}

void KeepWordsClean(std::initializer_list<QLineEdit*> boxes, std::optional<qsizetype> maxLength) {
  for (QLineEdit* box : boxes)
    box->setValidator(new SingleLineValidator(box, OneWordText, maxLength));
}

}  // namespace cardel
