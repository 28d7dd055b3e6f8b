#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <functional>

#include "export_actions.h"
#include "export_dialog.h"
#include "export_request.h"
#include "station_dialog.h"
#include "window_fixture.h"

using cardel::ExportDialog;
using cardel::StationDialog;

namespace {

// Two bands, a duplicate, a locator of four characters and a line typed by hand.
const QString kLog = QsoLineText("001", "0818", "Q1ABC", "012", "JO22AB", "144 Mhz") +
                     QsoLineText("002", "0819", "Q2ABC", "013", "JN61", "144 Mhz") +
                     QsoLineText("003", "0820", "Q1ABC", "014", "JO22AB", "144 Mhz") + "nota\r\n" +
                     QsoLineText("004", "0821", "Q3ABC", "015", "JN52BA", "432 Mhz");

void WriteStation(const QString& folder, const QString& call, const QString& locator) {
  QSettings ini(folder + "/cardel.ini", QSettings::IniFormat);
  ini.setValue("Stazione/Nominativo", call);
  ini.setValue("Stazione/Locatore", locator);
}

// Runs `drive` on the modal dialog of type D that the next event loop shows;
// any other modal widget is closed, so that a failure never hangs the test.
template <typename D>
void OnNextDialog(std::function<void(D*)> drive) {
  QTimer::singleShot(0, [drive] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    if (!dialog) {
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      QFAIL("the expected dialog is not shown");
    }
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    drive(dialog);
    if (dialog->isVisible()) dialog->reject();
  });
}

void Select(QComboBox* box, const QString& text) { box->setCurrentIndex(box->findText(text)); }

void TypeIntoFocus(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

}  // namespace

class WindowExportTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowUnderTest> w;
  cardel::Form15* form() { return w->window.get(); }
  QString file(const QString& name) { return QDir::toNativeSeparators(w->dir.filePath(name)); }
  // Each call kept through "Stazione" in turn.
  void KeepStations(const QStringList& calls) {
    for (const QString& call : calls) {
      OnNextDialog<StationDialog>([call](StationDialog* d) {
        d->callSignBox->setText(call);
        QTest::keyClick(d->callSignBox, Qt::Key_Return);
      });
      form()->exportActions().stationAction->trigger();
      QCOMPARE(form()->exportActions().station().callSign, call);
    }
  }
  void restartWindow() {
    w->window = std::make_unique<cardel::Form15>(w->platform);
    w->showActive();
  }

 private slots:
  void init() {
    w = std::make_unique<WindowUnderTest>();
    w->showActive();
  }
  void cleanup() { w.reset(); }

  void contextMenuEndsWithStationAndExport_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("right click") << "mouse";
    QTest::newRow("menu key") << "menu";
    QTest::newRow("Shift+F10") << "shift-f10";
  }

  void contextMenuEndsWithStationAndExport() {
    QFETCH(QString, how);
    QStringList texts;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      for (QAction* action : menu->actions())
        texts.append(action->isSeparator() ? "-" : action->text());
      menu->close();
    });
    form()->Text1->setFocus();
    if (how == "mouse") {
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                              form()->Text1->viewport()->mapToGlobal(QPoint(10, 10)));
      QApplication::sendEvent(form()->Text1->viewport(), &event);
    } else {
      QTest::keyClick(form()->Text1, how == "menu" ? Qt::Key_Menu : Qt::Key_F10,
                      how == "menu" ? Qt::NoModifier : Qt::ShiftModifier);
    }
    QVERIFY(texts.size() > 4);
    QCOMPARE(texts.mid(texts.size() - 4),
             QStringList({"-", "Stazione...", "Esporta...", "Punteggio..."}));
    QVERIFY(w->log().isEmpty());  // the keys typed nothing
  }

  // From the window's shortcut to cardel.ini and back at the next start.
  void stationFromTheKeyboardIsKeptInTheIniFile() {
    OnNextDialog<StationDialog>([](StationDialog* d) {
      QCOMPARE(QApplication::focusWidget(), d->callSignBox);
      TypeIntoFocus("q9own/p");
      PressKey(Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->locatorBox);
      TypeIntoFocus("jn61fw");
      QCOMPARE(d->callSignBox->text(), QStringLiteral("Q9OWN/P"));
      QCOMPARE(d->callSignBox->accessibleName(), QStringLiteral("Nominativo"));
      QCOMPARE(d->locatorBox->accessibleName(), QStringLiteral("Locatore"));
      PressKey(Qt::Key_Return);
    });
    QTest::keyClicks(form()->Text4, "jo22ab");
    QCOMPARE(form()->Label5->text(), QString());  // no station yet
    QTest::keyClick(form()->Text2, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    const cardel::Station expected{"Q9OWN/P", "JN61FW"};
    QCOMPARE(form()->exportActions().station(), expected);
    QCOMPARE(form()->Label5->text(), QStringLiteral("1292 km 333\u00B0"));
    QSettings ini(w->dir.filePath("cardel.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value("Stazione/Nominativo").toString(), expected.callSign);
    QCOMPARE(ini.value("Stazione/Locatore").toString(), expected.locator);
    restartWindow();
    QCOMPARE(form()->exportActions().station(), expected);
    QTest::keyClicks(form()->Text4, "jo22ab");
    QCOMPARE(form()->Label5->text(), QStringLiteral("1292 km 333\u00B0"));
    QVERIFY(w->platform.shown.isEmpty());
  }

  void stationRefusesAnInvalidLocator_data() {
    QTest::addColumn<QString>("locator");
    QTest::newRow("four characters") << "JN61";
    QTest::newRow("field beyond R") << "JZ61FW";
    QTest::newRow("digit at the end") << "JN61F1";
  }

  void stationRefusesAnInvalidLocator() {
    QFETCH(QString, locator);
    bool stillOpen = false;
    OnNextDialog<StationDialog>([&](StationDialog* d) {
      QTest::keyClicks(d->callSignBox, "Q9OWN");
      QTest::keyClicks(d->locatorBox, locator);
      QTest::keyClick(d->locatorBox, Qt::Key_Return);
      stillOpen = d->isVisible();
    });
    form()->exportActions().stationAction->trigger();
    QVERIFY(stillOpen);
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY(w->platform.shown[0].text.contains("\"" + locator + "\" non è valido"));
    QCOMPARE(form()->exportActions().station(), cardel::Station{});
    QVERIFY(!QFile::exists(w->dir.filePath("cardel.ini")));
  }

  void unwritableFolderKeepsTheStationAndSaysSoOnce() {
    FolderLock lock(w->dir.path());
    if (!lock.locked()) QSKIP("this system lets the folder be written");
    KeepStations({"Q9OWN", "Q9TWO"});
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY(w->platform.shown[0].text.startsWith("Impossibile salvare le impostazioni in"));
  }

  // The dialog's file and the program's output, for the same log and choices.
  void exportEqualsTheExporterProgram_data() {
    QTest::addColumn<QString>("format");  // as the list shows it, typed to choose it
    QTest::addColumn<QString>("band");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("EDI 432") << "EDI"
                             << "432 Mhz" << QStringList{"--format", "edi", "--band", "432 Mhz"}
                             << "Q9OWN_432.edi";
    QTest::newRow("Cabrillo") << "Cabrillo"
                              << "144 Mhz"
                              << QStringList{"--format", "cabrillo", "--band", "144 Mhz"}
                              << "Q9OWN_144.cbr";
    QTest::newRow("ADIF") << "ADIF"
                          << "144 Mhz" << QStringList{"--format", "adif", "--band", "144 Mhz"}
                          << "Q9OWN_144.adi";
  }

  void exportEqualsTheExporterProgram() {
    QFETCH(QString, format);
    QFETCH(QString, band);
    QFETCH(QStringList, options);
    QFETCH(QString, fileName);
    WriteStation(w->dir.path(), "Q9OWN", "JN61FW");
    restartWindow();
    w->setLog(kLog);
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      // Formato, Contest, Sezione, Banda, Modo, Punti, from the keyboard.
      QCOMPARE(QApplication::focusWidget(), d->formatBox);
      TypeIntoFocus(format.left(1));
      PressKey(Qt::Key_Tab);
      TypeIntoFocus("Prova VHF");
      PressKey(Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->sectionBox);
      PressKey(Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->bandBox);
      TypeIntoFocus(band.left(2));
      PressKey(Qt::Key_Tab);
      TypeIntoFocus("C");
      PressKey(Qt::Key_Tab);
      TypeIntoFocus("k");
      QCOMPARE(d->formatBox->currentText(), format);
      QCOMPARE(d->bandBox->currentText(), band);
      QCOMPARE(d->fileBox->text(), file(fileName));
      PressKey(Qt::Key_Return);
      QVERIFY(!d->isVisible());
    });
    form()->exportActions().exportAction->trigger();
    QCOMPARE(w->platform.shown.size(), 1);
    QCOMPARE(w->platform.shown[0].title, QStringLiteral("Esporta log"));
    QVERIFY(w->platform.shown[0].text.contains("Collegamenti: "));
    QVERIFY(w->platform.shown[0].text.contains("Righe escluse: 1"));

#ifdef CARDEL_EXPORT
    QTest::mouseClick(form()->Command3, Qt::LeftButton);  // the log file the program reads
    QProcess program;
    program.start(CARDEL_EXPORT,
                  options + QStringList{"--call", "Q9OWN", "--locator", "JN61FW", "--contest",
                                        "Prova VHF", "--mode", "CW", "--points", "km",
                                        "--date-format", cardel::LogDateFormat(), w->logPath()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(ReadAll(file(fileName)), program.readAllStandardOutput());
#endif
    QSettings ini(w->dir.filePath("cardel.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value("Esporta/Formato").toString(), format);
    QCOMPARE(ini.value("Esporta/Punti").toString(), QStringLiteral("km"));
  }

  void exportThatWritesNothing_data() {
    QTest::addColumn<QString>("why");
    QTest::addColumn<QString>("message");
    QTest::newRow("no contest name") << "contest"
                                     << "Manca il nome del contest";
    QTest::newRow("no contacts") << "empty"
                                 << "nessun collegamento nel log";
    QTest::newRow("folder that does not exist") << "folder"
                                                << "Impossibile scrivere";
    QTest::newRow("the log file itself") << "log"
                                         << "il file del log stesso";
    QTest::newRow("a folder") << "sub"
                              << "è una cartella";
  }

  void exportThatWritesNothing() {
    QFETCH(QString, why);
    QFETCH(QString, message);
    WriteStation(w->dir.path(), "Q9OWN", "JN61FW");
    restartWindow();
    w->setLog(why == "empty" ? QString() : kLog);
    if (why == "log") QTest::mouseClick(form()->Command3, Qt::LeftButton);
    const QByteArray logBefore = ReadAll(w->logPath());
    w->platform.shown.clear();
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      if (why != "contest") d->contestBox->setText("Prova");
      if (why == "folder") d->fileBox->setText(file("manca/Q9OWN_144.edi"));
      if (why == "log") d->fileBox->setText(file("cardel.txt"));
      if (why == "sub") QVERIFY(QDir(w->dir.path()).mkdir("uscita"));
      if (why == "sub") d->fileBox->setText(file("uscita"));
      QTest::mouseClick(d->exportButton, Qt::LeftButton);
      QVERIFY(d->isVisible());
    });
    form()->exportActions().exportAction->trigger();
    QCOMPARE(w->platform.shown.size(), 1);
    QVERIFY2(w->platform.shown[0].text.contains(message), qPrintable(w->platform.shown[0].text));
    QCOMPARE(QDir(w->dir.path()).entryList({"*.edi"}), QStringList());
    QCOMPARE(ReadAll(w->logPath()), logBefore);
  }

  // "No" leaves the dialog as it was; "Yes" opens "Stazione", then exports.
  void missingStationIsAskedFor() {
    w->setLog(kLog);
    w->platform.answers = {QMessageBox::No, QMessageBox::Yes};
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      d->contestBox->setText("Prova");
      QTest::keyClick(d->contestBox, Qt::Key_Return);
      QVERIFY(d->isVisible());
      OnNextDialog<StationDialog>([](StationDialog* s) {
        QTest::keyClicks(s->callSignBox, "Q9OWN");
        QTest::keyClicks(s->locatorBox, "JN61FW");
        QTest::keyClick(s->locatorBox, Qt::Key_Return);
      });
      QTest::keyClick(d->contestBox, Qt::Key_Return);
    });
    form()->exportActions().exportAction->trigger();
    QCOMPARE(w->platform.shown.size(), 3);
    QCOMPARE(w->platform.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(w->platform.shown[2].text.startsWith("Scritto " + file("Q9OWN_144.edi")));
    QVERIFY(ReadAll(file("Q9OWN_144.edi")).startsWith("[REG1TEST;1]\r\n"));
  }

  // Every file the program keeps, by a bare name, a relative path, a link and
  // another letter case: refused with its name and why, before any question.
  void exportNeverReplacesAKeptFile_data() {
    QTest::addColumn<QString>("typed");  // into "File"
    QTest::addColumn<QString>("linkTo");
    QTest::addColumn<bool>("foldsCase");
    QTest::addColumn<QString>("why");
    const QString log = "il file del log stesso", recovery = "il file di recupero",
                  lock = "il blocco del file di recupero", ini = "il file delle impostazioni";
    auto row = [](const char* name, QString typed, QString linkTo, bool folds, QString why) {
      QTest::newRow(name) << typed << linkTo << folds << why;
    };
    row("log, bare name", "cardel.txt", "", false, log);
    row("log, other case", "CARDEL.TXT", "", true, log);
    row("recovery, bare name", "cardel-recupero.txt", "", false, recovery);
    row("recovery, relative path", "./cardel-recupero.txt", "", false, recovery);
    row("recovery, other case", "Cardel-Recupero.TXT", "", true, recovery);
    row("lock, bare name", "cardel-recupero.lock", "", false, lock);
    row("lock, other case", "CARDEL-RECUPERO.LOCK", "", true, lock);
    row("settings, bare name", "cardel.ini", "", false, ini);
    row("settings, other case", "Cardel.Ini", "", true, ini);
#ifdef Q_OS_WIN
    row("the program by its name", "Cardel.EXE", "", false, "il programma Cardel");
#else
    row("the program by its name", "cardel", "", false, "il programma Cardel");
#endif
    row("the running program", QCoreApplication::applicationFilePath(), "", false,
        "il programma stesso");
#ifndef Q_OS_WIN  // QFile::link makes a shortcut there, a file of its own
    row("recovery, link", "Q9OWN_144.edi", "cardel-recupero.txt", false, recovery);
    row("settings, link", "Q9OWN_144.edi", "cardel.ini", false, ini);
    row("lock, link", "Q9OWN_144.edi", "cardel-recupero.lock", false, lock);
#endif
  }

  void exportNeverReplacesAKeptFile() {
    QFETCH(QString, typed);
    QFETCH(QString, linkTo);
    QFETCH(bool, foldsCase);
    QFETCH(QString, why);
    WriteStation(w->dir.path(), "Q9OWN", "JN61FW");
    restartWindow();
    form()->startRecovery();
    w->setLog(kLog);
    QTest::mouseClick(form()->Command3, Qt::LeftButton);
    w->enterContact("Q7NEW", "020", "JN45AA");  // kept by the recovery file alone
    w->platform.foldsCase = foldsCase;
    if (!linkTo.isEmpty()) QVERIFY(QFile::link(file(linkTo), file(typed)));
    QMap<QString, QByteArray> before;
    for (const QString name : {"cardel.txt", "cardel-recupero.txt", "cardel.ini"})
      before[name] = ReadAll(file(name));
    QVERIFY(before["cardel-recupero.txt"].contains("Q7NEW"));
    w->platform.shown.clear();
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      d->contestBox->setText("Prova");
      d->fileBox->setText(typed);
      QTest::keyClick(d->fileBox, Qt::Key_Return);
      QVERIFY(d->isVisible());
      QCOMPARE(QApplication::focusWidget(), d->fileBox);
    });
    form()->exportActions().exportAction->trigger();
    QCOMPARE(w->platform.shown.size(), 1);
    const QString& text = w->platform.shown[0].text;
    QVERIFY2(text.contains(why) && text.contains(QDir::toNativeSeparators(typed)) &&
                 text.contains("Nessun file scritto"),
             qPrintable(text));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
      QCOMPARE(ReadAll(file(it.key())), it.value());
    QVERIFY(!QFile::exists(file("cardel")) && !QFile::exists(file("cardel.exe")));
  }

  // With no received locator in the log, the Cabrillo is the exporter's
  // without --locator; no message names an option the operator never typed.
  void messagesNameTheDialogsFields_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("section");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message");
    QTest::newRow("HF Cabrillo") << "Cabrillo"
                                 << "SINGLE" << true << "Righe escluse: 0";
    QTest::newRow("section of no category") << "Cabrillo"
                                            << "6H" << true << "Sezione \"6H\" non dice";
    QTest::newRow("blank section for EDI") << "EDI"
                                           << " " << false << "sezione vuota (Sezione)";
  }

  void messagesNameTheDialogsFields() {
    QFETCH(QString, format);
    QFETCH(QString, section);
    QFETCH(bool, written);
    QFETCH(QString, message);
    WriteStation(w->dir.path(), "Q9OWN", "JN61FW");
    restartWindow();
    w->setLog(QsoLineText("001", "0818", "Q1ABC", "012", "", "14 Mhz") +
              QsoLineText("002", "0819", "Q2ABC", "013", "", "14 Mhz") +
              QsoLineText("003", "0820", "Q3ABC", "014", "", "14 Mhz"));
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      Select(d->formatBox, format);
      d->contestBox->setText("Prova HF");
      d->sectionBox->setText(section);
      QTest::keyClick(d->contestBox, Qt::Key_Return);
    });
    form()->exportActions().exportAction->trigger();
    QVERIFY(!w->platform.shown.isEmpty());
    QString texts;
    for (const auto& shown : w->platform.shown) texts += shown.text + '\n';
    QVERIFY2(texts.contains(message), qPrintable(texts));
    QVERIFY2(!texts.contains("--"), qPrintable(texts));
    QCOMPARE(texts.startsWith("Scritto"), written);
