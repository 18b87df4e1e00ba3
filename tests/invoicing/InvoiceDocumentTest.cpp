// The printed invoice: heading, address, cover text, position lines, totals with VAT and
// cancellation signs, the blank form, preparing for one position, several invoices in a
// row, restoring the invoice table, and what happens without the letterhead files. The
// numbers are checked on the rendered pages and, where pdftotext exists, in the PDF.
#include "invoicing/InvoiceFixture.h"

#include "base/DbError.h"
#include "invoicing/TRec_Dokument.h"
#include "reports/ReportPages.h"

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

/// The text of all pages of a rendered document as pdftotext reads it from the PDF.
QString pdfText(const ReportPages& pages) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("rechnung.pdf"));
    QString error;
    if (!pages.exportPdf(file, &error))
        return QStringLiteral("<export failed: ") + error + QLatin1Char('>');
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

/// All texts an item printed over all pages.
QStringList textsOf(const ReportPages& pages, const QString& item) {
    QStringList out;
    for (int i = 0; i < pages.pageCount(); ++i)
        out << pages.page(i).textsOf(item);
    return out;
}

bool bandPrinted(const ReportPages& pages, const QString& band) {
    for (int i = 0; i < pages.pageCount(); ++i)
        if (pages.page(i).bands.contains(band))
            return true;
    return false;
}

/// Lines drawn by a band's own frame (not by its items).
int frameLines(const ReportPages& pages, const QString& band) {
    int n = 0;
    for (int i = 0; i < pages.pageCount(); ++i)
        for (const PageElement& e : pages.page(i).elements)
            if (e.band == band && e.item.isEmpty() && e.type == PageElement::Type::Line)
                ++n;
    return n;
}

class InvoiceDocumentTest : public ::testing::Test {
protected:
    InvoiceFixture fx;

    /// A single invoice of one trip with net `net`; returns its number.
    int invoice(double net, int bestatter = 1, const QDateTime& when = {}) {
        InvoiceFixture::Trip t;
        t.pauschale = net;
        t.nacht = 0;
        t.bestatter = bestatter;
        if (when.isValid())
            t.when = when;
        const int nr = fx.makeSingleInvoice(fx.addTrip(t));
        fx.datenR->Rectab->refresh();
        return nr;
    }

    void set(int recNr, const char* assignment) {
        fx.exec((QStringLiteral("UPDATE Rechnung SET ") + QString::fromUtf8(assignment) +
                 QStringLiteral(" WHERE RecNr = ?"))
                    .toUtf8()
                    .constData(),
                {recNr});
        fx.datenR->Rectab->refresh();
    }

    std::unique_ptr<ReportPages> print(int recNr, int posId = -1) {
        TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
        doc.RechnungVorbereiten(recNr, posId);
        return doc.render();
    }
};

// --- heading, totals and signs -----------------------------------------------------------

