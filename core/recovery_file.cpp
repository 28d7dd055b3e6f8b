#include "recovery_file.h"

#include "codepage.h"

namespace cardel {

namespace {

constexpr TextView kUnprotected =
    u"I contatti non sono protetti da un'interruzione improvvisa: salvare spesso con \"Salva\".";

Text Join(std::initializer_list<TextView> parts) {
  Text text;
  for (TextView part : parts) text.append(part);
  return text;
}

}  // namespace

std::string RecoveryBytes(TextView logText) { return EncodeWindows1252(logText); }

std::size_t CountLogLines(TextView logText) {
  std::size_t lines = 0;
  ForEachLine(logText, LoneLineFeed::InLine, [&lines](TextView) { ++lines; });
  return lines;
}

Text KeptRecoveryFileName(const FileStamp& s, int attempt) {
  Text name = Join({u"cardel-recupero-", ZeroPadded(s.year, 4), u"-", ZeroPadded(s.month, 2), u"-",
                    ZeroPadded(s.day, 2), u"_", ZeroPadded(s.hour, 2), u"-",
                    ZeroPadded(s.minute, 2), u"-", ZeroPadded(s.second, 2)});
  if (attempt > 1) name += Join({u"-", ZeroPadded(attempt, 1)});
  return name + u".txt";
}

Text RecoveryQuestion(std::size_t lines) {
  return Join({u"L'ultima sessione non \u00E8 stata chiusa correttamente. Recuperare il log (",
               ZeroPadded(static_cast<int>(lines), 1), u" righe)?"});
}

Message RecoveryKeptMessage(TextView keptPath) {
  return {Join({u"Il log non recuperato \u00E8 stato conservato in ", keptPath}),
          Text(kApplicationTitle), MessageIcon::Information};
}

Message RecoveryNotKeptMessage(TextView path, TextView reason) {
  return {Join({u"Impossibile mettere da parte il file di recupero ", path, u"\n", reason, u"\n",
                u"Il file resta com'\u00E8. ", kUnprotected}),
          Text(kApplicationTitle), MessageIcon::Exclamation};
}

Message RecoveryInUseMessage() {
  return {Join({u"Cardel \u00E8 gi\u00E0 aperto in questa cartella e ne protegge il log. ",
                u"In questa finestra i contatti non sono protetti da un'interruzione "
                u"improvvisa: salvare spesso con \"Salva\"."}),
          Text(kApplicationTitle), MessageIcon::Exclamation};
}

Message RecoveryFailedMessage(TextView path, TextView reason) {
  return {Join({u"Impossibile scrivere il file di recupero ", path, u"\n", reason, u"\n",
                kUnprotected}),
          Text(kApplicationTitle), MessageIcon::Exclamation};
}

}  // namespace cardel
