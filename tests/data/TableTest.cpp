#include "support/TableTestDb.h"

#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/Table.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::TableTestDb;

namespace {

void addAddress(Connection& c, int id, int typ, const QString& name) {
    c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name) VALUES (?, ?, ?)"),
           {id, typ, name});
}

void addTrip(Connection& c, const QString& date, const QVariant& bestatter,
             const QVariant& pauschale, int auftragNr) {
    c.exec(QStringLiteral("INSERT INTO Fahrten (Datum, Bestatter, Ortspauschale, AuftragNr) "
                          "VALUES (?, ?, ?, ?)"),
           {date, bestatter, pauschale, auftragNr});
}

QStringList names(Table& t) {
    QStringList out;
    for (int i = 0; i < t.recordCount(); ++i)
        out << t.valueAt(i, QStringLiteral("Name")).toString();
    return out;
}

/// Counts the emissions of a signal (and keeps their first arguments as text).
struct Counter {
    QStringList args;
    int count() const { return int(args.size()); }
};

QVariant scalar(Connection& c, const QString& sql, const QVariantList& binds = {}) {
    QSqlQuery q = c.exec(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

struct AddressFixture : ::testing::Test {
    TableTestDb db;
    void SetUp() override {
        addAddress(db.conn(), 1, 1, QStringLiteral("Zander"));
        addAddress(db.conn(), 2, 0, QStringLiteral("Adler"));
        addAddress(db.conn(), 3, 1, QStringLiteral("Müller"));
        addAddress(db.conn(), 4, 0, QStringLiteral("Kranz"));
        addAddress(db.conn(), 5, 1, QStringLiteral("Berger"));
    }
};

} // namespace

TEST_F(AddressFixture, FilterOnOffAndBadFilterKeepsPrevious) {
    Table t(&db.conn(), QStringLiteral("adressen"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.open();
    EXPECT_EQ(t.tableName(), QStringLiteral("ADRESSEN"));
    EXPECT_EQ(t.recordCount(), 5);

    t.setFilter(QStringLiteral("Typ = 1"));
    EXPECT_EQ(t.recordCount(), 5) << "filter text alone does not filter";
    t.setFiltered(true);
    EXPECT_EQ(names(t), (QStringList{"Berger", "Müller", "Zander"}));
    t.last();
    t.setFilter(QStringLiteral("Typ = 0"));
    EXPECT_EQ(names(t), (QStringList{"Adler", "Kranz"}));
    EXPECT_EQ(t.recNo(), 0) << "a new filter moves to the first row";

    EXPECT_THROW(t.setFilter(QStringLiteral("NoSuchColumn = 1")), DbError);
    EXPECT_EQ(t.filter(), QStringLiteral("Typ = 0"));
    EXPECT_EQ(names(t), (QStringList{"Adler", "Kranz"}));

    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(AddressFixture, OrderChangeKeepsCurrentRow) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.open();
    EXPECT_EQ(names(t), (QStringList{"Zander", "Adler", "Müller", "Kranz", "Berger"}));
    ASSERT_TRUE(t.locate(QStringLiteral("Name"), QStringLiteral("kranz")));
    t.setOrder(QStringLiteral("[Name] ASC"));
    EXPECT_EQ(names(t), (QStringList{"Adler", "Berger", "Kranz", "Müller", "Zander"}));
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Kranz"));
    EXPECT_EQ(t.recNo(), 2);
}

TEST_F(AddressFixture, MovingBofEofLikeTheOldEngine) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.open();
    QStringList seen;
    for (t.first(); !t.eof(); t.next())
        seen << t.field(QStringLiteral("Name")).asString();
    EXPECT_EQ(seen, (QStringList{"Adler", "Berger", "Kranz", "Müller", "Zander"}));
    EXPECT_EQ(t.recNo(), 4) << "next on the last row stays there";

    seen.clear();
    for (t.last(); !t.bof(); t.prior())
        seen << t.field(QStringLiteral("Name")).asString();
    EXPECT_EQ(seen.size(), 5);
    EXPECT_EQ(t.recNo(), 0);

    t.moveBy(2);
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_FALSE(t.bof());
    EXPECT_FALSE(t.eof());
    t.moveBy(10);
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 4);

    t.setFilter(QStringLiteral("Typ = 7"));
    t.setFiltered(true);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.bof());
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), -1);
    EXPECT_TRUE(t.value(QStringLiteral("Name")).isNull());
    EXPECT_FALSE(t.value(QStringLiteral("Aktiv")).toBool());
    int loops = 0;
    for (t.first(); !t.eof(); t.next())
        ++loops;
    EXPECT_EQ(loops, 0);
    EXPECT_FALSE(t.findFirst());
}

