#include "app/ui/TForm_Main.h"

#include "base/DialogService.h"
#include "base/UserSettings.h"
#include "base/Utils.h"
#include "base/ui/AppIcons.h"
#include "base/ui/HelpViewer.h"
#include "app/ui/MainMenu.h"
#include "data/Daten_A.h"
#include "invoicing/Daten_R.h"
#include "invoicing/InvoiceListRun.h"
#include "invoicing/TBericht_Rechnung.h"
#include "base/DbError.h"
#include "data/ui/DbNavigator.h"
#include "invoicing/ui/InvoiceOutput.h"
#include "invoicing/ui/TRec_Editform.h"
#include "invoicing/ui/TRec_Monatform.h"
#include "invoicing/ui/TRec_Druckform.h"
#include "invoicing/ui/TRec_Neuform.h"
#include "masterdata/ui/TForm_Adressen.h"
#include "masterdata/ui/TForm_Ortsliste.h"
#include "masterdata/ui/TForm_Preisliste.h"
#include "masterdata/ui/TForm_Tarif.h"
#include "masterdata/ui/Tfplzedit.h"
#include "reports/ui/Drucken.h"
#include "reports/ui/TDruckfilterform.h"
#include "reports/ui/TransferCommands.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace kilvaro {

namespace {

// Big enough for the trip, tariff and address windows side by side with the frame's bars;
// a smaller screen gets its whole available area.
const QSize kDesignSize(1280, 800);
const char* const kWindowListEntry = "kilvaroWindowListEntry";

/// The command-line parameters that decide the window's size: the program's own options
/// ("--home DIR") are not among them.
QStringList sizeParameters(const QStringList& arguments) {
    QStringList result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--home")) {
            ++i;
            continue;
        }
        if (a.startsWith(QLatin1String("--home=")))
            continue;
        result << a;
    }
    return result;
}

} // namespace

TForm_Main::TForm_Main(const AppContext& context, QWidget* parent)
    : QMainWindow(parent),
      ReportTitle(context.datenR ? context.datenR->ReportTitle : m_ownReportTitle),
      InvoiceFilter(context.datenR ? context.datenR->InvoiceFilter : m_ownInvoiceFilter),
      m_context(context), m_mdiArea(new QMdiArea(this)), m_children(m_mdiArea) {
    setObjectName(QStringLiteral("Form_Main"));
    setWindowTitle(QStringLiteral("Kilvaro Access"));
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_menu = new MainMenu(this);
    buildToolBar();
    buildStatusBar();
    connectMenu();
    m_help = new HelpViewer(m_context.programFolder, this);
    // The invoicing windows show and print invoice documents through the invoice module.
    InvoiceOutput::install(m_context);

    resize(kDesignSize);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(kDesignSize.boundedTo(available.size()));
        move(available.center() - rect().center());
    }
    FormCreate();
}

TForm_Main::~TForm_Main() {
    // FormDestroy: the frame's window list goes away with the window; stop reacting to it.
    m_mdiArea->viewport()->removeEventFilter(this);
    disconnect(m_mdiArea, nullptr, this, nullptr);
    // Child windows still open reach the frame (navigator, registry, event filters) while
    // they go: free them now, while this is still a whole TForm_Main, and not later among
    // the base class's children.
    const QList<QMdiSubWindow*> children = m_mdiArea->subWindowList();
    const QList<QPointer<QMdiSubWindow>> guarded(children.begin(), children.end());
    for (const QPointer<QMdiSubWindow>& sub : guarded)
        delete sub.data();
}

