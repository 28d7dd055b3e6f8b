#pragma once

#include <QDialog>
#include <QMessageBox>
#include <functional>
#include <optional>
#include <string>

#include "kept_files.h"
#include "settings.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace cardel {

class Platform;

// What the export works on, handed over by the window.
struct ExportContext {
  std::string logBytes;       // the log as "Salva" would write it
  QList<KeptFile> keptFiles;  // never overwritten by an export
  QString programFolder;
  const StationSettings& settings;  // the station and the last export's choices
  // Opens "Stazione"; the station kept, or nothing when it was cancelled.
  std::function<std::optional<Station>()> editStation;
  // Keeps the choices of an export that wrote its file.
  std::function<void(const ExportChoices&)> keepChoices;
};

// "Esporta log": writes the log the window holds as EDI, Cabrillo or ADIF
// through the exporter's own library, then shows its summary.
class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  ExportDialog(Platform& platform, ExportContext context, QWidget* parent);

  ExportChoices choices() const;

  QComboBox* formatBox;
  QLineEdit* contestBox;
  QLineEdit* sectionBox;
  QComboBox* bandBox;
  QComboBox* modeBox;
  QComboBox* pointsBox;
  QLineEdit* fileBox;
  QPushButton* browseButton;
  QPushButton* exportButton;
  QPushButton* cancelButton;

 private:
  void createControls();
  void showChoices(const ExportChoices& choices);
  void onExportClicked();
  void onBrowseClicked();
  void proposeFile();
  QString chosenFile() const;
  bool ensureStation();
  bool mayWrite(const QString& path);
  void tell(const QString& text, QMessageBox::Icon icon);
  bool ask(const QString& question);

  Platform& platform_;
  ExportContext context_;
  QString proposedFile_;
};

}  // namespace cardel
