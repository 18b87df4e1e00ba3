#include "data/ProgramSetup.h"
#include "base/TextFile.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/Schema.h"
#include "data/StoredValue.h"

#include <QFile>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

using namespace kilvaro;

namespace {

class Daten_ATest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        folder = program.path();
    }
    /// A program folder set up as on a first start, with a few rows of master data.
    void setUpFolder() {
        ProgramSetup::createDefaults(folder);
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
                              "(1, 1, 'Zander', 1, 1), (2, 1, 'Arndt', 2, 1), (1000, 0, 'Berg', 0, 1)"));
        c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (2, ?, ?, 20), (1, ?, ?, 11), "
                              "(1, ?, ?, 10)"),
               {stored::dateText(QDate(2020, 1, 1)), stored::dateText(QDate(2030, 12, 31)),
                stored::dateText(QDate(2022, 1, 1)), stored::dateText(QDate(2030, 12, 31)),
                stored::dateText(QDate(2020, 1, 1)), stored::dateText(QDate(2021, 12, 31))});
        c.exec(QStringLiteral("INSERT INTO Tarif (Id, Mehrwertsteuer) VALUES (10, 16), (11, 19), (20, 7)"));
        c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (10, 'Köln', 100), "
                              "(11, 'Köln', 110), (11, 'Bonn', 90), (20, 'Köln', 80)"));
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Köln'), ('Bonn')"));
    }
    TempProgramFolder program;
    QString folder;
    FakeDialogService dialogs;
};

} // namespace