void TForm_Main::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("Werkzeugleiste"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(24, 24));

    auto addButton = [this](const QString& name, const QString& hint, AppIcons::Kind icon,
                            void (TForm_Main::*handler)()) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(name);
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setAccessibleName(hint);
        button->setIcon(AppIcons::icon(icon));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this,
                [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
        ToolBar1->addWidget(button);
        return button;
    };
    using K = AppIcons::Kind;
    addButton(QStringLiteral("ToolButton1"), QStringLiteral("Fahrten"), K::Fahrten,
              &TForm_Main::Ueberfuehrungen1Click);
    ToolBar1->addSeparator();
    addButton(QStringLiteral("bestatterbutton"), QStringLiteral("Bestatter"), K::Bestatter,
              &TForm_Main::Bestatter1Click);
    addButton(QStringLiteral("hilfskraftbutton"), QStringLiteral("Hilfskräfte"), K::Hilfskraefte,
              &TForm_Main::Aushilfen1Click);
    ToolBar1->addSeparator();
    addButton(QStringLiteral("ToolButton5"), QStringLiteral("Tarife"), K::Tarife,
              &TForm_Main::Ortstarif1Click);
    addButton(QStringLiteral("ToolButton6"), QStringLiteral("Preisliste"), K::Preisliste,
              &TForm_Main::Preisliste1Click);
    ToolBar1->addSeparator();
    addButton(QStringLiteral("ToolButton7"), QStringLiteral("Rechnungen"), K::Rechnungen,
              &TForm_Main::InvoiceOverview1Click);
    addButton(QStringLiteral("ToolButton8"), QStringLiteral("Monatsrechnungen"),
              K::Monatsrechnungen, &TForm_Main::MonthlyInvoices1Click);
    ToolBar1->addSeparator();
    druckenbutton = addButton(QStringLiteral("druckenbutton"), QStringLiteral("Drucken"),
                              K::Drucken, &TForm_Main::DruckenButtonClick);
    ToolBar1->addSeparator();
    addButton(QStringLiteral("ToolButton10"), QStringLiteral("Hilfe"), K::Hilfe,
              &TForm_Main::ToolButton10Click);

    // The navigator sits at the right end of the bar.
    auto* spacer = new QWidget(ToolBar1);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar1->addWidget(spacer);
    Navigator = new DbNavigator(m_context.dialogs, ToolBar1);
    Navigator->setObjectName(QStringLiteral("Navigator"));
    ToolBar1->addWidget(Navigator);

    // The same pictures in the menus.
    m_menu->Ueberfuehrungen1->setIcon(AppIcons::icon(K::Fahrten));
    m_menu->Bestatter1->setIcon(AppIcons::icon(K::Bestatter));
    m_menu->Aushilfen1->setIcon(AppIcons::icon(K::Hilfskraefte));
    m_menu->Ortstarif1->setIcon(AppIcons::icon(K::Tarife));
    m_menu->Preisliste1->setIcon(AppIcons::icon(K::Preisliste));
    m_menu->InvoiceOverview1->setIcon(AppIcons::icon(K::Rechnungen));
    m_menu->MonthlyInvoices1->setIcon(AppIcons::icon(K::Monatsrechnungen));
    m_menu->PrintMenu->setIcon(AppIcons::icon(K::Drucken));
    m_menu->HelpTopics1->setIcon(AppIcons::icon(K::Hilfe));
}

void TForm_Main::buildStatusBar() {
    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("Status"));
    m_statusPanel0 = new QLabel(QStringLiteral("Kilvaro – Fahrtenbuch und Rechnungen"), status);
    m_statusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_statusPanel0->setMinimumWidth(300);
    m_statusPanel1 = new QLabel(status);
    m_statusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    status->addWidget(m_statusPanel0);
    status->addWidget(m_statusPanel1, 1);
}

