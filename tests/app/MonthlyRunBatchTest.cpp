// The monthly run from the command line on the demonstration data: the summary of a month
// made, and the refusals (exit code 1, German message, nothing written).
#include "app/BatchCommands.h"
#include "app/CommandLine.h"
#include "base/Money.h"
#include "support/DemoFolder.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace kilvaro;

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(MonthlyRunBatch, MakesAMonthOfTheDemoDataAndRefusesWhatItCannotDo) {
    ensureApp();
    TempProgramFolder folder;
    fillWithDemoData(folder, QDate(2026, 12, 8)); // invoiced up to September 2026

    auto runFor = [&](const QString& month, QString* out, QString* err) {
        out->clear();
        err->clear();
        QTextStream o(out), e(err);
        return BatchCommands::runMonthlyRun(folder.path(), month, o, e);
    };
    Connection db;
    db.open(ProgramSetup::databasePath(folder.path()));
    auto fingerprint = [&db] {
        QSqlQuery q = db.exec(QStringLiteral(
            "SELECT (SELECT count(*) FROM Rechnung), (SELECT count(*) FROM RecPos), "
            "(SELECT count(*) FROM Monatsrechnung), (SELECT count(*) FROM Fahrten WHERE "
            "Rechnung IS NULL OR Rechnung < 1)"));
        q.next();
        const QStringList counts{q.value(0).toString(), q.value(1).toString(),
                                 q.value(2).toString(), q.value(3).toString()};
        q.finish();
        return counts;
    };

    // What October should give: one invoice per funeral director with open trips.
    QSqlQuery expected = db.exec(QStringLiteral(
        "SELECT count(DISTINCT f.Bestatter), (SELECT max(RecNr) FROM Rechnung) FROM Fahrten f "
        "JOIN ADRESSEN a ON a.ID = f.Bestatter AND a.Typ = 1 WHERE (f.Rechnung IS NULL OR "
        "f.Rechnung < 1) AND f.Datum >= '2026-10-01' AND f.Datum < '2026-11-01'"));
    ASSERT_TRUE(expected.next());
    const int directors = expected.value(0).toInt();
    const int highest = expected.value(1).toInt();
    expected.finish(); // an open read would keep seeing the database as it is now
    ASSERT_GT(directors, 1);

    QString out, err;
    ASSERT_EQ(runFor(S("2026-10"), &out, &err), 0) << err.toStdString();
    QSqlQuery row = db.exec(QStringLiteral("SELECT Rechnung_von, Rechnung_bis, Umsatz, "
                                           "(SELECT sum(Netto) FROM Rechnung WHERE RecNr > ?) "
                                           "FROM Monatsrechnung WHERE Jahr = 2026 AND Monat = 10"),
                            {highest});
    ASSERT_TRUE(row.next());
    EXPECT_EQ(row.value(0).toInt(), highest + 1);
    EXPECT_EQ(row.value(1).toInt(), highest + directors);
    EXPECT_EQ(Money::fromDouble(row.value(2).toDouble()),
              Money::fromDouble(row.value(3).toDouble()));
    EXPECT_EQ(out, S("%1 Rechnungen (Nr. %2–%3), Umsatz %4\n")
                       .arg(directors)
                       .arg(highest + 1)
                       .arg(highest + directors)
                       .arg(Money::fromDouble(row.value(2).toDouble()).format(S("#,##0.00 €"))));
    EXPECT_TRUE(err.isEmpty());
    row.finish();

    const QStringList before = fingerprint();
    const struct {
        const char* month;
        const char* message;
    } refusals[] = {
        {"2026-10", "Die Monatsrechnungen für den Monat Oktober 2026 sind schon erstellt worden!"},
        {"2026-09", "Die Monatsrechnungen für den Monat September 2026 sind schon erstellt "
                    "worden!"},
        {"2027-01", "Für Januar 2027 gibt es keine offenen Überführungen."},
        {"2026-13", "Einen Monat 13 gibt es nicht; bitte einen Monat von 1 bis 12 wählen."},
        {"1995-05", "Monatsrechnungen gibt es für die Jahre 1996 bis 2200, nicht für 1995."},
        {"Oktober", "'Oktober' ist kein Monat; bitte als JJJJ-MM angeben, z. B. 2026-03."},
    };
    for (const auto& r : refusals) {
        EXPECT_EQ(runFor(S(r.month), &out, &err), 1) << r.month;
        EXPECT_EQ(err, S(r.message) + QLatin1Char('\n')) << r.month;
        EXPECT_TRUE(out.isEmpty()) << r.month;
    }
    EXPECT_EQ(fingerprint(), before);
    db.close();

    const CommandLine c = CommandLine::parse({"--home", "/x", "--monthly-run", "2026-10"});
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_EQ(c.command, CommandLine::Command::MonthlyRun);
    EXPECT_EQ(c.monthlyRun, S("2026-10"));
    EXPECT_EQ(CommandLine::parse({"--monthly-run"}).error,
              S("Nach --monthly-run fehlt der Monat (JJJJ-MM)."));
    EXPECT_TRUE(CommandLine::usage().contains(S("--monthly-run JJJJ-MM")));
}

} // namespace
