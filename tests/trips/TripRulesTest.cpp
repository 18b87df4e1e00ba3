// Rules of the trip record, driven through the shared table objects as the trip window
// drives them: order numbers, clean-up and price warning on store, tariff selection,
// amounts, pricing operations, and numbering by two connections at the same time.
#include "trips/TripRules.h"
#include "data/ProgramSetup.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/StoredValue.h"

#include <QSet>
#include <QSqlQuery>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

using namespace kilvaro;

namespace {

const QString kNoPrice = QStringLiteral("Die Fahrt hat keinen Preis!");

QString day(int y, int m, int d) {
    return stored::dateText(QDate(y, m, d));
}

/// A program folder with funeral directors, tariff versions, places and a price list.
void fillMasterData(const QString& folder) {
    ProgramSetup::createDefaults(folder);
    Connection c;
    c.open(ProgramSetup::databasePath(folder));
    c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv, Gutschrift) "
                          "VALUES (17, 1, 'Zander', 3, 1, 1), (18, 1, 'Arndt', 4, 1, 0), "
                          "(19, 1, 'Ohnetarif', 9, 1, 0), (1000, 0, 'Berg', 0, 1, 0)"));
    // Group 3: 2020, then 1.1.2021 to 15.3.2021, then from 16.3.2021. Group 4: one version.
    c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (3, ?, ?, 30), "
                          "(3, ?, ?, 31), (3, ?, ?, 32), (4, ?, ?, 40)"),
           {day(2020, 1, 1), day(2020, 12, 31), day(2021, 1, 1), day(2021, 3, 15), day(2021, 3, 16),
            day(2030, 12, 31), day(2019, 1, 1), day(2030, 12, 31)});
    c.exec(QStringLiteral(
        "INSERT INTO Tarif (Id, Mehrwertsteuer, Ankleiden, Nacht, Feiertag, Kuehlung, UHuelle, "
        "Covid19, Waehrung) VALUES (30, 16, 1, 1, 1, 1, 1, 1, 'EUR'), "
        "(31, 19, 30, 25, 20, 15, 10, 5, 'EUR'), (32, 19, 33, 28, 22, 0, 12, 0, 'EUR'), "
        "(40, 7, 40, 35, 0, 0, 0, 0, 'EUR')"));
    c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (31, 'Köln', 80), "
                          "(31, 'Bonn', 60), (31, 'Aachen', 95), (32, 'Köln', 85)"));
    c.exec(
        QStringLiteral("INSERT INTO Preisliste (Ort, Richtpreis) VALUES ('Düren - Jülich', 55)"));
}

class TripRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        folder = program.path();
        fillMasterData(folder);
        daten = std::make_unique<TDaten_A>(folder, &dialogs);
        daten->DataModuleCreate();
        ASSERT_TRUE(daten->isConnected()) << daten->lastError().toStdString();
        rules = TripRules::install(daten.get(), &dialogs);
        rules->setClock([this] { return QDateTime(today, QTime(14, 30)); });
        // As while the trip window is active.
        daten->AdressTab->setFiltered(true);
    }

    Table& trips() { return *daten->Fahrttab; }

    /// Inserts a trip (stored at once) and leaves it in edit, as the navigator does.
    void insertTrip() { trips().append(); }

    /// Sets the trip's funeral director as choosing it in the window does.
    void chooseFuneralDirector(const QVariant& id) {
        trips().edit();
        trips().setValue(QStringLiteral("Bestatter"), id.isNull() ? QVariant() : id);
        rules->FuneralDirectorChanged();
        rules->FuneralDirectorChosen();
    }

    qint64 number() { return trips().value(QStringLiteral("AuftragNr")).toLongLong(); }

    QVariant stored(qint64 key, const QString& column) {
        QSqlQuery q = daten->Database->exec(
            QStringLiteral("SELECT \"%1\" FROM Fahrten WHERE rowid = ?").arg(column), {key});
        return q.next() ? q.value(0) : QVariant();
    }

    TempProgramFolder program;
    QString folder;
    FakeDialogService dialogs;
    std::unique_ptr<TDaten_A> daten;
    TripRules* rules = nullptr;
    QDate today{2021, 1, 1};
};

} // namespace