TEST_F(AddressFixture, UnknownTableAndFieldAreRefused) {
    Table missing(&db.conn(), QStringLiteral("Gibtsnicht"));
    try {
        missing.open();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Die Tabelle 'Gibtsnicht' gibt es nicht."));
    }
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.open();
    try {
        t.value(QStringLiteral("Nix"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Feld 'Nix' nicht gefunden."));
    }
    try {
        t.setValue(QStringLiteral("Name"), QStringLiteral("X"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Der Datensatz ist nicht im Bearbeitungs- oder Einfügemodus."));
    }
}

TEST_F(AddressFixture, EventOrderOfInsertPostCancelDelete) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.open();
    QStringList log;
    auto rec = [&log](const char* n) {
        return [&log, n](Table&) { log << QString::fromLatin1(n); };
    };
    t.beforeInsert = rec("beforeInsert");
    t.onNewRecord = [&log](Table& tt) {
        log << QStringLiteral("onNewRecord");
        EXPECT_EQ(tt.state(), TableState::Insert);
        tt.setValue(QStringLiteral("Typ"), 1);
    };
    t.afterInsert = rec("afterInsert");
    t.beforePost = rec("beforePost");
    t.afterPost = rec("afterPost");
    t.beforeDelete = rec("beforeDelete");
    t.afterDelete = rec("afterDelete");
    t.afterScroll = rec("afterScroll");
    Counter changed;
    QObject::connect(&db.conn(), &Connection::tableChanged,
                     [&](const QString& n) { changed.args << n; });

    t.locate(QStringLiteral("Name"), QStringLiteral("Kranz"));
    log.clear();
    t.insert();
    EXPECT_EQ(log, (QStringList{"beforeInsert", "onNewRecord", "afterInsert", "afterScroll"}));
    EXPECT_EQ(t.recNo(), 2) << "insert shows the new row at the current position";
    EXPECT_EQ(t.recordCount(), 6);
    EXPECT_FALSE(t.value(QStringLiteral("Aktiv")).isNull()) << "booleans start false";
    t.setValue(QStringLiteral("Name"), QStringLiteral("Neumann"));
    t.setValue(QStringLiteral("ID"), 9);
    log.clear();
    t.post();
    EXPECT_EQ(log, (QStringList{"beforePost", "afterPost"}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(t.state(), TableState::Browse);
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Neumann"));
    EXPECT_EQ(t.recNo(), 4) << "stored row sits at its sorted position";
    EXPECT_EQ(scalar(db.conn(), "SELECT Typ FROM ADRESSEN WHERE ID = 9").toInt(), 1);
    EXPECT_EQ(scalar(db.conn(), "SELECT Aktiv FROM ADRESSEN WHERE ID = 9").toInt(), 0);

    log.clear();
    t.append();
    EXPECT_EQ(t.recNo(), 6);
    t.cancel();
    EXPECT_EQ(t.recordCount(), 6);
    EXPECT_EQ(t.state(), TableState::Browse);
    EXPECT_EQ(log, (QStringList{"beforeInsert", "onNewRecord", "afterInsert", "afterScroll",
                                "afterScroll"}));

    t.edit();
    t.setValue(QStringLiteral("Name"), QStringLiteral("Zzz"));
    t.cancel();
    EXPECT_EQ(scalar(db.conn(), "SELECT count(*) FROM ADRESSEN WHERE Name = 'Zzz'").toInt(), 0);

    log.clear();
    t.first();
    EXPECT_EQ(log, (QStringList{"afterScroll"}));
    log.clear();
    t.remove();
    EXPECT_EQ(log, (QStringList{"beforeDelete", "afterDelete", "afterScroll"}));
}

TEST_F(AddressFixture, MovingPostsPendingEditAndEmptyTextStoresNull) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), TableState::Edit);
    t.setValue(QStringLiteral("Ort"), QStringLiteral("Bonn"));
    t.field(QStringLiteral("Name")).setValue(QString());
    t.next();
    EXPECT_EQ(t.state(), TableState::Browse);
    EXPECT_EQ(scalar(db.conn(), "SELECT count(*) FROM ADRESSEN WHERE Name IS NULL AND Ort = 'Bonn'")
                  .toInt(),
              1);
    EXPECT_EQ(scalar(db.conn(), "SELECT count(*) FROM ADRESSEN WHERE Name = ''").toInt(), 0);
    EXPECT_THROW(t.post(), DbError) << "post in browse mode";
}

TEST_F(AddressFixture, RefusedStoreKeepsRowInEditWithTypedValues) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.open();
    t.beforePost = [](Table& tt) {
        if (tt.value(QStringLiteral("Name")).toString() == QLatin1String("Verboten"))
            throw DbError(QStringLiteral("Nein."));
    };
    t.edit();
    t.setValue(QStringLiteral("Name"), QStringLiteral("Verboten"));
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), TableState::Edit);
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Verboten"));
    EXPECT_THROW(t.next(), DbError) << "moving must not drop the refused row";
    EXPECT_EQ(t.state(), TableState::Edit);
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_THROW(t.setValue(QStringLiteral("Typ"), QStringLiteral("abc")), DbError);
    EXPECT_EQ(t.value(QStringLiteral("Typ")).toInt(), 1) << "failed conversion keeps the value";
    t.setValue(QStringLiteral("Name"), QStringLiteral("Erlaubt"));
    t.post();
    EXPECT_EQ(scalar(db.conn(), "SELECT Name FROM ADRESSEN WHERE ID = 1").toString(),
              QStringLiteral("Erlaubt"));

    // The engine refuses a duplicate invoice number: the row stays in insert.
    Table r(&db.conn(), QStringLiteral("Rechnung"));
    r.open();
    r.append();
    r.setValue(QStringLiteral("RecNr"), 100);
    r.post();
    r.append();
    r.setValue(QStringLiteral("RecNr"), 100);
    r.setValue(QStringLiteral("Zahlungsart"), QStringLiteral("bar"));
    EXPECT_THROW(r.post(), DbError);
    EXPECT_EQ(r.state(), TableState::Insert);
    EXPECT_EQ(r.value(QStringLiteral("Zahlungsart")).toString(), QStringLiteral("bar"));
    r.setValue(QStringLiteral("RecNr"), 101);
    r.post();
    EXPECT_EQ(r.recordCount(), 2);
    EXPECT_GT(r.value(QStringLiteral("ID")).toInt(), 0) << "autoincrement read back";
}

