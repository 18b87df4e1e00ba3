#include "invoicing/ui/TRec_Editform.h"

#include "base/DialogService.h"
#include "base/Format.h"
#include "base/TextFile.h"
#include "base/Utils.h"
#include "base/DbError.h"
#include "data/Table.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "data/ui/FieldBinding.h"
#include "invoicing/Daten_R.h"
#include "invoicing/InvoiceOverviewRules.h"
#include "masterdata/TextListFile.h"
#include "masterdata/ui/TTextform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, bool readOnly, int width = 0) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(readOnly);
    if (width > 0)
        e->setFixedWidth(width);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint = QString()) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = QString()) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

} // namespace

TRec_Editform::TRec_Editform(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent), m_daten(context.datenR) {
    if (!m_daten || !m_daten->Rectab->isOpen())
        throw DbError(QStringLiteral("Die Rechnungstabellen sind nicht geöffnet."));
    setObjectName(QStringLiteral("Rec_Editform"));
    setWindowTitle(QStringLiteral("Rechnungs-Übersicht"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_rules = std::make_unique<InvoiceOverviewRules>(*m_daten, *context.dialogs);

    showInvoice = [daten = m_daten](int recNr, int posId, bool print) {
        if (daten->showInvoice)
            daten->showInvoice(recNr, posId, print);
    };
    startCalculator = [] { OpenDocument(QStringLiteral("calc")); };
    editTextFile = [this](const QString& path, const QString& caption) {
        TTextform::editFile(m_context.dialogs, path, caption, this);
    };
    copyToClipboard = [](const QString& text) {
        if (QClipboard* c = QGuiApplication::clipboard())
            c->setText(text);
    };
    m_rules->copyToClipboard = [this](const QString& text) {
        if (copyToClipboard)
            copyToClipboard(text);
    };

    auto* layout = new QVBoxLayout(this);
    buildTopBar(layout);
    Seiten = new QTabWidget(this);
    Seiten->setObjectName(QStringLiteral("Seiten"));
    Seiten->addTab(buildDetailPage(), QStringLiteral("Detail"));
    Seiten->addTab(buildTripsPage(), QStringLiteral("Fahrten-Übersicht"));
    Seiten->addTab(buildPositionsPage(), QStringLiteral("Rechnungs-Posten"));
    Seiten->addTab(buildOverviewPage(), QStringLiteral("Rechnungs-Übersicht"));
    layout->addWidget(Seiten, 1);
    bindDetail();

    // FormCreate: the month filter starts at today's month, switched off. The status filter
    // starts at "alle Rechnungen", so the list and the selected status agree.
    const QDate today = m_daten->today();
    {
        const QSignalBlocker b1(Jahredit), b2(Monatsbox), b3(UpDown1);
        Jahredit->setValue(today.year());
        Monatsbox->setCurrentIndex(today.month() - 1);
        UpDown1->setValue(today.month() - 1);
    }
    setStatusSuffix(QString());
    FilterAnwenden();

    connect(m_daten->RecQuelle, &DataSource::dataChange, this, [this](const QString& field) {
        if (field.isEmpty() || field.compare(QLatin1String("RecNr"), Qt::CaseInsensitive) == 0)
            guarded([this] { recnrChange(); });
    });
    connect(m_daten->RecQuelle, &DataSource::setChange, this,
            [this] { guarded([this] { recnrChange(); }); });
    BearbeitenClick();
    guarded([this] { recnrChange(); });
    resize(900, 620);
}

TRec_Editform::~TRec_Editform() {
    if (stopActivation())
        FormDeactivate();
}

// --- building ----------------------------------------------------------------------------

void TRec_Editform::buildTopBar(QVBoxLayout* layout) {
    auto* bar = new QHBoxLayout;
    Jahredit = new QSpinBox(this);
    Jahredit->setObjectName(QStringLiteral("Jahredit"));
    Jahredit->setRange(1996, 2200);
    Jahredit->setFixedWidth(72);
    Jahredit->setAccessibleName(QStringLiteral("Jahr"));
    Monatsbox = new QComboBox(this);
    Monatsbox->setObjectName(QStringLiteral("Monatsbox"));
    Monatsbox->setAccessibleName(QStringLiteral("Monat"));
    for (int m = 1; m <= 12; ++m)
        Monatsbox->addItem(Format::monthName(m));
    UpDown1 = new QSpinBox(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, 11);
    UpDown1->setWrapping(false);
    // Only the arrows are wanted: the month shows in the list beside it.
    UpDown1->setFixedWidth(22);
    UpDown1->setAccessibleName(QStringLiteral("Monat wechseln"));
    UpDown1->setStyleSheet(
        QStringLiteral("QSpinBox { color: transparent; selection-color: "
                       "transparent; selection-background-color: transparent; }"));
    Filtern = new QCheckBox(QStringLiteral("Rechnungsmonat"), this);
    Filtern->setObjectName(QStringLiteral("Filtern"));
    Filtern->setToolTip(QStringLiteral("Filter aktivieren"));
    Snr = lineEdit(this, "Snr", false, 70);
    auto* snrLabel = new QLabel(QStringLiteral("Suche Rec.-Nr"), this);
    snrLabel->setBuddy(Snr);

    Bearbeiten = new QGroupBox(QStringLiteral("Bearbeiten"), this);
    Bearbeiten->setObjectName(QStringLiteral("Bearbeiten"));
    zulassen = new QRadioButton(QStringLiteral("&zulassen"), Bearbeiten);
    zulassen->setObjectName(QStringLiteral("zulassen"));
    nichtZulassen = new QRadioButton(QStringLiteral("&nicht zulassen"), Bearbeiten);
    nichtZulassen->setObjectName(QStringLiteral("nichtZulassen"));
    nichtZulassen->setChecked(true);
    auto* bl = new QVBoxLayout(Bearbeiten);
    bl->setContentsMargins(6, 2, 6, 2);
    bl->addWidget(zulassen);
    bl->addWidget(nichtZulassen);

    filterbox = new QGroupBox(QStringLiteral("Filter"), this);
    filterbox->setObjectName(QStringLiteral("filterbox"));
    auto* fl = new QGridLayout(filterbox);
    fl->setContentsMargins(6, 2, 6, 2);
    auto* group = new QButtonGroup(filterbox);
    const QStringList items{
        QStringLiteral("alle Rechnungen"), QStringLiteral("bezahlte Rechnungen"),
        QStringLiteral("unbezahlte Rechnungen"), QStringLiteral("ausgeblendete Rechnungen")};
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items[i], filterbox);
        r->setObjectName(QStringLiteral("filterbox%1").arg(i));
        group->addButton(r, i);
        fl->addWidget(r, i % 2, i / 2);
        filterItems << r;
    }
    filterItems.first()->setChecked(true);

    Button5 = button(this, "Button5", QStringLiteral("Monatsrechnungen"));
    BT_Hilfe = button(this, "BT_Hilfe", QStringLiteral("&Hilfe "));

    auto* month = new QGroupBox(this);
    auto* ml = new QGridLayout(month);
    ml->setContentsMargins(6, 4, 6, 4);
    ml->addWidget(Filtern, 0, 0, 1, 3);
    ml->addWidget(Monatsbox, 1, 0);
    ml->addWidget(UpDown1, 1, 1);
    ml->addWidget(Jahredit, 1, 2);
    auto* search = new QVBoxLayout;
    search->addWidget(snrLabel);
    search->addWidget(Snr);
    bar->addWidget(month);
    bar->addLayout(search);
    bar->addWidget(Bearbeiten);
    bar->addWidget(filterbox);
    bar->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Button5);
    right->addWidget(BT_Hilfe);
    bar->addLayout(right);
    layout->addLayout(bar);

    connect(Jahredit, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { MonatsboxChange(); }); });
    connect(Monatsbox, &QComboBox::activated, this,
            [this] { guarded([this] { MonatsboxChange(); }); });
    connect(UpDown1, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { UpDown1Click(); }); });
    connect(Filtern, &QCheckBox::clicked, this, [this] { guarded([this] { FilternClick(); }); });
    connect(Snr, &QLineEdit::textChanged, this, [this] { guarded([this] { SnrChange(); }); });
    connect(zulassen, &QRadioButton::toggled, this, [this] { BearbeitenClick(); });
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { guarded([this, id] { filterboxClick(id); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { guarded([this] { Button5Click(); }); });
    connect(BT_Hilfe, &QPushButton::clicked, this, [this] { BT_HilfeClick(); });
}

QWidget* TRec_Editform::buildDetailPage() {
    auto* page = new QWidget(this);
    auto* h = new QHBoxLayout(page);
    eingabefeld = new QWidget(page);
    eingabefeld->setObjectName(QStringLiteral("eingabefeld"));
    auto* g = new QGridLayout(eingabefeld);
    g->setContentsMargins(0, 0, 0, 0);

    recnr = lineEdit(eingabefeld, "recnr", true, 90);
    datum = lineEdit(eingabefeld, "datum", false, 100);
    kundenname = lineEdit(eingabefeld, "kundenname", true);
    kundenname->setMaximumWidth(420);
    netto = lineEdit(eingabefeld, "netto", true, 100);
    brutto = lineEdit(eingabefeld, "brutto", true, 100);
    netto->setAlignment(Qt::AlignRight);
    brutto->setAlignment(Qt::AlignRight);
    textvor = new QPlainTextEdit(eingabefeld);
    textvor->setObjectName(QStringLiteral("textvor"));
    textvor->setMinimumHeight(80);

    // Every field is announced by its label; the label's mnemonic, if any, jumps to it.
    auto label = [](const QString& text, QWidget* field) {
        auto* l = new QLabel(text, field->parentWidget());
        l->setBuddy(field);
        return l;
    };
    g->addWidget(label(QStringLiteral("Rec.-Nr"), recnr), 0, 0);
    g->addWidget(recnr, 0, 1);
    g->addWidget(label(QStringLiteral("Datum"), datum), 0, 2);
    g->addWidget(datum, 0, 3);
    g->addWidget(label(QStringLiteral("Kunde"), kundenname), 1, 0);
    g->addWidget(kundenname, 1, 1, 1, 4);
    g->addWidget(label(QStringLiteral("Netto"), netto), 2, 0);
    g->addWidget(netto, 2, 1);
    g->addWidget(label(QStringLiteral("Brutto"), brutto), 2, 2);
    g->addWidget(brutto, 2, 3);
    g->addWidget(label(QStringLiteral("Anschreiben"), textvor), 3, 0, Qt::AlignTop);
    g->addWidget(textvor, 3, 1, 1, 4);

    auto* pay = new QGroupBox(QStringLiteral("Zahlung"), eingabefeld);
    auto* pl = new QGridLayout(pay);
    Radiobezahlt = new QRadioButton(QStringLiteral("Die Rechnung ist bezahlt"), pay);
    Radiobezahlt->setObjectName(QStringLiteral("Radiobezahlt"));
    bezahltPanel = new QWidget(pay);
    bezahltPanel->setObjectName(QStringLiteral("bezahltPanel"));
    auto* bp = new QHBoxLayout(bezahltPanel);
    bp->setContentsMargins(20, 0, 0, 0);
    zahlungsdatum = lineEdit(bezahltPanel, "zahlungsdatum", false, 100);
    Kalender =
        toolButton(bezahltPanel, "Kalender", QStringLiteral("…"), QStringLiteral("Kalender"));
    edit_Zart = new QComboBox(bezahltPanel);
    edit_Zart->setObjectName(QStringLiteral("edit_Zart"));
    edit_Zart->setEditable(true);
    edit_Zart->setMinimumWidth(180);
    edit_Zart->installEventFilter(this);
    edit_Zart->lineEdit()->installEventFilter(this);
    Zahlungstexte = toolButton(bezahltPanel, "Zahlungstexte", QStringLiteral("..."),
                               QStringLiteral("Zahlungsarten bearbeiten"));
    bp->addWidget(label(QStringLiteral("am"), zahlungsdatum));
    zahlungsdatum->setAccessibleName(QStringLiteral("Bezahlt am"));
    bp->addWidget(zahlungsdatum);
    bp->addWidget(Kalender);
    bp->addSpacing(12);
    bp->addWidget(label(QStringLiteral("Zahlungsart"), edit_Zart));
    bp->addWidget(edit_Zart, 1);
    bp->addWidget(Zahlungstexte);

    Radioangezahlt = new QRadioButton(QStringLiteral("Die Rechnung ist nicht bezahlt"), pay);
    Radioangezahlt->setObjectName(QStringLiteral("Radioangezahlt"));
    angezahltPanel = new QWidget(pay);
    angezahltPanel->setObjectName(QStringLiteral("angezahltPanel"));
    auto* ap = new QGridLayout(angezahltPanel);
    ap->setContentsMargins(20, 0, 0, 0);
    anzahlung = lineEdit(angezahltPanel, "anzahlung", false, 100);
    anzahlung->setAlignment(Qt::AlignRight);
    anzahlungD = lineEdit(angezahltPanel, "anzahlungD", false, 100);
    SpeedButton1 =
        toolButton(angezahltPanel, "SpeedButton1", QStringLiteral("…"), QStringLiteral("Kalender"));
    Restbetrag = lineEdit(angezahltPanel, "Restbetrag", true, 100);
    Restbetrag->setAlignment(Qt::AlignRight);
    SpeedButton2 = button(angezahltPanel, "SpeedButton2", QStringLiteral("Rechner"));
    SpeedButton3 = button(angezahltPanel, "SpeedButton3", QStringLiteral("Anzahlung"));
    ap->addWidget(label(QStringLiteral("Angezahlt"), anzahlung), 0, 0);
    ap->addWidget(anzahlung, 0, 1);
    ap->addWidget(label(QStringLiteral("am"), anzahlungD), 0, 2);
    anzahlungD->setAccessibleName(QStringLiteral("Angezahlt am"));
    ap->addWidget(anzahlungD, 0, 3);
    ap->addWidget(SpeedButton1, 0, 4);
    ap->addWidget(label(QStringLiteral("Restbetrag"), Restbetrag), 1, 0);
    ap->addWidget(Restbetrag, 1, 1);
    ap->addWidget(SpeedButton2, 1, 3);
    ap->addWidget(SpeedButton3, 1, 4, 1, 2);
    ap->setColumnStretch(6, 1);

    pl->addWidget(Radiobezahlt, 0, 0);
    pl->addWidget(bezahltPanel, 1, 0);
    pl->addWidget(Radioangezahlt, 2, 0);
    pl->addWidget(angezahltPanel, 3, 0);
    g->addWidget(pay, 4, 0, 1, 5);

    auto check = [this](const char* name, const QString& caption) {
        auto* c = new QCheckBox(caption, eingabefeld);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    BigR = check("BigR", QStringLiteral("&Sonderformat"));
    Single = check("Single", QStringLiteral("Einzelrechnung"));
    Gebucht = check("Gebucht", QStringLiteral("Gebucht"));
    Storniert = check("Storniert", QStringLiteral("Storniert"));
    Ausgeblendet = check("Ausgeblendet", QStringLiteral("Ausgeblendet"));
    auto* checks = new QHBoxLayout;
    for (QCheckBox* c : {BigR, Single, Gebucht, Storniert, Ausgeblendet})
        checks->addWidget(c);
    checks->addStretch();
    g->addLayout(checks, 5, 0, 1, 5);

    anzahlungen = new QPlainTextEdit(eingabefeld);
    anzahlungen->setObjectName(QStringLiteral("anzahlungen"));
    anzahlungen->setToolTip(QStringLiteral("Anzahlungen"));
    anzahlungen->setMinimumHeight(90);
    savebt = button(eingabefeld, "savebt", QStringLiteral("Speichern"));
    savebt->setVisible(false);
    g->addWidget(label(QStringLiteral("Anzahlungen"), anzahlungen), 6, 0, Qt::AlignTop);
    g->addWidget(anzahlungen, 6, 1, 1, 4);
    g->addWidget(savebt, 7, 4, Qt::AlignRight);
    g->setColumnStretch(4, 1);
    g->setRowStretch(3, 2);
    g->setRowStretch(6, 1);

    auto* rechnung = new QGroupBox(QStringLiteral("Rechnung"), page);
    rechnung->setObjectName(QStringLiteral("Rechnung"));
    auto* rl = new QVBoxLayout(rechnung);
    getnetto = button(rechnung, "getnetto", QStringLiteral("&Netto neu"),
                      QStringLiteral("Netto Summe neu berechnen"));
    RecAnsicht = button(rechnung, "RecAnsicht", QStringLiteral("&Ansehen"));
    Drucken = button(rechnung, "Drucken", QStringLiteral("&Drucken"));
    RecLoeschen = button(rechnung, "RecLoeschen", QStringLiteral("&Löschen"));
    RecStorno = button(rechnung, "RecStorno", QStringLiteral("&Stornieren"));
    RecBuchen = button(rechnung, "RecBuchen", QStringLiteral("&Buchen"));
    for (QPushButton* b : {getnetto, RecAnsicht, Drucken, RecLoeschen, RecStorno, RecBuchen})
        rl->addWidget(b);
    rl->addStretch();

    h->addWidget(eingabefeld, 1);
    h->addWidget(rechnung, 0, Qt::AlignTop);

    connect(Radiobezahlt, &QRadioButton::clicked, this,
            [this] { guarded([this] { RadiobezahltClick(); }); });
    connect(Radioangezahlt, &QRadioButton::clicked, this,
            [this] { guarded([this] { RadioangezahltClick(); }); });
    connect(Kalender, &QToolButton::clicked, this,
            [this] { guarded([this] { KalenderClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton1Click(); }); });
    connect(Zahlungstexte, &QToolButton::clicked, this,
            [this] { guarded([this] { ZahlungstexteClick(); }); });
    connect(SpeedButton2, &QPushButton::clicked, this,
            [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QPushButton::clicked, this,
            [this] { guarded([this] { SpeedButton3Click(); }); });
    connect(anzahlungen, &QPlainTextEdit::textChanged, this, [this] { anzahlungenChange(); });
    connect(savebt, &QPushButton::clicked, this, [this] { guarded([this] { savebtClick(); }); });
    connect(getnetto, &QPushButton::clicked, this,
            [this] { guarded([this] { getnettoClick(); }); });
    connect(RecAnsicht, &QPushButton::clicked, this,
            [this] { guarded([this] { RecAnsichtClick(); }); });
    connect(Drucken, &QPushButton::clicked, this, [this] { guarded([this] { DruckenClick(); }); });
    connect(RecLoeschen, &QPushButton::clicked, this,
            [this] { guarded([this] { RecLoeschenClick(); }); });
    connect(RecStorno, &QPushButton::clicked, this,
            [this] { guarded([this] { RecStornoClick(); }); });
    connect(RecBuchen, &QPushButton::clicked, this,
            [this] { guarded([this] { RecBuchenClick(); }); });
    return page;
}

QWidget* TRec_Editform::buildTripsPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    auto* head = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(page);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        m_tripHeader << l;
        head->addWidget(l);
        head->addSpacing(16);
    }
    head->addWidget(new QLabel(
        QStringLiteral("(alle Fahrten, die in dieser Rechnung berücksichtigt wurden)"), page));
    head->addStretch();
    v->addLayout(head);
    FahrtenGrid = new DbGrid(m_context.dialogs, page);
    FahrtenGrid->setObjectName(QStringLiteral("FahrtenGrid"));
    FahrtenGrid->setAccessibleName(QStringLiteral("Fahrten der Rechnung"));
    FahrtenGrid->setDataSource(
        m_daten->Fahrtquelle,
        {{QStringLiteral("Datum"), QString(), QStringLiteral("dd.mm.yyyy"), true, 90},
         {QStringLiteral("Startort"), QString(), QString(), true, 130},
         {QStringLiteral("Zielort"), QString(), QString(), true, 130},
         {QStringLiteral("Personen"), QString(), QString(), true, 150},
         {QStringLiteral("Ortspauschale"), QString(), QStringLiteral("#,##0.00"), true, 110},
         {QStringLiteral("Ankleiden"), QString(), QStringLiteral("#,##0.00"), true, 80},
         {QStringLiteral("Nacht"), QString(), QStringLiteral("#,##0.00"), true, 70},
         {QStringLiteral("Feiertag"), QString(), QStringLiteral("#,##0.00"), true, 70},
         {QStringLiteral("Gesamt"), QStringLiteral("Netto"), QStringLiteral("#,##0.00"), true,
          80}});
    FahrtenGrid->setReadOnly(true);
    v->addWidget(FahrtenGrid, 1);
    return page;
}

QWidget* TRec_Editform::buildPositionsPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    PostenGrid = new DbGrid(m_context.dialogs, page);
    PostenGrid->setObjectName(QStringLiteral("PostenGrid"));
    PostenGrid->setAccessibleName(QStringLiteral("Rechnungspositionen"));
    PostenGrid->setDataSource(
        m_daten->Recposten1,
        {{QStringLiteral("RecID"), QStringLiteral("RecNr"), QString(), true, 60},
         {QStringLiteral("Datum"), QString(), QStringLiteral("dd.mm.yyyy hh:mm"), false, 120},
         {QStringLiteral("Rectext"), QString(), QString(), false, 540},
         {QStringLiteral("Netto"), QString(), QStringLiteral("#,##0.00"), false, 80},
         {QStringLiteral("Auftragsnr"), QString(), QString(), false, 90}});
    v->addWidget(PostenGrid, 1);
    auto* bar = new QHBoxLayout;
    navi = new DbNavigator(m_context.dialogs, page);
    navi->setObjectName(QStringLiteral("navi"));
    navi->setDataSource(m_daten->Recposten1);
    getnetto2 = button(page, "getnetto2", QStringLiteral("Netto neu"),
                       QStringLiteral("Netto Summe neu berechnen"));
    Einzelrechnung = button(page, "Einzelrechnung", QStringLiteral("Einzelrechnung"),
                            QStringLiteral("Position als Einzelrechnung ausgeben"));
    bar->addWidget(navi);
    bar->addStretch();
    bar->addWidget(getnetto2);
    bar->addWidget(Einzelrechnung);
    v->addLayout(bar);
    connect(getnetto2, &QPushButton::clicked, this,
            [this] { guarded([this] { getnettoClick(); }); });
    connect(Einzelrechnung, &QPushButton::clicked, this,
            [this] { guarded([this] { EinzelrechnungClick(); }); });
    return page;
}

