// The tariff commands on a real database: numbering of versions, new group, copy to a new
// period, delete, raise, export file, validity status, and that a failing statement in the
// middle of a command leaves the database as it was.
#include "masterdata/TariffOperations.h"

#include "base/DbError.h"
#include "masterdata/TariffTestData.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TariffTestData;

namespace {

QDate dateOf(const QVariant& stored) {
    return stored::parseDateTime(stored.toString()).date();
}

class TariffOperationsTest : public ::testing::Test {
protected:
    TariffTestData data;
    TariffOperations ops{*data.daten};
    Table* versions() { return data.daten->Orthaupttab; }
};

// --- input -------------------------------------------------------------------------------

TEST(TariffInputTest, NumbersAndDatesAreConvertedOrRefusedWithAGermanMessage) {
    EXPECT_EQ(TariffOperations::parseTariffNumber(QStringLiteral("3")), 3);
    EXPECT_EQ(TariffOperations::parseTariffNumber(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(TariffOperations::parseRaise(QStringLiteral("-2")), -2);
    for (const char* bad : {"abc", "1,5", "", "3a"}) {
        try {
            TariffOperations::parseTariffNumber(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("'%1' ist keine gültige ganze Zahl.").arg(QLatin1String(bad)));
        }
    }
    EXPECT_THROW(TariffOperations::parseRaise(QStringLiteral("zwei")), DbError);

    EXPECT_EQ(TariffOperations::parseRaise(QStringLiteral("2,5")), 2.5);
    EXPECT_EQ(TariffOperations::parseRaise(QStringLiteral("1.000")), 1000);

    const QDate today(2026, 12, 8);
    EXPECT_EQ(TariffOperations::parseDate(QStringLiteral("1.3.2024"), today), QDate(2024, 3, 1));
    EXPECT_EQ(TariffOperations::parseDate(QStringLiteral("01.03.24"), today), QDate(2024, 3, 1));
    EXPECT_EQ(TariffOperations::parseDate(QStringLiteral("01.03.99"), today), QDate(1999, 3, 1));
    for (const char* bad : {"31.02.2024", "abc", "", "1.3.", "2024-03-01"}) {
        try {
            TariffOperations::parseDate(QString::fromLatin1(bad), today);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("'%1' ist kein gültiges Datum.").arg(QLatin1String(bad)));
        }
    }
}

// --- numbering -----------------------------------------------------------------------------

TEST_F(TariffOperationsTest, NewVersionTakesTheSmallestFreeId) {
    EXPECT_EQ(ops.freeVersionId(), 3) << "IDs 1, 2 and 4 are in use";
    data.db().exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (5, 3)"));
    EXPECT_EQ(ops.freeVersionId(), 5);
    data.db().exec(QStringLiteral("DELETE FROM OTMAIN"));
    data.db().exec(QStringLiteral("DELETE FROM Tarif"));
    data.db().exec(QStringLiteral("DELETE FROM OrtsTarif"));
    EXPECT_EQ(ops.freeVersionId(), 1);
}

TEST_F(TariffOperationsTest, GroupNumbersListEachGroupOnceAscendingWithoutZeroOrEmpty) {
    EXPECT_EQ(ops.groupNumbers(), (QList<int>{1, 2})) << "group 2 has two versions";
    data.db().exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (0, 7)"));
    data.db().exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (NULL, 8)"));
    data.db().exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (10, 9)"));
    EXPECT_EQ(ops.groupNumbers(), (QList<int>{1, 2, 10})) << "numeric order, not text order";
}

TEST_F(TariffOperationsTest, AnIdStillCarriedByOrphanedRowsIsNotReused) {
    // Rows left behind by a version deleted elsewhere must not join the next new version.
    data.db().exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (3, 'Alt', 1)"));
    EXPECT_EQ(ops.freeVersionId(), 5);
    const int id = ops.newTariffGroup(9);
    EXPECT_EQ(id, 5);
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 5")), 3);
}

// --- new group -----------------------------------------------------------------------------

TEST_F(TariffOperationsTest, NewGroupHasOneEmptyAmountPerPlaceVat16EuroAndNoPeriod) {
    const int id = ops.newTariffGroup(7);
    EXPECT_EQ(id, 3);
    EXPECT_EQ(data.scalar(QStringLiteral("SELECT Nr FROM OTMAIN WHERE ID = 3")).toInt(), 7);
    EXPECT_TRUE(data.scalar(QStringLiteral("SELECT Anfang FROM OTMAIN WHERE ID = 3")).isNull());
    EXPECT_TRUE(data.scalar(QStringLiteral("SELECT Ende FROM OTMAIN WHERE ID = 3")).isNull());
    EXPECT_EQ(data.dump(QStringLiteral("Tarif")).split('\n').last(),
              QStringLiteral("3|16|<null>|<null>|<null>|<null>|<null>|EUR|<null>"));
    EXPECT_EQ(
        data.column(QStringLiteral("SELECT Ort FROM OrtsTarif WHERE Id = 3 ORDER BY rowid")),
        (QVariantList{QStringLiteral("Köln"), QStringLiteral("Bonn"), QStringLiteral("Düren")}));
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 3 AND Betrag IS NULL")),
              3);

    // The shared tables show the new version with its rows.
    EXPECT_EQ(versions()->field(QStringLiteral("ID")).asInteger(), 3);
    EXPECT_EQ(data.daten->Ortetab->recordCount(), 3);
    EXPECT_EQ(data.daten->Ortetab->recNo(), 0);
    EXPECT_EQ(data.daten->Tariftab->field(QStringLiteral("Waehrung")).asString(),
              QStringLiteral("EUR"));
    // Without a period the status reads "no longer valid" until an end date is entered.
    EXPECT_EQ(TariffOperations::validity(QDate(2024, 5, 1), QDate(), QDate()),
              TariffOperations::Validity::NoLongerValid);
}

TEST_F(TariffOperationsTest, NewGroupWithAnExistingNumberAddsAVersionToThatGroup) {
    ops.newTariffGroup(2);
    EXPECT_EQ(data.count(QStringLiteral("OTMAIN"), QStringLiteral("Nr = 2")), 3);
}

TEST_F(TariffOperationsTest, NewGroupThatFailsHalfwayStoresNothing) {
    const QString before = data.dumpAll();
    const int shown = versions()->recordCount();
    data.failOn(
        QStringLiteral("CREATE TRIGGER boom BEFORE INSERT ON OrtsTarif WHEN NEW.Ort = 'Düren' "
                       "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
    EXPECT_THROW(ops.newTariffGroup(7), DbError);
    EXPECT_EQ(data.dumpAll(), before);
    EXPECT_EQ(versions()->recordCount(), shown);
    EXPECT_EQ(data.db().transactionDepth(), 0);
}

// --- copy ----------------------------------------------------------------------------------

TEST_F(TariffOperationsTest, CopyEndsTheSourceTheDayBeforeAndStartsANewVersionToTheOpenEnd) {
    const int id = ops.copyVersion(2, QDate(2024, 3, 1));
    EXPECT_EQ(id, 3);
    EXPECT_EQ(dateOf(data.scalar(QStringLiteral("SELECT Ende FROM OTMAIN WHERE ID = 2"))),
              QDate(2024, 2, 29))
        << "leap year";
    EXPECT_EQ(dateOf(data.scalar(QStringLiteral("SELECT Anfang FROM OTMAIN WHERE ID = 2"))),
              QDate(2023, 1, 1));
    EXPECT_EQ(data.scalar(QStringLiteral("SELECT Nr FROM OTMAIN WHERE ID = 3")).toInt(), 2);
    EXPECT_EQ(dateOf(data.scalar(QStringLiteral("SELECT Anfang FROM OTMAIN WHERE ID = 3"))),
              QDate(2024, 3, 1));
    EXPECT_EQ(dateOf(data.scalar(QStringLiteral("SELECT Ende FROM OTMAIN WHERE ID = 3"))),
              QDate(2222, 12, 31));

    // A copy of the ended version in a common year ends it on 28 February.
    ops.copyVersion(4, QDate(2023, 3, 1));
    EXPECT_EQ(dateOf(data.scalar(QStringLiteral("SELECT Ende FROM OTMAIN WHERE ID = 4"))),
              QDate(2023, 2, 28))
        << "the source's earlier end does not matter";
    EXPECT_EQ(data.scalar(QStringLiteral("SELECT MAX(ID) FROM OTMAIN")).toInt(), 5);
}

TEST_F(TariffOperationsTest, CopyEmptiesZeroVatDressingNightAndHolidayButKeepsZeroCooling) {
    ops.copyVersion(2, QDate(2024, 3, 1));
    // Source: VAT 19, dressing 0, night 0, holiday 12.5, cooling 0, body bag 30, Covid 5.
    EXPECT_EQ(data.dump(QStringLiteral("Tarif")).split('\n').last(),
              QStringLiteral("3|19|<null>|<null>|12.5|0|30|EUR|5"));
    // The source keeps its zeros.
    EXPECT_EQ(data.scalar(QStringLiteral("SELECT Nacht FROM Tarif WHERE Id = 2")).toDouble(), 0.0);
    EXPECT_FALSE(data.scalar(QStringLiteral("SELECT Nacht FROM Tarif WHERE Id = 2")).isNull());

    data.db().exec(
        QStringLiteral("UPDATE Tarif SET Mehrwertsteuer = 0, Feiertag = 0 WHERE Id = 1"));
    ops.copyVersion(1, QDate(2024, 3, 1));
    EXPECT_EQ(data.dump(QStringLiteral("Tarif")).split('\n').last(),
              QStringLiteral("5|<null>|10|20|<null>|40|<null>|EUR|<null>"));
}

TEST_F(TariffOperationsTest, CopyTakesThePlaceAmountsInTheirOrderAndMovesToTheNewVersion) {
    ops.copyVersion(2, QDate(2024, 3, 1));
    EXPECT_EQ(data.column(QStringLiteral("SELECT Ort || '=' || IFNULL(Betrag, '') FROM OrtsTarif "
                                         "WHERE Id = 3 ORDER BY rowid")),
              (QVariantList{QStringLiteral("Köln=150.0"), QStringLiteral("Düren="),
                            QStringLiteral("Bonn=90.0")}));
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 2")), 3);
    EXPECT_EQ(versions()->field(QStringLiteral("ID")).asInteger(), 3);
    EXPECT_EQ(versions()->recordCount(), 4);
    EXPECT_EQ(data.daten->Ortetab->recordCount(), 3);
    EXPECT_EQ(data.daten->Tariftab->field(QStringLiteral("Mehrwertsteuer")).asInteger(), 19);
}

TEST_F(TariffOperationsTest, CopyThatFailsHalfwayLeavesTheSourceAsItWas) {
    const QString before = data.dumpAll();
    data.failOn(
        QStringLiteral("CREATE TRIGGER boom BEFORE INSERT ON OrtsTarif WHEN NEW.Ort = 'Bonn' "
                       "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
    versions()->locate(QStringLiteral("ID"), 2);
    try {
        ops.copyVersion(2, QDate(2024, 3, 1));
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Datenträger voll"))) << e.what();
    }
    EXPECT_EQ(data.dumpAll(), before) << "the source keeps its end, no new version";
    EXPECT_EQ(versions()->recordCount(), 3);
    EXPECT_EQ(versions()->field(QStringLiteral("ID")).asInteger(), 2);
    EXPECT_EQ(versions()->field(QStringLiteral("Ende")).asDateTime().date(), QDate(2222, 12, 31));
}

TEST_F(TariffOperationsTest, CopyOfAMissingVersionIsRefused) {
    EXPECT_THROW(ops.copyVersion(42, QDate(2024, 3, 1)), DbError);
    EXPECT_EQ(data.count(QStringLiteral("OTMAIN")), 3);
}

// --- delete --------------------------------------------------------------------------------

TEST_F(TariffOperationsTest, DeleteRemovesTheVersionWithItsSurchargesAndPlacesOnly) {
    ops.deleteVersion(2);
    EXPECT_EQ(data.count(QStringLiteral("OTMAIN"), QStringLiteral("ID = 2")), 0);
    EXPECT_EQ(data.count(QStringLiteral("Tarif"), QStringLiteral("Id = 2")), 0);
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 2")), 0);
    EXPECT_EQ(data.count(QStringLiteral("OTMAIN")), 2);
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif")), 3);
    EXPECT_EQ(data.count(QStringLiteral("ADRESSEN"), QStringLiteral("Tarifgruppe = 2")), 3)
        << "funeral directors keep their group";
    EXPECT_EQ(versions()->recordCount(), 2);
    EXPECT_EQ(ops.freeVersionId(), 2);
}

TEST_F(TariffOperationsTest, DeleteThatFailsAtTheLastStepKeepsThePlacesAndSurcharges) {
    const QString before = data.dumpAll();
    data.failOn(QStringLiteral("CREATE TRIGGER boom BEFORE DELETE ON OTMAIN "
                               "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
    EXPECT_THROW(ops.deleteVersion(2), DbError);
    EXPECT_EQ(data.dumpAll(), before);
    EXPECT_EQ(data.daten->Ortetab->isOpen(), true);
}

// --- raise ---------------------------------------------------------------------------------

TEST_F(TariffOperationsTest, RaiseByMinusTwoLowersEveryAmountOfTheVersionOnly) {
    ops.raiseAmounts(2, -2);
    EXPECT_EQ(
        data.column(QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id = 2 ORDER BY rowid")),
        (QVariantList{148.0, -2.0, 88.0}))
        << "an empty amount counts as 0";
    EXPECT_EQ(
        data.column(QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id <> 2 ORDER BY rowid")),
        (QVariantList{100.0, 80.0, 120.0}));
    EXPECT_EQ(data.scalar(QStringLiteral("SELECT Feiertag FROM Tarif WHERE Id = 2")).toDouble(),
              12.5);
}

TEST_F(TariffOperationsTest, RaiseThatFailsOnOneRowChangesNoRow) {
    const QString before = data.dumpAll();
    data.failOn(
        QStringLiteral("CREATE TRIGGER boom BEFORE UPDATE ON OrtsTarif WHEN NEW.Ort = 'Bonn' "
                       "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
    EXPECT_THROW(ops.raiseAmounts(2, 5), DbError);
    EXPECT_EQ(data.dumpAll(), before);
}

TEST_F(TariffOperationsTest, APendingAmountIsStoredBeforeTheRaise) {
    versions()->locate(QStringLiteral("ID"), 2);
    Table* places = data.daten->Ortetab;
    places->first();
    places->edit();
    places->setValue(QStringLiteral("Betrag"), 200.0);
    ops.raiseAmounts(2, 5);
    EXPECT_EQ(
        data.scalar(QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id = 2 AND Ort = 'Köln'"))
            .toDouble(),
        205.0);
    EXPECT_FALSE(places->isEditing());
    EXPECT_DOUBLE_EQ(places->field(QStringLiteral("Betrag")).asFloat(), 205.0);
}

// --- export --------------------------------------------------------------------------------

TEST(TariffExportFormatTest, AmountsUseTheFixedScientificForm) {
    EXPECT_EQ(TariffOperations::scientific(150), QStringLiteral(" 1.50000000000000E+0002"));
    EXPECT_EQ(TariffOperations::scientific(0), QStringLiteral(" 0.00000000000000E+0000"));
    EXPECT_EQ(TariffOperations::scientific(-2.5), QStringLiteral("-2.50000000000000E+0000"));
    EXPECT_EQ(TariffOperations::scientific(0.001), QStringLiteral(" 1.00000000000000E-0003"));
    EXPECT_EQ(TariffOperations::scientific(1234.5678), QStringLiteral(" 1.23456780000000E+0003"));
    EXPECT_EQ(TariffOperations::scientific(9.999999999999999),
              QStringLiteral(" 1.00000000000000E+0001"));
    for (double v : {150.0, 0.0, -2.5, 0.001, 1e-300, 1e300})
        EXPECT_EQ(TariffOperations::scientific(v).size(), 23) << v;
}

TEST_F(TariffOperationsTest, ExportWritesWindows1252LinesWithCrLf) {
    data.db().exec(
        QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (2, 'Jülich;Nord', -2.5)"));
    const QString path = data.folder.filePath(QStringLiteral("tarif2.txt"));
    ops.exportAmounts(2, path);
    QByteArray expected("Ort;Betrag\r\n"
                        "K\xf6ln; 1.50000000000000E+0002\r\n"
                        "D\xfcren; 0.00000000000000E+0000\r\n"
                        "Bonn; 9.00000000000000E+0001\r\n"
                        "J\xfclich;Nord;-2.50000000000000E+0000\r\n");
    EXPECT_EQ(data.folder.readFile(QStringLiteral("tarif2.txt")), expected);
}

TEST_F(TariffOperationsTest, ExportOfAVersionWithoutPlacesWritesTheHeaderOnly) {
    data.db().exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (8, 3)"));
    EXPECT_EQ(ops.exportBytes(3), QByteArray("Ort;Betrag\r\n"));
}

TEST_F(TariffOperationsTest, ExportToAFolderThatCannotBeWrittenFailsAndKeepsTheOldFile) {
    const QString missing = data.folder.filePath(QStringLiteral("fehlt/tarif2.txt"));
    try {
        ops.exportAmounts(2, missing);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("kann nicht geschrieben werden")))
            << e.what();
    }
    EXPECT_FALSE(QFile::exists(missing));

    // A folder in place of the file is refused the same way.
    EXPECT_THROW(ops.exportAmounts(2, data.folder.filePath(QStringLiteral("export"))), DbError);
    EXPECT_THROW(ops.exportAmounts(2, QString()), DbError);
}

// --- validity ------------------------------------------------------------------------------

TEST(TariffValidityTest, BothEndsAreValidAndTheEndTestWins) {
    using V = TariffOperations::Validity;
    const QDate start(2024, 1, 1), end(2024, 6, 30);
    EXPECT_EQ(TariffOperations::validity(end, start, end), V::Valid) << "Ende today";
    EXPECT_EQ(TariffOperations::validity(end.addDays(1), start, end), V::NoLongerValid)
        << "tomorrow";
    EXPECT_EQ(TariffOperations::validity(start, start, end), V::Valid);
    EXPECT_EQ(TariffOperations::validity(start.addDays(-1), start, end), V::NotYetValid);
    EXPECT_EQ(TariffOperations::validity(end, start, QDate()), V::NoLongerValid) << "no end";
    EXPECT_EQ(TariffOperations::validity(end, QDate(), end), V::Valid) << "no start";
    // A start after the end: both tests hold, the end test wins.
    EXPECT_EQ(TariffOperations::validity(QDate(2024, 3, 1), QDate(2024, 5, 1), QDate(2024, 2, 1)),
              V::NoLongerValid);

    EXPECT_EQ(TariffOperations::validityText(V::Valid), QStringLiteral("Tarif ist gültig"));
    EXPECT_EQ(TariffOperations::validityText(V::NotYetValid),
              QStringLiteral("Tarif noch nicht gültig"));
    EXPECT_EQ(TariffOperations::validityText(V::NoLongerValid),
              QStringLiteral("Tarif nicht mehr gültig"));
    EXPECT_NE(TariffOperations::validityColor(V::Valid),
              TariffOperations::validityColor(V::NotYetValid));
    EXPECT_NE(TariffOperations::validityColor(V::Valid),
              TariffOperations::validityColor(V::NoLongerValid));
}

} // namespace
