// The report data filter's computations: periods and their first and last day, the
// heading text and date condition, the funeral-director list with its stored choice and
// the place titles of the chosen tariff group.
#include "data/ProgramSetup.h"
#include "base/UserSettings.h"
#include "base/Utils.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "reports/ReportFilter.h"

#include <QSettings>
#include <gtest/gtest.h>

#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

using namespace kilvaro;
using Mode = ReportFilter::Mode;

namespace {

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        folder = program.path();
        ProgramSetup::createDefaults(folder);
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        // Two funeral directors of the same name in different tariff groups, one inactive,
        // one without a tariff group, one helper.
        c.exec(QStringLiteral(
            "INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
            "(1, 1, 'Zander', 1, 1), (2, 1, 'Arndt', 2, 1), (3, 1, 'Meier', 3, 0), "
            "(4, 1, 'Zander', 2, 1), (5, 1, 'Ohnegruppe', NULL, 1), (1000, 0, 'Berg', 0, 1)"));
        c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (2, ?, ?, 20), "
                              "(1, ?, ?, 11), (1, ?, ?, 10), (3, ?, ?, 30)"),
               {stored::dateText(QDate(2020, 1, 1)), stored::dateText(QDate(2030, 12, 31)),
                stored::dateText(QDate(2022, 1, 1)), stored::dateText(QDate(2030, 12, 31)),
                stored::dateText(QDate(2020, 1, 1)), stored::dateText(QDate(2021, 12, 31)),
                stored::dateText(QDate(2020, 1, 1)), stored::dateText(QDate(2030, 12, 31))});
        c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (10, 'Köln', 100), "
                              "(11, 'Köln', 110), (11, 'Bonn', 90), (20, 'Aachen', 80), "
                              "(20, 'Düren', 85), (30, 'Trier', 70)"));
    }

    std::unique_ptr<TDaten_A> openDaten() {
        auto d = std::make_unique<TDaten_A>(folder, &dialogs);
        d->DataModuleCreate();
        EXPECT_TRUE(d->isConnected()) << d->lastError().toStdString();
        return d;
    }

    int indexOfId(const ReportFilter& f, int id) { return int(f.BestatterIDs.indexOf(id)); }

    TempProgramFolder program;
    TempProgramFolder settingsFolder;
    QString folder;
    FakeDialogService dialogs;
};

/// A filter without data, for the period computations alone.
ReportFilter periodFilter(Mode mode, int month, const QString& year) {
    ReportFilter f(nullptr, nullptr);
    f.setMonthIndex(month - 1);
    f.setYearText(year);
    f.setMode(mode);
    return f;
}

} // namespace

TEST(FilterPeriod, MonthGivesFirstAndLastDayWithLeapYears) {
    ReportFilter f = periodFilter(Mode::Monat, 2, QStringLiteral("2024"));
    EXPECT_EQ(f.von(), QDate(2024, 2, 1));
    EXPECT_EQ(f.bis(), QDate(2024, 2, 29));
    EXPECT_EQ(MonthDays[1], 29) << "February of the shared month table follows the year";

    f.setYearText(QStringLiteral("2023"));
    EXPECT_EQ(f.bis(), QDate(2023, 2, 28));
    EXPECT_EQ(MonthDays[1], 28);

    // 2100 is divisible by 4 but no leap year: 29.02.2100 does not exist.
    f.setYearText(QStringLiteral("2100"));
    EXPECT_EQ(f.von(), QDate(2100, 2, 1));
    EXPECT_EQ(f.bis(), QDate(2100, 2, 28));
    f.setYearText(QStringLiteral("2000"));
    EXPECT_EQ(f.bis(), QDate(2000, 2, 29));

    f.setMonthIndex(11);
    EXPECT_EQ(f.von(), QDate(2000, 12, 1));
    EXPECT_EQ(f.bis(), QDate(2000, 12, 31));
    f.setMonthIndex(3);
    EXPECT_EQ(f.bis(), QDate(2000, 4, 30));

    // No month selected (or a position beyond the list) counts as January.
    f.setMonthIndex(-1);
    EXPECT_EQ(f.monthIndex(), -1);
    EXPECT_EQ(f.von(), QDate(2000, 1, 1));
    f.setMonthIndex(12);
    EXPECT_EQ(f.bis(), QDate(2000, 1, 31));
}

