#include "qt_italian.h"

#include <QCoreApplication>
#include <QTranslator>

namespace cardel {

bool UseItalianQtTexts() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral(":/translations/qtbase_it.qm")) &&
      QCoreApplication::installTranslator(translator))
    return true;
  delete translator;
  return false;
}

}  // namespace cardel
