#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <memory>
#include <variant>

#include "command_line.h"
#include "export.h"
#include "files.h"
#include "kept_files.h"
#include "log_dates.h"
#include "qt_italian.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace cardel {

namespace {

constexpr int kNothingWritten = 2;

void PrintLine(FILE* stream, const QByteArray& utf8) {
  std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), stream);
  std::fputc('\n', stream);
}

int Refuse(const QString& message) {
  PrintLine(stderr, message.toUtf8());
  return kNothingWritten;
}

// The log's bytes, or the message that says why they cannot be read.
std::variant<QByteArray, QString> ReadLog(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("Il file del log non esiste: %1").arg(path);
  if (info.isDir()) return QStringLiteral("%1 è una cartella, non un file del log.").arg(path);
  FileRead file = ReadWholeFile(path);
  if (file.outcome != FileRead::Outcome::Read)
    return QStringLiteral("Impossibile leggere il file del log %1: %2").arg(path, file.reason);
  return std::move(file.bytes);
}

QString CannotWrite(const QString& path, const QString& reason) {
  return QStringLiteral("Impossibile scrivere %1: %2").arg(path, reason);
}

bool WriteStandardOutput(const std::string& bytes) {
#ifdef Q_OS_WIN
  _setmode(_fileno(stdout), _O_BINARY);  // the formats fix their own CR LF
#endif
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
         std::fflush(stdout) == 0;
}

// A regular file is replaced whole on commit(). A device or a pipe (/dev/null,
// /dev/stdout) is written in place: renaming over it would replace the node.
std::unique_ptr<QFileDevice> OutputFile(const QString& path) {
  const QFileInfo info(path);
  if (info.exists() && !info.isFile() && !info.isDir()) return std::make_unique<QFile>(path);
  return std::make_unique<QSaveFile>(path);
}

// The log it reads, the exporter itself, and Cardel's own files beside it.
QList<KeptFile> KeptFiles(const QString& logFile) {
  return QList<KeptFile>{KeptLog(logFile), RunningProgram()} +
         CardelFilesIn(QCoreApplication::applicationDirPath());
}

int RunExport(const ExportCommand& command) {
  const auto log = ReadLog(command.logFile);
  if (const QString* error = std::get_if<QString>(&log)) return Refuse(*error);
  const QByteArray& logBytes = std::get<QByteArray>(log);

  // Opened before the export, so that an output that cannot be written is
  // refused before any work; QSaveFile keeps the old file until commit().
  std::unique_ptr<QFileDevice> outputFile;
  if (command.outputFile) {
    const QString& path = *command.outputFile;
    if (const auto kept = KeptFileAt(path, KeptFiles(command.logFile)))
      return Refuse(NotReplaced(path, *kept));
    outputFile = OutputFile(path);
    if (!OpenToWrite(*outputFile)) return Refuse(CannotWrite(path, WriteFailure(*outputFile)));
  }

  const logexport::Outcome outcome =
      logexport::Export(std::string_view(logBytes.constData(), std::size_t(logBytes.size())),
                        command.options, MakeDateReader(command.dateFormat));
  for (const std::string& line : outcome.diagnostics)
    PrintLine(stderr, QByteArray::fromStdString(line));

  if (outcome.exitStatus >= kNothingWritten || outcome.output.empty()) return outcome.exitStatus;
  if (!outputFile) {
    if (!WriteStandardOutput(outcome.output))
      return Refuse(QStringLiteral("Impossibile scrivere sullo standard output."));
  } else if (!WriteWhole(*outputFile, QByteArrayView(outcome.output))) {
    return Refuse(CannotWrite(*command.outputFile, WriteFailure(*outputFile)));
  }
  return outcome.exitStatus;
}

}  // namespace

}  // namespace cardel

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("cardel-export"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CARDEL_VERSION));
  // Installed last, so its own wording of the parser's texts comes first.
  cardel::UseItalianQtTexts();
  cardel::ItalianParserTexts italian;
  QCoreApplication::installTranslator(&italian);

  const cardel::CommandLine commandLine = cardel::ParseCommandLine(QCoreApplication::arguments());
  if (const auto* refusal = std::get_if<cardel::Refusal>(&commandLine))
    return cardel::Refuse(refusal->message);
  if (const auto* printout = std::get_if<cardel::Printout>(&commandLine)) {
    std::fputs(printout->text.toUtf8().constData(), stdout);
    return 0;
  }
  return cardel::RunExport(std::get<cardel::ExportCommand>(commandLine));
}
