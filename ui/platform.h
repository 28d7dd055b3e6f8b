#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMessageBox>
#include <QString>
#include <optional>

#include "files.h"

class QWidget;

namespace cardel {

struct MessageRequest {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

// What the window needs of the machine: the clock, the program's folder,
// modal message boxes and the log file. Tests replace any of it.
class Platform {
 public:
  virtual ~Platform() = default;

  virtual QDateTime localNow() const;
  virtual QString programFolder() const;
  virtual QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request);
  // Replaces the file only once the new content is complete, or writes it
  // in place when no file can be created beside it; the reason when it
  // could not.
  virtual std::optional<QString> writeFile(const QString& path, const QByteArray& bytes);
  // Missing when there is no plain, visible file of that name.
  virtual FileRead readFile(const QString& path);
};

}  // namespace cardel
