// The batch commands of the trip reports, transfer evaluations and exports: their options,
// each report written to PDF for a period (and funeral director), the exports to a folder,
// and the refusals that end with exit code 1 and no file.
#include "reports/MasterDataReportData.h"
#include "reports/TripReportData.h"

#include "app/BatchCommands.h"
#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TripReportData;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

TEST(TripBatchCommandLine, ReadsPeriodFuneralDirectorAndTargets) {
    const CommandLine r = CommandLine::parse({"--report", "offene-fahrten", "--from", "01.03.2021",
                                              "--to", "31.03.2021", "--bestatter", "2", "--pdf",
                                              "o.pdf"});
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.command, CommandLine::Command::Report);
    EXPECT_EQ(r.from, "01.03.2021");
    EXPECT_EQ(r.to, "31.03.2021");
    EXPECT_EQ(r.bestatter, "2");

    const CommandLine e = CommandLine::parse({"--export", "plz-statistik", "--from", "01.03.2021",
                                              "--to", "31.03.2021", "--bestatter", "1", "--out",
                                              "dir"});
    EXPECT_TRUE(e.error.isEmpty()) << e.error.toStdString();
    EXPECT_EQ(e.command, CommandLine::Command::Export);
    EXPECT_EQ(e.exportName, "plz-statistik");
    EXPECT_EQ(e.out, "dir");

    EXPECT_FALSE(CommandLine::parse({"--from", "01.03.2021"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--report", "fahrten", "--out", "d"}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--export", "x", "--sql", "SELECT 1"}).error.isEmpty());
    EXPECT_EQ(CommandLine::parse({"--export"}).error, "Nach --export fehlt der Name des Exports.");
}

class TripBatch : public ::testing::Test {
protected:
    TripReportData data;
    QTemporaryDir out;
    QString output, errors;

    int report(const QString& name, const QString& bestatter, const QString& pdf) {
        data.daten.reset(); // the batch opens the folder as a program run of its own
        output.clear();
        errors.clear();
        QTextStream o(&output), e(&errors);
        return BatchCommands::runTripReport(data.folder.path(), name, nullptr,
                                            {"01.03.2021", "31.03.2021", bestatter}, pdf, o, e);
    }
    int exportTo(const QString& name, const QString& from, const QString& folder) {
        data.daten.reset();
        output.clear();
        errors.clear();
        QTextStream o(&output), e(&errors);
        return BatchCommands::runExport(data.folder.path(), name, {from, "31.03.2021", "1"},
                                        folder, o, e);
    }
};

TEST_F(TripBatch, EachReportOfThePeriodAsPdf) {
    struct Case {
        const char* name;
        const char* bestatter;
        const char* expected; ///< a text of the first page
    };
    const Case cases[] = {
        {"fahrten", "", "6 Fahrten."},
        {"offene-fahrten", "", "3 Fahrten."},
        {"fahrtenliste", "", "7 Fahrten."},
        {"offene-fahrten", "2", "1 Fahrt."},
        {"ueberfuehrungen-personen", "1", "Überführungen nach Personen"},
        {"ueberfuehrungen-aktenzeichen", "1", "Müller, Hans"},
        {"ueberfuehrungen-datum", "2", "Becker, Anna"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString pdf = out.filePath(QString::fromLatin1(c.name) + c.bestatter + ".pdf");
        ASSERT_EQ(report(c.name, c.bestatter, pdf), 0) << errors.toStdString();
        ASSERT_TRUE(QFile::exists(pdf));
        if (kilvaro::testing::havePdfToText()) {
            const QString text = kilvaro::testing::pdfToText(pdf, 1);
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.expected))) << text.toStdString();
        }
    }
}

TEST_F(TripBatch, RefusalsWriteNoFile) {
    const QString pdf = out.filePath("x.pdf");
    EXPECT_EQ(report("ueberfuehrungen-personen", "", pdf), 1);
    EXPECT_TRUE(errors.contains("--bestatter")) << errors.toStdString();
    EXPECT_EQ(report("fahrten", "99", pdf), 1);
    EXPECT_TRUE(errors.contains("99"));
    data.daten.reset();
    QString o, e;
    QTextStream os(&o), es(&e);
    EXPECT_EQ(BatchCommands::runTripReport(data.folder.path(), "fahrten", nullptr,
                                           {"01.01.2020", "31.01.2020", ""}, pdf, os, es),
              1);
    EXPECT_EQ(e.trimmed(), "Keine Daten");
    EXPECT_EQ(BatchCommands::runTripReport(data.folder.path(), "fahrten", nullptr,
                                           {"31.02.2021", "31.03.2021", ""}, pdf, os, es),
              1);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(TripBatch, ExportsIntoTheOutFolder) {
    const QString folder = out.filePath("versand");
    ASSERT_EQ(exportTo("ueberfuehrungen", "01.03.2021", folder), 0) << errors.toStdString();
    const QStringList lines = QString::fromLatin1(
        [&] {
            QFile f(QDir(folder).filePath("Ueberfuehrungen.csv"));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }()).split("\r\n");
    EXPECT_EQ(lines.size(), 8) << "header, six transfers, nothing after the last CR LF";
    ASSERT_EQ(exportTo("plz-statistik", "01.03.2021", folder), 0) << errors.toStdString();
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("PLZ-Statistik.csv")));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("PLZ-Fehler.csv")));

    const QString empty = out.filePath("leer");
    EXPECT_EQ(exportTo("ueberfuehrungen", "30.03.2021", empty), 1);
    EXPECT_TRUE(errors.contains("Keine Überführungen")) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(empty).filePath("Ueberfuehrungen.csv")));
}

} // namespace