void TForm_Main::on(QAction* action, void (TForm_Main::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
}

void TForm_Main::connectMenu() {
    MainMenu& m = *m_menu;
    on(m.Preisliste2, &TForm_Main::Preisliste2Click);
    on(m.Tarif2, &TForm_Main::Tarif2Click);
    on(m.Ortsliste2, &TForm_Main::Ortsliste2Click);
    on(m.beenden, &TForm_Main::beendenClick);
    on(m.Ueberfuehrungen1, &TForm_Main::Ueberfuehrungen1Click);
    on(m.Preisliste1, &TForm_Main::Preisliste1Click);
    on(m.Bestatter1, &TForm_Main::Bestatter1Click);
    on(m.Aushilfen1, &TForm_Main::Aushilfen1Click);
    on(m.Ortstarif1, &TForm_Main::Ortstarif1Click);
    on(m.Ortsliste1, &TForm_Main::Ortsliste1Click);
    on(m.PLZ1, &TForm_Main::PLZ1Click);
    on(m.Umsatz1, &TForm_Main::Umsatz1Click);
    on(m.AllInvoices1, &TForm_Main::AllInvoices1Click);
    on(m.PaidInvoices1, &TForm_Main::PaidInvoices1Click);
    on(m.UnpaidInvoices1, &TForm_Main::UnpaidInvoices1Click);
    on(m.HiddenInvoices1, &TForm_Main::HiddenInvoices1Click);
    on(m.Jahresumsatz1, &TForm_Main::Jahresumsatz1Click);
    on(m.UmsatzderletztenJahre1, &TForm_Main::UmsatzderletztenJahre1Click);
    on(m.FahrtenderletztenJahre1, &TForm_Main::FahrtenderletztenJahre1Click);
    on(m.OpenTransfers1, &TForm_Main::OpenTransfers1Click);
    on(m.berfhrungen1, &TForm_Main::berfhrungen1Click);
    on(m.PlzStatistics1, &TForm_Main::PlzStatistics1Click);
    on(m.TransfersByPerson1, &TForm_Main::TransfersByPerson1Click);
    on(m.TransfersByDate1, &TForm_Main::TransfersByDate1Click);
    on(m.TransfersByFileNumber1, &TForm_Main::TransfersByFileNumber1Click);
    on(m.ExportTransfers1, &TForm_Main::ExportTransfers1Click);
    on(m.InvoiceOverview1, &TForm_Main::InvoiceOverview1Click);
    on(m.MonthlyInvoices1, &TForm_Main::MonthlyInvoices1Click);
    on(m.PrintInvoices1, &TForm_Main::PrintInvoices1Click);
    on(m.BlankInvoice1, &TForm_Main::BlankInvoice1Click);
    on(m.Cascade1, &TForm_Main::Cascade1Click);
    on(m.TileSideBySide1, &TForm_Main::TileSideBySide1Click);
    on(m.TileOneBelowTheOther1, &TForm_Main::TileOneBelowTheOther1Click);
    on(m.CloseAll1, &TForm_Main::CloseAll1Click);
    on(m.HelpTopics1, &TForm_Main::HelpTopics1Click);
    on(m.HelpIndex1, &TForm_Main::HelpIndex1Click);
    on(m.HelpOnHelp1, &TForm_Main::HelpOnHelp1Click);
    on(m.Info1, &TForm_Main::Info1Click);
    on(m.Update1, &TForm_Main::Update1Click);
    on(m.SQL1, &TForm_Main::SQL1Click);
    connect(m.WindowMenu, &QMenu::aboutToShow, this, &TForm_Main::rebuildWindowList);
}

void TForm_Main::FormCreate() {
    // The enabling rule follows every change of the active child window and every child
    // window that comes or goes.
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TForm_Main::UpdateMenuItems);
    m_mdiArea->viewport()->installEventFilter(this);
    UpdateMenuItems();

    const QStringList parameters = sizeParameters(m_context.arguments);
    if (parameters.size() == 1) {
        if (parameters.first() == QLatin1String("/800")) {
            setWindowState(Qt::WindowNoState);
            resize(800, 600);
            if (QScreen* screen = QGuiApplication::primaryScreen())
                move(screen->availableGeometry().center() - rect().center());
        }
        return;
    }
    // On the first start there is no stored state yet: the window opens as designed.
    if (const std::optional<bool> maximised = readProgmax())
        setWindowState(*maximised ? Qt::WindowMaximized : Qt::WindowNoState);
}

void TForm_Main::closeEvent(QCloseEvent* event) {
    // A child window that cannot store its pending edit stays open, and so does the frame,
    // so that nothing typed is lost.
    if (!closeAllChildWindows()) {
        event->ignore();
        return;
    }
    writeProgmax(isMaximized());
    m_help->quit();
    event->accept();
}

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mdiArea->viewport() &&
        (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved))
        scheduleUpdateMenuItems();
    return QMainWindow::eventFilter(watched, event);
}

void TForm_Main::scheduleUpdateMenuItems() {
    if (m_updatePending)
        return;
    m_updatePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_updatePending = false;
            UpdateMenuItems();
        },
        Qt::QueuedConnection);
}

void TForm_Main::SetNavigatorSource(DataSource* source) {
    Navigator->setDataSource(source);
    Navigator->setVisible(true);
}

void TForm_Main::ClearNavigatorSource() {
    Navigator->setDataSource(nullptr);
}

void TForm_Main::UpdateMenuItems() {
    const bool anyChild = !m_mdiArea->subWindowList().isEmpty();
    m_menu->Cascade1->setEnabled(anyChild);
    m_menu->TileSideBySide1->setEnabled(anyChild);
    m_menu->TileOneBelowTheOther1->setEnabled(anyChild);
    m_menu->CloseAll1->setEnabled(true);
    druckenbutton->setEnabled(anyChild);
}

