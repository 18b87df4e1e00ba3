#pragma once

#include "data/ProgramSetup.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "invoicing/Daten_R.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <memory>

#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

namespace kilvaro::testing {

/// A program folder with a fresh database, both data modules open and "today" fixed.
class InvoiceFixture {
public:
    explicit InvoiceFixture(const QDate& today = QDate(2026, 12, 8)) {
        ensureApp();
        folder.makeCurrent();
        ProgramSetup::createDefaults(folder.path());
        datenA = std::make_unique<TDaten_A>(folder.path(), &dialogs);
        datenA->DataModuleCreate();
        datenR = std::make_unique<TDaten_R>(datenA.get(), folder.path(), &dialogs);
        datenR->today = [today] { return today; };
        datenR->RechnungsmodulCreate();
        exec("INSERT INTO ADRESSEN (ID, Typ, Name, Vorname, Aktiv) VALUES "
             "(1, 1, 'Zander', 'Paul', 1), (2, 1, 'Arndt', '', 1)");
        datenR->ADR->refresh();
    }

    QSqlQuery exec(const char* sql, const QVariantList& binds = {}) {
        return datenA->Database->exec(QString::fromUtf8(sql), binds);
    }

    struct Trip {
        QString personen = QStringLiteral("Meier"), vorname = QStringLiteral("Anna"),
                strasse = QStringLiteral("Ring 4"), plz = QStringLiteral("47000"),
                ort = QStringLiteral("Dorf"), beamter, start = QStringLiteral("Klinik"),
                ziel = QStringLiteral("Friedhof"), akz = QStringLiteral("12/3");
        double pauschale = 100, nacht = 40, ankleiden = 0, kuehlung = 0;
        int bestatter = 1;
        QDateTime when = QDateTime(QDate(2026, 12, 1), QTime(14, 30));
        int auftragNr = 46357001;
    };

    /// Inserts a trip and returns its ID.
    int addTrip(const Trip& t) {
        QSqlQuery q = exec(
            "INSERT INTO Fahrten (Datum, Zeit, Bestatter, Personen, Vorname, Strasse, PLZ, Ort, "
            "Beamter, Startort, Zielort, AKZ, Ortspauschale, Nacht, Ankleiden, Kuehlung, "
            "AuftragNr) "
            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
            {stored::dateText(t.when.date()),
             stored::dateTimeText(QDateTime(stored::timeBaseDate(), t.when.time())), t.bestatter,
             t.personen, t.vorname, t.strasse, t.plz, t.ort, t.beamter, t.start, t.ziel, t.akz,
             t.pauschale, t.nacht, t.ankleiden, t.kuehlung, t.auftragNr});
        const int id = q.lastInsertId().toInt();
        datenA->Fahrttab->refresh();
        return id;
    }

    /// Makes the single invoice of a trip as the dialog does; returns its number.
    int makeSingleInvoice(int tripId) {
        Table* trips = datenA->Fahrttab;
        trips->refresh();
        if (!trips->locate(QStringLiteral("ID"), tripId))
            throw std::logic_error("trip not found");
        datenR->Rectab->append();
        datenR->Rectab->setValue(QStringLiteral("Datum"), datenR->today());
        datenR->Rectab->setValue(QStringLiteral("Kunde"),
                                 trips->value(QStringLiteral("Bestatter")));
        return datenR->EinzelRechnungSpeichern(trips);
    }

    /// Every row of the invoicing tables and the trips, for "exactly as before" checks.
    QStringList snapshot() {
        QStringList out;
        for (const char* table : {"Rechnung", "RecPos", "Fahrten"}) {
            QSqlQuery q =
                datenA->Database->exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid")
                                           .arg(QString::fromLatin1(table)));
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
                out << QString::fromLatin1(table) + QLatin1Char(':') + row.join(QLatin1Char('|'));
            }
        }
        return out;
    }

    QVariant scalar(const char* sql, const QVariantList& binds = {}) {
        QSqlQuery q = exec(sql, binds);
        return q.next() ? q.value(0) : QVariant();
    }

    /// Moves Rectab to the invoice with this number.
    bool gotoInvoice(int recNr) { return datenR->Rectab->locate(QStringLiteral("RecNr"), recNr); }

    TempProgramFolder folder;
    FakeDialogService dialogs;
    std::unique_ptr<TDaten_A> datenA;
    std::unique_ptr<TDaten_R> datenR;
};

} // namespace kilvaro::testing
