#include "reports/ui/TPrevForm.h"

#include "base/DialogService.h"
#include "base/UserSettings.h"
#include "base/ui/AppIcons.h"
#include "base/ui/HelpViewer.h"
#include "reports/Report.h"
#include "reports/ReportPages.h"
#include "reports/ui/ReportPreviewView.h"
#include "reports/ui/ReportPrinting.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace kilvaro {

namespace {

constexpr int HelpContext = 2000;
const QString PrinterIndexKey = QStringLiteral("PrinterIndex");

QPointer<TPrevForm>& lastForm() {
    static QPointer<TPrevForm> form;
    return form;
}

/// A small picture of one or two characters, for commands without a standard icon.
QIcon glyphIcon(const QString& glyph) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = QApplication::font();
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 60, 100));
    p.drawText(pm.rect(), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

} // namespace

TPrevForm::TPrevForm(ReportPages* pages, Report* report, const AppContext& context,
                     UserSettings* settings, QWidget* parent)
    : QMainWindow(parent), m_pages(pages), m_pagesGuard(pages), m_report(report),
      m_context(context), m_settings(settings) {
    if (!m_settings) {
        m_ownSettings = std::make_unique<UserSettings>();
        m_settings = m_ownSettings.get();
    }
    setObjectName(QStringLiteral("PrevForm"));
    setWindowTitle(QStringLiteral("Bericht"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildUi();
    m_preview->setPages(pages);
    if (pages) {
        connect(pages, &ReportPages::pageAdded, this, &TPrevForm::PreviewPageAvailable);
        connect(pages, &ReportPages::progressChanged, this, &TPrevForm::PreviewProgressUpdate);
        if (pages->isFinished())
            QMetaObject::invokeMethod(
                this, [this] { PreviewProgressUpdate(100); }, Qt::QueuedConnection);
    }
    // The label reads "Seite" until the first page is there to count.
    if (pages && pages->pageCount() > 0)
        updatePageLabel();
    updateOutputCommands();
    lastForm() = this;
}

TPrevForm::~TPrevForm() = default;

TPrevForm* TPrevForm::lastCreated() {
    return lastForm();
}

QToolButton* TPrevForm::toolButton(QToolBar* bar, const QString& name, const QString& caption,
                                   const QString& hint, const QIcon& icon) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setIcon(icon);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(64);
    b->installEventFilter(this);
    bar->addWidget(b);
    return b;
}

void TPrevForm::buildUi() {
    QStyle* st = style();
    // Context menu of both tool bars: captions under the symbols on or off.
    m_context_menu = new QMenu(this);
    m_context_menu->setObjectName(QStringLiteral("Kontextmenu"));
    m_symbolCaptions = m_context_menu->addAction(QStringLiteral("Symbolunterschriften"));
    m_symbolCaptions->setObjectName(QStringLiteral("Symbolunterschriften1"));
    m_symbolCaptions->setCheckable(true);
    m_symbolCaptions->setChecked(true);
    connect(m_symbolCaptions, &QAction::triggered, this, [this] { Symbolunterschriften1Click(); });

    auto setupBar = [this](const QString& name) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(name);
        bar->setMovable(false);
        bar->setIconSize(QSize(24, 24));
        bar->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(bar, &QWidget::customContextMenuRequested, this,
                [this, bar](const QPoint& pos) { m_context_menu->exec(bar->mapToGlobal(pos)); });
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    m_navBar = setupBar(QStringLiteral("Toolbar"));
    auto* t1 = toolButton(m_navBar, "T1", "Anfang", "Erste Seite anzeigen",
                          st->standardIcon(QStyle::SP_MediaSkipBackward));
    auto* t2 =
        toolButton(m_navBar, "T2", QStringLiteral("zurück"), QStringLiteral("zurückblättern"),
                   st->standardIcon(QStyle::SP_MediaSeekBackward));
    auto* t3 = toolButton(m_navBar, "T3", "weiter", QStringLiteral("nächste Seite"),
                          st->standardIcon(QStyle::SP_MediaSeekForward));
    auto* t4 = toolButton(m_navBar, "T4", "Ende", "Letzte Seite anzeigen",
                          st->standardIcon(QStyle::SP_MediaSkipForward));
    connect(t1, &QToolButton::clicked, this, &TPrevForm::firstClick);
    connect(t2, &QToolButton::clicked, this, &TPrevForm::prevClick);
    connect(t3, &QToolButton::clicked, this, &TPrevForm::nextClick);
    connect(t4, &QToolButton::clicked, this, &TPrevForm::lastClick);

    m_cmdBar = setupBar(QStringLiteral("ToolBar1"));
    auto* t7 = toolButton(m_cmdBar, "T7", "Verkleinern", "Ansicht verkleinern (- 10 %)",
                          glyphIcon(QStringLiteral("−")));
    auto* t5 = toolButton(m_cmdBar, "T5", QStringLiteral("Vergrößern"),
                          QStringLiteral("Anzeige vergrößern (+ 10 %)"), glyphIcon("+"));
    auto* t6 = toolButton(m_cmdBar, "T6", "Ansicht", QStringLiteral("Ansicht ändern"),
                          st->standardIcon(QStyle::SP_FileDialogDetailedView));
    connect(t7, &QToolButton::clicked, this, &TPrevForm::T7Click);
    connect(t5, &QToolButton::clicked, this, &TPrevForm::T5Click);
    auto* viewMenu = new QMenu(this);
    viewMenu->setObjectName(QStringLiteral("Ansichtmenu"));
    auto* whole = viewMenu->addAction(QStringLiteral("&Gesamte Seite"));
    whole->setObjectName(QStringLiteral("GesamteSeite1"));
    auto* width = viewMenu->addAction(QStringLiteral("&Seitenbreite"));
    width->setObjectName(QStringLiteral("BreitederSeite1"));
    viewMenu->addSeparator();
    auto* z100 = viewMenu->addAction(QStringLiteral("Kein Zoom (100 %)"));
    z100->setObjectName(QStringLiteral("Zoom100"));
    connect(whole, &QAction::triggered, this, &TPrevForm::GesamteSeite1Click);
    connect(width, &QAction::triggered, this, &TPrevForm::BreitederSeite1Click);
    connect(z100, &QAction::triggered, this, &TPrevForm::Zoom100Click);
    t6->setMenu(viewMenu);
    t6->setPopupMode(QToolButton::InstantPopup);

    m_cmdBar->addSeparator();
    m_printerBox = new QComboBox(m_cmdBar);
    m_printerBox->setObjectName(QStringLiteral("PrinterBox"));
    m_printerBox->setEditable(false);
    m_printerBox->setMinimumContentsLength(22);
    m_printerBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_printerBox->setToolTip(QStringLiteral("Drucker für den Ausdruck wählen"));
    m_printerBox->installEventFilter(this);
    m_cmdBar->addWidget(m_printerBox);
    connect(m_printerBox, &QComboBox::currentIndexChanged, this, &TPrevForm::PrinterBoxChange);

    m_t8 = toolButton(m_cmdBar, "T8", "Druck", "Bericht ausdrucken",
                      AppIcons::icon(AppIcons::Kind::Drucken));
    m_printMenu = new QMenu(this);
    m_printMenu->setObjectName(QStringLiteral("printmenu"));
    m_standardPrint = m_printMenu->addAction(QStringLiteral("&Standard-Druck"));
    m_standardPrint->setObjectName(QStringLiteral("StandardDruck1"));
    m_choosePrint = m_printMenu->addAction(QStringLiteral("Auswahl vor Ausdruck"));
    m_choosePrint->setObjectName(QStringLiteral("AuswahlvorAusdruck1"));
    m_printMenu->addSeparator();
    m_pdfAction = m_printMenu->addAction(QStringLiteral("Als PDF speichern…"));
    m_pdfAction->setObjectName(QStringLiteral("AlsPDFspeichern1"));
    m_t8->setMenu(m_printMenu);
    m_t8->setPopupMode(QToolButton::MenuButtonPopup);
    connect(m_t8, &QToolButton::clicked, this, &TPrevForm::DruckenClick);
    connect(m_standardPrint, &QAction::triggered, this, &TPrevForm::DruckenClick);
    connect(m_choosePrint, &QAction::triggered, this, &TPrevForm::AuswahlvorAusdruck1Click);
    connect(m_pdfAction, &QAction::triggered, this, &TPrevForm::AlsPDFspeichern1Click);
    m_pdf = toolButton(m_cmdBar, "TPdf", "PDF", "Bericht als PDF-Datei speichern",
                       st->standardIcon(QStyle::SP_DialogSaveButton));
    connect(m_pdf, &QToolButton::clicked, this, &TPrevForm::AlsPDFspeichern1Click);
    m_cmdBar->addSeparator();
    auto* t11 = toolButton(m_cmdBar, "T11", "Hilfe", "Hilfe aufrufen",
                           AppIcons::icon(AppIcons::Kind::Hilfe));
    auto* t10 = toolButton(m_cmdBar, "T10", QStringLiteral("Schließen"),
                           QStringLiteral("Bericht Schließen"),
                           st->standardIcon(QStyle::SP_DialogCloseButton));
    connect(t11, &QToolButton::clicked, this, &TPrevForm::T11Click);
    connect(t10, &QToolButton::clicked, this, &TPrevForm::SchliessenClick);

    m_descriptions = {
        {t1, QStringLiteral("Erste Seite anzeigen.")},
        {t2, QStringLiteral("Vorherige Seite anzeigen.")},
        {t3, QStringLiteral("Nächste Seite anzeigen.")},
        {t4, QStringLiteral("Letzte Seite anzeigen.")},
        {t7, QStringLiteral("Verkleinert die Ansicht um 10 %.")},
        {t5, QStringLiteral("Vergrößert die Ansicht um 10 %.")},
        {t6, QStringLiteral("Verkleinert den Bericht, um die gesamte Seite zu zeigen.")},
        {m_printerBox, QStringLiteral("Wählt den Drucker für den Ausdruck.")},
        {m_t8, QStringLiteral("Druckt den Bericht aus.")},
        {m_pdf, QStringLiteral("Speichert den Bericht als PDF-Datei.")},
        {t11, QStringLiteral("Ruft die Hilfe zur Berichtsvorschau auf.")},
        {t10, QStringLiteral("Schließt den Bericht.")},
    };

    m_preview = new ReportPreviewView(this);
    m_preview->viewport()->installEventFilter(this);
    m_preview->installEventFilter(this);
    m_descriptions.insert(m_preview->viewport(), QString());
    setCentralWidget(m_preview);

    // Status strip: page label, zoom, description, progress.
    auto* bar = statusBar();
    m_seite = new QLabel(QStringLiteral("Seite"), bar);
    m_seite->setObjectName(QStringLiteral("Seite"));
    m_seite->setToolTip(QStringLiteral("Seite / Gesamt"));
    m_seite->setMinimumWidth(90);
    m_seite->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_seite);
    m_zoom = new QSpinBox(bar);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->setRange(0, 300);
    m_zoom->setSingleStep(5);
    m_zoom->setValue(100);
    m_zoom->setToolTip(QStringLiteral("Zoomfaktor einstellen"));
    m_zoom->installEventFilter(this);
    m_descriptions.insert(m_zoom,
                          QStringLiteral("Verändert den Vergrößerungsfaktor der Seitenanzeige."));
    bar->addWidget(m_zoom);
    auto* percent = new QLabel(QStringLiteral("% "), bar);
    bar->addWidget(percent);
    connect(m_zoom, &QSpinBox::valueChanged, this, [this] { ZoomChange(); });
    if (auto* edit = m_zoom->findChild<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, this, [this] { ZoomChange(); });
    m_status = new QLabel(QStringLiteral("Status"), bar);
    m_status->setObjectName(QStringLiteral("status"));
    bar->addWidget(m_status, 1);
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("Progressbar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setMaximumWidth(200);
    bar->addPermanentWidget(m_progress);

    // Esc closes the window through an invisible menu item.
    m_mainMenu = new QMenuBar(this);
    m_mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    auto* close = new QAction(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("Schlieen1"));
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, this, &TPrevForm::SchliessenClick);
    addAction(close);
    m_mainMenu->addAction(close);
    setMenuBar(m_mainMenu);
    m_mainMenu->setVisible(false);

    resize(1000, 760);
}

void TPrevForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TPrevForm::closeEvent(QCloseEvent* event) {
    if (m_pagesGuard && !m_pagesGuard->isFinished())
        m_pagesGuard->requestCancel();
    QMainWindow::closeEvent(event);
}

bool TPrevForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_preview && event->type() == QEvent::Resize) {
        // A whole-page or page-width view keeps fitting when the window changes size.
        if (m_fit == Fit::WholePage)
            QTimer::singleShot(0, this, [this] { GesamteSeite1Click(); });
        else if (m_fit == Fit::PageWidth)
            QTimer::singleShot(0, this, [this] { BreitederSeite1Click(); });
    }
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        auto it = m_descriptions.constFind(watched);
        if (it != m_descriptions.constEnd())
            m_status->setText(it.value());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TPrevForm::FormShow() {
    m_fillingPrinters = true;
    m_printerBox->clear();
    m_printerBox->addItems(ReportPrinting::printerNames());
    if (m_printerBox->count() > 0)
        m_printerBox->setCurrentIndex(0);
    const std::optional<int> stored =
        m_settings->intValue(UserSettings::App::Report, PrinterIndexKey);
    if (m_printerBox->count() > 0 && stored) {
        // An index beyond the list leaves no printer selected: the default printer is used.
        m_printerBox->setCurrentIndex(*stored >= 0 && *stored < m_printerBox->count() ? *stored
                                                                                      : -1);
    }
    m_fillingPrinters = false;
}