TEST_F(AddressFixture, DeletePositioning) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.open();
    t.setRecNo(1); // Berger
    t.remove();
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Kranz"));
    EXPECT_EQ(t.recordCount(), 4);
    t.last();
    t.remove();
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Müller"));
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(scalar(db.conn(), "SELECT count(*) FROM ADRESSEN").toInt(), 3);
    // Deleting everything in a loop ends on an empty set.
    t.first();
    while (!t.isEmpty())
        t.remove();
    EXPECT_TRUE(t.bof() && t.eof());
    EXPECT_THROW(t.remove(), DbError);
}

TEST_F(AddressFixture, LocateWithoutRegardToCase) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.open();
    EXPECT_TRUE(t.locate(QStringLiteral("name"), QStringLiteral("MÜLLER")));
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_FALSE(t.locate(QStringLiteral("Name"), QStringLiteral("Niemand")));
    EXPECT_EQ(t.recNo(), 3) << "stays put";
    EXPECT_TRUE(t.locate(QStringLiteral("ID"), 2));
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Adler"));
    t.setFilter(QStringLiteral("Typ = 1"));
    t.setFiltered(true);
    EXPECT_FALSE(t.locate(QStringLiteral("ID"), 2)) << "only the current set is searched";
}

TEST_F(AddressFixture, DisableControlsSuppressesSignals) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.open();
    Counter data, set, state;
    QObject::connect(&t, &Table::dataChanged, [&](const QString& f) { data.args << f; });
    QObject::connect(&t, &Table::setChanged, [&] { set.args << QString(); });
    QObject::connect(&t, &Table::stateChanged, [&] { state.args << QString(); });
    t.disableControls();
    t.disableControls();
    t.next();
    t.setFilter(QStringLiteral("Typ = 1"));
    t.setFiltered(true);
    t.edit();
    t.setValue(QStringLiteral("Ort"), QStringLiteral("Köln"));
    t.post();
    t.enableControls();
    EXPECT_TRUE(t.controlsDisabled());
    EXPECT_EQ(data.count() + set.count() + state.count(), 0);
    t.enableControls();
    EXPECT_FALSE(t.controlsDisabled());
    EXPECT_EQ(set.count(), 1);
    EXPECT_EQ(data.count(), 1);
    EXPECT_EQ(data.args.at(0), QString());
    t.next();
    EXPECT_EQ(data.count(), 2);
}