void TForm_Main::rebuildWindowList() {
    UpdateMenuItems();
    QMenu* menu = m_menu->WindowMenu;
    for (QAction* action : menu->actions()) {
        if (action->property(kWindowListEntry).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    m_menu->WindowListSeparator->setVisible(!windows.isEmpty());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* sub = windows.at(i);
        QString title = sub->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString caption = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title)
                                      : QStringLiteral("%1 %2").arg(i + 1).arg(title);
        QAction* action = menu->addAction(caption);
        action->setProperty(kWindowListEntry, true);
        action->setCheckable(true);
        action->setChecked(sub == m_mdiArea->activeSubWindow());
        QPointer<QMdiSubWindow> target(sub);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_children.activate(target->widget());
        });
    }
}

bool TForm_Main::closeAllChildWindows() {
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    QList<QPointer<QMdiSubWindow>> guarded(windows.begin(), windows.end());
    bool allClosed = true;
    for (qsizetype i = guarded.size() - 1; i >= 0; --i)
        if (guarded.at(i) && !guarded.at(i)->close())
            allClosed = false;
    UpdateMenuItems();
    return allClosed;
}

QList<QMdiSubWindow*> TForm_Main::arrangeableSubWindows() const {
    QList<QMdiSubWindow*> result;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isHidden() && !sub->isMinimized())
            result << sub;
    return result;
}

void TForm_Main::tileSideBySide() {
    const QList<QMdiSubWindow*> windows = arrangeableSubWindows();
    const QRect area = m_mdiArea->viewport()->rect();
    const qsizetype n = windows.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int left = int(area.width() * i / n);
        const int right = int(area.width() * (i + 1) / n);
        windows.at(i)->showNormal();
        windows.at(i)->setGeometry(left, 0, right - left, area.height());
    }
}

void TForm_Main::tileOneBelowTheOther() {
    const QList<QMdiSubWindow*> windows = arrangeableSubWindows();
    const QRect area = m_mdiArea->viewport()->rect();
    const qsizetype n = windows.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int top = int(area.height() * i / n);
        const int bottom = int(area.height() * (i + 1) / n);
        windows.at(i)->showNormal();
        windows.at(i)->setGeometry(0, top, area.width(), bottom - top);
    }
}

void TForm_Main::ShowHelp(int context) {
    m_help->showContext(context);
}

void TForm_Main::runGuarded(const std::function<void()>& command) {
    runGuardedCommand(this, m_context.dialogs, command);
}

void TForm_Main::runGuarded(QWidget* scope, const std::function<void()>& command) {
    runGuardedCommand(scope, m_context.dialogs, command);
}

void TForm_Main::PrintInvoiceList(const QString& title, const QString& filterSuffix) {
    closeAllChildWindows();
    ReportTitle = title;
    InvoiceFilter = filterSuffix;
    runInvoiceListReport();
}

