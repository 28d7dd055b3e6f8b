// Runs the built cardel-export on the fixture logs of data/export/, each case
// in a fresh folder holding copies of them.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

namespace {

struct Run {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

int LineCount(const QByteArray& text) { return int(text.count('\n')); }

}  // namespace

class CardelExportTest : public QObject {
  Q_OBJECT

 private:
  std::optional<QTemporaryDir> folder_;

  QString Path(const QString& name) const { return folder_->filePath(name); }

  // Every file below the folder with its bytes: a refused export must leave it as it was.
  QMap<QString, QByteArray> Snapshot() const {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder_->path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      files.insert(QDir(folder_->path()).relativeFilePath(path), ReadAll(path));
    }
    return files;
  }

  Run Export(const QStringList& arguments, const QString& locale = QStringLiteral("C.UTF-8")) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder_->path());
    process.start(QStringLiteral(CARDEL_EXPORT), arguments);
    if (!process.waitForFinished(30000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
  }

 private slots:
  void init() {
    folder_.emplace();
    QVERIFY(folder_->isValid());
    const QDir fixtures(QStringLiteral(EXPORT_FIXTURES));
    for (const QString& name : fixtures.entryList(QDir::Files))
      QVERIFY(QFile::copy(fixtures.filePath(name), Path(name)));
    QVERIFY(QFile::copy(fixtures.filePath(QStringLiteral("program-log.txt")),
                        Path(QStringLiteral("cardel.txt"))));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(QStringLiteral("program-log.txt"), Path(QStringLiteral("link.txt"))));
    WriteAll(Path(QStringLiteral("existing.out")), "the previous export\r\n");
  }

  void refusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");    // stderr names it
    QTest::addColumn<bool>("ourOwnLine");  // the program's own refusal: exactly one line

    const QStringList adif{"--format", "adif", "--call", "Q9OWN", "--date-format", "dd/MM/yyyy"};
    const QStringList edi{"--format", "edi",       "--call", "Q9OWN",         "--contest",
                          "Prova",    "--locator", "JN61FW", "--date-format", "dd/MM/yyyy"};
    auto row = [](const char* name, QStringList arguments, const char* named, bool own) {
      QTest::newRow(name) << arguments << QString::fromUtf8(named) << own;
    };
    row("no --format", {"--call", "Q9OWN", "program-log.txt"}, "--format", true);
    row("no --call", {"--format", "adif", "program-log.txt"}, "--call", true);
    row("empty --call", {"--format", "adif", "--call", "", "program-log.txt"}, "--call", true);
    row("unknown format", {"--format", "csv", "--call", "Q9OWN", "program-log.txt"}, "csv", true);
    row("unknown mode", adif + QStringList{"--mode", "AM", "program-log.txt"}, "AM", true);
    row("unknown option", adif + QStringList{"--colour", "program-log.txt"}, "colour", true);
    row("option without value", {"--format", "adif", "program-log.txt", "--call"}, "--call", true);
    row("two log files", adif + QStringList{"program-log.txt", "edited-log.txt"}, "edited-log.txt",
        true);
    row("missing log", adif + QStringList{"absent.txt"}, "absent.txt", true);
    row("log is a folder", adif + QStringList{"sub"}, "sub", true);
    row("output folder missing", adif + QStringList{"-o", "absent/x.adi", "program-log.txt"},
        "absent/x.adi", true);
    row("output is a folder", adif + QStringList{"-o", "sub", "program-log.txt"}, "sub", true);
    row("output is the log", adif + QStringList{"-o", "program-log.txt", "program-log.txt"},
        "program-log.txt", true);
    row("output is the log by another path",
        adif + QStringList{"--output", "sub/../program-log.txt", "./program-log.txt"},
        "sub/../program-log.txt", true);
#ifndef Q_OS_WIN  // QFile::link makes a shortcut there, a file of its own
    row("output is a link to the log", adif + QStringList{"-o", "link.txt", "program-log.txt"},
        "link.txt", true);
    row("log is a link to the output", adif + QStringList{"-o", "program-log.txt", "link.txt"},
        "program-log.txt", true);
#endif
    row("default log is the output", adif + QStringList{"-o", "cardel.txt"}, "cardel.txt", true);
    // Cardel's own files beside the exporter, and the exporter itself.
    const QString beside = QFileInfo(QStringLiteral(CARDEL_EXPORT)).absolutePath() + '/';
    for (const char* name : {"cardel-recupero.txt", "cardel-recupero.lock", "cardel.ini"}) {
      const QByteArray rowName = QByteArray("output is Cardel's ") + name;
      row(rowName.constData(), adif + QStringList{"-o", beside + name, "program-log.txt"},
          "che un'esportazione non sostituisce mai", true);
    }
    row("output is the exporter itself",
        adif + QStringList{"-o", QStringLiteral(CARDEL_EXPORT), "program-log.txt"},
        "il programma stesso", true);
