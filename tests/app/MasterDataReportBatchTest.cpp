// The --report batch command: parsing of its options, a report written to PDF without a
// window, and the refusals that must end with exit code 1 and no file.
#include "reports/MasterDataReportData.h"

#include "app/BatchCommands.h"
#include "app/CommandLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::MasterDataReportData;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

TEST(ReportCommandLine, ReadsReportTitleAndFile) {
    const CommandLine c = CommandLine::parse(
        {"--home", "/daten", "--report", "tarife", "--title", "Alle Tarife", "--pdf", "t.pdf"});
    EXPECT_TRUE(c.error.isEmpty()) << c.error.toStdString();
    EXPECT_EQ(c.command, CommandLine::Command::Report);
    EXPECT_EQ(c.home, "/daten");
    EXPECT_EQ(c.report, "tarife");
    EXPECT_TRUE(c.titleGiven);
    EXPECT_EQ(c.title, "Alle Tarife");
    EXPECT_EQ(c.pdf, "t.pdf");

    const CommandLine noTitle = CommandLine::parse({"--pdf", "o.pdf", "--report", "ortsliste"});
    EXPECT_TRUE(noTitle.error.isEmpty());
    EXPECT_EQ(noTitle.command, CommandLine::Command::Report) << "order of options is free";
    EXPECT_FALSE(noTitle.titleGiven);
}

TEST(ReportCommandLine, RefusesIncompleteOrMixedOptions) {
    EXPECT_EQ(CommandLine::parse({"--report"}).error, "Nach --report fehlt der Name des Berichts.");
    EXPECT_EQ(CommandLine::parse({"--report", "tarife", "--pdf"}).error,
              "Nach --pdf fehlt der Name der PDF-Datei.");
    EXPECT_EQ(CommandLine::parse({"--report", "tarife", "--title"}).error,
              "Nach --title fehlt der Titel.");
    EXPECT_FALSE(CommandLine::parse({"--pdf", "x.pdf"}).error.isEmpty())
        << "a file name alone must not start the program window";
    EXPECT_EQ(CommandLine::parse({"--title", "Orte"}).error,
              "Die Option --title gehört zu --report.");
    EXPECT_EQ(CommandLine::parse({"--invoice", "3", "--title", "Orte", "--pdf", "r.pdf"}).error,
              "Die Option --title gehört zu --report.");
    EXPECT_FALSE(CommandLine::parse({"--invoice", "3", "--report", "tarife"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--report", "tarife", "--invoices", "1-3"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--sql", "SELECT 1", "--report", "tarife"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--report", "tarife", "--demo"}).error.isEmpty());
    EXPECT_TRUE(CommandLine::usage().contains("--report"));
}

class ReportCommand : public ::testing::Test {
protected:
    MasterDataReportData data;
    QTemporaryDir out;
    QString stdOut, stdErr;

    int run(const QString& report, const QString& pdf, const QString* title = nullptr,
            const QString& folder = {}) {
        stdOut.clear();
        stdErr.clear();
        QTextStream o(&stdOut), e(&stdErr);
        return BatchCommands::runReport(folder.isEmpty() ? data.folder.path() : folder, report,
                                        title, pdf, o, e);
    }
};

TEST_F(ReportCommand, WritesEachReportAsPdf) {
    const QString title = QStringLiteral("Tarifübersicht 2024");
    const QString tariffs = out.filePath("tarife.pdf");
    ASSERT_EQ(run("tarife", tariffs, &title), 0) << stdErr.toStdString();
    EXPECT_TRUE(stdErr.isEmpty());
    EXPECT_TRUE(stdOut.contains("3 Seite(n)")) << stdOut.toStdString();
    ASSERT_TRUE(QFile::exists(tariffs));

    const QString places = out.filePath("orte.pdf");
    ASSERT_EQ(run("Ortsliste", places), 0) << "report names ignore case";
    const QString prices = out.filePath("preise.pdf");
    ASSERT_EQ(run("preisliste", prices), 0);

    if (!kilvaro::testing::havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed; the PDF text is not checked";
    const QString tariffText = kilvaro::testing::pdfToText(tariffs);
    EXPECT_TRUE(tariffText.contains(title));
    EXPECT_TRUE(tariffText.contains("119,00 EUR"));
    EXPECT_TRUE(kilvaro::testing::pdfToText(places).contains("Ortsliste"))
        << "without --title the title the print menu proposes";
    const QString priceText = kilvaro::testing::pdfToText(prices);
    EXPECT_TRUE(priceText.contains("Preisliste"));
    EXPECT_TRUE(priceText.contains("1.234,50 €"));
}

TEST_F(ReportCommand, RefusalsEndWithCodeOneAndNoFile) {
    const QString pdf = out.filePath("x.pdf");

    EXPECT_EQ(run("umsatz", pdf), 1);
    EXPECT_TRUE(stdErr.contains("Unbekannter Bericht 'umsatz'")) << stdErr.toStdString();

    EXPECT_EQ(run("tarife", QString()), 1);
    EXPECT_TRUE(stdErr.contains("--pdf")) << stdErr.toStdString();

    EXPECT_EQ(run("tarife", out.filePath("fehlt/x.pdf")), 1) << "folder does not exist";
    EXPECT_TRUE(stdErr.contains("konnte nicht geschrieben werden")) << stdErr.toStdString();
    EXPECT_FALSE(stdOut.contains("gespeichert"));

    EXPECT_EQ(run("tarife", out.path()), 1) << "the target is a folder";

    QTemporaryDir empty;
    EXPECT_EQ(run("tarife", pdf, nullptr, empty.path() + QLatin1Char('/')), 1);
    EXPECT_TRUE(stdErr.contains("kilvaro.ini")) << stdErr.toStdString();

    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(QFile::exists(out.filePath("fehlt")));
}

TEST_F(ReportCommand, FailedWriteKeepsAnEarlierFile) {
    const QString pdf = out.filePath("tarife.pdf");
    ASSERT_EQ(run("tarife", pdf), 0);
    const QByteArray before = [&] {
        QFile f(pdf);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    // A folder that cannot be written to (unless the tests run with full rights).
    QFile::setPermissions(out.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString title = QStringLiteral("Neu");
    const int rc = run("tarife", pdf, &title);
    QFile::setPermissions(out.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (rc == 0)
        GTEST_SKIP() << "the folder stayed writable (tests run with full rights)";
    EXPECT_EQ(rc, 1);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before) << "the earlier file is neither replaced nor cut short";
}

} // namespace
