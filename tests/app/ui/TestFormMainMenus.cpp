// The main window's menus, tool bar and status bar: captions, names, shortcuts, hints and
// separators exactly where the users expect them.
#include "support/FakeDialogService.h"

#include "app/ui/TForm_Main.h"
#include "data/ui/DbNavigator.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace kilvaro;

namespace {

/// One row of a menu: "-" for a separator, ">Name" for a sub-menu.
struct Row {
    QString caption;
    QString name;
    QString shortcut;
};

QList<Row> rowsOf(const QMenu* menu) {
    QList<Row> rows;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            if (a->isVisible())
                rows.append({QStringLiteral("-"), {}, {}});
            continue;
        }
        if (a->menu())
            rows.append({a->text(), QLatin1Char('>') + a->menu()->objectName(), {}});
        else
            rows.append(
                {a->text(), a->objectName(), a->shortcut().toString(QKeySequence::PortableText)});
    }
    return rows;
}

void compareRows(const QList<Row>& actual, const QList<Row>& expected) {
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual[i].caption, expected[i].caption);
        if (expected[i].caption != QLatin1String("-")) {
            QCOMPARE(actual[i].name, expected[i].name);
            QCOMPARE(actual[i].shortcut, expected[i].shortcut);
        }
    }
}

} // namespace

class TestFormMainMenus : public QObject {
    Q_OBJECT

    QTemporaryDir m_settingsDir;
    FakeDialogService m_dialogs;
    std::unique_ptr<TForm_Main> m_window;