#ifdef Q_OS_WIN  // where the file system folds letter case
    row("output is Cardel's settings in capitals",
        adif + QStringList{"-o", beside + "CARDEL.INI", "program-log.txt"}, "CARDEL.INI", true);
    row("output is the log in capitals",
        adif + QStringList{"-o", "PROGRAM-LOG.TXT", "program-log.txt"}, "PROGRAM-LOG.TXT", true);
#endif
    row("no contact", adif + QStringList{"-o", "existing.out", "no-contacts.txt"}, "", false);
    row("edi of two bands without --band",
        edi + QStringList{"-o", "existing.out", "edited-log.txt"}, "432 Mhz", false);
    row("edi without own locator",
        {"--format", "edi", "--call", "Q9OWN", "--contest", "Prova", "--date-format", "dd/MM/yyyy",
         "program-log.txt"},
        "--locator", false);
    row("cabrillo without --contest",
        {"--format", "cabrillo", "--call", "Q9OWN", "-o", "existing.out", "program-log.txt"},
        "--contest", true);
    row("edi without --contest",
        {"--format", "edi", "--call", "Q9OWN", "--locator", "JN61FW", "program-log.txt"},
        "--contest", true);
    row("edi with a --contest of blanks",
        {"--format", "edi", "--call", "Q9OWN", "--locator", "JN61FW", "--contest", "   ", "-o",
         "existing.out", "program-log.txt"},
        "--contest", true);
    row("unknown points rule", adif + QStringList{"--points", "iaru2", "program-log.txt"}, "iaru2",
        true);
    row("empty section", edi + QStringList{"--section", "", "program-log.txt"}, "--section", true);
    row("bad own locator",
        adif + QStringList{"--locator", "JN6", "-o", "existing.out", "program-log.txt"}, "JN6",
        false);
  }

  void refusals() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    QFETCH(bool, ourOwnLine);
    const QMap<QString, QByteArray> before = Snapshot();

    const Run run = Export(arguments);

    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.contains(named.toUtf8()), run.err.constData());
    if (ourOwnLine) QCOMPARE(LineCount(run.err), 1);
    QCOMPARE(Snapshot(), before);
  }

  void exports_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("outputHas");
    QTest::addColumn<QByteArray>("errorHas");

    const QStringList own{"--call",    "Q9OWN",       "--locator",     "JN61FW",
                          "--contest", "IARU-R1-VHF", "--date-format", "dd/MM/yyyy"};
    auto row = [](const char* name, QStringList arguments, int exitCode, QByteArray outputHas,
                  QByteArray errorHas, const char* locale = "C.UTF-8") {
      QTest::newRow(name) << arguments << QString::fromUtf8(locale) << exitCode << outputHas
                          << errorHas;
    };
    row("program log, edi", QStringList{"--format", "edi"} + own + QStringList{"program-log.txt"},
        0, "[REG1TEST;1]\r\n", "");
    row("program log, cabrillo",
        QStringList{"--format", "cabrillo"} + own + QStringList{"program-log.txt"}, 0,
        "START-OF-LOG: 3.0\r\n", "");
    row("program log, adif", QStringList{"--format", "adif"} + own + QStringList{"program-log.txt"},
        0, "<EOH>", "");
    row("cardel.txt when no log is named", QStringList{"--format", "adif"} + own, 0,
        "<CALL:5>Q5JKL", "");
    row("mode CW",
        QStringList{"--format", "adif", "--mode", "cw"} + own + QStringList{"cardel.txt"}, 0,
        "<MODE:2>CW", "");
#ifndef Q_OS_WIN
    // Written in place: replacing it whole would put a plain file where the pipe was.
    row("output is a pipe",
        QStringList{"--format", "adif"} + own + QStringList{"-o", "/dev/stdout", "cardel.txt"}, 0,
        "<EOH>", "");
#endif
    row("edited log, cabrillo",
        QStringList{"--format", "cabrillo"} + own + QStringList{"edited-log.txt"}, 1, "Q2XYZ",
        "riga 6");
    row("edited log, adif", QStringList{"--format", "adif"} + own + QStringList{"edited-log.txt"},
        1, "<CALL:5>Q7PQR", "riga 6");
    row("edited log, edi of one band",
        QStringList{"--format", "edi", "--band", "432 Mhz"} + own + QStringList{"edited-log.txt"},
        1, "PBand=432 MHz\r\n", "riga 6");
    row("two-digit years are 20yy",
        {"--format", "adif", "--call", "Q9OWN", "--date-format", "dd/MM/yy", "two-digit-years.txt"},
        0, "<QSO_DATE:8>20261231", "");
