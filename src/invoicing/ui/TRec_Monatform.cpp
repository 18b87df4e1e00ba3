#include "invoicing/ui/TRec_Monatform.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "base/Format.h"
#include "data/DataSource.h"
#include "data/Table.h"
#include "data/TableModel.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "invoicing/Daten_R.h"
#include "invoicing/MonthlyRun.h"
#include "invoicing/ui/TRec_Druckform.h"
#include "reports/ui/ReportPrinting.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace kilvaro {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    return b;
}

} // namespace

TRec_Monatform::TRec_Monatform(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent), m_daten(context.datenR) {
    if (!m_daten || !m_daten->Rectab->isOpen())
        throw DbError(QStringLiteral("Die Rechnungstabellen sind nicht geöffnet."));
    setObjectName(QStringLiteral("Rec_Monatform"));
    setWindowTitle(QStringLiteral("Monatsrechnungen..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);

    m_run = new MonthlyRun(*m_daten, this);
    m_run->status = [this](const QString& text) { showStatus(text); };
    m_source = new DataSource(m_run->MRectab, this);
    m_source->setObjectName(QStringLiteral("MRecQuelle"));
    openPrintSelection = [this](int from, int to, const QString& caption) {
        TRec_Druckform::openForRange(m_context, this, from, to, caption);
    };
    choosePrinter = [this](QPrinter& printer) {
        if (!ReportPrinting::hasPrinter()) {
            m_context.dialogs->warning(QStringLiteral(
                "Es ist kein Drucker eingerichtet. Das Diagramm kann nicht gedruckt werden."));
            return false;
        }
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    // --- the month rows and the commands -------------------------------------------------
    DBGrid1 = new DbGrid(m_context.dialogs, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setToolTip(QStringLiteral("Übersicht Monatsrechnungen"));
    DBGrid1->setAccessibleName(QStringLiteral("Übersicht Monatsrechnungen"));
    DBGrid1->setReadOnly(true);
    DBGrid1->setMinimumWidth(520);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    MonatWaehlen = new QGroupBox(QStringLiteral("Monat wählen"), this);
    MonatWaehlen->setObjectName(QStringLiteral("MonatWaehlen"));
    Monatedit = new QComboBox(MonatWaehlen);
    Monatedit->setObjectName(QStringLiteral("Monatedit"));
    Monatedit->setToolTip(QStringLiteral("Monat auswählen"));
    Monatedit->setAccessibleName(QStringLiteral("Monat"));
    for (int m = 1; m <= 12; ++m)
        Monatedit->addItem(Format::monthName(m));
    Jahredit = new QSpinBox(MonatWaehlen);
    Jahredit->setObjectName(QStringLiteral("Jahredit"));
    Jahredit->setRange(MonthlyRun::FirstYear, MonthlyRun::LastYear);
    Jahredit->setToolTip(QStringLiteral("Jahr auswählen"));
    Jahredit->setAccessibleName(QStringLiteral("Jahr"));
    Euro = new QCheckBox(QStringLiteral("Euro"), MonatWaehlen);
    Euro->setObjectName(QStringLiteral("Euro"));
    Euro->setToolTip(QStringLiteral("Rechnung mit Euro und DM - Betrag erstellen"));
    Euro->setChecked(true);
    Euro->setVisible(false);
    auto* ml = new QHBoxLayout(MonatWaehlen);
    ml->addWidget(Monatedit, 1);
    ml->addWidget(Jahredit);
    ml->addWidget(Euro);

    erstellen = button(this, "erstellen", QStringLiteral("&erstellen"),
                       QStringLiteral("Erstellt die Monatsrechnungen des angegebenen Monats"));
    Nachbuchen = new QToolButton(this);
    Nachbuchen->setObjectName(QStringLiteral("Nachbuchen"));
    Nachbuchen->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    Nachbuchen->setToolTip(QStringLiteral("Nachbuchen"));
    Nachbuchen->setAccessibleName(QStringLiteral("Nachbuchen"));
    anzeigen = button(this, "anzeigen", QStringLiteral("&drucken"),
                      QStringLiteral("Druckt (bzw. zeigt die Vorschau) des eingestellten Monats"));
    loeschen = button(this, "loeschen", QStringLiteral("&löschen"),
                      QStringLiteral("Löscht die Rechnungen eines Monats!"));
    recbuchen = button(this, "recbuchen", QStringLiteral("Rechnungen buchen"),
                       QStringLiteral("nach dem Buchen kann keine Rechnung mehr gelöscht werden"));
    RecUmsatz = button(this, "RecUmsatz", QStringLiteral("Umsatz aktualisieren"),
                       QStringLiteral("Aktualisiert die Umsatztabelle"));
    Button1 = button(this, "Button1", QStringLiteral("&Rechnungen"),
                     QStringLiteral("Formular \"Rechnungsübersicht\" aufrufen"));
    BitBtn2 = button(this, "BitBtn2", QStringLiteral("&Hilfe"), QStringLiteral("Hilfe aufrufen"));

    auto* commands = new QVBoxLayout;
    commands->addWidget(MonatWaehlen);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(erstellen, 1);
    runRow->addWidget(Nachbuchen);
    commands->addLayout(runRow);
    for (QPushButton* b : {anzeigen, loeschen, recbuchen, RecUmsatz})
        commands->addWidget(b);
    commands->addSpacing(8);
    commands->addWidget(Button1);
    commands->addWidget(BitBtn2);
    commands->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(DBGrid1, 1);
    top->addLayout(commands);

    // --- the chart -------------------------------------------------------------------------
    Uebersicht = new QGroupBox(QStringLiteral("Übersicht"), this);
    Uebersicht->setObjectName(QStringLiteral("Uebersicht"));
    Filtertext = new QSpinBox(Uebersicht);
    Filtertext->setObjectName(QStringLiteral("Filtertext"));
    Filtertext->setRange(MonthlyRun::FirstYear, MonthlyRun::LastYear);
    Filtertext->setToolTip(QStringLiteral("Jahr eingeben!"));
    auto* yearLabel = new QLabel(QStringLiteral("Jahr:"), Uebersicht);
    yearLabel->setBuddy(Filtertext);
    Button2 = button(Uebersicht, "Button2", QStringLiteral("Diagramm &drucken"),
                     QStringLiteral("Druckt das oben angezeigte Diagramm..."));
    DBChart1 = new QChartView(Uebersicht);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setToolTip(QStringLiteral("Statistik über erstellte Rechnungen"));
    DBChart1->setAccessibleName(QStringLiteral("Monatsrechnungen im Überblick"));
    DBChart1->setRenderHint(QPainter::Antialiasing);
    DBChart1->setMinimumHeight(220);
    auto* chartBar = new QHBoxLayout;
    chartBar->addWidget(yearLabel);
    chartBar->addWidget(Filtertext);
    chartBar->addStretch(1);
    chartBar->addWidget(Button2);
    auto* ul = new QVBoxLayout(Uebersicht);
    ul->addLayout(chartBar);
    ul->addWidget(DBChart1, 1);

    Status = new QStatusBar(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 2);
    layout->addWidget(Uebersicht, 3);
    layout->addWidget(Status);

    for (QWidget* w :
         std::initializer_list<QWidget*>{Filtertext, erstellen, anzeigen, loeschen, BitBtn2}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    // The spin box's text field receives the mouse over the year.
    if (auto* edit = Filtertext->findChild<QLineEdit*>()) {
        edit->setMouseTracking(true);
        edit->installEventFilter(this);
    }

    // --- FormCreate ------------------------------------------------------------------------
    m_run->open();
    m_run->fillMissingCurrency();
    DBGrid1->setDataSource(
        m_source, {{QStringLiteral("Monat"), {}, {}, true, 60},
                   {QStringLiteral("Jahr"), {}, {}, true, 60},
                   {QStringLiteral("Rechnung_von"), QStringLiteral("erste Rec."), {}, true, 90},
                   {QStringLiteral("Rechnung_bis"), QStringLiteral("letzte Rec."), {}, true, 90},
                   {QStringLiteral("Umsatz"), {}, QStringLiteral("#,##0.00 €"), true, 120}});
    // Amounts with the program's own mask (the euro sign included).
    DBGrid1->tableModel()->setFormatter(
        [](const QVariant& value, ColumnType type, const QString& mask) {
            if (type == ColumnType::Currency && !mask.isEmpty() && !value.isNull())
                return Format::number(value.toDouble(), mask);
            return TableModel::defaultFormat(value, type, mask);
        });
    // The month before today's is the one usually invoiced.
    const QDate previous = m_daten->today().addMonths(-1);
    {
        const QSignalBlocker b1(Monatedit), b2(Jahredit), b3(Filtertext);
        Monatedit->setCurrentIndex(previous.month() - 1);
        Jahredit->setValue(previous.year());
        Filtertext->setValue(previous.year());
    }
    buildChart();
    MonateditChange();
    FiltertextChange();
    m_run->MRectab->last();

    connect(Monatedit, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { MonateditChange(); }); });
    // The button states follow the year as it is typed, not only once it is confirmed.
    // (The spin box itself announces only acceptable years; its text field every keystroke.)
    if (auto* yearText = Jahredit->findChild<QLineEdit*>())
        connect(yearText, &QLineEdit::textChanged, this,
                [this] { guarded([this] { JahreditChange(); }); });
    connect(Filtertext, &QSpinBox::textChanged, this,
            [this] { guarded([this] { FiltertextChange(); }); });
    auto on = [this](QAbstractButton* b, void (TRec_Monatform::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(erstellen, &TRec_Monatform::erstellenClick);
    on(Nachbuchen, &TRec_Monatform::NachbuchenClick);
    on(anzeigen, &TRec_Monatform::anzeigenClick);
    on(loeschen, &TRec_Monatform::loeschenClick);
    on(recbuchen, &TRec_Monatform::recbuchenClick);
    on(RecUmsatz, &TRec_Monatform::RecUmsatzClick);
    on(Button1, &TRec_Monatform::Button1Click);
    on(Button2, &TRec_Monatform::Button2Click);
    on(BitBtn2, &TRec_Monatform::BitBtn2Click);
    resize(820, 640);
}

TRec_Monatform::~TRec_Monatform() {
    if (stopActivation())
        FormDeactivate();
}

void TRec_Monatform::buildChart() {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Monatsrechnungen im Überblick"));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    DBChart1->setChart(chart);
}

// --- month and year ------------------------------------------------------------------------

int TRec_Monatform::month() const {
    return Monatedit->currentIndex() + 1;
}

int TRec_Monatform::year() const {
    bool ok = false;
    const int y = Jahredit->cleanText().trimmed().toInt(&ok);
    return ok ? y : 0;
}

QString TRec_Monatform::monthName() const {
    return Format::monthName(month());
}

void TRec_Monatform::showStatus(const QString& text) {
    Status->showMessage(text);
    Status->repaint();
}

void TRec_Monatform::MonateditChange() {
    const QString name = monthName();
    erstellen->setText(name + QStringLiteral(" - &Rechnungen"));
    anzeigen->setText(name + QStringLiteral(" &drucken"));
    loeschen->setText(name + QStringLiteral(" &löschen"));
    SchalterSetzen();
}

void TRec_Monatform::JahreditChange() {
    SchalterSetzen();
}

void TRec_Monatform::SchalterSetzen() {
    const int y = year();
    const bool usable = y >= MonthlyRun::FirstYear && y <= MonthlyRun::LastYear;
    const bool exists = usable && m_run->MonatVorhanden(month(), y);
    // A year still being typed (e.g. "20") offers nothing to run.
    erstellen->setEnabled(usable && !exists);
    Nachbuchen->setVisible(exists);
    for (QPushButton* b : {anzeigen, loeschen, recbuchen})
        b->setEnabled(exists);
}

// --- commands ------------------------------------------------------------------------------

void TRec_Monatform::MonatslaufAusfuehren(bool lateAddition) {
    const MonthlyRun::Result r = m_run->MonatslaufAusfuehren(month(), year(), lateAddition);
    switch (r.outcome) {
    case MonthlyRun::Outcome::AlreadyMade:
        m_context.dialogs->message(r.message, MsgIcon::Warning, MsgButtons::Cancel);
        return;
    case MonthlyRun::Outcome::NoOpenTrips:
        showStatus(r.statusText);
        m_context.dialogs->information(r.message);
        return;
    case MonthlyRun::Outcome::Made:
        break;
    }
    if (!r.message.isEmpty())
        m_context.dialogs->information(r.message);
    showStatus(r.statusText);
    m_run->MRectab->last();
    FiltertextChange();
    SchalterSetzen();
    // The invoices just made, which for a late addition lie after the month's row.
    if (openPrintSelection)
        openPrintSelection(r.numbers.first(), r.numbers.last(),
                           QStringLiteral("Rechnungen vom ") + monthName() +
                               QStringLiteral(" drucken..."));
}

void TRec_Monatform::anzeigenClick() {
    const auto row = m_run->monthRow(month(), year());
    if (!row) {
        SchalterSetzen();
        return;
    }
    if (openPrintSelection)
        openPrintSelection(row->first, row->last,
                           QStringLiteral("Rechnungen vom ") + monthName() +
                               QStringLiteral(" drucken..."));
}

void TRec_Monatform::loeschenClick() {
    const auto row = m_run->monthRow(month(), year());
    if (!row) {
        SchalterSetzen();
        return;
    }
    if (!m_context.dialogs->confirm(
            QStringLiteral("Wollen Sie wirklich die Rechnungen Nr %1 bis Nr %2 löschen?")
                .arg(row->first)
                .arg(row->last)))
        return;
    m_run->deleteMonth(month(), year());
    FiltertextChange();
    SchalterSetzen();
}

void TRec_Monatform::recbuchenClick() {
    if (!m_context.dialogs->confirm(QStringLiteral(
            "Gebuchte Rechnungen können nicht mehr gelöscht werden! Jetzt buchen`?")))
        return;
    if (!m_run->MonatVorhanden(month(), year())) {
        SchalterSetzen();
        return;
    }
    m_run->bookMonth(month(), year());
    m_context.dialogs->information(QStringLiteral("Rechnungen sind gebucht"));
}

void TRec_Monatform::RecUmsatzClick() {
    const QString period = MonthlyRun::periodText(month(), year());
    if (m_run->recomputeMonth(month(), year()))
        showStatus(QStringLiteral("Der Umsatz für %1 ist aktualisiert.").arg(period));
    else
        showStatus(QStringLiteral("Für %1 gibt es keine Rechnungen.").arg(period));
    FiltertextChange();
    SchalterSetzen();
}

void TRec_Monatform::FiltertextChange() {
    QChart* chart = DBChart1->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const QString text = Filtertext->cleanText().trimmed();
    if (text.size() != 4)
        return;
    auto* bars = new QBarSet(QStringLiteral("Umsatz"));
    QStringList months;
    double highest = 0;
    for (const auto& [m, revenue] : m_run->yearRevenue(text.toInt())) {
        *bars << revenue.toDouble();
        months << QString::number(m);
        highest = std::max(highest, revenue.toDouble());
    }
    auto* series = new QBarSeries;
    series->append(bars);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(months);
    x->setTitleText(QStringLiteral("Monat"));
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setRange(0, highest > 0 ? highest * 1.1 : 1);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setTitleText(QStringLiteral("Umsatz in €"));
    y->applyNiceNumbers();
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
}

void TRec_Monatform::Button1Click() {
    if (openInvoiceOverview)
        openInvoiceOverview();
}

void TRec_Monatform::Button2Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Monatsrechnungen im Überblick"));
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!choosePrinter || !choosePrinter(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw DbError(QStringLiteral("Das Diagramm konnte nicht gedruckt werden: Der Drucker "
                                     "\"%1\" ist nicht bereit.")
                          .arg(printer.printerName()));
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF size = DBChart1->size();
    // The chart as shown, scaled to the page with its proportions.
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    const QRectF target(page.topLeft(), size * scale);
    DBChart1->render(&painter, target, DBChart1->rect());
    painter.end();
}

void TRec_Monatform::BitBtn2Click() {
    showHelp(HelpContext);
}

// --- activation and events -----------------------------------------------------------------

void TRec_Monatform::FormActivate() {
    if (ChildHost* h = host()) {
        h->bindNavigator(m_source);
        DbNavigator* nav = h->navigator();
        nav->setAllButtonsVisible();
        for (DbNavigator::Button b :
             {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Post, DbNavigator::Cancel})
            nav->setButtonVisible(b, false);
    }
}

void TRec_Monatform::FormDeactivate() {
    // The window activated next may have bound the navigator already.
    ChildHost* h = host();
    if (h && h->navigator()->dataSource() == m_source) {
        h->releaseNavigator();
        h->navigator()->setAllButtonsVisible();
    }
}

void TRec_Monatform::closeEvent(QCloseEvent* event) {
    if (stopActivation())
        FormDeactivate();
    event->accept();
}

void TRec_Monatform::showEvent(QShowEvent* event) {
    ChildWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        m_run->MRectab->last();
    }
}

void TRec_Monatform::mouseMoveEvent(QMouseEvent* event) {
    showStatus(QStringLiteral("Monatsrechnungen..."));
    ChildWindow::mouseMoveEvent(event);
}

bool TRec_Monatform::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        QString text;
        if (watched == Filtertext || watched->parent() == Filtertext)
            text = QStringLiteral("Jahr eingeben, das im der Balkengrafik angezeigt werden soll.");
        else if (watched == erstellen)
            text = QStringLiteral("Erzeugt die Monatsrechnungen für einen Monat...");
        else if (watched == anzeigen)
            text = QStringLiteral("Zeigt die Monatsrechnungen auf dem Bildschirm oder Drucker "
                                  "an...");
        else if (watched == loeschen)
            text = QStringLiteral("Löscht die Monatsrechnungen des angegebenen Monats...");
        else if (watched == BitBtn2)
            text = QStringLiteral("Ruft die ausführliche Hilfe auf...");
        if (!text.isEmpty())
            showStatus(text);
    }
    return ChildWindow::eventFilter(watched, event);
}

} // namespace kilvaro
