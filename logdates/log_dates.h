#pragma once

#include <QString>

#include "export.h"

namespace cardel {

// Reads the date field the way the logbook wrote it: `format` is a Qt date
// format, and a two-digit year is taken as 20yy.
logexport::DateReader MakeDateReader(const QString& format);

}  // namespace cardel