    QMenu* menu(const char* name) { return m_window->findChild<QMenu*>(QLatin1String(name)); }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        AppContext context;
        context.programFolder = m_settingsDir.path() + QLatin1Char('/');
        context.dialogs = &m_dialogs;
        m_window = std::make_unique<TForm_Main>(context);
    }

    void windowIdentity() {
        QCOMPARE(m_window->objectName(), QStringLiteral("Form_Main"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Kilvaro Access"));
        QCOMPARE(TForm_Main::HelpContext, 1);
    }

    void menuBarOrderAndHints() {
        QStringList captions;
        for (QAction* a : m_window->menuBar()->actions())
            captions << a->text();
        QCOMPARE(captions, QStringList({"&Datei", "F&ormulare", "Berich&te", "Überführungen",
                                        "&Rechnung", "&Fenster", "&Hilfe"}));
        QCOMPARE(menu("FileMenu")->menuAction()->statusTip(), QStringLiteral("Dateibefehle"));
        QCOMPARE(menu("FileMenu")->menuAction()->toolTip(), QStringLiteral("Dateibefehle"));
        QCOMPARE(menu("WindowMenu")->menuAction()->statusTip(),
                 QStringLiteral("Befehle zum Anordnen von Fenstern"));
        QCOMPARE(menu("HelpMenu")->menuAction()->statusTip(), QStringLiteral("Hilfethemen"));
    }

    void fileMenu() {
        compareRows(
            rowsOf(menu("FileMenu")),
            {{"&Drucken", ">PrintMenu", ""}, {"-", "", ""}, {"&Beenden", "beenden", "Alt+F4"}});
        compareRows(rowsOf(menu("PrintMenu")), {{"&Preisliste", "Preisliste2", ""},
                                                {"-", "", ""},
                                                {"&Tarif", "Tarif2", ""},
                                                {"Orts&liste", "Ortsliste2", ""}});
        auto* beenden = m_window->findChild<QAction*>("beenden");
        QCOMPARE(beenden->statusTip(), QStringLiteral("Anwendung beenden"));
        QCOMPARE(beenden->toolTip(), QStringLiteral("Anwendung beenden"));
    }

    void formsMenu() {
        compareRows(rowsOf(menu("FormsMenu")), {{"Über&führungen", "Ueberfuehrungen1", "F2"},
                                                {"&Preisliste", "Preisliste1", "F4"},
                                                {"-", "", ""},
                                                {"Be&statter", "Bestatter1", "F5"},
                                                {"&Aushilfen", "Aushilfen1", "F6"},
                                                {"-", "", ""},
                                                {"&Ortstarife", "Ortstarif1", "F8"},
                                                {"Orts&liste", "Ortsliste1", "Ctrl+F7"},
                                                {"-", "", ""},
                                                {"PLZ", "PLZ1", ""}});
    }

    void reportsMenu() {
        compareRows(rowsOf(menu("ReportsMenu")),
                    {{"&Umsatz", "Umsatz1", "Ctrl+U"},
                     {"-", "", ""},
                     {"&alle Rechnungen", "AllInvoices1", ""},
                     {"&bezahlte Rechnungen", "PaidInvoices1", ""},
                     {"&unbezahlte Rechnungen", "UnpaidInvoices1", ""},
                     {"Ausgeblendete Rechnungen", "HiddenInvoices1", ""},
                     {"-", "", ""},
                     {"Umsatz nach Bestatter (monatlich)", "Jahresumsatz1", ""},
                     {"Gesamtumsatz (jährlich)", "UmsatzderletztenJahre1", ""},
                     {"Fahrten nach Bestatter (jährlich)", "FahrtenderletztenJahre1", ""}});
    }

    void transfersMenu() {
        compareRows(rowsOf(menu("TransfersMenu")),
                    {{"&Offene Überführungen...", "OpenTransfers1", "Ctrl+O"},
                     {"Überführungen", "berfhrungen1", ""},
                     {"PLZ-Statistik", "PlzStatistics1", ""},
                     {"-", "", ""},
                     {"Überführungen nach Personen", "TransfersByPerson1", ""},
                     {"Überführungen nach Datum", "TransfersByDate1", ""},
                     {"Überführungen nach Aktenzeichen", "TransfersByFileNumber1", "Ctrl+A"},
                     {"Überführungen exportieren", "ExportTransfers1", "Ctrl+E"}});
    }

    void invoiceMenu() {
        compareRows(rowsOf(menu("InvoiceMenu")), {{"R&echnungs-Übersicht", "InvoiceOverview1", ""},
                                                  {"&Monatsrechnungen", "MonthlyInvoices1", ""},
                                                  {"-", "", ""},
                                                  {"Rechnungen &drucken", "PrintInvoices1", ""},
                                                  {"&Blanko-Rechnung", "BlankInvoice1", ""}});
    }

    void windowMenu() {
        // Without child windows the list separator stays hidden.
        compareRows(rowsOf(menu("WindowMenu")), {{"Ü&berlappend", "Cascade1", ""},
                                                 {"&Nebeneinander", "TileSideBySide1", ""},
                                                 {"&Untereinander", "TileOneBelowTheOther1", ""},
                                                 {"alle &schließen", "CloseAll1", ""}});
        auto* cascade = m_window->findChild<QAction*>("Cascade1");
        QCOMPARE(cascade->statusTip(), QStringLiteral("Fenster überlappend anordnen"));
        auto* tile = m_window->findChild<QAction*>("TileSideBySide1");
        QCOMPARE(tile->toolTip(), QStringLiteral("Fenster nicht überlappend anordnen"));
    }

    void helpMenu() {
        compareRows(rowsOf(menu("HelpMenu")), {{"&Hilfethemen...", "HelpTopics1", ""},
                                               {"&Index", "HelpIndex1", ""},
                                               {"Hilfe &verwenden", "HelpOnHelp1", ""},
                                               {"-", "", ""},
                                               {"Inf&o", "Info1", ""},
                                               {"&Update", "Update1", ""},
                                               {"SQL-Update", "SQL1", ""}});
    }

    void commandsForLaterWindowsAreEnabled() {
        for (const char* name : {"Preisliste2", "Tarif2", "Ortsliste2", "Ueberfuehrungen1",
                                 "Bestatter1", "PLZ1", "Umsatz1", "Jahresumsatz1", "OpenTransfers1",
                                 "ExportTransfers1", "InvoiceOverview1", "BlankInvoice1", "SQL1"})
            QVERIFY2(m_window->findChild<QAction*>(name)->isEnabled(), name);
    }

    void toolBar() {
        auto* bar = m_window->findChild<QToolBar*>("ToolBar1");
        QVERIFY(bar);
        const QList<std::pair<QString, QString>> expected = {{"ToolButton1", "Fahrten"},
                                                             {"-", ""},
                                                             {"bestatterbutton", "Bestatter"},
                                                             {"hilfskraftbutton", "Hilfskräfte"},
                                                             {"-", ""},
                                                             {"ToolButton5", "Tarife"},
                                                             {"ToolButton6", "Preisliste"},
                                                             {"-", ""},
                                                             {"ToolButton7", "Rechnungen"},
                                                             {"ToolButton8", "Monatsrechnungen"},
                                                             {"-", ""},
                                                             {"druckenbutton", "Drucken"},
                                                             {"-", ""},
                                                             {"ToolButton10", "Hilfe"}};
        QList<std::pair<QString, QString>> actual;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator()) {
                actual.append(std::make_pair(QStringLiteral("-"), QString()));
                continue;
            }
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            if (!button)
                continue; // spacer and navigator
            QVERIFY(!button->icon().isNull());
            QCOMPARE(button->statusTip(), button->toolTip());
            actual.append(std::make_pair(button->objectName(), button->toolTip()));
        }
        QCOMPARE(actual, expected);
        // The navigator is the last item of the bar.
        QWidget* last = bar->widgetForAction(bar->actions().last());
        QCOMPARE(last->objectName(), QStringLiteral("Navigator"));
        QCOMPARE(last, static_cast<QWidget*>(m_window->navigator()));
    }

    void statusBar() {
        auto* status = m_window->findChild<QStatusBar*>("Status");
        QVERIFY(status);
        const QList<QLabel*> panels =
            status->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(panels.size(), 2);
        QVERIFY(panels[0]->text().startsWith(QStringLiteral("Kilvaro")));
        QVERIFY(panels[1]->text().isEmpty());
    }
};

QTEST_MAIN(TestFormMainMenus)
#include "TestFormMainMenus.moc"
