#include "app/BatchCommands.h"
#include "app/DemoData.h"
#include "base/IniFile.h"
#include "data/ProgramSetup.h"
#include "base/SettingsKeys.h"
#include "data/Connection.h"
#include "base/DbError.h"
#include "data/Schema.h"
#include "data/StoredValue.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace kilvaro;

namespace {

// A date whose two years reach back over the reduced VAT of 2020, and a later one.
const QDate kToday2022(2022, 5, 18);
const QDate kToday2025(2025, 1, 15);

QDate dateOf(const QVariant& v) {
    return stored::parseDateTime(v.toString()).date();
}
QTime timeOf(const QVariant& v) {
    return stored::parseDateTime(v.toString()).time();
}
qint64 cents(double v) {
    return std::llround(v * 100.0);
}

class DemoDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        ASSERT_TRUE(m_dir.isValid());
    }

    std::unique_ptr<Connection> newDatabase(const QString& name = QStringLiteral("demo.db")) {
        auto db = std::make_unique<Connection>();
        db->create(m_dir.filePath(name));
        Schema::create(*db);
        return db;
    }

    static QVector<QVariantList> rows(Connection& db, const QString& sql) {
        QSqlQuery q = db.exec(sql);
        QVector<QVariantList> out;
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            out << row;
        }
        return out;
    }

    static int countOf(Connection& db, const QString& sqlTail) {
        QSqlQuery q = db.exec(QStringLiteral("SELECT count(*) FROM ") + sqlTail);
        return q.next() ? q.value(0).toInt() : -1;
    }

    /// Every row of every table as text, in stored order.
    static QStringList dump(Connection& db) {
        QStringList out;
        for (const TableInfo& t : Schema::definition().tables()) {
            for (const QVariantList& row :
                 rows(db, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t.name))) {
                QStringList cells;
                for (const QVariant& v : row)
                    cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
                out << t.name + QLatin1Char(':') + cells.join(QLatin1Char('|'));
            }
        }
        return out;
    }

    QTemporaryDir m_dir;
};

