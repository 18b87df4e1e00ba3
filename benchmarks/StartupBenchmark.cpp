// Start-up as the program does it: the data modules, the report filter dialog and the main
// window, up to the main window being shown and exposed. On the demonstration data and on
// the same data grown to 250,000 trips and 250,000 invoice positions the times should
// differ by little: nothing at start-up may read every trip. A bare main window with the
// same menus is the floor.

#include "app/DemoData.h"
#include "SilentDialogs.h"
#include "base/DialogService.h"
#include "data/ProgramSetup.h"
#include "app/ui/MainMenu.h"
#include "app/ui/ProgramRun.h"
#include "app/ui/TfStart.h"
#include "data/Connection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <memory>

using namespace kilvaro;

namespace {

constexpr int kTrips = 250000;

QDate today() {
    return QDate(2024, 5, 15);
}

/// A program folder with the demonstration data, optionally grown to `trips` trips with as
/// many invoice positions (ten per invoice), made once per size.
struct Program {
    QTemporaryDir dir;
    QString folder;

    explicit Program(int trips) {
        folder = dir.path() + QLatin1Char('/');
        ProgramSetup::createDefaults(folder);
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        DemoData::fill(c, today());
        if (trips == 0)
            return;
        QSqlQuery have = c.exec(QStringLiteral("SELECT count(*), max(RecNr) FROM Fahrten, "
                                               "(SELECT max(RecNr) AS RecNr FROM Rechnung)"));
        have.next();
        const int more = trips - have.value(0).toInt();
        const int firstInvoice = have.value(1).toInt() + 1;
        have.finish();
        Transaction tx(c);
        c.exec(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO Fahrten (Datum, Bestatter, AuftragNr, Personen, Startort, "
                   "Zielort, Ortspauschale, Rechnung) SELECT strftime('%Y-%m-%d 00:00:00', "
                   "'1990-01-01', '+' || (i / 34) || ' days'), 1 + i % 5, (32874 + i / 34) * "
                   "1000 + i % 34 + 1, 'Name ' || i, 'Bonn', 'Köln', 80, %2 + i / 10 FROM n")
                   .arg(more - 1)
                   .arg(firstInvoice));
        c.exec(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO Rechnung (RecNr, Kunde, Datum, Netto, MWSt, Bezahlt, Storniert, "
                   "Gebucht, Ausgeblendet, Euro, Single, BigR) SELECT %2 + i, 1 + i % 5, "
                   "strftime('%Y-%m-%d 00:00:00', '1990-01-01', '+' || (i * 10 / 34) || "
                   "' days'), 800, 19, 1, 0, 0, 0, 1, 0, 0 FROM n")
                   .arg(more / 10 - 1)
                   .arg(firstInvoice));
        c.exec(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) SELECT "
                   "%2 + i / 10, strftime('%Y-%m-%d 00:00:00', '1990-01-01', '+' || (i / 34) || "
                   "' days'), 'Name ' || i || '; Bonn - Köln', 80, (32874 + i / 34) * 1000 + "
                   "i % 34 + 1 FROM n")
                   .arg(trips - 1)
                   .arg(firstInvoice));
        tx.commit();
    }
};

Program& program(int trips) {
    static Program demo(0);
    static Program big(kTrips);
    return trips == 0 ? demo : big;
}

void waitExposed(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

/// The start-up sequence of the program, without the first-start set-up.
struct StartedProgram {
    ProgramRun run;

    StartedProgram(const QString& folder, DialogService* dialogs, TfStart& splash)
        : run(folder, dialogs) {
        run.start(today());
        splash.finish();
        run.mainWindow().show();
        waitExposed(run.mainWindow());
    }
    ~StartedProgram() { run.mainWindow().hide(); }
};

void BM_StartUp(benchmark::State& state) {
    const int trips = int(state.range(0));
    const QString folder = program(trips).folder;
    SilentDialogs dialogs;
    {
        // Warms the file cache and Qt's first-use costs.
        TfStart splash;
        splash.showSplash();
        StartedProgram warm(folder, &dialogs, splash);
    }
    for (auto _ : state) {
        auto splash = std::make_unique<TfStart>();
        splash->showSplash();
        auto started = std::make_unique<StartedProgram>(folder, &dialogs, *splash);
        state.PauseTiming();
        started.reset();
        splash.reset();
        state.ResumeTiming();
    }
    state.SetLabel(trips == 0 ? "demo data" : "250,000 trips and positions");
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(kTrips)->Unit(benchmark::kMillisecond)->MinTime(2.0);

/// The floor: a main window with the same menus and nothing else.
void BM_BareMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        MainMenu menu(&window);
        window.resize(1024, 700);
        window.show();
        waitExposed(window);
        window.hide();
    }
}
BENCHMARK(BM_BareMainWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
