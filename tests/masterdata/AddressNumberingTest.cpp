// Numbers of new addresses: each kind in its own range, continuing its own highest number,
// and the unique ID of the address table, also in files made by older versions.
#include "masterdata/AddressNumbering.h"
#include "base/DbError.h"
#include "data/Schema.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

#include "support/TableTestDb.h"

using namespace kilvaro;
using kilvaro::testing::TableTestDb;

namespace {

void addAddress(Connection& c, int id, int typ, const QString& name = QStringLiteral("X")) {
    c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name) VALUES (?, ?, ?)"),
           {id, typ, name});
}

int count(Connection& c, const QString& sql) {
    QSqlQuery q = c.exec(sql);
    return q.next() ? q.value(0).toInt() : -1;
}

/// Turns a fresh database into one as version 1 left it: ADRESSEN.ID indexed, not unique.
void makeVersion1(Connection& c) {
    c.exec(QStringLiteral("DROP INDEX \"ADRESSEN_ID\""));
    c.exec(QStringLiteral("CREATE INDEX \"ADRESSEN_ID\" ON \"ADRESSEN\" (\"ID\")"));
    c.exec(QStringLiteral("PRAGMA user_version = 1"));
}

bool addressIdIndexIsUnique(Connection& c) {
    QSqlQuery q = c.exec(QStringLiteral("SELECT \"unique\" FROM pragma_index_list('ADRESSEN') "
                                        "WHERE name = 'ADRESSEN_ID'"));
    return q.next() && q.value(0).toInt() == 1;
}

} // namespace

TEST(AddressNumbering, EachKindStartsInItsOwnRangeAndContinuesItsOwnHighestNumber) {
    TableTestDb db;
    Connection& c = db.conn();
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::FuneralDirector), 1);
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::Helper), 1000)
        << "the first helper must not share the first funeral director's number";

    for (int id = 1; id <= 57; ++id)
        addAddress(c, id, 1);
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::FuneralDirector), 58);
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::Helper), 1000);

    addAddress(c, 1000, 0);
    addAddress(c, 1003, 0);
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::Helper), 1004)
        << "helpers continue their highest number, gaps stay";
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::FuneralDirector), 58)
        << "the helpers' numbers do not move the funeral directors' sequence";
}

TEST(AddressNumbering, OldNumbersOfTheOtherKindArePassedOver) {
    TableTestDb db;
    Connection& c = db.conn();
    // An old file: helpers numbered 1 to 3 under other IDs than the directors 4 and 5.
    addAddress(c, 4, 1);
    addAddress(c, 5, 1);
    addAddress(c, 6, 0);
    addAddress(c, 7, 0);
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::FuneralDirector), 8)
        << "6 and 7 belong to helpers already";
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::Helper), 1000)
        << "helpers below 1000 do not hold the helpers' range back";
}

TEST(AddressNumbering, TheThousandthFuneralDirectorIsRefusedWithAMessage) {
    TableTestDb db;
    Connection& c = db.conn();
    addAddress(c, 998, 1);
    addAddress(c, 1000, 0);
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::FuneralDirector), 999);
    addAddress(c, 999, 1);
    try {
        AddressNumbering::nextId(c, AddressKind::FuneralDirector);
        FAIL() << "a funeral director got a number in the helpers' range";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("kein weiterer Bestatter")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("999")));
    }
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::Helper), 1001);
}

TEST(AddressIdUpgrade, NewDatabasesRefuseASecondAddressWithTheSameId) {
    TableTestDb db;
    Connection& c = db.conn();
    EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
    EXPECT_TRUE(addressIdIndexIsUnique(c));
    addAddress(c, 1, 1);
    EXPECT_THROW(addAddress(c, 1, 0), DbError);
    addAddress(c, 1000, 0);
}

TEST(AddressIdUpgrade, AnOldFileWithUniqueIdsKeepsItsNumbersAndGetsTheUniqueIndex) {
    TableTestDb db;
    Connection& c = db.conn();
    makeVersion1(c);
    addAddress(c, 1, 1, QStringLiteral("Zander"));
    addAddress(c, 2, 1, QStringLiteral("Arndt"));
    addAddress(c, 3, 0, QStringLiteral("Berg"));
    c.exec(QStringLiteral("INSERT INTO ADRESSEN (Typ, Name) VALUES (0, 'ohne Nummer'), "
                          "(0, 'auch ohne')"));
    ASSERT_FALSE(addressIdIndexIsUnique(c));

    Schema::upgrade(c);
    EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
    EXPECT_TRUE(addressIdIndexIsUnique(c));
    EXPECT_EQ(count(c, QStringLiteral("SELECT count(*) FROM ADRESSEN")), 5);
    EXPECT_EQ(count(c, QStringLiteral("SELECT ID FROM ADRESSEN WHERE Name = 'Berg'")), 3);
    EXPECT_THROW(addAddress(c, 2, 0), DbError);

    Schema::upgrade(c); // a second start finds nothing to do
    EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
}

TEST(AddressIdUpgrade, AnOldFileWithDuplicateIdsStaysUsableAndIsNamedUntilRenumbered) {
    TableTestDb db;
    Connection& c = db.conn();
    makeVersion1(c);
    addAddress(c, 1, 1, QStringLiteral("Zander"));
    addAddress(c, 2, 1, QStringLiteral("Arndt"));
    addAddress(c, 2, 0, QStringLiteral("Berg"));
    addAddress(c, 5, 0, QStringLiteral("Kuhn"));
    addAddress(c, 5, 1, QStringLiteral("Lenz"));
    Schema::upgrade(c);
    EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
    EXPECT_FALSE(addressIdIndexIsUnique(c)) << "the numbers are kept";
    EXPECT_EQ(count(c, QStringLiteral("SELECT count(*) FROM ADRESSEN")), 5);
    EXPECT_EQ(c.transactionDepth(), 0);
    const QString m = Schema::duplicateAddressIdsMessage(c);
    EXPECT_TRUE(m.contains(QStringLiteral("(ID) 2 ist mehrfach vergeben"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("„Arndt“"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("„Berg“"))) << m.toStdString();
    // New numbers skip the numbers in use.
    EXPECT_EQ(AddressNumbering::nextId(c, AddressKind::FuneralDirector), 6);

    // Once the office has renumbered, the next start makes the ID unique.
    c.exec(QStringLiteral("UPDATE ADRESSEN SET ID = 1000 WHERE Name = 'Berg'"));
    c.exec(QStringLiteral("UPDATE ADRESSEN SET ID = 1001 WHERE Name = 'Kuhn'"));
    Schema::upgrade(c);
    EXPECT_TRUE(addressIdIndexIsUnique(c));
    EXPECT_TRUE(Schema::duplicateAddressIdsMessage(c).isEmpty());
}