TEST_F(InvoiceDocumentTest, CancelledInvoicePrintsStornoHeadingAndNegativeTotals) {
    const int nr = invoice(100);
    set(nr, "Storniert = 1");
    const auto pages = print(nr);
    EXPECT_EQ(textsOf(*pages, "Recueberschrift"), QStringList{S("Storno-Rechnung Nr. %1").arg(nr)});
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("-100,00 €")});
    EXPECT_EQ(textsOf(*pages, "SumMWST"), QStringList{S("-19,00 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("-119,00 €")});
    // The position itself keeps its own amount.
    EXPECT_EQ(textsOf(*pages, "Netto"), QStringList{S("100,00 €")});

    // A credit (negative net) keeps its one minus sign when cancelled.
    const int credit = invoice(-10);
    set(credit, "Storniert = 1");
    const auto creditPages = print(credit);
    EXPECT_EQ(textsOf(*creditPages, "sumnetto"), QStringList{S("-10,00 €")});
    EXPECT_EQ(textsOf(*creditPages, "SumMWST"), QStringList{S("-1,90 €")});
    EXPECT_EQ(textsOf(*creditPages, "sumbrutto"), QStringList{S("-11,90 €")});

    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed: the PDF part of this test is skipped";
    const QString text = pdfText(*pages);
    EXPECT_TRUE(text.contains(S("Storno-Rechnung Nr. %1").arg(nr))) << text.toStdString();
    for (const char* amount : {"-100,00 €", "-19,00 €", "-119,00 €", "+ 19,00 %", "MWST"})
        EXPECT_TRUE(text.contains(S(amount))) << amount << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains(S("Zahlbar 8 Tage nach Rechnungserhalt")));
    EXPECT_TRUE(text.contains(S("Seite 1")));
}

TEST_F(InvoiceDocumentTest, HeadingAndVatLineFollowTheInvoice) {
    const int nr = invoice(100);
    set(nr, "MWSt = 16, Datum = '2026-12-05 00:00:00'");
    auto pages = print(nr);
    EXPECT_EQ(textsOf(*pages, "Recueberschrift"), QStringList{S("Rechnung Nr. %1").arg(nr)});
    EXPECT_EQ(textsOf(*pages, "FRecDatum"), QStringList{S("05.12.2026")});
    EXPECT_EQ(textsOf(*pages, "lmw1"), QStringList{S("+ 16,00 %")});
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("100,00 €")});
    EXPECT_EQ(textsOf(*pages, "SumMWST"), QStringList{S("16,00 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("116,00 €")});
    if (havePdfToText()) {
        EXPECT_TRUE(pdfText(*pages).contains(S("+ 16,00 %")));
    }

    // A VAT-free invoice says so plainly: "+ 0,00 %", not a bare ",00".
    set(nr, "MWSt = 0");
    pages = print(nr);
    EXPECT_EQ(textsOf(*pages, "lmw1"), QStringList{S("+ 0,00 %")});
    EXPECT_EQ(textsOf(*pages, "SumMWST"), QStringList{S("0,00 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("100,00 €")});
}

TEST_F(InvoiceDocumentTest, PrintedTotalsAddUpWhenThePositionsHaveFractionsOfACent) {
    const int nr = invoice(5.0675);
    fx.exec("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) "
            "VALUES (?, '2026-12-02 00:00:00', 'Zweite', 5.0675, 46358001)",
            {nr});
    auto pages = print(nr);
    // Each position prints 5,07; the net is the sum of the printed amounts, 10,14; gross
    // 10,14 × 1,19 = 12,0666 prints 12,07; the VAT printed is the difference, 1,93.
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("10,14 €")});
    EXPECT_EQ(textsOf(*pages, "SumMWST"), QStringList{S("1,93 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("12,07 €")});

    // 3,335 + 3,335 is 6,67 unrounded, but the reader adds 3,34 + 3,34.
    const int second = invoice(3.335);
    fx.exec("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) "
            "VALUES (?, '2026-12-02 00:00:00', 'Zweite', 3.335, 46358002)",
            {second});
    pages = print(second);
    EXPECT_EQ(textsOf(*pages, "Netto"), (QStringList{S("3,34 €"), S("3,34 €")}));
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("6,68 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("7,95 €")});
}

// --- address ---------------------------------------------------------------------------

TEST_F(InvoiceDocumentTest, AddressBlockNameLineAndContractNumber) {
    fx.exec(S("UPDATE ADRESSEN SET Anrede = 'Firma', \"Geschäftsbezeichnung\" = 'Bestattungen "
              "Zander', \"Straße\" = 'Hauptstr. 1', PLZ = '50667', Ort = 'Köln', "
              "Vertragsnr = 'V-17' WHERE ID = 1")
                .toUtf8()
                .constData());
    const int withFirst = invoice(50, 1);
    const int without = invoice(60, 2); // Arndt: no first name, no contract number

    TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
    doc.RechnungVorbereiten(withFirst, -1);
    auto pages = doc.render();
    EXPECT_EQ(textsOf(*pages, "Anrede"), QStringList{S("Firma")});
    EXPECT_EQ(textsOf(*pages, S("Geschäftsbezeichnung")), QStringList{S("Bestattungen Zander")});
    EXPECT_EQ(textsOf(*pages, "lName").value(0).trimmed(), S("Paul Zander"));
    EXPECT_EQ(textsOf(*pages, S("Straße")), QStringList{S("Hauptstr. 1")});
    EXPECT_EQ(textsOf(*pages, "PLZ"), QStringList{S("50667 Köln")});
    EXPECT_EQ(textsOf(*pages, "vnr"), QStringList{S("Vertragsnr: V-17")});
    EXPECT_EQ(textsOf(*pages, "Adresstext").first(), S("Überführungen Muster"));
    EXPECT_EQ(textsOf(*pages, "ltitel"), QStringList{S("Überführungen Muster")});
    EXPECT_EQ(textsOf(*pages, "lanschrift"),
              QStringList{S("Überführungen Muster · Beispielweg 1 · 50667 Köln")});

    // The same document prepared again: the second invoice has no contract number and no
    // first name; nothing of the first one is left over.
    doc.RechnungVorbereiten(without, -1);
    pages = doc.render();
    EXPECT_TRUE(textsOf(*pages, "vnr").isEmpty());
    EXPECT_EQ(textsOf(*pages, "lName").value(0).trimmed(), S("Arndt"));
    EXPECT_TRUE(textsOf(*pages, "Anrede").isEmpty());
    EXPECT_EQ(textsOf(*pages, "Recueberschrift"), QStringList{S("Rechnung Nr. %1").arg(without)});
    // The empty lines above are closed up: the name is the address's first line.
    const double nameTop = [&] {
        for (const PageElement& e : pages->page(0).elements)
            if (e.item == QLatin1String("lName"))
                return e.rect.top();
        return -1.0;
    }();
    EXPECT_NEAR(nameTop, 10 + 52 + 1.5, 0.01); // top margin + letterhead + first line

    if (havePdfToText()) {
        ReportPages both;
        doc.RechnungVorbereiten(withFirst, -1);
        doc.appendPagesTo(both);
        doc.RechnungVorbereiten(without, -1);
        doc.appendPagesTo(both);
        ASSERT_EQ(both.pageCount(), 2);
        const QStringList pagesText = pdfText(both).split(QLatin1Char('\f'));
        ASSERT_GE(pagesText.size(), 2);
        EXPECT_TRUE(pagesText.at(0).contains(S("Vertragsnr: V-17")));
        EXPECT_FALSE(pagesText.at(1).contains(S("Vertragsnr")));
        EXPECT_TRUE(pagesText.at(1).contains(S("Rechnung Nr. %1").arg(without)));
    }
}

TEST_F(InvoiceDocumentTest, InvoiceWhoseAddressIsGoneStillPrintsItsHeading) {
    const int nr = invoice(80);
    fx.exec("DELETE FROM ADRESSEN WHERE ID = 1");
    fx.datenR->Rectab->refresh();
    const auto pages = print(nr);
    EXPECT_EQ(textsOf(*pages, "Recueberschrift"), QStringList{S("Rechnung Nr. %1").arg(nr)});
    EXPECT_TRUE(textsOf(*pages, "lName").isEmpty());
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("80,00 €")});
}

// --- cover text and position lines -----------------------------------------------------

TEST_F(InvoiceDocumentTest, CoverTextRuleIsLeftOutForSingleInvoicesOnly) {
    const int single = invoice(10);
    const int normal = invoice(20);
    set(single, "Single = 1, Textvor = 'Anbei unsere Rechnung.'");
    set(normal, "Textvor = 'Für die Überführungen im Dezember.'");
    TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
    doc.RechnungVorbereiten(single, -1);
    auto pages = doc.render();
    EXPECT_EQ(textsOf(*pages, "FTextv"), QStringList{S("Anbei unsere Rechnung.")});
    EXPECT_EQ(frameLines(*pages, "Kopf"), 0);
    doc.RechnungVorbereiten(normal, -1);
    pages = doc.render();
    EXPECT_EQ(textsOf(*pages, "FTextv"), QStringList{S("Für die Überführungen im Dezember.")});
    EXPECT_EQ(frameLines(*pages, "Kopf"), 1);
}

TEST_F(InvoiceDocumentTest, LargePrintShowsDateWithTimeInTwelvePoint) {
    const int big = invoice(100, 1, QDateTime(QDate(2026, 12, 1), QTime(14, 30)));
    const int normal = invoice(100, 1, QDateTime(QDate(2026, 12, 3), QTime(9, 5)));
    set(big, "BigR = 1");
    TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
    doc.RechnungVorbereiten(big, -1);
    auto pages = doc.render();
    EXPECT_EQ(textsOf(*pages, "Datum"), QStringList{S("01.12.26 14:30")});
    for (const PageElement& e : pages->page(0).elements)
        if (e.band == QLatin1String("fahrtdetails") && e.type == PageElement::Type::Text) {
            EXPECT_DOUBLE_EQ(e.font.pointSizeF(), 12) << e.item.toStdString();
        }
    if (havePdfToText()) {
        EXPECT_TRUE(pdfText(*pages).contains(S("01.12.26 14:30")));
    }

    // The next invoice of the same document is back to the normal line.
    doc.RechnungVorbereiten(normal, -1);
    pages = doc.render();
    EXPECT_EQ(textsOf(*pages, "Datum"), QStringList{S("03.12.2026")});
    for (const PageElement& e : pages->page(0).elements)
        if (e.band == QLatin1String("fahrtdetails") && e.type == PageElement::Type::Text) {
            EXPECT_DOUBLE_EQ(e.font.pointSizeF(), 9) << e.item.toStdString();
        }
}

TEST_F(InvoiceDocumentTest, PositionsInOrderNumberOrderOrOnlyThePreparedOne) {
    const int nr = invoice(100); // position with Auftragsnr 46357001
    fx.exec("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) VALUES "
            "(?, '2026-12-03 00:00:00', 'Später', 30, 46359001), "
            "(?, '2026-11-30 00:00:00', 'Früher', 20, 46356001)",
            {nr, nr});
    auto pages = print(nr);
    QStringList texts = textsOf(*pages, "Rectext");
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts.at(0), S("Früher"));
    EXPECT_EQ(texts.at(2), S("Später"));
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("150,00 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("178,50 €")});

    const int id = fx.scalar("SELECT Id FROM RecPos WHERE Rectext = 'Später'").toInt();
    TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
    doc.RechnungVorbereiten(nr, id);
    pages = doc.render();
    EXPECT_EQ(textsOf(*pages, "Rectext"), QStringList{S("Später")});
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("30,00 €")});
    EXPECT_EQ(textsOf(*pages, "SumMWST"), QStringList{S("5,70 €")});
    EXPECT_EQ(textsOf(*pages, "sumbrutto"), QStringList{S("35,70 €")});
    if (havePdfToText()) {
        const QString text = pdfText(*pages);
        EXPECT_TRUE(text.contains(S("Später")));
        EXPECT_FALSE(text.contains(S("Früher")));
        EXPECT_FALSE(text.contains(S("Meier")));
    }
}

TEST_F(InvoiceDocumentTest, LongInvoiceContinuesOnNextPageWithLetterheadAndPageNumber) {
    const int nr = invoice(10);
    for (int i = 0; i < 60; ++i)
        fx.exec("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) "
                "VALUES (?, '2026-12-02 00:00:00', 'Fahrt', 10, ?)",
                {nr, 46358000 + i});
    const auto pages = print(nr);
    ASSERT_GE(pages->pageCount(), 2);
    EXPECT_EQ(textsOf(*pages, "Rectext").size(), 61);
    EXPECT_EQ(pages->page(1).textsOf("Seite2"), QStringList{S("Seite 2")});
    EXPECT_EQ(pages->page(1).textsOf("ltitel"), QStringList{S("Überführungen Muster")});
    EXPECT_EQ(textsOf(*pages, "sumnetto"), QStringList{S("610,00 €")});
    // The totals come once, on the last page, and every page has the footer.
    EXPECT_FALSE(pages->page(0).bands.contains(QStringLiteral("Zusammenfassung")));
    for (int i = 0; i < pages->pageCount(); ++i)
        EXPECT_EQ(pages->page(i).textsOf("Zahlbar"),
                  QStringList{S("Zahlbar 8 Tage nach Rechnungserhalt")});
}

// --- blank form and missing invoices ---------------------------------------------------

TEST_F(InvoiceDocumentTest, BlankFormHasHeadingButNoPositionsNorTotals) {
    const int nr = invoice(100);
    set(nr, "Textvor = 'Text der Rechnung'");
    TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
    doc.RechnungVorbereiten(0, -1);
    doc.hideCoverText();
    const auto pages = doc.render();
    ASSERT_EQ(pages->pageCount(), 1);
    EXPECT_EQ(textsOf(*pages, "Recueberschrift"), QStringList{S("Rechnung")});
    EXPECT_TRUE(textsOf(*pages, "Rectext").isEmpty());
    EXPECT_TRUE(textsOf(*pages, "FTextv").isEmpty());
    EXPECT_TRUE(textsOf(*pages, "FRecDatum").isEmpty());
    EXPECT_FALSE(bandPrinted(*pages, "fahrtdetails"));
    EXPECT_FALSE(bandPrinted(*pages, "Zusammenfassung"));
    EXPECT_TRUE(bandPrinted(*pages, "BriefKopf"));
    EXPECT_TRUE(bandPrinted(*pages, "Fuss"));
    if (havePdfToText()) {
        const QString text = pdfText(*pages);
        EXPECT_FALSE(text.contains(S("€"))) << text.toStdString();
        EXPECT_FALSE(text.contains(S("Meier")));
        EXPECT_TRUE(text.contains(S("Rechnung")));
    }
}

TEST_F(InvoiceDocumentTest, NumberWithoutInvoiceGivesLetterheadAndFooterOnly) {
    invoice(100);
    const auto pages = print(999);
    ASSERT_EQ(pages->pageCount(), 1);
    EXPECT_EQ(pages->page(0).bands, (QStringList{S("BriefKopf"), S("Fuss")}));
}

// --- files -------------------------------------------------------------------------------

TEST_F(InvoiceDocumentTest, MissingLetterheadOrFooterFileIsAGermanError) {
    for (const char* name : {"firma.txt", "Rk.txt", "Rfl.txt", "Rfr.txt"}) {
        const QString path = fx.folder.filePath(QString::fromLatin1(name));
        const QByteArray kept = fx.folder.readFile(QString::fromLatin1(name));
        ASSERT_TRUE(QFile::remove(path));
        try {
            TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
            ADD_FAILURE() << "no error for a missing " << name;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(S("Die Rechnung kann nicht erstellt werden.")))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(name)));
        }
        ASSERT_TRUE(fx.folder.writeFile(QString::fromLatin1(name), kept));
    }
    // Rectab was never touched.
    EXPECT_FALSE(fx.datenR->Rectab->filtered());
}

