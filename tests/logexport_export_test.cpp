#include <gtest/gtest.h>

#include <algorithm>

#include "export.h"
#include "logexport_test_support.h"

using namespace cardel::logexport;

namespace {

// Two bands, a duplicate (line 4), a line typed by hand (3), one with blanks
// and lower case and the old negative hour (2), a letter outside ASCII, a
// short locator and a received serial that is not a number (6).
const std::string kSmallLog =
    "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n"
    "002-+-07/12/2026---0-130--- q2xy ---59---7---jn61fw-->144 Mhz\r\n"
    "nota scritta a mano\r\n"
    "003-+-07/12/2026---1002---Q1ABC---59---015---JO22AB-->144 Mhz\r\n"
    "004-+-07/12/2026---1010---Q1ABC---59---016---JO22AB-->432 Mhz\r\n"
    "005-+-07/12/2026---1015---Q3\xc8Z---59---A1---JN61-->432 Mhz\r\n"
    "\r\n";

Options Station(Format format) {
  return Options{.format = format,
                 .ownCall = "q9xyz",
                 .ownLocator = "JN61FW",
                 .contest = "Prova VHF",
                 .programVersion = "1.2"};
}

Outcome ExportLog(std::string_view log, const Options& options) {
  return Export(log, options, ReadDayMonthYear);
}

}  // namespace

TEST(Export, EdiOfOneBandByteForByte) {
  Options options = Station(Format::Edi);
  options.band = "144 Mhz";
  const Outcome outcome = ExportLog(kSmallLog, options);
  EXPECT_EQ(
      outcome.output,
      "[REG1TEST;1]\r\nTName=Prova VHF\r\nTDate=20261206;20261207\r\nPCall=Q9XYZ\r\n"
      "PWWLo=JN61FW\r\nPExch=\r\nPAdr1=\r\nPAdr2=\r\nPSect=SINGLE\r\nPBand=144 MHz\r\n"
      "PClub=\r\nRName=\r\nRCall=Q9XYZ\r\nMOpe1=\r\nMOpe2=\r\nSPowe=\r\nSAnte=\r\nCQSOs=2;1\r\n"
      "CQSOP=1294\r\nCWWLs=2;0;1\r\nCWWLB=\r\nCExcs=\r\nCExcB=\r\nCDXCs=\r\nCDXCB=\r\n"
      "CToSc=1294\r\nCODXC=Q1ABC;JO22AB;1292\r\n[Remarks]\r\n[QSORecords;3]\r\n"
      "261207;0918;Q1ABC;1;59;001;59;012;;JO22AB;1293;;N;;\r\n"
      "261206;2330;Q2XY;1;59;002;59;007;;JN61FW;1;;N;;\r\n"
      "261207;1002;Q1ABC;1;59;003;59;015;;JO22AB;0;;;;D\r\n");
  EXPECT_EQ(Joined(outcome.diagnostics),
            "riga 3: non è un collegamento: nota scritta a mano\n"
            "riga 6: caratteri fuori ASCII sostituiti (Q3ÈZ scritto Q3EZ)\n"
            "Collegamenti: 3 (144 Mhz: 3)\n"
            "Altre bande, non nel file: 432 Mhz: 2\n"
            "Doppi: 1\n"
            "Righe escluse: 1\n"
            "Punti: 1294\n"
            "ODX: Q1ABC JO22AB 1292 km\n"
            "Punteggio dichiarato: 1294\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST(Export, EdiNamesTheBandAsEveryReaderReadsIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"50 Mhz", "50 MHz"},
      {"144 Mhz", "144 MHz"},
      {"432 Mhz", "432 MHz"},
      {"1296 Mhz", "1,3 GHz"},
  };
  for (const auto& [band, pband] : cases) {
    SCOPED_TRACE(band);
    Options options = Station(Format::Edi);
    options.band = band;
    const std::string log =
        std::string("001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->") + band + "\r\n";
    const Outcome outcome = ExportLog(log, options);
    EXPECT_NE(outcome.output.find("\r\nPBand=" + std::string(pband) + "\r\n"), std::string::npos);
    EXPECT_EQ(outcome.exitStatus, 0);
  }
}