#ifndef Q_OS_WIN  // there the short-date format is the user's setting, not LC_ALL
    row("the machine's short-date format by default",
        {"--format", "adif", "--call", "Q9OWN", "two-digit-years.txt"}, 0, "<QSO_DATE:8>20261207",
        "", "it_IT.UTF-8");
#endif
    row("section MULTI is a multi-operator Cabrillo",
        QStringList{"--format", "cabrillo", "--section", "MULTI"} + own +
            QStringList{"program-log.txt"},
        0, "CATEGORY-OPERATOR: MULTI-OP\r\n", "");
    row("section in EDI",
        QStringList{"--format", "edi", "--section", "SO-6H"} + own + QStringList{"program-log.txt"},
        0, "PSect=SO-6H\r\n", "");
    row("CW reports 599 both ways",
        QStringList{"--format", "cabrillo", "--mode", "CW"} + own + QStringList{"program-log.txt"},
        0, "Q9OWN 599 001 JN61FW Q1ABC 599 012 JN61GX\r\n", "");
    row("CW with the received report given",
        QStringList{"--format", "edi", "--mode", "CW", "--received-report", "579"} + own +
            QStringList{"program-log.txt"},
        0, ";2;599;001;579;012;;JN61GX;", "");
    row("points km",
        QStringList{"--format", "edi", "--points", "KM"} + own + QStringList{"program-log.txt"}, 0,
        ";JN61GX;8;", "");
    row("help", {"--help"}, 0, "non lo registra", "");
    row("help names the new options", {"--help"}, 0, "--points <regola>", "");
    row("help names the section's default", {"--help"}, 0, "predefinita SINGLE", "");
    // The line end is the platform's own.
    row("version", {"--version"}, 0, "cardel-export " CARDEL_VERSION, "");
  }

  void exports() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, locale);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, outputHas);
    QFETCH(QByteArray, errorHas);

    const Run run = Export(arguments, locale);

    QVERIFY2(run.exitCode == exitCode, run.err.constData());
    QVERIFY2(run.out.contains(outputHas), run.out.constData());
    QVERIFY2(run.err.contains(errorHas), run.err.constData());
    if (exitCode == 0 && !arguments.contains(QStringLiteral("--help")) &&
        !arguments.contains(QStringLiteral("--version")))
      QVERIFY2(LineCount(run.err) >= 1, "an export ends with its summary on standard error");
  }

  // The example the Windows zip gives operators, run as they would type it.
  void exampleOfTheWindowsReadmeWorksAsWritten() {
    QFile readme(QStringLiteral(WINDOWS_README));
    QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    QString example;
    for (const QString& line : QString::fromUtf8(readme.readAll()).split(u'\n'))
      if (line.trimmed().startsWith(QStringLiteral("cardel-export --format"))) example = line;
    QStringList arguments = QProcess::splitCommand(example.trimmed());
    QVERIFY2(!arguments.isEmpty(), "no example in the readme");
    arguments.removeFirst();
    const QString output = arguments.at(arguments.indexOf(QStringLiteral("-o")) + 1);

    // The log's dates are dd/MM/yyyy, the short format of en_GB.
    const Run run = Export(arguments, QStringLiteral("en_GB.UTF-8"));

    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(ReadAll(Path(output)).startsWith("[REG1TEST;1]\r\nTName=Prova VHF\r\n"));
  }

  // -o replaces the file whole with what standard output would have got, and
  // leaves nothing else behind.
  void outputFileTakesTheWholeExport() {
    const QStringList arguments{"--format",      "cabrillo",   "--call",        "Q9OWN",
                                "--locator",     "JN61FW",     "--contest",     "Prova",
                                "--date-format", "dd/MM/yyyy", "edited-log.txt"};
    const Run toStdout = Export(arguments);
    QCOMPARE(toStdout.exitCode, 1);
    QVERIFY(!toStdout.out.isEmpty());
    QMap<QString, QByteArray> expected = Snapshot();
    expected[QStringLiteral("existing.out")] = toStdout.out;

    const Run toFile = Export(arguments + QStringList{"-o", "existing.out"});

    QCOMPARE(toFile.exitCode, 1);
    QCOMPARE(toFile.out, QByteArray());
    QCOMPARE(toFile.err, toStdout.err);
    QCOMPARE(Snapshot(), expected);
  }
};

QTEST_GUILESS_MAIN(CardelExportTest)
#include "cardel_export_test.moc"