QWidget* TRec_Editform::buildOverviewPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    UebersichtGrid = new DbGrid(m_context.dialogs, page);
    UebersichtGrid->setObjectName(QStringLiteral("UebersichtGrid"));
    UebersichtGrid->setAccessibleName(QStringLiteral("Rechnungen"));
    UebersichtGrid->setDataSource(
        m_daten->RecQuelle,
        {{QStringLiteral("RecNr"), QString(), QString(), true, 70},
         {QStringLiteral("Datum"), QString(), QStringLiteral("dd.mm.yyyy"), true, 90},
         {QStringLiteral("Kundenname"), QString(), QString(), true, 220},
         {QStringLiteral("Zahlungsdatum"), QString(), QStringLiteral("dd.mm.yyyy"), true, 110},
         {QStringLiteral("Zahlungsart"), QString(), QString(), true, 140},
         {QStringLiteral("Anzahlung"), QString(), QStringLiteral("#,##0.00"), true, 90},
         {QStringLiteral("AnzahlungD"), QString(), QStringLiteral("dd.mm.yyyy"), true, 100}});
    UebersichtGrid->setReadOnly(true);
    v->addWidget(UebersichtGrid, 1);
    return page;
}

void TRec_Editform::bindDetail() {
    DataSource* rec = m_daten->RecQuelle;
    DialogService* d = m_context.dialogs;
    FieldBinding::bind(rec, QStringLiteral("RecNr"), recnr, d)->setReadOnly(true);
    auto* datumBinding = FieldBinding::bind(rec, QStringLiteral("Datum"), datum, d);
    datumBinding->setMask(QStringLiteral("dd.mm.yyyy"));
    FieldBinding::bind(rec, QStringLiteral("Kundenname"), kundenname, d)->setReadOnly(true);
    auto* n = FieldBinding::bind(rec, QStringLiteral("Netto"), netto, d);
    n->setMask(QStringLiteral("#,##0.00"));
    n->setReadOnly(true);
    auto* b = FieldBinding::bind(rec, QStringLiteral("brutto"), brutto, d);
    b->setMask(QStringLiteral("#,##0.00"));
    b->setReadOnly(true);
    auto* textBinding = FieldBinding::bind(rec, QStringLiteral("Textvor"), textvor, d);
    FieldBinding::bind(rec, QStringLiteral("Zahlungsdatum"), zahlungsdatum, d)
        ->setMask(QStringLiteral("dd.mm.yyyy"));
    m_zartBinding = FieldBinding::bind(rec, QStringLiteral("Zahlungsart"), edit_Zart, d);
    FieldBinding::bind(rec, QStringLiteral("Anzahlung"), anzahlung, d)
        ->setMask(QStringLiteral("#,##0.00"));
    FieldBinding::bind(rec, QStringLiteral("AnzahlungD"), anzahlungD, d)
        ->setMask(QStringLiteral("dd.mm.yyyy"));
    m_printedBindings = {datumBinding, textBinding,
                         FieldBinding::bind(rec, QStringLiteral("BigR"), BigR, d),
                         FieldBinding::bind(rec, QStringLiteral("Single"), Single, d)};
    // Booking cannot be undone: it happens through "&Buchen", which asks first.
    FieldBinding::bind(rec, QStringLiteral("Gebucht"), Gebucht, d)->setReadOnly(true);
    FieldBinding::bind(rec, QStringLiteral("Storniert"), Storniert, d)->setReadOnly(true);
    FieldBinding::bind(rec, QStringLiteral("Ausgeblendet"), Ausgeblendet, d);
}

