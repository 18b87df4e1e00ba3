// The monthly run: who is invoiced for which trips, numbering, dates and VAT, the month's
// row, late additions, deleting and booking a month, recomputing its row, and that a
// failure anywhere in the run leaves the database exactly as it was.
#include "InvoiceFixture.h"

#include "base/DbError.h"
#include "base/IniFile.h"
#include "invoicing/MonthlyRun.h"

#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class MonthlyRunTest : public ::testing::Test {
protected:
    MonthlyRunTest() {
        // A helper named to sort first: helpers are never invoiced.
        fx.exec("INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv, BigR) VALUES (3, 0, 'Aal', 1, 0)");
        fx.exec("UPDATE ADRESSEN SET BigR = 1 WHERE ID = 1");
        run.status = [this](const QString& text) { statusTexts << text; };
    }

    /// A trip of `director` on `day` with net 100 + `night`.
    int trip(int director, const QDate& day, double night = 40) {
        InvoiceFixture::Trip t;
        t.bestatter = director;
        t.when = QDateTime(day, QTime(14, 30));
        t.nacht = night;
        t.auftragNr = ++auftragNr;
        return fx.addTrip(t);
    }
    QVariant mark(int tripId) {
        return fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {tripId});
    }
    int count(const char* sql, const QVariantList& binds = {}) {
        return fx.scalar(sql, binds).toInt();
    }

    InvoiceFixture fx;
    MonthlyRun run{*fx.datenR};
    QStringList statusTexts;
    int auftragNr = 46357000;
};

} // namespace

TEST_F(MonthlyRunTest, InvoicesEachDirectorsOpenTripsInAlphabeticalOrder) {
    const QDate march(2026, 3, 1);
    const int zander1 = trip(1, march.addDays(4), 40.25);
    const int zander2 = trip(1, march.addDays(30)); // 31.03., the last day counts
    fx.exec("UPDATE Fahrten SET Rechnung = 0 WHERE ID = ?", {zander2}); // 0 is open too
    const int arndt = trip(2, march.addDays(9), 0.1);
    const int helper = trip(3, march.addDays(9));
    const int april = trip(2, QDate(2026, 4, 1));
    const int february = trip(2, QDate(2026, 2, 28));
    const int invoiced = trip(2, march.addDays(2));
    const int single = fx.makeSingleInvoice(invoiced);

    const MonthlyRun::Result r = run.MonatslaufAusfuehren(3, 2026, false);
    ASSERT_EQ(r.outcome, MonthlyRun::Outcome::Made);
    // Arndt before Zander; numbers run on from the single invoice.
    ASSERT_EQ(r.numbers, (QList<int>{single + 1, single + 2}));
    const int a = r.numbers[0], z = r.numbers[1];
    EXPECT_EQ(fx.scalar("SELECT Kunde FROM Rechnung WHERE RecNr = ?", {a}).toInt(), 2);
    EXPECT_EQ(fx.scalar("SELECT Kunde FROM Rechnung WHERE RecNr = ?", {z}).toInt(), 1);
    EXPECT_EQ(mark(arndt).toInt(), a);
    EXPECT_EQ(mark(zander1).toInt(), z);
    EXPECT_EQ(mark(zander2).toInt(), z);
    EXPECT_EQ(mark(invoiced).toInt(), single) << "an invoiced trip is not taken again";
    for (int untouched : {helper, april, february})
        EXPECT_TRUE(mark(untouched).isNull()) << untouched;
    EXPECT_EQ(count("SELECT count(*) FROM Rechnung"), 3) << "the helper gets no invoice";

    // Contents of the invoices: net in fixed point, one position per trip.
    EXPECT_DOUBLE_EQ(fx.scalar("SELECT Netto FROM Rechnung WHERE RecNr = ?", {a}).toDouble(),
                     100.1);
    EXPECT_DOUBLE_EQ(fx.scalar("SELECT Netto FROM Rechnung WHERE RecNr = ?", {z}).toDouble(),
                     280.25);
    EXPECT_EQ(count("SELECT count(*) FROM RecPos WHERE RecID = ?", {a}), 1);
    EXPECT_EQ(count("SELECT count(*) FROM RecPos WHERE RecID = ?", {z}), 2);
    QSqlQuery inv = fx.exec("SELECT Textvor, Euro, BigR, Gebucht, Storniert, Single FROM "
                            "Rechnung WHERE RecNr = ?",
                            {z});
    ASSERT_TRUE(inv.next());
    EXPECT_EQ(inv.value(0).toString(), S("Überführungen im März 2026 gefahren."));
    EXPECT_EQ((QList<bool>{inv.value(1).toBool(), inv.value(2).toBool(), inv.value(3).toBool(),
                           inv.value(4).toBool(), inv.value(5).toBool()}),
              (QList<bool>{true, true, false, false, false}));

    // The month's row: the run's numbers and the sum of its invoices.
    const auto row = run.monthRow(3, 2026);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->first, a);
    EXPECT_EQ(row->last, z);
    EXPECT_EQ(row->revenue, Money::fromUnits(3803500));
    EXPECT_EQ(r.revenue, row->revenue);
    EXPECT_EQ(row->iso, S("EUR"));
    EXPECT_EQ(statusTexts, (QStringList{S("Die Rechnung %1 wird erstellt...").arg(a),
                                        S("Die Rechnung %1 wird erstellt...").arg(z),
                                        S("Die Monatsrechnungen für März sind erstellt...")}));

    // A second run of the month is refused and changes nothing.
    const QStringList before = fx.snapshot();
    const MonthlyRun::Result again = run.MonatslaufAusfuehren(3, 2026, false);
    EXPECT_EQ(again.outcome, MonthlyRun::Outcome::AlreadyMade);
    EXPECT_EQ(again.message,
              S("Die Monatsrechnungen für den Monat März 2026 sind schon erstellt worden!"));
    EXPECT_EQ(fx.snapshot(), before);
}