TEST_F(InvoiceDocumentTest, OfficeFilesReplaceTheBuiltInYearsLineAndLogos) {
    invoice(10);
    auto pages = print(1);
    EXPECT_EQ(textsOf(*pages, "QRLabel15"), QStringList{TRec_Dokument::defaultYearsLine()});
    int images = 0;
    for (const PageElement& e : pages->page(0).elements)
        if (e.type == PageElement::Type::Image)
            ++images;
    EXPECT_EQ(images, 3);

    ASSERT_TRUE(fx.folder.writeFile("jahre.txt", "Seit 1987 im Dienst\r\n"));
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(fx.folder.filePath("logo2.png")));
    pages = print(1);
    EXPECT_EQ(textsOf(*pages, "QRLabel15"), QStringList{S("Seit 1987 im Dienst")});
    for (const PageElement& e : pages->page(0).elements) {
        if (e.item == QLatin1String("QRImage2")) {
            EXPECT_EQ(e.image.pixelColor(5, 5), QColor(Qt::red));
        } else if (e.item == QLatin1String("QRImage1")) {
            EXPECT_NE(e.image.pixelColor(e.image.width() / 2, e.image.height() / 2),
                      QColor(Qt::red));
        }
    }
}

// --- the invoice table -----------------------------------------------------------------

