// Output of rendered pages: value formatting, PDF files (checked with pdftotext), page
// range and copies, failures that must not leave a half file, and the data adapters.
#include "reports/QueryRecordSource.h"
#include "reports/Report.h"
#include "reports/ReportRenderer.h"
#include "reports/RowRecordSource.h"
#include "reports/TableRecordSource.h"
#include "support/TableTestDb.h"

#include "data/Query.h"
#include "data/Table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

/// A trip list as the program prints it: letterhead line, title, column titles, lines with
/// right-aligned amounts, totals per funeral director, page numbers.
class TripListReport : public Report {
public:
    RowRecordSource data;

    TripListReport() {
        setTitle(QStringLiteral("Überführungen Februar 2024"));
        setToday(QDate(2024, 3, 1));
        setDataSource(&data);
        const double w = contentWidth();
        auto* ph = addBand(BandKind::PageHeader, "PageHeader", 12);
        ph->addLabel("Firma", {0, 0, 120, 6}, QStringLiteral("Überführungsdienst Kilvaro"))
            .setFontSize(12)
            .bold();
        ph->addSystem("Seite", {w - 40, 1, 40, 5}, ReportItem::System::PageNumber, "Seite ")
            .alignRight();
        ph->addHLine("Linie", 0, 8, w, 0.75);
        addBand(BandKind::Title, "Title", 14)
            ->addSystem("Titel", {0, 2, w, 8}, ReportItem::System::ReportTitle)
            .setFontSize(14)
            .bold();
        auto* ch = addBand(BandKind::ColumnHeader, "ColumnHeader", 7);
        ch->setFrame(ReportFrame::bottomRule(0.5));
        ch->addLabel("LDatum", {0, 1, 25, 5}, "Datum").bold();
        ch->addLabel("LStrecke", {27, 1, 100, 5}, "Strecke").bold();
        ch->addLabel("LNetto", {w - 35, 1, 35, 5}, "Netto").bold().alignRight();
        auto* g = addGroup("Bestatter", "Name", "Kopf", 8);
        g->header()->addField("Name", {0, 2, 120, 5}, "Name").bold();
        auto* d = addBand(BandKind::Detail, "Details", 5.5);
        d->addField("Datum", {0, 0.5, 25, 5}, "Datum");
        d->addField("Strecke", {27, 0.5, 110, 5}, "Strecke").setWordWrap(true);
        d->addField("Netto", {w - 35, 0.5, 35, 5}, "Netto", "#,##0.00 €").alignRight();
        auto* gf = addGroupFooter(g, "DetailFooter", 8);
        gf->addHLine("Summenlinie", w - 35, 0.5, 35, 0.5);
        gf->addLabel("LSumme", {27, 1.5, 80, 5}, "Summe").bold();
        gf->addSum("Gesamtsumme", {w - 35, 1.5, 35, 5}, "Netto", "#,##0.00 €").bold().alignRight();
        auto* pf = addBand(BandKind::PageFooter, "PageFooter", 8);
        pf->setFrame(ReportFrame::topRule(0.5));
        pf->addSystem("Datum", {0, 2, 50, 4}, ReportItem::System::Date).setFontSize(8);
        pf->addSystem("Zeilen", {w - 50, 2, 50, 4}, ReportItem::System::DetailCount, "Fahrten: ")
            .setFontSize(8)
            .alignRight();
    }

    void fill(int perDirector, int directors) {
        QList<QVariantMap> rows;
        for (int b = 0; b < directors; ++b)
            for (int i = 0; i < perDirector; ++i)
                rows.append({{"Name", QStringLiteral("Bestattungshaus Müller %1").arg(b + 1)},
                             {"Datum", QDateTime(QDate(2024, 2, 1 + i % 29), QTime(0, 0))},
                             {"Strecke", QStringLiteral("Köln - Düsseldorf")},
                             {"Netto", 1234.5 + i}});
        data.setRows(rows);
    }
};