TEST_F(AddressFixture, RowLeavingTheFilterStaysUntilRefresh) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.setFilter(QStringLiteral("Typ = 1"));
    t.setFiltered(true);
    t.open();
    ASSERT_EQ(names(t), (QStringList{"Berger", "Müller", "Zander"}));
    t.setRecNo(1);
    t.edit();
    t.setValue(QStringLiteral("Typ"), 0);
    t.post();
    EXPECT_EQ(names(t), (QStringList{"Berger", "Müller", "Zander"}));
    EXPECT_EQ(t.value(QStringLiteral("Name")).toString(), QStringLiteral("Müller"));
    EXPECT_EQ(t.value(QStringLiteral("Typ")).toInt(), 0);
    // A second store elsewhere keeps it too.
    t.first();
    t.edit();
    t.setValue(QStringLiteral("Ort"), QStringLiteral("Bonn"));
    t.post();
    EXPECT_EQ(names(t), (QStringList{"Berger", "Müller", "Zander"}));
    t.refresh();
    EXPECT_EQ(names(t), (QStringList{"Berger", "Zander"}));
}

TEST_F(AddressFixture, StoringARowDeletedByAnotherUserFails) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.open();
    t.edit();
    t.setValue(QStringLiteral("Name"), QStringLiteral("Neu"));
    db.conn().exec(QStringLiteral("DELETE FROM ADRESSEN WHERE ID = 1"));
    try {
        t.post();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz "
                                 "gelöscht. Ihre Änderung wurde nicht gespeichert."));
    }
    // The row is gone: it leaves the set and nothing is written back.
    EXPECT_EQ(t.state(), TableState::Browse);
    EXPECT_EQ(t.recordCount(), 4);
    EXPECT_EQ(scalar(db.conn(), "SELECT count(*) FROM ADRESSEN").toInt(), 4);
}