TEST_F(InvoiceDocumentTest, ClosingGivesTheInvoiceTableItsFilterBackOnThePreparedInvoice) {
    const int a = invoice(10, 1);
    const int b = invoice(20, 2);
    const int c = invoice(30, 1);
    Table* rectab = fx.datenR->Rectab;
    rectab->setFilter(QStringLiteral("Kunde = 1"));
    rectab->setFiltered(true);
    ASSERT_EQ(rectab->recordCount(), 2);
    {
        TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
        doc.RechnungVorbereiten(b, -1);
        EXPECT_EQ(rectab->recordCount(), 1);
        doc.RechnungVorbereiten(c, -1);
        EXPECT_EQ(rectab->field("RecNr").asInteger(), c);
    }
    EXPECT_TRUE(rectab->filtered());
    EXPECT_EQ(rectab->filter(), S("Kunde = 1"));
    EXPECT_EQ(rectab->recordCount(), 2);
    EXPECT_EQ(rectab->field("RecNr").asInteger(), c);
    (void)a;

    // Unfiltered before: unfiltered after, on the invoice.
    rectab->setFiltered(false);
    rectab->setFilter(QString());
    {
        TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
        doc.RechnungVorbereiten(b, -1);
    }
    EXPECT_FALSE(rectab->filtered());
    EXPECT_EQ(rectab->recordCount(), 3);
    EXPECT_EQ(rectab->field("RecNr").asInteger(), b);
}

TEST_F(InvoiceDocumentTest, CopiesComeFromThePrintSelectionOnceOneExists) {
    const int nr = invoice(10);
    {
        TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
        doc.RechnungVorbereiten(nr, -1);
        doc.render();
        EXPECT_EQ(doc.settings().copies, 1);
    }
    TRec_Dokument::setCopiesProvider([] { return 3; });
    TRec_Dokument doc(fx.datenR.get(), fx.folder.path());
    doc.RechnungVorbereiten(nr, -1);
    doc.render();
    TRec_Dokument::setCopiesProvider({});
    EXPECT_EQ(doc.settings().copies, 3);
}

} // namespace
