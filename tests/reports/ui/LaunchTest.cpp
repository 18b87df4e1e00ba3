// Launching the master-data reports: the print menu, the tool bar's print button by the
// active window and the tariff window's own print, each through the title dialog, with
// preview, print or nothing; the shared tables as the user left them afterwards.
#include "reports/MasterDataReportData.h"

#include "app/ui/TForm_Main.h"
#include "base/DbError.h"
#include "reports/Report.h"
#include "reports/TBericht_Ortslistenform.h"
#include "reports/TBericht_Preisform.h"
#include "reports/TBericht_Tarifform.h"
#include "reports/ui/Drucken.h"
#include "reports/ui/TBerichtzielform.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::MasterDataReportData;

class LaunchTest : public QObject {
    Q_OBJECT

    /// What a launch showed and produced.
    struct Launch {
        int asked = 0;
        QString caption;
        QString presetTitle;
        int previews = 0;
        int prints = 0;
        QString kind; ///< "Tarife", "Ortsliste", "Preisliste"
        QString title;
        int pageCount = 0;
        QStringList headings; ///< LTarif texts of every page
        QStringList starts;   ///< DFTarifanfang texts of every page
    };

    QTemporaryDir m_settings;
    std::unique_ptr<MasterDataReportData> m_data;
    std::unique_ptr<TForm_Main> m_main;
    Launch m_launch;
    ReportChoice m_answer = ReportChoice::Preview;
    QString m_typed; ///< typed over the preset title when not null
    std::function<void()> m_failOutput;

