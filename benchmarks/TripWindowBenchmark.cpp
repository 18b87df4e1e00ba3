// The trip window over 250,000 trips: opening it on the latest trip and drawing its first
// screen, and drawing a screen of rows elsewhere in the table. Neither may read every row
// nor look up the tariff once per row.

#include "SilentDialogs.h"
#include "base/DialogService.h"
#include "data/ProgramSetup.h"
#include "app/ui/ProgramRun.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/Table.h"
#include "data/ui/DbGrid.h"
#include "trips/TripRules.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kilvaro;

namespace {

constexpr int kTrips = 250000;

/// A program folder whose database holds 250,000 trips over twenty years, made once.
struct Program {
    QTemporaryDir dir;
    QString folder;

    Program() {
        folder = dir.path() + QLatin1Char('/');
        ProgramSetup::createDefaults(folder);
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
                              "(17, 1, 'Zander', 3, 1), (18, 1, 'Arndt', 3, 1)"));
        c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES "
                              "(3, '1990-01-01 00:00:00', '2010-12-31 00:00:00', 30), "
                              "(3, '2011-01-01 00:00:00', '2030-12-31 00:00:00', 31)"));
        c.exec(QStringLiteral("INSERT INTO Tarif (Id, Mehrwertsteuer) VALUES (30, 16), (31, 19)"));
        c.exec(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO Fahrten (Datum, Bestatter, AuftragNr, Personen, Startort, "
                   "Zielort, Ortspauschale) SELECT strftime('%Y-%m-%d 00:00:00', '2000-01-01', "
                   "'+' || (i / 34) || ' days'), 17 + i % 2, (36526 + i / 34) * 1000 + i % 34 + "
                   "1, 'Name ' || i, 'Bonn', 'Köln', 80 FROM n")
                   .arg(kTrips - 1));
    }
};

Program& program() {
    static Program p;
    return p;
}

/// The program started as a user starts the day, with the trip window opened from the menu.
struct OpenTripWindow {
    explicit OpenTripWindow(DialogService* dialogs)
        : run(program().folder, dialogs), daten(run.daten()), main(run.mainWindow()) {
        rules = run.start(QDate(2024, 5, 15));
        main.resize(1280, 800);
        main.show();
        main.findChild<QAction*>(QStringLiteral("Ueberfuehrungen1"))->trigger();
        window = main.findChild<TForm_Fahrten*>();
    }
    ~OpenTripWindow() { main.closeAllChildWindows(); }

    ProgramRun run;
    TDaten_A& daten;
    TForm_Main& main;
    TripRules* rules = nullptr;
    TForm_Fahrten* window = nullptr;
};

void BM_TripWindowOpensOnTheLatestTrip(benchmark::State& state) {
    program(); // the trips are made once, outside the measurement
    SilentDialogs dialogs;
    int lookups = 0;
    for (auto _ : state) {
        OpenTripWindow day(&dialogs);
        benchmark::DoNotOptimize(day.window->grab());
        lookups = day.rules->tariffLookups();
    }
    state.counters["tariff_lookups"] = lookups;
}
BENCHMARK(BM_TripWindowOpensOnTheLatestTrip)->Unit(benchmark::kMillisecond);

void BM_TripWindowDrawsAScreenElsewhere(benchmark::State& state) {
    SilentDialogs dialogs;
    OpenTripWindow day(&dialogs);
    const int before = day.rules->tariffLookups();
    int position = 1000;
    for (auto _ : state) {
        // A jump to another part of the table, then the screen around it.
        day.daten.Fahrttab->setRecNo(position);
        position = (position + 37813) % kTrips;
        benchmark::DoNotOptimize(day.window->suchgitter->grab());
    }
    state.counters["tariff_lookups_per_screen"] =
        benchmark::Counter(day.rules->tariffLookups() - before, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TripWindowDrawsAScreenElsewhere)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