TEST(Export, CabrilloOfTwoBandsByteForByte) {
  const Outcome outcome = ExportLog(kSmallLog, Station(Format::Cabrillo));
  EXPECT_EQ(outcome.output,
            "START-OF-LOG: 3.0\r\nCREATED-BY: cardel-export 1.2\r\nCALLSIGN: Q9XYZ\r\n"
            "CONTEST: Prova VHF\r\nCATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: ALL\r\n"
            "CATEGORY-MODE: SSB\r\nGRID-LOCATOR: JN61FW\r\nCLAIMED-SCORE: 2587\r\n"
            "QSO: 144 PH 2026-12-07 0918 Q9XYZ 59 001 JN61FW Q1ABC 59 012 JO22AB\r\n"
            "QSO: 144 PH 2026-12-06 2330 Q9XYZ 59 002 JN61FW Q2XY 59 7 JN61FW\r\n"
            "QSO: 144 PH 2026-12-07 1002 Q9XYZ 59 003 JN61FW Q1ABC 59 015 JO22AB\r\n"
            "QSO: 432 PH 2026-12-07 1010 Q9XYZ 59 004 JN61FW Q1ABC 59 016 JO22AB\r\n"
            "QSO: 432 PH 2026-12-07 1015 Q9XYZ 59 005 JN61FW Q3EZ 59 A1 JN61\r\n"
            "END-OF-LOG:\r\n");
  EXPECT_EQ(Joined(outcome.diagnostics),
            "riga 3: non è un collegamento: nota scritta a mano\n"
            "riga 6: caratteri fuori ASCII sostituiti (Q3ÈZ scritto Q3EZ)\n"
            "riga 6: locatore \"JN61\" di 4 caratteri, 0 punti\n"
            "Collegamenti: 5 (144 Mhz: 3, 432 Mhz: 2)\n"
            "Doppi: 1\n"
            "Righe escluse: 1\n"
            "Punti: 2587\n"
            "ODX: Q1ABC JO22AB 1292 km\n"
            "Punteggio dichiarato: 2587\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST(Export, AdifWithoutLocatorByteForByte) {
  Options options = Station(Format::Adif);
  options.ownLocator.reset();
  options.contest.clear();
  options.mode = Mode::Cw;
  const Outcome outcome = ExportLog(kSmallLog, options);
  const std::string tail = "<MODE:2>CW <RST_SENT:3>599 <RST_RCVD:3>599 <STX:3>00";
  EXPECT_EQ(outcome.output,
            "Log di Q9XYZ, scritto da cardel-export\r\n"
            "<ADIF_VER:5>3.1.4 <PROGRAMID:13>cardel-export <PROGRAMVERSION:3>1.2 <EOH>\r\n"
            "<CALL:5>Q1ABC <QSO_DATE:8>20261207 <TIME_ON:4>0918 <BAND:2>2m " +
                tail +
                "1 <SRX:3>012 <GRIDSQUARE:6>JO22AB <STATION_CALLSIGN:5>Q9XYZ <EOR>\r\n"
                "<CALL:4>Q2XY <QSO_DATE:8>20261206 <TIME_ON:4>2330 <BAND:2>2m " +
                tail +
                "2 <SRX:1>7 <GRIDSQUARE:6>JN61FW <STATION_CALLSIGN:5>Q9XYZ <EOR>\r\n"
                "<CALL:5>Q1ABC <QSO_DATE:8>20261207 <TIME_ON:4>1002 <BAND:2>2m " +
                tail +
                "3 <SRX:3>015 <GRIDSQUARE:6>JO22AB <STATION_CALLSIGN:5>Q9XYZ <EOR>\r\n"
                "<CALL:5>Q1ABC <QSO_DATE:8>20261207 <TIME_ON:4>1010 <BAND:4>70cm " +
                tail +
                "4 <SRX:3>016 <GRIDSQUARE:6>JO22AB <STATION_CALLSIGN:5>Q9XYZ <EOR>\r\n"
                "<CALL:4>Q3EZ <QSO_DATE:8>20261207 <TIME_ON:4>1015 <BAND:4>70cm " +
                tail + "5 <SRX_STRING:2>A1 <GRIDSQUARE:4>JN61 <STATION_CALLSIGN:5>Q9XYZ <EOR>\r\n");
  EXPECT_EQ(Joined(outcome.diagnostics),
            "riga 3: non è un collegamento: nota scritta a mano\n"
            "riga 6: caratteri fuori ASCII sostituiti (Q3ÈZ scritto Q3EZ)\n"
            "Collegamenti: 5 (144 Mhz: 3, 432 Mhz: 2)\n"
            "Doppi: 1\n"
            "Righe escluse: 1\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST(Export, HfContactsGetTheBandOptionAndKilohertz) {
  Options options = Station(Format::Cabrillo);
  options.ownLocator.reset();
  options.contest = "CQ-TEST";
  options.band = "14 mhz";
  const Outcome outcome = ExportLog(
      "001-+-07/12/2026---0918---Q1ABC---59---012---\r\n"
      "002-+-07/12/2026---0920---Q1ABC---59---013----->7 Mhz\n",
      options);
  EXPECT_EQ(outcome.output,
            "START-OF-LOG: 3.0\r\nCREATED-BY: cardel-export 1.2\r\nCALLSIGN: Q9XYZ\r\n"
            "CONTEST: CQ-TEST\r\nCATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: ALL\r\n"
            "CATEGORY-MODE: SSB\r\n"
            "QSO: 14000 PH 2026-12-07 0918 Q9XYZ 59 001 Q1ABC 59 012\r\n"
            "QSO: 7000 PH 2026-12-07 0920 Q9XYZ 59 002 Q1ABC 59 013\r\n"
            "END-OF-LOG:\r\n");
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(Joined(outcome.diagnostics),
            "Collegamenti: 2 (7 Mhz: 1, 14 Mhz: 1)\nDoppi: 0\nRighe escluse: 0\n");
}

struct StatusCase {
  const char* name;
  std::string log;
  Options options;
  int exitStatus;
  const char* diagnostic;  // one of the lines says this
};

const std::string kOneContact = "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n";

Options With(Format format, void (*change)(Options&)) {
  Options options = Station(format);
  change(options);
  return options;
}

TEST(Export, RefusesAndLeavesOutWithTheRightExitStatus) {
  const StatusCase cases[] = {
      {"all exported", kOneContact, Station(Format::Edi), 0, "Righe escluse: 0"},
      {"no own call", kOneContact, With(Format::Adif, [](Options& o) { o.ownCall.clear(); }), 2,
       "manca il nominativo della stazione (--call)"},
      {"own call with a blank", kOneContact,
       With(Format::Adif, [](Options& o) { o.ownCall = "Q9 XYZ"; }), 2,
       "nominativo della stazione non valido: \"Q9 XYZ\""},
      {"EDI without own locator", kOneContact,
       With(Format::Edi, [](Options& o) { o.ownLocator.reset(); }), 2,
       "per l'EDI serve il locatore della stazione (--locator)"},
      {"own locator of four characters", kOneContact,
       With(Format::Cabrillo, [](Options& o) { o.ownLocator = "JN61"; }), 2,
       "locatore della stazione non valido: \"JN61\" (servono 6 caratteri, come JN61FW)"},
      {"own locator subsquare out of range", kOneContact,
       With(Format::Adif, [](Options& o) { o.ownLocator = "jn61fz"; }), 2,
       "locatore della stazione non valido: \"jn61fz\""},
      {"lower-case own locator is fine", kOneContact,
       With(Format::Edi, [](Options& o) { o.ownLocator = "jn61fw"; }), 0, "Punti: 1293"},
      {"unknown band option", kOneContact,
       With(Format::Adif, [](Options& o) { o.band = "145 Mhz"; }), 2,
       "banda sconosciuta: \"145 Mhz\" (bande: 7 Mhz, 14 Mhz, 21 Mhz, 28 Mhz, 50 Mhz, 144 Mhz, "
       "432 Mhz, 1296 Mhz)"},
      {"EDI below 50 MHz", kOneContact, With(Format::Edi, [](Options& o) { o.band = "28 Mhz"; }), 2,
       "l'EDI non copre la banda 28 Mhz: solo da 50 Mhz in su"},
      {"EDI of an HF log", "001-+-07/12/2026---0918---Q1ABC---59---012----->21 Mhz",
       Station(Format::Edi), 2, "l'EDI non copre la banda 21 Mhz: solo da 50 Mhz in su"},
      {"EDI of two bands without a band", kSmallLog, Station(Format::Edi), 2,
       "il log ha più bande (144 Mhz, 432 Mhz): sceglierne una con --band"},
      {"EDI of a band with no contact", kOneContact,
       With(Format::Edi, [](Options& o) { o.band = "1296 Mhz"; }), 2,
       "nessun collegamento sulla banda 1296 Mhz"},
      {"empty log", "", Station(Format::Adif), 2, "nessun collegamento nel log"},
      {"no contact line", "ciao\r\n\r\n", Station(Format::Adif), 2,
       "riga 1: non è un collegamento: ciao"},
      {"bad received report", kOneContact,
       With(Format::Adif, [](Options& o) { o.receivedReport = ""; }), 2,
       "rapporto ricevuto non valido: \"\""},
      {"no band anywhere: Cabrillo has nothing to write",
       "001-+-07/12/2026---0918---Q1ABC---59---012---", Station(Format::Cabrillo), 2,
       "riga 1: manca la banda (indicarla con --band): 001-+-"},
      {"no band anywhere: ADIF leaves BAND out", "001-+-07/12/2026---0918---Q1ABC---59---012---",
       Station(Format::Adif), 0, "Collegamenti: 1 (senza banda: 1)"},
      {"hand-typed band: Cabrillo leaves the line out",
       "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->145\r\n"
       "002-+-07/12/2026---0918---Q1ABD---59---012---JO22AB-->144 Mhz",
       Station(Format::Cabrillo), 1, "riga 1: banda sconosciuta \"145\": 001-+-"},
      {"hand-typed band: ADIF keeps the contact",
       "001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->145", Station(Format::Adif), 0,
       "riga 1: banda \"145\" fuori dalla lista: BAND non scritto"},
      {"date in another format", "001-+-2026-12-07---0918---Q1ABC---59---012---JO22AB-->144 Mhz",
       Station(Format::Adif), 2, "riga 1: data non valida: 001-+-2026-12-07"},
      {"impossible date",
       "001-+-31/02/2026---0918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n" +
           std::string(kOneContact),
       Station(Format::Adif), 1, "riga 1: data non valida"},
      {"broken time, the rest exported",
       "001-+-07/12/2026---918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n" +
           std::string(kOneContact),
       Station(Format::Cabrillo), 1, "riga 1: ora non valida: 001-+-07/12/2026---918---"},
      {"Cabrillo without a contest", kOneContact,
       With(Format::Cabrillo, [](Options& o) { o.contest.clear(); }), 2,
       "il Cabrillo nomina il contest: manca --contest"},
      {"EDI without a contest", kOneContact,
       With(Format::Edi, [](Options& o) { o.contest.clear(); }), 2,
       "l'EDI nomina il contest: manca --contest"},
      {"EDI with a contest of blanks", kOneContact,
       With(Format::Edi, [](Options& o) { o.contest = "   "; }), 2,
       "l'EDI nomina il contest: manca --contest"},
      {"Cabrillo with a contest of a tab and a no-break space", kOneContact,
       With(Format::Cabrillo, [](Options& o) { o.contest = "\t\u00a0"; }), 2,
       "il Cabrillo nomina il contest: manca --contest"},
      {"ADIF without a contest", kOneContact,
       With(Format::Adif, [](Options& o) { o.contest.clear(); }), 0, "Righe escluse: 0"},
      {"blank section", kOneContact, With(Format::Edi, [](Options& o) { o.section = " "; }), 2,
       "sezione vuota (--section)"},
      {"section without an operator category", kOneContact,
       With(Format::Cabrillo, [](Options& o) { o.section = "6H"; }), 0,
       "--section \"6H\" non dice se gli operatori sono uno o più"},
      {"Cabrillo of contacts that all lack a locator",
       "001-+-07/12/2026---0918---Q1ABC---59---012---  -->144 Mhz", Station(Format::Cabrillo), 2,
       "riga 1: Q1ABC senza locatore ricevuto"},
      {"a call left out for its locator is no duplicate later",
       "001-+-07/12/2026---0918---Q1ABC---59---012---  -->144 Mhz\r\n" + kOneContact,
       Station(Format::Cabrillo), 1, "Punti: 1293"},
      {"blank section outside EDI", kOneContact,
       With(Format::Adif, [](Options& o) { o.section.clear(); }), 0, "Righe escluse: 0"},
      {"contest outside ASCII is folded", kOneContact,
       With(Format::Cabrillo, [](Options& o) { o.contest = "Città"; }), 0,
       "--contest: caratteri fuori ASCII sostituiti (Città scritto Citta)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = ExportLog(c.log, c.options);
    EXPECT_EQ(outcome.exitStatus, c.exitStatus);
    EXPECT_EQ(outcome.output.empty(), c.exitStatus == 2);
    EXPECT_TRUE(
        std::any_of(outcome.diagnostics.begin(), outcome.diagnostics.end(),
                    [&](const std::string& line) { return line.starts_with(c.diagnostic); }))
        << Joined(outcome.diagnostics);
  }
}

TEST(Export, CabrilloWithoutOwnLocatorWritesNoLocatorOnAnyLine) {
  Options options = Station(Format::Cabrillo);
  options.ownLocator.reset();
  options.mode = Mode::Cw;
  options.section = "multi";
  const Outcome outcome = ExportLog(kSmallLog, options);
  const std::string head = "QSO: 144 CW 2026-12-0";
  EXPECT_EQ(outcome.output,
            "START-OF-LOG: 3.0\r\nCREATED-BY: cardel-export 1.2\r\nCALLSIGN: Q9XYZ\r\n"
            "CONTEST: Prova VHF\r\nCATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-BAND: ALL\r\n"
            "CATEGORY-MODE: CW\r\n" +
                head + "7 0918 Q9XYZ 599 001 Q1ABC 599 012\r\n" + head +
                "6 2330 Q9XYZ 599 002 Q2XY 599 7\r\n" + head +
                "7 1002 Q9XYZ 599 003 Q1ABC 599 015\r\n"
                "QSO: 432 CW 2026-12-07 1010 Q9XYZ 599 004 Q1ABC 599 016\r\n"
                "QSO: 432 CW 2026-12-07 1015 Q9XYZ 599 005 Q3EZ 599 A1\r\n"
                "END-OF-LOG:\r\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

// Line 2 has no locator, line 3 a short one: it fills the column all the same.
const std::string kOneWithoutLocator =
    "001-+-07/12/2026---0918---Q1ABC---59---12---IO91WM-->144 Mhz\r\n"
    "002-+-07/12/2026---0925---Q4GHI---59---038---  -->144 Mhz\r\n"
    "003-+-07/12/2026---0931---Q5JKL---59---040---JN61-->144 Mhz\r\n";

TEST(Export, CabrilloWithOwnLocatorLeavesOutAContactWithoutOne) {
  Options options = Station(Format::Cabrillo);
  options.points = PointsRule::Km;
  const Outcome outcome = ExportLog(kOneWithoutLocator, options);
  EXPECT_EQ(outcome.output,
            "START-OF-LOG: 3.0\r\nCREATED-BY: cardel-export 1.2\r\nCALLSIGN: Q9XYZ\r\n"
            "CONTEST: Prova VHF\r\nCATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: 2M\r\n"
            "CATEGORY-MODE: SSB\r\nGRID-LOCATOR: JN61FW\r\nCLAIMED-SCORE: 1429\r\n"
            "QSO: 144 PH 2026-12-07 0918 Q9XYZ 59 001 JN61FW Q1ABC 59 12 IO91WM\r\n"
            "QSO: 144 PH 2026-12-07 0931 Q9XYZ 59 003 JN61FW Q5JKL 59 040 JN61\r\n"
            "END-OF-LOG:\r\n");
  EXPECT_EQ(Joined(outcome.diagnostics),
            "riga 2: Q4GHI senza locatore ricevuto, che il Cabrillo con il locatore della "
            "stazione scrive su ogni riga: escluso\n"
            "riga 3: locatore \"JN61\" di 4 caratteri, 0 punti\n"
            "Collegamenti: 2 (144 Mhz: 2)\nDoppi: 0\nRighe escluse: 1\nPunti: 1429\n"
            "ODX: Q1ABC IO91WM 1429 km\nPunteggio dichiarato: 1429\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

// REG1TEST takes a received WWL of 0, 4 or 6 characters; anything else
// would mislead the sponsor's checker and is left empty.
TEST(Export, EdiRecordKeepsAReceivedLocatorOfFourCharacters) {
  const std::string log =
      "001-+-07/12/2026---0918---Q1ABC---59---12---IO91WM-->144 Mhz\r\n"
      "002-+-07/12/2026---0925---Q4GHI---59---038---JN61-->144 Mhz\r\n"
      "003-+-07/12/2026---0931---Q5JKL---59---040---JZ61-->144 Mhz\r\n"
      "004-+-07/12/2026---0935---Q6MNO---59---041---JN61F-->144 Mhz\r\n";
  const Outcome outcome = ExportLog(log, Station(Format::Edi));
  EXPECT_NE(outcome.output.find(";Q4GHI;1;59;002;59;038;;JN61;0;;;;\r\n"), std::string::npos);
  EXPECT_NE(outcome.output.find(";Q5JKL;1;59;003;59;040;;;0;;;;\r\n"), std::string::npos);
  EXPECT_NE(outcome.output.find(";Q6MNO;1;59;004;59;041;;;0;;;;\r\n"), std::string::npos);
  EXPECT_NE(Joined(outcome.diagnostics).find("riga 3: locatore \"JZ61\" non valido, 0 punti"),
            std::string::npos);
}

// A hand-edited line, or one from an older program, may carry blanks and
// invisible characters (Windows-1252 bytes) around its fields: the contact
// is read as if they were not there.
TEST(Export, ReadsFieldsWithBlanksAndInvisibleCharactersAside) {
  struct Case {
    const char* name;
    const char* call;
    const char* serial;
    const char* locator;
  } const cases[] = {
      {"no-break space before the locator", "Q1ABC", "012", "\xa0JO22AB"},
      {"trailing blank after the locator", "Q1ABC", "012", "JO22AB "},
      {"tab and no-break space around the serial", "Q1ABC", "\t012\xa0", "JO22AB"},
      {"soft hyphen after the locator, control character before the serial", "Q1ABC",
       "\x01"
       "012",
       "JO22AB\xad"},
      {"lower-case locator and a no-break space", "Q1ABC", "012", "jo22ab\xa0"},
      {"the call sign read the same way", "\xa0q1abc\t", "012 ", " JO22AB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string log = std::string("001-+-07/12/2026---0918---") + c.call + "---59---" +
                            c.serial + "---" + c.locator + "-->144 Mhz\r\n";
    const Outcome outcome = ExportLog(log, Station(Format::Edi));
    EXPECT_NE(outcome.output.find("\r\n261207;0918;Q1ABC;1;59;001;59;012;;JO22AB;1293;;N;;\r\n"),
              std::string::npos)
        << outcome.output;
    EXPECT_EQ(outcome.diagnostics.front(), "Collegamenti: 1 (144 Mhz: 1)");
    EXPECT_EQ(outcome.exitStatus, 0);
  }
}

TEST(Export, EdiQsoNumbersHaveThreeOrFourDigits) {
  struct Case {
    const char* typed;
    const char* written;
    const char* note;  // empty: none
  } const cases[] = {
      {"7", "007", ""},
      {"38", "038", ""},
      {"038", "038", ""},
      {"1234", "1234", ""},
      {"0012", "012", ""},
      {"0", "000", ""},
      {"A1", "",
       "riga 1: numero ricevuto \"A1\" non è un numero di 4 cifre al più: lasciato vuoto"},
      {"12345", "", "riga 1: numero ricevuto \"12345\" non è un numero di 4 cifre al più"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string log =
        "1-+-07/12/2026---0918---Q1ABC---59---" + std::string(c.typed) + "---JO22AB-->144 Mhz\r\n";
    const Outcome outcome = ExportLog(log, Station(Format::Edi));
    EXPECT_NE(outcome.output.find("\r\n261207;0918;Q1ABC;1;59;001;59;" + std::string(c.written) +
                                  ";;JO22AB;1293;;N;;\r\n"),
              std::string::npos)
        << outcome.output;
    EXPECT_EQ(outcome.diagnostics.front().starts_with(c.note), true) << outcome.diagnostics.front();
    EXPECT_EQ(outcome.diagnostics.front().starts_with("riga"), *c.note != '\0');
    EXPECT_EQ(outcome.exitStatus, 0);
  }
}

TEST(Export, PointsRuleCountsEveryRecordAndTheClaimedScoreInEveryFormat) {
  // 1429.75 km to IO91WM, 1292.27 km to JO22AB.
  const std::string log =
      "001-+-07/12/2026---0918---Q1ABC---59---12---IO91WM-->144 Mhz\r\n"
      "002-+-07/12/2026---0925---Q2XY---59---13---JO22AB-->144 Mhz\r\n";
  struct Case {
    PointsRule rule;
    const char* records;  // the points of both EDI records
    const char* total;
  } const cases[] = {
      {PointsRule::Iaru, "1430 1293", "2723"},
      {PointsRule::Km, "1429 1292", "2721"},
      {PointsRule::Round, "1430 1292", "2722"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.total);
    for (const Format format : {Format::Edi, Format::Cabrillo, Format::Adif}) {
      SCOPED_TRACE(int(format));
      Options options = Station(format);
      options.points = c.rule;
      const Outcome outcome = ExportLog(log, options);
      const std::string total(c.total);
      EXPECT_NE(Joined(outcome.diagnostics).find("Punti: " + total + "\n"), std::string::npos);
      if (format == Format::Cabrillo) {
        EXPECT_NE(outcome.output.find("CLAIMED-SCORE: " + total + "\r\n"), std::string::npos);
      }
      if (format != Format::Edi) continue;
      EXPECT_NE(outcome.output.find("CQSOP=" + total + "\r\nCWWLs"), std::string::npos);
      EXPECT_NE(outcome.output.find("CToSc=" + total + "\r\n"), std::string::npos);
      const std::string points(c.records);
      const std::string first = points.substr(0, points.find(' '));
      const std::string second = points.substr(points.find(' ') + 1);
      EXPECT_NE(outcome.output.find(";IO91WM;" + first + ";;N;;"), std::string::npos);
      EXPECT_NE(outcome.output.find(";JO22AB;" + second + ";;N;;"), std::string::npos);
    }
  }
}

TEST(Export, EdiCountsTheSquaresItMarksNew) {
  struct {
    const char* log;
    const char* squares;
  } const cases[] = {
      // Two locators of one square, a duplicate, a second square.
      {"001-+-07/12/2026---0918---Q1ABC---59---012---JO22AB-->144 Mhz\r\n"
       "002-+-07/12/2026---0920---Q1DEF---59---013---JO22XX-->144 Mhz\r\n"
       "003-+-07/12/2026---0921---Q1ABC---59---014---JO33AB-->144 Mhz\r\n"
       "004-+-07/12/2026---0922---Q2XY---59---015---JN61FW-->144 Mhz\r\n",
       "CWWLs=2;0;1\r\n"},
      // A square only, which scores nothing, marks no square.
      {"001-+-07/12/2026---0918---Q1ABC---59---012---JO22-->144 Mhz\r\n", "CWWLs=0;0;1\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    Options options = Station(Format::Edi);
    options.band = "144 Mhz";
    EXPECT_NE(ExportLog(c.log, options).output.find(c.squares), std::string::npos);
  }
}