    TDaten_A& daten() { return *m_data->daten; }
    QAction* action(const char* name) { return m_main->findChild<QAction*>(QLatin1String(name)); }
    QToolButton* printButton() {
        return m_main->findChild<QToolButton*>(QStringLiteral("druckenbutton"));
    }
    QWidget* activeChild() {
        QMdiSubWindow* sub = m_main->mdiArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }
    void capture(Report& report) {
        if (m_failOutput)
            m_failOutput();
        if (dynamic_cast<TBericht_Tarifform*>(&report))
            m_launch.kind = QStringLiteral("Tarife");
        else if (dynamic_cast<TBericht_Ortslistenform*>(&report))
            m_launch.kind = QStringLiteral("Ortsliste");
        else if (dynamic_cast<TBericht_Preisform*>(&report))
            m_launch.kind = QStringLiteral("Preisliste");
        m_launch.title = report.title();
        const auto pages = report.render();
        m_launch.pageCount = pages->pageCount();
        for (int i = 0; i < pages->pageCount(); ++i) {
            m_launch.headings << pages->page(i).textsOf(QStringLiteral("LTarif"));
            m_launch.starts << pages->page(i).textsOf(QStringLiteral("DFTarifanfang"));
        }
    }
    void scriptSteps() {
        ReportLaunchSteps& s = Drucken::steps();
        s.askTitle = [this](TBerichtzielform& dialog) {
            ++m_launch.asked;
            m_launch.caption = dialog.windowTitle();
            m_launch.presetTitle = dialog.title();
            if (!m_typed.isNull())
                dialog.Titel->setText(m_typed);
            return m_answer;
        };
        s.preview = [this](Report& r, const AppContext&) {
            ++m_launch.previews;
            capture(r);
        };
        s.print = [this](Report& r, const AppContext&, QWidget*) {
            ++m_launch.prints;
            capture(r);
        };
    }
    /// Opens a child window from its menu action and waits until it is the active one.
    QWidget* openWindow(const char* menuAction) {
        action(menuAction)->trigger();
        QCoreApplication::processEvents();
        return activeChild();
    }
    QWidget* tariffWindow() { return openWindow("Ortstarif1"); }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        m_data = std::make_unique<MasterDataReportData>();
        const AppContext context = m_data->context();
        m_main = std::make_unique<TForm_Main>(context);
        m_main->resize(1280, 800);
        m_main->show();
        m_launch = Launch();
        m_answer = ReportChoice::Preview;
        m_typed = QString();
        m_failOutput = nullptr;
        scriptSteps();
    }
    void cleanup() {
        Drucken::resetSteps();
        m_main->closeAllChildWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        m_data.reset();
    }

    void printMenuLaunchesEachReportWithItsCaptionAndTitle_data() {
        QTest::addColumn<QString>("menuAction");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("pages");
        QTest::newRow("Tarif2") << "Tarif2"
                                << "Bericht \"Tarife\" erstellen"
                                << "Tarife" << 3;
        QTest::newRow("Ortsliste2") << "Ortsliste2"
                                    << "Bericht \"Ortsliste\" erstellen"
                                    << "Ortsliste" << 1;
        QTest::newRow("Preisliste2") << "Preisliste2"
                                     << "Bericht \"Preisliste\" erstellen"
                                     << "Preisliste" << 1;
    }
    void printMenuLaunchesEachReportWithItsCaptionAndTitle() {
        QFETCH(QString, menuAction);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        QFETCH(int, pages);
        action(menuAction.toLatin1().constData())->trigger();
        QCOMPARE(m_launch.asked, 1);
        QCOMPARE(m_launch.caption, caption);
        QCOMPARE(m_launch.presetTitle, title);
        QCOMPARE(m_launch.previews, 1);
        QCOMPARE(m_launch.prints, 0);
        QCOMPARE(m_launch.kind, title);
        QCOMPARE(m_launch.title, title);
        QCOMPARE(m_launch.pageCount, pages);
        QVERIFY(m_data->dialogs.messages().isEmpty());
    }

    void printChoiceSendsTheReportWithTheTypedTitleToThePrinter() {
        m_answer = ReportChoice::Print;
        m_typed = QStringLiteral("Tarife ab 2024");
        action("Tarif2")->trigger();
        QCOMPARE(m_launch.prints, 1);
        QCOMPARE(m_launch.previews, 0);
        QCOMPARE(m_launch.title, QStringLiteral("Tarife ab 2024"));
        QCOMPARE(m_launch.headings, QStringList(3, QStringLiteral("Tarif: ")));
    }

    void cancelCreatesNoReport() {
        m_answer = ReportChoice::Cancel;
        for (const char* a : {"Tarif2", "Ortsliste2", "Preisliste2"})
            action(a)->trigger();
        QCOMPARE(m_launch.asked, 3);
        QCOMPARE(m_launch.previews + m_launch.prints, 0);
        QVERIFY(m_launch.kind.isEmpty());
    }

    void realTitleDialogAnswersThroughItsButtons() {
        Drucken::steps().askTitle = [](TBerichtzielform& dialog) { return dialog.showModal(); };
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<TBerichtzielform*>(QApplication::activeModalWidget());
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QStringLiteral("Bericht \"Ortsliste\" erstellen"));
            d->Titel->setText(QStringLiteral("Orte im Kreis"));
            QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        });
        action("Ortsliste2")->trigger();
        QCOMPARE(m_launch.previews, 1);
        QCOMPARE(m_launch.title, QStringLiteral("Orte im Kreis"));

        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<TBerichtzielform*>(QApplication::activeModalWidget());
            QVERIFY(d);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        action("Ortsliste2")->trigger();
        QCOMPARE(m_launch.previews, 1); // Esc cancels
    }

    void toolBarPrintButtonFollowsTheActiveWindow() {
        QVERIFY(!printButton()->isEnabled()); // no child window
        emit printButton()->clicked();        // even a forced click does nothing
        QCOMPARE(m_launch.asked, 0);

        QVERIFY(openWindow("Bestatter1"));
        QTRY_VERIFY(printButton()->isEnabled());
        printButton()->click();
        QCOMPARE(m_launch.asked, 0); // the address window prints nothing

        struct Case {
            const char* menu;
            const char* caption;
        };
        for (const Case& c : {Case{"Ortstarif1", "Bericht \"Tarife\" erstellen"},
                              Case{"Preisliste1", "Bericht \"Preisliste\" erstellen"},
                              Case{"Ortsliste1", "Bericht \"Ortsliste\" erstellen"}}) {
            QVERIFY(openWindow(c.menu));
            const int before = m_launch.asked;
            printButton()->click();
            QCOMPARE(m_launch.asked, before + 1);
            QCOMPARE(m_launch.caption, QString::fromUtf8(c.caption));
        }
        // Back to the address window: nothing again.
        QVERIFY(openWindow("Bestatter1"));
        const int before = m_launch.asked;
        printButton()->click();
        QCOMPARE(m_launch.asked, before);
    }

    void allTariffsKeepTheSelectedVersion() {
        QWidget* w = tariffWindow();
        QVERIFY(w);
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 2));
        printButton()->click();
        QCOMPARE(m_launch.pageCount, 3);
        QCOMPARE(daten().Orthaupttab->value(QStringLiteral("ID")).toInt(), 2);
    }

    void tariffWindowPrintsTheSelectedVersionWithItsOwnTitle() {
        QWidget* w = tariffWindow();
        QVERIFY(w);
        // The user chose group 1 and its second version.
        auto* box = w->findChild<QComboBox*>(QStringLiteral("Tarifbox"));
        const int group1 = box->findText(QStringLiteral("1"));
        box->setCurrentIndex(group1);
        emit box->activated(group1);
        QCOMPARE(daten().Orthaupttab->recordCount(), 2);
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 2));

        w->findChild<QToolButton*>(QStringLiteral("TarifDruck"))->click();
        QCOMPARE(m_launch.caption, QStringLiteral("Bericht \"Tarife\" erstellen"));
        QCOMPARE(m_launch.presetTitle, QStringLiteral("Tarif 1 (Übersicht)"));
        QCOMPARE(m_launch.previews, 1);
        QCOMPARE(m_launch.title, QStringLiteral("Tarif 1 (Übersicht)"));
        QCOMPARE(m_launch.pageCount, 1);
        QCOMPARE(m_launch.headings, QStringList{QStringLiteral("gültig ab")});
        QCOMPARE(m_launch.starts, QStringList{QStringLiteral("01.01.2024")});

        // The group choice and the version stay as the user left them.
        QCOMPARE(daten().Orthaupttab->filter(), QStringLiteral("Nr=1"));
        QVERIFY(daten().Orthaupttab->filtered());
        QCOMPARE(daten().Orthaupttab->recordCount(), 2);
        QCOMPARE(daten().Orthaupttab->value(QStringLiteral("ID")).toInt(), 2);
        QCOMPARE(box->currentIndex(), group1);
        QVERIFY(m_data->dialogs.messages().isEmpty());
    }

    void tariffWindowPrintCancelledOrFailedLeavesTheVersionsAlone() {
        QWidget* w = tariffWindow();
        QVERIFY(w);
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 3));
        auto* print = w->findChild<QToolButton*>(QStringLiteral("TarifDruck"));

        m_answer = ReportChoice::Cancel;
        print->click();
        QCOMPARE(m_launch.presetTitle, QStringLiteral("Tarif 2 (Übersicht)"));
        QCOMPARE(m_launch.previews + m_launch.prints, 0);
        QVERIFY(!daten().Orthaupttab->filtered());
        QCOMPARE(daten().Orthaupttab->recordCount(), 3);

        // The printer fails half-way: the error is shown, nothing stays restricted.
        m_answer = ReportChoice::Print;
        m_failOutput = [] { throw DbError(QStringLiteral("Der Drucker antwortet nicht.")); };
        print->click();
        QCOMPARE(m_launch.prints, 1);
        QCOMPARE(m_data->dialogs.lastMessage().text,
                 QStringLiteral("Der Drucker antwortet nicht."));
        QCOMPARE(m_data->dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(!daten().Orthaupttab->filtered());
        QCOMPARE(daten().Orthaupttab->recordCount(), 3);
        QCOMPARE(daten().Orthaupttab->value(QStringLiteral("ID")).toInt(), 3);
    }
};

QTEST_MAIN(LaunchTest)
#include "LaunchTest.moc"
