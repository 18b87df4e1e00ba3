// The report data filter dialog driven through its controls: captions and hints, the
// period controls and their enabling, the arrows, the results of each button, bad input,
// the funeral-director list with its stored choice and the place titles.
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include "data/ProgramSetup.h"
#include "base/UserSettings.h"
#include "data/Daten_A.h"
#include "reports/ui/TDruckfilterform.h"
#include "reports/ui/UpDown.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kilvaro;

class FilterDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_program;
    std::unique_ptr<TempProgramFolder> m_settingsFolder;
    std::unique_ptr<TDaten_A> m_daten;
    std::unique_ptr<UserSettings> m_settings;
    FakeDialogService m_dialogs;

    std::unique_ptr<TDruckfilterform> makeDialog() {
        AppContext context;
        context.programFolder = m_program->path();
        context.dialogs = &m_dialogs;
        context.daten = m_daten.get();
        auto d = std::make_unique<TDruckfilterform>(context, m_settings.get());
        d->FormCreate(QDate(2024, 2, 14));
        d->show();
        return d;
    }
    static void clickMode(TDruckfilterform& d, int mode) {
        // Near the left edge: the button is wider than its indicator and text.
        QAbstractButton* b = d.ZeitwahlButtons->button(mode);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    static void typeYear(TDruckfilterform& d, const QString& text) {
        d.Jahr->selectAll();
        QTest::keyClick(d.Jahr, Qt::Key_Backspace);
        QTest::keyClicks(d.Jahr, text);
    }

private slots:
    void init() {
        m_program = std::make_unique<TempProgramFolder>();
        m_settingsFolder = std::make_unique<TempProgramFolder>();
        const QString folder = m_program->path();
        ProgramSetup::createDefaults(folder);
        {
            Connection c;
            c.open(ProgramSetup::databasePath(folder));
            c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv) VALUES "
                                  "(1, 1, 'Zander', 1, 1), (2, 1, 'Arndt', 2, 1), "
                                  "(3, 1, 'Meier', 1, 0)"));
            c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, ID) VALUES (1, 10), (2, 20)"));
            c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES "
                                  "(10, 'Köln', 100), (10, 'Bonn', 90), (20, 'Aachen', 80)"));
        }
        m_dialogs.clear();
        m_daten = std::make_unique<TDaten_A>(folder, &m_dialogs);
        m_daten->DataModuleCreate();
        QVERIFY(m_daten->isConnected());
        m_settings = std::make_unique<UserSettings>(m_settingsFolder->path());
    }
    void cleanup() {
        m_settings.reset();
        m_daten.reset();
        m_settingsFolder.reset();
        m_program.reset();
    }

    void captionsHintsAndStartState() {
        auto d = makeDialog();
        QCOMPARE(d->windowTitle(), QStringLiteral("Datenfilter setzen"));
        QCOMPARE(d->Titelbox->title(), QStringLiteral("Berichttitel"));
        QCOMPARE(d->Titel->currentText(), QStringLiteral("Titel"));
        QVERIFY(d->Titel->isEditable());
        QVERIFY(!d->Monatsbox->isEditable());
        QVERIFY(!d->Bestatterbox->isEditable());
        QStringList modes;
        for (QAbstractButton* b : d->ZeitwahlButtons->buttons())
            modes << b->text();
        QCOMPARE(modes, (QStringList{"Monat", "Jahr", "beliebig", "alle Daten"}));
        QVERIFY(d->ZeitwahlButtons->button(0)->isChecked());
        QCOMPARE(d->Monatsbox->count(), 12);
        QCOMPARE(d->Monatsbox->itemText(2), QStringLiteral("März"));
        QCOMPARE(d->Monatsbox->currentText(), QStringLiteral("Februar"));
        QCOMPARE(d->Monatsbox->toolTip(), QStringLiteral("Monat auswählen"));
        QCOMPARE(d->Jahr->toolTip(), QStringLiteral("Jahr eingeben"));
        QCOMPARE(d->updown2->toolTip(), QStringLiteral("Jahr auswählen"));
        QCOMPARE(d->Jahr->text(), QStringLiteral("2024"));
        QCOMPARE(d->UpDown1->position(), 1);
        QCOMPARE(d->updown2->minimum(), 1980);
        QCOMPARE(d->updown2->maximum(), 2128);
        QCOMPARE(d->von->date(), QDate(2024, 2, 1));
        QCOMPARE(d->bis->date(), QDate(2024, 2, 29));
        QVERIFY(!d->von->isEnabled());
        QVERIFY(!d->bis->isEnabled());
        QCOMPARE(d->EditKopie->text(), QStringLiteral("1"));
        QCOMPARE(d->copies(), 1);
        QCOMPARE(d->Kopien->maximum(), 50);
        QCOMPARE(d->BTMonitor->text(), QStringLiteral("&Vorschau"));
        QCOMPARE(d->BTMonitor->toolTip(), QStringLiteral("Bericht auf Monitor ausgeben"));
        QCOMPARE(d->BTDrucker->text(), QStringLiteral("&Drucken"));
        QCOMPARE(d->BTDrucker->toolTip(), QStringLiteral("Bericht auf Drucker ausgeben"));
        QVERIFY(d->BTDrucker->isDefault());
        QCOMPARE(d->BTAbbruch->text(), QStringLiteral("&Abbruch"));
        QCOMPARE(d->BTHilfe->text(), QStringLiteral("&Hilfe"));
        QCOMPARE(d->GroupBox2->title(), QStringLiteral("Bestatter"));
        QCOMPARE(d->einbestatter->text(), QStringLiteral(" ein Bestatter"));
        QCOMPARE(d->NachBestatter->text(), QStringLiteral("nach Bestatter"));
        QCOMPARE(d->bestatterSeiten->text(), QStringLiteral("eine Seite pro Bestatter"));
        QVERIFY(!d->GroupBox2->isVisible());
        QVERIFY(!d->NachBestatter->isVisibleTo(d.get()));
        for (const char* name :
             {"Titel",        "Zeitwahl",     "Monatsbox",     "UpDown1",         "Jahr",
              "updown2",      "von",          "bis",           "EditKopie",       "Kopien",
              "Bestatterbox", "einbestatter", "NachBestatter", "bestatterSeiten", "BTMonitor",
              "BTDrucker",    "BTAbbruch",    "BTHilfe",       "Monatbox",        "Zeitbox",
              "Kopiebox",     "GroupBox2",    "Titelbox"})
            QVERIFY2(d->findChild<QWidget*>(QString::fromLatin1(name)), name);
        QVERIFY(m_dialogs.messages().isEmpty());
    }

    void monthAndYearThroughListArrowsAndTyping() {
        auto d = makeDialog();
        d->Monatsbox->setCurrentIndex(0);
        QCOMPARE(d->UpDown1->position(), 0);
        QCOMPARE(d->bis->date(), QDate(2024, 1, 31));
        QTest::mouseClick(d->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(d->Monatsbox->currentText(), QStringLiteral("Februar"));
        QCOMPARE(d->bis->date(), QDate(2024, 2, 29));

        typeYear(*d, QStringLiteral("2023"));
        QCOMPARE(d->updown2->position(), 2023);
        QCOMPARE(d->von->date(), QDate(2023, 2, 1));
        QCOMPARE(d->bis->date(), QDate(2023, 2, 28));
        QTest::mouseClick(d->updown2->upButton(), Qt::LeftButton);
        QCOMPARE(d->Jahr->text(), QStringLiteral("2024"));
        QCOMPARE(d->bis->date(), QDate(2024, 2, 29));
        QTest::keyClick(d->Jahr, Qt::Key_Down);
        QCOMPARE(d->Jahr->text(), QStringLiteral("2023"));

        // The month arrows stop at December.
        d->Monatsbox->setCurrentIndex(11);
        QVERIFY(!d->UpDown1->upButton()->isEnabled());
        d->UpDown1->stepUp();
        QCOMPARE(d->Monatsbox->currentIndex(), 11);

        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QCOMPARE(d->result(), int(ReportResultOk));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->Zeittext(), QStringLiteral("Dezember 2023"));
        QCOMPARE(d->Datumfilter(),
                 QStringLiteral("DATUM >= #12/01/2023# AND DATUM <= #12/31/2023#"));
    }

    void modesEnableTheirControls() {
        auto d = makeDialog();
        typeYear(*d, QStringLiteral("2021"));
        clickMode(*d, 1); // Jahr
        QVERIFY(!d->Monatsbox->isEnabled());
        QVERIFY(!d->UpDown1->isEnabled());
        QVERIFY(d->Jahr->isEnabled());
        QCOMPARE(d->von->date(), QDate(2021, 1, 1));
        QCOMPARE(d->bis->date(), QDate(2021, 12, 31));
        QTest::mouseClick(d->BTDrucker, Qt::LeftButton);
        QCOMPARE(d->result(), int(ReportResultYes));
        QCOMPARE(d->Zeittext(), QStringLiteral(" - 2021 - "));
        QCOMPARE(d->Datumfilter(),
                 QStringLiteral("DATUM >= #01/01/2021# AND DATUM <= #12/31/2021#"));

        // The dialog keeps its mode for the next caller.
        d->show();
        QVERIFY(d->ZeitwahlButtons->button(1)->isChecked());
        clickMode(*d, 3); // alle Daten
        QVERIFY(!d->Jahr->isEnabled());
        QVERIFY(!d->updown2->isEnabled());
        QVERIFY(!d->von->isEnabled());
        QCOMPARE(d->von->date(), QDate(1980, 1, 1));
        QCOMPARE(d->bis->date(), QDate(2222, 12, 31));
        d->updown2->stepUp(); // disabled arrows do nothing
        QCOMPARE(d->bis->date(), QDate(2222, 12, 31));
        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QCOMPARE(d->Zeittext(), QStringLiteral("Gesamtausdruck"));

        d->show();
        clickMode(*d, 2); // beliebig
        QVERIFY(d->von->isEnabled());
        QVERIFY(d->bis->isEnabled());
        QVERIFY(!d->Jahr->isEnabled());
        d->von->setDate(QDate(2022, 3, 5));
        d->bis->setDate(QDate(2022, 4, 1));
        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QCOMPARE(d->Zeittext(), QStringLiteral("05.03.2022 - 01.04.2022"));
        QCOMPARE(d->Datumfilter(),
                 QStringLiteral("DATUM >= #03/05/2022# AND DATUM <= #04/01/2022#"));

        // A caller switches the mode as the annual revenue report does.
        d->setMode(ReportFilter::Mode::Jahr);
        QVERIFY(d->ZeitwahlButtons->button(1)->isChecked());
        QCOMPARE(d->von->date(), QDate(2021, 1, 1));
    }

    void cancelAndEscapeStillRecompute() {
        auto d = makeDialog();
        clickMode(*d, 3);
        QTest::mouseClick(d->BTAbbruch, Qt::LeftButton);
        QCOMPARE(d->result(), int(ReportResultCancel));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->Zeittext(), QStringLiteral("Gesamtausdruck"));

        d->show();
        clickMode(*d, 0);
        QTest::keyClick(d.get(), Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(ReportResultCancel));
        QCOMPARE(d->Zeittext(), QStringLiteral("Februar 2024"));
    }

    void badYearIsRefusedWithAMessageAndCancelStillWorks() {
        auto d = makeDialog();
        typeYear(*d, QStringLiteral("20x4"));
        QCOMPARE(d->von->date(), QDate(2024, 2, 1)); // the dates keep their values
        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QVERIFY(d->isVisible());
        QCOMPARE(m_dialogs.messages().size(), 1);
        QCOMPARE(m_dialogs.lastMessage().icon, MsgIcon::Warning);
        QVERIFY(
            m_dialogs.lastMessage().text.contains(QStringLiteral("„20x4“ ist kein gültiges Jahr")));
        QTest::mouseClick(d->BTDrucker, Qt::LeftButton);
        QVERIFY(d->isVisible());
        QCOMPARE(m_dialogs.messages().size(), 2);

        // Empty year text: the same.
        typeYear(*d, QString());
        QTest::keyClick(d.get(), Qt::Key_Return); // default button "&Drucken"
        QVERIFY(d->isVisible());
        QCOMPARE(m_dialogs.messages().size(), 3);

        QTest::mouseClick(d->BTAbbruch, Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(ReportResultCancel));
        QCOMPARE(d->Zeittext(), QStringLiteral("Februar 2024"));

        // A free range that ends before it starts.
        d->show();
        clickMode(*d, 2);
        d->von->setDate(QDate(2024, 5, 1));
        d->bis->setDate(QDate(2024, 4, 1));
        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QVERIFY(d->isVisible());
        QVERIFY(m_dialogs.lastMessage().text.startsWith(QStringLiteral("Der Zeitraum ist leer")));
        d->bis->setDate(QDate(2024, 6, 1));
        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(ReportResultOk));
    }

    void copiesThroughEditAndArrows() {
        auto d = makeDialog();
        d->EditKopie->selectAll();
        QTest::keyClicks(d->EditKopie, QStringLiteral("3"));
        QCOMPARE(d->copies(), 3);
        QTest::mouseClick(d->Kopien->upButton(), Qt::LeftButton);
        QCOMPARE(d->EditKopie->text(), QStringLiteral("4"));
        QTest::keyClick(d->EditKopie, Qt::Key_Down);
        QCOMPARE(d->copies(), 3);
        // "0" and "99" are refused by the edit; an emptied edit keeps the last count.
        d->EditKopie->selectAll();
        QTest::keyClicks(d->EditKopie, QStringLiteral("0"));
        QCOMPARE(d->copies(), 3);
        QTest::keyClick(d->EditKopie, Qt::Key_Backspace);
        QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
        QCOMPARE(d->copies(), 3);
        QCOMPARE(d->EditKopie->text(), QStringLiteral("3"));
    }

    void funeralDirectorListStoredChoiceAndTitles() {
        auto d = makeDialog();
        QCOMPARE(d->Bestatterbox->count(), 2); // inactive 'Meier' is not listed
        QCOMPARE(d->Bestatterbox->itemText(0), QStringLiteral("Arndt"));
        QCOMPARE(d->Bestatterbox->itemText(1), QStringLiteral("Zander"));
        QCOMPARE(d->BestatterIDs(), (QList<int>{2, 1}));
        QCOMPARE(d->Titel->count(), 1);
        QCOMPARE(d->Titel->itemText(0), QStringLiteral("Aachen"));

        d->setBestatterGroupVisible(true);
        QVERIFY(d->GroupBox2->isVisible());
        QVERIFY(!d->NachBestatter->isVisible());
        d->Titel->setEditText(QStringLiteral("Meine Liste"));
        d->Bestatterbox->setCurrentIndex(1);
        QCOMPARE(d->chosenBestatterId(), 1);
        QCOMPARE(d->Titel->count(), 2);
        QCOMPARE(d->Titel->itemText(0), QStringLiteral("Köln"));
        QCOMPARE(d->Titel->currentText(), QStringLiteral("Meine Liste")); // the title text stays
        QCOMPARE(m_settings->intValue(UserSettings::App::Kilv, QStringLiteral("Bestatterbox")), 1);
        QTest::mouseClick(d->einbestatter, Qt::LeftButton);
        QVERIFY(d->einbestatter->isChecked());
        d->setBestatterGroupVisible(false);
        QVERIFY(!d->GroupBox2->isVisible());

        // The invoice list's options come with the group that holds them.
        d->setInvoiceOptionsVisible(true);
        QVERIFY(d->NachBestatter->isVisible());
        QVERIFY(d->bestatterSeiten->isVisible());
        QVERIFY(d->GroupBox2->isVisible());
        d->setBestatterGroupVisible(false);
        QVERIFY(d->GroupBox2->isVisible()); // still needed for the invoice options
        d->setInvoiceOptionsVisible(false);
        QVERIFY(!d->GroupBox2->isVisible());

        // The next start reuses the stored choice.
        auto next = makeDialog();
        QCOMPARE(next->Bestatterbox->currentText(), QStringLiteral("Zander"));
        QCOMPARE(next->Titel->itemText(1), QStringLiteral("Bonn"));
    }

    void modalRunWithPresetCaptionAndTitle() {
        auto d = makeDialog();
        d->hide();
        d->preset(QStringLiteral("Umsatzbericht"), QStringLiteral("Umsatz"));
        QTimer::singleShot(0, d.get(), [&] {
            QVERIFY(d->isVisible());
            QCOMPARE(d->windowTitle(), QStringLiteral("Umsatzbericht"));
            QTest::mouseClick(d->BTDrucker, Qt::LeftButton);
        });
        QCOMPARE(d->showModal(), ReportChoice::Print);
        QCOMPARE(d->title(), QStringLiteral("Umsatz"));
        QCOMPARE(d->Zeittext(), QStringLiteral("Februar 2024"));
        QTimer::singleShot(0, d.get(), [&] { QTest::keyClick(d.get(), Qt::Key_Escape); });
        QCOMPARE(d->showModal(), ReportChoice::Cancel);
    }

    void helpOpensContextTen() {
        auto d = makeDialog();
        QList<int> topics;
        d->setHelpHandler([&](int topic) { topics << topic; });
        QTest::mouseClick(d->BTHilfe, Qt::LeftButton);
        QCOMPARE(topics, (QList<int>{10}));
        QVERIFY(d->isVisible());
    }

    void groupBestatterMakesTheDialogTaller() {
        auto d = makeDialog();
        QCoreApplication::processEvents();
        const int small = d->height();
        d->setBestatterGroupVisible(true);
        d->adjustSize();
        QVERIFY(d->height() > small + 30);
        d->setBestatterGroupVisible(false);
        d->adjustSize();
        QCOMPARE(d->height(), small);
    }
};

QTEST_MAIN(FilterDialogTest)
#include "FilterDialogTest.moc"
