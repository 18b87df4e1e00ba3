// The monthly run: 2,000 open trips of one month for 60 funeral directors become 60
// invoices with 2,000 positions and the month's row, on a database of 250,000 trips whose
// earlier months are invoiced already. Target: <= 0.5 s.

#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/ProgramSetup.h"
#include "invoicing/Daten_R.h"
#include "invoicing/MonthlyRun.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <stdexcept>

using namespace kilvaro;

namespace {

constexpr int Directors = 60;
constexpr int TotalTrips = 250000;
constexpr int MonthTrips = 2000;
constexpr int Months = 120; // Apr 2016 .. Mar 2026; the last one is run
const QDate RunMonth(2026, 3, 1);

struct MonthData {
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<TDaten_A> datenA;
    std::unique_ptr<TDaten_R> datenR;
    int firstNewNumber = 0;

    MonthData() {
        folder = dir.path() + QLatin1Char('/');
        ProgramSetup::createDefaults(folder);
        datenA = std::make_unique<TDaten_A>(folder, nullptr);
        datenA->DataModuleCreate();
        if (!datenA->isConnected())
            throw std::runtime_error("no database");
        Connection* db = datenA->Database;
        Transaction t(*db);
        for (int a = 1; a <= Directors + 10; ++a)
            db->exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Vorname, Aktiv, BigR) "
                                    "VALUES (?, ?, ?, 'Paul', 1, 0)"),
                     {a, a <= Directors ? 1 : 0, QStringLiteral("Bestattungen %1").arg(a)});
        const QDate firstMonth = RunMonth.addMonths(-(Months - 1));
        const int earlierPerMonth = (TotalTrips - MonthTrips) / (Months - 1);
        QSqlQuery trip(db->database());
        trip.prepare(QStringLiteral(
            "INSERT INTO Fahrten (Datum, Zeit, Bestatter, Personen, Vorname, Strasse, PLZ, "
            "Ort, Startort, Zielort, AKZ, Ortspauschale, Nacht, Rechnung, AuftragNr) VALUES "
            "(?, '1899-12-30 14:30:00', ?, 'Meier', 'Anna', 'Ring 4', '47000', 'Dorf', "
            "'Klinik', 'Friedhof', '12/3', 100, ?, ?, ?)"));
        QSqlQuery pos(db->database());
        pos.prepare(QStringLiteral("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) "
                                   "VALUES (?, ?, 'Meier, Anna; Ring 4; 47000 Dorf; Klinik - "
                                   "Friedhof (12/3)', ?, ?)"));
        QSqlQuery inv(db->database());
        inv.prepare(QStringLiteral(
            "INSERT INTO Rechnung (RecNr, Kunde, Datum, Textvor, MWSt, Netto, Euro, Single, "
            "BigR, Storniert, Gebucht, Bezahlt, Ausgeblendet) VALUES (?, ?, ?, 'Überführungen', "
            "19, ?, 1, 0, 0, 0, 1, 1, 0)"));
        int recNr = 0;
        int auftrag = 0;
        for (int m = 0; m < Months; ++m) {
            const QDate month = firstMonth.addMonths(m);
            const bool open = month == RunMonth;
            const int count = open ? MonthTrips : earlierPerMonth;
            const QString last =
                month.addDays(month.daysInMonth() - 1).toString(QStringLiteral("yyyy-MM-dd")) +
                QStringLiteral(" 00:00:00");
            QList<double> nets(Directors, 0.0);
            for (int i = 0; i < count; ++i) {
                const int director = 1 + i % Directors;
                const QString day =
                    month.addDays(i % month.daysInMonth()).toString(QStringLiteral("yyyy-MM-dd"));
                const double night = (i % 3) * 20.0;
                const int invoice = open ? 0 : recNr + director;
                trip.addBindValue(day + QStringLiteral(" 00:00:00"));
                trip.addBindValue(director);
                trip.addBindValue(night);
                trip.addBindValue(open ? QVariant() : QVariant(invoice));
                trip.addBindValue(++auftrag);
                if (!trip.exec())
                    throw std::runtime_error("trip not written");
                if (!open) {
                    pos.addBindValue(invoice);
                    pos.addBindValue(day + QStringLiteral(" 14:30:00"));
                    pos.addBindValue(100.0 + night);
                    pos.addBindValue(auftrag);
                    if (!pos.exec())
                        throw std::runtime_error("position not written");
                    nets[director - 1] += 100.0 + night;
                }
            }
            if (open)
                continue;
            for (int d = 1; d <= Directors; ++d) {
                inv.addBindValue(recNr + d);
                inv.addBindValue(d);
                inv.addBindValue(last);
                inv.addBindValue(nets[d - 1]);
                if (!inv.exec())
                    throw std::runtime_error("invoice not written");
            }
            recNr += Directors;
        }
        t.commit();
        firstNewNumber = recNr + 1;
        datenR = std::make_unique<TDaten_R>(datenA.get(), folder, nullptr);
        datenR->RechnungsmodulCreate();
    }

    /// Takes the run back so that the next iteration finds the same open trips.
    void undo() {
        Connection* db = datenA->Database;
        Transaction t(*db);
        db->exec(QStringLiteral("UPDATE Fahrten SET Rechnung = NULL WHERE Rechnung >= ?"),
                 {firstNewNumber});
        db->exec(QStringLiteral("DELETE FROM RecPos WHERE RecID >= ?"), {firstNewNumber});
        db->exec(QStringLiteral("DELETE FROM Rechnung WHERE RecNr >= ?"), {firstNewNumber});
        db->exec(QStringLiteral("DELETE FROM Monatsrechnung"));
        t.commit();
        datenR->Rectab->refresh();
    }
};

void BM_MonthlyRun(benchmark::State& state) {
    MonthData data;
    MonthlyRun run(*data.datenR);
    int invoices = 0;
    for (auto _ : state) {
        const MonthlyRun::Result r =
            run.MonatslaufAusfuehren(RunMonth.month(), RunMonth.year(), false);
        invoices = int(r.numbers.size());
        state.PauseTiming();
        if (invoices != Directors)
            state.SkipWithError("wrong number of invoices");
        data.undo();
        state.ResumeTiming();
    }
    state.counters["invoices"] = invoices;
}
BENCHMARK(BM_MonthlyRun)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
