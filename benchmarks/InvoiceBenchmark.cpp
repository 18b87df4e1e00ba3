// Invoice documents: 100 invoices of 5 positions each prepared from the database, rendered
// and written as one PDF file (the batch output and a month's print run). Target: <= 2 s.

#include "data/ProgramSetup.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "invoicing/Daten_R.h"
#include "invoicing/TRec_Dokument.h"
#include "reports/ReportPages.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <stdexcept>

using namespace kilvaro;

namespace {

constexpr int Invoices = 100;
constexpr int PositionsPerInvoice = 5;

/// A program folder with a database holding the invoices.
struct InvoiceData {
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<TDaten_A> datenA;
    std::unique_ptr<TDaten_R> datenR;

    InvoiceData() {
        folder = dir.path() + QLatin1Char('/');
        ProgramSetup::createDefaults(folder);
        datenA = std::make_unique<TDaten_A>(folder, nullptr);
        datenA->DataModuleCreate();
        if (!datenA->isConnected())
            throw std::runtime_error("no database");
        Connection* db = datenA->Database;
        Transaction t(*db);
        for (int a = 1; a <= 10; ++a)
            db->exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Vorname, Anrede, "
                                    "\"Straße\", PLZ, Ort, Aktiv) VALUES (?, 1, ?, 'Paul', "
                                    "'Herrn', 'Hauptstraße 1', '50667', 'Köln', 1)"),
                     {a, QStringLiteral("Bestattungen %1").arg(a)});
        for (int n = 1; n <= Invoices; ++n) {
            db->exec(QStringLiteral("INSERT INTO Rechnung (RecNr, Kunde, Datum, Textvor, MWSt, "
                                    "BigR, Single, Storniert, Gebucht, Bezahlt, Ausgeblendet, "
                                    "Euro) VALUES (?, ?, '2026-12-31 00:00:00', "
                                    "'Für die Überführungen im Dezember 2026.', 19, ?, 0, 0, 0, "
                                    "0, 0, 1)"),
                     {n, 1 + n % 10, n % 7 == 0});
            for (int p = 0; p < PositionsPerInvoice; ++p)
                db->exec(QStringLiteral("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, "
                                        "Auftragsnr) VALUES (?, '2026-12-05 14:30:00', "
                                        "'Meier, Anna; Ring 4; 47000 Dorf; Klinik - Friedhof "
                                        "(12/3);  Spät/Nacht;', ?, ?)"),
                         {n, 100.0 + p * 12.5, 46361000 + n * 10 + p});
        }
        t.commit();
        datenR = std::make_unique<TDaten_R>(datenA.get(), folder, nullptr);
        datenR->RechnungsmodulCreate();
    }
};

void BM_HundredInvoicesToPdf(benchmark::State& state) {
    InvoiceData data;
    const QString file = data.dir.filePath(QStringLiteral("rechnungen.pdf"));
    int pages = 0;
    for (auto _ : state) {
        ReportPages all;
        TRec_Dokument document(data.datenR.get(), data.folder);
        for (int n = 1; n <= Invoices; ++n) {
            document.RechnungVorbereiten(n, -1);
            document.appendPagesTo(all);
        }
        if (!all.exportPdf(file))
            state.SkipWithError("PDF not written");
        pages = all.pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_HundredInvoicesToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
