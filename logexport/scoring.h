#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contacts.h"

namespace cardel::logexport {

// Six characters: field A-R, square 0-9, subsquare A-X, upper case.
bool IsLocator(std::string_view locator);

// Great-circle distance between the centres of two valid locators, as Hamlib
// computes it.
double DistanceKm(std::string_view from, std::string_view to);

// IARU Region 1 VHF rule: whole kilometres plus one.
int DistancePoints(double km);

struct ContactScore {
  int points = 0;
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
Score ScoreContacts(std::span<const Contact> contacts, std::string_view ownLocator);

}  // namespace cardel::logexport
