#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <thread>

#include "history.h"

namespace cardel {

// The folder beside the program whose files give the known locators.
inline constexpr char16_t kHistoryFolderName[] = u"storico";

// What the window tells of a load (HistoryStatus).
struct HistoryFigures {
  std::size_t stations = 0;
  std::size_t files = 0;        // files read
  std::size_t unreadLines = 0;  // lines of them that gave no station
  // Files that are there but could not be read, each with the reason.
  QStringList unreadableFiles;
};

struct LoadedHistory {
  std::shared_ptr<const History> history;  // never null
  HistoryFigures figures;
};

// Every file of `<programFolder>/storico`, in name order with letter case
// ignored, so that a later name wins where dates do not decide. Subfolders
// and hidden files are left alone; no folder gives an empty history.
LoadedHistory LoadHistory(const QString& programFolder);

// LoadHistory on a thread of its own; loaded() comes on the loader's thread.
class HistoryLoader : public QObject {
  Q_OBJECT

 public:
  explicit HistoryLoader(QObject* parent = nullptr);
  // Waits for a load that is still running; its loaded() is not emitted.
  ~HistoryLoader() override;

  // Starts the one load of this loader; returns at once.
  void start(const QString& programFolder);

 signals:
  void loaded(std::shared_ptr<const cardel::History> history,
              const cardel::HistoryFigures& figures);

 private:
  std::thread thread_;
};

}  // namespace cardel