// --- helpers -----------------------------------------------------------------------------

QString TRec_Editform::statusSuffix() const {
    return m_daten->InvoiceFilter;
}

void TRec_Editform::setStatusSuffix(const QString& suffix) {
    m_daten->InvoiceFilter = suffix;
}

bool TRec_Editform::editAllowed() const {
    return zulassen->isChecked();
}

void TRec_Editform::moveToNumberAtLeast(int number) {
    Table* r = m_daten->Rectab;
    for (int row = 0; row < r->recordCount(); ++row) {
        if (r->valueAt(row, QStringLiteral("RecNr")).toInt() >= number) {
            r->setRecNo(row);
            return;
        }
    }
}

void TRec_Editform::loadNotes() {
    m_loadingNotes = true;
    QString text;
    if (!m_daten->Rectab->isEmpty()) {
        try {
            text = InvoiceOverviewRules::loadNotes(
                m_daten->Rectab->field(QStringLiteral("RecNr")).asInteger());
        } catch (const DbError& e) {
            text.clear();
            m_loadingNotes = false;
            m_notesRecNr = -1;
            m_notesDirty = false;
            anzahlungen->clear();
            savebt->setVisible(false);
            throw;
        }
    }
    anzahlungen->setPlainText(text);
    m_loadingNotes = false;
    m_notesRecNr = m_daten->Rectab->isEmpty()
                       ? -1
                       : m_daten->Rectab->field(QStringLiteral("RecNr")).asInteger();
    m_notesDirty = false;
    savebt->setVisible(false);
}

