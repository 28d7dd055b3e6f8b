#pragma once

#include <cstddef>

#include "call_check.h"
#include "text.h"

// Every text the operator reads in a message, a question or a screen
// reader's words about the mark, in one place.
namespace cardel {

inline constexpr TextView kApplicationTitle = u"Cardel_eng";
inline constexpr TextView kLogFileTitle = u"Ventor Cardel";

enum class MessageIcon { None, Information, Exclamation };

// A message for the operator, shown by the window in a modal box with one OK
// button. The core only decides what it says.
struct Message {
  Text text;
  Text title;
  MessageIcon icon = MessageIcon::None;

  friend bool operator==(const Message&, const Message&) = default;
};

// Why the OK command refuses a contact.
inline constexpr TextView kDuplicateRefusal = u"Duplicato!";
inline constexpr TextView kNoCallSignRefusal = u"Inserisci nominativo";
inline constexpr TextView kNoReceivedSerialRefusal = u"Inserisci numero progressivo";
inline constexpr TextView kNoLocatorRefusal = u"Inserisci locatore";

// Asked before the program ends.
inline constexpr TextView kExitQuestion = u"Uscire dal programma?";

// The mark in words, for screen readers, which cannot see the colour.
TextView MarkDescription(CallMark mark);

// "Salva" and "Apri".
Message EmptyLogMessage();
Message LogSavedMessage(TextView logFilePath);
// The message for a save the platform could not complete.
Message SaveFailedMessage(TextView logFilePath, TextView reason);
Message NoLogFoundMessage();
// The message for a log file that exists but cannot be read.
Message ReadFailedMessage(TextView logFilePath, TextView reason);

// The question asked at start when a recovery file is there; "1 riga",
// "2 righe".
Text RecoveryQuestion(std::size_t lines);
// Where a recovery file the operator did not want was kept.
Message RecoveryKeptMessage(TextView keptPath);
// The recovery file could not be kept aside, so it stays as it is.
Message RecoveryNotKeptMessage(TextView path, TextView reason);
// Another window of the program already keeps the recovery file.
Message RecoveryInUseMessage();
// The recovery file cannot be written: the log is not protected.
Message RecoveryFailedMessage(TextView path, TextView reason);
// The lock that keeps other windows off the recovery file cannot be made.
Message RecoveryLockFailedMessage(TextView lockPath, TextView reason);
// Something that is not a file (a folder) has the recovery file's name.
Message RecoveryNotAFileMessage(TextView path);
// A normal exit could not remove the recovery file.
Message RecoveryNotRemovedMessage(TextView path, TextView reason);

// Why "Stazione" does not keep the call sign or the locator typed.
Text BadStationCallText(TextView callSign);
Text BadStationLocatorText(TextView locator);

// "Esporta log".
inline constexpr TextView kExportTitle = u"Esporta log";
inline constexpr TextView kNoStationQuestion =
    u"Manca il nominativo o il locatore della stazione in \"Stazione\".\nImpostarli adesso?";
inline constexpr TextView kNoExportFileText = u"Manca il file da scrivere.";
inline constexpr TextView kNothingWritten = u"Nessun file scritto.";
// The name of the format that writes the contest into its header.
Text NoContestText(TextView format);
Text ExportRefusedText(TextView diagnostics);
Text CannotExportText(TextView path, TextView reason);
Text ExportWrittenText(TextView path, TextView diagnostics);
Text ReplaceFileQuestion(TextView path);

// Why cardel.ini was not written.
Text SettingsTooLargeReason(TextView megabytes);
inline constexpr TextView kSettingsFormatReason =
    u"il file non \u00E8 nel formato delle impostazioni";
inline constexpr TextView kSettingsAccessReason = u"la cartella o il file non si lasciano scrivere";

// cardel.ini: each told once, since the values stay in use either way.
Text SettingsNotSavedText(TextView path, TextView reason);
Text SettingsCommentsDroppedText(TextView path, std::size_t comments);

// What the window tells of the known locators read at start: "Storico: 2
// nominativi da 1 file", with ", 3 righe non lette" when lines were skipped.
Text HistoryStatus(std::size_t stations, std::size_t files, std::size_t unreadLines);

}  // namespace cardel
