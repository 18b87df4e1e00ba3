// The monthly invoices window in the program: opened from the menu, the tool button and the
// invoice overview; the run through its button with the print selection for the new
// invoices; button states that follow the typed year; the chart's bars of the year; the
// navigator while active and after; deleting the month; printing the chart.
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include "app/ui/ProgramRun.h"
#include "data/Connection.h"
#include "data/ProgramSetup.h"
#include "data/StoredValue.h"
#include "data/TableModel.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "invoicing/MonthlyRun.h"
#include "invoicing/ui/TRec_Editform.h"
#include "invoicing/ui/TRec_Monatform.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace kilvaro;

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QDate kToday(2026, 12, 8);

} // namespace

class TestRecMonatform : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    TempProgramFolder m_folder;
    FakeDialogService m_dialogs;
    std::unique_ptr<ProgramRun> m_run;
    TForm_Main* m_main = nullptr;
    struct Selection {
        int from, to;
        QString caption;
    };
    QList<Selection> m_selections;

    void trigger(const char* action) {
        QAction* a = m_main->findChild<QAction*>(QLatin1String(action));
        QVERIFY2(a, action);
        a->trigger();
    }
    QWidget* activeChild() const {
        QMdiSubWindow* sub = m_main->mdiArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }
    TRec_Monatform* window() { return qobject_cast<TRec_Monatform*>(activeChild()); }
    void prepare(TRec_Monatform* w) {
        w->openPrintSelection = [this](int from, int to, const QString& caption) {
            m_selections << Selection{from, to, caption};
        };
    }
    /// Which buttons are usable: erstellen, Nachbuchen, anzeigen, loeschen, recbuchen.
    static QList<bool> states(TRec_Monatform* w) {
        return {w->erstellen->isEnabled(), w->Nachbuchen->isVisibleTo(w), w->anzeigen->isEnabled(),
                w->loeschen->isEnabled(), w->recbuchen->isEnabled()};
    }
    static QList<double> bars(TRec_Monatform* w, QStringList* months) {
        QList<double> values;
        for (QAbstractSeries* s : w->DBChart1->chart()->series())
            if (auto* b = qobject_cast<QBarSeries*>(s))
                for (QBarSet* set : b->barSets())
                    for (int i = 0; i < set->count(); ++i)
                        values << set->at(i);
        for (QAbstractAxis* a : w->DBChart1->chart()->axes(Qt::Horizontal))
            if (auto* c = qobject_cast<QBarCategoryAxis*>(a))
                *months = c->categories();
        return values;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        m_folder.makeCurrent();
        ProgramSetup::createDefaults(m_folder.path());
        {
            Connection c;
            c.open(ProgramSetup::databasePath(m_folder.path()));
            c.exec(S("INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv) VALUES (1, 1, 'Zander', 1), "
                     "(2, 1, 'Arndt', 1)"));
            int n = 0;
            for (const auto& [director, day, amount] : {std::tuple{1, QDate(2026, 11, 3), 120.0},
                                                        {2, QDate(2026, 11, 4), 80.5},
                                                        {2, QDate(2026, 11, 30), 99.5},
                                                        {1, QDate(2026, 5, 2), 300.0}})
                c.exec(S("INSERT INTO Fahrten (Datum, Bestatter, Personen, Startort, Zielort, "
                         "Ortspauschale, AuftragNr) VALUES (?, ?, 'Meier', 'Klinik', "
                         "'Friedhof', ?, ?)"),
                       {stored::dateText(day), director, amount, ++n});
            c.exec(S("INSERT INTO Monatsrechnung (Monat, Jahr, Rechnung_von, Rechnung_bis, "
                     "Umsatz) VALUES (12, 2001, 0, 0, 1000)"));
            c.close();
        }
        m_run = std::make_unique<ProgramRun>(m_folder.path(), &m_dialogs);
        m_main = &m_run->mainWindow();
        m_run->datenR().today = [] { return kToday; };
        m_run->start(kToday);
        m_main->resize(1280, 900);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main));
    }

    void cleanupTestCase() {
        m_dialogs.setDefaultAnswer(MsgResult::Yes);
        m_run.reset();
    }

    void runTheMonthThroughTheWindow() {
        trigger("MonthlyInvoices1");
        TRec_Monatform* w = window();
        QVERIFY(w);
        prepare(w);
        QCOMPARE(w->windowTitle(), S("Monatsrechnungen..."));
        // The month before today's is chosen; it has no row yet.
        QCOMPARE(w->Monatedit->currentText(), S("November"));
        QCOMPARE(w->year(), 2026);
        QCOMPARE(w->erstellen->text(), S("November - &Rechnungen"));
        QCOMPARE(w->anzeigen->text(), S("November &drucken"));
        QCOMPARE(states(w), (QList<bool>{true, false, false, false, false}));
        // Old rows without currency are DM rows.
        QCOMPARE(m_run->daten()
                     .Database->exec(S("SELECT ISO FROM Monatsrechnung WHERE Jahr = 2001"))
                     .next(),
                 true);
        QCOMPARE(w->run().monthRow(12, 2001)->iso, S("DM"));

        // Navigator: moving only while the window is active.
        DbNavigator* nav = m_main->navigator();
        QCOMPARE(nav->dataSource()->table(), w->run().MRectab);
        QVERIFY(nav->button(DbNavigator::Next)->isVisibleTo(nav));
        QVERIFY(!nav->button(DbNavigator::Insert)->isVisibleTo(nav));
        QVERIFY(!nav->button(DbNavigator::Post)->isVisibleTo(nav));

        QTest::mouseClick(w->erstellen, Qt::LeftButton);
        QCOMPARE(m_selections.size(), 1);
        QCOMPARE(m_selections[0].caption, S("Rechnungen vom November drucken..."));
        QCOMPARE(m_selections[0].to, m_selections[0].from + 1);
        QCOMPARE(w->Status->currentMessage(),
                 S("Die Monatsrechnungen für November sind erstellt..."));
        QCOMPARE(states(w), (QList<bool>{false, true, true, true, true}));
        QCOMPARE(w->DBGrid1->tableModel()->rowCount(), 2);
        QStringList months;
        QCOMPARE(bars(w, &months), QList<double>{300.0});
        QCOMPARE(months, QStringList{S("11")});
        // A second click is refused (the button is off; the rule refuses as well).
        w->erstellenClick();
        QCOMPARE(m_dialogs.lastMessage().text,
                 S("Die Monatsrechnungen für den Monat November 2026 sind schon erstellt "
                   "worden!"));

        // The states follow the year as it is typed.
        QLineEdit* yearText = w->Jahredit->findChild<QLineEdit*>();
        yearText->selectAll();
        QTest::keyClicks(yearText, S("2027"));
        QCOMPARE(states(w), (QList<bool>{true, false, false, false, false}));
        yearText->selectAll();
        QTest::keyClicks(yearText, S("20"));
        QCOMPARE(states(w), (QList<bool>{false, false, false, false, false}));
        yearText->selectAll();
        QTest::keyClicks(yearText, S("2026"));
        QCOMPARE(states(w), (QList<bool>{false, true, true, true, true}));
        w->Filtertext->setValue(2001);
        QCOMPARE(bars(w, &months), QList<double>{1000.0});

        // Printing the chart goes to the chosen printer.
        const QString pdf = m_folder.filePath(S("diagramm.pdf"));
        w->choosePrinter = [pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QVERIFY(QFileInfo(pdf).size() > 1000);

        // Deleting the month after the question frees its trips and drops its row.
        m_dialogs.answerNext(MsgResult::Yes);
        QTest::mouseClick(w->loeschen, Qt::LeftButton);
        QCOMPARE(m_dialogs.lastMessage().text,
                 S("Wollen Sie wirklich die Rechnungen Nr %1 bis Nr %2 löschen?")
                     .arg(m_selections[0].from)
                     .arg(m_selections[0].to));
        QCOMPARE(w->Status->currentMessage(),
                 S("Die Monatsrechnungen für November sind gelöscht worden.."));
        QCOMPARE(states(w), (QList<bool>{true, false, false, false, false}));

        // The invoice overview from here; the navigator gets its full set back first.
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        auto* overview = qobject_cast<TRec_Editform*>(activeChild());
        QVERIFY(overview);
        QVERIFY(nav->button(DbNavigator::Post)->isVisibleTo(nav));
        QVERIFY(nav->dataSource()->table() != w->run().MRectab);

        // From the overview back to the one monthly window; the tool button finds it too.
        QTest::mouseClick(overview->Button5, Qt::LeftButton);
        QCOMPARE(window(), w);
        trigger("CloseAll1");
        QVERIFY(QTest::qWaitFor([this] { return !m_main->findChild<TRec_Monatform*>(); }));
        auto* tool = m_main->findChild<QToolButton*>(S("ToolButton8"));
        QVERIFY(tool);
        tool->click();
        QVERIFY(window());
        QCOMPARE(m_main->findChildren<TRec_Monatform*>().size(), 1);
        trigger("CloseAll1");
    }
};

QTEST_MAIN(TestRecMonatform)
#include "TestRecMonatform.moc"