void TRec_Editform::showDocument(int posId, bool print) {
    Table* r = m_daten->Rectab;
    if (r->isEmpty())
        return;
    r->checkBrowseMode();
    // A copy: the preview runs its own event loop, in which this window may be closed and
    // freed ("alle schließen") together with its member.
    const auto show = showInvoice;
    if (show)
        show(r->field(QStringLiteral("RecNr")).asInteger(), posId, print);
}

// --- filters -----------------------------------------------------------------------------

void TRec_Editform::FilterAnwenden() {
    InvoiceOverviewRules::applyFilter(*m_daten->Rectab, m_monthCondition, statusSuffix());
}

void TRec_Editform::MonatsboxChange() {
    {
        const QSignalBlocker block(UpDown1);
        UpDown1->setValue(Monatsbox->currentIndex());
    }
    const QString condition =
        InvoiceOverviewRules::monthCondition(Monatsbox->currentIndex(), Jahredit->text());
    Filtern->setChecked(true);
    m_monthCondition = condition;
    FilterAnwenden();
}

void TRec_Editform::UpDown1Click() {
    Monatsbox->setCurrentIndex(UpDown1->value());
    MonatsboxChange();
}

void TRec_Editform::FilternClick() {
    if (Filtern->isChecked())
        m_monthCondition =
            InvoiceOverviewRules::monthCondition(Monatsbox->currentIndex(), Jahredit->text());
    else
        m_monthCondition.clear();
    FilterAnwenden();
}

