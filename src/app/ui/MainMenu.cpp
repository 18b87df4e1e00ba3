#include "app/ui/MainMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kilvaro {

namespace {

void setHint(QAction* action, const QString& hint) {
    if (hint.isEmpty())
        return;
    action->setStatusTip(hint);
    action->setToolTip(hint);
}

} // namespace

MainMenu::MainMenu(QMainWindow* window) : QObject(window), m_window(window) {
    FileMenu = addMenu(nullptr, QStringLiteral("&Datei"), QStringLiteral("FileMenu"),
                       QStringLiteral("Dateibefehle"));
    PrintMenu = addMenu(FileMenu, QStringLiteral("&Drucken"), QStringLiteral("PrintMenu"));
    Preisliste2 = addItem(PrintMenu, QStringLiteral("&Preisliste"), QStringLiteral("Preisliste2"));
    PrintMenu->addSeparator();
    Tarif2 = addItem(PrintMenu, QStringLiteral("&Tarif"), QStringLiteral("Tarif2"));
    Ortsliste2 = addItem(PrintMenu, QStringLiteral("Orts&liste"), QStringLiteral("Ortsliste2"));
    FileMenu->addSeparator();
    beenden = addItem(FileMenu, QStringLiteral("&Beenden"), QStringLiteral("beenden"),
                      QKeySequence(Qt::ALT | Qt::Key_F4), QStringLiteral("Anwendung beenden"));

    FormsMenu = addMenu(nullptr, QStringLiteral("F&ormulare"), QStringLiteral("FormsMenu"));
    Ueberfuehrungen1 = addItem(FormsMenu, QStringLiteral("Über&führungen"),
                               QStringLiteral("Ueberfuehrungen1"), QKeySequence(Qt::Key_F2));
    Preisliste1 = addItem(FormsMenu, QStringLiteral("&Preisliste"), QStringLiteral("Preisliste1"),
                          QKeySequence(Qt::Key_F4));
    FormsMenu->addSeparator();
    Bestatter1 = addItem(FormsMenu, QStringLiteral("Be&statter"), QStringLiteral("Bestatter1"),
                         QKeySequence(Qt::Key_F5));
    Aushilfen1 = addItem(FormsMenu, QStringLiteral("&Aushilfen"), QStringLiteral("Aushilfen1"),
                         QKeySequence(Qt::Key_F6));
    FormsMenu->addSeparator();
    Ortstarif1 = addItem(FormsMenu, QStringLiteral("&Ortstarife"), QStringLiteral("Ortstarif1"),
                         QKeySequence(Qt::Key_F8));
    Ortsliste1 = addItem(FormsMenu, QStringLiteral("Orts&liste"), QStringLiteral("Ortsliste1"),
                         QKeySequence(Qt::CTRL | Qt::Key_F7));
    FormsMenu->addSeparator();
    PLZ1 = addItem(FormsMenu, QStringLiteral("PLZ"), QStringLiteral("PLZ1"));

    ReportsMenu = addMenu(nullptr, QStringLiteral("Berich&te"), QStringLiteral("ReportsMenu"));
    Umsatz1 = addItem(ReportsMenu, QStringLiteral("&Umsatz"), QStringLiteral("Umsatz1"),
                      QKeySequence(Qt::CTRL | Qt::Key_U));
    ReportsMenu->addSeparator();
    AllInvoices1 =
        addItem(ReportsMenu, QStringLiteral("&alle Rechnungen"), QStringLiteral("AllInvoices1"));
    PaidInvoices1 = addItem(ReportsMenu, QStringLiteral("&bezahlte Rechnungen"),
                            QStringLiteral("PaidInvoices1"));
    UnpaidInvoices1 = addItem(ReportsMenu, QStringLiteral("&unbezahlte Rechnungen"),
                              QStringLiteral("UnpaidInvoices1"));
    HiddenInvoices1 = addItem(ReportsMenu, QStringLiteral("Ausgeblendete Rechnungen"),
                              QStringLiteral("HiddenInvoices1"));
    ReportsMenu->addSeparator();
    Jahresumsatz1 = addItem(ReportsMenu, QStringLiteral("Umsatz nach Bestatter (monatlich)"),
                            QStringLiteral("Jahresumsatz1"));
    UmsatzderletztenJahre1 = addItem(ReportsMenu, QStringLiteral("Gesamtumsatz (jährlich)"),
                                     QStringLiteral("UmsatzderletztenJahre1"));
    FahrtenderletztenJahre1 =
        addItem(ReportsMenu, QStringLiteral("Fahrten nach Bestatter (jährlich)"),
                QStringLiteral("FahrtenderletztenJahre1"));

    TransfersMenu =
        addMenu(nullptr, QStringLiteral("Überführungen"), QStringLiteral("TransfersMenu"));
    OpenTransfers1 = addItem(TransfersMenu, QStringLiteral("&Offene Überführungen..."),
                             QStringLiteral("OpenTransfers1"), QKeySequence(Qt::CTRL | Qt::Key_O));
    berfhrungen1 =
        addItem(TransfersMenu, QStringLiteral("Überführungen"), QStringLiteral("berfhrungen1"));
    PlzStatistics1 =
        addItem(TransfersMenu, QStringLiteral("PLZ-Statistik"), QStringLiteral("PlzStatistics1"));
    TransfersMenu->addSeparator();
    TransfersByPerson1 = addItem(TransfersMenu, QStringLiteral("Überführungen nach Personen"),
                                 QStringLiteral("TransfersByPerson1"));
    TransfersByDate1 = addItem(TransfersMenu, QStringLiteral("Überführungen nach Datum"),
                               QStringLiteral("TransfersByDate1"));
    TransfersByFileNumber1 =
        addItem(TransfersMenu, QStringLiteral("Überführungen nach Aktenzeichen"),
                QStringLiteral("TransfersByFileNumber1"), QKeySequence(Qt::CTRL | Qt::Key_A));
    ExportTransfers1 =
        addItem(TransfersMenu, QStringLiteral("Überführungen exportieren"),
                QStringLiteral("ExportTransfers1"), QKeySequence(Qt::CTRL | Qt::Key_E));

    InvoiceMenu = addMenu(nullptr, QStringLiteral("&Rechnung"), QStringLiteral("InvoiceMenu"));
    InvoiceOverview1 = addItem(InvoiceMenu, QStringLiteral("R&echnungs-Übersicht"),
                               QStringLiteral("InvoiceOverview1"));
    MonthlyInvoices1 = addItem(InvoiceMenu, QStringLiteral("&Monatsrechnungen"),
                               QStringLiteral("MonthlyInvoices1"));
    InvoiceMenu->addSeparator();
    PrintInvoices1 = addItem(InvoiceMenu, QStringLiteral("Rechnungen &drucken"),
                             QStringLiteral("PrintInvoices1"));
    BlankInvoice1 =
        addItem(InvoiceMenu, QStringLiteral("&Blanko-Rechnung"), QStringLiteral("BlankInvoice1"));

    WindowMenu = addMenu(nullptr, QStringLiteral("&Fenster"), QStringLiteral("WindowMenu"),
                         QStringLiteral("Befehle zum Anordnen von Fenstern"));
    Cascade1 = addItem(WindowMenu, QStringLiteral("Ü&berlappend"), QStringLiteral("Cascade1"), {},
                       QStringLiteral("Fenster überlappend anordnen"));
    TileSideBySide1 =
        addItem(WindowMenu, QStringLiteral("&Nebeneinander"), QStringLiteral("TileSideBySide1"), {},
                QStringLiteral("Fenster nicht überlappend anordnen"));
    TileOneBelowTheOther1 = addItem(WindowMenu, QStringLiteral("&Untereinander"),
                                    QStringLiteral("TileOneBelowTheOther1"));
    CloseAll1 = addItem(WindowMenu, QStringLiteral("alle &schließen"), QStringLiteral("CloseAll1"));
    WindowListSeparator = WindowMenu->addSeparator();
    WindowListSeparator->setObjectName(QStringLiteral("WindowListSeparator"));
    WindowListSeparator->setVisible(false);

    HelpMenu = addMenu(nullptr, QStringLiteral("&Hilfe"), QStringLiteral("HelpMenu"),
                       QStringLiteral("Hilfethemen"));
    HelpTopics1 =
        addItem(HelpMenu, QStringLiteral("&Hilfethemen..."), QStringLiteral("HelpTopics1"));
    HelpIndex1 = addItem(HelpMenu, QStringLiteral("&Index"), QStringLiteral("HelpIndex1"));
    HelpOnHelp1 =
        addItem(HelpMenu, QStringLiteral("Hilfe &verwenden"), QStringLiteral("HelpOnHelp1"));
    HelpMenu->addSeparator();
    Info1 = addItem(HelpMenu, QStringLiteral("Inf&o"), QStringLiteral("Info1"));
    Update1 = addItem(HelpMenu, QStringLiteral("&Update"), QStringLiteral("Update1"));
    SQL1 = addItem(HelpMenu, QStringLiteral("SQL-Update"), QStringLiteral("SQL1"));
}

QMenu* MainMenu::addMenu(QMenu* parent, const QString& caption, const QString& name,
                         const QString& hint) {
    QMenu* menu = parent ? parent->addMenu(caption) : m_window->menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name + QStringLiteral("Action"));
    setHint(menu->menuAction(), hint);
    return menu;
}

QAction* MainMenu::addItem(QMenu* menu, const QString& caption, const QString& name,
                           const QKeySequence& shortcut, const QString& hint) {
    auto* action = new QAction(caption, m_window);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    setHint(action, hint);
    menu->addAction(action);
    return action;
}

} // namespace kilvaro