TEST_F(Daten_ATest, MissingDbSectionOrFileIsReportedAndNothingIsCreated) {
    TextFile::write(folder + QStringLiteral("kilvaro.ini"), QStringLiteral("[optionen]\nupdate=\n"));
    {
        TDaten_A daten(folder, &dialogs);
        daten.DataModuleCreate();
        EXPECT_FALSE(daten.isConnected());
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Error);
        EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("MDB")));
        EXPECT_FALSE(daten.Fahrttab->isOpen());
        EXPECT_THROW(daten.Fahrttab->first(), DbError) << "closed tables fail with a message";
        daten.DatenDestroy(); // nothing open: no further message
        EXPECT_EQ(dialogs.messages().size(), 1);
    }
    dialogs.clear();
    const QString missing = folder + QStringLiteral("weg/Kilvaro.db");
    TextFile::write(folder + QStringLiteral("kilvaro.ini"),
                    QStringLiteral("[DB]\nPATH=C:\\daten\nMDB=%1\n").arg(missing));
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    EXPECT_FALSE(daten.isConnected());
    EXPECT_EQ(daten.DatenbankPath(), QStringLiteral("C:\\daten"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.lastMessage().text.contains(missing));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(Daten_ATest, OpensSharedTablesWithOrdersAndLinks) {
    setUpFolder();
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    ASSERT_TRUE(daten.isConnected()) << daten.lastError().toStdString();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    for (Table* t : {daten.AdressTab, daten.Orthaupttab, daten.Ortetab, daten.Ortslistetab,
                     daten.Tariftab, daten.Preistab, daten.Fahrttab, daten.idsuche, daten.FAdressen})
        EXPECT_TRUE(t->isOpen()) << t->objectName().toStdString();
    EXPECT_FALSE(daten.plz->isOpen());

    daten.AdressTab->first();
    EXPECT_EQ(daten.AdressTab->field(QStringLiteral("Name")).asString(), QStringLiteral("Arndt"));

    // Versions by group, then start: 10, 11, 20; surcharges and places follow the version.
    daten.Orthaupttab->first();
    EXPECT_EQ(daten.Orthaupttab->field(QStringLiteral("ID")).asInteger(), 10);
    EXPECT_EQ(daten.Tariftab->field(QStringLiteral("Mehrwertsteuer")).asInteger(), 16);
    EXPECT_EQ(daten.Ortetab->recordCount(), 1);
    daten.Orthaupttab->next();
    EXPECT_EQ(daten.Orthaupttab->field(QStringLiteral("ID")).asInteger(), 11);
    EXPECT_EQ(daten.Tariftab->field(QStringLiteral("Mehrwertsteuer")).asInteger(), 19);
    EXPECT_EQ(daten.Ortetab->recordCount(), 2);

    // A place inserted into the version's list is keyed with the version.
    daten.Ortetab->append();
    daten.Ortetab->setValue(QStringLiteral("Ort"), QStringLiteral("Siegburg"));
    daten.Ortetab->post();
    EXPECT_EQ(daten.Ortetab->field(QStringLiteral("Id")).asInteger(), 11);

    // The filter of the trip rules selects one version and the details follow it.
    daten.Orthaupttab->setFilter(QStringLiteral("Nr = 2 and Anfang <= #03/15/2021# and Ende >= #03/15/2021#"));
    daten.Orthaupttab->setFiltered(true);
    EXPECT_EQ(daten.Orthaupttab->recordCount(), 1);
    EXPECT_EQ(daten.Tariftab->field(QStringLiteral("Mehrwertsteuer")).asInteger(), 7);
}

TEST_F(Daten_ATest, TripFieldsAreCalculatedAndLookedUp) {
    setUpFolder();
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    ASSERT_TRUE(daten.isConnected());
    // No version selected: the rate reads as 0, so Brutto equals Gesamt.
    daten.Orthaupttab->setFilter(QStringLiteral("Nr = 99"));
    daten.Orthaupttab->setFiltered(true);
    Table& f = *daten.Fahrttab;
    f.append();
    f.setValue(QStringLiteral("Datum"), QDate(2021, 3, 15));
    f.setValue(QStringLiteral("Ortspauschale"), 100.0);
    f.post();
    EXPECT_DOUBLE_EQ(f.field(QStringLiteral("Gesamt")).asFloat(), 100.0);
    EXPECT_DOUBLE_EQ(f.field(QStringLiteral("Brutto")).asFloat(), 100.0);
    EXPECT_TRUE(f.field(QStringLiteral("Bname")).asString().isEmpty());
    EXPECT_TRUE(f.field(QStringLiteral("Aname")).asString().isEmpty());

    daten.Orthaupttab->setFilter(QStringLiteral("ID = 11"));
    f.edit();
    f.setValue(QStringLiteral("Bestatter"), 1);
    f.setValue(QStringLiteral("Aushilfe"), 1000);
    f.setValue(QStringLiteral("Nacht"), 20.0);
    f.setValue(QStringLiteral("Covid19"), 5.5);
    f.post();
    EXPECT_EQ(f.field(QStringLiteral("Bname")).asString(), QStringLiteral("Zander"));
    EXPECT_EQ(f.field(QStringLiteral("Aname")).asString(), QStringLiteral("Berg"));
    EXPECT_DOUBLE_EQ(f.field(QStringLiteral("Gesamt")).asFloat(), 125.5);
    // 125,50 × 1,19 = 149,345: the gross goes half up to cents.
    EXPECT_DOUBLE_EQ(f.field(QStringLiteral("Brutto")).asFloat(), 149.35);
}

TEST_F(Daten_ATest, PlaceListStatusFollowsInsertAndDelete) {
    setUpFolder();
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    QString status;
    daten.Ortslistetab->append(); // without a window nothing is shown
    daten.Ortslistetab->setValue(QStringLiteral("Ort"), QStringLiteral("Hennef"));
    daten.Ortslistetab->post();
    EXPECT_TRUE(status.isEmpty());

    daten.placeListStatus = [&status](const QString& s) { status = s; };
    daten.Ortslistetab->refresh();
    EXPECT_EQ(status, QStringLiteral("3 Orte"));
    daten.Ortslistetab->append();
    daten.Ortslistetab->setValue(QStringLiteral("Ort"), QStringLiteral("Troisdorf"));
    daten.Ortslistetab->post();
    EXPECT_EQ(status, QStringLiteral("4 Orte"));
    daten.Ortslistetab->first();
    daten.Ortslistetab->remove();
    EXPECT_EQ(status, QStringLiteral("3 Orte"));
}

TEST_F(Daten_ATest, ClosingStoresPendingMasterDataEditsButNotTrips) {
    setUpFolder();
    {
        TDaten_A daten(folder, &dialogs);
        daten.DataModuleCreate();
        daten.AdressTab->first();
        daten.AdressTab->edit();
        daten.AdressTab->setValue(QStringLiteral("Ort"), QStringLiteral("Köln"));
        daten.Fahrttab->append();
        daten.Fahrttab->setValue(QStringLiteral("Personen"), QStringLiteral("Ungespeichert"));
        daten.DatenDestroy();
    }
    Connection c;
    c.open(ProgramSetup::databasePath(folder));
    QSqlQuery q = c.exec(QStringLiteral("SELECT Ort FROM ADRESSEN WHERE ID = 2"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("Köln"));
    QSqlQuery t = c.exec(QStringLiteral("SELECT count(*) FROM Fahrten"));
    ASSERT_TRUE(t.next());
    EXPECT_EQ(t.value(0).toInt(), 0);
}

TEST_F(Daten_ATest, AnOldFileWithSharedAddressIdsOpensWithAWarning) {
    setUpFolder();
    {
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        c.exec(QStringLiteral("DROP INDEX \"ADRESSEN_ID\""));
        c.exec(QStringLiteral("CREATE INDEX \"ADRESSEN_ID\" ON \"ADRESSEN\" (\"ID\")"));
        c.exec(QStringLiteral("PRAGMA user_version = 1"));
        c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name) VALUES (1, 0, 'Kuhn')"));
    }
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    ASSERT_TRUE(daten.isConnected()) << daten.lastError().toStdString();
    EXPECT_TRUE(daten.Fahrttab->isOpen());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("(ID) 1 ist mehrfach vergeben")));
}