QString pdfToText(const QString& pdf, int first = 0, int last = 0) {
    QStringList args{"-layout"};
    if (first > 0)
        args << "-f" << QString::number(first);
    if (last > 0)
        args << "-l" << QString::number(last);
    args << pdf << "-";
    QProcess p;
    p.start("pdftotext", args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

} // namespace

TEST(EngineOutput, FormatsValuesTheGermanWay) {
    using R = ReportRenderer;
    EXPECT_EQ(R::formatValue(1234.5, "#,##0.00 €"), "1.234,50 €");
    EXPECT_EQ(R::formatValue(19, "#,###.00"), "19,00");
    EXPECT_EQ(R::formatValue(0.0, "#,###.00"), ",00");
    EXPECT_EQ(R::formatValue(2.5, QString()), "2,5");
    EXPECT_EQ(R::formatValue(42, QString()), "42");
    EXPECT_EQ(R::formatValue(QDateTime(QDate(2024, 2, 29), QTime(0, 0)), QString()), "29.02.2024");
    EXPECT_EQ(R::formatValue(QDateTime(QDate(2024, 2, 29), QTime(14, 5)), QString()),
              "29.02.2024 14:05");
    EXPECT_EQ(R::formatValue(QDateTime(QDate(2024, 2, 29), QTime(14, 5)), "dd.mm.yy hh:mm"),
              "29.02.24 14:05");
    EXPECT_EQ(R::formatValue(QDate(2024, 3, 1), "dd.mm.yyyy"), "01.03.2024");
    EXPECT_EQ(R::formatValue(true, QString()), "Ja");
    EXPECT_EQ(R::formatValue(QVariant(), "#,##0.00"), "") << "empty values print nothing";
    EXPECT_EQ(R::formatValue(QVariant(QMetaType(QMetaType::Double)), "#,##0.00"), "");
    EXPECT_EQ(R::formatValue(QStringLiteral("Weiß"), "#,##0.00"), "Weiß");
}

TEST(EngineOutput, PdfHoldsTheTextsOfEveryPage) {
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed; PDF contents not checked";
    TripListReport r;
    r.fill(30, 3);
    auto pages = r.render();
    ASSERT_GE(pages->pageCount(), 2);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("liste.pdf");
    QString error;
    ASSERT_TRUE(pages->exportPdf(pdf, &error)) << error.toStdString();
    if (qEnvironmentVariableIsSet("KILVARO_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("KILVARO_KEEP_PDF"));
    const QString text = pdfToText(pdf);
    EXPECT_EQ(text.count(QLatin1Char('\f')), pages->pageCount());
    EXPECT_TRUE(text.contains("Überführungen Februar 2024"));
    EXPECT_TRUE(text.contains("Bestattungshaus Müller 2"));
    EXPECT_TRUE(text.contains("1.234,50 €"));
    EXPECT_TRUE(text.contains("Köln - Düsseldorf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Seite %1").arg(pages->pageCount())));
    EXPECT_TRUE(text.contains("Fahrten: 90"));
    // Sum of one director: 30 × 1234.5 + (0 + … + 29) = 37035 + 435.
    EXPECT_TRUE(text.contains("37.470,00 €"));
}

TEST(EngineOutput, PageRangeAndCopies) {
    TripListReport r;
    r.fill(60, 2);
    auto pages = r.render();
    ASSERT_GE(pages->pageCount(), 3);
    OutputOptions o;
    o.firstPage = 2;
    o.lastPage = 3;
    o.copies = 2;
    EXPECT_EQ(pages->outputSequence(o), QList<int>({2, 3, 2, 3}));
    o.collate = false;
    EXPECT_EQ(pages->outputSequence(o), QList<int>({2, 2, 3, 3}));
    o = {};
    o.lastPage = 99;
    EXPECT_EQ(pages->outputSequence(o).size(), pages->pageCount()) << "range cut at the end";
    o.firstPage = 5;
    o.lastPage = 4;
    EXPECT_TRUE(pages->outputSequence(o).isEmpty());

    r.settings().firstPage = 2;
    r.settings().lastPage = 3;
    r.settings().copies = 2;
    EXPECT_EQ(pages->outputSequence(r.outputOptions()), QList<int>({2, 3, 2, 3}));

    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed; PDF pages not checked";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("auszug.pdf");
    ASSERT_TRUE(pages->exportPdf(pdf, nullptr, r.outputOptions()));
    const QStringList sheets = pdfToText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(sheets.size(), 4);
    EXPECT_TRUE(sheets[0].contains("Seite 2"));
    EXPECT_TRUE(sheets[1].contains("Seite 3"));
    EXPECT_TRUE(sheets[2].contains("Seite 2"));
    EXPECT_TRUE(sheets[3].contains("Seite 3"));
}

TEST(EngineOutput, FailedExportLeavesNoFileAndSaysWhy) {
    TripListReport r;
    r.fill(3, 1);
    auto pages = r.render();
    QTemporaryDir dir;
    QString error;
    const QString missingFolder = dir.filePath("fehlt/liste.pdf");
    EXPECT_FALSE(pages->exportPdf(missingFolder, &error));
    EXPECT_TRUE(error.startsWith("Die PDF-Datei")) << error.toStdString();
    EXPECT_TRUE(error.contains("konnte nicht geschrieben werden"));
    EXPECT_TRUE(error.contains("existiert nicht")) << "the reason is German: " << error.toStdString();
    EXPECT_FALSE(QFile::exists(missingFolder));

    // An existing file is kept when the new one cannot be written.
    const QString existing = dir.filePath("alt.pdf");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alt");
    }
    QFile(dir.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = pages->exportPdf(existing, &error);
    QFile(dir.path())
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!written) {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("alt"));
    } // (as root the folder stays writable and the export succeeds)

    TripListReport empty;
    empty.options().printIfEmpty = false;
    auto none = empty.render();
    EXPECT_FALSE(none->exportPdf(dir.filePath("leer.pdf"), &error));
    EXPECT_TRUE(error.contains("keine Seiten"));
    EXPECT_FALSE(QFile::exists(dir.filePath("leer.pdf")));
}

