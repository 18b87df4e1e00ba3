#include "app/BatchCommands.h"
#include "data/ProgramSetup.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/StoredValue.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
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

// Files the program must not work on: every batch command ends with exit code 1 and a German
// reason, and nothing is written.
TEST_F(SqlCommand, NewerDamagedAndForeignFilesAreRefused) {
    const QString database = ProgramSetup::databasePath(folder);
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"newer",
         [&] {
             Connection c;
             c.open(database);
             c.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::currentVersion + 1));
         },
         "neueres Programm"},
        {"damaged", [&] { ASSERT_TRUE(damageDatabaseMiddle(database)); },
         "aus der Datensicherung wiederherstellen"},
        {"foreign",
         [&] {
             QFile::remove(database);
             Connection c;
             c.create(database);
             c.exec(QStringLiteral("CREATE TABLE kunden (name TEXT)"));
             c.exec(QStringLiteral("PRAGMA user_version = 2"));
         },
         "keine Kilvaro-Datenbank"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        QFile::remove(folder + QStringLiteral("kilvaro.ini"));
        QFile::remove(database);
        SetUp();
        k.spoil();
        EXPECT_EQ(run(QStringLiteral("select count(*) from ortsliste")), 1);
        EXPECT_EQ(run(QStringLiteral("insert into ortsliste (ort) values (\"X\")")), 1);
        EXPECT_TRUE(err.contains(QString::fromUtf8(k.reason))) << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("no such table"))) << err.toStdString();
        QString o, e;
        QTextStream os(&o), es(&e);
        EXPECT_EQ(BatchCommands::runInvoicePdf(folder, QStringLiteral("1"), false,
                                               dir.filePath(QStringLiteral("r.pdf")), os, es),
                  1);
        EXPECT_TRUE(e.contains(QString::fromUtf8(k.reason))) << e.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("r.pdf"))));
    }
}

// An archive copy on a read-only medium: selects and the invoice PDF work, stores are refused.
TEST_F(SqlCommand, ReadOnlyDatabaseIsReadAndPrintedButNotWritten) {
    const QString database = ProgramSetup::databasePath(folder);
    if (!makeReadOnly(database))
        GTEST_SKIP() << "the file cannot be made read-only here";
    const bool folderReadOnly = makeReadOnly(dir.path());
    const int select = run(QStringLiteral("select recnr from rechnung"));
    const QString selected = out;
    const int store = run(QStringLiteral("delete from ortsliste"));
    const QString refused = err;
    if (folderReadOnly)
        makeWritable(dir.path());
    makeWritable(database);
    EXPECT_EQ(select, 0) << err.toStdString();
    EXPECT_EQ(selected, QStringLiteral("RecNr\n1\n"));
    EXPECT_EQ(store, 1);
    EXPECT_TRUE(refused.contains(QStringLiteral("schreibgeschützt"))) << refused.toStdString();
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