TEST(FilterPeriod, ResultsOfEachMode) {
    ReportFilter f = periodFilter(Mode::Monat, 3, QStringLiteral("2021"));
    f.computeResults();
    EXPECT_EQ(f.Zeittext, QStringLiteral("März 2021"));
    EXPECT_EQ(f.Datumfilter, QStringLiteral("DATUM >= #03/01/2021# AND DATUM <= #03/31/2021#"));

    f.setMode(Mode::Jahr);
    EXPECT_FALSE(f.monthEditable());
    EXPECT_TRUE(f.yearEditable());
    f.computeResults();
    EXPECT_EQ(f.Zeittext, QStringLiteral(" - 2021 - "));
    EXPECT_EQ(f.Datumfilter, QStringLiteral("DATUM >= #01/01/2021# AND DATUM <= #12/31/2021#"));

    // "beliebig" keeps the year's dates until they are typed over.
    f.setMode(Mode::Beliebig);
    EXPECT_TRUE(f.datesEditable());
    EXPECT_FALSE(f.yearEditable());
    EXPECT_EQ(f.von(), QDate(2021, 1, 1));
    f.setVon(QDate(2021, 5, 3));
    f.setBis(QDate(2021, 6, 9));
    f.computeResults();
    EXPECT_EQ(f.Zeittext, QStringLiteral("03.05.2021 - 09.06.2021"));
    EXPECT_EQ(f.Datumfilter, QStringLiteral("DATUM >= #05/03/2021# AND DATUM <= #06/09/2021#"));
    EXPECT_TRUE(f.inputError().isEmpty());

    f.setMode(Mode::AlleDaten);
    f.computeResults();
    EXPECT_EQ(f.Zeittext, QStringLiteral("Gesamtausdruck"));
    EXPECT_EQ(f.von(), QDate(1980, 1, 1));
    EXPECT_EQ(f.bis(), QDate(2222, 12, 31));
    EXPECT_EQ(f.Datumfilter, QStringLiteral("DATUM >= #01/01/1980# AND DATUM <= #12/31/2222#"));
}

TEST(FilterPeriod, AllDataAndFreeRangeIgnoreMonthAndYear) {
    ReportFilter f = periodFilter(Mode::AlleDaten, 5, QStringLiteral("2022"));
    f.setMonthIndex(6);
    f.setYearText(QStringLiteral("2023"));
    f.setVon(QDate(2023, 1, 1)); // not editable in this mode
    EXPECT_EQ(f.von(), QDate(1980, 1, 1));
    EXPECT_EQ(f.bis(), QDate(2222, 12, 31));

    f.setMode(Mode::Beliebig);
    f.setMonthIndex(1);
    f.setYearText(QStringLiteral("2024"));
    EXPECT_EQ(f.von(), QDate(1980, 1, 1)) << "free entry keeps its dates";

    // Back to "Monat": the month and year chosen meanwhile count.
    f.setMode(Mode::Monat);
    EXPECT_EQ(f.von(), QDate(2024, 2, 1));
    EXPECT_EQ(f.bis(), QDate(2024, 2, 29));
    f.setBis(QDate(2030, 1, 1));
    EXPECT_EQ(f.bis(), QDate(2024, 2, 29)) << "computed dates cannot be typed over";
}

