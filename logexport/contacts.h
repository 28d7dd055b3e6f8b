#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bands.h"
#include "export.h"

namespace cardel::logexport {

// One contact line as every format writes it: ASCII fields, UTC date and time.
struct Contact {
  std::size_t lineNumber = 0;
  std::string serial;
  std::chrono::year_month_day date;
  int hour = 0;
  int minute = 0;
  std::string callSign;
  std::string receivedSerial;
  std::string locator;
  const Band* band = nullptr;  // nullptr: a hand-typed band, or none (ADIF only)
  std::string bandName;        // the band list text, the hand-typed text, or empty
  bool duplicate = false;      // the same call sign earlier on the same band
  // The call sign and band as the window's duplicate check reads them
  // (WorkedForm), so that both count the same contacts as duplicates.
  Text workedCallSign;
  std::optional<Text> workedBand;
};

// A message for standard error about one line of the log.
struct LineNote {
  std::size_t lineNumber = 0;
  std::string text;
};

// "riga 4: " followed by what is said about line 4.
LineNote NoteOnLine(std::size_t lineNumber, std::string_view about);

struct ReadingRules {
  const Band* defaultBand = nullptr;  // for lines without a band
  bool bandRequired = true;           // ADIF can do without one
  std::string bandOption = "--band";  // how the messages name the band's choice
};

struct ReadLog {
  std::vector<Contact> contacts;  // in log order
  std::vector<LineNote> notes;    // lines left out and warnings, in line order
  std::size_t leftOut = 0;
};

// A contact is a duplicate when the same call sign comes earlier on the same
// band; marked again whenever contacts are left out.
void MarkDuplicates(std::span<Contact> contacts);

ReadLog ReadContacts(std::string_view logFileBytes, const ReadingRules& rules,
                     const DateReader& readDate);

}  // namespace cardel::logexport