TEST_F(DemoDataTest, FillsAnEmptyDatabaseWithEveryKindOfRow) {
    auto db = newDatabase();
    const DemoData::Summary s = DemoData::fill(*db, kToday2025);

    EXPECT_EQ(s.funeralDirectors, countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 1")));
    EXPECT_EQ(s.helpers, countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 0")));
    EXPECT_GE(s.funeralDirectors, 6);
    EXPECT_GE(s.helpers, 3);
    EXPECT_EQ(s.addresses(), countOf(*db, QStringLiteral("ADRESSEN")));
    EXPECT_EQ(1, countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 1 AND NOT Aktiv")));
    EXPECT_GE(countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 1 AND Gutschrift")), 1);
    EXPECT_GE(countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 1 AND BigR")), 1);
    EXPECT_GE(countOf(*db, QStringLiteral("ADRESSEN WHERE Vertragsnr IS NOT NULL")), 1);
    EXPECT_EQ(3, countOf(*db, QStringLiteral("(SELECT DISTINCT Nr FROM OTMAIN)")));
    EXPECT_EQ(s.tariffVersions, countOf(*db, QStringLiteral("OTMAIN")));
    EXPECT_EQ(s.tariffVersions, countOf(*db, QStringLiteral("Tarif WHERE Waehrung = 'EUR'")));
    EXPECT_EQ(s.tariffVersions * s.places, countOf(*db, QStringLiteral("OrtsTarif")));
    EXPECT_EQ(s.places, countOf(*db, QStringLiteral("Ortsliste")));
    EXPECT_GE(s.places, 12);
    EXPECT_GE(countOf(*db, QStringLiteral("Preisliste WHERE Ort LIKE '% - %' AND Richtpreis > 0")),
              6);
    EXPECT_EQ(s.postalCodes, countOf(*db, QStringLiteral("plz")));
    EXPECT_GE(s.postalCodes, 150);
    EXPECT_LE(s.postalCodes, 250);
    EXPECT_GT(countOf(*db, QStringLiteral("plz WHERE Rechtsrheinisch")), 20);
    EXPECT_GT(countOf(*db, QStringLiteral("plz WHERE NOT Rechtsrheinisch")), 20);
    EXPECT_EQ(0, countOf(*db, QStringLiteral("plz WHERE PLZ < 10000 OR PLZ > 99999")));

    // Two years of 3 to 6 trips a week.
    EXPECT_EQ(s.trips, countOf(*db, QStringLiteral("Fahrten")));
    EXPECT_GE(s.trips, 104 * 3);
    EXPECT_LE(s.trips, 106 * 6);
    EXPECT_EQ(s.openTrips, countOf(*db, QStringLiteral("Fahrten WHERE Rechnung IS NULL")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten WHERE Rechnung = 0 OR ANRLock")));
    EXPECT_GT(countOf(*db, QStringLiteral("Fahrten WHERE Beamter LIKE 'VK %'")), 0);
    EXPECT_GT(countOf(*db, QStringLiteral("Fahrten WHERE Aushilfe IS NOT NULL")), 0);
    EXPECT_GT(countOf(*db, QStringLiteral("Fahrten WHERE Aushilfe IS NULL")), 0);
    EXPECT_EQ(0,
              countOf(*db, QStringLiteral("Fahrten WHERE Anrede NOT IN ('Herr','Frau','Kind')")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten WHERE Datum NOT LIKE '% 00:00:00' "
                                             "OR Zeit NOT LIKE '1899-12-30 %'")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten WHERE Datum > '2025-01-15 00:00:00'")));

    EXPECT_EQ(s.invoices, countOf(*db, QStringLiteral("Rechnung")));
    EXPECT_EQ(s.positions, countOf(*db, QStringLiteral("RecPos")));
    EXPECT_EQ(s.positions, countOf(*db, QStringLiteral("Fahrten WHERE Rechnung IS NOT NULL")));
    EXPECT_EQ(1, countOf(*db, QStringLiteral("Rechnung WHERE Storniert AND Gebucht")));
    EXPECT_GT(countOf(*db, QStringLiteral("Rechnung WHERE Bezahlt AND Zahlungsart = "
                                          "'Überweisung' AND Zahlungsdatum >= Datum")),
              s.invoices / 2);
    EXPECT_GT(countOf(*db, QStringLiteral("Rechnung WHERE NOT Bezahlt AND NOT Storniert")), 0);
    EXPECT_GT(countOf(*db, QStringLiteral("Rechnung WHERE Gebucht")), 0);
    EXPECT_EQ(s.invoices, countOf(*db, QStringLiteral("Rechnung WHERE Euro")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Rechnung WHERE Bezahlt AND Zahlungsdatum > "
                                             "'2025-01-15 00:00:00'")));

    // Jan 2023 .. Oct 2024 invoiced monthly; Nov, Dec and the current January stay open.
    EXPECT_EQ(22, countOf(*db, QStringLiteral("Monatsrechnung WHERE ISO = 'EUR'")));
    EXPECT_EQ(2, countOf(*db, QStringLiteral("Jahresumsatz WHERE Waehrung = 'EUR'")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Jahresumsatz WHERE Jahr >= 2025")));
    EXPECT_EQ(s.funeralDirectors, countOf(*db, QStringLiteral("Jahresfahrten")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Jahresfahrten j WHERE NOT EXISTS (SELECT 1 FROM "
                                             "ADRESSEN a WHERE a.ID = j.ID AND a.Name = "
                                             "j.Bestatter AND a.Typ = 1)")));
}

TEST_F(DemoDataTest, AddressIdsOfBothKindsStayApart) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2025);
    EXPECT_EQ(0, countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 0 AND ID < 1000")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("ADRESSEN WHERE Typ = 1 AND (ID < 1 OR ID >= 1000)")));
    EXPECT_EQ(countOf(*db, QStringLiteral("ADRESSEN")),
              countOf(*db, QStringLiteral("(SELECT DISTINCT ID FROM ADRESSEN)")));
    // Trips refer to the right kind; helpers carry a birth date in Inhaber.
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten f WHERE NOT EXISTS (SELECT 1 FROM ADRESSEN "
                                             "a WHERE a.ID = f.Bestatter AND a.Typ = 1)")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten f WHERE Aushilfe IS NOT NULL AND NOT EXISTS "
                                             "(SELECT 1 FROM ADRESSEN a WHERE a.ID = f.Aushilfe "
                                             "AND a.Typ = 0)")));
    for (const QVariantList& r :
         rows(*db, QStringLiteral("SELECT Inhaber FROM ADRESSEN WHERE Typ = 0")))
        EXPECT_TRUE(QDate::fromString(r[0].toString(), QStringLiteral("dd.MM.yyyy")).isValid())
            << r[0].toString().toStdString();
    // Trips of the last months go to active funeral directors only.
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten f JOIN ADRESSEN a ON a.ID = f.Bestatter "
                                             "WHERE NOT a.Aktiv AND f.Datum >= '2024-06-01'")));
}

TEST_F(DemoDataTest, SecondFillIsRefusedAndChangesNothing) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2025);
    const QStringList before = dump(*db);
    try {
        DemoData::fill(*db, kToday2025, 7);
        FAIL() << "second fill was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(QStringLiteral("Die Datenbank enthält bereits Fahrten; Demonstrationsdaten "
                                 "werden nur in eine leere Datenbank geschrieben."),
                  e.message());
    }
    EXPECT_EQ(before, dump(*db));
    EXPECT_EQ(0, db->transactionDepth());
}

