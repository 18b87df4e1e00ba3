// Two workstations on one database file: a store or delete of a row the other changed or
// deleted since it was read is refused, nothing is overwritten, and the row shows what is
// stored. Writes of the program itself on its own connection are no conflict.
#include "support/TableTestDb.h"

#include "base/DbError.h"
#include "data/Table.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TableTestDb;

namespace {

const QString kChanged =
    QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz geändert");
const QString kDeleted =
    QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz gelöscht");

QString refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const DbError& e) {
        return e.message();
    }
    return QStringLiteral("(nicht abgelehnt)");
}

QVariant stored(Connection& c, const QString& table, const QString& field) {
    QSqlQuery q = c.exec(QStringLiteral("SELECT \"%1\" FROM \"%2\"").arg(field, table));
    return q.next() ? q.value(0) : QVariant();
}

struct Case {
    const char* table;
    const char* row; ///< one row with empty columns, fractions and dates, as stored rows have
    const char* field;
    QVariant first, second;
};

} // namespace

TEST(OptimisticLocking, TwoWorkstationsNeverOverwriteEachOther) {
    const Case cases[] = {
        {"Fahrten",
         "INSERT INTO Fahrten (Datum, Zeit, Bestatter, Personen, Ortspauschale, Nacht, "
         "AuftragNr, Gutschrift) VALUES ('2021-03-15 00:00:00', '1899-12-30 10:30:00', 17, "
         "'Meier', 0.1 + 0.2, NULL, 44270001, 0)",
         "Ortspauschale", 111.0, 222.0},
        {"ADRESSEN",
         "INSERT INTO ADRESSEN (ID, Typ, Name, Ort, Tarifgruppe, Aktiv) VALUES (17, 1, "
         "'Zander', NULL, 3, 1)",
         "Ort", QStringLiteral("Bonn"), QStringLiteral("Köln")},
        {"Rechnung",
         "INSERT INTO Rechnung (RecNr, Kunde, Datum, Netto, MWSt, Bezahlt, Gebucht) VALUES "
         "(1, 17, '2021-03-31 00:00:00', 33.33, 19, 0, 0)",
         "Netto", 111.0, 222.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const QString table = QString::fromLatin1(c.table);
        const QString field = QString::fromLatin1(c.field);
        TableTestDb db;
        db->exec(QString::fromUtf8(c.row));
        Connection other;
        other.open(db.path());
        Table a(&db.conn(), table);
        Table b(&other, table);
        a.open();
        b.open();
        ASSERT_EQ(b.recordCount(), 1);

        // B reads the row and starts typing; A stores first.
        b.edit();
        b.setValue(field, c.second);
        a.edit();
        a.setValue(field, c.first);
        a.post();
        ASSERT_EQ(a.value(field), c.first);
        EXPECT_TRUE(refusal([&] { b.post(); }).startsWith(kChanged));
        EXPECT_EQ(b.state(), TableState::Browse);
        EXPECT_EQ(b.value(field), c.first) << "B shows what A stored";
        EXPECT_EQ(stored(db.conn(), table, field), c.first) << "nothing overwritten";

        // Having seen it, B may store; its own stores never conflict with each other.
        for (int i = 0; i < 2; ++i) {
            b.edit();
            b.setValue(field, c.second);
            b.post();
        }
        EXPECT_EQ(stored(db.conn(), table, field), c.second);

        // A still shows its own store, which B has changed since: A may not delete the row.
        EXPECT_TRUE(refusal([&] { a.remove(); }).startsWith(kChanged));
        EXPECT_EQ(a.recordCount(), 1);
        EXPECT_EQ(a.value(field), c.second);

        // A row that the other deleted: a store is refused, a delete says so; both let it go.
        b.remove();
        a.edit();
        a.setValue(field, c.second);
        EXPECT_TRUE(refusal([&] { a.post(); }).startsWith(kDeleted));
        EXPECT_EQ(a.recordCount(), 0);
        EXPECT_EQ(stored(db.conn(), table, QStringLiteral("rowid")), QVariant());
        db->exec(QString::fromUtf8(c.row));
        a.refresh();
        static_cast<void>(a.value(field)); // A shows the row
        other.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
        EXPECT_TRUE(refusal([&] { a.remove(); }).startsWith(kDeleted));
        EXPECT_EQ(a.recordCount(), 0);
        EXPECT_EQ(a.state(), TableState::Browse);
    }
}

TEST(OptimisticLocking, WritesOfThisProgramAreNoConflict) {
    TableTestDb db;
    db->exec(QStringLiteral("INSERT INTO Fahrten (Datum, Personen, AuftragNr, ANRLock) VALUES "
                            "('2021-03-15 00:00:00', 'Meier', 44270001, 0)"));
    Table window(&db.conn(), QStringLiteral("Fahrten"));
    Table invoicing(&db.conn(), QStringLiteral("Fahrten"));
    window.open();
    invoicing.open();
    ASSERT_EQ(window.value(QStringLiteral("Personen")).toString(), QStringLiteral("Meier"));
    ASSERT_EQ(invoicing.recordCount(), 1);

    // While the window edits the trip, the program locks its order by a statement it
    // announces and marks the trip invoiced through another table object.
    window.edit();
    window.setValue(QStringLiteral("Personen"), QStringLiteral("Meier-Schmitz"));
    db->exec(QStringLiteral("UPDATE Fahrten SET ANRLock = 1 WHERE AuftragNr = 44270001"));
    db->notifyTableChanged(QStringLiteral("Fahrten"));
    invoicing.edit();
    invoicing.setValue(QStringLiteral("Rechnung"), 5);
    invoicing.post();
    EXPECT_TRUE(window.value(QStringLiteral("ANRLock")).toBool()) << "the edit shows it";
    window.post();
    EXPECT_EQ(stored(db.conn(), QStringLiteral("Fahrten"), QStringLiteral("Personen")),
              QStringLiteral("Meier-Schmitz"));
    EXPECT_EQ(stored(db.conn(), QStringLiteral("Fahrten"), QStringLiteral("Rechnung")), 5);
    EXPECT_EQ(stored(db.conn(), QStringLiteral("Fahrten"), QStringLiteral("ANRLock")), 1);

    // A row only browsed is read anew after such a write before it is edited.
    ASSERT_EQ(window.value(QStringLiteral("Rechnung")).toInt(), 5);
    invoicing.edit();
    invoicing.setValue(QStringLiteral("Rechnung"), 6);
    invoicing.post();
    window.edit();
    window.setValue(QStringLiteral("Nacht"), 25);
    window.post();
    EXPECT_EQ(stored(db.conn(), QStringLiteral("Fahrten"), QStringLiteral("Rechnung")), 6);
    EXPECT_EQ(stored(db.conn(), QStringLiteral("Fahrten"), QStringLiteral("Nacht")), 25.0);
}
