// The invoice list from the command line: its options, the lists of the demonstration data
// written to PDF and read back, and the refusals (exit code 1, German message, no file).
#include "support/DemoFolder.h"

#include "app/BatchCommands.h"
#include "app/CommandLine.h"
#include "base/Money.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

/// The pages of a PDF as pdftotext reads them.
QStringList pdfPages(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

TEST(InvoiceListCommandLine, ReadsTheListOptionsAndRefusesThemElsewhere) {
    const CommandLine c = CommandLine::parse({"--invoice-list", "unbezahlte", "--from",
                                              "01.03.2026", "--to", "31.03.2026", "--bestatter",
                                              "4", "--seite-pro-bestatter", "--pdf", "l.pdf"});
    EXPECT_TRUE(c.error.isEmpty()) << c.error.toStdString();
    EXPECT_EQ(c.command, CommandLine::Command::InvoiceList);
    EXPECT_EQ(c.invoiceList.kind, S("unbezahlte"));
    EXPECT_EQ(c.invoiceList.from, S("01.03.2026"));
    EXPECT_EQ(c.invoiceList.to, S("31.03.2026"));
    EXPECT_EQ(c.invoiceList.bestatter, S("4"));
    EXPECT_FALSE(c.invoiceList.grouped);
    EXPECT_TRUE(c.invoiceList.pagePerDirector);
    EXPECT_EQ(c.pdf, S("l.pdf"));

    EXPECT_EQ(CommandLine::parse({"--invoice-list"}).error,
              S("Nach --invoice-list fehlt die Liste (alle, bezahlte, unbezahlte oder "
                "ausgeblendete)."));
    EXPECT_EQ(CommandLine::parse({"--invoice-list", "alle", "--from"}).error,
              S("Nach --from fehlt das Datum (TT.MM.JJJJ)."));
    EXPECT_EQ(CommandLine::parse({"--report", "tarife", "--gruppiert", "--pdf", "x.pdf"}).error,
              S("Die Option --gruppiert gehört zu --invoice-list."));
    EXPECT_EQ(CommandLine::parse({"--bestatter", "3"}).error,
              S("Die Optionen --from, --to und --bestatter gehören zu --report, --export oder "
                "--invoice-list."));
    EXPECT_FALSE(CommandLine::parse({"--invoice-list", "alle", "--invoice", "3"}).error.isEmpty());
    EXPECT_TRUE(CommandLine::usage().contains(S("--invoice-list")));
}

class InvoiceListBatch : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempProgramFolder;
        fillWithDemoData(*s_folder, QDate(2026, 12, 8));
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }

    QTemporaryDir out;
    QString outText, errText;

    int run(BatchCommands::InvoiceListJob job, const QString& pdf) {
        outText.clear();
        errText.clear();
        QTextStream o(&outText), e(&errText);
        return BatchCommands::runInvoiceList(s_folder->path(), job, pdf, o, e);
    }
    static BatchCommands::InvoiceListJob job(const char* kind, const char* from = "01.01.2026",
                                             const char* to = "31.12.2026") {
        BatchCommands::InvoiceListJob j;
        j.kind = S(kind);
        j.from = S(from);
        j.to = S(to);
        return j;
    }
    /// Rows of a query on the demonstration database.
    static QList<QVariantList> rows(const QString& sql) {
        Connection db;
        db.open(ProgramSetup::databasePath(s_folder->path()));
        QSqlQuery q = db.exec(sql);
        QList<QVariantList> result;
        while (q.next()) {
            QVariantList r;
            for (int i = 0; i < q.record().count(); ++i)
                r << q.value(i);
            result << r;
        }
        return result;
    }

    static TempProgramFolder* s_folder;
};

TempProgramFolder* InvoiceListBatch::s_folder = nullptr;

// The invoices of 2026 that are not cancelled, as the database holds them.
constexpr const char* Year2026 = "r.\"Datum\" >= '2026-01-01' AND r.\"Datum\" < '2027-01-01' "
                                 "AND NOT r.\"Storniert\"";