TEST(TableFields, EveryTextIsCheckedAgainstItsColumnBeforeAnythingIsWritten) {
    TableTestDb db;
    const QString route = QString(30, QLatin1Char('A')) + QStringLiteral(" - ") +
                          QString(30, QLatin1Char('B')); // as "Fahrt in Preisliste" composes it
    Table prices(&db.conn(), QStringLiteral("Preisliste"));
    prices.open();
    prices.append();
    prices.setValue(QStringLiteral("Ort"), route);
    prices.setValue(QStringLiteral("Richtpreis"), 80);
    try {
        prices.post();
        ADD_FAILURE() << "stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Der Text für 'Ort' ist zu lang: höchstens 50 "
                                              "Zeichen, eingegeben sind 63."));
    }
    EXPECT_EQ(prices.state(), TableState::Insert);
    EXPECT_EQ(scalar(db.conn(), "SELECT count(*) FROM Preisliste").toInt(), 0);
    prices.setValue(QStringLiteral("Ort"), route.left(50));
    prices.post();
    EXPECT_EQ(scalar(db.conn(), "SELECT Ort FROM Preisliste").toString(), route.left(50));

    // A change: no column of the row is written. A text stored too long by an older program
    // does not stop a store of other columns.
    addTrip(db.conn(), QStringLiteral("2021-03-15 00:00:00"), 17, 80.0, 44270001);
    db->exec(QStringLiteral("UPDATE Fahrten SET Zielort = ?"), {QString(60, QLatin1Char('Z'))});
    Table trips(&db.conn(), QStringLiteral("Fahrten"));
    trips.open();
    trips.edit();
    trips.setValue(QStringLiteral("Startort"), QStringLiteral("Bonn"));
    trips.setValue(QStringLiteral("Personen"), QString(51, QLatin1Char('P')));
    try {
        trips.post();
        ADD_FAILURE() << "stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Der Text für 'Personen' ist zu lang: höchstens 50 "
                                              "Zeichen, eingegeben sind 51."));
    }
    EXPECT_EQ(trips.state(), TableState::Edit);
    EXPECT_TRUE(scalar(db.conn(), "SELECT Startort FROM Fahrten").isNull());
    trips.setValue(QStringLiteral("Personen"), QStringLiteral("Meier"));
    trips.post();
    EXPECT_EQ(scalar(db.conn(), "SELECT Startort || Personen FROM Fahrten").toString(),
              QStringLiteral("BonnMeier"));
}

TEST(TableMasterDetail, DetailFollowsMasterAndKeysInsertedRows) {
    TableTestDb db;
    Connection& c = db.conn();
    c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (1, '2020-01-01 "
                          "00:00:00', '2020-12-31 00:00:00', 10)"));
    c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (1, '2021-01-01 "
                          "00:00:00', '2021-12-31 00:00:00', 11)"));
    c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (2, '2021-01-01 "
                          "00:00:00', '2021-12-31 00:00:00', NULL)"));
    for (int id : {10, 10, 11})
        c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (?, 'Bonn', 50)"),
               {id});

    Table master(&c, QStringLiteral("OTMAIN"));
    master.setOrder(QStringLiteral("[Nr] ASC, [Anfang] ASC"));
    Table detail(&c, QStringLiteral("OrtsTarif"));
    detail.setMasterLink(&master, QStringLiteral("Id"), QStringLiteral("ID"));
    detail.open();
    EXPECT_TRUE(detail.isEmpty()) << "closed master: empty detail";
    master.open();
    EXPECT_EQ(detail.recordCount(), 2);
    master.next();
    EXPECT_EQ(detail.recordCount(), 1);
    master.next();
    EXPECT_TRUE(detail.isEmpty()) << "null key: empty detail";

    master.first();
    detail.append();
    EXPECT_EQ(detail.value(QStringLiteral("Id")).toInt(), 10);
    detail.setValue(QStringLiteral("Ort"), QStringLiteral("Köln"));
    master.next(); // posts the detail first
    EXPECT_EQ(
        c.exec(QStringLiteral("SELECT count(*) FROM OrtsTarif WHERE Id = 10 AND Ort = 'Köln'"))
            .next(),
        true);
    EXPECT_EQ(scalar(c, "SELECT count(*) FROM OrtsTarif WHERE Id = 10").toInt(), 3);
    EXPECT_EQ(detail.recordCount(), 1);

    // The master's key changes by a store: the detail follows.
    master.edit();
    master.setValue(QStringLiteral("ID"), 10);
    master.post();
    EXPECT_EQ(detail.recordCount(), 3);

    master.insert();
    EXPECT_TRUE(detail.isEmpty());
    master.cancel();
    EXPECT_EQ(detail.recordCount(), 3);
}

