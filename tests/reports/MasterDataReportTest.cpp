// The tariff, place-list and price-list reports on known data: amounts with the version's
// currency, numbering per version and per run, versions without places, the filtered
// version table, the one-version heading, and the printed PDF text.
#include "reports/MasterDataReportData.h"

#include "reports/TBericht_Ortslistenform.h"
#include "reports/TBericht_Preisform.h"
#include "reports/TBericht_Tarifform.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::MasterDataReportData;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
static void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral(" | ")).toStdString() << ']';
}

namespace {

class MasterDataReport : public ::testing::Test {
protected:
    MasterDataReportData data;
    TDaten_A& d = *data.daten;

    std::unique_ptr<TBericht_Tarifform> tariffs() {
        auto r = std::make_unique<TBericht_Tarifform>(d.Orthaupttab, d.Tariftab, d.Ortetab);
        r->setToday(QDate(2024, 3, 1));
        return r;
    }
    static QStringList trimmed(QStringList l) {
        for (QString& s : l)
            s = s.trimmed();
        return l;
    }
};

TEST_F(MasterDataReport, TariffsPrintOneVersionPerPageWithVatAndGrossInItsCurrency) {
    auto report = tariffs();
    const auto pages = report->render();
    ASSERT_EQ(pages->pageCount(), 3);

    const ReportPage& first = pages->page(0);
    EXPECT_EQ(first.textsOf("Titel"), QStringList{"Tarife"});
    EXPECT_EQ(first.textsOf("DBTarif"), QStringList{"1"});
    EXPECT_EQ(first.textsOf("DFTarifanfang"), QStringList{"01.01.2023"});
    EXPECT_EQ(first.textsOf("Mehrwertsteuer"), QStringList{"19 %"});
    EXPECT_EQ(first.textsOf("Waehrung"), QStringList{"EUR"});
    EXPECT_EQ(first.textsOf("Ankleiden"), QStringList{"35,00 EUR"});
    EXPECT_EQ(first.textsOf("Kuehlung"), QStringList{"25,00 EUR"});
    EXPECT_EQ(first.textsOf("DFOrt"), (QStringList{"Köln", "Bonn", "Düren"}));
    EXPECT_EQ(first.textsOf("DFBetrag"), (QStringList{"100,00 EUR", "80,50 EUR"}));
    // 80,50 × 19 % = 15,295: rounded half away from zero, gross 95,795 likewise.
    EXPECT_EQ(first.textsOf("MWST"), (QStringList{"19,00 EUR", "15,30 EUR"}))
        << "a place without an amount gets no VAT either";
    EXPECT_EQ(first.textsOf("Brutto"), (QStringList{"119,00 EUR", "95,80 EUR"}));

    // The next version of the group, in its own currency (DM).
    const ReportPage& second = pages->page(1);
    EXPECT_EQ(second.textsOf("DFTarifanfang"), QStringList{"01.01.2024"});
    EXPECT_EQ(second.textsOf("Nacht"), QStringList{"40,00 DM"});
    EXPECT_EQ(second.textsOf("DFBetrag").last(), "99,99 DM");
    EXPECT_EQ(second.textsOf("MWST").last(), "16,00 DM") << "99,99 × 16 % = 15,9984";
    EXPECT_EQ(second.textsOf("Brutto").last(), "115,99 DM");
    EXPECT_TRUE(second.textsOf("Titel").isEmpty()) << "the title prints on the first page only";
    EXPECT_EQ(second.textsOf("Datum"), QStringList{"Stand: 01.03.2024"});
    EXPECT_EQ(second.textsOf("Seite"), QStringList{"Seite 2"});
}

TEST_F(MasterDataReport, PlaceNumberingStartsAtOneOnEachVersionAndEachRun) {
    auto report = tariffs();
    for (int run = 0; run < 2; ++run) {
        const auto pages = report->render();
        ASSERT_EQ(pages->pageCount(), 3);
        EXPECT_EQ(trimmed(pages->page(0).textsOf("Nr")), (QStringList{"1", "2", "3"}));
        EXPECT_EQ(trimmed(pages->page(1).textsOf("Nr")), (QStringList{"1", "2", "3", "4"}))
            << "run " << run;
        EXPECT_EQ(pages->page(1).textsOf("Nr").first(), "  1")
            << "the number is right-aligned in three characters";
    }
}

TEST_F(MasterDataReport, VersionWithoutPlacesPrintsHeadSurchargesAndColumnTitlesOnly) {
    auto report = tariffs();
    const auto pages = report->render();
    ASSERT_EQ(pages->pageCount(), 3);
    const ReportPage& empty = pages->page(2);
    EXPECT_EQ(empty.textsOf("DBTarif"), QStringList{"2"});
    EXPECT_EQ(empty.textsOf("Mehrwertsteuer"), QStringList{"19 %"});
    for (const char* label : {"LAnkleiden", "LNacht", "LFeiertag", "LKuehlung", "LOrt", "LNetto",
                              "LMwstBetrag", "LBrutto"})
        EXPECT_EQ(empty.textsOf(label).size(), 1) << label;
    EXPECT_TRUE(empty.textsOf("Ankleiden").isEmpty()) << "no surcharge stored";
    for (const char* line : {"Nr", "DFOrt", "DFBetrag", "MWST", "Brutto"})
        EXPECT_TRUE(empty.textsOf(line).isEmpty()) << line;
    EXPECT_FALSE(empty.bands.contains("QRSubDetail1"));
}

TEST_F(MasterDataReport, FilteredVersionTablePrintsOnlyTheVersionsPassingTheFilter) {
    d.Orthaupttab->setFilter(QStringLiteral("Nr=1"));
    d.Orthaupttab->setFiltered(true);
    auto report = tariffs();
    auto pages = report->render();
    ASSERT_EQ(pages->pageCount(), 2);
    EXPECT_EQ(pages->page(0).textsOf("DFTarifanfang"), QStringList{"01.01.2023"});
    EXPECT_EQ(pages->page(1).textsOf("DFTarifanfang"), QStringList{"01.01.2024"});

    d.Orthaupttab->setFilter(QStringLiteral("Nr=7"));
    pages = report->render();
    ASSERT_EQ(pages->pageCount(), 1) << "an empty selection still gives the title page";
    EXPECT_EQ(pages->page(0).textsOf("Titel"), QStringList{"Tarife"});
    EXPECT_TRUE(pages->page(0).textsOf("DBTarif").isEmpty());
}

TEST_F(MasterDataReport, OneVersionHeadingReadsValidFromAndTheStartDate) {
    d.Orthaupttab->setFilter(QStringLiteral("id = 2"));
    d.Orthaupttab->setFiltered(true);
    auto report = tariffs();
    report->setValidFromHeading();
    const auto pages = report->render();
    ASSERT_EQ(pages->pageCount(), 1);
    const ReportPage& p = pages->page(0);
    EXPECT_EQ(p.textsOf("LTarif"), QStringList{"gültig ab"});
    EXPECT_TRUE(p.textsOf("DBTarif").isEmpty());
    EXPECT_TRUE(p.textsOf("LAnfang").isEmpty()) << "'gültig ab' is not printed twice";
    EXPECT_EQ(p.textsOf("DFTarifanfang"), QStringList{"01.01.2024"});
    EXPECT_EQ(p.textsOf("DFOrt").size(), 4);
}

TEST_F(MasterDataReport, LongPlaceNameWrapsInsteadOfRunningIntoTheAmounts) {
    // The longest name the place column holds (50 characters), wide letters.
    const QString longName = QStringLiteral("Mönchengladbach-Wickrath Mühlenweg Großheide WWWWW");
    ASSERT_EQ(longName.size(), 50);
    d.Database->exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (3, ?, 120)"),
                     {longName});
    d.Orthaupttab->setFilter(QStringLiteral("id = 3"));
    d.Orthaupttab->setFiltered(true);
    d.Ortetab->refresh();
    const auto pages = tariffs()->render();
    ASSERT_EQ(pages->pageCount(), 1);
    const ReportPage& p = pages->page(0);

