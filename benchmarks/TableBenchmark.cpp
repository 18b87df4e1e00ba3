// Table objects over a trip table of 250,000 rows: opening, filtering, scrolling a grid
// page, moving to the end and locating by order number.

#include "data/Connection.h"
#include "data/Schema.h"
#include "data/StoredValue.h"
#include "data/Table.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace kilvaro;

namespace {

constexpr int kTrips = 250000;

/// One database for all benchmarks, filled once in one transaction with bound inserts.
struct TripDatabase {
    QTemporaryDir dir;
    Connection conn;
    QList<int> orderNumbers;

    TripDatabase() {
        conn.create(dir.filePath(QStringLiteral("bench.db")));
        Schema::create(conn);
        QRandomGenerator rng(7);
        Transaction tx(conn);
        const QDate start(2000, 1, 1);
        for (int i = 0; i < kTrips; ++i) {
            const QDate day = start.addDays(int(rng.bounded(8000)));
            const int nr = int(start.daysTo(day) + 36526) * 1000 + i % 997 + 1;
            orderNumbers << nr;
            conn.exec(QStringLiteral(
                          "INSERT INTO Fahrten (Datum, Bestatter, Startort, Zielort, Personen, "
                          "Ortspauschale, Nacht, AuftragNr, Gutschrift) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      {stored::dateText(day), int(rng.bounded(40)), QStringLiteral("Bonn"),
                       QStringLiteral("Köln"), QStringLiteral("Name %1").arg(i), 80.0 + i % 50,
                       i % 3 ? QVariant() : QVariant(25.0), nr, i % 2});
        }
        tx.commit();
    }
};

TripDatabase& db() {
    static TripDatabase instance;
    return instance;
}

std::unique_ptr<Table> openTrips() {
    auto t = std::make_unique<Table>(&db().conn, QStringLiteral("Fahrten"));
    t->setOrder(QStringLiteral("[Datum] ASC"));
    t->open();
    return t;
}

const QString kMonth =
    QStringLiteral("Datum >= '2010-03-01 00:00:00' and Datum < '2010-04-01 00:00:00'");

void BM_OpenOrderedByDatum(benchmark::State& state) {
    db();
    for (auto _ : state) {
        auto t = openTrips();
        benchmark::DoNotOptimize(t->recordCount());
    }
}
BENCHMARK(BM_OpenOrderedByDatum)->Unit(benchmark::kMillisecond);

void BM_MonthFilterOnOff(benchmark::State& state) {
    auto t = openTrips();
    t->setFilter(kMonth);
    for (auto _ : state) {
        t->setFiltered(true);
        benchmark::DoNotOptimize(t->recordCount());
        t->setFiltered(false);
    }
}
BENCHMARK(BM_MonthFilterOnOff)->Unit(benchmark::kMillisecond);

void BM_MonthFilterOn(benchmark::State& state) {
    auto t = openTrips();
    t->setFilter(kMonth);
    for (auto _ : state) {
        t->setFiltered(true);
        state.PauseTiming();
        t->setFiltered(false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MonthFilterOn)->Unit(benchmark::kMillisecond);

void BM_RecordCount(benchmark::State& state) {
    auto t = openTrips();
    for (auto _ : state)
        benchmark::DoNotOptimize(t->recordCount());
}
BENCHMARK(BM_RecordCount);

void BM_GridPageAtRandomPositions(benchmark::State& state) {
    auto t = openTrips();
    QRandomGenerator rng(3);
    const QStringList fields{QStringLiteral("Datum"), QStringLiteral("AuftragNr"),
                             QStringLiteral("Personen"), QStringLiteral("Startort"),
                             QStringLiteral("Ortspauschale")};
    for (auto _ : state) {
        const int top = int(rng.bounded(kTrips - 40));
        for (int row = top; row < top + 40; ++row)
            for (const QString& f : fields)
                benchmark::DoNotOptimize(t->valueAt(row, f));
    }
}
BENCHMARK(BM_GridPageAtRandomPositions)->Unit(benchmark::kMicrosecond);

void BM_Last(benchmark::State& state) {
    auto t = openTrips();
    for (auto _ : state) {
        t->last();
        benchmark::DoNotOptimize(t->value(QStringLiteral("AuftragNr")));
        state.PauseTiming();
        t->first();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Last)->Unit(benchmark::kMicrosecond);

void BM_LocateAuftragNr(benchmark::State& state) {
    auto t = openTrips();
    QRandomGenerator rng(5);
    for (auto _ : state) {
        const int nr = db().orderNumbers[int(rng.bounded(kTrips))];
        if (!t->locate(QStringLiteral("AuftragNr"), nr))
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_LocateAuftragNr)->Unit(benchmark::kMillisecond);

void BM_EditAndPost(benchmark::State& state) {
    auto t = openTrips();
    t->setRecNo(kTrips / 2);
    int i = 0;
    for (auto _ : state) {
        t->edit();
        t->setValue(QStringLiteral("Personen"), QStringLiteral("Geändert %1").arg(++i));
        t->post();
    }
}
BENCHMARK(BM_EditAndPost)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