TEST(TableFields, CalculatedAndLookupFields) {
    TableTestDb db;
    Connection& c = db.conn();
    addAddress(c, 1, 1, QStringLiteral("Pietät Abend"));
    addAddress(c, 2, 0, QStringLiteral("Hilfe"));
    addTrip(c, QStringLiteral("2021-03-01 00:00:00"), 1, 100.0, 1);
    addTrip(c, QStringLiteral("2021-03-02 00:00:00"), QVariant(), 80.0, 2);
    c.exec(QStringLiteral("UPDATE Fahrten SET Nacht = 20, Aushilfe = 2 WHERE AuftragNr = 1"));

    Table adressen(&c, QStringLiteral("ADRESSEN"));
    Table trips(&c, QStringLiteral("Fahrten"));
    trips.setOrder(QStringLiteral("[Datum] ASC"));
    int calcRuns = 0;
    trips.addCalculatedField(QStringLiteral("Gesamt"), ColumnType::Float);
    trips.addLookupField(QStringLiteral("Bname"), QStringLiteral("Bestatter"), &adressen,
                         QStringLiteral("ID"), QStringLiteral("Name"));
    trips.addLookupField(QStringLiteral("Aname"), QStringLiteral("Aushilfe"), &adressen,
                         QStringLiteral("ID"), QStringLiteral("Name"));
    trips.onCalcFields = [&calcRuns](Table& t) {
        ++calcRuns;
        EXPECT_EQ(t.state(), TableState::CalcFields);
        double sum = 0;
        for (const char* f :
             {"Ortspauschale", "Ankleiden", "Nacht", "Feiertag", "Kuehlung", "UHuelle", "Covid19"})
            sum += t.field(QString::fromLatin1(f)).asFloat();
        t.setValue(QStringLiteral("Gesamt"), sum);
    };
    trips.open();
    EXPECT_EQ(trips.fieldNames().mid(trips.fieldNames().size() - 3),
              (QStringList{"Gesamt", "Bname", "Aname"}));
    EXPECT_DOUBLE_EQ(trips.value(QStringLiteral("Gesamt")).toDouble(), 120.0);
    EXPECT_EQ(trips.value(QStringLiteral("Bname")).toString(), QStringLiteral("Pietät Abend"));
    EXPECT_EQ(trips.value(QStringLiteral("Aname")).toString(), QStringLiteral("Hilfe"));
    EXPECT_DOUBLE_EQ(trips.valueAt(1, QStringLiteral("Gesamt")).toDouble(), 80.0)
        << "all surcharges empty: Gesamt equals Ortspauschale";
    EXPECT_TRUE(trips.valueAt(1, QStringLiteral("Bname")).isNull());
    EXPECT_TRUE(trips.valueAt(1, QStringLiteral("Aname")).isNull());
    EXPECT_EQ(trips.state(), TableState::Browse);

    trips.edit();
    const int before = calcRuns;
    trips.setValue(QStringLiteral("Feiertag"), QStringLiteral("5,5"));
    EXPECT_GT(calcRuns, before);
    EXPECT_DOUBLE_EQ(trips.value(QStringLiteral("Gesamt")).toDouble(), 125.5);
    EXPECT_DOUBLE_EQ(trips.valueAt(0, QStringLiteral("Gesamt")).toDouble(), 125.5)
        << "the grid sees the edit buffer";
    EXPECT_THROW(trips.setValue(QStringLiteral("Gesamt"), 1), DbError);
    trips.setValue(QStringLiteral("Bestatter"), 2);
    EXPECT_EQ(trips.value(QStringLiteral("Bname")).toString(), QStringLiteral("Hilfe"));
    trips.cancel();
    EXPECT_DOUBLE_EQ(trips.value(QStringLiteral("Gesamt")).toDouble(), 120.0);

    // The lookup follows changes of the address table made through another table object.
    adressen.open();
    adressen.edit();
    adressen.setValue(QStringLiteral("Name"), QStringLiteral("Pietät Morgen"));
    adressen.post();
    EXPECT_EQ(trips.value(QStringLiteral("Bname")).toString(), QStringLiteral("Pietät Morgen"));
}

