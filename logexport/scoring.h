#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contacts.h"
#include "locator.h"

namespace cardel::logexport {

struct ContactScore {
  long long points = 0;
  bool newSquare = false;  // first contact in its 4-character square on its band
  std::optional<double> km;
};

struct Score {
  std::vector<ContactScore> contacts;  // one per contact, same order
  long long total = 0;
  std::optional<std::size_t> odx;  // the farthest contact that scored
  std::vector<LineNote> notes;     // received locators that score nothing
};

// Duplicates and contacts without a valid locator earn nothing.
Score ScoreContacts(std::span<const Contact> contacts, std::string_view ownLocator,
                    PointsRule rule = PointsRule::Iaru);

}  // namespace cardel::logexport