// `--demo` leaves the settings file naming the last invoice, as storing an invoice does.
TEST_F(DemoDataTest, DemoCommandWritesTheHighestInvoiceNumber) {
    QString text;
    QTextStream out(&text);
    QTextStream err(&text);
    const QString folder = m_dir.path() + QLatin1Char('/');
    ASSERT_EQ(0, BatchCommands::runDemo(folder, kToday2025, out, err)) << text.toStdString();
    Connection db;
    db.open(ProgramSetup::databasePath(folder));
    QSqlQuery q = db.exec(QStringLiteral("SELECT MAX(RecNr), COUNT(*) FROM Rechnung"));
    ASSERT_TRUE(q.next());
    const int highest = q.value(0).toInt();
    EXPECT_GT(q.value(1).toInt(), 100);
    q.finish();
    IniFile ini(m_dir.filePath(QStringLiteral("kilvaro.ini")));
    EXPECT_EQ(highest, readSettingInteger(ini, SettingsKeys::RechnungNummer));
}

TEST_F(DemoDataTest, RefusesMasterDataThatWouldCollideAndWritesNothing) {
    auto db = newDatabase();
    db->exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name) VALUES (1, 1, ?)"),
             {QStringLiteral("Eigener Bestatter")});
    EXPECT_THROW(DemoData::fill(*db, kToday2025), DbError);
    EXPECT_EQ(1, countOf(*db, QStringLiteral("ADRESSEN")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("OTMAIN")));
}

TEST_F(DemoDataTest, AFailureHalfwayLeavesTheDatabaseAsItWas) {
    auto db = newDatabase();
    // The yearly trip table is written last; without it the fill fails at the very end.
    db->exec(QStringLiteral("DROP TABLE Jahresfahrten"));
    EXPECT_THROW(DemoData::fill(*db, kToday2025), DbError);
    EXPECT_EQ(0, db->transactionDepth());
    for (const QString& table :
         {QStringLiteral("Fahrten"), QStringLiteral("ADRESSEN"), QStringLiteral("OTMAIN"),
          QStringLiteral("Rechnung"), QStringLiteral("RecPos"), QStringLiteral("plz"),
          QStringLiteral("Jahresumsatz")})
        EXPECT_EQ(0, countOf(*db, QStringLiteral("\"%1\"").arg(table))) << table.toStdString();
}

