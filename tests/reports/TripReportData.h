#pragma once

// A program folder whose database holds known trips of March 2021 for the trip reports,
// transfer evaluations and exports, opened through the general data module.
//
//   ADRESSEN 1 "Ahrens Bestattungen", 2 'Pietät "Zum Frieden"' (a double quote in the name)
//   Ahrens, March 2021, in date order:
//     03.03. Müller Hans   51063    Köln - Bonn      100,10 + Nacht 20,20      open    N
//     05.03. Schmidt Eva   50667    Köln - Hürth      50,05 + S 10, K 5, U 3, C 2  invoice 7
//     10.03. Alt Karl      (empty)  Bonn - Köln       80,00                    Rechnung 0
//     12.03. 09:05 Müller Ida 12345 Köln - Bonn       10,00 + Nacht 0,40       open
//     15.03. Zander Bernd  20119    Köln - Hamburg   300,00 + N 45, S 40       invoice 8
//     15.03. Adler Carl    50667    Köln - Brühl      60,00                    invoice 8
//     01.04. (outside the period)
//   Pietät, March 2021: 04.03. 08:15 Becker Anna D-51063 Leverkusen - Köln 200 + A 30,
//     N 45, S 40, open
//   plz: 51063 (right bank), 50667, 51063 again, then 20000 to 20119 (left bank)

#include "support/SeededProgram.h"

#include "data/StoredValue.h"

namespace kilvaro::testing {

class TripReportData : public SeededProgram {
public:
    TripReportData() : SeededProgram(&TripReportData::seed) {}

    static QString ahrens() { return QStringLiteral("Ahrens Bestattungen"); }
    static QString pietaet() { return QStringLiteral("Pietät \"Zum Frieden\""); }
    static QString march() {
        return QStringLiteral("DATUM >= #03/01/2021# AND DATUM <= #03/31/2021#");
    }

    static void seed(Connection& c) {
        c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
                              "(1, 1, ?, 1, 1), (2, 1, ?, 1, 1)"),
               {ahrens(), pietaet()});
        auto day = [](int d, int m = 3) { return stored::dateText(QDate(2021, m, d)); };
        auto at = [](int d, int h, int min) {
            return stored::dateTimeText(QDateTime(QDate(2021, 3, d), QTime(h, min)));
        };
        auto time = [](int h, int min) {
            return stored::dateTimeText(QDateTime(stored::timeBaseDate(), QTime(h, min)));
        };
        const QString insert = QStringLiteral(
            "INSERT INTO Fahrten (Datum, Zeit, Bestatter, Anrede, Vorname, Personen, Strasse, "
            "PLZ, Ort, AKZ, Beamter, Startort, Zielort, Ortspauschale, Ankleiden, Nacht, "
            "Feiertag, Kuehlung, UHuelle, Covid19, Rechnung) VALUES "
            "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const QVariant null;
        const QList<QVariantList> trips = {
            {day(3), time(14, 30), 1, "Herr", "Hans", "Müller", "Hauptstr. 1", "51063", "Köln",
             "AZ 1/21", "Weber", "Köln", "Bonn", 100.1, 0, 20.2, null, null, null, null, null},
            {day(5), null, 1, "Frau", "Eva", "Schmidt", "Lindenweg 2", "50667", "Köln", "AZ 2/21",
             "Adam", "Köln", "Hürth", 50.05, null, null, 10, 5, 3, 2, 7},
            {day(10), null, 1, "Herr", "Karl", "Alt", null, "", null, null, "Weber", "Bonn",
             "Köln", 80, null, null, null, null, null, null, 0},
            {at(12, 9, 5), null, 1, "Frau", "Ida", "Müller", "Ufer 9", "12345", "Bonn", null,
             "Weber", "Köln", "Bonn", 10, null, 0.4, null, null, null, null, null},
            {day(15), null, 1, "Herr", "Bernd", "Zander", "Allee 7", "20119", "Hamburg",
             "AZ 6/21", "Adam", "Köln", "Hamburg", 300, null, 45, 40, null, null, null, 8},
            {day(15), null, 1, "Herr", "Carl", "Adler", "Weg 3; Hinterhaus", "50667", "Köln",
             "AZ 5/21", "Adam", "Köln", "Brühl", 60, null, null, null, null, null, null, 8},
            {day(1, 4), null, 1, "Herr", "Otto", "April", null, "51063", null, null, "Weber",
             "Köln", "Bonn", 99, null, null, null, null, null, null, null},
            {at(4, 8, 15), time(8, 15), 2, "Frau", "Anna", "Becker", "Ringstr. 5", "D-51063",
             "Köln", "AZ 3/21", "Adam", "Leverkusen", "Köln", 200, 30, 45, 40, null, null, null,
             null},
        };
        for (const QVariantList& t : trips)
            c.exec(insert, t);
        c.exec(QStringLiteral("INSERT INTO plz (PLZ, Rechtsrheinisch) VALUES (51063, 1), "
                              "(50667, 0), (51063, 1)"));
        // More codes than the old table had room for (100): the last one still counts.
        for (int code = 20000; code < 20120; ++code)
            c.exec(QStringLiteral("INSERT INTO plz (PLZ, Rechtsrheinisch) VALUES (?, 0)"),
                   {code});
    }
};

} // namespace kilvaro::testing
