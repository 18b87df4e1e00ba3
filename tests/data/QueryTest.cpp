#include "support/TableTestDb.h"

#include "base/DbError.h"
#include "data/Query.h"

#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TableTestDb;

namespace {

struct QueryFixture : ::testing::Test {
    TableTestDb db;
    void SetUp() override {
        db->exec(QStringLiteral(
            "INSERT INTO Fahrten (Datum, AuftragNr, Ortspauschale, Gutschrift, Personen) VALUES "
            "('2021-03-15 00:00:00', 44270001, 80.5, 1, 'Meier'), "
            "('2021-03-16 00:00:00', 44271001, NULL, 0, 'Schulz'), "
            "('2021-03-17 00:00:00', 44272001, 20, 0, NULL)"));
    }
};

} // namespace

TEST_F(QueryFixture, SelectReadsAllRowsTypedAndMoves) {
    Query q(&db.conn());
    q.setLines({QStringLiteral("select auftragnr, datum, personen"), QStringLiteral("from fahrten"),
                QStringLiteral("where auftragnr > 44270000 order by auftragnr desc")});
    EXPECT_EQ(q.sql(), QStringLiteral("select auftragnr, datum, personen\nfrom fahrten\n"
                                      "where auftragnr > 44270000 order by auftragnr desc"));
    q.open();
    ASSERT_TRUE(q.isOpen());
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.value(QStringLiteral("AUFTRAGNR")).toInt(), 44272001)
        << "names without regard to case";
    EXPECT_TRUE(q.value(QStringLiteral("Personen")).isNull());
    EXPECT_THROW(q.value(QStringLiteral("Nix")), DbError);
    QList<int> seen;
    for (q.first(); !q.eof(); q.next())
        seen << q.value(QStringLiteral("auftragnr")).toInt();
    EXPECT_EQ(seen, (QList<int>{44272001, 44271001, 44270001}));
    q.last();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), 2);
    // A typed column comes back as the application's value wherever the translator knows
    // its type; an unknown one keeps the raw value.
    const QVariant date = q.valueAt(0, 1);
    if (q.fieldType(QStringLiteral("datum")) == ColumnType::DateTime)
        EXPECT_EQ(date.toDateTime(), QDateTime(QDate(2021, 3, 17), QTime(0, 0)));
    else
        EXPECT_EQ(date.toString(), QStringLiteral("2021-03-17 00:00:00"));

    q.addLine(QStringLiteral(" "));
    EXPECT_FALSE(q.isOpen()) << "changing the text closes the query";
}

TEST_F(QueryFixture, EmptyResultAndRefusals) {
    Query q(&db.conn());
    q.setSql(QStringLiteral("select auftragnr from fahrten where auftragnr < 0"));
    q.open();
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_TRUE(q.bof());
    EXPECT_TRUE(q.eof());
    EXPECT_TRUE(q.value(QStringLiteral("auftragnr")).isNull());

    q.setSql(QStringLiteral("update fahrten set rechnung = 5"));
    EXPECT_THROW(q.open(), DbError) << "open is for SELECT only";
    q.setSql(QStringLiteral("select nichtda from fahrten"));
    EXPECT_THROW(q.open(), DbError);
    EXPECT_FALSE(q.isOpen());
}

TEST_F(QueryFixture, ExecRunsStatements) {
    Query q(&db.conn());
    q.setSql(QStringLiteral("update fahrten set rechnung = 7 where auftragnr >= 44271001"));
    EXPECT_EQ(q.exec(), 2);
    q.setSql(QStringLiteral("select count(*) as n from fahrten where rechnung = 7"));
    q.open();
    EXPECT_EQ(q.value(QStringLiteral("n")).toInt(), 2);
    q.setSql(QStringLiteral("update gibtsnicht set x = 1"));
    EXPECT_THROW(q.exec(), DbError);
}
