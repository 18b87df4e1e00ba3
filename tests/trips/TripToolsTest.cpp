// The trip window's tools without the window: the month filter, the trip search, and the
// bulk stores behind "Auftragnr setzen" and the clearing of invoice numbers.
#include "base/DbError.h"
#include "data/Daten_A.h"
#include "data/ProgramSetup.h"
#include "data/StoredValue.h"
#include "trips/InvoiceMarks.h"
#include "trips/MonthFilter.h"
#include "trips/OrderNumberTools.h"
#include "trips/TripRules.h"
#include "trips/TripSearch.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

#include "support/FakeDialogService.h"
#include "support/TableTestDb.h"
#include "support/TestSupport.h"

using namespace kilvaro;

namespace {

/// The general data module on a fresh program folder, with the trip rules installed.
class TripToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        ProgramSetup::createDefaults(program.path());
        daten = std::make_unique<TDaten_A>(program.path(), &dialogs);
        daten->DataModuleCreate();
        ASSERT_TRUE(daten->isConnected()) << daten->lastError().toStdString();
        rules = TripRules::install(daten.get(), &dialogs);
        rules->setClock([] { return QDateTime(QDate(2021, 1, 1), QTime(9, 0)); });
    }

    Table& trips() { return *daten->Fahrttab; }

    qint64 addTrip(const QDate& date, const QString& surname, qint64 number, bool locked = false,
                   const QVariant& invoice = {}) {
        daten->Database->exec(
            QStringLiteral("INSERT INTO Fahrten (Datum, Personen, AuftragNr, ANRLock, Rechnung, "
                           "Ortspauschale) VALUES (?, ?, ?, ?, ?, 80)"),
            {stored::dateText(date), surname, number, locked ? 1 : 0, invoice});
        QSqlQuery q = daten->Database->exec(QStringLiteral("SELECT last_insert_rowid()"));
        q.next();
        trips().refresh();
        return q.value(0).toLongLong();
    }

    QVariant stored(qint64 key, const QString& column) {
        QSqlQuery q = daten->Database->exec(
            QStringLiteral("SELECT \"%1\" FROM Fahrten WHERE rowid = ?").arg(column), {key});
        return q.next() ? q.value(0) : QVariant();
    }

    TempProgramFolder program;
    FakeDialogService dialogs;
    std::unique_ptr<TDaten_A> daten;
    TripRules* rules = nullptr;
};

} // namespace

TEST(MonthFilterText, FromTheFirstOfTheMonthToTheFirstOfTheNext) {
    const struct {
        int month;
        const char* year;
        const char* filter;
    } cases[] = {
        {2, "2021", "Datum >= #03/01/2021# and Datum < #04/01/2021#"},
        {11, "2021", "Datum >= #12/01/2021# and Datum < #01/01/2022#"}, // into the next year
        {0, "2022", "Datum >= #01/01/2022# and Datum < #02/01/2022#"},
        {1, "2024", "Datum >= #02/01/2024# and Datum < #03/01/2024#"}, // leap year
        {1, " 2100 ", "Datum >= #02/01/2100# and Datum < #03/01/2100#"},
        // A month text not in the list: January to January, an empty range.
        {-1, "2022", "Datum >= #01/01/2022# and Datum < #01/01/2022#"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonthFilter::text(c.month, QString::fromLatin1(c.year)).toStdString(), c.filter)
            << c.month << " " << c.year;

    for (const char* year : {"20x2", "", "2021.5"}) {
        try {
            MonthFilter::text(0, QString::fromLatin1(year));
            ADD_FAILURE() << "accepted the year '" << year << "'";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert.").arg(year));
        }
    }
}

TEST_F(TripToolsTest, MonthFilterKeepsExactlyTheTripsOfTheMonth) {
    for (const QDate& d : {QDate(2023, 12, 31), QDate(2024, 1, 31), QDate(2024, 2, 1),
                           QDate(2024, 2, 29), QDate(2024, 3, 1)})
        addTrip(d, QStringLiteral("Meier"), 0);
    const struct {
        int month;
        const char* year;
        QList<QDate> shown;
    } cases[] = {{1, "2024", {QDate(2024, 2, 1), QDate(2024, 2, 29)}},
                 {11, "2023", {QDate(2023, 12, 31)}},
                 {0, "2024", {QDate(2024, 1, 31)}},
                 {1, "2023", {}}};
    for (const auto& c : cases) {
        MonthFilter::apply(trips(), MonthFilter::text(c.month, QString::fromLatin1(c.year)));
        EXPECT_TRUE(trips().filtered());
        QList<QDate> shown;
        for (int r = 0; r < trips().recordCount(); ++r)
            shown << trips().valueAt(r, QStringLiteral("Datum")).toDateTime().date();
        EXPECT_EQ(shown, c.shown) << c.month << " " << c.year;
    }
    MonthFilter::clear(trips());
    EXPECT_FALSE(trips().filtered());
    EXPECT_TRUE(trips().filter().isEmpty());
    EXPECT_EQ(trips().recordCount(), 5);
}

TEST(TripSearchQuery, SameFuneralDirectorAndTheFirstSixLettersOfTheSurname) {
    kilvaro::testing::TableTestDb db;
    auto add = [&](const QDate& date, const QString& name, int director, const QVariant& number) {
        db->exec(QStringLiteral("INSERT INTO Fahrten (Datum, Personen, Vorname, Bestatter, "
                                "AuftragNr, Startort, Zielort) VALUES (?, ?, 'Eva', ?, ?, "
                                "'Bonn', 'Köln')"),
                 {stored::dateText(date), name, director, number});
    };
    add(QDate(2021, 2, 1), QStringLiteral("O'Brien"), 5, 44228001);
    add(QDate(2021, 1, 1), QStringLiteral("o'brien-Smith"), 5, 44197001);
    add(QDate(2021, 1, 5), QStringLiteral("O'Brien"), 6, 44201001);
    add(QDate(2021, 1, 6), QStringLiteral("OXBrien"), 5, 44202001);
    add(QDate(2021, 1, 7), QStringLiteral("50%_Rabatt"), 5, 44203001);
    add(QDate(2021, 1, 8), QStringLiteral("50xxRabatt"), 5, 44204001);
    add(QDate(2021, 1, 9), QStringLiteral("A\\B"), 5, QVariant());

    const struct {
        const char* surname;
        int director;
        QList<qint64> numbers;
    } cases[] = {
        // A quote is a character like any other; case does not count; ordered by date.
        {"O'Brien", 5, {44197001, 44228001}},
        {"O'Brien-Smith", 5, {44197001, 44228001}}, // only "O'Brie" counts
        {"O'Brien", 6, {44201001}},
        {"50%_Rabatt", 5, {44203001}}, // wildcards are plain characters
        {"A\\B", 5, {0}},
        {"Niemand", 5, {}},
    };
    TripSearch search(&db.conn());
    for (const auto& c : cases) {
        search.setSameOrder(QString::fromLatin1(c.surname), c.director);
        QList<qint64> numbers;
        for (const TripSearch::Row& row : search.run())
            numbers << row.auftragNr.toLongLong();
        EXPECT_EQ(numbers, c.numbers) << c.surname;
    }

    search.setSameOrder(QStringLiteral("A\\B"), 5);
    const QList<TripSearch::Row> rows = search.run();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].auftragNr.isNull());
    EXPECT_EQ(rows[0].datum.date(), QDate(2021, 1, 9));
    EXPECT_EQ(rows[0].vorname, QStringLiteral("Eva"));
    EXPECT_EQ(rows[0].zielort, QStringLiteral("Köln"));
}