TEST(TripRulesNumbers, DayCountsAndTheDayOfANumber) {
    EXPECT_EQ(TripRules::dayCount(QDate(2021, 1, 1)), 44197);
    EXPECT_EQ(TripRules::dayCount(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(TripRules::dayOfOrderNumber(44197001), 44197);
    EXPECT_EQ(TripRules::dayOfOrderNumber(144197001), 14419) << "first five digits";
    EXPECT_EQ(TripRules::dayOfOrderNumber(123), 123) << "fewer digits: the whole number";
}

TEST_F(TripRulesTest, InsertedTripIsDatedNumberedAndStoredAtOnce) {
    insertTrip();
    EXPECT_EQ(trips().state(), TableState::Edit) << "the stored row is reopened for editing";
    EXPECT_EQ(trips().value(QStringLiteral("Datum")).toDateTime(),
              QDateTime(QDate(2021, 1, 1), QTime(0, 0)))
        << "today's date without time";
    EXPECT_EQ(number(), 44197001);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << "no price warning on the first store";
    const qint64 key = trips().currentKey();
    ASSERT_NE(key, 0);
    EXPECT_EQ(stored(key, QStringLiteral("AuftragNr")).toLongLong(), 44197001);
    trips().cancel();
    EXPECT_EQ(trips().recordCount(), 1) << "cancelling the edit keeps the new trip";

    // Storing it again without any amount warns and stores all the same.
    trips().edit();
    trips().setValue(QStringLiteral("Personen"), QStringLiteral("Meier"));
    trips().post();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{kNoPrice});
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(stored(key, QStringLiteral("Personen")).toString(), QStringLiteral("Meier"));
}

TEST_F(TripRulesTest, NumbersRunPerDay) {
    insertTrip();
    trips().cancel();
    insertTrip();
    EXPECT_EQ(number(), 44197002);
    trips().cancel();
    today = QDate(2021, 1, 2);
    insertTrip();
    EXPECT_EQ(number(), 44198001);
    trips().cancel();
    EXPECT_EQ(rules->NextOrderNumber(QDate(2021, 1, 1)), 44197003);
    EXPECT_EQ(rules->NextOrderNumber(QDate(2021, 1, 3)), 44199001);
}

TEST_F(TripRulesTest, NumberQueryCountsLockedNumbersMovedIntoTheDay) {
    // A traffic-police trip of the day D - 100 carries its number + 100000 and so lies in
    // the range of day D.
    daten->Database->exec(QStringLiteral("INSERT INTO Fahrten (Datum, AuftragNr, ANRLock) VALUES "
                                         "('2020-09-23 00:00:00', 44197001, 1)"));
    EXPECT_EQ(rules->NextOrderNumber(QDate(2021, 1, 1)), 44197002);
}

TEST_F(TripRulesTest, DateChangeRenumbersUnlessLocked) {
    insertTrip();
    trips().cancel();
    today = QDate(2021, 1, 2);
    insertTrip(); // 44198001
    trips().cancel();
    trips().first();
    ASSERT_EQ(number(), 44197001);

    trips().edit();
    trips().setValue(QStringLiteral("Datum"), QDate(2021, 1, 2));
    trips().setValue(QStringLiteral("Ortspauschale"), 80);
    trips().post();
    EXPECT_EQ(number(), 44198002) << "the next free number of the new day";

    // Locked: the number stays even though its day no longer matches.
    trips().edit();
    trips().setValue(QStringLiteral("ANRLock"), true);
    trips().setValue(QStringLiteral("Datum"), QDate(2021, 1, 5));
    trips().post();
    EXPECT_EQ(number(), 44198002);
}

TEST_F(TripRulesTest, RenumberingOnRequestTakesTheNextNumberEvenWhenLocked) {
    insertTrip(); // 44197001
    trips().cancel();
    insertTrip(); // 44197002
    trips().cancel();
    trips().first();
    trips().edit();
    trips().setValue(QStringLiteral("ANRLock"), true);
    trips().setValue(QStringLiteral("Ortspauschale"), 80);
    trips().post();
    ASSERT_EQ(number(), 44197001);

    rules->setRenumberOnStore(true);
    trips().edit();
    trips().post();
    rules->setRenumberOnStore(false);
    EXPECT_EQ(number(), 44197003);

    trips().edit();
    trips().post();
    EXPECT_EQ(number(), 44197003) << "an ordinary store keeps the number again";
}

TEST_F(TripRulesTest, BadNumbersAreReplacedAtTheNextStore) {
    insertTrip();
    trips().setValue(QStringLiteral("Ortspauschale"), 50);
    trips().setValue(QStringLiteral("AuftragNr"), 123);
    trips().post();
    EXPECT_EQ(number(), 44197002) << "fewer than five digits: fresh number";

    trips().edit();
    trips().setValue(QStringLiteral("AuftragNr"), 0);
    trips().setValue(QStringLiteral("ANRLock"), true);
    trips().post();
    EXPECT_EQ(number(), 44197003) << "0 gets a fresh number even when locked";
    EXPECT_TRUE(trips().value(QStringLiteral("ANRLock")).toBool()) << "and stays locked";

    trips().edit();
    trips().setValue(QStringLiteral("AuftragNr"), -5);
    trips().setValue(QStringLiteral("ANRLock"), false);
    trips().post();
    EXPECT_EQ(number(), 44197004);
}

TEST_F(TripRulesTest, ZeroSurchargesAreStoredEmptyExceptTheOthers) {
    insertTrip();
    const qint64 key = trips().currentKey();
    for (const char* f : {"Nacht", "Ankleiden", "Feiertag", "Kuehlung", "UHuelle", "Covid19"})
        trips().setValue(QString::fromLatin1(f), 0);
    trips().setValue(QStringLiteral("Ortspauschale"), 0);
    trips().post();
    for (const char* f : {"Nacht", "Ankleiden", "Feiertag"})
        EXPECT_TRUE(stored(key, QString::fromLatin1(f)).isNull()) << f;
    for (const char* f : {"Kuehlung", "UHuelle", "Covid19", "Ortspauschale"}) {
        const QVariant v = stored(key, QString::fromLatin1(f));
        EXPECT_FALSE(v.isNull()) << f;
        EXPECT_EQ(v.toDouble(), 0.0) << f;
    }
}

TEST_F(TripRulesTest, PriceWarningOnlyWhenTheNetAmountIsZero) {
    insertTrip();
    trips().setValue(QStringLiteral("Kuehlung"), 15);
    trips().post();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    trips().edit();
    trips().setValue(QStringLiteral("Kuehlung"), QVariant());
    trips().setValue(QStringLiteral("Nacht"), 0);
    trips().post();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{kNoPrice});
}

