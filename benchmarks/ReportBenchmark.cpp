// The report engine: a trip list of 100 pages (about 4,500 lines with groups, sums and
// page headers and footers) rendered into a page store, and the same pages written as PDF.

#include "reports/Report.h"
#include "reports/RowRecordSource.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kilvaro;

namespace {

class TripList : public Report {
public:
    RowRecordSource data;

    TripList() {
        setTitle(QStringLiteral("Überführungen 2024"));
        setDataSource(&data);
        const double w = contentWidth();
        auto* ph = addBand(BandKind::PageHeader, "PageHeader", 12);
        ph->addLabel("Firma", {0, 0, 120, 6}, QStringLiteral("Überführungsdienst")).bold();
        ph->addSystem("Seite", {w - 40, 1, 40, 5}, ReportItem::System::PageNumber, "Seite ")
            .alignRight();
        ph->addHLine("Linie", 0, 8, w, 0.75);
        auto* ch = addBand(BandKind::ColumnHeader, "ColumnHeader", 7);
        ch->addLabel("LDatum", {0, 1, 25, 5}, "Datum").bold();
        ch->addLabel("LStrecke", {27, 1, 100, 5}, "Strecke").bold();
        ch->addLabel("LNetto", {w - 35, 1, 35, 5}, "Netto").bold().alignRight();
        auto* g = addGroup("Bestatter", "Name", "Kopf", 8);
        g->header()->addField("Name", {0, 2, 120, 5}, "Name").bold();
        auto* d = addBand(BandKind::Detail, "Details", 5.5);
        d->addField("Datum", {0, 0.5, 25, 5}, "Datum");
        d->addField("Strecke", {27, 0.5, 110, 5}, "Strecke").setWordWrap(true);
        d->addField("Netto", {w - 35, 0.5, 35, 5}, "Netto", "#,##0.00 €").alignRight();
        auto* gf = addGroupFooter(g, "Fuss", 8);
        gf->addSum("Summe", {w - 35, 1.5, 35, 5}, "Netto", "#,##0.00 €").bold().alignRight();
        auto* pf = addBand(BandKind::PageFooter, "PageFooter", 8);
        pf->addSystem("Datum", {0, 2, 50, 4}, ReportItem::System::Date).setFontSize(8);
        QList<QVariantMap> rows;
        for (int i = 0; i < 4400; ++i)
            rows.append({{"Name", QStringLiteral("Bestattungshaus %1").arg(i / 40)},
                         {"Datum", QDateTime(QDate(2024, 1 + i % 12, 1 + i % 28), QTime(0, 0))},
                         {"Strecke", QStringLiteral("Köln - Düsseldorf")},
                         {"Netto", 100.0 + i % 250}});
        data.setRows(rows);
    }
};

void BM_RenderHundredPages(benchmark::State& state) {
    TripList report;
    int pages = 0;
    for (auto _ : state) {
        auto store = report.render();
        pages = store->pageCount();
        benchmark::DoNotOptimize(store);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_RenderHundredPages)->Unit(benchmark::kMillisecond);

void BM_ExportHundredPagesToPdf(benchmark::State& state) {
    TripList report;
    auto store = report.render();
    QTemporaryDir dir;
    for (auto _ : state)
        benchmark::DoNotOptimize(store->exportPdf(dir.filePath("b.pdf")));
    state.counters["pages"] = store->pageCount();
}
BENCHMARK(BM_ExportHundredPagesToPdf)->Unit(benchmark::kMillisecond);

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