TEST(FilterPeriod, BadYearComputesNothingAndIsReported) {
    ReportFilter f = periodFilter(Mode::Monat, 3, QStringLiteral("2021"));
    for (const char* bad : {"20a1", "", " ", "-5", "0", "2021.5"}) {
        EXPECT_FALSE(f.setYearText(QString::fromLatin1(bad))) << bad;
        EXPECT_EQ(f.von(), QDate(2021, 3, 1)) << bad;
        EXPECT_EQ(f.bis(), QDate(2021, 3, 31)) << bad;
        EXPECT_FALSE(f.inputError().isEmpty()) << bad;
    }
    f.setYearText(QStringLiteral("20a1"));
    EXPECT_EQ(f.inputError(), QStringLiteral("„20a1“ ist kein gültiges Jahr. Bitte ein Jahr von "
                                             "1980 bis 2128 eingeben."));
    // The results never name a period the condition does not cover.
    f.computeResults();
    EXPECT_EQ(f.Zeittext, QStringLiteral("März 2021"));
    EXPECT_EQ(f.Datumfilter, QStringLiteral("DATUM >= #03/01/2021# AND DATUM <= #03/31/2021#"));

    // Whole numbers outside the arrows' range (a year still being typed) compute nothing.
    for (const char* partial : {"2", "20", "202", "1979", "2129"}) {
        EXPECT_FALSE(f.setYearText(QString::fromLatin1(partial))) << partial;
        EXPECT_EQ(f.von(), QDate(2021, 3, 1)) << partial;
        EXPECT_FALSE(f.inputError().isEmpty()) << partial;
    }
    EXPECT_TRUE(f.setYearText(QStringLiteral(" 2128 ")));
    EXPECT_TRUE(f.inputError().isEmpty());
    EXPECT_TRUE(f.setYearText(QStringLiteral("1980")));
    EXPECT_TRUE(f.inputError().isEmpty());

    // The year does not count where it is not used.
    f.setYearText(QStringLiteral("xx"));
    f.setMode(Mode::AlleDaten);
    EXPECT_TRUE(f.inputError().isEmpty());
    f.setMode(Mode::Beliebig);
    EXPECT_TRUE(f.inputError().isEmpty());
}

TEST(FilterPeriod, FreeRangeEndingBeforeItStartsIsReported) {
    ReportFilter f = periodFilter(Mode::Beliebig, 1, QStringLiteral("2021"));
    f.setVon(QDate(2021, 6, 10));
    f.setBis(QDate(2021, 6, 9));
    EXPECT_EQ(f.inputError(), QStringLiteral("Der Zeitraum ist leer: das Datum „von“ (10.06.2021) "
                                             "liegt nach dem Datum „bis“ (09.06.2021)."));
    f.setBis(QDate(2021, 6, 10));
    EXPECT_TRUE(f.inputError().isEmpty()) << "a single day is a period";
    f.setVon(QDate()); // an invalid date is not taken
    EXPECT_EQ(f.von(), QDate(2021, 6, 10));
}

TEST_F(FilterTest, FillingListsActiveAddressesInNameOrderWithTheirIds) {
    auto daten = openDaten();
    UserSettings settings(settingsFolder.path());
    ReportFilter f(daten.get(), &settings);
    f.fill(QDate(2024, 2, 14));

    EXPECT_EQ(f.monthIndex(), 1);
    EXPECT_EQ(f.yearText(), QStringLiteral("2024"));
    EXPECT_EQ(f.von(), QDate(2024, 2, 1));
    EXPECT_EQ(f.bis(), QDate(2024, 2, 29));

    // Inactive "Meier" is never listed; names in order, IDs parallel.
    EXPECT_EQ(f.bestatterNames(), (QStringList{"Arndt", "Berg", "Ohnegruppe", "Zander", "Zander"}));
    ASSERT_EQ(f.BestatterIDs.size(), 5);
    EXPECT_EQ(f.BestatterIDs.at(0), 2);
    EXPECT_EQ(f.BestatterIDs.at(1), 1000);
    EXPECT_EQ(f.BestatterIDs.at(2), 5);
    EXPECT_FALSE(f.BestatterIDs.contains(3));
    EXPECT_EQ(daten->AdressTab->recNo(), 0) << "the shared address table did not move";

    // First use: the first entry is chosen and remembered.
    EXPECT_EQ(f.bestatterIndex(), 0);
    EXPECT_EQ(f.chosenBestatterId(), 2);
    EXPECT_EQ(settings.intValue(UserSettings::App::Kilv, QStringLiteral("Bestatterbox")), 0);
    EXPECT_EQ(f.titleList(), (QStringList{"Aachen", "Düren"}));
}

