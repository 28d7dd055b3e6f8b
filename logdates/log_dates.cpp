#include "log_dates.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace cardel {

namespace {

// Qt reads "yy" as 19yy. Quoted literal text in the format is no year field.
bool HasTwoDigitYear(QString format) {
  format.remove(QRegularExpression(QStringLiteral("'[^']*'")));
  return format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

}  // namespace

logexport::DateReader MakeDateReader(const QString& format) {
  const int centuryShift = HasTwoDigitYear(format) ? 100 : 0;
  return [format, centuryShift](TextView field) -> std::optional<std::chrono::year_month_day> {
    const QDate date =
        QLocale::system().toDate(QString::fromUtf16(field.data(), qsizetype(field.size())), format);
    if (!date.isValid()) return std::nullopt;
    const QDate shifted = date.addYears(centuryShift);
    return std::chrono::year{shifted.year()} / unsigned(shifted.month()) / unsigned(shifted.day());
  };
}

}  // namespace cardel
