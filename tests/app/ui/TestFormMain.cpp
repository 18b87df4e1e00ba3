// Behaviour of the main frame window: enabling rule, single-instance child windows,
// arranging and closing children, window size from the command line and the stored state,
// error handling of the commands, the invoice list launcher and the help commands.
#include "support/DemoFolder.h"
#include "support/FakeDialogService.h"

#include "base/ui/HelpViewer.h"
#include "app/ui/TForm_Main.h"
#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/ui/DbNavigator.h"
#include "app/ui/ProgramRun.h"
#include "data/Table.h"
#include "invoicing/TBericht_Rechnung.h"
#include "reports/ReportPages.h"
#include "reports/ui/Drucken.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <stdexcept>

using namespace kilvaro;

namespace {

/// A minimal child window: records the order of closing and can refuse to close, as a
/// window whose pending edit cannot be stored does.
class TestChild : public QWidget {
public:
    explicit TestChild(const QString& title, QStringList* closeLog = nullptr)
        : m_closeLog(closeLog) {
        setWindowTitle(title);
        resize(200, 150);
    }
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (refuseClose) {
            event->ignore();
            return;
        }
        if (m_closeLog)
            m_closeLog->append(windowTitle());
        event->accept();
    }

private:
    QStringList* m_closeLog;
};

} // namespace

