// The trip reports and the evaluations of the menu "Überführungen", started as the user
// starts them (menu, trip window, tool bar) through the shared filter dialog: the kind's
// caption, preview or print, "Keine Daten", the evaluations previewed whatever was chosen,
// the export's relabelled dialog put back whatever the result, its target kept per user,
// and the mailing program started through the launch steps.
#include "reports/TripReportData.h"

#include "app/ui/TForm_Main.h"
#include "base/IniFile.h"
#include "base/UserSettings.h"
#include "reports/Report.h"
#include "reports/ui/Drucken.h"
#include "reports/ui/TDruckfilterform.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::TripReportData;

class TripLaunchTest : public QObject {
    Q_OBJECT

    struct Seen {
        int asked = 0;
        QString caption;
        QString title;
        bool bestatterGroupShown = false;
        QString titleBoxCaption;
        QString monitorCaption;
        bool printerButtonShown = true;
        int previews = 0;
        int prints = 0;
        QStringList counts; ///< A_fahrten texts of the report
        QStringList persons;
        QStringList opened; ///< documents and programs started
    };

    QTemporaryDir m_settings;
    std::unique_ptr<TripReportData> m_data;
    std::unique_ptr<TDruckfilterform> m_filter;
    std::unique_ptr<TForm_Main> m_main;
    Seen m_seen;
    ReportChoice m_answer = ReportChoice::Preview;
    int m_month = 2; ///< March
    int m_bestatter = 0;
    QString m_typedTitle;

    QAction* action(const char* name) { return m_main->findChild<QAction*>(QLatin1String(name)); }

    void capture(Report& report) {
        const auto pages = report.render();
        for (int i = 0; i < pages->pageCount(); ++i) {
            m_seen.counts << pages->page(i).textsOf(QStringLiteral("A_fahrten"));
            m_seen.persons << pages->page(i).textsOf(QStringLiteral("personen"));
        }
    }

    void scriptSteps() {
        ReportLaunchSteps& s = Drucken::steps();
        s.askFilter = [this](TDruckfilterform& d) {
            ++m_seen.asked;
            m_seen.caption = d.windowTitle();
            m_seen.title = d.title();
            m_seen.bestatterGroupShown = d.GroupBox2->isVisibleTo(&d);
            m_seen.titleBoxCaption = d.Titelbox->title();
            m_seen.monitorCaption = d.BTMonitor->text();
            m_seen.printerButtonShown = d.BTDrucker->isVisibleTo(&d);
            d.Monatsbox->setCurrentIndex(m_month);
            d.Bestatterbox->setCurrentIndex(m_bestatter);
            if (!m_typedTitle.isNull())
                d.Titel->setEditText(m_typedTitle);
            const int code = m_answer == ReportChoice::Cancel  ? ReportResultCancel
                             : m_answer == ReportChoice::Print ? ReportResultYes
                                                               : ReportResultOk;
            d.done(code);
            return m_answer;
        };
        s.preview = [this](Report& r, const AppContext&) {
            ++m_seen.previews;
            capture(r);
        };
        s.print = [this](Report& r, const AppContext&, QWidget*) {
            ++m_seen.prints;
            capture(r);
        };
        s.openDocument = [this](const QString& d) { m_seen.opened << d; };
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        m_data = std::make_unique<TripReportData>();
        const AppContext context = m_data->context();
        m_filter = std::make_unique<TDruckfilterform>(context);
        m_filter->FormCreate(QDate(2021, 3, 20));
        m_main = std::make_unique<TForm_Main>(context);
        m_main->setReportFilter(m_filter.get());
        m_main->show();
        m_seen = Seen();
        m_answer = ReportChoice::Preview;
        m_month = 2;
        m_bestatter = 0;
        m_typedTitle = QString();
        scriptSteps();
    }
    void cleanup() {
        Drucken::resetSteps();
        m_main->closeAllChildWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_main.reset();
        m_filter.reset();
        m_data.reset();
    }