void TRec_Editform::filterboxClick(int item) {
    if (item >= 0 && item < filterItems.size() && !filterItems[item]->isChecked())
        filterItems[item]->setChecked(true);
    setStatusSuffix(InvoiceOverviewRules::statusSuffix(item));
    FilterAnwenden();
}

void TRec_Editform::SnrChange() {
    bool ok = false;
    const int number = Snr->text().trimmed().toInt(&ok);
    if (ok)
        moveToNumberAtLeast(number);
}

void TRec_Editform::BearbeitenClick() {
    eingabefeld->setEnabled(editAllowed());
}

// --- display -----------------------------------------------------------------------------

void TRec_Editform::recnrChange() {
    Table* r = m_daten->Rectab;
    const bool any = r->isOpen() && !r->isEmpty();
    const bool booked = any && r->field(QStringLiteral("Gebucht")).asBoolean();
    const bool cancelled = any && r->field(QStringLiteral("Storniert")).asBoolean();
    // The printed fields of a booked invoice stay as booked.
    const bool storedBooked = booked && r->state() != TableState::Insert &&
                              m_daten->isBooked(r->field(QStringLiteral("RecNr")).asInteger());
    RecLoeschen->setEnabled(any && !booked);
    navi->setEnabled(!booked);
    PostenGrid->setReadOnly(booked);
    RecStorno->setEnabled(booked && !cancelled);
    RecBuchen->setEnabled(any && !booked);
    // What the invoice prints stays as booked.
    for (FieldBinding* b : m_printedBindings)
        b->setReadOnly(storedBooked);
    for (QPushButton* b : {getnetto, getnetto2, RecAnsicht, Drucken, Einzelrechnung})
        b->setEnabled(any);

    m_tripHeader[0]->setText(any ? Format::dateTime(r->field(QStringLiteral("Datum")).asDateTime(),
                                                    QStringLiteral("dd.mm.yyyy"))
                                 : QString());
    m_tripHeader[1]->setText(any ? r->field(QStringLiteral("RecNr")).asString() : QString());
    m_tripHeader[2]->setText(any ? r->field(QStringLiteral("Kundenname")).asString() : QString());

    Restbetrag->setText(any ? m_rules->remainingText() : QStringLiteral("..."));
    if (any && r->field(QStringLiteral("Bezahlt")).asBoolean()) {
        Radiobezahlt->setChecked(true);
        bezahltPanel->setEnabled(true);
        angezahltPanel->setEnabled(false);
        Restbetrag->clear();
    } else {
        const bool part = any && r->field(QStringLiteral("Anzahlung")).asFloat() != 0;
        Radioangezahlt->setText(part ? QStringLiteral("Die Rechnung ist angezahlt")
                                     : QStringLiteral("Die Rechnung ist nicht bezahlt"));
        Radioangezahlt->setChecked(true);
        bezahltPanel->setEnabled(false);
        angezahltPanel->setEnabled(true);
    }
    // Storing or re-reading the same invoice keeps notes the user has not saved yet.
    const int shown = any ? r->field(QStringLiteral("RecNr")).asInteger() : -1;
    if (!m_notesDirty || shown != m_notesRecNr)
        loadNotes();
}

