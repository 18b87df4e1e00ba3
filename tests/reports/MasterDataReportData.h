#pragma once

// A program folder whose database holds known tariffs, places and prices for the
// master-data reports, opened through the general data module.
//
//   ID 1: group 1, 01.01.2023 - 31.12.2023, VAT 19, EUR, surcharges 35 / 45 / 40 / 25,
//         places Köln 100, Bonn 80.5, Düren (no amount)
//   ID 2: group 1, 01.01.2024 - 31.12.2222, VAT 16, DM, places Köln 110, Bonn 90,
//         Hürth 95, Brühl 99.99
//   ID 3: group 2, 01.01.2024 - 31.12.2222, VAT 19, EUR, no places
//   Ortsliste: Köln, Bonn, Düren; Preisliste: three routes

#include "support/SeededProgram.h"

#include "data/ProgramSetup.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"

#include <QProcess>
#include <QStandardPaths>
#include <memory>

namespace kilvaro::testing {

class MasterDataReportData : public SeededProgram {
public:
    MasterDataReportData() : SeededProgram(&MasterDataReportData::seed) {}

    static void seed(Connection& c) {
        auto d = [](int y, int m, int day) { return stored::dateText(QDate(y, m, day)); };
        c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (1, ?, ?, 1), "
                              "(1, ?, ?, 2), (2, ?, ?, 3)"),
               {d(2023, 1, 1), d(2023, 12, 31), d(2024, 1, 1), d(2222, 12, 31), d(2024, 1, 1),
                d(2222, 12, 31)});
        c.exec(QStringLiteral(
            "INSERT INTO Tarif (Id, Mehrwertsteuer, Ankleiden, Nacht, Feiertag, Kuehlung, UHuelle, "
            "Covid19, Waehrung) VALUES (1, 19, 35, 45, 40, 25, NULL, NULL, 'EUR'), "
            "(2, 16, 30, 40, 35, 20, NULL, NULL, 'DM'), (3, 19, NULL, NULL, NULL, NULL, NULL, "
            "NULL, 'EUR')"));
        c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (1, 'Köln', 100), "
                              "(1, 'Bonn', 80.5), (1, 'Düren', NULL), (2, 'Köln', 110), "
                              "(2, 'Bonn', 90), (2, 'Hürth', 95), (2, 'Brühl', 99.99)"));
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Köln'), ('Bonn'), ('Düren')"));
        c.exec(QStringLiteral("INSERT INTO Preisliste (Ort, Entfernung, Richtpreis) VALUES "
                              "('Köln - Düsseldorf', 42, 185), ('Bonn - Koblenz', 62.5, 240.5), "
                              "('Köln - Hürth', NULL, 1234.5)"));
    }
};

inline bool havePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

/// The text of a PDF (one page when `page` > 0) in its layout.
inline QString pdfToText(const QString& pdf, int page = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    args << pdf << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace kilvaro::testing