void TPrevForm::PrinterBoxChange(int index) {
    if (m_fillingPrinters || index < 0)
        return;
    m_settings->setValue(UserSettings::App::Report, PrinterIndexKey, index);
}

void TPrevForm::PreviewPageAvailable() {
    updatePageLabel();
}

void TPrevForm::PreviewProgressUpdate(int percent) {
    m_progress->setValue(percent);
    if (percent == 100) {
        m_progress->hide();
        if (m_pages)
            setWindowTitle(m_pages->title());
        BreitederSeite1Click();
        updatePageLabel();
        updateOutputCommands();
    }
}

void TPrevForm::updatePageLabel() {
    m_seite->setText(
        QStringLiteral("%1 / %2").arg(m_preview->pageNumber()).arg(m_preview->pageCount()));
}

void TPrevForm::updateOutputCommands() {
    // Printing or saving a report still being rendered would give an incomplete document.
    const bool ready = m_pages && m_pages->isFinished() && m_pages->pageCount() > 0;
    m_t8->setEnabled(ready);
    m_pdf->setEnabled(ready);
    m_pdfAction->setEnabled(ready);
}

void TPrevForm::firstClick() {
    m_preview->setPageNumber(1);
    updatePageLabel();
}

void TPrevForm::prevClick() {
    if (m_preview->pageNumber() > 0)
        m_preview->setPageNumber(m_preview->pageNumber() - 1);
    updatePageLabel();
}

