#include "station_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "entry_filter.h"
#include "export.h"
#include "platform.h"

namespace cardel {

namespace {

// Upper-cased as typed, the cursor kept where it was.
void UpperCaseAsTyped(QLineEdit* box) {
  QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int cursor = box->cursorPosition();
    box->setText(upper);
    box->setCursorPosition(cursor);
  });
}

}  // namespace

QLabel* CaptionFor(QWidget* field, const QString& caption, QWidget* dialog) {
  auto* label = new QLabel(caption, dialog);
  label->setBuddy(field);
  field->setAccessibleName(QString(caption).remove(u'&'));
  return label;
}

QPushButton* LayOutDialog(QDialog* dialog, QLayout* fields, QPushButton* defaultButton) {
  auto* cancelButton = new QPushButton(QStringLiteral("&Annulla"), dialog);
  defaultButton->setDefault(true);
  QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(defaultButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  return cancelButton;
}

StationDialog::StationDialog(Platform& platform, const Station& station,
                             const QString& historyStatus, QWidget* parent)
    : QDialog(parent), platform_(platform) {
  setWindowTitle(QStringLiteral("Stazione"));
  callSignBox = new QLineEdit(station.callSign, this);
  locatorBox = new QLineEdit(station.locator, this);
  okButton = new QPushButton(QStringLiteral("&OK"), this);
  KeepWordsClean({callSignBox});
  KeepWordsClean({locatorBox}, 6);
  UpperCaseAsTyped(callSignBox);
  UpperCaseAsTyped(locatorBox);

  auto* form = new QFormLayout;
  const std::pair<const char*, QLineEdit*> rows[] = {{"&Nominativo", callSignBox},
                                                     {"&Locatore", locatorBox}};
  for (const auto& [caption, box] : rows)
    form->addRow(CaptionFor(box, QString::fromUtf8(caption), this), box);
  historyLabel = new QLabel(historyStatus, this);
  historyLabel->setAccessibleName(historyStatus);
  historyLabel->setVisible(!historyStatus.isEmpty());
  form->addRow(historyLabel);
  cancelButton = LayOutDialog(this, form, okButton);
  connect(okButton, &QPushButton::clicked, this, &StationDialog::onOkClicked);
  callSignBox->setFocus();
}

Station StationDialog::station() const {
  return {callSignBox->text().trimmed().toUpper(), locatorBox->text().trimmed().toUpper()};
}

void StationDialog::onOkClicked() {
  const Station typed = station();
  if (const auto fault = StationFault(typed)) {
    platform_.showMessage(this,
                          {.text = *fault, .title = windowTitle(), .icon = QMessageBox::Warning});
    (logexport::IsStationCall(typed.callSign.toStdString()) ? locatorBox : callSignBox)->setFocus();
    return;
  }
  accept();
}

}  // namespace cardel
