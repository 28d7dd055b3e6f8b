#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <optional>
#include <variant>

#include "export.h"

namespace cardel {

// One export to run: the library's options plus what only the program handles.
struct ExportCommand {
  logexport::Options options;
  QString dateFormat;
  QString logFile;
  std::optional<QString> outputFile;  // standard output without it
};

// --help and --version: a text for standard output, exit status 0.
struct Printout {
  QString text;
};

// A command line that cannot run: one line for standard error, exit status 2.
struct Refusal {
  QString message;
};

using CommandLine = std::variant<ExportCommand, Printout, Refusal>;

// `arguments` as QCoreApplication::arguments() gives them, program name first.
CommandLine ParseCommandLine(const QStringList& arguments);

// QCommandLineParser's own texts (usage line, headings, its errors) in Italian,
// like the rest of the program's messages.
class ItalianParserTexts : public QTranslator {
 public:
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int n) const override;
};

}  // namespace cardel
