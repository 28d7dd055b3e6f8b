// "Esporta..." on a log of 2,000 contacts in the real window: the time from
// the press of "Esporta" until the file is written and the summary is shown,
// and whether the file equals what cardel-export writes for the same log.
//
//   cardel_export_bench [CONTACTS]     run with QT_QPA_PLATFORM=offscreen

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "export_actions.h"
#include "export_dialog.h"
#include "export_request.h"
#include "log_box.h"
#include "main_window.h"
#include "platform.h"
#include "qt_text.h"

namespace {

class QuietPlatform : public cardel::Platform {
 public:
  QString folder;
  QStringList shown;
  QString programFolder() const override { return folder; }
  QMessageBox::StandardButton showMessage(QWidget*, const cardel::MessageRequest& r) override {
    shown.append(r.text);
    return QMessageBox::Yes;
  }
};

// A 2 m contest: stations all over the map, a few worked twice.
QString ContestLog(int contacts) {
  const QString date = QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat);
  QString log;
  for (int n = 1; n <= contacts; ++n) {
    const int station = n % 17 == 0 ? n - 1 : n;
    const QString call = QStringLiteral("Q%1%2%3")
                             .arg(QChar(u'A' + station % 26))
                             .arg(station % 10)
                             .arg(QChar(u'A' + station / 26 % 26));
    const QString locator = QStringLiteral("%1%2%3%4%5%6")
                                .arg(QChar(u'I' + station % 8))
                                .arg(QChar(u'K' + station / 8 % 6))
                                .arg(station / 3 % 10)
                                .arg(station / 7 % 10)
                                .arg(QChar(u'A' + station % 24))
                                .arg(QChar(u'A' + station / 24 % 24));
    log += QStringLiteral("%1-+-%2---%3---%4---59---%5---%6-->144 Mhz\r\n")
               .arg(n % 1000, 3, 10, QChar(u'0'))
               .arg(date)
               .arg(n / 60 % 24 * 100 + n % 60, 4, 10, QChar(u'0'))
               .arg(call)
               .arg(n % 1000, 3, 10, QChar(u'0'))
               .arg(locator);
  }
  return log;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int contacts = argc > 1 ? QString(argv[1]).toInt() : 2000;
  QTemporaryDir dir;
  QuietPlatform platform;
  platform.folder = dir.path();
  {
    QSettings ini(dir.filePath("cardel.ini"), QSettings::IniFormat);
    ini.setValue("Stazione/Nominativo", "Q9OWN");
    ini.setValue("Stazione/Locatore", "JN61FW");
  }
  cardel::Form15 window(platform);
  window.show();
  window.Text1->setLogText(cardel::ToText(ContestLog(contacts)));

  qint64 elapsedMs = -1;
  QString written;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<cardel::ExportDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->contestBox->setText("Prova VHF");
    written = dialog->fileBox->text();
    QElapsedTimer timer;
    timer.start();
    dialog->exportButton->click();
    elapsedMs = timer.elapsed();
    if (dialog->isVisible()) dialog->reject();
  });
  window.exportActions().exportAction->trigger();

  QFile file(written);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  std::printf(
      "contacts        %d\nfile            %s\nbytes           %lld\n"
      "Esporta to summary  %lld ms\n",
      contacts, qPrintable(QFileInfo(written).fileName()), static_cast<long long>(bytes.size()),
      static_cast<long long>(elapsedMs));
  std::printf("summary\n%s\n", qPrintable(platform.shown.value(0)));
#ifdef CARDEL_EXPORT
  window.Command3->click();  // cardel.txt, the file cardel-export reads
  QProcess program;
  program.start(CARDEL_EXPORT, {"--format", "edi", "--call", "Q9OWN", "--locator", "JN61FW",
                                "--contest", "Prova VHF", "--band", "144 Mhz", "--date-format",
                                cardel::LogDateFormat(), dir.filePath("cardel.txt")});
  program.waitForFinished(60000);
  std::printf("same bytes as cardel-export: %s\n",
              program.readAllStandardOutput() == bytes ? "yes" : "NO");
#endif
  window.hide();
  return bytes.isEmpty() ? 1 : 0;
}
