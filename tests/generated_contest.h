#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "qso_line.h"
#include "text.h"

// A made-up contest as an operator works it: stations worked on several
// bands, call signs that are prefixes, suffixes and /P variants of others,
// a few real duplicates, and notes typed into the log between contacts.
struct GeneratedContact {
  cardel::Text callSign;
  cardel::Text band;  // a band list text
};

inline std::vector<cardel::Text> GeneratedCallSigns(std::mt19937& random, int count) {
  std::vector<cardel::Text> calls = {u"QM3W",  u"QM3WA", u"QS9A",    u"QS9ABC",    u"Q4SS",
                                     u"QN4SS", u"Q1ABC", u"Q1ABC/P", u"Q1ABC/QRP", u"QQ1AB"};
  const cardel::Text letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  while (static_cast<int>(calls.size()) < count) {
    cardel::Text call = u"Q";
    call += letters[random() % 26];
    call += static_cast<char16_t>(u'0' + random() % 10);
    for (int i = 0, n = 1 + static_cast<int>(random() % 3); i < n; ++i)
      call += letters[random() % 26];
    calls.push_back(call);
    // Prefix and /P variants of the one just made, worked as other stations.
    if (random() % 4 == 0) calls.push_back(call + letters[random() % 26]);
    if (random() % 8 == 0) calls.push_back(call + u"/P");
  }
  return calls;
}

// Every station on one to four bands, in a shuffled order, with about one
// contact in a hundred repeated later on the same band.
inline std::vector<GeneratedContact> GeneratedContest(unsigned round, int stations) {
  std::mt19937 random(round);
  const cardel::Text bands[] = {u"14 Mhz", u"21 Mhz", u"144 Mhz", u"432 Mhz"};
  std::vector<GeneratedContact> contacts;
  for (const auto& call : GeneratedCallSigns(random, stations)) {
    const int worked = 1 + static_cast<int>(random() % 4);
    const int first = static_cast<int>(random() % 4);
    for (int b = 0; b < worked; ++b) contacts.push_back({call, bands[(first + b) % 4]});
  }
  std::shuffle(contacts.begin(), contacts.end(), random);
  for (std::size_t i = 0; i + 1 < contacts.size(); i += 100) {
    const std::size_t later = std::min<std::size_t>(i + 1 + random() % 50, contacts.size());
    const GeneratedContact again = contacts[i];
    contacts.insert(contacts.begin() + static_cast<long>(later), again);
  }
  return contacts;
}

// The contact's line as the OK command writes it; no band in single-band logs.
inline cardel::QsoLine GeneratedLine(const GeneratedContact& contact, int number, bool withBand) {
  const cardel::Text serial = cardel::ZeroPadded(std::min(number, 999), 3);
  return cardel::ComposeQsoLine({.serial = serial,
                                 .date = u"07/12/2026",
                                 .time = cardel::ZeroPadded(number % 24 * 100 + number % 60, 4),
                                 .callSign = contact.callSign,
                                 .receivedSerial = cardel::ZeroPadded(number % 1000, 3),
                                 .locator = u"JN61FW",
                                 .band = withBand ? std::optional(contact.band) : std::nullopt});
}
