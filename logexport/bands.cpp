#include "bands.h"

#include <array>

#include "qso_line.h"

namespace cardel::logexport {

namespace {

// PBand: the 2 m and 70 cm bands as most logs and every EDI reader write
// them, 144 MHz and 432 MHz (some converters know no other spelling), the
// microwave bands in GHz with a decimal comma.
constexpr std::array<Band, kBandList.size()> kBands = {{
    {kBandList[0], 7, "", "7000", "40M", "40m"},
    {kBandList[1], 14, "", "14000", "20M", "20m"},
    {kBandList[2], 21, "", "21000", "15M", "15m"},
    {kBandList[3], 28, "", "28000", "10M", "10m"},
    {kBandList[4], 50, "50 MHz", "50", "6M", "6m"},
    {kBandList[5], 144, "144 MHz", "144", "2M", "2m"},
    {kBandList[6], 432, "432 MHz", "432", "432", "70cm"},
    {kBandList[7], 1296, "1,3 GHz", "1.2G", "1.2G", "23cm"},
}};

}  // namespace

std::span<const Band> Bands() { return kBands; }

const Band* FindBand(TextView text) {
  const Text sought = WorkedForm(text);
  for (const Band& band : kBands)
    if (WorkedForm(band.listText) == sought) return &band;
  return nullptr;
}

}  // namespace cardel::logexport
