#pragma once

#include "base/AppContext.h"
#include "base/ui/ChildWindowRegistry.h"
#include "data/ui/ChildWindow.h"

#include <QMainWindow>
#include <functional>
#include <optional>

class QLabel;
class QMdiArea;
class QToolBar;
class QToolButton;

namespace kilvaro {

class DataSource;
class DbNavigator;
class Drucken;
class HelpViewer;
class MainMenu;
class TDruckfilterform;
enum class InvoiceListKind;

/// The main frame window: menus, tool bar with the shared record navigator, status bar,
/// and the frame in which all working windows open as child windows.
class TForm_Main : public QMainWindow, public ChildHost {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1;

    explicit TForm_Main(const AppContext& context, QWidget* parent = nullptr);
    ~TForm_Main() override;
    /// True when "&Update" started the updater: the program ends at once, storing nothing.
    bool endedByUpdate() const { return m_endedByUpdate; }

    /// Shared values of the invoice list (kept by the invoice data module, which every
    /// window of the run shares): written by PrintInvoiceList and the invoice overview, read
    /// by the invoice list report and the invoice overview.
    QString& ReportTitle;
    QString& InvoiceFilter;

    /// Binds the shared record navigator to a child window's data source and shows it.
    void SetNavigatorSource(DataSource* source);
    /// Unbinds the shared record navigator.
    void ClearNavigatorSource();
    DbNavigator* navigator() const override { return Navigator; }

    // The frame's side of every child window.
    void bindNavigator(DataSource* source) override { SetNavigatorSource(source); }
    void releaseNavigator() override { ClearNavigatorSource(); }
    void showHelp(int context) override { ShowHelp(context); }
    void releaseInstance(ChildKind kind) override { m_children.release(kind); }
    void runGuarded(QWidget* scope, const std::function<void()>& command) override;

    /// Enables the arranging commands and the print button exactly when a child window
    /// exists.
    void UpdateMenuItems();

    /// Invoice list report launcher: closes all child windows, stores title and filter
    /// suffix in ReportTitle and InvoiceFilter, then runs the report.
    void PrintInvoiceList(const QString& title, const QString& filterSuffix);

    /// Closes every child window, the most recent first; false when one refused to close.
    bool closeAllChildWindows();
    /// Arranges the child windows in columns of full height, left to right.
    void tileSideBySide();
    /// Arranges the child windows in rows of full width, top to bottom.
    void tileOneBelowTheOther();

    QMdiArea* mdiArea() const { return m_mdiArea; }
    ChildWindowRegistry& childWindows() { return m_children; }
    const AppContext& context() const { return m_context; }

    /// The report data filter dialog shared by every report of this program run.
    void setReportFilter(TDruckfilterform* filter) { m_reportFilter = filter; }
    TDruckfilterform* reportFilter() const { return m_reportFilter; }

    /// Opens the help viewer at a context number.
    void ShowHelp(int context);
    HelpViewer* help() const { return m_help; }

    /// Runs a command of the frame (menus, tool bar) guarded; text still being typed in
    /// any child window is taken first.
    void runGuarded(const std::function<void()>& command);

protected:
    /// FormClose: closes the child windows, stores the window state, ends the help.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    void buildStatusBar();
    void connectMenu();
    void FormCreate();
    /// Connects an action to a handler that runs guarded.
    void on(QAction* action, void (TForm_Main::*handler)());
    void rebuildWindowList();
    void scheduleUpdateMenuItems();
    QList<class QMdiSubWindow*> arrangeableSubWindows() const;
    /// Opens the single window of a kind maximised, or brings the open one to the front.
    template <class W> void openMaximised(ChildKind kind);

    // Per-user settings of the main window.
    std::optional<bool> readProgmax() const;
    void writeProgmax(bool maximised) const;
    // Shared utilities of the help menu.
    void showVersionInfo();
    /// True when a newer program was started and this one has to end at once.
    bool checkForUpdate();
    /// The invoice list report itself (filter dialog, report, preview or print).
    void runInvoiceListReport();
    /// PrintInvoiceList with the title and filter suffix of one of the four lists.
    void printInvoiceList(InvoiceListKind kind);

    /// The report launchers, with the help of this window for their title dialog.
    Drucken launcher();
    /// The shared filter dialog of the trip reports and transfer evaluations; throws
    /// DbError when the program run has none.
    TDruckfilterform& tripReportFilter();

    // Menu and tool-bar handlers.
    void Preisliste2Click();
    void Tarif2Click();
    void Ortsliste2Click();
    void beendenClick();
    void Ueberfuehrungen1Click();
    void Preisliste1Click();
    void Bestatter1Click();
    void Aushilfen1Click();
    /// The address window, single instance, switched to helpers or funeral directors.
    void showAddresses(bool helpers);
    void Ortstarif1Click();
    void Ortsliste1Click();
    void PLZ1Click();
    void Umsatz1Click();
    void AllInvoices1Click();
    void PaidInvoices1Click();
    void UnpaidInvoices1Click();
    void HiddenInvoices1Click();
    void Jahresumsatz1Click();
    void UmsatzderletztenJahre1Click();
    void FahrtenderletztenJahre1Click();
    void OpenTransfers1Click();
    void berfhrungen1Click();
    void PlzStatistics1Click();
    void TransfersByPerson1Click();
    void TransfersByDate1Click();
    void TransfersByFileNumber1Click();
    void ExportTransfers1Click();
    void InvoiceOverview1Click();
    void MonthlyInvoices1Click();
    void PrintInvoices1Click();
    void BlankInvoice1Click();
    void Cascade1Click();
    void TileSideBySide1Click();
    void TileOneBelowTheOther1Click();
    void CloseAll1Click();
    void HelpTopics1Click();
    void HelpIndex1Click();
    void HelpOnHelp1Click();
    void Info1Click();
    void Update1Click();
    void SQL1Click();
    void DruckenButtonClick();
    void ToolButton10Click();

    AppContext m_context;
    QMdiArea* m_mdiArea;
    ChildWindowRegistry m_children;
    MainMenu* m_menu;
    QToolBar* ToolBar1;
    QToolButton* druckenbutton = nullptr;
    DbNavigator* Navigator = nullptr;
    QLabel* m_statusPanel0 = nullptr;
    QLabel* m_statusPanel1 = nullptr;
    HelpViewer* m_help;
    bool m_updatePending = false;
    bool m_endedByUpdate = false;
    TDruckfilterform* m_reportFilter = nullptr;
    // Without an invoice data module (a frame under test) the shared values live here.
    QString m_ownReportTitle;
    QString m_ownInvoiceFilter;
};

} // namespace kilvaro