TEST_F(FilterTest, StoredChoiceIsReusedAndEveryChoiceStored) {
    {
        QSettings raw(settingsFolder.filePath(QStringLiteral("kilv.ini")), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Bestatterbox"), 3);
    }
    auto daten = openDaten();
    UserSettings settings(settingsFolder.path());
    ReportFilter f(daten.get(), &settings);
    f.fill(QDate(2024, 2, 14));
    EXPECT_EQ(f.bestatterIndex(), 3);
    EXPECT_EQ(f.chosenBestatterId(), 1);
    EXPECT_EQ(f.titleList(), (QStringList{"Köln"})) << "places of the group's first version";

    f.setBestatterIndex(4);
    EXPECT_EQ(settings.intValue(UserSettings::App::Kilv, QStringLiteral("Bestatterbox")), 4);

    // A second run (the next start) reuses the choice.
    ReportFilter next(daten.get(), &settings);
    next.fill(QDate(2024, 3, 1));
    EXPECT_EQ(next.bestatterIndex(), 4);
    EXPECT_EQ(next.chosenBestatterId(), 4);
}

TEST_F(FilterTest, UnusableStoredChoiceFallsBackToTheFirstEntry) {
    auto daten = openDaten();
    for (const QVariant& stored : {QVariant(99), QVariant(-4), QVariant(QStringLiteral("x"))}) {
        {
            QSettings raw(settingsFolder.filePath(QStringLiteral("kilv.ini")),
                          QSettings::IniFormat);
            raw.setValue(QStringLiteral("Bestatterbox"), stored);
        }
        UserSettings settings(settingsFolder.path());
        ReportFilter f(daten.get(), &settings);
        f.fill(QDate(2024, 2, 14));
        EXPECT_EQ(f.bestatterIndex(), 0) << stored.toString().toStdString();
        EXPECT_EQ(f.chosenBestatterId(), 2);
    }
}

TEST_F(FilterTest, TitlesComeFromTheChosenAddressesOwnTariffGroup) {
    auto daten = openDaten();
    UserSettings settings(settingsFolder.path());
    ReportFilter f(daten.get(), &settings);
    f.fill(QDate(2024, 2, 14));

    // Two addresses named "Zander": each offers the places of its own group.
    f.setBestatterIndex(indexOfId(f, 1));
    EXPECT_EQ(f.titleList(), (QStringList{"Köln"}));
    EXPECT_EQ(daten->Orthaupttab->filter(), QStringLiteral("Nr = 1"));
    EXPECT_TRUE(daten->Orthaupttab->filtered()) << "the versions stay filtered to the group";
    f.setBestatterIndex(indexOfId(f, 4));
    EXPECT_EQ(f.titleList(), (QStringList{"Aachen", "Düren"}));
    EXPECT_EQ(daten->Orthaupttab->filter(), QStringLiteral("Nr = 2"));
    EXPECT_EQ(daten->Orthaupttab->recordCount(), 1);

    // No tariff group, a helper of group 0 without versions: no titles, no broken filter.
    f.setBestatterIndex(indexOfId(f, 5));
    EXPECT_TRUE(f.titleList().isEmpty());
    EXPECT_FALSE(daten->Orthaupttab->filtered())
        << "the previous director's group must not stay selected for the tariff report";
    f.setBestatterIndex(indexOfId(f, 1000));
    EXPECT_TRUE(f.titleList().isEmpty());

    // An address deleted after the list was filled lends no other address's places.
    f.setBestatterIndex(indexOfId(f, 2));
    daten->Database->exec(QStringLiteral("DELETE FROM ADRESSEN WHERE ID = 2"));
    f.setBestatterIndex(indexOfId(f, 2));
    EXPECT_TRUE(f.titleList().isEmpty());
    EXPECT_EQ(f.chosenBestatterId(), 2) << "the list itself is filled once";

    f.setBestatterIndex(17);
    EXPECT_EQ(f.bestatterIndex(), -1);
    EXPECT_EQ(f.chosenBestatterId(), std::nullopt);
    EXPECT_TRUE(f.titleList().isEmpty());
}

TEST_F(FilterTest, WithoutDatabaseTheListsAreEmptyAndTheStoredChoiceKept) {
    {
        QSettings raw(settingsFolder.filePath(QStringLiteral("kilv.ini")), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Bestatterbox"), 3);
    }
    UserSettings settings(settingsFolder.path());
    TDaten_A closed(folder, &dialogs); // never opened
    ReportFilter f(&closed, &settings);
    f.fill(QDate(2023, 12, 24));
    EXPECT_EQ(f.von(), QDate(2023, 12, 1));
    EXPECT_TRUE(f.bestatterNames().isEmpty());
    EXPECT_EQ(f.bestatterIndex(), -1);
    EXPECT_EQ(f.chosenBestatterId(), std::nullopt);
    EXPECT_EQ(settings.intValue(UserSettings::App::Kilv, QStringLiteral("Bestatterbox")), 3);
    f.computeResults();
    EXPECT_EQ(f.Zeittext, QStringLiteral("Dezember 2023"));
}
