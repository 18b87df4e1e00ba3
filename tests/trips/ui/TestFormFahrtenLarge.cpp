// The trip window over 250,000 generated trips: it opens and shows its first screen
// without reading every row, and amounts of a screen of rows cost no tariff look-up per
// row.
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include "data/ProgramSetup.h"
#include "app/ui/TForm_Main.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "data/ui/DbGrid.h"
#include "trips/TripRules.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace kilvaro;

class TestFormFahrtenLarge : public QObject {
    Q_OBJECT

    static constexpr int kTrips = 250000;
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }

    void firstScreenOfAQuarterMillionTrips() {
        TempProgramFolder program;
        ProgramSetup::createDefaults(program.path());
        {
            Connection c;
            c.open(ProgramSetup::databasePath(program.path()));
            c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
                                  "(17, 1, 'Zander', 3, 1), (18, 1, 'Arndt', 3, 1)"));
            c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES "
                                  "(3, '1990-01-01 00:00:00', '2010-12-31 00:00:00', 30), "
                                  "(3, '2011-01-01 00:00:00', '2030-12-31 00:00:00', 31)"));
            c.exec(
                QStringLiteral("INSERT INTO Tarif (Id, Mehrwertsteuer) VALUES (30, 16), (31, 19)"));
            // About 34 trips a day over twenty years, generated in one statement.
            c.exec(
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO Fahrten (Datum, Bestatter, AuftragNr, Personen, Startort, "
                    "Zielort, "
                    "Ortspauschale) SELECT strftime('%Y-%m-%d 00:00:00', '2000-01-01', "
                    "'+' || (i / 34) || ' days'), 17 + i % 2, "
                    "(36526 + i / 34) * 1000 + i % 34 + 1, 'Name ' || i, 'Bonn', 'Köln', 80 FROM n")
                    .arg(kTrips - 1));
        }
        FakeDialogService dialogs;
        TDaten_A daten(program.path(), &dialogs);
        QElapsedTimer timer;
        timer.start();
        daten.DataModuleCreate();
        QVERIFY(daten.isConnected());
        TripRules* rules = TripRules::install(&daten, &dialogs);
        AppContext context;
        context.programFolder = program.path();
        context.dialogs = &dialogs;
        context.daten = &daten;
        TForm_Main main(context);
        main.resize(1280, 800);
        main.show();
        main.findChild<QAction*>(QStringLiteral("Ueberfuehrungen1"))->trigger();
        auto* w = main.findChild<TForm_Fahrten*>();
        QVERIFY(w);
        QCOMPARE(daten.Fahrttab->recordCount(), kTrips);
        QCOMPARE(daten.Fahrttab->recNo(), kTrips - 1); // on the latest trip
        const QPixmap screen = w->grab();
        QVERIFY(!screen.isNull());
        const qint64 elapsed = timer.elapsed();
        qInfo("opened and drawn in %lld ms", elapsed);
        // Reading every row of the table takes far longer than this; the window reads the
        // ordered keys and the rows it shows.
        QVERIFY2(elapsed < 8000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));

        // Gross amounts of the screen of rows around the current trip and of the first
        // screen: at most one look-up per version, not one per row.
        const int before = rules->tariffLookups();
        const int top = w->suchgitter->rowAt(0);
        const int bottom = w->suchgitter->rowAt(w->suchgitter->viewport()->height() - 1);
        QVERIFY(bottom > top);
        for (int row = top; row <= bottom; ++row)
            QCOMPARE(daten.Fahrttab->valueAt(row, QStringLiteral("Brutto")).toDouble(), 80 * 1.19);
        for (int row = 0; row < 40; ++row)
            QCOMPARE(daten.Fahrttab->valueAt(row, QStringLiteral("Brutto")).toDouble(), 80 * 1.16);
        QVERIFY2(rules->tariffLookups() - before <= 3,
                 qPrintable(QStringLiteral("%1 look-ups").arg(rules->tariffLookups() - before)));

        // Moving through trips of the same funeral directors' tariff group.
        const int beforeMoves = rules->tariffLookups();
        for (int i = 0; i < 60; ++i)
            daten.Fahrttab->prior();
        QVERIFY(rules->tariffLookups() - beforeMoves <= 2);
        main.closeAllChildWindows();
    }
};

QTEST_MAIN(TestFormFahrtenLarge)
#include "TestFormFahrtenLarge.moc"