TEST_F(InvoiceListBatch, WritesTheListsOfTheDemonstrationData) {
    // All invoices of 2026: the number and the net total as the database has them.
    const auto all = rows(QStringLiteral("SELECT r.\"Netto\" FROM \"Rechnung\" r WHERE %1")
                              .arg(QLatin1String(Year2026)));
    ASSERT_GT(all.size(), 5) << "the demonstration data has invoices in 2026";
    Money net;
    for (const QVariantList& r : all)
        net += Money::fromDouble(r.at(0).toDouble()).roundedToCents();
    const QString allPdf = out.filePath("alle.pdf");
    ASSERT_EQ(run(job("alle"), allPdf), 0) << errText.toStdString();
    EXPECT_TRUE(errText.isEmpty());
    EXPECT_TRUE(outText.contains(S("%1 Rechnung(en)").arg(all.size()))) << outText.toStdString();

    // Unpaid ones, a page per funeral director.
    const auto unpaid = rows(QStringLiteral("SELECT DISTINCT a.\"Name\" FROM \"Rechnung\" r JOIN "
                                            "\"ADRESSEN\" a ON a.\"ID\" = r.\"Kunde\" WHERE %1 AND "
                                            "NOT r.\"Bezahlt\" AND NOT r.\"Ausgeblendet\"")
                                 .arg(QLatin1String(Year2026)));
    ASSERT_GE(unpaid.size(), 2) << "unpaid invoices of several funeral directors";
    BatchCommands::InvoiceListJob perDirector = job("unbezahlte");
    perDirector.pagePerDirector = true;
    const QString unpaidPdf = out.filePath("unbezahlte.pdf");
    ASSERT_EQ(run(perDirector, unpaidPdf), 0) << errText.toStdString();

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed: the PDF contents are not checked";
    const QString allText = pdfPages(allPdf).join(QLatin1Char('\n'));
    EXPECT_TRUE(allText.contains(S("Bericht über alle Rechnungen")));
    EXPECT_TRUE(allText.contains(S("01.01.2026 - 31.12.2026")));
    EXPECT_TRUE(allText.contains(S("Rechnungen: %1").arg(all.size())));
    EXPECT_TRUE(allText.contains(net.format(S("#,##0.00 €")))) << net.toDecimalText().toStdString();
    const QRegularExpression paymentColumn(QStringLiteral("\\bbezahlt\\b"));
    EXPECT_TRUE(allText.contains(paymentColumn));

    const QStringList pages = pdfPages(unpaidPdf);
    EXPECT_EQ(pages.size(), unpaid.size()) << "one page per funeral director";
    for (int i = 0; i < pages.size(); ++i) {
        int names = 0;
        for (const QVariantList& r : unpaid)
            names += pages.at(i).contains(r.at(0).toString()) ? 1 : 0;
        EXPECT_EQ(names, 1) << "page " << i + 1;
        EXPECT_TRUE(pages.at(i).contains(S("Summe")));
        EXPECT_FALSE(pages.at(i).contains(S("Rechnungen:"))) << "no grand total when grouped";
        EXPECT_FALSE(pages.at(i).contains(paymentColumn)) << "no payment columns for unpaid";
    }
}

TEST_F(InvoiceListBatch, RefusalsReturnOneWithAGermanMessageAndWriteNoFile) {
    struct Case {
        BatchCommands::InvoiceListJob job;
        QString message;
    };
    BatchCommands::InvoiceListJob unknownDirector = job("alle");
    unknownDirector.bestatter = S("999");
    BatchCommands::InvoiceListJob badDirector = job("alle");
    badDirector.bestatter = S("drei");
    const QList<Case> cases{
        {job("alle", "01.01.1990", "31.12.1990"),
         S("Im angegebenen Zeitraum sind keine Rechnungen vorhanden.")},
        {job("offene"), S("Unbekannte Rechnungsliste 'offene'. Möglich sind: alle, bezahlte, "
                          "unbezahlte, ausgeblendete.")},
        {job("alle", "31.02.2026"),
         S("'31.02.2026' nach --from ist kein gültiges Datum (TT.MM.JJJJ).")},
        {job("alle", "01.03.2026", "28.02.2026"),
         S("Der Zeitraum ist leer: 01.03.2026 liegt nach 28.02.2026.")},
        {job("alle", "", ""),
         S("Für --invoice-list fehlt der Zeitraum: --from TT.MM.JJJJ --to TT.MM.JJJJ angeben.")},
        {unknownDirector, S("Einen Bestatter mit der Nummer 999 gibt es nicht.")},
        {badDirector, S("'drei' ist keine gültige Bestatter-Nummer (eine ganze Zahl ab 1).")},
    };
    const QString pdf = out.filePath("nie.pdf");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        EXPECT_EQ(run(c.job, pdf), 1);
        EXPECT_EQ(errText.trimmed(), c.message);
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
    EXPECT_EQ(run(job("alle"), QString()), 1);
    EXPECT_EQ(errText.trimmed(), S("Für --invoice-list fehlt die Zieldatei: --pdf DATEI angeben."));
}

} // namespace
