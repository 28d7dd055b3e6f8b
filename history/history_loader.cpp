#include "history_loader.h"

#include <QDir>
#include <QFileInfo>

#include "files.h"

namespace cardel {

LoadedHistory LoadHistory(const QString& programFolder) {
  auto history = std::make_shared<History>();
  HistoryFigures figures;
  const QDir folder(InFolder(programFolder, QString::fromUtf16(kHistoryFolderName)));
  const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& file : files) {
    const FileRead read = ReadWholeFile(file.filePath());
    if (read.outcome == FileRead::Outcome::Failed)
      figures.unreadableFiles.append(file.fileName() + QStringLiteral(": ") + read.reason);
    if (read.outcome != FileRead::Outcome::Read) continue;
    HistoryFileRead stations =
        ReadHistoryFile(std::string_view(read.bytes.constData(), read.bytes.size()));
    ++figures.files;
    figures.unreadLines += stations.skipped;
    history->add(std::move(stations));
  }
  figures.stations = history->stationCount();
  return {std::move(history), std::move(figures)};
}

HistoryLoader::HistoryLoader(QObject* parent) : QObject(parent) {}

HistoryLoader::~HistoryLoader() {
  if (thread_.joinable()) thread_.join();
}

void HistoryLoader::start(const QString& programFolder) {
  if (thread_.joinable()) return;
  thread_ = std::thread([this, programFolder] {
    LoadedHistory done = LoadHistory(programFolder);
    // Queued to the loader's thread, so that the window's handlers run where
    // they always do; a loader destroyed meanwhile drops the event.
    QMetaObject::invokeMethod(
        this, [this, done = std::move(done)] { emit loaded(done.history, done.figures); },
        Qt::QueuedConnection);
  });
}

}  // namespace cardel
