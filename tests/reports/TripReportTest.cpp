// The trip reports, the transfer evaluations and the two exports on known trips: surcharge
// letters, counts and fixed-point totals per kind, open trips only in kind 1, the printed
// PDF text of every report, the funeral director's name bound (a double quote works,
// nothing is injected), and both export formats byte for byte.
#include "reports/MasterDataReportData.h"
#include "reports/TripReportData.h"

#include "base/DbError.h"
#include "base/TextFile.h"
#include "reports/PlzStatistik.h"
#include "reports/TBericht_offeneFahrt.h"
#include "reports/TransferEvaluations.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TripReportData;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
static void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral(" | ")).toStdString() << ']';
}

namespace {

class TripReports : public ::testing::Test {
protected:
    TripReportData data;
    Connection* db = data.daten->Database;

    static TripReportScope march(const QString& title = QStringLiteral("Titel")) {
        TripReportScope s;
        s.title = title;
        s.zeittext = QStringLiteral("März 2021");
        s.datumfilter = TripReportData::march();
        return s;
    }
    QString sqlFolder() const { return data.folder.filePath(QStringLiteral("sql")); }

    /// Texts of an item over all pages of a rendered report.
    static QStringList texts(const ReportPages& pages, const char* item) {
        QStringList all;
        for (int i = 0; i < pages.pageCount(); ++i)
            all << pages.page(i).textsOf(QLatin1String(item));
        return all;
    }
    static QString pdfText(Report& report) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bericht.pdf"));
        QString error;
        EXPECT_TRUE(report.render()->exportPdf(file, &error)) << error.toStdString();
        return kilvaro::testing::pdfToText(file);
    }
};

struct KindCase {
    int kind;
    QStringList groups;   ///< funeral director per group heading
    QStringList persons;  ///< in print order
    QStringList letters;  ///< surcharge letters of the trips that have any
    QStringList amounts;  ///< per trip
    QStringList counts;   ///< closing line per group
    QStringList totals;   ///< per group
};

TEST_F(TripReports, EachKindListsItsTripsWithLettersCountsAndFixedPointTotals) {
    const QString a = TripReportData::ahrens(), p = TripReportData::pietaet();
    const QList<KindCase> cases = {
        // Open transfers: invoices 7 and 8 left out; Rechnung 0 counts as open.
        {1,
         {a, p},
         {"Müller", "Alt", "Müller", "Becker"},
         {"N", "N", "NAS"}, // a trip without surcharges prints no letter
         {"120,30 €", "80,00 €", "10,40 €", "315,00 €"},
         {"3 Fahrten.", "1 Fahrt."},
         {"210,70 €", "315,00 €"}},
        {3,
         {a, p},
         {"Müller", "Schmidt", "Alt", "Müller", "Zander", "Adler", "Becker"},
         {"N", "SKUC", "N", "NS", "NAS"},
         {"120,30 €", "70,05 €", "80,00 €", "10,40 €", "385,00 €", "60,00 €", "315,00 €"},
         {"6 Fahrten.", "1 Fahrt."},
         {"725,75 €", "315,00 €"}},
        // The trip list: one group in date order, no funeral director named.
        {4,
         {},
         {"Müller", "Becker", "Schmidt", "Alt", "Müller", "Zander", "Adler"},
         {},
         {},
         {"7 Fahrten."},
         {"1.040,75 €"}},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.kind);
        TBericht_offeneFahrt report(db);
        ASSERT_TRUE(report.Vorbereiten(c.kind, march(QStringLiteral("Überführungen")), sqlFolder()));
        const auto pages = report.render();
        EXPECT_EQ(texts(*pages, "Titel"), QStringList{"Überführungen"});
        EXPECT_EQ(texts(*pages, "Zeit"), QStringList{"März 2021"});
        // Trips of one day (Zander, Adler) in the order they were entered.
        EXPECT_EQ(texts(*pages, "Personen"), c.persons);
        EXPECT_EQ(texts(*pages, "Bestatter"), c.groups);
        if (!c.letters.isEmpty()) {
            EXPECT_EQ(texts(*pages, "Zuschlag"), c.letters);
        }
        if (!c.amounts.isEmpty()) {
            EXPECT_EQ(texts(*pages, "Gesamt"), c.amounts);
        }
        EXPECT_EQ(texts(*pages, "A_fahrten"), c.counts);
        EXPECT_EQ(texts(*pages, "Gesamtsumme"), c.totals);
    }
}

TEST_F(TripReports, APeriodWithoutTripsGivesNoReport) {
    TripReportScope empty = march();
    empty.datumfilter = QStringLiteral("DATUM >= #01/01/2020# AND DATUM <= #01/31/2020#");
    TBericht_offeneFahrt report(db);
    EXPECT_FALSE(report.Vorbereiten(TBericht_offeneFahrt::OpenTransfers, empty, sqlFolder()));
    QFile::remove(QDir(sqlFolder()).filePath(QStringLiteral("fahrten.txt")));
    EXPECT_THROW(report.Vorbereiten(1, march(), sqlFolder()), DbError)
        << "a missing fahrten.txt ends the launch with the file's error";
}

