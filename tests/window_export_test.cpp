#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <functional>

#include "export_actions.h"
#include "export_dialog.h"
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
    QVERIFY(texts.size() > 3);
    QCOMPARE(texts.mid(texts.size() - 3), QStringList({"-", "Stazione...", "Esporta..."}));
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
    for (const QString call : {"Q9OWN", "Q9TWO"}) {
      OnNextDialog<StationDialog>([call](StationDialog* d) {
        d->callSignBox->setText(call);
        QTest::keyClick(d->callSignBox, Qt::Key_Return);
      });
      form()->exportActions().stationAction->trigger();
      QCOMPARE(form()->exportActions().station().callSign, call);
    }
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
};

QTEST_MAIN(WindowExportTest)
#include "window_export_test.moc"