void TPrevForm::nextClick() {
    if (m_preview->pageNumber() < m_preview->pageCount())
        m_preview->setPageNumber(m_preview->pageNumber() + 1);
    updatePageLabel();
}

void TPrevForm::lastClick() {
    m_preview->setPageNumber(m_preview->pageCount());
    updatePageLabel();
}

void TPrevForm::setZoomValue(int percent) {
    m_zoom->setValue(std::clamp(percent, m_zoom->minimum(), m_zoom->maximum()));
    ZoomChange();
}

void TPrevForm::T7Click() {
    setZoomValue(m_preview->zoom() - 10);
}
void TPrevForm::T5Click() {
    setZoomValue(m_preview->zoom() + 10);
}
void TPrevForm::GesamteSeite1Click() {
    setZoomValue(m_preview->wholePageZoom());
    m_fit = Fit::WholePage;
}
void TPrevForm::BreitederSeite1Click() {
    setZoomValue(m_preview->pageWidthZoom());
    m_fit = Fit::PageWidth;
}
void TPrevForm::Zoom100Click() {
    setZoomValue(100);
}

void TPrevForm::ZoomChange() {
    QLineEdit* edit = m_zoom->findChild<QLineEdit*>();
    if (edit && edit->text().trimmed().isEmpty()) {
        // An emptied field becomes 100, selected, so typing replaces it.
        m_zoom->setValue(100);
        edit->setText(QStringLiteral("100"));
        edit->selectAll();
    }
    if (m_zoom->value() == 0)
        m_zoom->setValue(5);
    m_fit = Fit::None; // a chosen fit is set again by its handler after this
    m_preview->setZoom(m_zoom->value());
}