TEST(EngineOutput, QueryAndTableAdaptersFeedTheReport) {
    kilvaro::testing::TableTestDb db;
    db->exec(
        QStringLiteral("INSERT INTO Fahrten (Datum, AuftragNr, Ortspauschale, Personen) VALUES "
                       "('2024-02-01 00:00:00', 45323001, 100, 'Meier'), "
                       "('2024-02-02 00:00:00', 45324001, 50.25, 'Meier'), "
                       "('2024-02-03 00:00:00', 45325001, NULL, 'Schulz')"));
    Query q(&db.conn());
    q.setSql("select Personen, Datum, Ortspauschale from fahrten order by auftragnr");
    q.open();
    QueryRecordSource source(&q);
    Report r;
    r.setDataSource(&source);
    auto* g = r.addGroup("G", "Fahrten.Personen", "Kopf", 6);
    g->header()->addField("Person", {0, 0, 50, 5}, "personen");
    auto* d = r.addBand(BandKind::Detail, "Detail", 5);
    d->addField("Datum", {0, 0, 30, 5}, "Datum");
    r.addGroupFooter(g, "Fuss", 5)->addSum("Summe", {100, 0, 40, 5}, "Ortspauschale");
    auto pages = r.render();
    EXPECT_EQ(pages->page(0).textsOf("Person"), QStringList({"Meier", "Schulz"}));
    EXPECT_EQ(pages->page(0).textsOf("Datum"),
              QStringList({"01.02.2024", "02.02.2024", "03.02.2024"}));
    EXPECT_EQ(pages->page(0).textsOf("Summe"), QStringList({"150,25", "0,00"}));

    Table t(&db.conn(), "Fahrten");
    t.setOrder("[AuftragNr] DESC");
    t.open();
    TableRecordSource ts(&t);
    r.setDataSource(&ts);
    auto fromTable = r.render();
    EXPECT_EQ(fromTable->page(0).textsOf("Person"), QStringList({"Schulz", "Meier"}));
    EXPECT_EQ(fromTable->page(0).textsOf("Summe"), QStringList({"0,00", "150,25"}));
}