TEST_F(MonthlyRunTest, AMonthWithoutOpenTripsMakesNothingAndUsesNoNumber) {
    const int single = fx.makeSingleInvoice(trip(1, QDate(2026, 3, 5)));
    trip(3, QDate(2026, 3, 6)); // a helper's trip is not open for invoicing
    const QStringList before = fx.snapshot();
    for (bool late : {false, true}) {
        const MonthlyRun::Result r = run.MonatslaufAusfuehren(3, 2026, late);
        EXPECT_EQ(r.outcome, MonthlyRun::Outcome::NoOpenTrips);
        EXPECT_EQ(r.message, S("Für März 2026 gibt es keine offenen Überführungen."));
        EXPECT_TRUE(r.numbers.isEmpty());
    }
    EXPECT_EQ(fx.snapshot(), before);
    EXPECT_FALSE(run.MonatVorhanden(3, 2026));
    EXPECT_EQ(fx.makeSingleInvoice(trip(1, QDate(2026, 4, 1))), single + 1);
}

TEST_F(MonthlyRunTest, InvoiceDateIsTheMonthsLastDayAndVatFollowsIt) {
    struct Case {
        int month, year;
        QDate date;
        int vat;
    };
    const Case cases[] = {
        {6, 2020, {2020, 6, 30}, 19}, {7, 2020, {2020, 7, 31}, 16}, {12, 2020, {2020, 12, 31}, 16},
        {1, 2021, {2021, 1, 31}, 19}, {2, 2024, {2024, 2, 29}, 19}, {2, 2023, {2023, 2, 28}, 19},
        {2, 2100, {2100, 2, 28}, 19}, {1, 1996, {1996, 1, 31}, 19}, {12, 2200, {2200, 12, 31}, 19},
    };
    for (const Case& c : cases) {
        trip(1, QDate(c.year, c.month, 1));
        const MonthlyRun::Result r = run.MonatslaufAusfuehren(c.month, c.year, false);
        ASSERT_EQ(r.numbers.size(), 1) << c.month << "/" << c.year;
        QSqlQuery q =
            fx.exec("SELECT Datum, MWSt FROM Rechnung WHERE RecNr = ?", {r.numbers.first()});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(stored::fromDb(q.value(0), ColumnType::DateTime).toDateTime(),
                  QDateTime(c.date, QTime(0, 0)))
            << c.month << "/" << c.year;
        EXPECT_EQ(q.value(1).toInt(), c.vat) << c.month << "/" << c.year;
    }
    for (auto [month, year] : {std::pair{3, 1995}, {3, 2201}, {0, 2026}, {13, 2026}})
        EXPECT_THROW(run.MonatslaufAusfuehren(month, year, false), DbError) << month << year;
}

