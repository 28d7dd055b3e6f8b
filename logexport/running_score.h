#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bands.h"
#include "locator.h"
#include "log_model.h"

namespace cardel::logexport {

struct BandCount {
  const Band* band = nullptr;  // nullptr: a hand-typed band, or none
  std::string name;            // empty: no band
  std::size_t contacts = 0;
};

// "144 Mhz: 3, 432 Mhz: 2": in the band list's order, hand-typed bands after
// in the order given.
std::string PerBandText(std::vector<BandCount> counts);

// "ODX: Q1ABC JO22AB 1292 km", or "ODX: nessuno".
std::string OdxLine(std::optional<BestDx> odx);

// The lines of the running score, UTF-8, from the log model's counts: the
// export's own figures, in the summary's own words, and the contacts of the
// last hour and the last ten minutes before `now` (UTC).
std::vector<std::string> RunningScore(const LogModel& log, PointsRule rule, UtcMinute now);

}  // namespace cardel::logexport