class TestFormMain : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeDialogService m_dialogs;

    std::unique_ptr<TForm_Main> makeWindow(const QStringList& arguments = {}) {
        AppContext context;
        context.programFolder = m_dir.path() + QLatin1Char('/');
        context.arguments = arguments;
        context.dialogs = &m_dialogs;
        return std::make_unique<TForm_Main>(context);
    }

    static QSettings userSettings() {
        return QSettings(QStringLiteral("korvat"), QStringLiteral("kilv"));
    }
    static void storeProgmax(std::optional<int> value) {
        QSettings s(QStringLiteral("korvat"), QStringLiteral("kilv"));
        if (value)
            s.setValue(QStringLiteral("Progmax"), *value);
        else
            s.remove(QStringLiteral("Progmax"));
        s.sync();
    }
    static QAction* action(TForm_Main& w, const char* name) {
        return w.findChild<QAction*>(QLatin1String(name));
    }
    static TestChild* addChild(TForm_Main& w, const QString& title, QStringList* log = nullptr) {
        auto* child = new TestChild(title, log);
        w.childWindows().addChild(child);
        return child;
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    void init() {
        m_dialogs.clear();
        storeProgmax(std::nullopt);
    }

    // --- window size and stored state ------------------------------------------------------

    void windowStateAtStart_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("progmax"); // -1: not stored
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<QSize>("size"); // empty: as designed
        QTest::newRow("first start") << QStringList() << -1 << false << QSize();
        QTest::newRow("stored maximised") << QStringList() << 1 << true << QSize();
        QTest::newRow("stored normal") << QStringList() << 0 << false << QSize();
        QTest::newRow("/800 beats stored state")
            << QStringList{"/800"} << 1 << false << QSize(800, 600);
        QTest::newRow("other single parameter") << QStringList{"/x"} << 1 << false << QSize();
        QTest::newRow("two parameters read the state")
            << QStringList{"/800", "/x"} << 1 << true << QSize();
        QTest::newRow("home option is not a size parameter")
            << QStringList{"--home", "/tmp/k", "/800"} << 1 << false << QSize(800, 600);
    }
    void windowStateAtStart() {
        QFETCH(QStringList, arguments);
        QFETCH(int, progmax);
        QFETCH(bool, maximised);
        QFETCH(QSize, size);
        storeProgmax(progmax < 0 ? std::nullopt : std::optional<int>(progmax));
        const QSize designed = makeWindow()->size();
        auto w = makeWindow(arguments);
        QCOMPARE(w->isMaximized(), maximised);
        QCOMPARE(w->size(), size.isEmpty() ? designed : size);
    }

    void closingStoresWhetherMaximised() {
        {
            auto w = makeWindow();
            w->showMaximized();
            QVERIFY(w->close());
        }
        QCOMPARE(userSettings().value("Progmax").toInt(), 1);
        {
            auto w = makeWindow();
            w->showNormal();
            QVERIFY(w->close());
        }
        QCOMPARE(userSettings().value("Progmax").toInt(), 0);
    }

    void closingClosesChildrenLastFirstAndStaysWhenOneRefuses() {
        auto w = makeWindow();
        w->show();
        QStringList log;
        addChild(*w, "A", &log);
        TestChild* b = addChild(*w, "B", &log);
        addChild(*w, "C", &log);
        b->refuseClose = true;
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        // The others still close (and store); the refusing one keeps the frame open.
        QCOMPARE(log, QStringList({"C", "A"}));
        QVERIFY(!userSettings().contains("Progmax")); // nothing stored while the frame stays
        b->refuseClose = false;
        QVERIFY(w->close());
        QCOMPARE(log, QStringList({"C", "A", "B"}));
        QVERIFY(userSettings().contains("Progmax"));
    }

    void beendenClosesTheWindowAndTheHelp() {
        auto w = makeWindow();
        w->show();
        action(*w, "HelpTopics1")->trigger();
        QVERIFY(w->help()->isVisible());
        action(*w, "beenden")->trigger();
        QVERIFY(!w->isVisible());
        QVERIFY(!w->help()->isVisible());
    }

    // --- enabling rule and window menu -----------------------------------------------------

    void windowCommandsFollowTheChildWindows() {
        auto w = makeWindow();
        w->show();
        auto* print = w->findChild<QToolButton*>("druckenbutton");
        const QStringList arranging = {"Cascade1", "TileSideBySide1", "TileOneBelowTheOther1"};
        auto check = [&](bool enabled) {
            for (const QString& name : arranging)
                QCOMPARE(w->findChild<QAction*>(name)->isEnabled(), enabled);
            QCOMPARE(print->isEnabled(), enabled);
            QVERIFY(action(*w, "CloseAll1")->isEnabled());
        };
        check(false);
        action(*w, "CloseAll1")->trigger(); // harmless without children
        check(false);
        TestChild* child = addChild(*w, "Kind");
        QCoreApplication::processEvents();
        check(true);
        child->parentWidget()->close();
        QCoreApplication::processEvents();
        check(false);
    }

    void windowMenuListsTheChildWindows() {
        auto w = makeWindow();
        w->show();
        addChild(*w, "Erstes");
        addChild(*w, "Zweites & Drittes");
        auto* menu = w->findChild<QMenu*>("WindowMenu");
        emit menu->aboutToShow();
        emit menu->aboutToShow(); // rebuilding does not duplicate entries
        QStringList entries;
        bool afterSeparator = false;
        for (QAction* a : menu->actions()) {
            if (a->objectName() == QLatin1String("WindowListSeparator")) {
                QVERIFY(a->isVisible());
                afterSeparator = true;
            } else if (afterSeparator) {
                entries << a->text();
            }
        }
        QCOMPARE(entries, QStringList({"&1 Erstes", "&2 Zweites && Drittes"}));
        // Choosing an entry activates that window.
        menu->actions().at(menu->actions().size() - 2)->trigger();
        QCOMPARE(w->mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Erstes"));
    }

    void tilingSideBySideAndOneBelowTheOther() {
        auto w = makeWindow();
        w->show();
        addChild(*w, "A");
        addChild(*w, "B");
        addChild(*w, "C")->parentWidget()->showMaximized();
        const QRect area = w->mdiArea()->viewport()->rect();
        action(*w, "TileSideBySide1")->trigger();
        QList<QMdiSubWindow*> subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
        int x = 0;
        for (QMdiSubWindow* sub : subs) {
            QVERIFY(!sub->isMaximized());
            QCOMPARE(sub->geometry().left(), x);
            QCOMPARE(sub->geometry().top(), 0);
            QCOMPARE(sub->height(), area.height());
            QVERIFY(qAbs(sub->width() - area.width() / 3) <= 1);
            x += sub->width();
        }
        QCOMPARE(x, area.width());
        action(*w, "TileOneBelowTheOther1")->trigger();
        int y = 0;
        for (QMdiSubWindow* sub : subs) {
            QCOMPARE(sub->geometry().top(), y);
            QCOMPARE(sub->geometry().left(), 0);
            QCOMPARE(sub->width(), area.width());
            y += sub->height();
        }
        QCOMPARE(y, area.height());
    }

    // --- single-instance child windows -----------------------------------------------------

    void singleInstanceWindowIsCreatedOnceAndBroughtToFront() {
        auto w = makeWindow();
        w->show();
        int made = 0;
        auto open = [&] {
            return w->childWindows().showSingle<TestChild>(ChildKind::Preisliste, [&] {
                ++made;
                return new TestChild("Preisliste");
            });
        };
        TestChild* first = open();
        addChild(*w, "Andere"); // another window becomes active
        first->parentWidget()->showMinimized();
        TestChild* second = open();
        QCOMPARE(second, first);
        QCOMPARE(made, 1);
        QCOMPARE(w->mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(first));
        QVERIFY(!first->parentWidget()->isMinimized());
        QCOMPARE(w->childWindows().find(ChildKind::Preisliste), static_cast<QWidget*>(first));
        QVERIFY(!w->childWindows().find(ChildKind::Tarif));

        // Closed: the next command makes a new one, even before the old one is freed.
        first->parentWidget()->close();
        QVERIFY(!w->childWindows().find(ChildKind::Preisliste));
        TestChild* third = open();
        QCOMPARE(made, 2);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 2);
        QCoreApplication::processEvents(); // old window freed
        QCOMPARE(w->childWindows().find(ChildKind::Preisliste), static_cast<QWidget*>(third));

        w->childWindows().release(ChildKind::Preisliste);
        QVERIFY(!w->childWindows().find(ChildKind::Preisliste));
    }

    void failingWindowCreationIsReportedAndRegistersNothing() {
        auto w = makeWindow();
        w->show();
        w->runGuarded([&] {
            w->childWindows().showSingle<TestChild>(ChildKind::Tarif, []() -> TestChild* {
                throw DbError(QStringLiteral("Tabelle nicht gefunden"));
            });
        });
        QCOMPARE(m_dialogs.messages().size(), 1);
        QCOMPARE(m_dialogs.messages()[0].text, QStringLiteral("Tabelle nicht gefunden"));
        QCOMPARE(m_dialogs.messages()[0].icon, MsgIcon::Error);
        QVERIFY(!w->childWindows().find(ChildKind::Tarif));
        QVERIFY(w->mdiArea()->subWindowList().isEmpty());
    }

    // --- errors in commands ------------------------------------------------------------------

    void commandErrorsAreShownAndTheWindowStays() {
        auto w = makeWindow(); // no data module
        w->show();
        action(*w, "SQL1")->trigger();
        QCOMPARE(m_dialogs.messages().size(), 1);
        QCOMPARE(m_dialogs.messages()[0].icon, MsgIcon::Error);
        QVERIFY(!m_dialogs.messages()[0].text.isEmpty());
        QVERIFY(w->isVisible());

        w->runGuarded([] { throw std::runtime_error("Ungültiges Datum"); });
        QCOMPARE(m_dialogs.messages().size(), 2);
        QCOMPARE(m_dialogs.messages()[1].text, QStringLiteral("Ungültiges Datum"));

        w->runGuarded([] { throw AbortError(); }); // a deliberate stop shows nothing
        QCOMPARE(m_dialogs.messages().size(), 2);
        QVERIFY(w->isVisible());
    }

    // --- invoice list, navigator, help ---------------------------------------------------------

    void invoiceListStoresTitleAndFilterAndClosesChildren() {
        auto w = makeWindow();
        w->show();
        QVERIFY(w->ReportTitle.isEmpty());
        QVERIFY(w->InvoiceFilter.isEmpty());
        addChild(*w, "A");
        addChild(*w, "B");
        action(*w, "HiddenInvoices1")->trigger();
        QVERIFY(w->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(w->ReportTitle, QStringLiteral("Bericht über ausgeblendete Rechnungen"));
        QCOMPARE(w->InvoiceFilter,
                 QStringLiteral(" and not storniert and not (bezahlt) and  ausgeblendet"));
        action(*w, "UnpaidInvoices1")->trigger();
        QCOMPARE(w->InvoiceFilter,
                 QStringLiteral(" and not storniert and not (bezahlt) and not ausgeblendet"));
        action(*w, "PaidInvoices1")->trigger();
        QCOMPARE(w->ReportTitle, QStringLiteral("Bericht über bezahlte Rechnungen"));
        QCOMPARE(w->InvoiceFilter, QStringLiteral(" and not storniert and (bezahlt)"));
        action(*w, "AllInvoices1")->trigger();
        QCOMPARE(w->ReportTitle, QStringLiteral("Bericht über alle Rechnungen"));
        QCOMPARE(w->InvoiceFilter, QStringLiteral(" and not storniert"));
        // Without a database the list cannot run, and each item says so.
        QCOMPARE(m_dialogs.messages().size(), 4);
        for (const auto& m : m_dialogs.messages())
            QCOMPARE(m.text, QStringLiteral("Es ist keine Datenbank geöffnet."));
    }

    void invoiceListAsksForThePeriodAndPreviewsTheList() {
        TempProgramFolder folder;
        fillWithDemoData(folder, QDate(2026, 12, 8));
        ProgramRun run(folder.path(), &m_dialogs);
        run.start(QDate(2026, 12, 8));
        TForm_Main& w = run.mainWindow();
        w.show();
        TDruckfilterform& filter = run.filter();

        QStringList previewed; // title, then the texts of the pages
        Drucken::steps().preview = [&](Report& report, const AppContext&) {
            QVERIFY(dynamic_cast<TBericht_Rechnung*>(&report));
            previewed << report.title();
            const auto pages = report.render();
            for (int i = 0; i < pages->pageCount(); ++i)
                previewed << pages->page(i).texts();
        };
        Drucken::steps().print = [](Report&, const AppContext&, QWidget*) {
            QFAIL("the preview was chosen");
        };
        bool asked = false;
        auto answer = [&](QPushButton* TDruckfilterform::*button, bool grouped) {
            QTimer::singleShot(0, &filter, [&, button, grouped] {
                asked = filter.isVisible();
                QCOMPARE(filter.windowTitle(), QStringLiteral("Bericht Rechnungen erstellen"));
                QCOMPARE(filter.title(), QStringLiteral("Bericht über unbezahlte Rechnungen"));
                QVERIFY(filter.NachBestatter->isVisible());
                QVERIFY(filter.bestatterSeiten->isVisible());
                filter.setMode(ReportFilter::Mode::AlleDaten);
                filter.einbestatter->setChecked(false);
                filter.NachBestatter->setChecked(grouped);
                (filter.*button)->click();
            });
        };

        answer(&TDruckfilterform::BTAbbruch, false);
        action(w, "UnpaidInvoices1")->trigger();
        QVERIFY(asked);
        QVERIFY(previewed.isEmpty());

        answer(&TDruckfilterform::BTMonitor, true);
        action(w, "UnpaidInvoices1")->trigger();
        QVERIFY(asked);
        QVERIFY(m_dialogs.messages().isEmpty());
        QCOMPARE(previewed.value(0), QStringLiteral("Bericht über unbezahlte Rechnungen"));
        QVERIFY(previewed.contains(QStringLiteral("Gesamtausdruck")));
        QVERIFY(previewed.contains(QStringLiteral("Summe")));
        QVERIFY2(!previewed.join(QLatin1Char(' ')).contains(QStringLiteral("Rechnungen:")),
                 "grouped");
        QVERIFY(!previewed.contains(QStringLiteral("bezahlt")));

        // Afterwards the invoice table is whole and in number order again, and the grouping
        // boxes are hidden for the next report.
        Table* invoices = run.datenR().Rectab;
        QVERIFY(!invoices->filtered());
        QVERIFY(invoices->filter().isEmpty());
        QCOMPARE(invoices->order(), QStringLiteral("[RecNr] ASC"));
        QVERIFY(!filter.NachBestatter->isVisibleTo(&filter));
        Drucken::resetSteps();
    }

    void navigatorIsBoundAndUnbound() {
        auto w = makeWindow();
        w->show();
        DataSource source;
        w->navigator()->hide();
        w->SetNavigatorSource(&source);
        QCOMPARE(w->navigator()->dataSource(), &source);
        QVERIFY(w->navigator()->isVisible());
        w->ClearNavigatorSource();
        QVERIFY(!w->navigator()->dataSource());
    }

    void helpCommandsOpenTheirPages() {
        auto w = makeWindow();
        w->show();
        w->findChild<QToolButton*>("ToolButton10")->click();
        QVERIFY(w->help()->isVisible());
        QCOMPARE(w->help()->currentPage(), QStringLiteral("1.html"));
        action(*w, "HelpOnHelp1")->trigger();
        QCOMPARE(w->help()->currentPage(), QStringLiteral("hilfe.html"));
        action(*w, "HelpIndex1")->trigger();
        QCOMPARE(w->help()->currentPage(), QStringLiteral("index.html"));
        action(*w, "Info1")->trigger();
        QVERIFY(!m_dialogs.messages().isEmpty());
        QCOMPARE(m_dialogs.lastMessage().icon, MsgIcon::Information);
    }
};

QTEST_MAIN(TestFormMain)
#include "TestFormMain.moc"