TEST(TableFields, DatesAndTimesRoundTrip) {
    TableTestDb db;
    Table trips(&db.conn(), QStringLiteral("Fahrten"));
    trips.open();
    trips.append();
    trips.setValue(QStringLiteral("Datum"), QDate(2021, 3, 15));
    trips.setValue(QStringLiteral("Zeit"), QTime(14, 30));
    trips.post();
    EXPECT_EQ(scalar(db.conn(), "SELECT Datum FROM Fahrten").toString(),
              QStringLiteral("2021-03-15 00:00:00"));
    EXPECT_EQ(scalar(db.conn(), "SELECT Zeit FROM Fahrten").toString(),
              QStringLiteral("1899-12-30 14:30:00"));
    EXPECT_EQ(trips.value(QStringLiteral("Datum")).toDateTime(),
              QDateTime(QDate(2021, 3, 15), QTime(0, 0)));
    EXPECT_EQ(trips.field(QStringLiteral("Datum")).asString(), QStringLiteral("15.03.2021"));
    EXPECT_EQ(trips.field(QStringLiteral("Gutschrift")).asBoolean(), false);
    EXPECT_EQ(scalar(db.conn(), "SELECT Gutschrift FROM Fahrten").toInt(), 0);
    trips.setFilter(
        QStringLiteral("Datum >= '2021-03-01 00:00:00' and Datum < '2021-04-01 00:00:00'"));
    trips.setFiltered(true);
    EXPECT_EQ(trips.recordCount(), 1);
}

TEST(TableCache, ValuesAtRandomPositionsMatchTheDatabase) {
    TableTestDb db;
    Connection& c = db.conn();
    {
        Transaction tx(c);
        for (int i = 0; i < 3000; ++i) {
            const QDate d = QDate(2020, 1, 1).addDays((i * 7919) % 700);
            addTrip(c, stored::dateText(d), i % 13, i * 1.5, 1000000 + i);
        }
        tx.commit();
    }
    Table trips(&c, QStringLiteral("Fahrten"));
    trips.setOrder(QStringLiteral("[Datum] ASC"));
    trips.open();
    ASSERT_EQ(trips.recordCount(), 3000);
    QSqlQuery q = c.exec(QStringLiteral(
        "SELECT AuftragNr, Ortspauschale, Datum FROM Fahrten ORDER BY Datum, rowid"));
    QList<int> nr;
    QList<double> amount;
    QStringList dates;
    while (q.next()) {
        nr << q.value(0).toInt();
        amount << q.value(1).toDouble();
        dates << q.value(2).toString();
    }
    QRandomGenerator rng(42);
    for (int k = 0; k < 2000; ++k) {
        const int row = int(rng.bounded(3000));
        ASSERT_EQ(trips.valueAt(row, QStringLiteral("AuftragNr")).toInt(), nr[row]) << row;
        ASSERT_DOUBLE_EQ(trips.valueAt(row, QStringLiteral("Ortspauschale")).toDouble(),
                         amount[row]);
        ASSERT_EQ(stored::dateTimeText(trips.valueAt(row, QStringLiteral("Datum")).toDateTime()),
                  dates[row]);
    }
    trips.setRecNo(2500);
    EXPECT_EQ(trips.value(QStringLiteral("AuftragNr")).toInt(), nr[2500]);
    EXPECT_TRUE(trips.locate(QStringLiteral("AuftragNr"), nr[1234]));
    EXPECT_EQ(trips.recNo(), 1234);
}

