#pragma once

#include <QKeySequence>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

namespace kilvaro {

/// The menu bar of the main window: every menu and command with its caption, name,
/// shortcut and hint. Holds the actions so that the main window can connect them; it does
/// not know what they do.
class MainMenu : public QObject {
    Q_OBJECT
public:
    /// Builds the menus into the window's menu bar; the actions belong to the window.
    explicit MainMenu(QMainWindow* window);

    // "&Datei"
    QMenu* FileMenu;
    QMenu* PrintMenu;
    QAction* Preisliste2;
    QAction* Tarif2;
    QAction* Ortsliste2;
    QAction* beenden;
    // "F&ormulare"
    QMenu* FormsMenu;
    QAction* Ueberfuehrungen1;
    QAction* Preisliste1;
    QAction* Bestatter1;
    QAction* Aushilfen1;
    QAction* Ortstarif1;
    QAction* Ortsliste1;
    QAction* PLZ1;
    // "Berich&te"
    QMenu* ReportsMenu;
    QAction* Umsatz1;
    QAction* AllInvoices1;
    QAction* PaidInvoices1;
    QAction* UnpaidInvoices1;
    QAction* HiddenInvoices1;
    QAction* Jahresumsatz1;
    QAction* UmsatzderletztenJahre1;
    QAction* FahrtenderletztenJahre1;
    // "Überführungen"
    QMenu* TransfersMenu;
    QAction* OpenTransfers1;
    QAction* berfhrungen1;
    QAction* PlzStatistics1;
    QAction* TransfersByPerson1;
    QAction* TransfersByDate1;
    QAction* TransfersByFileNumber1;
    QAction* ExportTransfers1;
    // "&Rechnung"
    QMenu* InvoiceMenu;
    QAction* InvoiceOverview1;
    QAction* MonthlyInvoices1;
    QAction* PrintInvoices1;
    QAction* BlankInvoice1;
    // "&Fenster"; the list of child windows follows "alle &schließen".
    QMenu* WindowMenu;
    QAction* Cascade1;
    QAction* TileSideBySide1;
    QAction* TileOneBelowTheOther1;
    QAction* CloseAll1;
    QAction* WindowListSeparator;
    // "&Hilfe"
    QMenu* HelpMenu;
    QAction* HelpTopics1;
    QAction* HelpIndex1;
    QAction* HelpOnHelp1;
    QAction* Info1;
    QAction* Update1;
    QAction* SQL1;

private:
    QMenu* addMenu(QMenu* parent, const QString& caption, const QString& name,
                   const QString& hint = {});
    QAction* addItem(QMenu* menu, const QString& caption, const QString& name,
                     const QKeySequence& shortcut = {}, const QString& hint = {});

    QMainWindow* m_window;
};

} // namespace kilvaro
