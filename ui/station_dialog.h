#pragma once

#include <QDialog>

#include "settings.h"

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace cardel {

class Platform;

// "Stazione": the station's own call sign and locator, asked once and kept.
class StationDialog : public QDialog {
  Q_OBJECT

 public:
  // `historyStatus`: what was read of the folder storico, shown below the
  // fields; nothing while it is being read.
  StationDialog(Platform& platform, const Station& station, const QString& historyStatus,
                QWidget* parent);

  Station station() const;

  QLineEdit* callSignBox;
  QLineEdit* locatorBox;
  QLabel* historyLabel;
  QPushButton* okButton;
  QPushButton* cancelButton;

 private:
  void onOkClicked();

  Platform& platform_;
};

// The caption of a dialog's field with its access key ("&Nominativo"), which
// gives the field its accessible name.
QLabel* CaptionFor(QWidget* field, const QString& caption, QWidget* dialog);

// The fields above; below, at the right, the default button and "Annulla",
// which closes the dialog. Returns "Annulla".
QPushButton* LayOutDialog(QDialog* dialog, QLayout* fields, QPushButton* defaultButton);

}  // namespace cardel