#ifdef CARDEL_EXPORT
    if (format != "Cabrillo" || section != "SINGLE") return;
    QTest::mouseClick(form()->Command3, Qt::LeftButton);
    QProcess program;
    program.start(CARDEL_EXPORT,
                  {"--format", "cabrillo", "--call", "Q9OWN", "--contest", "Prova HF", "--band",
                   "14 Mhz", "--date-format", cardel::LogDateFormat(), w->logPath()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(texts.startsWith("Scritto " + file("Q9OWN_14.cbr")), qPrintable(texts));
    QCOMPARE(ReadAll(file("Q9OWN_14.cbr")), program.readAllStandardOutput());
#endif
  }

  // The operator types on where he was once a dialog has gone.
  void focusComesBackAfterEveryDialog_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("key");  // of the window's shortcut, with Ctrl+Shift
    QTest::addColumn<bool>("accept");
    QTest::newRow("Stazione, OK") << "station" << int(Qt::Key_S) << true;
    QTest::newRow("Stazione, Esc") << "station" << int(Qt::Key_S) << false;
    QTest::newRow("Esporta, written") << "export" << int(Qt::Key_E) << true;
    QTest::newRow("Esporta, Esc") << "export" << int(Qt::Key_E) << false;
  }

  void focusComesBackAfterEveryDialog() {
    QFETCH(QString, dialog);
    QFETCH(int, key);
    QFETCH(bool, accept);
    WriteStation(w->dir.path(), "Q9OWN", "JN61FW");
    restartWindow();
    w->setLog(kLog);
    for (QLineEdit* box : {form()->Text2, form()->Text4}) {
      box->setFocus();
      QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        QVERIFY(shown);
        QApplication::setActiveWindow(shown);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        if (dialog == "export") {
          PressKey(Qt::Key_Tab);
          TypeIntoFocus("Prova");
        }
        PressKey(accept ? Qt::Key_Return : Qt::Key_Escape);
        if (shown->isVisible()) static_cast<QDialog*>(shown)->reject();
      });
      QTest::keyClick(box, Qt::Key(key), Qt::ControlModifier | Qt::ShiftModifier);
      QTRY_COMPARE(QApplication::activeWindow(), form());
      QCOMPARE(QApplication::focusWidget(), box);
      TypeIntoFocus("q1");
      QVERIFY(box->text().endsWith("Q1"));
    }
    QStringList texts;
    for (const auto& shown : w->platform.shown) texts.append(shown.text);
    QVERIFY2(QFile::exists(file("Q9OWN_144.edi")) == (dialog == "export" && accept),
             qPrintable(texts.join('\n')));
  }

  // Every caption and button of both dialogs has an access key of its own.
  void accessKeysAreUnderlinedAndUnique() {
    const auto check = [](QDialog* d) {
      QSet<QChar> keys;
      QStringList texts;
      // Captions have a field; "Storico: ..." is a line of text.
      QList<QLabel*> captions;
      for (auto* label : d->findChildren<QLabel*>())
        if (label->buddy()) captions.append(label);
      for (auto* label : captions) texts.append(label->text());
      for (auto* button : d->findChildren<QPushButton*>()) texts.append(button->text());
      for (const QString& text : texts) {
        const auto at = text.indexOf('&');
        QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
        QVERIFY2(!keys.contains(text[at + 1].toLower()), qPrintable(text));
        keys.insert(text[at + 1].toLower());
      }
      for (auto* label : captions) {
        const QChar letter = label->text()[label->text().indexOf('&') + 1].toUpper();
        PressKey(Qt::Key(letter.unicode()), Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), label->buddy());
        QVERIFY(!label->buddy()->accessibleName().contains('&'));
      }
    };
    OnNextDialog<StationDialog>([&](StationDialog* d) { check(d); });
    form()->exportActions().stationAction->trigger();
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      check(d);
      d->formatBox->setFocus();
      for (Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_X, Qt::Key_D}) {
        d->formatBox->setFocus();
        PressKey(key, Qt::AltModifier);
        QCOMPARE(d->formatBox->currentText(), QStringLiteral("EDI"));
      }
      d->formatBox->setFocus();
      PressKey(Qt::Key_C, Qt::AltModifier);
      QCOMPARE(QApplication::focusWidget(), d->contestBox);
    });
    form()->exportActions().exportAction->trigger();
  }

  // One reading of a locator typed by hand into cardel.ini, for the
  // distance, "Stazione" and the export.
  void stationIsReadOnceWithOneRule_data() {
    QTest::addColumn<QString>("inIni");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("distance");
    QTest::newRow("lower case") << "jn61fw"
                                << "JN61FW"
                                << "1292 km 333\u00B0";
    QTest::newRow("blanks around") << " JN61FW "
                                   << "JN61FW"
                                   << "1292 km 333\u00B0";
    QTest::newRow("four characters") << "JN61"
                                     << "JN61"
                                     << "";
  }

  void stationIsReadOnceWithOneRule() {
    QFETCH(QString, inIni);
    QFETCH(QString, shown);
    QFETCH(QString, distance);
    WriteStation(w->dir.path(), "q9own", inIni);
    restartWindow();
    QTest::keyClicks(form()->Text4, "jo22ab");
    QCOMPARE(form()->Label5->text(), distance);
    const bool usable = !distance.isEmpty();
    OnNextDialog<StationDialog>([&](StationDialog* d) {
      QCOMPARE(d->locatorBox->text(), shown);
      QTest::keyClick(d->locatorBox, Qt::Key_Return);
      QCOMPARE(d->isVisible(), !usable);
    });
    form()->exportActions().stationAction->trigger();
    QCOMPARE(w->platform.shown.size(), usable ? 0 : 1);
    w->platform.shown.clear();
    w->setLog(kLog);
    w->platform.answers = {QMessageBox::No};
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      d->contestBox->setText("Prova");
      QTest::keyClick(d->contestBox, Qt::Key_Return);
    });
    form()->exportActions().exportAction->trigger();
    QVERIFY(!w->platform.shown.isEmpty());
    QCOMPARE(w->platform.shown[0].text.startsWith("Scritto"), usable);
    QCOMPARE(QFile::exists(file("Q9OWN_144.edi")), usable);
  }

  // The chooser offers the format's files and leaves the one question to the export.
  void fileChooserFollowsTheFormatAndAsksNothing() {
#ifdef Q_OS_WIN
    QSKIP("Windows shows its own file chooser, which no Qt event reaches");
#endif
    WriteStation(w->dir.path(), "Q9OWN", "JN61FW");
    restartWindow();
    w->setLog(kLog);
    WriteAll(file("gara.cbr"), "vecchio");
    w->platform.answers = {QMessageBox::Yes};
    OnNextDialog<ExportDialog>([&](ExportDialog* d) {
      Select(d->formatBox, "Cabrillo");
      d->contestBox->setText("Prova");
      OnNextDialog<QFileDialog>([&](QFileDialog* chooser) {
        QCOMPARE(chooser->selectedNameFilter(), QStringLiteral("Cabrillo (*.cbr *.log)"));
        QVERIFY(chooser->testOption(QFileDialog::DontConfirmOverwrite));
        chooser->selectFile(file("gara.cbr"));
        chooser->findChild<QLineEdit*>("fileNameEdit")->setText("gara.cbr");
        QMetaObject::invokeMethod(chooser, "accept");
      });
      QTest::mouseClick(d->browseButton, Qt::LeftButton);
      QCOMPARE(d->fileBox->text(), file("gara.cbr"));
      QTRY_COMPARE(QApplication::focusWidget(), d->fileBox);
      PressKey(Qt::Key_Return);
    });
    form()->exportActions().exportAction->trigger();
    QCOMPARE(w->platform.shown.size(), 2);
    QVERIFY(w->platform.shown[0].text.contains("esiste già. Sostituirlo?"));
    QVERIFY(w->platform.shown[1].text.startsWith("Scritto"));
    QVERIFY(ReadAll(file("gara.cbr")).startsWith("START-OF-LOG: 3.0"));
  }

  // A hand-made cardel.ini: too big to rewrite, or with comments the rewrite drops.
  void handMadeSettingsAreToldAbout_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QString>("told");
    QTest::newRow("huge") << QByteArray("[Stazione]\nNominativo=Q9OWN\n") +
                                 QByteArray(2 * 1024 * 1024, '\n')
                          << false << "non viene riscritto";
    QTest::newRow("comments") << QByteArray(
                                     "; la mia stazione\n[Stazione]\n# portatile\n"
                                     "Nominativo=Q9OWN\n")
                              << true << "senza le sue righe di commento (2)";
  }

  void handMadeSettingsAreToldAbout() {
    QFETCH(QByteArray, ini);
    QFETCH(bool, rewritten);
    QFETCH(QString, told);
    WriteAll(file("cardel.ini"), ini);
    restartWindow();
    KeepStations({"Q9TWO", "Q9THREE"});
    QCOMPARE(w->platform.shown.size(), 1);  // told once
    QVERIFY2(w->platform.shown[0].text.contains(told), qPrintable(w->platform.shown[0].text));
    QCOMPARE(ReadAll(file("cardel.ini")) == ini, !rewritten);
  }
};

QTEST_MAIN(WindowExportTest)
#include "window_export_test.moc"
