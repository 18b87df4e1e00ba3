// The tariff window inside the main window: opened from the menu and the tool bar as one
// maximised instance, the shared filters and navigator, the group list, the validity status,
// and its commands end to end through the scripted dialog service.
#include "app/ui/TForm_Main.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/TariffTestData.h"
#include "masterdata/ui/TForm_Ortsliste.h"
#include "masterdata/ui/TForm_Tarif.h"
#include "reports/Report.h"
#include "reports/ui/Drucken.h"
#include "reports/ui/TBerichtzielform.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::TariffTestData;

class TariffWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<TariffTestData> m_data;
    std::unique_ptr<TForm_Main> m_main;

    FakeDialogService& dialogs() { return m_data->dialogs; }
    TDaten_A& daten() { return *m_data->daten; }
    QAction* action(const char* name) { return m_main->findChild<QAction*>(QLatin1String(name)); }
    QList<TForm_Tarif*> windows() {
        QList<TForm_Tarif*> out;
        for (QMdiSubWindow* sub : m_main->mdiArea()->subWindowList())
            if (auto* w = qobject_cast<TForm_Tarif*>(sub->widget()))
                out << w;
        return out;
    }
    TForm_Tarif* open() {
        action("Ortstarif1")->trigger();
        const QList<TForm_Tarif*> open = windows();
        return open.isEmpty() ? nullptr : open.first();
    }
    template <class T> static T* child(QWidget* w, const char* name) {
        return w->findChild<T*>(QLatin1String(name));
    }
    static void click(QWidget* w, const char* button) {
        QToolButton* b = child<QToolButton>(w, button);
        QVERIFY2(b, button);
        b->click();
    }
    /// The grid's cells of one column as shown.
    static QStringList columnTexts(DbGrid* grid, int column) {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, column).data().toString();
        return out;
    }
    QString lastError() {
        for (qsizetype i = dialogs().messages().size() - 1; i >= 0; --i)
            if (dialogs().messages()[i].icon == MsgIcon::Error)
                return dialogs().messages()[i].text;
        return QString();
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        m_data = std::make_unique<TariffTestData>();
        const AppContext context = m_data->context();
        m_main = std::make_unique<TForm_Main>(context);
        m_main->resize(1280, 800);
        m_main->show();
    }
    void cleanup() {
        m_main.reset();
        m_data.reset();
    }

    void opensFromMenuAndToolBarAsOneMaximisedWindow() {
        TForm_Tarif* w = open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tarife"));
        QVERIFY(m_main->mdiArea()->subWindowList().first()->isMaximized());
        action("Ortstarif1")->trigger();
        child<QToolButton>(m_main.get(), "ToolButton5")->click();
        QCOMPARE(windows().size(), 1);
        QCOMPARE(windows().first(), w);

        m_main->mdiArea()->subWindowList().first()->close();
        QTRY_COMPARE(windows().size(), 0);
        QVERIFY(open());
        QCOMPARE(windows().size(), 1);
        QVERIFY(dialogs().messages().isEmpty());
    }

    void activationClearsForeignFiltersAndBindsTheNavigator() {
        // The trip rules leave the version table filtered to one version.
        daten().Orthaupttab->setFilter(
            QStringLiteral("Nr = 2 and Anfang <= #03/15/2021# and Ende >= #03/15/2021#"));
        daten().Orthaupttab->setFiltered(true);
        QCOMPARE(daten().Orthaupttab->recordCount(), 1);
        TForm_Tarif* w = open();
        QVERIFY(!daten().Orthaupttab->filtered());
        QCOMPARE(child<DbGrid>(w, "Hauptliste")->model()->rowCount(), 3);
        DbNavigator* nav = m_main->navigator();
        QCOMPARE(nav->dataSource(), daten().Orthaupt_Q);
        QVERIFY(!nav->button(DbNavigator::Next)->isHidden());
        QVERIFY(nav->button(DbNavigator::Insert)->isHidden());
        QVERIFY(nav->button(DbNavigator::Post)->isHidden());

        // Another child window takes the navigator over with all its buttons.
        action("Ortsliste1")->trigger();
        QCOMPARE(nav->dataSource(), daten().Ortsliste_Q);
        QVERIFY(!nav->button(DbNavigator::Insert)->isHidden());
        action("Ortstarif1")->trigger();
        QCOMPARE(nav->dataSource(), daten().Orthaupt_Q);
    }

    void groupListFiltersTheVersionsAndShowsTheGroupsFuneralDirectors() {
        TForm_Tarif* w = open();
        auto* box = child<QComboBox>(w, "Tarifbox");
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QStringLiteral("(alle Tarife)"));
        QCOMPARE(box->itemText(1), QStringLiteral("1"));
        QCOMPARE(box->itemText(2), QStringLiteral("2"));
        auto* grid = child<DbGrid>(w, "Hauptliste");
        QCOMPARE(columnTexts(grid, 0), (QStringList{"1", "2", "2"}));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Beginn"));

        box->setCurrentIndex(2);
        emit box->activated(2);
        QCOMPARE(columnTexts(grid, 1), (QStringList{"01.01.2020", "01.01.2023"}));
        auto* directors = child<DbGrid>(w, "DBGrid1");
        QCOMPARE(directors->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Bestatter dieser Tarifgruppe"));
        // Only funeral directors, no helpers.
        QCOMPARE(columnTexts(directors, 0), (QStringList{"Arndt", "Zander"}));

        box->setCurrentIndex(0);
        emit box->activated(0);
        QCOMPARE(grid->model()->rowCount(), 3);
        daten().Orthaupttab->first();
        QCOMPARE(columnTexts(directors, 0), (QStringList{"Moll"}));
    }

    void validityStatusFollowsTheSelectedVersionInThreeColours() {
        TForm_Tarif* w = open();
        auto* status = child<QLabel>(w, "ltarif");
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 4)); // 2020 to 31.12.2022
        w->setToday([] { return QDate(2022, 12, 31); });
        QCOMPARE(status->text(), QStringLiteral("Tarif ist gültig"));
        const QColor green = status->palette().color(QPalette::WindowText);
        w->setToday([] { return QDate(2023, 1, 1); });
        QCOMPARE(status->text(), QStringLiteral("Tarif nicht mehr gültig"));
        const QColor red = status->palette().color(QPalette::WindowText);
        w->setToday([] { return QDate(2019, 12, 31); });
        QCOMPARE(status->text(), QStringLiteral("Tarif noch nicht gültig"));
        const QColor grey = status->palette().color(QPalette::WindowText);
        QVERIFY(green != red && red != grey && green != grey);

        // Moving to another version updates the status.
        w->setToday([] { return QDate(2024, 6, 1); });
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 2));
        QCOMPARE(status->text(), QStringLiteral("Tarif ist gültig"));
    }

    void copyWithATypedStartDateShowsTheNewVersion() {
        TForm_Tarif* w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 2));
        dialogs().answerInput(QStringLiteral("01.03.2024"));
        dialogs().answerNext(MsgResult::Ok);
        click(w, "Tkopie");
        QCOMPARE(dialogs().inputPrompts(), (QStringList{"Ab wann soll der neue Tarif gelten?"}));
        QCOMPARE(dialogs().messages().first().text,
                 QStringLiteral("Der neue Tarif startet ab dem 01.03.2024!"));
        QCOMPARE(dialogs().messages().first().buttons, MsgButtons::OkCancel);
        QCOMPARE(lastError(), QString());

        auto* grid = child<DbGrid>(w, "Hauptliste");
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(columnTexts(grid, 1),
                 (QStringList{"01.01.2020", "01.01.2020", "01.01.2023", "01.03.2024"}));
        QCOMPARE(columnTexts(grid, 2),
                 (QStringList{"31.12.2222", "31.12.2022", "29.02.2024", "31.12.2222"}));
        QCOMPARE(grid->currentIndex().row(), 3); // the new version is selected
        QCOMPARE(child<DbGrid>(w, "Orteliste")->model()->rowCount(), 3);
        QCOMPARE(child<QLineEdit>(w, "EditMehrwertsteuer")->text(), QStringLiteral("19"));
        QCOMPARE(child<QLineEdit>(w, "EditNacht")->text(), QString());
        QCOMPARE(child<QLineEdit>(w, "EditKuehlung")->text(), QStringLiteral("0,00"));

        // Cancel at the confirmation stores nothing.
        dialogs().answerInput(QStringLiteral("01.04.2024"));
        dialogs().answerNext(MsgResult::Cancel);
        click(w, "Tkopie");
        QCOMPARE(m_data->count(QStringLiteral("OTMAIN")), 4);
    }

    void badInputIsReportedInGermanAndStoresNothing() {
        TForm_Tarif* w = open();
        const QString before = m_data->dumpAll();

        dialogs().answerInput(QStringLiteral("abc"));
        click(w, "Tneu");
        QCOMPARE(lastError(), QStringLiteral("'abc' ist keine gültige ganze Zahl."));

        dialogs().answerInput(QStringLiteral("32.13.2024"));
        click(w, "Tkopie");
        QCOMPARE(lastError(), QStringLiteral("'32.13.2024' ist kein gültiges Datum."));

        child<QLineEdit>(w, "erhoehung")->setText(QStringLiteral("zwei"));
        click(w, "SpeedButton1");
        QCOMPARE(lastError(), QStringLiteral("'zwei' ist kein gültiger Betrag."));

        dialogs().answerFileName(m_data->folder.filePath(QStringLiteral("fehlt/tarif.txt")));
        click(w, "ToolButton2");
        QVERIFY2(lastError().contains(QStringLiteral("kann nicht geschrieben werden")),
                 qPrintable(lastError()));

        dialogs().answerInput(std::nullopt);
        click(w, "Tneu"); // cancelled
        QCOMPARE(m_data->dumpAll(), before);
        QCOMPARE(dialogs().pendingAnswers(), 0);
    }

    void newGroupRaiseAndExport() {
        TForm_Tarif* w = open();
        // The list shows group 1 only; the new group's version is shown all the same.
        auto* box = child<QComboBox>(w, "Tarifbox");
        box->setCurrentIndex(1);
        emit box->activated(1);
        dialogs().answerInput(QStringLiteral("5"));
        click(w, "Tneu");
        QCOMPARE(lastError(), QString());
        QCOMPARE(daten().Orthaupttab->field(QStringLiteral("ID")).asInteger(), 3);
        QCOMPARE(child<QLabel>(w, "ltarif")->text(), QStringLiteral("Tarif nicht mehr gültig"));
        QCOMPARE(child<QComboBox>(w, "Waehrungbox")->currentText(), QStringLiteral("EUR"));
        auto* places = child<DbGrid>(w, "Orteliste");
        QCOMPARE(columnTexts(places, 0), (QStringList{"Köln", "Bonn", "Düren"}));

        child<QLineEdit>(w, "erhoehung")->setText(QStringLiteral("-2"));
        click(w, "SpeedButton1");
        QCOMPARE(columnTexts(places, 1), (QStringList{"-2,00", "-2,00", "-2,00"}));

        dialogs().answerFileName(m_data->folder.filePath(QStringLiteral("export/gruppe5")));
        click(w, "ToolButton2");
        QCOMPARE(lastError(), QString());
        QCOMPARE(
            m_data->folder.readFile(QStringLiteral("export/gruppe5.txt")),
            QByteArray("Ort;Betrag\r\nK\xf6ln;-2.00000000000000E+0000\r\n"
                       "Bonn;-2.00000000000000E+0000\r\nD\xfcren;-2.00000000000000E+0000\r\n"));
    }

    void enterInTheAmountStoresAndMovesToTheNextPlace() {
        TForm_Tarif* w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 2));
        auto* amount = child<QLineEdit>(w, "betrag");
        QCOMPARE(amount->text(), QStringLiteral("150,00"));
        amount->setFocus();
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("175,5"));
        QTest::keyClick(amount, Qt::Key_Return);
        QCOMPARE(daten().Ortetab->recNo(), 1);
        QCOMPARE(amount->text(), QString()); // Düren has no amount yet
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("20"));
        QTest::keyClick(amount, Qt::Key_Enter);
        QCOMPARE(daten().Ortetab->recNo(), 2);
        QCOMPARE(m_data->column(
                     QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id = 2 ORDER BY rowid")),
                 (QVariantList{175.5, 20.0, 90.0}));
        QCOMPARE(lastError(), QString());
    }

    // The window edits the shared tariff tables in place: what is typed when it closes is
    // stored, not left pending in tables that the trip rules price from.
    void closingStoresPendingSurchargeAndAmount() {
        TForm_Tarif* w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 1));
        auto* night = child<QLineEdit>(w, "EditNacht");
        night->setFocus();
        night->selectAll();
        QTest::keyClicks(night, QStringLiteral("33"));
        m_main->mdiArea()->subWindowList().first()->close();
        QTRY_COMPARE(windows().size(), 0);
        QVERIFY(!daten().Tariftab->isEditing());
        QCOMPARE(m_data->column(QStringLiteral("SELECT Nacht FROM Tarif WHERE Id = 1")),
                 (QVariantList{33.0}));

        // An amount typed into a new place row, closed without storing.
        w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 1));
        click(w, "ToolButton5");
        daten().Ortetab->setValue(QStringLiteral("Ort"), QStringLiteral("Düren"));
        daten().Ortetab->setValue(QStringLiteral("Betrag"), 95.0);
        m_main->mdiArea()->subWindowList().first()->close();
        QTRY_COMPARE(windows().size(), 0);
        QVERIFY(!daten().Ortetab->isEditing());
        QCOMPARE(m_data->column(
                     QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id = 1 AND Ort = 'Düren'")),
                 (QVariantList{95.0}));
        QCOMPARE(lastError(), QString());
    }

    // A pending row that cannot be stored keeps the window open with the message.
    void closingWithARefusedPendingRowKeepsTheWindow() {
        TForm_Tarif* w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 1));
        m_data->failOn(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Tarif "
                                      "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
        daten().Tariftab->edit();
        daten().Tariftab->setValue(QStringLiteral("Nacht"), 44.0);
        m_main->mdiArea()->subWindowList().first()->close();
        QCoreApplication::processEvents();
        QCOMPARE(windows().size(), 1);
        QCOMPARE(windows().first(), w);
        QVERIFY(!lastError().isEmpty());
        daten().Tariftab->cancel();
    }

    void placesOfAVersionAreAddedAndDeleted() {
        TForm_Tarif* w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 1));
        click(w, "ToolButton5");
        QVERIFY(daten().Ortetab->state() == TableState::Insert);
        auto* place = child<QLineEdit>(w, "DBEdit2");
        QTest::keyClicks(place, QStringLiteral("Euskirchen"));
        auto* amount = child<QLineEdit>(w, "betrag");
        QTest::keyClicks(amount, QStringLiteral("60"));
        child<DbNavigator>(w, "DBNavigator1")->click(DbNavigator::Post);
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"),
                               QStringLiteral("Id = 1 AND Ort = 'Euskirchen' AND Betrag = 60")),
                 1);
        QCOMPARE(m_data->count(QStringLiteral("Ortsliste"), QStringLiteral("Ort = 'Euskirchen'")),
                 0);

        QVERIFY(daten().Ortetab->locate(QStringLiteral("Ort"), QStringLiteral("Bonn")));
        dialogs().answerNext(MsgResult::No);
        click(w, "Oloeschen");
        QCOMPARE(dialogs().lastMessage().text,
                 QStringLiteral("Wollen Sie den Ort \"Bonn\" wirklich löschen?"));
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 1")), 3);
        dialogs().answerNext(MsgResult::Yes);
        click(w, "Oloeschen");
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 1")), 2);
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"), QStringLiteral("Ort = 'Bonn'")), 1);
        QCOMPARE(m_data->count(QStringLiteral("Ortsliste"), QStringLiteral("Ort = 'Bonn'")), 1);
    }

    void deletingAVersionAsksFirst() {
        TForm_Tarif* w = open();
        QVERIFY(daten().Orthaupttab->locate(QStringLiteral("ID"), 2));
        dialogs().answerNext(MsgResult::No);
        click(w, "Tloeschen");
        QCOMPARE(dialogs().lastMessage().text,
                 QStringLiteral(
                     "Wollen Sie den Ortstarif 2 vom 01.01.2023 bis 31.12.2222 wirklich löschen?"));
        QCOMPARE(dialogs().lastMessage().buttons, MsgButtons::YesNo);
        QCOMPARE(m_data->count(QStringLiteral("OTMAIN")), 3);

        // Ctrl+Del in the grid is the same command.
        dialogs().answerNext(MsgResult::Yes);
        QTest::keyClick(child<DbGrid>(w, "Hauptliste"), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m_data->count(QStringLiteral("OTMAIN"), QStringLiteral("ID = 2")), 0);
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"), QStringLiteral("Id = 2")), 0);
        QCOMPARE(m_data->count(QStringLiteral("Tarif"), QStringLiteral("Id = 2")), 0);
        QCOMPARE(child<DbGrid>(w, "Hauptliste")->model()->rowCount(), 2);
    }

    void printCommandChangesNoData() {
        TForm_Tarif* w = open();
        const QString before = m_data->dumpAll();
        // Answer the title dialog with preview, then with cancel; render instead of showing.
        QList<ReportChoice> answers{ReportChoice::Preview, ReportChoice::Cancel};
        int rendered = 0;
        Drucken::steps().askTitle = [&](TBerichtzielform&) { return answers.takeFirst(); };
        Drucken::steps().preview = [&](Report& r, const AppContext&) {
            rendered += r.render()->pageCount();
        };
        click(w, "TarifDruck");
        click(w, "TarifDruck");
        Drucken::resetSteps();
        QCOMPARE(rendered, 1);
        QVERIFY(answers.isEmpty());
        QCOMPARE(m_data->dumpAll(), before);
        QVERIFY(dialogs().messages().isEmpty());
    }
};

QTEST_MAIN(TariffWindowTest)
#include "TariffWindowTest.moc"
