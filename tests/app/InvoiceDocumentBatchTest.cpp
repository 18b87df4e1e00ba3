// Invoice documents written to PDF from the command line: the options, one invoice, a
// range with a gap, and every refusal (exit code 1, German message, no file).
#include "invoicing/InvoiceFixture.h"

#include "app/BatchCommands.h"
#include "app/CommandLine.h"

#include <QFile>
#include <QFileInfo>
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

QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

TEST(InvoiceDocumentCommandLine, ParsesInvoiceAndRangeWithPdf) {
    CommandLine c = CommandLine::parse({"--invoice", "12", "--pdf", "r.pdf"});
    EXPECT_TRUE(c.error.isEmpty()) << c.error.toStdString();
    EXPECT_EQ(c.command, CommandLine::Command::InvoicePdf);
    EXPECT_EQ(c.invoices, S("12"));
    EXPECT_FALSE(c.invoiceRange);
    EXPECT_EQ(c.pdf, S("r.pdf"));

    c = CommandLine::parse({"--home", "/x", "--pdf", "r.pdf", "--invoices", "10-12"});
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_EQ(c.invoices, S("10-12"));
    EXPECT_TRUE(c.invoiceRange);
    EXPECT_EQ(c.home, S("/x"));
}

TEST(InvoiceDocumentCommandLine, RefusesIncompleteOrMixedOptions) {
    EXPECT_EQ(CommandLine::parse({"--invoice"}).error,
              S("Nach --invoice fehlt die Rechnungsnummer."));
    EXPECT_EQ(CommandLine::parse({"--invoices"}).error,
              S("Nach --invoices fehlt der Bereich (VON-BIS)."));
    EXPECT_EQ(CommandLine::parse({"--invoice", "1", "--pdf"}).error,
              S("Nach --pdf fehlt der Name der PDF-Datei."));
    EXPECT_EQ(CommandLine::parse({"--pdf", "r.pdf"}).error,
              S("--pdf gibt es nur zusammen mit --invoice, --invoices, --report oder "
                "--invoice-list."));
    EXPECT_FALSE(CommandLine::parse({"--invoice", "1", "--invoices", "1-2"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--sql", "select 1", "--invoice", "1"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--invoice", "1", "--demo"}).error.isEmpty());
}

class InvoiceDocumentBatch : public ::testing::Test {
protected:
    InvoiceFixture fx;
    QTemporaryDir out;
    QString outText, errText;

    int run(const QString& invoices, bool range, const QString& pdf) {
        outText.clear();
        errText.clear();
        QTextStream o(&outText), e(&errText);
        return BatchCommands::runInvoicePdf(fx.folder.path(), invoices, range, pdf, o, e);
    }
    QString target(const char* name = "r.pdf") const {
        return out.filePath(QString::fromLatin1(name));
    }
    int invoice(double net) {
        InvoiceFixture::Trip t;
        t.pauschale = net;
        t.nacht = 0;
        return fx.makeSingleInvoice(fx.addTrip(t));
    }
};

TEST_F(InvoiceDocumentBatch, WritesOneInvoiceOrARangeSkippingNumbersWithoutInvoice) {
    invoice(100);
    invoice(200);
    invoice(300);
    ASSERT_TRUE(fx.datenR->RechnungLoeschen(2, false));

    EXPECT_EQ(run("1", false, target("one.pdf")), 0) << errText.toStdString();
    EXPECT_EQ(outText, S("1 Rechnung in '%1' geschrieben.\n").arg(target("one.pdf")));
    ASSERT_TRUE(QFileInfo::exists(target("one.pdf")));

    EXPECT_EQ(run("1-3", true, target("range.pdf")), 0) << errText.toStdString();
    EXPECT_EQ(outText,
              S("2 Rechnungen in '%1' geschrieben.\nOhne Rechnung: 2\n").arg(target("range.pdf")));
    EXPECT_TRUE(errText.isEmpty());

    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed: the PDF contents are not checked";
    const QString one = pdfText(target("one.pdf"));
    EXPECT_TRUE(one.contains(S("Rechnung Nr. 1")));
    EXPECT_TRUE(one.contains(S("119,00 €")));
    const QStringList pages = pdfText(target("range.pdf")).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages.at(0).contains(S("Rechnung Nr. 1")));
    EXPECT_TRUE(pages.at(1).contains(S("Rechnung Nr. 3")));
    EXPECT_TRUE(pages.at(1).contains(S("357,00 €")));
}

TEST_F(InvoiceDocumentBatch, RefusalsReturnOneWithAGermanMessageAndWriteNoFile) {
    invoice(100);
    struct Case {
        QString invoices;
        bool range;
        QString pdf;
        QString message;
    };
    const QString pdf = target();
    const QList<Case> cases = {
        {"7", false, pdf, S("Die Rechnung Nr. 7 gibt es nicht.")},
        {"5-9", true, pdf, S("Im Bereich 5 bis 9 gibt es keine Rechnung.")},
        {"x", false, pdf, S("'x' ist keine gültige Rechnungsnummer (eine ganze Zahl ab 1).")},
        {"0", false, pdf, S("'0' ist keine gültige Rechnungsnummer (eine ganze Zahl ab 1).")},
        {"3-1", true, pdf,
         S("'3-1' ist kein gültiger Rechnungsbereich. Erwartet wird VON-BIS mit VON nicht "
           "größer als BIS, z. B. 10-12.")},
        {"1-", true, pdf, {}},
        {"a-b", true, pdf, {}},
        {"1", false, QString(),
         S("Bitte mit --pdf DATEI angeben, wohin die Rechnungen geschrieben werden sollen.")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.invoices, c.range, c.pdf), 1) << c.invoices.toStdString();
        EXPECT_FALSE(errText.isEmpty()) << c.invoices.toStdString();
        if (!c.message.isEmpty()) {
            EXPECT_EQ(errText, c.message + QLatin1Char('\n'));
        }
        EXPECT_TRUE(outText.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }

    // A folder that does not exist cannot take the file.
    const QString nowhere = out.filePath(QStringLiteral("fehlt/r.pdf"));
    EXPECT_EQ(run("1", false, nowhere), 1);
    EXPECT_FALSE(errText.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(nowhere));

    // Without the letterhead file no document is made.
    ASSERT_TRUE(QFile::remove(fx.folder.filePath("firma.txt")));
    EXPECT_EQ(run("1", false, pdf), 1);
    EXPECT_TRUE(errText.contains(S("firma.txt"))) << errText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(InvoiceDocumentBatch, FolderWithoutSettingsIsRefused) {
    QTemporaryDir empty;
    QString o, e;
    QTextStream os(&o), es(&e);
    EXPECT_EQ(
        BatchCommands::runInvoicePdf(empty.path() + QLatin1Char('/'), "1", false, target(), os, es),
        1);
    EXPECT_TRUE(e.contains(S("kilvaro.ini")));
    EXPECT_FALSE(QFileInfo::exists(target()));
}

} // namespace
