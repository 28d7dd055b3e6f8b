#pragma once

#include <span>
#include <string_view>

#include "text.h"

namespace cardel::logexport {

// One band of the logbook's band list and its name in each format.
struct Band {
  TextView listText;  // "144 Mhz", as the band list writes it
  int megahertz;
  std::string_view edi;  // PBand; empty below 50 MHz, which EDI does not cover
  std::string_view cabrilloFrequency;
  std::string_view cabrilloCategory;
  std::string_view adif;
};

std::span<const Band> Bands();

// The band whose list text this is, read as the duplicate check reads a band
// (WorkedForm); nullptr for any other text, one typed into the band box by
// hand.
const Band* FindBand(TextView text);

}  // namespace cardel::logexport