// Trips and invoices are stored through the program's modules, which run transactions of
// their own; a failure at the very last statement still takes all of them back.
TEST_F(DemoDataTest, AFailureAtTheLastStatementTakesBackTheStoredTripsAndInvoices) {
    auto db = newDatabase();
    db->exec(QStringLiteral("CREATE TRIGGER refuse_last BEFORE INSERT ON Jahresfahrten "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_THROW(DemoData::fill(*db, kToday2022), DbError);
    EXPECT_EQ(0, db->transactionDepth());
    db->exec(QStringLiteral("DROP TRIGGER refuse_last"));
    for (const QString& table : {QStringLiteral("Fahrten"), QStringLiteral("Rechnung"),
                                 QStringLiteral("RecPos"), QStringLiteral("ADRESSEN"),
                                 QStringLiteral("Monatsrechnung"), QStringLiteral("Jahresumsatz")})
        EXPECT_EQ(0, countOf(*db, QStringLiteral("\"%1\"").arg(table))) << table.toStdString();
    // The database takes the demonstration afterwards.
    EXPECT_GT(DemoData::fill(*db, kToday2022).invoices, 0);
}

TEST_F(DemoDataTest, SameSeedAndDayGiveTheSameData) {
    auto a = newDatabase(QStringLiteral("a.db"));
    auto b = newDatabase(QStringLiteral("b.db"));
    auto c = newDatabase(QStringLiteral("c.db"));
    DemoData::fill(*a, kToday2022, 5);
    DemoData::fill(*b, kToday2022, 5);
    DemoData::fill(*c, kToday2022, 6);
    const QStringList dumpA = dump(*a);
    EXPECT_FALSE(dumpA.isEmpty());
    EXPECT_EQ(dumpA, dump(*b));
    EXPECT_NE(dumpA, dump(*c));
}

TEST_F(DemoDataTest, OrderNumbersFollowTheDayCountAndRunningNumber) {
    for (const QDate& today : {kToday2022, kToday2025}) {
        auto db = newDatabase(today.toString(Qt::ISODate) + QStringLiteral(".db"));
        DemoData::fill(*db, today);
        QMap<QDate, QVector<QPair<QTime, qint64>>> byDay;
        QSet<qint64> seen;
        for (const QVariantList& r :
             rows(*db, QStringLiteral("SELECT Datum, Zeit, AuftragNr FROM Fahrten"))) {
            const qint64 nr = r[2].toLongLong();
            EXPECT_FALSE(seen.contains(nr)) << nr;
            seen.insert(nr);
            byDay[dateOf(r[0])] << qMakePair(timeOf(r[1]), nr);
        }
        for (auto it = byDay.begin(); it != byDay.end(); ++it) {
            const qint64 day = QDate(1899, 12, 30).daysTo(it.key());
            auto trips = it.value();
            std::sort(trips.begin(), trips.end());
            for (int i = 0; i < int(trips.size()); ++i)
                EXPECT_EQ(day * 1000 + i + 1, trips[i].second) << it.key().toString().toStdString();
        }
    }
}

TEST_F(DemoDataTest, TariffVersionsCoverThePeriodWithoutGapsOrOverlaps) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2022);
    QMap<int, QVector<QPair<QDate, QDate>>> groups;
    QSet<int> ids;
    for (const QVariantList& r :
         rows(*db, QStringLiteral("SELECT Nr, Anfang, Ende, ID FROM OTMAIN ORDER BY Nr, Anfang"))) {
        groups[r[0].toInt()] << qMakePair(dateOf(r[1]), dateOf(r[2]));
        EXPECT_FALSE(ids.contains(r[3].toInt()));
        ids.insert(r[3].toInt());
    }
    ASSERT_EQ(3, groups.size());
    for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
        const auto& v = it.value();
        EXPECT_GE(v.size(), 2);
        EXPECT_LE(v.first().first, kToday2022.addYears(-2));
        EXPECT_GE(v.last().second, QDate(2023, 12, 31));
        for (int i = 0; i < int(v.size()); ++i) {
            EXPECT_LE(v[i].first, v[i].second);
            if (i > 0) {
                EXPECT_EQ(v[i - 1].second.addDays(1), v[i].first) << "group " << it.key();
            }
        }
    }
    // The reduced rate of the second half of 2020 has a version of its own in every group.
    EXPECT_EQ(3, countOf(*db, QStringLiteral("OTMAIN o JOIN Tarif t ON t.Id = o.ID WHERE "
                                             "t.Mehrwertsteuer = 16 AND o.Anfang = '2020-07-01 "
                                             "00:00:00' AND o.Ende = '2020-12-31 00:00:00'")));
    EXPECT_EQ(3, countOf(*db, QStringLiteral("Tarif WHERE Mehrwertsteuer = 16")));
    // Later versions of a group cost a little more.
    const auto amounts = rows(*db, QStringLiteral("SELECT o.Betrag FROM OrtsTarif o JOIN OTMAIN m "
                                                  "ON m.ID = o.Id WHERE m.Nr = 1 AND o.Ort = "
                                                  "'Köln' ORDER BY m.Anfang"));
    ASSERT_GE(amounts.size(), 2);
    EXPECT_GT(amounts.last()[0].toDouble(), amounts.first()[0].toDouble());
}