TEST_F(TripRulesTest, NetAndGrossAmounts) {
    insertTrip();
    chooseFuneralDirector(17); // group 3, 1.1.2021: version 31 with 19 %
    EXPECT_TRUE(trips().value(QStringLiteral("Gutschrift")).toBool()) << "copied from Zander";
    trips().setValue(QStringLiteral("Ortspauschale"), 60);
    trips().setValue(QStringLiteral("Nacht"), 25);
    trips().setValue(QStringLiteral("Kuehlung"), 15);
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Gesamt")).toDouble(), 100);
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Brutto")).toDouble(), 119);

    // No version valid on the date: the rate reads as 0.
    chooseFuneralDirector(19);
    EXPECT_FALSE(trips().value(QStringLiteral("Gutschrift")).toBool());
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Brutto")).toDouble(), 100);
    // No funeral director at all.
    chooseFuneralDirector(QVariant());
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Brutto")).toDouble(), 100);
    trips().setValue(QStringLiteral("Ortspauschale"), QVariant());
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Gesamt")).toDouble(), 40)
        << "empty amounts count as 0";
}

TEST_F(TripRulesTest, VersionBordersAreInclusive) {
    insertTrip();
    chooseFuneralDirector(17);
    EXPECT_EQ(daten->Orthaupttab->filter(),
              QStringLiteral("Nr = 3 and Anfang <= #01/01/2021# and Ende >= #01/01/2021#"));
    EXPECT_EQ(daten->AdressTab->filter(), QStringLiteral("id =17"));
    EXPECT_EQ(daten->Orthaupttab->value(QStringLiteral("ID")).toInt(), 31) << "Anfang = date";

    trips().setValue(QStringLiteral("Datum"), QDate(2021, 3, 15));
    EXPECT_EQ(daten->Orthaupttab->value(QStringLiteral("ID")).toInt(), 31) << "Ende = date";
    trips().setValue(QStringLiteral("Datum"), QDate(2021, 3, 16));
    EXPECT_EQ(daten->Orthaupttab->value(QStringLiteral("ID")).toInt(), 32)
        << "the version whose Anfang is the day after no longer applies";
    EXPECT_EQ(daten->Orthaupttab->filter(),
              QStringLiteral("Nr = 3 and Anfang <= #03/16/2021# and Ende >= #03/16/2021#"));
    trips().setValue(QStringLiteral("Datum"), QDate(2020, 12, 31));
    EXPECT_EQ(daten->Orthaupttab->value(QStringLiteral("ID")).toInt(), 30);
    EXPECT_EQ(daten->Tariftab->value(QStringLiteral("Mehrwertsteuer")).toInt(), 16)
        << "the tariff row follows the version";
}