    void tripReportsByMenuToolBarAndTripWindow_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("counts");
        QTest::newRow("menu open transfers, preview")
            << "OpenTransfers1" << int(ReportChoice::Preview) << "Offene Überführungen"
            << QStringList{"3 Fahrten.", "1 Fahrt."};
        QTest::newRow("menu transfers, print")
            << "berfhrungen1" << int(ReportChoice::Print) << "Überführungen"
            << QStringList{"6 Fahrten.", "1 Fahrt."};
        QTest::newRow("trip window Fahrtenliste")
            << "BitBtn1" << int(ReportChoice::Preview) << "Fahrten-Liste"
            << QStringList{"7 Fahrten."};
        QTest::newRow("print button over the trip window")
            << "druckenbutton" << int(ReportChoice::Preview) << "Offene Überführungen"
            << QStringList{"3 Fahrten.", "1 Fahrt."};
    }
    void tripReportsByMenuToolBarAndTripWindow() {
        QFETCH(QString, start);
        QFETCH(int, answer);
        QFETCH(QString, caption);
        QFETCH(QStringList, counts);
        m_answer = ReportChoice(answer);
        if (start == QLatin1String("BitBtn1") || start == QLatin1String("druckenbutton")) {
            action("Ueberfuehrungen1")->trigger();
            QCoreApplication::processEvents();
            QWidget* host = start == QLatin1String("BitBtn1")
                                ? static_cast<QWidget*>(m_main->findChild<TForm_Fahrten*>())
                                : m_main.get();
            QVERIFY(host);
            auto* button = host->findChild<QAbstractButton*>(start);
            QVERIFY(button);
            button->click();
        } else {
            action(start.toLatin1().constData())->trigger();
        }
        QCOMPARE(m_seen.asked, 1);
        QCOMPARE(m_seen.caption, caption);
        QCOMPARE(m_seen.title, caption);
        QCOMPARE(m_seen.prints, m_answer == ReportChoice::Print ? 1 : 0);
        QCOMPARE(m_seen.previews, m_answer == ReportChoice::Print ? 0 : 1);
        QCOMPARE(m_seen.counts, counts);
        QVERIFY(m_data->dialogs.messages().isEmpty());
    }

    void aMonthWithoutTripsSaysKeineDaten() {
        m_month = 0; // Januar 2021
        action("OpenTransfers1")->trigger();
        QCOMPARE(m_seen.previews + m_seen.prints, 0);
        QCOMPARE(m_data->dialogs.messageTexts(), QStringList{"Keine Daten"});
    }

    void evaluationsPreviewEvenWhenPrintIsChosen() {
        m_answer = ReportChoice::Print;
        m_bestatter = 1; // the name with the double quote
        for (const char* a : {"TransfersByPerson1", "TransfersByFileNumber1", "TransfersByDate1"}) {
            action(a)->trigger();
            QVERIFY2(m_seen.bestatterGroupShown, a);
        }
        QCOMPARE(m_seen.asked, 3);
        QCOMPARE(m_seen.previews, 3);
        QCOMPARE(m_seen.prints, 0);
        QVERIFY(!m_filter->GroupBox2->isVisibleTo(m_filter.get()));
        QCOMPARE(m_seen.persons, QStringList{"Becker"});
    }

    void exportRelabelsTheDialogAndPutsItBackWhateverTheResult() {
        IniFile ini(m_data->folder.filePath(QStringLiteral("kilvaro.ini")));
        ini.writeString(QStringLiteral("Mailing"), QStringLiteral("export"),
                        QStringLiteral("versand.cmd"));
        QVERIFY(ini.save());
        UserSettings().setValue(UserSettings::App::Kilv, QStringLiteral("Exportziel"),
                                QStringLiteral("alt@example.org"));
        const QString titleBox = m_filter->Titelbox->title();

        for (ReportChoice answer : {ReportChoice::Cancel, ReportChoice::Preview}) {
            m_answer = answer;
            m_typedTitle = QStringLiteral("neu@example.org");
            action("ExportTransfers1")->trigger();
            QCOMPARE(m_seen.title, QStringLiteral("alt@example.org"));
            QCOMPARE(m_seen.titleBoxCaption, QStringLiteral("Ziel eingeben"));
            QCOMPARE(m_seen.monitorCaption, QStringLiteral("OK"));
            QVERIFY(!m_seen.printerButtonShown);
            QVERIFY(m_seen.bestatterGroupShown);
            QCOMPARE(m_filter->Titelbox->title(), titleBox);
            QCOMPARE(m_filter->BTMonitor->text(), QStringLiteral("&Vorschau"));
            QVERIFY(m_filter->BTDrucker->isVisibleTo(m_filter.get()));
            QVERIFY(!m_filter->GroupBox2->isVisibleTo(m_filter.get()));
            if (answer == ReportChoice::Cancel) {
                QVERIFY(m_seen.opened.isEmpty());
                QVERIFY(!QFile::exists(
                    m_data->folder.filePath(QStringLiteral("export/Ueberfuehrungen.csv"))));
                m_seen = Seen();
            }
        }
        QCOMPARE(UserSettings().stringValue(UserSettings::App::Kilv, QStringLiteral("Exportziel")),
                 std::optional<QString>(QStringLiteral("neu@example.org")));
        QCOMPARE(m_seen.opened, QStringList{"versand.cmd"});
        QVERIFY(m_data->folder.readFile(QStringLiteral("export/Ueberfuehrungen.csv"))
                    .startsWith("Datum;Uhrzeit;Anrede;Name;Vorname;Strasse;PLZ;Ort;Aktzenzeichen\r\n"
                                "03.03.2021;14:30:00;Herr;M\xFCller;"));

        // No transfer in the period: the message, and nothing started.
        m_seen = Seen();
        m_month = 0;
        action("ExportTransfers1")->trigger();
        QCOMPARE(m_data->dialogs.lastMessage().text,
                 QStringLiteral("Keine Überführungen im export enthalten. Mailversand wird "
                                "unterbrochen."));
        QVERIFY(m_seen.opened.isEmpty());
    }

    void postalCodeStatisticsWritesItsFilesAndSaysWhere() {
        action("PlzStatistics1")->trigger();
        QCOMPARE(m_seen.title, QStringLiteral("PLZ Statistik"));
        QVERIFY(m_seen.bestatterGroupShown);
        QVERIFY(m_data->folder.readFile(QStringLiteral("export/PLZ-Statistik.csv"))
                    .contains("Rechtsrheinisch;2;Linksrheinisch;3\r\n"));
        QVERIFY(m_data->dialogs.lastMessage().text.contains(QStringLiteral("PLZ-Statistik.csv")));
    }
};

QTEST_MAIN(TripLaunchTest)
#include "TripLaunchTest.moc"