TEST_F(TripToolsTest, RenumberingAllTripsGoesInDateOrderAndKeepsLockedNumbers) {
    const qint64 bad = addTrip(QDate(2021, 1, 1), QStringLiteral("A"), 123);
    const qint64 locked = addTrip(QDate(2021, 1, 1), QStringLiteral("B"), 44197001, true);
    const qint64 foreignLocked = addTrip(QDate(2021, 1, 2), QStringLiteral("C"), 44500001, true);
    const qint64 wrongDay = addTrip(QDate(2021, 1, 2), QStringLiteral("D"), 44190005);
    const qint64 right = addTrip(QDate(2021, 1, 3), QStringLiteral("E"), 44199007);
    const qint64 late = addTrip(QDate(2021, 1, 3), QStringLiteral("F"), 0);
    trips().last();

    OrderNumberTools(daten.get(), rules, &dialogs).renumberAll();

    const struct {
        qint64 key;
        qint64 number;
    } expected[] = {{bad, 44197002},      {locked, 44197001}, {foreignLocked, 44500001},
                    {wrongDay, 44198001}, {right, 44199007},  {late, 44199008}};
    for (const auto& e : expected)
        EXPECT_EQ(stored(e.key, QStringLiteral("AuftragNr")).toLongLong(), e.number) << e.key;
    EXPECT_EQ(trips().recNo(), 0);
    EXPECT_FALSE(trips().isEditing());
}

TEST_F(TripToolsTest, BulkStoresAreAllOrNothing) {
    const struct {
        const char* tool;
        std::function<void(TDaten_A*, TripRules*, DialogService*)> run;
    } tools[] = {
        {"renumberAll", [](TDaten_A* d, TripRules* r,
                           DialogService* s) { OrderNumberTools(d, r, s).renumberAll(); }},
        {"clearAll",
         [](TDaten_A* d, TripRules* r, DialogService*) { InvoiceMarks(d, r).clearAll(); }},
    };
    for (const auto& tool : tools) {
        daten->Database->exec(QStringLiteral("DELETE FROM Fahrten"));
        QList<qint64> keys;
        for (const char* name : {"Anna", "Bert", "Paul", "Zora"})
            keys << addTrip(QDate(2021, 1, 1), QString::fromLatin1(name), 1, false, 7);
        // The third store is refused by the database.
        daten->Database->exec(QStringLiteral(
            "CREATE TRIGGER refuse_paul BEFORE UPDATE ON Fahrten WHEN OLD.Personen = 'Paul' "
            "BEGIN SELECT RAISE(ABORT, 'kaputt'); END"));
        EXPECT_THROW(tool.run(daten.get(), rules, &dialogs), DbError) << tool.tool;
        daten->Database->exec(QStringLiteral("DROP TRIGGER refuse_paul"));
        for (qint64 key : keys) {
            EXPECT_EQ(stored(key, QStringLiteral("AuftragNr")).toLongLong(), 1) << tool.tool;
            EXPECT_EQ(stored(key, QStringLiteral("Rechnung")).toLongLong(), 7) << tool.tool;
        }
        EXPECT_FALSE(trips().isEditing()) << tool.tool;
        EXPECT_FALSE(trips().controlsDisabled()) << tool.tool;
        // The table shows what is stored, not the rolled-back stores.
        trips().first();
        EXPECT_EQ(trips().value(QStringLiteral("AuftragNr")).toLongLong(), 1) << tool.tool;
        EXPECT_EQ(trips().value(QStringLiteral("Rechnung")).toLongLong(), 7) << tool.tool;
    }
}