bool TPrevForm::printTo(QPrinter& printer) {
    if (!m_pages)
        return false;
    OutputOptions options = m_report ? m_report->outputOptions() : OutputOptions();
    QString error;
    if (!ReportPrinting::print(*m_pages, printer, options, this, &error)) {
        if (!error.isEmpty() && m_context.dialogs)
            m_context.dialogs->error(error);
        return false;
    }
    return true;
}

void TPrevForm::DruckenClick() {
    if (!m_pages || !m_pages->isFinished())
        return;
    if (!ReportPrinting::hasPrinter()) {
        if (m_context.dialogs)
            m_context.dialogs->warning(ReportPrinting::noPrinterText());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    ReportSettings settings = m_report ? m_report->settings() : ReportSettings();
    settings.printerIndex = m_printerBox->currentIndex();
    ReportPrinting::applySettings(printer, settings);
    printTo(printer);
}

void TPrevForm::AuswahlvorAusdruck1Click() {
    if (!m_pages || !m_pages->isFinished())
        return;
    if (!ReportPrinting::hasPrinter()) {
        DruckenClick(); // says that there is no printer
        return;
    }
    // The dialog works on a copy: Cancel leaves the report's settings as they were.
    ReportSettings chosen = m_report ? m_report->settings() : ReportSettings();
    chosen.printerIndex = m_printerBox->currentIndex();
    QPrinter printer(QPrinter::HighResolution);
    if (!ReportPrinting::printDialog(printer, chosen, m_pages->pageCount(), this))
        return;
    if (m_report)
        m_report->settings() = chosen;
    const OutputOptions options{chosen.firstPage, chosen.lastPage, chosen.copies, chosen.collate};
    QString error;
    if (!ReportPrinting::print(*m_pages, printer, options, this, &error) && !error.isEmpty() &&
        m_context.dialogs)
        m_context.dialogs->error(error);
}

void TPrevForm::AlsPDFspeichern1Click() {
    if (!m_pages || !m_pages->isFinished() || !m_context.dialogs)
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QString file = m_context.dialogs->saveFileName(QStringLiteral("Als PDF speichern"), folder,
                                                   QStringLiteral("PDF-Dateien (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty()) {
        file += QStringLiteral(".pdf");
        // The file dialog confirmed the name as typed, not this one: ask before replacing.
        if (QFileInfo::exists(file) &&
            m_context.dialogs->message(
                QStringLiteral("Die Datei \"%1\" gibt es schon. Soll sie ersetzt werden?")
                    .arg(QDir::toNativeSeparators(file)),
                MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
            return;
    }
    QString error;
    if (!m_pages->exportPdf(file, &error)) {
        m_context.dialogs->error(error);
        return;
    }
    m_status->setText(QStringLiteral("Gespeichert: %1").arg(QDir::toNativeSeparators(file)));
}

void TPrevForm::Symbolunterschriften1Click() {
    const bool captions = m_symbolCaptions->isChecked();
    for (QToolBar* bar : {m_navBar, m_cmdBar})
        for (QToolButton* b : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            b->setToolButtonStyle(captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
}

void TPrevForm::T11Click() {
    static QPointer<HelpViewer> help;
    if (!help) {
        help = new HelpViewer(m_context.programFolder);
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->showContext(HelpContext);
}

void TPrevForm::SchliessenClick() {
    close();
}

void TPrevForm::preview(Report& report, const AppContext& context, UserSettings* settings) {
    ReportPages pages;
    pages.reset(report.title(), report.orientation(), report.paperSize());
    QPointer<TPrevForm> form = new TPrevForm(&pages, &report, context, settings);
    form->showMaximized();
    // In front of the window or dialog it was opened from, and ready for input at once.
    form->raise();
    form->activateWindow();
    // Each new page is shown at once: the events between pages let the window paint and
    // react (paging, closing) while the rest renders.
    QObject::connect(&pages, &ReportPages::pageAdded, form, [] { QApplication::processEvents(); });
    try {
        report.render(pages);
    } catch (...) {
        if (form)
            form->close();
        throw;
    }
    if (form) {
        QEventLoop loop;
        QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace kilvaro
