#include "trips/MonthFilter.h"

#include "base/DbError.h"
#include "base/Utils.h"
#include "data/Table.h"

namespace kilvaro {

QString MonthFilter::text(int monthIndex, const QString& yearText) {
    const QString year = yearText.trimmed();
    bool ok = false;
    const int y = year.toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert.").arg(year));
    const int nextMonth = monthIndex == 11 ? 1 : monthIndex + 2;
    const int nextYear = monthIndex == 11 ? y + 1 : y;
    int month = monthIndex + 1;
    if (month < 1 || month > 12)
        month = 1;
    // The start keeps the year as typed; the end is the following month's number.
    const QString start =
        JetDateLiteral(QStringLiteral("01.") + TwoDigits(month) + QLatin1Char('.') + year);
    const QString end = JetDateLiteral(QStringLiteral("01.") + TwoDigits(nextMonth) +
                                       QLatin1Char('.') + QString::number(nextYear));
    return QStringLiteral("Datum >= %1 and Datum < %2").arg(start, end);
}

void MonthFilter::apply(Table& trips, const QString& filter) {
    if (trips.filtered() && trips.filter() == filter)
        return;
    const QString before = trips.filter();
    try {
        trips.setFilter(filter);
        trips.setFiltered(true);
    } catch (...) {
        if (!trips.filtered())
            trips.setFilter(before);
        throw;
    }
}

void MonthFilter::clear(Table& trips) {
    trips.setFilter(QString());
    trips.setFiltered(false);
}

} // namespace kilvaro