// --- payments ----------------------------------------------------------------------------

void TRec_Editform::RadiobezahltClick() {
    if (!editAllowed() || m_daten->Rectab->isEmpty())
        return;
    m_rules->markPaid();
    // Starting the edit refreshed the display from the row as it was.
    Radiobezahlt->setChecked(true);
    bezahltPanel->setEnabled(true);
    angezahltPanel->setEnabled(false);
    Restbetrag->clear();
}

void TRec_Editform::RadioangezahltClick() {
    if (!editAllowed() || m_daten->Rectab->isEmpty())
        return;
    m_rules->markNotPaid();
    Radioangezahlt->setChecked(true);
    bezahltPanel->setEnabled(false);
    angezahltPanel->setEnabled(true);
}

void TRec_Editform::KalenderClick() {
    Table* r = m_daten->Rectab;
    if (r->isEmpty())
        return;
    const QDateTime current = r->field(QStringLiteral("Zahlungsdatum")).asDateTime();
    const auto date =
        m_context.dialogs->pickDate(current.isValid() ? current.date() : m_daten->today());
    if (!date)
        return;
    r->edit();
    r->setValue(QStringLiteral("Zahlungsdatum"), *date);
}

void TRec_Editform::SpeedButton1Click() {
    Table* r = m_daten->Rectab;
    if (r->isEmpty())
        return;
    const QDateTime current = r->field(QStringLiteral("AnzahlungD")).asDateTime();
    const auto date =
        m_context.dialogs->pickDate(current.isValid() ? current.date() : m_daten->today());
    if (!date)
        return;
    r->edit();
    r->setValue(QStringLiteral("AnzahlungD"), *date);
}

