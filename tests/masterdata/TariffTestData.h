#pragma once

// A program folder with a database of three tariff versions in two groups, three places
// and a few addresses, opened through the general data module.
//
//   ID 1: group 1, 01.01.2020 - 31.12.2222, VAT 16, places Köln 100, Bonn 80
//   ID 4: group 2, 01.01.2020 - 31.12.2022, VAT 16, place  Köln 120
//   ID 2: group 2, 01.01.2023 - 31.12.2222, VAT 19, dressing/night/cooling 0, holiday 12.5,
//         body bag 30, Covid 5, places Köln 150, Düren (empty), Bonn 90
//   Ortsliste: Köln, Bonn, Düren

#include "data/ProgramSetup.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "support/SeededProgram.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <memory>

namespace kilvaro::testing {

class TariffTestData : public SeededProgram {
public:
    explicit TariffTestData(bool withRows = true)
        : SeededProgram(withRows ? std::function<void(Connection&)>(&TariffTestData::seed)
                                 : std::function<void(Connection&)>()) {}

    static void seed(Connection& c) {
        auto d = [](int y, int m, int day) { return stored::dateText(QDate(y, m, day)); };
        c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (1, ?, ?, 1), "
                              "(2, ?, ?, 2), (2, ?, ?, 4)"),
               {d(2020, 1, 1), d(2222, 12, 31), d(2023, 1, 1), d(2222, 12, 31), d(2020, 1, 1),
                d(2022, 12, 31)});
        c.exec(QStringLiteral(
            "INSERT INTO Tarif (Id, Mehrwertsteuer, Ankleiden, Nacht, Feiertag, Kuehlung, UHuelle, "
            "Covid19, Waehrung) VALUES (1, 16, 10, 20, 30, 40, NULL, NULL, 'EUR'), "
            "(2, 19, 0, 0, 12.5, 0, 30, 5, 'EUR'), (4, 16, NULL, NULL, NULL, NULL, NULL, NULL, "
            "'DM')"));
        c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (1, 'Köln', 100), "
                              "(1, 'Bonn', 80), (2, 'Köln', 150), (2, 'Düren', NULL), "
                              "(2, 'Bonn', 90), (4, 'Köln', 120)"));
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Köln'), ('Bonn'), ('Düren')"));
        c.exec(
            QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
                           "(1, 1, 'Zander', 2, 1), (2, 1, 'Arndt', 2, 1), (3, 1, 'Moll', 1, 1), "
                           "(1000, 0, 'Berg', 2, 1)"));
    }

    Connection& db() { return *daten->Database; }

    /// The first column of every row of a query.
    QVariantList column(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q = db().exec(sql, binds);
        QVariantList out;
        while (q.next())
            out << q.value(0);
        return out;
    }
    QVariant scalar(const QString& sql, const QVariantList& binds = {}) {
        const QVariantList values = column(sql, binds);
        return values.isEmpty() ? QVariant() : values.first();
    }
    int count(const QString& table, const QString& where = QStringLiteral("1=1"),
              const QVariantList& binds = {}) {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where), binds)
            .toInt();
    }
    /// A whole table as text, to compare before and after a failed command.
    QString dump(const QString& table) {
        QSqlQuery q = db().exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
            rows << cells.join(QLatin1Char('|'));
        }
        return rows.join(QLatin1Char('\n'));
    }
    QString dumpAll() {
        return dump(QStringLiteral("OTMAIN")) + QStringLiteral("\n--\n") +
               dump(QStringLiteral("Tarif")) + QStringLiteral("\n--\n") +
               dump(QStringLiteral("OrtsTarif")) + QStringLiteral("\n--\n") +
               dump(QStringLiteral("Ortsliste"));
    }
    /// Makes every later statement of one kind fail, as a broken disk or a lock would.
    void failOn(const QString& triggerSql) { db().exec(triggerSql); }
};

} // namespace kilvaro::testing
