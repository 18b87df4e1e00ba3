#include "app/BatchCommands.h"
#include "app/ProgramSetup.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/StoredValue.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace kilvaro;

namespace {

class SqlCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        folder = dir.path() + QLatin1Char('/');
        ProgramSetup::createDefaults(folder);
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        c.exec(QStringLiteral("INSERT INTO Fahrten (Datum, Zeit, Anrede, Personen, Vorname) "
                              "VALUES (?, ?, 'Herr', 'Meier', 'Karl')"),
               {stored::dateText(QDate(2021, 3, 15)),
                stored::dateTimeText(QDateTime(stored::timeBaseDate(), QTime(10, 30)))});
        c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv, \"Privat-Telefon\") "
                              "VALUES (1, 1, 'Bestattungen Lindner', 1, '0221 123')"));
        c.exec(QStringLiteral("INSERT INTO Rechnung (RecNr, Netto, Storniert, Bezahlt) VALUES (1, 10.5, 0, 1)"));
    }
    int run(const QString& sql) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return BatchCommands::runSql(folder, sql, o, e);
    }
    QTemporaryDir dir;
    QString folder, out, err;
};

} // namespace

TEST_F(SqlCommand, DateLiteralsFindTheDayAndNotTheDayBefore) {
    ASSERT_EQ(run(QStringLiteral("select personen, datum, zeit from fahrten where "
                                 "Datum >= #03/15/2021# and Datum < #03/16/2021#")),
              0)
        << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("Personen;Datum;Zeit\nMeier;15.03.2021;10:30\n"));
    ASSERT_EQ(run(QStringLiteral("select personen from fahrten where Datum < #03/15/2021#")), 0);
    EXPECT_EQ(out, QStringLiteral("Personen\n"));
}

TEST_F(SqlCommand, OldDialectTextsRun) {
    ASSERT_EQ(run(QStringLiteral("select trim(anrede+\" \"+personen) as n from fahrten")), 0)
        << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("n\nHerr Meier\n"));
    ASSERT_EQ(run(QStringLiteral("select recnr, netto from rechnung where not storniert and (bezahlt)")), 0)
        << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("RecNr;Netto\n1;10,5\n"));
    ASSERT_EQ(run(QStringLiteral("Select Name,[Privat-Telefon] from ADRESSEN where Typ=1 and aktiv=true")), 0)
        << err.toStdString();
    EXPECT_EQ(out.section(QLatin1Char('\n'), 1, 1), QStringLiteral("Bestattungen Lindner;0221 123"));
    ASSERT_EQ(run(QStringLiteral("SELECT PERSONEN FROM FAHRTEN WHERE personen = \"MEIER\"")), 0)
        << err.toStdString();
    EXPECT_TRUE(out.endsWith(QStringLiteral("Meier\n")));
    ASSERT_EQ(run(QStringLiteral("update fahrten set anrlock=true where personen like \"Mei%\"")), 0)
        << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("1 Zeile(n) betroffen\n"));
}

TEST_F(SqlCommand, ErrorsGoToStderrWithNonZeroExit) {
    EXPECT_NE(run(QStringLiteral("select frm fahrten where")), 0);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_TRUE(out.isEmpty());
    QTemporaryDir empty;
    QString o, e;
    QTextStream os(&o), es(&e);
    EXPECT_NE(BatchCommands::runSql(empty.path() + QLatin1Char('/'), QStringLiteral("select 1"), os, es), 0);
    EXPECT_TRUE(e.contains(QStringLiteral("kilvaro.ini")));
}

TEST(BatchValues, FormatsDatesTimesNumbersAndBooleans) {
    using BatchCommands::formatValue;
    EXPECT_EQ(formatValue(QDateTime(QDate(2021, 3, 15), QTime(0, 0))), QStringLiteral("15.03.2021"));
    EXPECT_EQ(formatValue(QDateTime(QDate(2021, 3, 15), QTime(10, 30))), QStringLiteral("15.03.2021 10:30"));
    EXPECT_EQ(formatValue(QDateTime(stored::timeBaseDate(), QTime(7, 5))), QStringLiteral("07:05"));
    EXPECT_EQ(formatValue(12.5), QStringLiteral("12,5"));
    EXPECT_EQ(formatValue(0.1 + 0.2), QStringLiteral("0,3"));
    EXPECT_EQ(formatValue(true), QStringLiteral("true"));
    EXPECT_EQ(formatValue(QVariant()), QString());
}