    double amountsLeft = 1e9;
    double nameRight = 0;
    QStringList nameLines;
    for (const PageElement& e : p.elements) {
        if (e.item == QLatin1String("DFBetrag"))
            amountsLeft = std::min(amountsLeft, e.rect.left());
        if (e.item == QLatin1String("DFOrt")) {
            nameRight = std::max(nameRight, e.rect.right());
            nameLines << e.text;
        }
    }
    EXPECT_EQ(p.textsOf("DFBetrag"), QStringList{"120,00 EUR"});
    EXPECT_GT(nameLines.size(), 1) << "the name goes on in a second line";
    EXPECT_EQ(nameLines.join(QLatin1Char(' ')), longName);
    EXPECT_LT(nameRight, amountsLeft) << "the place name must not overprint the net amount";
}

TEST_F(MasterDataReport, TariffPdfShowsAmountsNumberingAndEmptyVersion) {
    if (!kilvaro::testing::havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed; the PDF text is not checked";
    QTemporaryDir dir;
    const QString file = dir.filePath("tarife.pdf");
    auto report = tariffs();
    QString error;
    ASSERT_TRUE(report->render()->exportPdf(file, &error)) << error.toStdString();

    const QString page1 = kilvaro::testing::pdfToText(file, 1);
    EXPECT_TRUE(page1.contains("100,00 EUR")) << page1.toStdString();
    EXPECT_TRUE(page1.contains("19,00 EUR"));
    EXPECT_TRUE(page1.contains("119,00 EUR"));
    // One line of the table: number, place, net, VAT, gross.
    EXPECT_TRUE(page1.contains(
        QRegularExpression(R"(^\s*1\s+Köln\s+100,00 EUR\s+19,00 EUR\s+119,00 EUR\s*$)",
                           QRegularExpression::MultilineOption)))
        << page1.toStdString();

    const QString page2 = kilvaro::testing::pdfToText(file, 2);
    EXPECT_TRUE(page2.contains(
        QRegularExpression(R"(^\s*1\s+Köln\s+110,00 DM)", QRegularExpression::MultilineOption)))
        << "numbering starts again at 1: " << page2.toStdString();
    EXPECT_TRUE(
        page2.contains(QRegularExpression(R"(^\s*4\s+Brühl\s+99,99 DM\s+16,00 DM\s+115,99 DM)",
                                          QRegularExpression::MultilineOption)));

    const QString page3 = kilvaro::testing::pdfToText(file, 3);
    for (const char* text :
         {"Tarif:", "MWST", "Zuschläge", "Ankleiden", "Kühlung", "Ort", "Netto", "Brutto"})
        EXPECT_TRUE(page3.contains(QString::fromUtf8(text))) << text;
    EXPECT_FALSE(page3.contains("Köln")) << page3.toStdString();
    EXPECT_FALSE(
        page3.contains(QRegularExpression(R"(^\s*1\s+\S)", QRegularExpression::MultilineOption)));
}

TEST_F(MasterDataReport, PlaceListIsNumberedAndCountedOnEveryRun) {
    TBericht_Ortslistenform report(d.Ortslistetab);
    report.setToday(QDate(2024, 3, 1));
    report.setTitle(QStringLiteral("Orte 2024"));
    for (int run = 0; run < 2; ++run) {
        const auto pages = report.render();
        ASSERT_EQ(pages->pageCount(), 1);
        const ReportPage& p = pages->page(0);
        EXPECT_EQ(p.textsOf("Titel"), QStringList{"Orte 2024"});
        EXPECT_EQ(p.textsOf("Nr"), (QStringList{"1", "2", "3"})) << "run " << run;
        EXPECT_EQ(p.textsOf("Ort"), (QStringList{"Köln", "Bonn", "Düren"}));
        EXPECT_EQ(p.textsOf("LOrtsname"), QStringList{"Ortsname"});
        EXPECT_EQ(p.textsOf("Seite"), QStringList{"Seite 1"});
        EXPECT_EQ(p.textsOf("Anzahl"), QStringList{"3"});
        EXPECT_EQ(p.textsOf("LOrte"), QStringList{"Orte"});
        EXPECT_EQ(p.textsOf("Datum"), QStringList{"01.03.2024"});
    }
}

TEST_F(MasterDataReport, LongPlaceListGoesOnOverPagesWithRunningNumbersAndCount) {
    Connection& c = *d.Database;
    for (int i = 0; i < 120; ++i)
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"),
               {QStringLiteral("Ort %1").arg(i + 4)});
    d.Ortslistetab->refresh();
    TBericht_Ortslistenform report(d.Ortslistetab);
    const auto pages = report.render();
    ASSERT_GE(pages->pageCount(), 2);
    const ReportPage& second = pages->page(1);
    const int onFirst = pages->page(0).textsOf("Nr").size();
    EXPECT_EQ(second.textsOf("Nr").first(), QString::number(onFirst + 1));
    EXPECT_EQ(second.textsOf("LOrtsname"), QStringList{"Ortsname"}) << "column titles repeat";
    const ReportPage& last = pages->page(pages->pageCount() - 1);
    EXPECT_EQ(last.textsOf("Nr").last(), "123");
    EXPECT_EQ(last.textsOf("Anzahl"), QStringList{"123"});
}

