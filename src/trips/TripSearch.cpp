#include "trips/TripSearch.h"

#include "data/Connection.h"
#include "data/StoredValue.h"

#include <QSqlQuery>

namespace kilvaro {

namespace {

/// A LIKE pattern that matches texts beginning with `prefix` literally.
QString prefixPattern(const QString& prefix) {
    QString p = prefix;
    p.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    p.replace(QLatin1Char('%'), QLatin1String("\\%"));
    p.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return p + QLatin1Char('%');
}

} // namespace

TripSearch::TripSearch(Connection* database) : m_database(database) {
    setQuery(QStringLiteral("SELECT Auftragnr, Datum, personen, vorname, startort, zielort "
                            "FROM Fahrten ORDER BY personen"));
}

void TripSearch::setQuery(const QString& sql, const QVariantList& binds) {
    m_sql = sql;
    m_binds = binds;
}

void TripSearch::setSameOrder(const QString& surname, qint64 funeralDirector) {
    setQuery(QStringLiteral("SELECT Auftragnr, Datum, personen, vorname, startort, zielort "
                            "FROM Fahrten WHERE personen LIKE ? ESCAPE '\\' AND bestatter = ? "
                            "ORDER BY Datum"),
             {prefixPattern(surname.left(6)), funeralDirector});
}

QList<TripSearch::Row> TripSearch::run() const {
    QSqlQuery q = m_database->exec(m_sql, m_binds);
    QList<Row> rows;
    while (q.next()) {
        Row row;
        if (!q.value(0).isNull())
            row.auftragNr = q.value(0).toLongLong();
        row.datum = stored::fromDb(q.value(1), ColumnType::DateTime).toDateTime();
        row.personen = q.value(2).toString();
        row.vorname = q.value(3).toString();
        row.startort = q.value(4).toString();
        row.zielort = q.value(5).toString();
        rows << row;
    }
    return rows;
}

} // namespace kilvaro