TEST_F(DemoDataTest, TripsArePricedFromTheVersionValidOnTheirDate) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2022);

    struct Version {
        QDate from, to;
        int id;
    };
    QMap<int, QVector<Version>> versions;
    for (const QVariantList& r :
         rows(*db, QStringLiteral("SELECT Nr, Anfang, Ende, ID FROM OTMAIN")))
        versions[r[0].toInt()] << Version{dateOf(r[1]), dateOf(r[2]), r[3].toInt()};
    QMap<QPair<int, QString>, double> placeAmount;
    for (const QVariantList& r : rows(*db, QStringLiteral("SELECT Id, Ort, Betrag FROM OrtsTarif")))
        placeAmount[qMakePair(r[0].toInt(), r[1].toString())] = r[2].toDouble();
    QMap<int, QVariantList> tarif;
    for (const QVariantList& r : rows(*db, QStringLiteral("SELECT Id, Nacht, Feiertag FROM Tarif")))
        tarif[r[0].toInt()] = r;
    QMap<int, int> group;
    for (const QVariantList& r : rows(*db, QStringLiteral("SELECT ID, Tarifgruppe FROM ADRESSEN")))
        group[r[0].toInt()] = r[1].toInt();

    int nights = 0;
    int sundays = 0;
    for (const QVariantList& r :
         rows(*db, QStringLiteral("SELECT Datum, Zeit, Bestatter, Startort, Zielort, "
                                  "Ortspauschale, Nacht, Feiertag FROM Fahrten"))) {
        const QDate day = dateOf(r[0]);
        const QTime time = timeOf(r[1]);
        int valid = 0;
        int id = 0;
        for (const Version& v : versions.value(group.value(r[2].toInt()))) {
            if (v.from <= day && day <= v.to) {
                ++valid;
                id = v.id;
            }
        }
        ASSERT_EQ(1, valid) << day.toString().toStdString();
        const double expected = std::max(placeAmount.value(qMakePair(id, r[3].toString())),
                                         placeAmount.value(qMakePair(id, r[4].toString())));
        EXPECT_GT(expected, 0);
        EXPECT_DOUBLE_EQ(expected, r[5].toDouble()) << day.toString().toStdString();

        const bool night = time.hour() >= 20 || time.hour() < 6;
        EXPECT_EQ(night, !r[6].isNull());
        if (night) {
            ++nights;
            EXPECT_DOUBLE_EQ(tarif[id][1].toDouble(), r[6].toDouble());
        }
        if (day.dayOfWeek() == Qt::Sunday) {
            ++sundays;
            EXPECT_DOUBLE_EQ(tarif[id][2].toDouble(), r[7].toDouble());
        }
    }
    EXPECT_GT(nights, 0);
    EXPECT_GT(sundays, 0);
    // Surcharges that do not apply are stored empty, never as 0.
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten WHERE Nacht = 0 OR Ankleiden = 0 OR "
                                             "Feiertag = 0 OR Kuehlung = 0 OR UHuelle = 0 OR "
                                             "Covid19 = 0")));
    EXPECT_GT(countOf(*db, QStringLiteral("Fahrten WHERE Ankleiden IS NOT NULL")), 0);
    EXPECT_GT(countOf(*db, QStringLiteral("Fahrten WHERE Covid19 IS NOT NULL")), 0);
    // The credit-note flag follows the funeral director.
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten f JOIN ADRESSEN a ON a.ID = f.Bestatter "
                                             "WHERE f.Gutschrift <> a.Gutschrift")));
}

