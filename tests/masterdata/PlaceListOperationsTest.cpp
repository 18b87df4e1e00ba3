// The place list: a new place reaches every tariff version whatever filter the shared version
// table carries, in one transaction; deleting and renaming touch the list only; the status
// text follows every change.
#include "masterdata/PlaceListOperations.h"

#include "base/DbError.h"
#include "masterdata/TariffOperations.h"
#include "masterdata/TariffTestData.h"

#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TariffTestData;

namespace {

class PlaceListOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A fourth version, so that every one of 4 versions must receive the place.
        data.db().exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (3, 7)"));
        data.daten->Orthaupttab->refresh();
        data.daten->placeListStatus = [this](const QString& text) { status = text; };
    }
    void TearDown() override { data.daten->placeListStatus = nullptr; }

    TariffTestData data;
    PlaceListOperations ops{*data.daten};
    QString status;
};

TEST_F(PlaceListOperationsTest, NewPlaceGoesIntoTheListAndEveryVersionEvenWhenFiltered) {
    Table* versions = data.daten->Orthaupttab;
    versions->setFilter(QStringLiteral("Nr=1"));
    versions->setFiltered(true);
    ASSERT_EQ(versions->recordCount(), 1);

    ops.addPlace(QStringLiteral("Zülpich"));
    EXPECT_EQ(data.count(QStringLiteral("Ortsliste"), QStringLiteral("Ort = 'Zülpich'")), 1);
    EXPECT_EQ(
        data.column(QStringLiteral("SELECT Id FROM OrtsTarif WHERE Ort = 'Zülpich' ORDER BY Id")),
        (QVariantList{1, 2, 4, 7}));
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"),
                         QStringLiteral("Ort = 'Zülpich' AND Betrag IS NULL")),
              4);
    EXPECT_EQ(versions->recordCount(), 1) << "the filter stays";
    EXPECT_EQ(data.daten->Ortetab->recordCount(), 3) << "the shown version has the new place";
    EXPECT_EQ(data.daten->Ortslistetab->field(QStringLiteral("Ort")).asString(),
              QStringLiteral("Zülpich"));
    EXPECT_EQ(status, QStringLiteral("4 Orte"));
    EXPECT_EQ(ops.statusText(), QStringLiteral("4 Orte"));
}

TEST_F(PlaceListOperationsTest, TextIsTakenAsTypedWithoutTrimmingOrDuplicateCheck) {
    ops.addPlace(QStringLiteral(" Köln "));
    ops.addPlace(QStringLiteral("Köln"));
    EXPECT_EQ(data.count(QStringLiteral("Ortsliste"), QStringLiteral("Ort = ' Köln '")), 1);
    EXPECT_EQ(data.count(QStringLiteral("Ortsliste"), QStringLiteral("Ort = 'Köln'")), 2);
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 7")), 2);
}

TEST_F(PlaceListOperationsTest, NewPlaceThatFailsForOneVersionStoresNothing) {
    const QString before = data.dumpAll();
    status.clear();
    EXPECT_THROW(ops.addPlace(QString(51, QLatin1Char('x'))), DbError) << "too long a name";
    EXPECT_EQ(data.dumpAll(), before);
    data.failOn(QStringLiteral("CREATE TRIGGER boom BEFORE INSERT ON OrtsTarif WHEN NEW.Id = 7 "
                               "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
    EXPECT_THROW(ops.addPlace(QStringLiteral("Zülpich")), DbError);
    EXPECT_EQ(data.dumpAll(), before);
    EXPECT_EQ(data.daten->Ortslistetab->recordCount(), 3);
    EXPECT_EQ(ops.statusText(), QStringLiteral("3 Orte"));
    EXPECT_EQ(data.db().transactionDepth(), 0);
}

TEST_F(PlaceListOperationsTest, DeletedPlaceStaysInTheVersionsButNotInANewGroup) {
    Table* list = data.daten->Ortslistetab;
    ASSERT_TRUE(list->locate(QStringLiteral("Ort"), QStringLiteral("Bonn")));
    ops.deleteCurrentPlace();
    EXPECT_EQ(status, QStringLiteral("2 Orte"));
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Ort = 'Bonn'")), 2);

    TariffOperations tariffs(*data.daten);
    const int id = tariffs.newTariffGroup(9);
    EXPECT_EQ(
        data.column(QStringLiteral("SELECT Ort FROM OrtsTarif WHERE Id = ? ORDER BY rowid"), {id}),
        (QVariantList{QStringLiteral("Köln"), QStringLiteral("Düren")}));
}

TEST_F(PlaceListOperationsTest, RenamingInTheListLeavesTheOldNameInTheVersions) {
    Table* list = data.daten->Ortslistetab;
    ASSERT_TRUE(list->locate(QStringLiteral("Ort"), QStringLiteral("Bonn")));
    list->edit();
    list->setValue(QStringLiteral("Ort"), QStringLiteral("Bonn-Beuel"));
    list->post();
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Ort = 'Bonn'")), 2);
    EXPECT_EQ(data.count(QStringLiteral("OrtsTarif"), QStringLiteral("Ort = 'Bonn-Beuel'")), 0);
    EXPECT_EQ(status, QStringLiteral("3 Orte"));
}

} // namespace
