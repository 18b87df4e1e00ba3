#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace kilvaro {

class Connection;

/// The query behind the trip search: the trips a caller wants to choose from, with the
/// columns Auftragnr, Datum, personen, vorname, startort, zielort. Statements are backend
/// SQL with bound values, so that what a user typed never becomes part of the statement.
class TripSearch {
public:
    struct Row {
        QVariant auftragNr; ///< null when the trip has no number
        QDateTime datum;    ///< invalid when the trip has no date
        QString personen, vorname, startort, zielort;
    };

    /// Starts with all trips ordered by surname.
    explicit TripSearch(Connection* database);

    /// The statement must return the six columns in the order above.
    void setQuery(const QString& sql, const QVariantList& binds = {});
    /// The trips of one funeral director whose surname begins with the first six characters
    /// of `surname` (wildcards in it are plain characters), ordered by date.
    void setSameOrder(const QString& surname, qint64 funeralDirector);

    /// Runs the query. Throws DbError.
    QList<Row> run() const;

private:
    Connection* m_database;
    QString m_sql;
    QVariantList m_binds;
};

} // namespace kilvaro
