#include "masterdata/AddressNumbering.h"

#include "data/Connection.h"
#include "base/DbError.h"

#include <QSqlQuery>

namespace kilvaro {

int AddressNumbering::nextId(Connection& connection, AddressKind kind) {
    const int typ = static_cast<int>(kind);
    const bool director = kind == AddressKind::FuneralDirector;

    // Highest number of the kind within its own range: an old file may hold a stray ID of
    // the other range, which must not drag the sequence along.
    QSqlQuery highest = connection.exec(
        director ? QStringLiteral("SELECT MAX(\"ID\") FROM \"ADRESSEN\" WHERE \"Typ\" = ? "
                                  "AND \"ID\" <= ?")
                 : QStringLiteral("SELECT MAX(\"ID\") FROM \"ADRESSEN\" WHERE \"Typ\" = ? "
                                  "AND \"ID\" >= ?"),
        {typ, director ? LastFuneralDirectorId : FirstHelperId});
    qint64 candidate = director ? 1 : FirstHelperId;
    if (highest.next() && !highest.value(0).isNull())
        candidate = highest.value(0).toLongLong() + 1;

    // Pass over numbers another address already holds (old files numbered both kinds from 1).
    QSqlQuery taken = connection.exec(
        QStringLiteral("SELECT \"ID\" FROM \"ADRESSEN\" WHERE \"ID\" >= ? ORDER BY \"ID\""),
        {candidate});
    while (taken.next()) {
        const qint64 id = taken.value(0).toLongLong();
        if (id > candidate)
            break;
        if (id == candidate)
            ++candidate;
    }

    if (director && candidate > LastFuneralDirectorId)
        throw DbError(QStringLiteral(
            "Es kann kein weiterer Bestatter angelegt werden: die Nummern 1 bis 999 für "
            "Bestatter sind vergeben (ab 1000 sind die Nummern der Aushilfen)."));
    if (candidate > 2147483647)
        throw DbError(QStringLiteral("Es kann keine weitere Aushilfe angelegt werden: es gibt "
                                     "keine freie Nummer mehr."));
    return int(candidate);
}

} // namespace kilvaro
