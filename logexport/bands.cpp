#include "bands.h"

#include <array>

namespace cardel::logexport {

namespace {

// PBand as the REG1TEST document names the bands: the 2 m and 70 cm bands
// by 145 MHz and 435 MHz, the microwave bands in GHz with a decimal comma.
constexpr std::array<Band, 8> kBands = {{
    {u"7 Mhz", 7, "", "7000", "40M", "40m"},
    {u"14 Mhz", 14, "", "14000", "20M", "20m"},
    {u"21 Mhz", 21, "", "21000", "15M", "15m"},
    {u"28 Mhz", 28, "", "28000", "10M", "10m"},
    {u"50 Mhz", 50, "50 MHz", "50", "6M", "6m"},
    {u"144 Mhz", 144, "145 MHz", "144", "2M", "2m"},
    {u"432 Mhz", 432, "435 MHz", "432", "432", "70cm"},
    {u"1296 Mhz", 1296, "1,3 GHz", "1.2G", "1.2G", "23cm"},
}};

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 0x20 : c; }

bool SameIgnoringCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

std::span<const Band> Bands() { return kBands; }

const Band* FindBand(TextView text) {
  for (const Band& band : kBands)
    if (SameIgnoringCase(band.listText, text)) return &band;
  return nullptr;
}

}  // namespace cardel::logexport