TEST_F(TripReports, PrintedTextOfEachReport) {
    if (!kilvaro::testing::havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed; the PDF text is not checked";
    auto line = [](const QString& pattern) {
        return QRegularExpression(QStringLiteral("^\\s*") + pattern + QStringLiteral("\\s*$"),
                                  QRegularExpression::MultilineOption);
    };
    {
        TBericht_offeneFahrt report(db);
        ASSERT_TRUE(report.Vorbereiten(3, march(QStringLiteral("Überführungen")), sqlFolder()));
        const QString text = pdfText(report);
        for (const QString& p :
             {QStringLiteral("Überführungen"), QStringLiteral("März 2021"),
              QStringLiteral("Ahrens Bestattungen\\s+Seite 1"),
              QStringLiteral("Datum\\s+Person\\s+Strecke\\s+Netto"),
              QStringLiteral("03\\.03\\.2021\\s+Müller\\s+Köln - Bonn\\s+N\\s+120,30 €"),
              QStringLiteral("05\\.03\\.2021\\s+Schmidt\\s+Köln - Hürth\\s+SKUC\\s+70,05 €"),
              QStringLiteral("10\\.03\\.2021\\s+Alt\\s+Bonn - Köln\\s+80,00 €"),
              QStringLiteral("6 Fahrten\\.\\s+725,75 €"),
              QStringLiteral("Pietät \"Zum Frieden\"\\s+Seite 1"), QStringLiteral("1 Fahrt\\.\\s+315,00 €")})
            EXPECT_TRUE(text.contains(line(p))) << p.toStdString() << "\n" << text.toStdString();
    }
    {
        auto report = TransferEvaluations::byPerson(db, march(QStringLiteral("Nach Personen")),
                                                    TripReportData::ahrens());
        const QString text = pdfText(*report);
        for (const QString& p :
             {QStringLiteral("Nach Personen"),
              QStringLiteral("Ahrens Bestattungen\\s+März 2021"), QStringLiteral("Müller"),
              QStringLiteral("03\\.03\\.2021\\s+Köln - Bonn\\s+120,30 €"),
              QStringLiteral("12\\.03\\.2021\\s+Köln - Bonn\\s+10,40 €"),
              QStringLiteral("130,70 €"), QStringLiteral("Zander")})
            EXPECT_TRUE(text.contains(line(p))) << p.toStdString() << "\n" << text.toStdString();
    }
    {
        auto report = TransferEvaluations::byFileNumber(
            db, march(QStringLiteral("Zusatzdaten Überführungen")), TripReportData::ahrens());
        const QString text = pdfText(*report);
        for (const QString& p :
             {QStringLiteral("Adam"), QStringLiteral("Weber"),
              QStringLiteral("03\\.03\\.2021\\s+14:30\\s+Müller, Hans\\s+Hauptstr\\. 1\\s+51063\\s+"
                             "Köln\\s+Bonn\\s+AZ 1/21\\s+120,30 €"),
              QStringLiteral("Gesamt\\s+725,75 €"), QStringLiteral("Seite 1")})
            EXPECT_TRUE(text.contains(line(p))) << p.toStdString() << "\n" << text.toStdString();
        EXPECT_EQ(report->render()->pageCount(), 1) << "grouped by official without page breaks";
    }
    {
        auto report = TransferEvaluations::byDate(db, march(), TripReportData::ahrens());
        const auto pages = report->render();
        EXPECT_EQ(texts(*pages, "lGruppenkopf"),
                  (QStringList{"03.03.2021", "05.03.2021", "10.03.2021", "12.03.2021",
                               "15.03.2021"}));
        EXPECT_EQ(pages->pageCount(), 5) << "a new page for each date";
    }
}

TEST_F(TripReports, TheFuneralDirectorsNameIsBoundNotPasted) {
    // A double quote in the name works; a name built to break out of the text finds nothing.
    const QString injection = TripReportData::ahrens() + QStringLiteral("\" or \"1\"=\"1");
    auto quoted = TransferEvaluations::byPerson(db, march(), TripReportData::pietaet());
    EXPECT_EQ(texts(*quoted->render(), "personen"), QStringList{"Becker"});
    auto injected = TransferEvaluations::byDate(db, march(), injection);
    EXPECT_EQ(injected->Query1()->recordCount(), 0);
    EXPECT_EQ(injected->render()->pageCount(), 1) << "an empty evaluation still prints";

    QTemporaryDir dir;
    TransferExport exporter(db, dir.path());
    EXPECT_EQ(exporter.run(TripReportData::march(), TripReportData::pietaet()), 1);
    EXPECT_EQ(TextFile::readLines(exporter.filePath()).value(1),
              "04.03.2021 08:15:00;08:15:00;Frau;Becker;Anna;Ringstr. 5;D-51063;Köln;AZ 3/21");
    EXPECT_EQ(exporter.run(TripReportData::march(), injection), 0);
}

TEST_F(TripReports, TransferExportIsWindows1252WithCrLfAndStartsTheMailing) {
    const QString folder = data.folder.filePath(QStringLiteral("export"));
    QStringList opened;
    TransferExport exporter(db, folder, QStringLiteral("versand.cmd"),
                            [&](const QString& d) { opened << d; });
    ASSERT_EQ(exporter.run(TripReportData::march(), TripReportData::ahrens()), 6);
    const QByteArray expected = QByteArray(
        "Datum;Uhrzeit;Anrede;Name;Vorname;Strasse;PLZ;Ort;Aktzenzeichen\r\n"
        "03.03.2021;14:30:00;Herr;M\xFCller;Hans;Hauptstr. 1;51063;K\xF6ln;AZ 1/21\r\n"
        "05.03.2021;;Frau;Schmidt;Eva;Lindenweg 2;50667;K\xF6ln;AZ 2/21\r\n"
        "10.03.2021;;Herr;Alt;Karl;;;;\r\n"
        "12.03.2021 09:05:00;;Frau;M\xFCller;Ida;Ufer 9;12345;Bonn;\r\n"
        "15.03.2021;;Herr;Adler;Carl;Weg 3; Hinterhaus;50667;K\xF6ln;AZ 5/21\r\n"
        "15.03.2021;;Herr;Zander;Bernd;Allee 7;20119;Hamburg;AZ 6/21\r\n");
    EXPECT_EQ(data.folder.readFile(QStringLiteral("export/Ueberfuehrungen.csv")), expected);
    EXPECT_EQ(opened, QStringList{"versand.cmd"});

    // No transfer: the older file stays and no mail goes out.
    EXPECT_EQ(exporter.run(QStringLiteral("DATUM >= #05/01/2021# AND DATUM <= #05/31/2021#"),
                           TripReportData::ahrens()),
              0);
    EXPECT_EQ(data.folder.readFile(QStringLiteral("export/Ueberfuehrungen.csv")), expected);
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(TripReports, PostalCodeStatisticsFilesByteForByte) {
    const QString folder = data.folder.filePath(QStringLiteral("export"));
    QStringList opened;
    PlzStatistik statistics(db, folder, QStringLiteral("plz.cmd"),
                            [&](const QString& d) { opened << d; });
    const PlzStatistik::Result r = statistics.run(1, TripReportData::march());
    // 51063 is listed twice: two identical rows, and its trip adds twice to the right bank.
    // 20119 is the 123rd code of the table. The trip without a code is only counted.
    EXPECT_EQ(data.folder.readFile(QStringLiteral("export/PLZ-Statistik.csv")),
              QByteArray("PLZ;Pauschale 1 (Normal);Pauschale 2 (Nacht); Pauschale 3 "
                         "(Feiertag);Gesamt\r\n"
                         "51063;0;1;0;1\r\n"
                         "50667;1;0;1;2\r\n"
                         "51063;0;1;0;1\r\n"
                         "20119;0;1;1;1\r\n"
                         "\r\n"
                         "Verteilung\r\n"
                         "Rechtsrheinisch;2;Linksrheinisch;3\r\n"
                         "1 Fahrten ohne Postleitzahl\r\n"
                         "1 Fahrten mit ung\xFCltiger Postleitzahl\r\n"));
    EXPECT_EQ(data.folder.readFile(QStringLiteral("export/PLZ-Fehler.csv")),
              QByteArray("12.03.2021 09:05:00 12345\r\n"));
    EXPECT_EQ(r.entries.size(), 123);
    EXPECT_EQ(opened, QStringList{"plz.cmd"});

    // "D-51063" counts under 51063, as night and holiday trip, not as a normal one.
    const PlzStatistik::Result quoted = statistics.run(2, TripReportData::march());
    EXPECT_EQ(quoted.statisticsLines.mid(1, 2), (QStringList{"51063;0;1;1;1", "51063;0;1;1;1"}));
    EXPECT_EQ(data.folder.readFile(QStringLiteral("export/PLZ-Fehler.csv")), QByteArray());

    // No trips at all: header, empty line, "Verteilung" and the bank line with two zeros.
    const PlzStatistik::Result none = statistics.count(1, QStringLiteral(
        "DATUM >= #05/01/2021# AND DATUM <= #05/31/2021#"));
    EXPECT_EQ(none.statisticsLines,
              (QStringList{PlzStatistik::header(), "", "Verteilung",
                           "Rechtsrheinisch;0;Linksrheinisch;0"}));
}

} // namespace