TEST_F(MonthlyRunTest, LateAdditionInvoicesNewTripsAndLeavesTheRowAlone) {
    trip(1, QDate(2026, 3, 3));
    const MonthlyRun::Result first = run.MonatslaufAusfuehren(3, 2026, false);
    const auto row = run.monthRow(3, 2026);
    const int late = trip(2, QDate(2026, 3, 20));

    const MonthlyRun::Result r = run.MonatslaufAusfuehren(3, 2026, true);
    ASSERT_EQ(r.outcome, MonthlyRun::Outcome::Made);
    ASSERT_EQ(r.numbers, QList<int>{first.numbers.last() + 1});
    EXPECT_EQ(mark(late).toInt(), r.numbers.first());
    EXPECT_FALSE(r.rowWritten);
    EXPECT_EQ(r.message, S("Die Monats-Statistik muss manuell angepasst werden!"));
    const auto after = run.monthRow(3, 2026);
    ASSERT_TRUE(after);
    EXPECT_EQ(std::tie(after->first, after->last, after->revenue),
              std::tie(row->first, row->last, row->revenue));
}

TEST_F(MonthlyRunTest, DeletingAMonthFreesItsTripsAndKeepsBookedInvoices) {
    const int t1 = trip(1, QDate(2026, 3, 3));
    const int t2 = trip(2, QDate(2026, 3, 4));
    const MonthlyRun::Result made = run.MonatslaufAusfuehren(3, 2026, false);
    ASSERT_EQ(made.numbers.size(), 2);

    // All unbooked: invoices, positions and the row go, the trips are open again (empty).
    MonthlyRun::DeleteResult d = run.deleteMonth(3, 2026);
    EXPECT_EQ(d.deleted, made.numbers);
    EXPECT_TRUE(d.rowDeleted);
    EXPECT_EQ(d.statusText, S("Die Monatsrechnungen für März sind gelöscht worden.."));
    EXPECT_EQ(count("SELECT count(*) FROM Rechnung") + count("SELECT count(*) FROM RecPos"), 0);
    EXPECT_FALSE(run.MonatVorhanden(3, 2026));
    EXPECT_TRUE(mark(t1).isNull());
    EXPECT_TRUE(mark(t2).isNull());

    // The freed trips are invoiced by the next run.
    const MonthlyRun::Result again = run.MonatslaufAusfuehren(3, 2026, false);
    ASSERT_EQ(again.numbers.size(), 2);
    EXPECT_EQ(mark(t2).toInt(), again.numbers[0]);
    EXPECT_EQ(mark(t1).toInt(), again.numbers[1]);

    // A booked invoice survives the deletion, is named as kept, and keeps the row.
    ASSERT_TRUE(fx.datenR->RechnungBuchen(again.numbers[1]));
    statusTexts.clear();
    d = run.deleteMonth(3, 2026);
    EXPECT_EQ(d.deleted, QList<int>{again.numbers[0]});
    EXPECT_EQ(d.kept, QList<int>{again.numbers[1]});
    EXPECT_FALSE(d.rowDeleted);
    EXPECT_TRUE(run.MonatVorhanden(3, 2026));
    EXPECT_EQ(mark(t1).toInt(), again.numbers[1]);
    EXPECT_TRUE(mark(t2).isNull());
    EXPECT_TRUE(statusTexts.contains(
        S("Die Rechnung %1 ist gebucht und bleibt erhalten.").arg(again.numbers[1])));
    EXPECT_TRUE(
        statusTexts.contains(S("Die Rechnung %1 ist gelöscht worden").arg(again.numbers[0])));
}

