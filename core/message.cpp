#include "message.h"

#include <string>

namespace cardel {

namespace {

constexpr TextView kUnprotected =
    u"I contatti non sono protetti da un'interruzione improvvisa: salvare spesso con \"Salva\".";

Message LogFileMessage(Text text, MessageIcon icon) {
  return {std::move(text), Text(kLogFileTitle), icon};
}

Message ApplicationMessage(Text text, MessageIcon icon) {
  return {std::move(text), Text(kApplicationTitle), icon};
}

}  // namespace

TextView MarkDescription(CallMark mark) {
  switch (mark) {
    case CallMark::Duplicate: return u"Duplicato";
    case CallMark::NewBand: return u"Nuova banda";
    case CallMark::Normal: break;
  }
  return {};
}

Message EmptyLogMessage() {
  return LogFileMessage(u"Impossibile salvare un LOG vuoto", MessageIcon::Information);
}

Message LogSavedMessage(TextView logFilePath) {
  return LogFileMessage(Join({u"Log salvato in ", logFilePath}), MessageIcon::Information);
}

Message SaveFailedMessage(TextView logFilePath, TextView reason) {
  return LogFileMessage(Join({u"Impossibile salvare il LOG in ", logFilePath, u"\n", reason}),
                        MessageIcon::Exclamation);
}

Message NoLogFoundMessage() {
  return LogFileMessage(u"Nessun LOG trovato!.", MessageIcon::Exclamation);
}

Message ReadFailedMessage(TextView logFilePath, TextView reason) {
  return LogFileMessage(Join({u"Impossibile leggere il LOG da ", logFilePath, u"\n", reason}),
                        MessageIcon::Exclamation);
}

Text RecoveryQuestion(std::size_t lines) {
  return Join({u"L'ultima sessione non \u00E8 stata chiusa correttamente. Recuperare il log (",
               ZeroPadded(static_cast<int>(lines), 1), lines == 1 ? u" riga)?" : u" righe)?"});
}

Message RecoveryKeptMessage(TextView keptPath) {
  return ApplicationMessage(Join({u"Il log non recuperato \u00E8 stato conservato in ", keptPath}),
                            MessageIcon::Information);
}

Message RecoveryNotKeptMessage(TextView path, TextView reason) {
  return ApplicationMessage(Join({u"Impossibile mettere da parte il file di recupero ", path, u"\n",
                                  reason, u"\n", u"Il file resta com'\u00E8. ", kUnprotected}),
                            MessageIcon::Exclamation);
}

Message RecoveryInUseMessage() {
  return ApplicationMessage(
      Join({u"Cardel \u00E8 gi\u00E0 aperto in questa cartella e ne protegge il log. ",
            u"In questa finestra i contatti non sono protetti da un'interruzione "
            u"improvvisa: salvare spesso con \"Salva\"."}),
      MessageIcon::Exclamation);
}

Message RecoveryFailedMessage(TextView path, TextView reason) {
  return ApplicationMessage(Join({u"Impossibile scrivere il file di recupero ", path, u"\n", reason,
                                  u"\n", kUnprotected}),
                            MessageIcon::Exclamation);
}

Message RecoveryLockFailedMessage(TextView lockPath, TextView reason) {
  return ApplicationMessage(Join({u"Impossibile creare il blocco del file di recupero ", lockPath,
                                  u"\n", reason, u"\n", kUnprotected}),
                            MessageIcon::Exclamation);
}

Message RecoveryNotAFileMessage(TextView path) {
  return ApplicationMessage(
      Join({path, u" non \u00E8 un file: resta com'\u00E8 e non viene usato.\n", kUnprotected}),
      MessageIcon::Exclamation);
}

Message RecoveryNotRemovedMessage(TextView path, TextView reason) {
  return ApplicationMessage(
      Join({u"Impossibile eliminare il file di recupero ", path, u"\n", reason, u"\n",
            u"Al prossimo avvio Cardel chieder\u00E0 di recuperarne il log: rispondere No "
            u"se il log \u00E8 gi\u00E0 stato salvato con \"Salva\"."}),
      MessageIcon::Exclamation);
}

Text BadStationCallText(TextView callSign) {
  return Join({u"Il nominativo \"", callSign, u"\" non \u00E8 valido: solo lettere, cifre e /."});
}

Text BadStationLocatorText(TextView locator) {
  return Join({u"Il locatore \"", locator,
               u"\" non \u00E8 valido: servono 6 caratteri, due lettere da A a R, due cifre e "
               u"due lettere da A a X, come JN61FW."});
}

Text NoContestText(TextView format) {
  return Join({u"Manca il nome del contest: il file ", format, u" lo scrive nell'intestazione.\n",
               kNothingWritten});
}

Text ExportRefusedText(TextView diagnostics) {
  return Join({u"Nessun file scritto:\n", diagnostics});
}

Text CannotExportText(TextView path, TextView reason) {
  return Join({u"Impossibile scrivere ", path, u":\n", reason, u"\n", kNothingWritten});
}

Text ExportWrittenText(TextView path, TextView diagnostics) {
  return Join({u"Scritto ", path, u"\n\n", diagnostics});
}

Text ReplaceFileQuestion(TextView path) {
  return Join({u"Il file ", path, u" esiste gi\u00E0. Sostituirlo?"});
}

Text SettingsTooLargeReason(TextView megabytes) {
  return Join({u"il file \u00E8 di ", megabytes,
               u" MB, troppi per delle impostazioni, e non viene riscritto"});
}

Text SettingsNotSavedText(TextView path, TextView reason) {
  return Join({u"Impossibile salvare le impostazioni in ", path, u": ", reason,
               u".\nRestano valide fino alla chiusura del programma."});
}

Text SettingsCommentsDroppedText(TextView path, std::size_t comments) {
  return Join({u"Le impostazioni sono state salvate in ", path,
               u" senza le sue righe di commento (", ZeroPadded(static_cast<int>(comments), 1),
               u"): il file \u00E8 riscritto con le sole chiavi e i loro valori."});
}

Text HistoryStatus(std::size_t stations, std::size_t files, std::size_t unreadLines) {
  const auto number = [](std::size_t n) {
    const std::string digits = std::to_string(n);
    return Text(digits.begin(), digits.end());
  };
  Text status =
      Join({u"Storico: ", number(stations), stations == 1 ? u" nominativo" : u" nominativi",
            u" da ", number(files), u" file"});
  if (unreadLines > 0)
    status += Join(
        {u", ", number(unreadLines), unreadLines == 1 ? u" riga non letta" : u" righe non lette"});
  return status;
}

}  // namespace cardel