TEST_F(DemoDataTest, InvoicesMatchTheirPositionsAndTrips) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2022);

    // Every invoiced trip names an existing invoice.
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten f WHERE Rechnung IS NOT NULL AND NOT EXISTS "
                                             "(SELECT 1 FROM Rechnung r WHERE r.RecNr = "
                                             "f.Rechnung)")));
    // Numbers run from 1 without gaps.
    const auto numbers =
        rows(*db, QStringLiteral("SELECT RecNr, Datum FROM Rechnung ORDER BY RecNr"));
    ASSERT_FALSE(numbers.isEmpty());
    for (int i = 0; i < int(numbers.size()); ++i) {
        EXPECT_EQ(i + 1, numbers[i][0].toInt());
        if (i > 0) {
            EXPECT_LE(dateOf(numbers[i - 1][1]), dateOf(numbers[i][1]));
        }
    }

    const auto invoices = rows(
        *db, QStringLiteral(
                 "SELECT r.RecNr, r.Netto, r.Kunde, r.MWSt, "
                 "(SELECT sum(Netto) FROM RecPos p WHERE p.RecID = r.RecNr), "
                 "(SELECT count(*) FROM RecPos p WHERE p.RecID = r.RecNr), "
                 "(SELECT sum(coalesce(Ortspauschale,0) + coalesce(Ankleiden,0) + "
                 "coalesce(Nacht,0) + coalesce(Feiertag,0) + coalesce(Kuehlung,0) + "
                 "coalesce(UHuelle,0) + coalesce(Covid19,0)) FROM Fahrten f WHERE f.Rechnung = "
                 "r.RecNr), "
                 "(SELECT count(*) FROM Fahrten f WHERE f.Rechnung = r.RecNr), "
                 "(SELECT count(*) FROM Fahrten f WHERE f.Rechnung = r.RecNr AND f.Bestatter <> "
                 "r.Kunde), "
                 "(SELECT count(*) FROM RecPos p WHERE p.RecID = r.RecNr AND NOT EXISTS (SELECT 1 "
                 "FROM Fahrten f WHERE f.Rechnung = r.RecNr AND f.AuftragNr = p.Auftragsnr)) "
                 "FROM Rechnung r"));
    for (const QVariantList& r : invoices) {
        const int nr = r[0].toInt();
        EXPECT_EQ(cents(r[1].toDouble()), cents(r[4].toDouble())) << "invoice " << nr;
        EXPECT_EQ(cents(r[1].toDouble()), cents(r[6].toDouble())) << "invoice " << nr;
        EXPECT_GT(r[5].toInt(), 0) << "invoice " << nr;
        EXPECT_EQ(r[5].toInt(), r[7].toInt()) << "invoice " << nr;
        EXPECT_EQ(0, r[8].toInt()) << "invoice " << nr;
        EXPECT_EQ(0, r[9].toInt()) << "invoice " << nr;
    }
    // The reduced rate appears on the invoices of the second half of 2020 only.
    EXPECT_GT(countOf(*db, QStringLiteral("Rechnung WHERE MWSt = 16")), 0);
    EXPECT_EQ(0, countOf(*db, QStringLiteral("Rechnung WHERE MWSt = 16 AND (Datum < '2020-07-01' "
                                             "OR Datum > '2020-12-31 23')")));

    // Monthly rows: invoice range and revenue of the month's uncancelled invoices.
    const auto runs = rows(*db, QStringLiteral("SELECT Monat, Jahr, Rechnung_von, Rechnung_bis, "
                                               "Umsatz FROM Monatsrechnung ORDER BY Jahr, Monat"));
    ASSERT_EQ(22, runs.size()); // May 2020 .. Feb 2022
    for (const QVariantList& m : runs) {
        const QDate first(m[1].toInt(), m[0].toInt(), 1);
        const QDate last = first.addMonths(1).addDays(-1);
        QSqlQuery q = db->exec(QStringLiteral("SELECT min(RecNr), max(RecNr), sum(CASE WHEN "
                                              "Storniert THEN 0 ELSE Netto END) FROM Rechnung "
                                              "WHERE Datum = ?"),
                               {stored::dateText(last)});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), m[2].toInt());
        EXPECT_EQ(q.value(1).toInt(), m[3].toInt());
        EXPECT_EQ(cents(q.value(2).toDouble()), cents(m[4].toDouble()));
        // Every trip of an invoiced month is on an invoice.
        EXPECT_EQ(0, countOf(*db, QStringLiteral("Fahrten WHERE Rechnung IS NULL AND Datum "
                                                 "BETWEEN '%1' AND '%2'")
                                      .arg(stored::dateText(first), stored::dateText(last))));
    }

    // March, April and May 2022 stay open except for a couple of single invoices.
    const auto recent = rows(*db, QStringLiteral("SELECT count(*), count(DISTINCT Rechnung) FROM "
                                                 "Fahrten WHERE Datum >= '2022-03-01' AND "
                                                 "Rechnung IS NOT NULL"));
    EXPECT_EQ(2, recent[0][0].toInt());
    EXPECT_EQ(2, recent[0][1].toInt());
    EXPECT_GT(countOf(*db, QStringLiteral("Fahrten WHERE Datum >= '2022-03-01' AND Rechnung IS "
                                          "NULL")),
              20);
}

