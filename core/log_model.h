#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "call_check.h"
#include "text.h"

namespace cardel {

// The log's text and an index of its contact lines, kept in step with every
// change of the text, so that the verdict asked on each keystroke costs the
// same at 100 contacts as at a million. The verdict equals CheckCallSign on
// the whole text, which stays the reading that defines it.
class LogModel {
 public:
  LogModel();
  ~LogModel();
  LogModel(const LogModel&) = delete;
  LogModel& operator=(const LogModel&) = delete;

  const Text& text() const { return text_; }

  void setText(Text text);
  // Any edit: `removed` characters at `from` replaced by `inserted`.
  void replace(std::size_t from, std::size_t removed, TextView inserted);
  void append(TextView tail) { replace(text_.size(), 0, tail); }

  // CheckCallSign(typed, text(), multiband, bandText), from the index.
  CallCheck check(TextView typed, bool multiband, TextView bandText) const;

  // Whether some contact line holds a valid locator or square in `square`
  // (its first four characters, in any letter case): on any band, or, given
  // a band text, on the band that OK writes for it.
  bool squareWorked(TextView square, std::optional<TextView> bandText) const;

  // How many lines the index holds, contact lines or not.
  std::size_t lineCount() const;

 private:
  struct Index;
  Text text_;
  std::unique_ptr<Index> index_;
};

}  // namespace cardel