TEST_F(TripRulesTest, TariffVersionIsLookedUpOncePerVersionNotPerRow) {
    // Sixty trips of group 3 over three weeks, all in version 31.
    Transaction tx(*daten->Database);
    for (int i = 0; i < 60; ++i)
        daten->Database->exec(
            QStringLiteral("INSERT INTO Fahrten (Datum, Bestatter, AuftragNr, Ortspauschale) "
                           "VALUES (?, 17, ?, 80)"),
            {day(2021, 1, 1 + i / 3), 44197001 + (i / 3) * 1000 + i % 3});
    tx.commit();
    trips().refresh();
    trips().first();
    rules->LocateFuneralDirector();
    trips().refresh(); // drops amounts calculated before the funeral director was located
    const int before = rules->tariffLookups();
    for (int row = 0; row < trips().recordCount(); ++row)
        EXPECT_DOUBLE_EQ(trips().valueAt(row, QStringLiteral("Brutto")).toDouble(), 95.2) << row;
    for (int i = 0; i < 30; ++i)
        trips().next();
    EXPECT_EQ(rules->tariffLookups(), before) << "same version: no further look-up";

    // A new version in another instance is seen at the next explicit look-up; a change
    // through this connection at once.
    daten->Database->exec(QStringLiteral("UPDATE OTMAIN SET Ende = ? WHERE ID = 31"),
                          {day(2021, 1, 10)});
    daten->Database->notifyTableChanged(QStringLiteral("OTMAIN"));
    trips().last();
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Brutto")).toDouble(), 80)
        << "20.1.2021 is no longer in any version of group 3";
}

TEST_F(TripRulesTest, SurchargeButtonsCopyFromTheSelectedVersion) {
    insertTrip();
    chooseFuneralDirector(17);
    const struct {
        const char* field;
        double amount;
    } expected[] = {{"Ankleiden", 30}, {"Nacht", 25},   {"Feiertag", 20},
                    {"Kuehlung", 15},  {"UHuelle", 10}, {"Covid19", 5}};
    for (const auto& e : expected) {
        rules->CopySurcharge(QString::fromLatin1(e.field));
        EXPECT_DOUBLE_EQ(trips().value(QString::fromLatin1(e.field)).toDouble(), e.amount)
            << e.field;
    }
    trips().setValue(QStringLiteral("Nacht"), 3);
    rules->CopySurcharge(QStringLiteral("Nacht"));
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Nacht")).toDouble(), 25) << "copies again";
    EXPECT_THROW(rules->CopySurcharge(QStringLiteral("Ortspauschale")), DbError);

    // Without a valid version the buttons give 0.
    chooseFuneralDirector(19);
    rules->CopySurcharge(QStringLiteral("Ankleiden"));
    EXPECT_EQ(trips().value(QStringLiteral("Ankleiden")).toDouble(), 0.0);
    EXPECT_FALSE(trips().value(QStringLiteral("Ankleiden")).isNull());
}

TEST_F(TripRulesTest, HighestPlaceAmountWins) {
    insertTrip();
    chooseFuneralDirector(17);
    auto choose = [this](const QString& field, const QString& place) {
        rules->LocateFuneralDirector();
        ASSERT_TRUE(daten->Ortetab->locate(QStringLiteral("Ort"), place));
        rules->PlaceChosen(field);
    };
    choose(QStringLiteral("Startort"), QStringLiteral("Köln"));
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Ortspauschale")).toDouble(), 80);
    choose(QStringLiteral("Zielort"), QStringLiteral("Bonn"));
    EXPECT_EQ(trips().value(QStringLiteral("Zielort")).toString(), QStringLiteral("Bonn"));
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Ortspauschale")).toDouble(), 80) << "60 < 80";
    choose(QStringLiteral("Zielort"), QStringLiteral("Aachen"));
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Ortspauschale")).toDouble(), 95);
    EXPECT_EQ(trips().value(QStringLiteral("Startort")).toString(), QStringLiteral("Köln"));
}

TEST_F(TripRulesTest, PriceListEntryReplacesStartAndAmount) {
    insertTrip();
    trips().setValue(QStringLiteral("Ortspauschale"), 120);
    daten->Preistab->first();
    rules->PriceListEntryChosen();
    EXPECT_EQ(trips().value(QStringLiteral("Startort")).toString(),
              QStringLiteral("Düren - Jülich"));
    EXPECT_DOUBLE_EQ(trips().value(QStringLiteral("Ortspauschale")).toDouble(), 55)
        << "whatever the previous amount";
}

TEST_F(TripRulesTest, LocatingWorksWithAddressFilteringOff) {
    daten->AdressTab->setFiltered(false);
    insertTrip();
    chooseFuneralDirector(18);
    EXPECT_EQ(daten->AdressTab->value(QStringLiteral("Name")).toString(), QStringLiteral("Arndt"));
    EXPECT_EQ(daten->Tariftab->value(QStringLiteral("Mehrwertsteuer")).toInt(), 7);
}