TEST_F(DemoDataTest, PositionTextsDescribeTheTrip) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2025);
    const auto positions =
        rows(*db, QStringLiteral("SELECT p.Rectext, p.Datum, f.Personen, f.Vorname, f.Startort, "
                                 "f.Zielort, f.AKZ, f.Nacht, f.Ankleiden, f.Feiertag, f.Kuehlung, "
                                 "f.UHuelle, f.Covid19, f.Datum, f.Zeit, f.Strasse, f.PLZ, f.Ort "
                                 "FROM RecPos p JOIN Fahrten f ON f.AuftragNr = p.Auftragsnr"));
    ASSERT_FALSE(positions.isEmpty());
    bool sawFullAddress = false;
    for (const QVariantList& r : positions) {
        const QString text = r[0].toString();
        const std::string s = text.toStdString();
        EXPECT_TRUE(text.startsWith(r[2].toString())) << s;
        if (!r[3].toString().isEmpty())
            EXPECT_TRUE(text.startsWith(r[2].toString() + QStringLiteral(", ") + r[3].toString()))
                << s;
        else
            EXPECT_TRUE(text.startsWith(r[2].toString() + QStringLiteral("; "))) << s;
        EXPECT_TRUE(text.contains(r[4].toString() + QStringLiteral(" - ") + r[5].toString())) << s;
        if (!r[6].toString().isEmpty()) {
            EXPECT_TRUE(text.contains(QStringLiteral(" (") + r[6].toString() + QLatin1Char(')')))
                << s;
        }
        const char* labels[] = {"Spät/Nacht;",     "Ankleiden;",   "Sonn-/Feiertag;",
                                "Eigene Kühlung;", "U-Hülle XXL;", "Covid19;"};
        bool any = false;
        for (int i = 0; i < 6; ++i) {
            const bool set = !r[7 + i].isNull();
            any = any || set;
            EXPECT_EQ(set, text.contains(QLatin1Char(' ') + QString::fromUtf8(labels[i]))) << s;
        }
        EXPECT_EQ(any, text.contains(QStringLiteral(";  "))) << s;
        if (!any) {
            EXPECT_FALSE(text.endsWith(QStringLiteral("; "))) << s;
        }
        if (!r[3].toString().isEmpty() && !r[16].toString().isEmpty() &&
            !r[15].toString().isEmpty()) {
            sawFullAddress = true;
            EXPECT_TRUE(
                text.contains(QStringLiteral("; %1; %2 %3")
                                  .arg(r[15].toString(), r[16].toString(), r[17].toString())))
                << s;
        }
        // The position carries the trip's date together with its time of day.
        EXPECT_EQ(QDateTime(dateOf(r[13]), timeOf(r[14])).toString(Qt::ISODate),
                  stored::parseDateTime(r[1].toString()).toString(Qt::ISODate));
    }
    EXPECT_TRUE(sawFullAddress);
}

