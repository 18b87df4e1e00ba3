#include "data/Schema.h"

#include "data/InvoiceLocks.h"

#include "data/Connection.h"
#include "base/DbError.h"

#include <QSqlQuery>

namespace kilvaro::Schema {

namespace {

struct Col {
    const char* name;
    ColumnType type;
    int size;
};

TableInfo makeTable(const char* name, std::initializer_list<Col> cols) {
    TableInfo t;
    t.name = QString::fromUtf8(name);
    for (const Col& c : cols)
        t.columns.append(ColumnInfo{QString::fromUtf8(c.name), c.type, c.size});
    return t;
}

using CT = ColumnType;

SchemaInfo buildDefinition() {
    SchemaInfo s;
    s.addTable(
        makeTable("Fahrten", {{"Datum", CT::DateTime, 0},      {"Bestatter", CT::Integer, 0},
                              {"ID", CT::AutoInc, 0},          {"Startort", CT::Text, 50},
                              {"Zielort", CT::Text, 50},       {"Anrede", CT::Text, 4},
                              {"Vorname", CT::Text, 25},       {"Strasse", CT::Text, 50},
                              {"PLZ", CT::Text, 10},           {"Ort", CT::Text, 30},
                              {"AKZ", CT::Text, 20},           {"Beamter", CT::Text, 30},
                              {"Personen", CT::Text, 50},      {"Aushilfe", CT::Integer, 0},
                              {"Ortspauschale", CT::Float, 0}, {"Ankleiden", CT::Float, 0},
                              {"Nacht", CT::Float, 0},         {"Feiertag", CT::Float, 0},
                              {"Kuehlung", CT::Float, 0},      {"UHuelle", CT::Float, 0},
                              {"Rechnung", CT::Integer, 0},    {"Gutschrift", CT::Boolean, 0},
                              {"Zeit", CT::DateTime, 0},       {"AuftragNr", CT::Integer, 0},
                              {"ANRLock", CT::Boolean, 0},     {"Covid19", CT::Float, 0}}));
    s.addTable(makeTable("ADRESSEN", {{"ID", CT::Integer, 0},
                                      {"Typ", CT::Integer, 0},
                                      {"Name", CT::Text, 50},
                                      {"Anrede", CT::Text, 20},
                                      {"Vorname", CT::Text, 40},
                                      {"Inhaber", CT::Text, 50},
                                      {"Geschäftsbezeichnung", CT::Text, 70},
                                      {"Straße", CT::Text, 50},
                                      {"PLZ", CT::Text, 8},
                                      {"Ort", CT::Text, 50},
                                      {"Tarifgruppe", CT::SmallInt, 0},
                                      {"Telefon1", CT::Text, 25},
                                      {"Telefon2", CT::Text, 25},
                                      {"Privat-Telefon", CT::Text, 25},
                                      {"Handy", CT::Text, 25},
                                      {"OhneRP", CT::Boolean, 0},
                                      {"Gutschrift", CT::Boolean, 0},
                                      {"Aktiv", CT::Boolean, 0},
                                      {"BigR", CT::Boolean, 0},
                                      {"Vertragsnr", CT::Text, 30}}));
    s.addTable(makeTable("OTMAIN", {{"Nr", CT::Integer, 0},
                                    {"Anfang", CT::DateTime, 0},
                                    {"Ende", CT::DateTime, 0},
                                    {"ID", CT::Integer, 0}}));
    s.addTable(makeTable("Tarif", {{"Id", CT::Integer, 0},
                                   {"Mehrwertsteuer", CT::SmallInt, 0},
                                   {"Ankleiden", CT::Float, 0},
                                   {"Nacht", CT::Float, 0},
                                   {"Feiertag", CT::Float, 0},
                                   {"Kuehlung", CT::Float, 0},
                                   {"UHuelle", CT::Float, 0},
                                   {"Waehrung", CT::Text, 3},
                                   {"Covid19", CT::Float, 0}}));
    s.addTable(makeTable(
        "OrtsTarif", {{"Id", CT::Integer, 0}, {"Ort", CT::Text, 50}, {"Betrag", CT::Float, 0}}));
    s.addTable(makeTable("Ortsliste", {{"Ort", CT::Text, 50}}));
    s.addTable(makeTable("Preisliste", {{"Ort", CT::Text, 50},
                                        {"Id", CT::AutoInc, 0},
                                        {"Entfernung", CT::Float, 0},
                                        {"Richtpreis", CT::Float, 0}}));
    s.addTable(makeTable("plz", {{"PLZ", CT::Integer, 0}, {"Rechtsrheinisch", CT::Boolean, 0}}));
    s.addTable(makeTable("Rechnung", {{"ID", CT::AutoInc, 0},
                                      {"RecNr", CT::Integer, 0},
                                      {"Kunde", CT::Integer, 0},
                                      {"Datum", CT::DateTime, 0},
                                      {"Bezahlt", CT::Boolean, 0},
                                      {"Textvor", CT::Memo, 0},
                                      {"Zahlungsart", CT::Text, 25},
                                      {"Zahlungsdatum", CT::DateTime, 0},
                                      {"Anzahlung", CT::Float, 0},
                                      {"AnzahlungD", CT::DateTime, 0},
                                      {"Euro", CT::Boolean, 0},
                                      {"Single", CT::Boolean, 0},
                                      {"Netto", CT::Float, 0},
                                      {"MWSt", CT::Integer, 0},
                                      {"BigR", CT::Boolean, 0},
                                      {"Storniert", CT::Boolean, 0},
                                      {"Gebucht", CT::Boolean, 0},
                                      {"Ausgeblendet", CT::Boolean, 0}}));
    s.addTable(makeTable("RecPos", {{"Id", CT::AutoInc, 0},
                                    {"RecID", CT::Integer, 0},
                                    {"Datum", CT::DateTime, 0},
                                    {"Rectext", CT::Text, 255},
                                    {"Netto", CT::Float, 0},
                                    {"Auftragsnr", CT::Integer, 0}}));
    s.addTable(makeTable("Monatsrechnung", {{"Monat", CT::SmallInt, 0},
                                            {"Jahr", CT::SmallInt, 0},
                                            {"Rechnung_von", CT::Integer, 0},
                                            {"Rechnung_bis", CT::Integer, 0},
                                            {"Umsatz", CT::Currency, 0},
                                            {"ISO", CT::Text, 3}}));
    s.addTable(makeTable("Jahresumsatz", {{"Jahr", CT::Integer, 0},
                                          {"Fahrten", CT::Integer, 0},
                                          {"Umsatz", CT::Float, 0},
                                          {"Waehrung", CT::Text, 3}}));
    s.addTable(makeTable("Jahresfahrten", {{"ID", CT::Integer, 0}, {"Bestatter", CT::Text, 50}}));
    return s;
}

QString columnDefinition(const ColumnInfo& c) {
    QString def = QStringLiteral("\"%1\" ").arg(c.name);
    switch (c.type) {
    case CT::AutoInc:
        def += QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        break;
    case CT::Boolean:
        def += QStringLiteral("BOOLEAN NOT NULL DEFAULT false");
        break;
    case CT::Text:
    case CT::Memo:
        // The old engine compared texts without regard to case.
        def += declaredTypeName(c.type, c.size) + QStringLiteral(" COLLATE NOCASE");
        break;
    default:
        def += declaredTypeName(c.type, c.size);
        break;
    }
    return def;
}

bool addressIdIndexIsUnique(Connection& connection) {
    QSqlQuery q = connection.exec(QStringLiteral(
        "SELECT \"unique\" FROM pragma_index_list('ADRESSEN') WHERE name = 'ADRESSEN_ID'"));
    return q.next() && q.value(0).toInt() == 1;
}

bool hasDuplicateAddressIds(Connection& connection) {
    QSqlQuery q =
        connection.exec(QStringLiteral("SELECT 1 FROM \"ADRESSEN\" WHERE \"ID\" IS NOT NULL "
                                       "GROUP BY \"ID\" HAVING COUNT(*) > 1 LIMIT 1"));
    return q.next();
}

/// Trips and invoices refer to an address by ID over both kinds, so the ID index is
/// unique. Duplicate IDs in an old file cannot be resolved without knowing which trips mean
/// which address: such a file keeps its plain index until the office has renumbered.
void makeAddressIdsUniqueWhenPossible(Connection& connection) {
    if (addressIdIndexIsUnique(connection) || hasDuplicateAddressIds(connection))
        return;
    Transaction tx(connection);
    connection.exec(QStringLiteral("DROP INDEX IF EXISTS \"ADRESSEN_ID\""));
    connection.exec(QStringLiteral("CREATE UNIQUE INDEX \"ADRESSEN_ID\" ON \"ADRESSEN\" (\"ID\")"));
    tx.commit();
}

/// Version 2: the unique address ID (see above).
void upgradeToVersion2(Connection& connection) {
    Transaction tx(connection);
    makeAddressIdsUniqueWhenPossible(connection);
    connection.exec(QStringLiteral("PRAGMA user_version = 2"));
    tx.commit();
}

/// Versions 3 and 4: booked invoices are locked by triggers, so no path can change them
/// (3: positions, deletion, un-booking; 4: the printed fields, the cancellation and the
/// invoice marks of the trips). Every lock is created "if not exists", so each step adds
/// what its version brought.
void addInvoiceLocks(Connection& connection, int version) {
    Transaction tx(connection);
    for (const QString& sql : InvoiceLocks::statements())
        connection.exec(sql);
    connection.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
    tx.commit();
}

} // namespace

const SchemaInfo& definition() {
    static const SchemaInfo s = buildDefinition();
    return s;
}

QStringList createStatements() {
    QStringList out;
    for (const TableInfo& t : definition().tables()) {
        QStringList cols;
        for (const ColumnInfo& c : t.columns)
            cols << columnDefinition(c);
        out << QStringLiteral("CREATE TABLE \"%1\" (\n  %2\n)")
                   .arg(t.name, cols.join(QStringLiteral(",\n  ")));
    }
    // The sorts and look-ups of the windows, reports and invoicing.
    out << QStringLiteral("CREATE INDEX \"Fahrten_Datum\" ON \"Fahrten\" (\"Datum\")")
        << QStringLiteral("CREATE INDEX \"Fahrten_AuftragNr\" ON \"Fahrten\" (\"AuftragNr\")")
        << QStringLiteral("CREATE INDEX \"Fahrten_Rechnung\" ON \"Fahrten\" (\"Rechnung\")")
        << QStringLiteral(
               "CREATE INDEX \"Fahrten_Bestatter\" ON \"Fahrten\" (\"Bestatter\", \"Datum\")")
        << QStringLiteral("CREATE INDEX \"ADRESSEN_Name\" ON \"ADRESSEN\" (\"Name\")")
        // Trips and invoices find an address by ID over both kinds.
        << QStringLiteral("CREATE UNIQUE INDEX \"ADRESSEN_ID\" ON \"ADRESSEN\" (\"ID\")")
        << QStringLiteral("CREATE INDEX \"OTMAIN_Nr\" ON \"OTMAIN\" (\"Nr\", \"Anfang\")")
        << QStringLiteral("CREATE INDEX \"OTMAIN_ID\" ON \"OTMAIN\" (\"ID\")")
        << QStringLiteral("CREATE INDEX \"Tarif_Id\" ON \"Tarif\" (\"Id\")")
        << QStringLiteral("CREATE INDEX \"OrtsTarif_Id\" ON \"OrtsTarif\" (\"Id\", \"Ort\")")
        << QStringLiteral("CREATE UNIQUE INDEX \"Rechnung_RecNr\" ON \"Rechnung\" (\"RecNr\")")
        << QStringLiteral("CREATE INDEX \"Rechnung_Datum\" ON \"Rechnung\" (\"Datum\")")
        << QStringLiteral("CREATE INDEX \"RecPos_RecID\" ON \"RecPos\" (\"RecID\")")
        << QStringLiteral("CREATE UNIQUE INDEX \"Monatsrechnung_Monat\" ON \"Monatsrechnung\" "
                          "(\"Jahr\", \"Monat\")")
        << QStringLiteral(
               "CREATE UNIQUE INDEX \"Jahresumsatz_Jahr\" ON \"Jahresumsatz\" (\"Jahr\")");
    out << InvoiceLocks::statements();
    return out;
}

int storedVersion(Connection& connection) {
    QSqlQuery q = connection.exec(QStringLiteral("PRAGMA user_version"));
    return q.next() ? q.value(0).toInt() : 0;
}

void create(Connection& connection) {
    Transaction tx(connection);
    for (const QString& sql : createStatements())
        connection.exec(sql);
    connection.exec(QStringLiteral("PRAGMA user_version = %1").arg(currentVersion));
    tx.commit();
    connection.reloadSchema();
}

void upgrade(Connection& connection) {
    const int version = storedVersion(connection);
    if (version > currentVersion)
        throw DbError(QStringLiteral("Die Datenbank hat die Version %1; dieses Programm kennt nur "
                                     "Versionen bis %2. Bitte verwenden Sie ein neueres Programm.")
                          .arg(version)
                          .arg(currentVersion));
    if (version < 1)
        throw DbError(
            QStringLiteral("Die Datei enthält keine Kilvaro-Datenbank (Tabelle Fahrten fehlt)."));
    // Another program's file may carry a version number of its own: it must hold our
    // tables, or every later statement fails with the engine's English words.
    for (const char* table : {"Fahrten", "ADRESSEN", "OTMAIN", "Tarif", "OrtsTarif", "Ortsliste",
                              "Preisliste", "Rechnung", "RecPos"})
        if (!connection.schema().table(QString::fromLatin1(table)))
            throw DbError(QStringLiteral("Die Datei enthält keine Kilvaro-Datenbank (Tabelle %1 "
                                         "fehlt).")
                              .arg(QString::fromLatin1(table)));
    // A read-only file (an archive copy) is read as it is; it cannot be brought up to date.
    if (connection.isReadOnly()) {
        if (version < currentVersion)
            throw DbError(QStringLiteral("Die schreibgeschützte Datenbank hat die ältere Version "
                                         "%1 und kann nicht angepasst werden. Bitte kopieren Sie "
                                         "sie an einen Ort mit Schreibrechten und öffnen Sie sie "
                                         "dort.")
                              .arg(version));
        return;
    }
    // Later versions add their steps here, one transaction each.
    if (version < 2)
        upgradeToVersion2(connection);
    if (version < 4)
        addInvoiceLocks(connection, 4);
    // A file renumbered since its upgrade gets its unique index now.
    makeAddressIdsUniqueWhenPossible(connection);
    connection.reloadSchema();
}

QString duplicateAddressIdsMessage(Connection& connection) {
    // The unique index rules duplicates out; only files still without it need the search.
    if (addressIdIndexIsUnique(connection))
        return {};
    QSqlQuery dup = connection.exec(
        QStringLiteral("SELECT \"ID\" FROM \"ADRESSEN\" WHERE \"ID\" IS NOT NULL "
                       "GROUP BY \"ID\" HAVING COUNT(*) > 1 ORDER BY \"ID\" LIMIT 1"));
    if (!dup.next())
        return {};
    const qint64 id = dup.value(0).toLongLong();
    QStringList names;
    QSqlQuery rows = connection.exec(
        QStringLiteral("SELECT \"Name\" FROM \"ADRESSEN\" WHERE \"ID\" = ? ORDER BY rowid"), {id});
    while (rows.next())
        names << QStringLiteral("„%1“").arg(rows.value(0).toString());
    return QStringLiteral("Die Adressnummer (ID) %1 ist mehrfach vergeben (%2). Fahrten und "
                          "Rechnungen dieser Nummer können der falschen Adresse zugeordnet "
                          "werden. Bitte geben Sie jeder Adresse eine eigene Nummer und passen "
                          "Sie die Fahrten und Rechnungen an, die sich auf sie beziehen.")
        .arg(QString::number(id), names.join(QStringLiteral(", ")));
}

} // namespace kilvaro::Schema