TEST_F(MonthlyRunTest, AFailureAnywhereInTheRunLeavesTheDatabaseAsItWas) {
    struct Case {
        const char* name;
        const char* trigger; // a temporary trigger that refuses one write
        bool throwFromStatus;
    };
    const Case cases[] = {
        {"status of the second invoice", nullptr, true},
        {"position of the second invoice",
         "CREATE TEMP TRIGGER fail BEFORE INSERT ON RecPos WHEN NEW.Netto = 177 "
         "BEGIN SELECT RAISE(ABORT, 'kaputt'); END",
         false},
        {"month row",
         "CREATE TEMP TRIGGER fail BEFORE INSERT ON Monatsrechnung "
         "BEGIN SELECT RAISE(ABORT, 'kaputt'); END",
         false},
    };
    trip(1, QDate(2026, 3, 3));
    trip(1, QDate(2026, 3, 4), 77);
    trip(2, QDate(2026, 3, 5));
    fx.makeSingleInvoice(trip(2, QDate(2026, 3, 6)));
    const QString ini = fx.folder.filePath(S("kilvaro.ini"));
    const int lastNumber = IniFile(ini).readInteger(S("Rechnung"), S("Nummer"), 0);
    const QStringList before = fx.snapshot();
    for (const Case& c : cases) {
        if (c.trigger)
            fx.exec(c.trigger);
        int invoices = 0;
        run.status = [&](const QString&) {
            if (c.throwFromStatus && ++invoices == 2)
                throw DbError(S("kaputt"));
        };
        EXPECT_THROW(run.MonatslaufAusfuehren(3, 2026, false), DbError) << c.name;
        EXPECT_EQ(fx.snapshot(), before) << c.name;
        EXPECT_FALSE(run.MonatVorhanden(3, 2026)) << c.name;
        EXPECT_EQ(IniFile(ini).readInteger(S("Rechnung"), S("Nummer"), 0), lastNumber) << c.name;
        EXPECT_FALSE(fx.datenR->Rectab->isEditing()) << c.name;
        if (c.trigger)
            fx.exec("DROP TRIGGER fail");
    }
    // Afterwards the run goes through.
    run.status = nullptr;
    EXPECT_EQ(run.MonatslaufAusfuehren(3, 2026, false).numbers.size(), 2);
}

TEST_F(MonthlyRunTest, BookingAndRecomputingAMonth) {
    trip(1, QDate(2026, 3, 3));
    trip(2, QDate(2026, 3, 4));
    const MonthlyRun::Result made = run.MonatslaufAusfuehren(3, 2026, false);
    EXPECT_EQ(run.bookMonth(3, 2026), 2);
    EXPECT_EQ(count("SELECT count(*) FROM Rechnung WHERE Gebucht"), 2);
    EXPECT_EQ(run.bookMonth(3, 2026), 0) << "nothing left to book";

    // The recomputed row counts every uncancelled invoice dated in the month.
    const int single = fx.makeSingleInvoice(trip(1, QDate(2026, 4, 2)));
    fx.exec("UPDATE Rechnung SET Datum = '2026-03-31 00:00:00', Netto = 10.05 WHERE RecNr = ?",
            {single});
    const int cancelled = fx.makeSingleInvoice(trip(1, QDate(2026, 4, 3)));
    fx.exec("UPDATE Rechnung SET Datum = '2026-03-15 00:00:00', Storniert = 1 WHERE RecNr = ?",
            {cancelled});
    const auto row = run.recomputeMonth(3, 2026);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->first, made.numbers.first());
    EXPECT_EQ(row->last, single);
    EXPECT_EQ(row->revenue, made.revenue + Money::fromUnits(100500));
    EXPECT_EQ(run.monthRow(3, 2026)->iso, S("€"));
    EXPECT_EQ(run.monthRow(3, 2026)->revenue, row->revenue);
    EXPECT_FALSE(run.recomputeMonth(5, 2026)) << "a month without invoices";
    EXPECT_FALSE(run.MonatVorhanden(5, 2026));

    // Old rows without currency are marked DM; rows with one keep it.
    fx.exec("INSERT INTO Monatsrechnung (Monat, Jahr, Rechnung_von, Rechnung_bis, Umsatz) "
            "VALUES (12, 2000, 1, 1, 5)");
    EXPECT_TRUE(run.fillMissingCurrency());
    EXPECT_EQ(fx.scalar("SELECT ISO FROM Monatsrechnung WHERE Jahr = 2000").toString(), S("DM"));
    EXPECT_EQ(run.monthRow(3, 2026)->iso, S("€"));
    EXPECT_EQ(run.yearRevenue(2026), (QList<QPair<int, Money>>{{3, row->revenue}}));
}
