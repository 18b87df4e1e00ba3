#include "trips/AddressChoices.h"

#include "data/Query.h"

namespace kilvaro {

namespace {

QList<AddressChoices::Entry> read(Query& query, const QString& sql) {
    query.close();
    query.setSql(sql);
    query.open();
    QList<AddressChoices::Entry> entries;
    for (int r = 0; r < query.recordCount(); ++r) {
        query.setRecNo(r);
        entries.append(
            {query.value(QStringLiteral("Name")).toString(), query.value(QStringLiteral("id"))});
    }
    return entries;
}

} // namespace

QList<AddressChoices::Entry> AddressChoices::funeralDirectors(Query& query) {
    return read(
        query,
        QStringLiteral("Select Name,id from Adressen where Typ=1 and aktiv=true order by Name"));
}

QList<AddressChoices::Entry> AddressChoices::helpers(Query& query) {
    return read(
        query,
        QStringLiteral("Select Name,id from Adressen where Typ=0 and aktiv=true order by Name"));
}

} // namespace kilvaro