TEST_F(TripRulesTest, WindowHooksFollowInsertAndStore) {
    QList<int> tabs;
    int unchecked = 0;
    rules->windowShowTab = [&](int tab) { tabs << tab; };
    rules->windowUncheckMonthFilter = [&] { ++unchecked; };
    trips().setFilter(QStringLiteral("Datum >= #12/01/2020# and Datum < #01/01/2021#"));
    trips().setFiltered(true);
    insertTrip();
    EXPECT_FALSE(trips().filtered()) << "the new trip is in view";
    EXPECT_EQ(unchecked, 1);
    EXPECT_EQ(tabs, (QList<int>{0, 1})) << "first store, then back to editing";
    trips().setValue(QStringLiteral("Ortspauschale"), 1);
    trips().post();
    EXPECT_EQ(tabs.last(), 0);
}

TEST_F(TripRulesTest, RefusedFirstStoreKeepsThePriceWarningForLater) {
    daten->Database->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Fahrten BEGIN "
                                         "SELECT RAISE(ABORT, 'gesperrt'); END"));
    EXPECT_THROW(insertTrip(), DbError);
    EXPECT_FALSE(daten->InsertPosting);
    EXPECT_EQ(daten->Database->transactionDepth(), 0) << "the failed store left no transaction";
    daten->Database->exec(QStringLiteral("DROP TRIGGER refuse"));
    trips().post();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{kNoPrice});
    EXPECT_EQ(number(), 44197001);
}

TEST_F(TripRulesTest, NumberOfAFailedStoreIsTakenAnew) {
    insertTrip();
    trips().setValue(QStringLiteral("Ortspauschale"), 80);
    trips().setValue(QStringLiteral("Datum"), QDate(2021, 1, 2));
    daten->Database->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Fahrten BEGIN "
                                         "SELECT RAISE(ABORT, 'gesperrt'); END"));
    EXPECT_THROW(trips().post(), DbError);
    EXPECT_EQ(trips().state(), TableState::Edit) << "the row stays in edit";
    EXPECT_EQ(number(), 44198001);
    // Meanwhile another instance stores the first trip of that day.
    daten->Database->exec(QStringLiteral("DROP TRIGGER refuse"));
    daten->Database->exec(QStringLiteral(
        "INSERT INTO Fahrten (Datum, AuftragNr) VALUES ('2021-01-02 00:00:00', 44198001)"));
    trips().post();
    EXPECT_EQ(number(), 44198002);
}

// Two program instances storing trips of the same day at the same moment: every number is
// taken and written in one write transaction, so no two unlocked trips share a number.
TEST(TripRulesConcurrency, TwoConnectionsInsertingTheSameDayGetDistinctNumbers) {
    ensureApp();
    TempProgramFolder program;
    const QString folder = program.path();
    fillMasterData(folder);
    constexpr int kPerInstance = 200;
    std::atomic<int> failures{0};
    std::atomic<int> ready{0};
    auto instance = [&] {
        try {
            FakeDialogService dialogs;
            TDaten_A daten(folder, &dialogs);
            daten.DataModuleCreate();
            if (!daten.isConnected()) {
                ++failures;
                return;
            }
            TripRules* rules = TripRules::install(&daten, &dialogs);
            rules->setClock([] { return QDateTime(QDate(2021, 1, 1), QTime(9, 0)); });
            ++ready;
            while (ready.load() < 2)
                std::this_thread::yield();
            for (int i = 0; i < kPerInstance; ++i) {
                daten.Fahrttab->append();
                daten.Fahrttab->cancel();
            }
        } catch (const DbError& e) {
            ADD_FAILURE() << e.message().toStdString();
            ++failures;
        }
    };
    std::thread a(instance);
    std::thread b(instance);
    a.join();
    b.join();
    ASSERT_EQ(failures.load(), 0);

    Connection c;
    c.open(ProgramSetup::databasePath(folder));
    QSqlQuery q = c.exec(QStringLiteral("SELECT AuftragNr FROM Fahrten"));
    QSet<qint64> numbers;
    int rows = 0;
    while (q.next()) {
        ++rows;
        numbers.insert(q.value(0).toLongLong());
    }
    EXPECT_EQ(rows, 2 * kPerInstance);
    EXPECT_EQ(numbers.size(), 2 * kPerInstance);
    EXPECT_TRUE(numbers.contains(44197001));
    EXPECT_TRUE(numbers.contains(44197000 + 2 * kPerInstance));
}