// Every event of insert, edit, post, cancel and delete, in the order Table.h lists them.
TEST_F(AddressFixture, EventsFireInTheDocumentedOrder) {
    Table t(&db.conn(), QStringLiteral("ADRESSEN"));
    t.setOrder(QStringLiteral("[Name] ASC"));
    t.addCalculatedField(QStringLiteral("Gross"), ColumnType::Text);
    t.open();
    t.first();
    QStringList log;
    auto rec = [&log](const char* n) {
        return [&log, n](Table&) { log << QString::fromLatin1(n); };
    };
    t.beforeInsert = rec("beforeInsert");
    t.onNewRecord = rec("onNewRecord");
    t.afterInsert = rec("afterInsert");
    t.beforePost = rec("beforePost");
    bool refuseWrite = false;
    t.beforeWrite = [&](Table&) {
        log << QStringLiteral("beforeWrite");
        if (refuseWrite)
            throw DbError(QStringLiteral("refused"));
    };
    t.afterPost = rec("afterPost");
    t.beforeDelete = rec("beforeDelete");
    t.afterDelete = rec("afterDelete");
    t.afterScroll = rec("afterScroll");
    t.onCalcFields = [&log](Table& tt) {
        log << QStringLiteral("onCalcFields");
        tt.setValue(QStringLiteral("Gross"), tt.field(QStringLiteral("Name")).asString().toUpper());
    };
    QObject owner;
    t.addUpdateRecordHook(&owner, [&log] { log << QStringLiteral("updateRecord"); });
    QObject::connect(&t, &Table::stateChanged, [&log] { log << QStringLiteral("stateChanged"); });
    QObject::connect(&t, &Table::setChanged, [&log] { log << QStringLiteral("setChanged"); });
    QObject::connect(&t, &Table::dataChanged, [&log](const QString& f) {
        log << (f.isEmpty() ? QStringLiteral("dataChanged") : QStringLiteral("dataChanged:") + f);
    });
    QObject::connect(&db.conn(), &Connection::tableChanged,
                     [&log] { log << QStringLiteral("announced"); });
    auto name = [&t](const char* n) { t.setValue(QStringLiteral("Name"), QString::fromUtf8(n)); };
    const QStringList storedEdit{"updateRecord", "beforePost", "beforeWrite",
                                 "stateChanged", "setChanged", "onCalcFields",
                                 "afterPost",    "announced",  "dataChanged"};

    struct Step {
        const char* what;
        std::function<void()> prepare; // not recorded
        std::function<void()> act;
        QStringList events;
        TableState after;
    };
    const Step steps[] = {
        {"insert",
         [] {},
         [&] { t.insert(); },
         {"beforeInsert", "stateChanged", "setChanged", "onNewRecord", "onCalcFields",
          "afterInsert", "afterScroll", "dataChanged"},
         TableState::Insert},
        {"setValue",
         [] {},
         [&] { name("Neumann"); },
         {"onCalcFields", "dataChanged:Name"},
         TableState::Insert},
        {"post of the insert", [&] { t.setValue(QStringLiteral("ID"), 9); }, [&] { t.post(); },
         storedEdit, TableState::Browse},
        {"edit",
         [] {},
         [&] { t.edit(); },
         {"stateChanged", "onCalcFields", "dataChanged"},
         TableState::Edit},
        {"post of the edit", [&] { name("Neufeld"); }, [&] { t.post(); }, storedEdit,
         TableState::Browse},
        {"post refused by beforeWrite",
         [&] {
             t.edit();
             name("Nix");
             refuseWrite = true;
         },
         [&] { EXPECT_THROW(t.post(), DbError); },
         {"updateRecord", "beforePost", "beforeWrite"},
         TableState::Edit},
        {"cancel of an edit",
         [&] { refuseWrite = false; },
         [&] { t.cancel(); },
         {"stateChanged", "onCalcFields", "dataChanged"},
         TableState::Browse},
        {"cancel of an insert",
         [&] { t.append(); },
         [&] { t.cancel(); },
         {"stateChanged", "setChanged", "onCalcFields", "afterScroll", "dataChanged"},
         TableState::Browse},
        {"move",
         [] {},
         [&] { t.first(); },
         {"onCalcFields", "afterScroll", "dataChanged"},
         TableState::Browse},
        {"delete",
         [] {},
         [&] { t.remove(); },
         {"beforeDelete", "setChanged", "onCalcFields", "afterDelete", "announced", "afterScroll",
          "dataChanged"},
         TableState::Browse},
        {"delete in edit",
         [&] { t.edit(); },
         [&] { t.remove(); },
         {"beforeDelete", "stateChanged", "setChanged", "onCalcFields", "afterDelete", "announced",
          "afterScroll", "dataChanged"},
         TableState::Browse},
    };
    for (const Step& step : steps) {
        step.prepare();
        log.clear();
        step.act();
        EXPECT_EQ(log, step.events) << step.what;
        EXPECT_EQ(t.state(), step.after) << step.what;
    }
    EXPECT_EQ(scalar(db.conn(), "SELECT Name FROM ADRESSEN WHERE ID = 9").toString(),
              QStringLiteral("Neufeld"));
    EXPECT_EQ(t.value(QStringLiteral("Gross")).toString(),
              t.value(QStringLiteral("Name")).toString().toUpper());
}
