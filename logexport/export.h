#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "locator.h"
#include "qso_line_parse.h"
#include "text.h"

// Turns a log file into the files that contest sponsors and logbook services
// take: EDI (REG1TEST), Cabrillo 3.0 and ADIF 3. Plain functions over plain
// values; the program around it reads the options, the file and the clock.
namespace cardel::logexport {

enum class Format { Edi, Cabrillo, Adif };
enum class Mode { Ssb, Cw, Fm };
// In the order they are offered.
inline constexpr std::array<Mode, 3> kModes{Mode::Ssb, Mode::Cw, Mode::Fm};
// The mode as the operator names it, and as ADIF and Cabrillo write it.
std::string_view ModeName(Mode mode);
// The points rule is one of the export options, so its callers find it here too.
using cardel::PointsRule;

// What a single operator writes in EDI PSect.
inline constexpr std::string_view kDefaultSection = "SINGLE";

// How the messages name what the caller asks for: the exporter program's
// options, or the fields of the window's dialogs.
struct OptionNames {
  std::string call = "--call";
  std::string locator = "--locator";
  std::string band = "--band";
  std::string section = "--section";
};

struct Options {
  Format format = Format::Edi;
  std::string ownCall;                    // UTF-8 as given; upper-cased here
  std::optional<std::string> ownLocator;  // enables the distance points
  std::optional<std::string> band;        // a band text as the band list writes it
  Mode mode = Mode::Ssb;
  std::string contest;  // required for EDI (TName) and Cabrillo (CONTEST)
  std::string section = std::string(kDefaultSection);  // EDI PSect
  std::optional<std::string> receivedReport;           // 599 in CW, 59 otherwise
  PointsRule points = PointsRule::Iaru;
  std::string programVersion;  // written to Cabrillo CREATED-BY and ADIF PROGRAMVERSION
  OptionNames names;
};

// What an export cannot start without, whoever asks for it.
struct Missing {
  bool callSign = false;  // the station's
  bool contest = false;   // its name, which the EDI and the Cabrillo headers carry
  bool locator = false;   // the station's, from which the EDI scores
};
// Blanks around a contest name are no name.
Missing MissingFor(const Options& options);

// The characters of the station's own call sign: letters, digits and "/".
bool IsStationCall(std::string_view call);

// The program builds it on QDate and the log's date format.
using cardel::DateReader;

struct Outcome {
  std::string output;                    // the file's bytes (ASCII); empty when nothing is written
  std::vector<std::string> diagnostics;  // UTF-8 lines for standard error, summary last
  int exitStatus = 2;  // 0 all exported, 1 written with lines left out, 2 nothing written
};

Outcome Export(std::string_view logFileBytes, const Options& options, const DateReader& readDate);

}  // namespace cardel::logexport