void TForm_Main::runInvoiceListReport() {
    if (!m_reportFilter || !m_context.datenR || !m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    TDruckfilterform& dialog = *m_reportFilter;
    dialog.setInvoiceOptionsVisible(true);
    dialog.preset(QStringLiteral("Bericht Rechnungen erstellen"), ReportTitle);
    const ReportChoice choice = dialog.showModal();
    // The grouping boxes belong to this list only; the next report finds them hidden.
    dialog.setInvoiceOptionsVisible(false);
    if (choice == ReportChoice::Cancel)
        return;

    InvoiceListChoice list;
    list.title = dialog.title();
    list.periodText = dialog.Zeittext();
    list.dateFilter = dialog.Datumfilter();
    if (dialog.einbestatter->isChecked()) {
        list.funeralDirector = dialog.chosenBestatterId();
        if (!list.funeralDirector)
            throw DbError(QStringLiteral("Es ist kein Bestatter ausgewählt."));
    }
    list.byFuneralDirector = dialog.NachBestatter->isChecked();
    list.pagePerFuneralDirector = dialog.bestatterSeiten->isChecked();
    list.copies = dialog.copies();
    InvoiceListRun(m_context.datenR, m_context.dialogs).run(list, [&](TBericht_Rechnung& report) {
        if (choice == ReportChoice::Print)
            Drucken::steps().print(report, m_context, this);
        else
            Drucken::steps().preview(report, m_context);
    });
}

// --- per-user settings and shared utilities ----------------------------------------------

std::optional<bool> TForm_Main::readProgmax() const {
    return UserSettings().progmax();
}

void TForm_Main::writeProgmax(bool maximised) const {
    UserSettings().setProgmax(maximised);
}

void TForm_Main::showVersionInfo() {
    ShowVersionInfo(*m_context.dialogs);
}

bool TForm_Main::checkForUpdate() {
    m_endedByUpdate = CheckForUpdate(*m_context.dialogs) == UpdateCheck::QuitNow;
    return m_endedByUpdate;
}

// --- menu and tool-bar handlers -------------------------------------------------------------

template <class W> void TForm_Main::openMaximised(ChildKind kind) {
    const bool existed = m_children.find(kind) != nullptr;
    W* window = m_children.showSingle<W>(kind, [this] { return new W(m_context, this); });
    if (!existed)
        if (QMdiSubWindow* sub = m_children.subWindowOf(window))
            sub->showMaximized();
}

// Print launchers of the master-data reports.
Drucken TForm_Main::launcher() {
    Drucken d(m_context, this);
    d.setHelpHandler([this](int topic) { ShowHelp(topic); });
    return d;
}
void TForm_Main::Preisliste2Click() {
    launcher().DruckePreisliste();
}
void TForm_Main::Tarif2Click() {
    launcher().DruckeTarife();
}
void TForm_Main::Ortsliste2Click() {
    launcher().DruckeOrtsliste();
}

void TForm_Main::beendenClick() {
    close();
}

// Working windows: each opens one instance through m_children.showSingle.
void TForm_Main::Ueberfuehrungen1Click() {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    auto* window = m_children.showSingle<TForm_Fahrten>(ChildKind::Fahrten, [this] {
        auto* trips = new TForm_Fahrten(m_context, this);
        trips->printTripList = [this] { launcher().DruckeFahrten(tripReportFilter(), 4); };
        trips->openInvoiceDialog = [this, window = QPointer<TForm_Fahrten>(trips)] {
            // Owned by the frame, not by the trip window: the invoice's preview runs inside
            // the dialog's handler, and the user may close the trip window meanwhile.
            QPointer<TRec_Neuform> dialog =
                new TRec_Neuform(m_context, m_context.daten->Fahrttab, this);
            if (window)
                connect(dialog, &QDialog::finished, window, &TForm_Fahrten::invoiceDialogClosed);
            dialog->exec();
            delete dialog.data();
        };
        return trips;
    });
    if (QMdiSubWindow* sub = m_children.subWindowOf(window))
        sub->showMaximized();
}

void TForm_Main::Preisliste1Click() {
    openMaximised<TForm_Preisliste>(ChildKind::Preisliste);
}

void TForm_Main::Bestatter1Click() {
    showAddresses(false);
}

void TForm_Main::Aushilfen1Click() {
    showAddresses(true);
}

void TForm_Main::showAddresses(bool helpers) {
    auto* w = m_children.showSingle<TForm_Adressen>(ChildKind::Adressen, [&] {
        auto* window = new TForm_Adressen(m_context, this);
        // The address buttons of the tool bar come up when the window is gone.
        connect(window, &QObject::destroyed, this, [this] {
            for (const char* name : {"bestatterbutton", "hilfskraftbutton"})
                if (auto* button = findChild<QToolButton*>(QLatin1String(name)))
                    button->setDown(false);
        });
        return window;
    });
    w->switchMode(helpers);
    w->setWindowTitle(helpers ? QStringLiteral("Aushilfskräfte")
                              : QStringLiteral("Bestattungsunternehmen"));
    if (QMdiSubWindow* sub = m_children.subWindowOf(w))
        sub->showMaximized();
}
void TForm_Main::Ortstarif1Click() {
    openMaximised<TForm_Tarif>(ChildKind::Tarif);
}

void TForm_Main::Ortsliste1Click() {
    openMaximised<TForm_Ortsliste>(ChildKind::Ortsliste);
}

void TForm_Main::PLZ1Click() {
    m_children.showSingle<Tfplzedit>(ChildKind::Plz,
                                     [&] { return new Tfplzedit(m_context, this); });
}

// Reports and statistics.
void TForm_Main::Umsatz1Click() {}

void TForm_Main::AllInvoices1Click() {
    printInvoiceList(InvoiceListKind::Alle);
}

void TForm_Main::PaidInvoices1Click() {
    printInvoiceList(InvoiceListKind::Bezahlte);
}

void TForm_Main::UnpaidInvoices1Click() {
    printInvoiceList(InvoiceListKind::Unbezahlte);
}

void TForm_Main::HiddenInvoices1Click() {
    printInvoiceList(InvoiceListKind::Ausgeblendete);
}

void TForm_Main::printInvoiceList(InvoiceListKind kind) {
    const InvoiceListPreset preset = invoiceListPreset(kind);
    PrintInvoiceList(preset.title, preset.filterSuffix);
}

void TForm_Main::Jahresumsatz1Click() {}
void TForm_Main::UmsatzderletztenJahre1Click() {}
void TForm_Main::FahrtenderletztenJahre1Click() {}

// Transfer reports and evaluations.
TDruckfilterform& TForm_Main::tripReportFilter() {
    if (!m_reportFilter)
        throw DbError(QStringLiteral("Der Datenfilter für Berichte ist nicht eingerichtet."));
    return *m_reportFilter;
}
void TForm_Main::OpenTransfers1Click() {
    launcher().DruckeFahrten(tripReportFilter(), 1);
}
void TForm_Main::berfhrungen1Click() {
    launcher().DruckeFahrten(tripReportFilter(), 3);
}
void TForm_Main::PlzStatistics1Click() {
    TransferCommands(m_context, tripReportFilter(), this).plzStatistik();
}
void TForm_Main::TransfersByPerson1Click() {
    TransferCommands(m_context, tripReportFilter(), this).byPerson();
}
void TForm_Main::TransfersByDate1Click() {
    TransferCommands(m_context, tripReportFilter(), this).byDate();
}
void TForm_Main::TransfersByFileNumber1Click() {
    TransferCommands(m_context, tripReportFilter(), this).byFileNumber();
}
void TForm_Main::ExportTransfers1Click() {
    TransferCommands(m_context, tripReportFilter(), this).exportTransfers();
}

// Invoicing.
void TForm_Main::InvoiceOverview1Click() {
    m_children.showSingle<TRec_Editform>(ChildKind::RechnungsUebersicht, [&] {
        auto* w = new TRec_Editform(m_context, this);
        w->openMonthlyInvoices = [this] { runGuarded([this] { MonthlyInvoices1Click(); }); };
        return w;
    });
}
void TForm_Main::MonthlyInvoices1Click() {
    m_children.showSingle<TRec_Monatform>(ChildKind::Monatsrechnungen, [&] {
        auto* w = new TRec_Monatform(m_context, this);
        w->openInvoiceOverview = [this] { runGuarded([this] { InvoiceOverview1Click(); }); };
        return w;
    });
}
void TForm_Main::PrintInvoices1Click() {
    TRec_Druckform::open(m_context, this);
}
void TForm_Main::BlankInvoice1Click() {
    InvoiceOutput::printBlankForm(m_context);
}

void TForm_Main::Cascade1Click() {
    m_mdiArea->cascadeSubWindows();
}
void TForm_Main::TileSideBySide1Click() {
    tileSideBySide();
}
void TForm_Main::TileOneBelowTheOther1Click() {
    tileOneBelowTheOther();
}
void TForm_Main::CloseAll1Click() {
    closeAllChildWindows();
}

void TForm_Main::HelpTopics1Click() {
    m_help->showContents();
}
void TForm_Main::HelpIndex1Click() {
    m_help->showContents();
}
void TForm_Main::HelpOnHelp1Click() {
    m_help->showHelpOnHelp();
}
void TForm_Main::Info1Click() {
    showVersionInfo();
}

void TForm_Main::Update1Click() {
    // A newer program is being installed: end at once, without closing dialogs or stores.
    if (checkForUpdate())
        QCoreApplication::exit(0);
}

void TForm_Main::SQL1Click() {
    if (!m_context.daten)
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    m_context.daten->ReconnectDatenbank();
}

void TForm_Main::DruckenButtonClick() {
    QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    if (!active)
        return;
    QWidget* window = active->widget();
    if (window && window == m_children.find(ChildKind::Tarif))
        Tarif2Click();
    else if (window && window == m_children.find(ChildKind::Preisliste))
        Preisliste2Click();
    else if (window && window == m_children.find(ChildKind::Ortsliste))
        Ortsliste2Click();
    else if (window && window == m_children.find(ChildKind::Fahrten))
        OpenTransfers1Click();
    // The revenue-per-year window prints with its own command; other windows print nothing.
}

void TForm_Main::ToolButton10Click() {
    ShowHelp(HelpContext);
}

} // namespace kilvaro