// Positions are made by the invoice module: their surcharge labels are those of the program
// folder's settings file, which the fill only reads.
TEST_F(DemoDataTest, PositionsTakeTheLabelsOfTheProgramsSettingsFileAndLeaveItAsItWas) {
    const QString folder = m_dir.path() + QStringLiteral("/program/");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString iniPath = folder + QStringLiteral("kilvaro.ini");
    {
        IniFile ini(iniPath);
        writeSetting(ini, SettingsKeys::RechnungNacht, QStringLiteral("Nachtzuschlag;"));
        writeSettingInteger(ini, SettingsKeys::RechnungNummer, 4711);
        ASSERT_TRUE(ini.save());
    }
    QFile file(iniPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    auto db = newDatabase();
    DemoData::fill(*db, kToday2022, 1, folder);
    const int nights = countOf(*db, QStringLiteral("Fahrten WHERE Nacht IS NOT NULL AND Rechnung "
                                                   "IS NOT NULL"));
    EXPECT_GT(nights, 0);
    EXPECT_EQ(nights,
              countOf(*db, QStringLiteral("RecPos WHERE Rectext LIKE '%; %Nachtzuschlag;%'")));
    EXPECT_EQ(0, countOf(*db, QStringLiteral("RecPos WHERE Rectext LIKE '%Spät/Nacht;%'")));

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(before, file.readAll());
}

TEST_F(DemoDataTest, YearlyRevenueSumsTheTripsOfEachPastYear) {
    auto db = newDatabase();
    DemoData::fill(*db, kToday2025);
    for (const QVariantList& r :
         rows(*db, QStringLiteral("SELECT Jahr, Fahrten, Umsatz FROM Jahresumsatz"))) {
        const QString from = QStringLiteral("%1-01-01").arg(r[0].toInt());
        const QString to = QStringLiteral("%1-12-31 23:59:59").arg(r[0].toInt());
        QSqlQuery q = db->exec(
            QStringLiteral("SELECT count(*), sum(coalesce(Ortspauschale,0) + "
                           "coalesce(Ankleiden,0) + coalesce(Nacht,0) + coalesce(Feiertag,0) + "
                           "coalesce(Kuehlung,0) + coalesce(UHuelle,0) + coalesce(Covid19,0)) "
                           "FROM Fahrten WHERE Datum >= ? AND Datum <= ?"),
            {from, to});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), r[1].toInt());
        EXPECT_EQ(cents(q.value(1).toDouble()), cents(r[2].toDouble()));
    }
}

} // namespace