void TRec_Editform::ZahlungstexteClick() {
    if (editTextFile)
        editTextFile(ProgramFolder() + QStringLiteral("Z_art.txt"),
                     QStringLiteral("Zahlungsarten bearbeiten"));
}

void TRec_Editform::edit_ZartEnter() {
    // The editor of the list writes "Z_art.txt": both names mean one file.
    const QString path = TextListFile::resolve(ProgramFolder() + QStringLiteral("z_art.txt"));
    QStringList items;
    for (const QString& line : TextFile::readLines(path))
        if (!line.trimmed().isEmpty())
            items << line.trimmed();
    items.sort(Qt::CaseInsensitive);
    const QSignalBlocker block(edit_Zart);
    edit_Zart->clear();
    edit_Zart->addItems(items);
    if (m_zartBinding)
        m_zartBinding->showValue();
}

void TRec_Editform::SpeedButton2Click() {
    if (startCalculator)
        startCalculator();
}

void TRec_Editform::SpeedButton3Click() {
    if (m_daten->Rectab->isEmpty())
        return;
    const auto result = m_rules->Anzahlung();
    if (result.outcome != InvoiceOverviewRules::PaymentOutcome::Cancelled) {
        m_notesDirty = false; // the notes file has the new line: show it
        recnrChange();
    }
}

