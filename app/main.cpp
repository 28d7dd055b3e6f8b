#include <QApplication>
#include <QIcon>

#include "main_window.h"
#include "platform.h"
#include "qt_italian.h"

namespace {

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/cardel-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  cardel::UseItalianQtTexts();
  QApplication::setWindowIcon(ProgramIcon());
  QApplication::setDesktopFileName(QStringLiteral("cardel"));
  cardel::Platform platform;
  cardel::Form15 window(platform);
  window.startRecovery();
  window.show();
  window.loadHistory();
  return app.exec();
}
