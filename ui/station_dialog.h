#pragma once

#include <QDialog>

#include "settings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace cardel {

class Platform;

// "Stazione": the station's own call sign and locator, asked once and kept.
class StationDialog : public QDialog {
  Q_OBJECT

 public:
  StationDialog(Platform& platform, const Station& station, QWidget* parent);

  Station station() const;

  QLineEdit* callSignBox;
  QLineEdit* locatorBox;
  QPushButton* okButton;
  QPushButton* cancelButton;

 private:
  void onOkClicked();

  Platform& platform_;
};

// Why a station cannot be kept; nothing when it can. An empty locator is
// kept: only the EDI needs one, and the export asks for it then.
std::optional<QString> StationFault(const Station& station);

// The caption of a dialog's field with its access key ("&Nominativo"), which
// gives the field its accessible name.
QLabel* CaptionFor(QWidget* field, const QString& caption, QWidget* dialog);

}  // namespace cardel
