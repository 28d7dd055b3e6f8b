#pragma once

#include <cstddef>
#include <string>

#include "message.h"
#include "text.h"

namespace cardel {

// Beside the log file, it holds the log as the window holds it while the
// program runs; a normal exit removes it, so finding it at start means the
// last run ended without one.
inline constexpr TextView kRecoveryFileName = u"cardel-recupero.txt";
// Keeps a second window started in the same folder off the recovery file.
inline constexpr TextView kRecoveryLockName = u"cardel-recupero.lock";

// The recovery file's exact bytes for a log: the log file's code page and
// line ends, without the line end "Salva" adds, so the file reads back as
// the very log text.
std::string RecoveryBytes(TextView logText);

// The lines of a log as the window shows them (LoneLineFeed::InLine).
std::size_t CountLogLines(TextView logText);

struct FileStamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The name under which a recovery file the operator did not want is kept:
// "cardel-recupero-2026-12-08_10-56-45.txt", and "-2", "-3"... before the
// extension for the second, third... `attempt` when a name is taken.
Text KeptRecoveryFileName(const FileStamp& stamp, int attempt = 1);

}  // namespace cardel
