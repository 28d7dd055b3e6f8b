#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ascii.h"
#include "bands.h"
#include "contacts.h"
#include "export.h"
#include "scoring.h"

namespace cardel::logexport {

// The options once checked, every text ASCII.
struct Station {
  std::string call;
  std::optional<std::string> locator;
  Mode mode = Mode::Ssb;
  std::string contest;
  std::string section;           // EDI PSect
  std::string categoryOperator;  // Cabrillo CATEGORY-OPERATOR
  std::string sentReport;
  std::string receivedReport;
  std::string programVersion;
};

inline constexpr std::string_view kProgramName = "cardel-export";

// EDI gives a QSO number 0, 3 or 4 characters with leading zeros. Rewrites
// both numbers of every contact in that form; one that is not a number of
// at most four digits is left empty, and each such is named in a note.
std::vector<LineNote> ToEdiQsoNumbers(std::span<Contact> contacts);

// Each writes the whole file, every line ending in CR LF. The score has one
// entry per contact.
std::string WriteEdi(std::span<const Contact> contacts, const Score& score, const Station& station,
                     const Band& band);
std::string WriteCabrillo(std::span<const Contact> contacts, const std::optional<Score>& score,
                          const Station& station);
std::string WriteAdif(std::span<const Contact> contacts, const Station& station);

// A mode's name in each format.
struct ModeNames {
  std::string_view name;         // ADIF MODE, Cabrillo CATEGORY-MODE: SSB, CW, FM
  std::string_view cabrilloQso;  // a Cabrillo QSO line's: PH for SSB
  std::string_view ediCode;
};
ModeNames NamesOf(Mode mode);

// Shared by the writers: the core's line end and zero-padded decimal, in the
// ASCII every file is written in, and the date as YYYYMMDD.
inline const std::string kCrLf = ToUtf8(kLineEnd);
std::string Digits(int n, int width);
std::string CompactDate(const std::chrono::year_month_day& date);

}  // namespace cardel::logexport