TEST_F(MasterDataReport, PriceListPrintsDistanceAndGuidePriceRightAligned) {
    TBericht_Preisform report(d.Preistab);
    report.setToday(QDate(2024, 3, 1));
    EXPECT_EQ(report.title(), "Preise");
    const auto pages = report.render();
    ASSERT_EQ(pages->pageCount(), 1);
    const ReportPage& p = pages->page(0);
    EXPECT_EQ(p.textsOf("Ort"),
              (QStringList{"Köln - Düsseldorf", "Bonn - Koblenz", "Köln - Hürth"}));
    EXPECT_EQ(p.textsOf("Entfernung"), (QStringList{"42 km", "62,5 km"}))
        << "an empty distance prints nothing";
    EXPECT_EQ(p.textsOf("Richtpreis"), (QStringList{"185,00 €", "240,50 €", "1.234,50 €"}));
    for (const char* label : {"LOrt", "LEntfernung", "LRichtpreis", "Seite", "Datum"})
        EXPECT_EQ(p.textsOf(label).size(), 1) << label;
    // Amount columns end at the right margin.
    const double right = report.contentWidth() + report.margins().left();
    for (const PageElement& e : p.elements) {
        if (e.item == "Richtpreis") {
            EXPECT_NEAR(e.rect.right(), right, 1.0) << e.text.toStdString();
        }
    }
}

} // namespace
