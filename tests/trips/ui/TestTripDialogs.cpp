// The date dialog and the trip search: results on OK and cancel, today's date as the
// start, the program's dialog service showing the date dialog, and a search whose
// surname holds characters that mean something to SQL.
#include "support/FakeDialogService.h"
#include "support/TableTestDb.h"

#include "base/ui/QtDialogService.h"
#include "data/StoredValue.h"
#include "trips/ui/TFAuftragsuche.h"
#include "base/ui/TKalenderform.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace kilvaro;

class TestTripDialogs : public QObject {
    Q_OBJECT

    /// Clicks a button of the next date dialog once it is shown modally.
    static void whenShown(const std::function<void(TKalenderform*)>& action) {
        QTimer::singleShot(0, [action] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* k = qobject_cast<TKalenderform*>(w); k && k->isVisible())
                    action(k);
        });
    }

private slots:
    void calendarResults() {
        const QDate today(2021, 3, 15);
        {
            TKalenderform k(nullptr, today);
            QCOMPARE(k.windowTitle(), QStringLiteral("Kalender"));
            QCOMPARE(k.Kalender->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
            QVERIFY(k.BTOK->isDefault());
            QVERIFY(k.windowFlags() & Qt::WindowStaysOnTopHint);
            k.BTOK->click();
            QCOMPARE(k.result(), int(QDialog::Accepted));
            QCOMPARE(k.resultText(), QStringLiteral("15.03.2021")); // OK untouched: today
        }
        {
            TKalenderform k(nullptr, today);
            k.Kalender->setSelectedDate(QDate(2021, 2, 1));
            k.BTAbbruch->click();
            QCOMPARE(k.result(), int(QDialog::Rejected));
            QVERIFY(k.resultText().isEmpty());
        }
        {
            // A double-click on a day (the calendar's activation) acts as OK.
            TKalenderform k(nullptr, today);
            emit k.Kalender->activated(QDate(2021, 4, 30));
            QCOMPARE(k.resultText(), QStringLiteral("30.04.2021"));
        }
        {
            // Escape cancels even after a date was picked before.
            TKalenderform k(nullptr, today);
            k.show();
            QTest::keyClick(&k, Qt::Key_Escape);
            QCOMPARE(k.result(), int(QDialog::Rejected));
            QVERIFY(k.resultText().isEmpty());
        }
    }

    void dialogServiceShowsTheDateDialog() {
        QtDialogService service;
        whenShown([](TKalenderform* k) { k->BTOK->click(); });
        QCOMPARE(service.pickDate(QDate(2020, 2, 29)), std::optional<QDate>(QDate(2020, 2, 29)));
        whenShown([](TKalenderform* k) { k->BTAbbruch->click(); });
        QCOMPARE(service.pickDate(QDate(2020, 2, 29)), std::optional<QDate>());
    }

    void tripSearch() {
        testing::TableTestDb db;
        auto add = [&](const QString& date, const QString& name, int director, qint64 number) {
            db->exec(
                QStringLiteral(
                    "INSERT INTO Fahrten (Datum, Personen, Vorname, Bestatter, "
                    "AuftragNr, Startort, Zielort) VALUES (?, ?, 'Eva', ?, ?, 'Bonn', 'Köln')"),
                {date, name, director, number});
        };
        add(stored::dateText(QDate(2021, 2, 1)), QStringLiteral("D'Angelo"), 5, 44228001);
        add(stored::dateText(QDate(2021, 1, 1)), QStringLiteral("d'angelo-Brandt"), 5, 44197001);
        add(stored::dateText(QDate(2021, 1, 5)), QStringLiteral("D'Angelo"), 6, 44201001);
        add(stored::dateText(QDate(2021, 1, 6)), QStringLiteral("DXAngelo"), 5, 44202001);
        add(stored::dateText(QDate(2021, 1, 7)), QStringLiteral("50%_Rabatt"), 5, 44203001);
        add(stored::dateText(QDate(2021, 1, 8)), QStringLiteral("50xxRabatt"), 5, 44204001);

        TFAuftragsuche search(&db.conn());
        QCOMPARE(search.windowTitle(), QStringLiteral("Fahrt suchen"));
        // Same funeral director, surname beginning with the first six characters, by date.
        search.setSameOrderQuery(QStringLiteral("D'Angelo"), 5);
        search.open();
        QCOMPARE(search.rowCount(), 2);
        QCOMPARE(search.Auftragnr(), 44197001LL);
        search.selectRow(1);
        QCOMPARE(search.Auftragnr(), 44228001LL);
        QCOMPARE(search.DBGrid1->model()->index(1, 1).data().toString(),
                 QStringLiteral("01.02.2021"));
        QCOMPARE(search.DBGrid1->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("personen"));

        // Wildcards in the name are plain characters.
        search.setSameOrderQuery(QStringLiteral("50%_Rabatt"), 5);
        search.open();
        QCOMPARE(search.rowCount(), 1);
        QCOMPARE(search.Auftragnr(), 44203001LL);

        // No rows: OK gives 0.
        search.setSameOrderQuery(QStringLiteral("Niemand"), 5);
        search.open();
        QCOMPARE(search.rowCount(), 0);
        QCOMPARE(search.Auftragnr(), 0LL);
    }
};

QTEST_MAIN(TestTripDialogs)
#include "TestTripDialogs.moc"
