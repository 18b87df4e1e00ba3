#include "support/TableTestDb.h"

#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/Table.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

#include <limits>

using namespace kilvaro;
using kilvaro::testing::TableTestDb;

#define S QStringLiteral

namespace {

QString refusal(const QVariant& value, ColumnType type) {
    try {
        stored::toDb(value, type);
        return {};
    } catch (const DbError& e) {
        return e.message();
    }
}

} // namespace

// Typed texts that merely look like numbers to the C library must not become amounts.
TEST(StoredValueBadInput, NumberFieldsRefuseNonFiniteValues) {
    for (const char* text : {"nan", "NaN", "inf", "-inf", "1e400"})
        EXPECT_EQ(refusal(QString::fromUtf8(text), ColumnType::Float),
                  S("'%1' ist kein gültiger Gleitkommawert.").arg(QString::fromUtf8(text)))
            << text;
    EXPECT_FALSE(refusal(std::numeric_limits<double>::quiet_NaN(), ColumnType::Currency).isEmpty());
    EXPECT_FALSE(refusal(std::numeric_limits<double>::infinity(), ColumnType::Float).isEmpty());
    // German and plain forms still pass.
    EXPECT_EQ(stored::toDb(S("1.234,50"), ColumnType::Float).toDouble(), 1234.5);
    EXPECT_EQ(stored::toDb(S("12.5"), ColumnType::Float).toDouble(), 12.5);
}

TEST(StoredValueBadInput, ImpossibleDatesAreRefusedByName) {
    for (const char* text :
         {"31.02.2024", "29.02.2023", "32.01.2024", "12.13.2024", "31.12.2024 25:00", "abc"})
        EXPECT_EQ(refusal(QString::fromUtf8(text), ColumnType::DateTime),
                  S("'%1' ist kein gültiges Datum.").arg(QString::fromUtf8(text)))
            << text;
    EXPECT_TRUE(refusal(S("29.02.2024"), ColumnType::DateTime).isEmpty());
}

// A refused number leaves the row in edit with its old value, and nothing reaches the file.
TEST(StoredValueBadInput, RefusedAmountLeavesRowAndFileUnchanged) {
    TableTestDb db;
    db->exec(S("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (1, 'Ahlen', 50)"));
    Table t(&db.conn(), S("OrtsTarif"));
    t.open();
    t.edit();
    EXPECT_THROW(t.setValue(S("Betrag"), S("inf")), DbError);
    EXPECT_EQ(t.state(), TableState::Edit);
    EXPECT_EQ(t.value(S("Betrag")).toDouble(), 50.0);
    t.post();
    QSqlQuery q = db->exec(S("SELECT Betrag FROM OrtsTarif WHERE Id = 1"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toDouble(), 50.0);
}