void TRec_Editform::anzahlungenChange() {
    if (!m_loadingNotes) {
        m_notesDirty = true;
        savebt->setVisible(true);
    }
}

void TRec_Editform::savebtClick() {
    Table* r = m_daten->Rectab;
    if (r->isEmpty())
        return;
    InvoiceOverviewRules::saveNotes(r->field(QStringLiteral("RecNr")).asInteger(),
                                    anzahlungen->toPlainText());
    m_notesDirty = false;
    savebt->setVisible(false);
}

void TRec_Editform::getnettoClick() {
    m_rules->getnetto();
}

// --- documents, deleting, cancelling, booking --------------------------------------------

void TRec_Editform::RecAnsichtClick() {
    showDocument(0, false);
}

void TRec_Editform::DruckenClick() {
    showDocument(0, true);
}

void TRec_Editform::EinzelrechnungClick() {
    Table* p = m_daten->Recposten;
    if (p->isEmpty())
        return;
    showDocument(p->field(QStringLiteral("Id")).asInteger(), false);
}

void TRec_Editform::RecLoeschenClick() {
    Table* r = m_daten->Rectab;
    if (r->isEmpty())
        return;
    const int number = r->field(QStringLiteral("RecNr")).asInteger();
    m_daten->RechnungLoeschen(number, true);
    moveToNumberAtLeast(number - 1);
}

void TRec_Editform::RecStornoClick() {
    if (m_rules->RecStorno())
        recnrChange();
}

void TRec_Editform::RecBuchenClick() {
    if (m_rules->RecBuchen())
        recnrChange();
}

void TRec_Editform::Button5Click() {
    if (openMonthlyInvoices)
        openMonthlyInvoices();
}

void TRec_Editform::BT_HilfeClick() {
    showHelp(HelpContext);
}

// --- activation and closing --------------------------------------------------------------

void TRec_Editform::FormActivate() {
    if (ChildHost* h = host()) {
        h->bindNavigator(m_daten->RecQuelle);
        DbNavigator* nav = h->navigator();
        nav->setAllButtonsVisible();
        nav->setButtonVisible(DbNavigator::Insert, false);
        nav->setButtonVisible(DbNavigator::Delete, false);
    }
    // Each activation starts without month filter.
    if (Filtern->isChecked()) {
        Filtern->setChecked(false);
        guarded([this] { FilternClick(); });
    }
}

void TRec_Editform::FormDeactivate() {
    // The window activated next may have bound the navigator already.
    ChildHost* h = host();
    if (h && h->navigator()->dataSource() == m_daten->RecQuelle) {
        h->releaseNavigator();
        h->navigator()->setAllButtonsVisible();
    }
}

void TRec_Editform::closeEvent(QCloseEvent* event) {
    // A pending edit is stored; if it cannot be, the window stays open so nothing is lost.
    try {
        m_daten->Rectab->checkBrowseMode();
        m_daten->Recposten->checkBrowseMode();
    } catch (const DbError& e) {
        if (!e.message().isEmpty())
            m_context.dialogs->error(e.message());
        event->ignore();
        return;
    }
    // The invoice table is shared: the month and status filter end with the window.
    m_daten->Rectab->setFiltered(false);
    m_daten->Rectab->setFilter(QString());
    if (stopActivation())
        FormDeactivate();
    event->accept();
}

bool TRec_Editform::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == edit_Zart || watched == edit_Zart->lineEdit()) &&
        event->type() == QEvent::FocusIn && !edit_Zart->view()->isVisible())
        guarded([this] { edit_ZartEnter(); });
    return QWidget::eventFilter(watched, event);
}

} // namespace kilvaro
