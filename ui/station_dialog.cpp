#include "station_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "entry_filter.h"
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

bool IsStationCall(const QString& call) {
  for (QChar c : call)
    if (!(c >= u'A' && c <= u'Z') && !(c >= u'0' && c <= u'9') && c != u'/') return false;
  return true;
}

}  // namespace

QLabel* CaptionFor(QWidget* field, const QString& caption, QWidget* dialog) {
  auto* label = new QLabel(caption, dialog);
  label->setBuddy(field);
  field->setAccessibleName(QString(caption).remove(u'&'));
  return label;
}

std::optional<QString> StationFault(const Station& station) {
  if (!IsStationCall(station.callSign))
    return QStringLiteral("Il nominativo \"%1\" non è valido: solo lettere, cifre e /.")
        .arg(station.callSign);
  if (!station.locator.isEmpty() && UsableLocator(station).isEmpty())
    return QStringLiteral(
               "Il locatore \"%1\" non è valido: servono 6 caratteri, due lettere da A a R, "
               "due cifre e due lettere da A a X, come JN61FW.")
        .arg(station.locator);
  return std::nullopt;
}

StationDialog::StationDialog(Platform& platform, const Station& station, QWidget* parent)
    : QDialog(parent), platform_(platform) {
  setWindowTitle(QStringLiteral("Stazione"));
  callSignBox = new QLineEdit(station.callSign, this);
  locatorBox = new QLineEdit(station.locator, this);
  okButton = new QPushButton(QStringLiteral("&OK"), this);
  cancelButton = new QPushButton(QStringLiteral("&Annulla"), this);
  okButton->setDefault(true);
  KeepWordsClean({callSignBox});
  KeepWordsClean({locatorBox}, 6);
  UpperCaseAsTyped(callSignBox);
  UpperCaseAsTyped(locatorBox);

  auto* form = new QFormLayout;
  const std::pair<const char*, QLineEdit*> rows[] = {{"&Nominativo", callSignBox},
                                                     {"&Locatore", locatorBox}};
  for (const auto& [caption, box] : rows)
    form->addRow(CaptionFor(box, QString::fromUtf8(caption), this), box);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(okButton, &QPushButton::clicked, this, &StationDialog::onOkClicked);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
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
    (IsStationCall(typed.callSign) ? locatorBox : callSignBox)->setFocus();
    return;
  }
  accept();
}

}  // namespace cardel