// A file of a newer program is reported and then stays closed, like an unreadable one.
TEST_F(Daten_ATest, NewerFileIsReportedAndStaysClosed) {
    setUpFolder();
    {
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        c.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::currentVersion + 1));
    }
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    EXPECT_FALSE(daten.isConnected());
    EXPECT_FALSE(daten.Fahrttab->isOpen());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("neueres Programm")));
    EXPECT_THROW(daten.Database->exec(QStringLiteral("UPDATE Rechnung SET Storniert = 1")),
                 DbError);
}

// A damaged file opens at once; the check on the worker thread then warns and every store
// through the shared tables is refused.
TEST_F(Daten_ATest, DamagedFileIsReportedAfterOpeningAndRefusesStores) {
    setUpFolder();
    ASSERT_TRUE(damageDatabaseMiddle(ProgramSetup::databasePath(folder)));
    TDaten_A daten(folder, &dialogs);
    daten.DataModuleCreate();
    ASSERT_TRUE(daten.isConnected()) << daten.lastError().toStdString();
    dialogs.clear();
    daten.startIntegrityCheck();
    ASSERT_TRUE(daten.waitForIntegrityCheck(60000));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_TRUE(dialogs.lastMessage().text.contains(
        QStringLiteral("ist beschädigt")))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_TRUE(dialogs.lastMessage().text.contains(
        QStringLiteral("aus der Datensicherung wiederherstellen")));

    daten.Ortslistetab->append();
    daten.Ortslistetab->setValue(QStringLiteral("Ort"), QStringLiteral("Bonn"));
    try {
        daten.Ortslistetab->post();
        ADD_FAILURE() << "a row was stored into a damaged file";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("beschädigt"))) << e.message().toStdString();
    }
    daten.Ortslistetab->cancel();
    Connection reader;
    reader.open(ProgramSetup::databasePath(folder));
    QSqlQuery q = reader.exec(QStringLiteral("SELECT count(*) FROM Ortsliste"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
}
