#include "trips/ui/TForm_Fahrten.h"

#include "base/DialogService.h"
#include "base/Format.h"
#include "base/Utils.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "data/ui/FieldBinding.h"
#include "trips/TripRules.h"
#include "trips/ui/TFAuftragsuche.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>
#include <utility>

namespace kilvaro {

namespace {

const char* const kMoneyMask = "#,##0.00";

QString lit(const char* text) {
    return QString::fromUtf8(text);
}

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text,
                        const QString& hint = {}) {
    auto* b = named(new QToolButton(parent), name);
    b->setText(text);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    // A caption of signs ("…", "▾", "€") says nothing to a screen reader; the hint does.
    if (!hint.isEmpty() && !text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}"))))
        b->setAccessibleName(hint);
    b->setFocusPolicy(Qt::NoFocus); // fast entry tabs through the fields only
    return b;
}

} // namespace

TForm_Fahrten::TForm_Fahrten(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    setObjectName(QStringLiteral("Form_Fahrten"));
    setWindowTitle(lit("Überführung"));
    m_rules = TripRules::install(m_context.daten, m_context.dialogs);

    TDaten_A* daten = m_context.daten;
    BestatterQuery = named(new Query(daten->Database, this), "Bestatter");
    AushilfeQuery = named(new Query(daten->Database, this), "Aushilfe");

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);
    root->addWidget(buildTopBar());

    auto* body = new QHBoxLayout;
    body->setSpacing(8);
    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    Control = named(new QTabBar(this), "Control");
    Control->addTab(QStringLiteral("Anzeige"));
    Control->addTab(QStringLiteral("Bearbeiten"));
    Control->setFocusPolicy(Qt::NoFocus);
    left->addWidget(Control);
    left->addWidget(buildPanel());
    left->addStretch(1);
    body->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    suchgitter = named(new DbGrid(m_context.dialogs, this), "suchgitter");
    suchgitter->setAccessibleName(QStringLiteral("Fahrten"));
    Ortesuchliste = named(new DbGrid(m_context.dialogs, this), "Ortesuchliste");
    Ortesuchliste->setAccessibleName(QStringLiteral("Ortsliste"));
    Preislistegitter = named(new DbGrid(m_context.dialogs, this), "Preislistegitter");
    Preislistegitter->setAccessibleName(QStringLiteral("Preisliste"));
    ListHint = new QLabel(lit("(hier klicken, um Liste ohne Änderung zu schließen)"), this);
    ListHint->setObjectName(QStringLiteral("ListHint"));
    ListHint->setAlignment(Qt::AlignCenter);
    ListHint->setCursor(Qt::PointingHandCursor);
    ListHint->installEventFilter(this);
    right->addWidget(suchgitter, 1);
    right->addWidget(Ortesuchliste, 1);
    right->addWidget(Preislistegitter, 1);
    right->addWidget(ListHint);
    body->addLayout(right, 1);
    root->addLayout(body, 1);

    using Col = TableModel::Column;
    suchgitter->setDataSource(
        daten->Fahrtquelle,
        {Col{QStringLiteral("Datum"), {}, QStringLiteral("dd.mm.yyyy"), true, 80},
         Col{QStringLiteral("AuftragNr"), {}, {}, true, 80},
         Col{QStringLiteral("Bname"), QStringLiteral("Bestatter"), {}, true, 150},
         Col{QStringLiteral("Startort"), {}, {}, true, 130},
         Col{QStringLiteral("Zielort"), {}, {}, true, 130},
         Col{QStringLiteral("Personen"), QStringLiteral("Nachname"), {}, true, 120},
         Col{QStringLiteral("Vorname"), {}, {}, true, 100},
         Col{QStringLiteral("Rechnung"), {}, {}, true, 70},
         Col{QStringLiteral("AKZ"), {}, {}, true, 90}});
    suchgitter->setReadOnly(true);
    suchgitter->setColumnWidths({76, 74, 170, 112, 112, 105, 85, 72, 70});
    suchgitter->horizontalHeader()->setStretchLastSection(true);
    Ortesuchliste->setDataSource(daten->Orte_Q, {Col{QStringLiteral("Ort"), {}, {}, true, 0}});
    Preislistegitter->setDataSource(daten->PreisQuelle,
                                    {Col{QStringLiteral("Ort"), {}, {}, true, 0}});
    for (DbGrid* g : {suchgitter, Ortesuchliste, Preislistegitter}) {
        g->setReadOnly(true);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->setSelectionMode(QAbstractItemView::SingleSelection);
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->verticalHeader()->setDefaultSectionSize(22);
        g->verticalHeader()->hide();
    }
    for (DbGrid* g : {Ortesuchliste, Preislistegitter})
        g->horizontalHeader()->setStretchLastSection(true);
    Ortesuchliste->hide();
    Preislistegitter->hide();
    ListHint->hide();
    Ortesuchliste->installEventFilter(this);
    connect(Ortesuchliste, &QAbstractItemView::clicked, this,
            [this] { guarded([this] { OrtesuchlisteClick(); }); });
    connect(Preislistegitter, &QAbstractItemView::clicked, this,
            [this] { guarded([this] { PreislistegitterClick(); }); });

    bindFields();

    // The trip rules reach the window through these hooks while it exists.
    m_rules->windowUncheckMonthFilter = [this] {
        Filtern->setChecked(false);
        FilternClick();
    };
    m_rules->windowShowTab = [this](int tab) { showPanelTab(tab); };

    if (QObject* frame = hostObject()) {
        // The invoice dialog and its preview are windows of their own: the frame regaining
        // activation afterwards is this window's next activation, which the dialog's flag
        // turns into the single "OK". Without it the flag waited for the next switch between
        // child windows and then skipped binding the navigator.
        m_frame = frame;
        m_frame->installEventFilter(this);
    }
    FormCreate();
}

TForm_Fahrten::~TForm_Fahrten() {
    if (m_frame)
        m_frame->removeEventFilter(this);
    if (m_rules) {
        m_rules->windowUncheckMonthFilter = nullptr;
        m_rules->windowShowTab = nullptr;
    }
}

void TForm_Fahrten::connectClick(QAbstractButton* button, void (TForm_Fahrten::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

QWidget* TForm_Fahrten::buildTopBar() {
    auto* bar = new QWidget(this);
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    Filtern = named(new QCheckBox(lit("Monat auswählen"), bar), "Filtern");
    Filtern->setToolTip(lit("Filter aktivieren / deaktivieren"));
    Monatedit = named(new QComboBox(bar), "Monatedit");
    Monatedit->setEditable(true);
    Monatedit->setInsertPolicy(QComboBox::NoInsert);
    Monatedit->setToolTip(lit("Monat wählen"));
    Monatedit->setAccessibleName(lit("Monat"));
    for (int m = 1; m <= 12; ++m)
        Monatedit->addItem(Format::monthName(m));
    Monatedit->setMinimumWidth(110);
    UpDown2 = named(new QSpinBox(bar), "UpDown2");
    UpDown2->setRange(0, 11);
    UpDown2->setWrapping(false);
    UpDown2->setFixedWidth(18);
    UpDown2->setAccessibleName(lit("Monat wechseln"));
    UpDown2->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    Jahredit = named(new QLineEdit(bar), "Jahredit");
    Jahredit->setToolTip(lit("Jahr wählen"));
    Jahredit->setFixedWidth(52);
    Jahredit->setAccessibleName(lit("Jahr"));
    UpDown1 = named(new QSpinBox(bar), "UpDown1");
    UpDown1->setRange(1996, 2200);
    UpDown1->setAccessibleName(lit("Jahr wechseln"));
    UpDown1->setWrapping(false);
    UpDown1->setGroupSeparatorShown(false);
    UpDown1->setFixedWidth(18);
    h->addWidget(Filtern);
    h->addSpacing(4);
    h->addWidget(Monatedit);
    h->addWidget(UpDown2);
    h->addSpacing(6);
    h->addWidget(Jahredit);
    h->addWidget(UpDown1);
    h->addSpacing(16);

    BitBtn3 = named(new QPushButton(lit("&Statistik"), bar), "BitBtn3");
    BitBtn1 = named(new QPushButton(lit("Fahrtenliste"), bar), "BitBtn1");
    BitBtn2 = named(new QPushButton(lit("Fahrt in Preisliste"), bar), "BitBtn2");
    BTRechnung = named(new QPushButton(lit("Einzel-Rechnung"), bar), "BTRechnung");
    BTHilfe = named(new QPushButton(lit("&Hilfe"), bar), "BTHilfe");
    BitBtn4 = named(new QPushButton(lit("Auftragnr setzen"), bar), "BitBtn4");
    BitBtn4->hide();
    for (QPushButton* b : {BitBtn3, BitBtn1, BitBtn2, BTRechnung, BitBtn4, BTHilfe}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        h->addWidget(b);
    }
    h->addStretch(1);

    connect(Filtern, &QCheckBox::clicked, this, [this] { guarded([this] { FilternClick(); }); });
    connect(Monatedit, &QComboBox::activated, this,
            [this] { guarded([this] { MonateditChange(); }); });
    // A typed month text applies when typing ends; passing through the field changes nothing.
    connect(Monatedit->lineEdit(), &QLineEdit::textEdited, this, [this] { m_monthTyped = true; });
    connect(Monatedit->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (!m_monthTyped)
            return;
        m_monthTyped = false;
        guarded([this] { MonateditChange(); });
    });
    connect(UpDown2, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { UpDown2Click(); }); });
    connect(UpDown1, &QSpinBox::valueChanged, this, [this](int year) {
        Jahredit->setText(QString::number(year)); // runs MonateditChange through textChanged
    });
    // Every complete year applies at once; an incomplete or wrong text is judged when
    // typing ends, so that no message interrupts typing a year.
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    connect(Jahredit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!fourDigits.match(text.trimmed()).hasMatch())
            return;
        {
            const QSignalBlocker block(UpDown1);
            UpDown1->setValue(text.trimmed().toInt());
        }
        guarded([this] { MonateditChange(); });
    });
    connect(Jahredit, &QLineEdit::editingFinished, this, [this] {
        if (!fourDigits.match(Jahredit->text().trimmed()).hasMatch())
            guarded([this] { MonateditChange(); });
    });

    connectClick(BitBtn3, &TForm_Fahrten::BitBtn3Click);
    connectClick(BitBtn1, &TForm_Fahrten::BTFahrtenlisteClick);
    connectClick(BitBtn2, &TForm_Fahrten::BTPreislisteClick);
    connectClick(BTRechnung, &TForm_Fahrten::BTRechnungClick);
    connectClick(BTHilfe, &TForm_Fahrten::BTHilfeClick);
    connectClick(BitBtn4, &TForm_Fahrten::BitBtn4Click);
    return bar;
}

QWidget* TForm_Fahrten::buildPanel() {
    Eingabefeld = named(new QWidget(this), "Eingabefeld");
    Eingabefeld->setFixedWidth(360);
    auto* grid = new QGridLayout(Eingabefeld);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnMinimumWidth(0, 84);
    grid->setColumnStretch(1, 1);
    int row = 0;
    auto label = [&](const QString& text, int r) {
        auto* l = new QLabel(text, Eingabefeld);
        grid->addWidget(l, r, 0);
        return l;
    };
    auto edit = [&](const char* name) {
        auto* e = named(new QLineEdit(Eingabefeld), name);
        e->installEventFilter(this);
        return e;
    };
    // A row of controls in the field column.
    auto line = [&](std::initializer_list<QWidget*> widgets, std::initializer_list<int> stretch) {
        auto* h = new QHBoxLayout;
        h->setSpacing(3);
        auto s = stretch.begin();
        for (QWidget* w : widgets)
            h->addWidget(w, s != stretch.end() ? *s++ : 0);
        grid->addLayout(h, row, 1);
    };

    DBText4 = named(new QLabel(Eingabefeld), "DBText4");
    DBText4->setToolTip(lit("Nummer des Bestatters"));
    grid->addWidget(DBText4, row++, 1);

    LRechnung = named(new QLabel(lit("Rec-Nr: "), Eingabefeld), "LRechnung");
    LRechnung->setToolTip(lit("Doppelklick löscht Rechnungsnummer"));
    LRechnung->installEventFilter(this);
    grid->addWidget(LRechnung, row, 0);
    DBText1 = named(new QLabel(Eingabefeld), "DBText1");
    DBText1->setToolTip(LRechnung->toolTip());
    DBText1->installEventFilter(this);
    SpeedButton4 =
        toolButton(Eingabefeld, "SpeedButton4", lit("..."), lit("Rechnungsnummer bearbeiten"));
    line({DBText1, SpeedButton4}, {1, 0});
    ++row;

    QLabel* datumLabel = label(lit("Datum"), row);
    EditDatum = edit("EditDatum");
    datumLabel->setBuddy(EditDatum);
    EditDatum->setPlaceholderText(lit("TT.MM.JJJJ"));
    editZeit = edit("editZeit");
    editZeit->setPlaceholderText(lit("hh:mm"));
    editZeit->setFixedWidth(56);
    editZeit->setAccessibleName(lit("Zeit"));
    SpeedButton1 = toolButton(Eingabefeld, "SpeedButton1", lit("…"), lit("Kalender"));
    line({EditDatum, editZeit, SpeedButton1}, {1, 0, 0});
    ++row;

    QLabel* bestatterLabel = label(lit("Bestatter"), row);
    Bcombo = named(new QComboBox(Eingabefeld), "Bcombo");
    bestatterLabel->setBuddy(Bcombo);
    Bcombo->setMaxVisibleItems(15);
    Bcombo->installEventFilter(this);
    grid->addWidget(Bcombo, row++, 1);

    label(lit("Startort"), row)->setBuddy(EditStartort = edit("EditStartort"));
    SpeedButton2 = toolButton(Eingabefeld, "SpeedButton2", lit("▾"), lit("Ortsliste"));
    PreislisteButton =
        toolButton(Eingabefeld, "PreislisteButton", lit("€"), lit("aus der Preisliste wählen"));
    line({EditStartort, SpeedButton2, PreislisteButton}, {1, 0, 0});
    ++row;

    label(lit("Zielort"), row)->setBuddy(EditZielort = edit("EditZielort"));
    SpeedButton3 = toolButton(Eingabefeld, "SpeedButton3", lit("▾"), lit("Ortsliste"));
    line({EditZielort, SpeedButton3}, {1, 0});
    ++row;

    QLabel* vornameLabel = label(lit("Vorname*"), row);
    DBComboBox1 = named(new QComboBox(Eingabefeld), "DBComboBox1");
    DBComboBox1->setAccessibleName(lit("Anrede"));
    DBComboBox1->setEditable(true);
    DBComboBox1->addItems({lit("Herr"), lit("Frau"), lit("Kind")});
    DBComboBox1->setFixedWidth(70);
    DBComboBox1->installEventFilter(this);
    DBComboBox1->lineEdit()->installEventFilter(this);
    DBEdit2 = edit("DBEdit2");
    vornameLabel->setBuddy(DBEdit2);
    line({DBComboBox1, DBEdit2}, {0, 1});
    ++row;

    label(lit("Nachname"), row)->setBuddy(EditPersonen = edit("EditPersonen"));
    grid->addWidget(EditPersonen, row++, 1);
    label(lit("Strasse*"), row)->setBuddy(EditStrasse = edit("EditStrasse"));
    grid->addWidget(EditStrasse, row++, 1);
    label(lit("PLZ, Ort*"), row)->setBuddy(editPLZ = edit("editPLZ"));
    editPLZ->setFixedWidth(60);
    DBEdit4 = edit("DBEdit4");
    DBEdit4->setAccessibleName(lit("Ort"));
    line({editPLZ, DBEdit4}, {0, 1});
    ++row;
    QLabel* aushilfeLabel = label(lit("Aushilfe"), row);
    Aushilfecombo = named(new QComboBox(Eingabefeld), "Aushilfecombo");
    aushilfeLabel->setBuddy(Aushilfecombo);
    Aushilfecombo->setMaxVisibleItems(10);
    Aushilfecombo->installEventFilter(this);
    grid->addWidget(Aushilfecombo, row++, 1);

    // Amounts at the left, the surcharge buttons in their group beside them.
    const int amountsTop = row;
    const struct {
        const char* label;
        const char* name;
        QLineEdit** edit;
    } amounts[] = {{"Ortspauschale", "EditOrtspauschale", &EditOrtspauschale},
                   {"Ankleiden", "EditAnkleiden", &EditAnkleiden},
                   {"Nacht", "EditNacht", &EditNacht},
                   {"Feiertag", "EditFeiertag", &EditFeiertag},
                   {"Kühlung", "EditKuehlung", &EditKuehlung},
                   {"U-Hülle", "EditUhuelle", &EditUhuelle},
                   {"Covid19", "EditCovid19", &EditCovid19}};
    auto* amountBox = new QGridLayout;
    amountBox->setVerticalSpacing(4);
    for (int i = 0; i < 7; ++i) {
        QLineEdit* e = edit(amounts[i].name);
        label(lit(amounts[i].label), row + i)->setBuddy(e);
        e->setAlignment(Qt::AlignRight);
        e->setFixedWidth(90);
        *amounts[i].edit = e;
        amountBox->addWidget(e, i, 0);
    }
    Pauschalen = named(new QGroupBox(lit("Pauschalen"), Eingabefeld), "Pauschalen");
    auto* pv = new QVBoxLayout(Pauschalen);
    pv->setContentsMargins(6, 4, 6, 4);
    pv->setSpacing(2);
    const struct {
        const char* text;
        const char* name;
        QPushButton** button;
        void (TForm_Fahrten::*handler)();
    } surcharges[] = {{"&Ankleiden", "Ankleiden", &Ankleiden, &TForm_Fahrten::AnkleidenClick},
                      {"&Nacht", "Nacht", &Nacht, &TForm_Fahrten::NachtClick},
                      {"&Feiertag", "Feiertag", &Feiertag, &TForm_Fahrten::FeiertagClick},
                      {"&Kühlung", "kuehlung", &kuehlung, &TForm_Fahrten::kuehlungClick},
                      {"&U-Hülle", "UHuelle", &UHuelle, &TForm_Fahrten::UHuelleClick},
                      {"&Covid19", "Covid19", &Covid19, &TForm_Fahrten::Covid19Click}};
    for (const auto& s : surcharges) {
        auto* b = named(new QPushButton(lit(s.text), Pauschalen), s.name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        *s.button = b;
        pv->addWidget(b);
        connectClick(b, s.handler);
    }
    pv->addStretch(1);
    amountBox->addWidget(Pauschalen, 1, 1, 6, 1);
    amountBox->setColumnStretch(1, 1);
    grid->addLayout(amountBox, amountsTop, 1, 7, 1);
    row += 7;

    label(lit("Aktenzeichen*"), row)->setBuddy(DBEdit3 = edit("DBEdit3"));
    grid->addWidget(DBEdit3, row++, 1);
    label(lit("Beamter*"), row)->setBuddy(DBEdit5 = edit("DBEdit5"));
    grid->addWidget(DBEdit5, row++, 1);

    label(lit("Auftragsnr"), row)->setBuddy(DBEdit8 = edit("DBEdit8"));
    AnrZuordnen = toolButton(Eingabefeld, "AnrZuordnen", lit("Zuordnen"),
                             lit("Auftragsnummer einer früheren Fahrt übernehmen"));
    VKsetzen = toolButton(Eingabefeld, "VKsetzen", lit("VK"), lit("Verkehrskommissariat"));
    anrsetzen = toolButton(Eingabefeld, "anrsetzen", lit("Nr"), lit("Nr anpassen"));
    anrsetzen->hide();
    line({DBEdit8, AnrZuordnen, VKsetzen, anrsetzen}, {1, 0, 0, 0});
    ++row;

    DBCheckBox1 = named(new QCheckBox(lit("&Gutschrift"), Eingabefeld), "DBCheckBox1");
    DBCheckBox1->installEventFilter(this);
    grid->addWidget(DBCheckBox1, row++, 1);
    chkanr = named(new QCheckBox(lit("Auftragsnr gesperrt"), Eingabefeld), "chkanr");
    SpeedButton5 = toolButton(Eingabefeld, "SpeedButton5", lit("..."),
                              lit("Auftragsnr-Sperre ändern"));
    line({chkanr, SpeedButton5}, {1, 0});
    ++row;

    label(lit("Nettobetrag"), row);
    DBText3 = named(new QLabel(Eingabefeld), "DBText3");
    DBText3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DBText3->setFixedWidth(90);
    QFont bold = DBText3->font();
    bold.setBold(true);
    DBText3->setFont(bold);
    DBText2 = named(new QLabel(Eingabefeld), "DBText2");
    SpeedButton6 = toolButton(Eingabefeld, "SpeedButton6", lit("R"),
                              lit("Rechnungsnummern löschen"));
    SpeedButton6->hide();
    DBEdit1 = named(new QLineEdit(Eingabefeld), "DBEdit1");
    DBEdit1->hide();
    line({DBText3, DBText2, SpeedButton6, DBEdit1}, {0, 1, 0, 0});
    ++row;

    // Tab order follows the panel from top to bottom.
    const QList<QWidget*> order{
        EditDatum,         editZeit,      Bcombo,      EditStartort, EditZielort,  DBComboBox1,
        DBEdit2,           EditPersonen,  EditStrasse, editPLZ,      DBEdit4,      Aushilfecombo,
        EditOrtspauschale, EditAnkleiden, EditNacht,   EditFeiertag, EditKuehlung, EditUhuelle,
        EditCovid19,       DBEdit3,       DBEdit5,     DBEdit8,      DBCheckBox1,  chkanr};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    connectClick(SpeedButton4, &TForm_Fahrten::SpeedButton4Click);
    connectClick(SpeedButton1, &TForm_Fahrten::SpeedButton1Click);
    connectClick(SpeedButton2, &TForm_Fahrten::SpeedButton2Click);
    connectClick(PreislisteButton, &TForm_Fahrten::PreislisteButtonClick);
    connectClick(SpeedButton3, &TForm_Fahrten::SpeedButton3Click);
    connectClick(AnrZuordnen, &TForm_Fahrten::AnrZuordnenClick);
    connectClick(VKsetzen, &TForm_Fahrten::VKsetzenClick);
    connectClick(anrsetzen, &TForm_Fahrten::anrsetzenClick);
    connectClick(SpeedButton5, &TForm_Fahrten::SpeedButton5Click);
    connectClick(SpeedButton6, &TForm_Fahrten::SpeedButton6Click);
    connect(Control, &QTabBar::currentChanged, this,
            [this](int index) { guarded([this, index] { ControlChange(index); }); });
    return Eingabefeld;
}

void TForm_Fahrten::fillAddressCombo(QComboBox* combo, Query* query, const QString& sql) {
    query->close();
    query->setSql(sql);
    query->open();
    combo->clear();
    for (int r = 0; r < query->recordCount(); ++r) {
        query->setRecNo(r);
        combo->addItem(query->value(QStringLiteral("Name")).toString(),
                       query->value(QStringLiteral("id")));
    }
}

void TForm_Fahrten::bindFields() {
    TDaten_A* daten = m_context.daten;
    DataSource* s = daten->Fahrtquelle;
    DialogService* dialogs = m_context.dialogs;
    fillAddressCombo(
        Bcombo, BestatterQuery,
        QStringLiteral("Select Name,id from Adressen where Typ=1 and aktiv=true order by Name"));
    fillAddressCombo(
        Aushilfecombo, AushilfeQuery,
        QStringLiteral("Select Name,id from Adressen where Typ=0 and aktiv=true order by Name"));

    FieldBinding* datum = FieldBinding::bind(s, QStringLiteral("Datum"), EditDatum, dialogs);
    datum->setMask(QStringLiteral("dd.mm.yyyy"));
    // A two-digit year is read relative to the rules' today.
    datum->setToday([rules = QPointer<TripRules>(m_rules)] {
        return rules ? rules->today() : QDate::currentDate();
    });
    FieldBinding::bind(s, QStringLiteral("Zeit"), editZeit, dialogs)
        ->setMask(QStringLiteral("hh:mm"));
    FieldBinding::bind(s, QStringLiteral("Bestatter"), Bcombo, dialogs);
    FieldBinding::bind(s, QStringLiteral("Startort"), EditStartort, dialogs);
    FieldBinding::bind(s, QStringLiteral("Zielort"), EditZielort, dialogs);
    FieldBinding::bind(s, QStringLiteral("Anrede"), DBComboBox1, dialogs);
    FieldBinding::bind(s, QStringLiteral("Vorname"), DBEdit2, dialogs);
    FieldBinding::bind(s, QStringLiteral("Personen"), EditPersonen, dialogs);
    FieldBinding::bind(s, QStringLiteral("Strasse"), EditStrasse, dialogs);
    FieldBinding::bind(s, QStringLiteral("PLZ"), editPLZ, dialogs);
    FieldBinding::bind(s, QStringLiteral("Ort"), DBEdit4, dialogs);
    FieldBinding::bind(s, QStringLiteral("Aushilfe"), Aushilfecombo, dialogs);
    const struct {
        const char* field;
        QLineEdit* edit;
    } amounts[] = {{"Ortspauschale", EditOrtspauschale},
                   {"Ankleiden", EditAnkleiden},
                   {"Nacht", EditNacht},
                   {"Feiertag", EditFeiertag},
                   {"Kuehlung", EditKuehlung},
                   {"UHuelle", EditUhuelle},
                   {"Covid19", EditCovid19}};
    for (const auto& a : amounts)
        FieldBinding::bind(s, QString::fromLatin1(a.field), a.edit, dialogs)
            ->setMask(QString::fromLatin1(kMoneyMask));
    FieldBinding::bind(s, QStringLiteral("AKZ"), DBEdit3, dialogs);
    FieldBinding::bind(s, QStringLiteral("Beamter"), DBEdit5, dialogs);
    FieldBinding::bind(s, QStringLiteral("AuftragNr"), DBEdit8, dialogs);
    FieldBinding::bind(s, QStringLiteral("Gutschrift"), DBCheckBox1, dialogs);
    FieldBinding::bind(s, QStringLiteral("ANRLock"), chkanr, dialogs)->setReadOnly(true);
    FieldBinding::bind(s, QStringLiteral("Bestatter"), DBEdit1, dialogs);

    connect(Bcombo, &QComboBox::activated, this, [this] { guarded([this] { BcomboClick(); }); });
    connect(DBEdit1, &QLineEdit::textChanged, this,
            [this] { guarded([this] { DBEdit1Change(); }); });
    for (DataSource* source : {s, daten->TarifQuelle}) {
        connect(source, &DataSource::dataChange, this, [this] { updateTexts(); });
        connect(source, &DataSource::setChange, this, [this] { updateTexts(); });
        connect(source, &DataSource::stateChange, this, [this] { updateTexts(); });
    }
    updateTexts();
}

void TForm_Fahrten::updateTexts() {
    TDaten_A* daten = m_context.daten;
    Table* t = daten->Fahrttab;
    if (!t->isOpen()) {
        for (QLabel* l : {DBText4, DBText1, DBText3})
            l->clear();
    } else {
        const QVariant bestatter = t->value(QStringLiteral("Bestatter"));
        DBText4->setText(bestatter.isNull() ? QString() : bestatter.toString());
        const QVariant invoice = t->value(QStringLiteral("Rechnung"));
        DBText1->setText(invoice.isNull() ? QString() : invoice.toString());
        const QVariant net = t->value(QStringLiteral("Gesamt"));
        DBText3->setText(net.isNull()
                             ? QString()
                             : Format::number(net.toDouble(), QString::fromLatin1(kMoneyMask)));
    }
    Table* tariff = daten->Tariftab;
    DBText2->setText(tariff->isOpen() && !tariff->isEmpty()
                         ? tariff->value(QStringLiteral("Waehrung")).toString()
                         : QString());
}

// --- creation, activation, closing -------------------------------------------------------

void TForm_Fahrten::FormCreate() {
    InvoiceDialogOpened = false;
    const QDate today = m_rules->today();
    {
        const QSignalBlocker b1(UpDown1), b2(UpDown2), b3(Jahredit), b4(Monatedit);
        UpDown1->setValue(today.year());
        Jahredit->setText(QString::number(today.year()));
        UpDown2->setValue(today.month() - 1);
        Monatedit->setCurrentIndex(today.month() - 1);
    }
    Filtern->setChecked(false);
    showPanelTab(0);
}

void TForm_Fahrten::FormActivate() {
    if (InvoiceDialogOpened) {
        InvoiceDialogOpened = false;
        m_context.dialogs->message(QStringLiteral("OK"));
        return;
    }
    TDaten_A* daten = m_context.daten;
    Table* trips = daten->Fahrttab;
    // Filtering off moves to the first row, so the move to the last trip comes at the end.
    trips->setFiltered(false);
    bindNavigator(daten->Fahrtquelle);
    daten->AdressTab->setFiltered(true);
    FilternClick();
    trips->last();
    // Another window may have moved the funeral directors meanwhile.
    m_rules->LocateFuneralDirector();
}

void TForm_Fahrten::FormDeactivate() {
    releaseNavigator(m_context.daten->Fahrtquelle);
    m_context.daten->AdressTab->setFiltered(false);
}

void TForm_Fahrten::closeEvent(QCloseEvent* event) {
    Table* trips = m_context.daten->Fahrttab;
    if (trips->isEditing()) {
        try {
            trips->post();
        } catch (const DbError& e) {
            // What the user typed is not lost: the window stays open with the row in edit.
            if (!e.message().isEmpty())
                m_context.dialogs->error(e.message());
            event->ignore();
            return;
        }
    }
    releaseNavigator(m_context.daten->Fahrtquelle);
    if (stopActivation())
        m_context.daten->AdressTab->setFiltered(false);
    BestatterQuery->close();
    AushilfeQuery->close();
    m_rules->windowUncheckMonthFilter = nullptr;
    m_rules->windowShowTab = nullptr;
    if (ChildHost* h = host())
        h->releaseInstance(ChildKind::Fahrten);
    event->accept();
}

// --- tabs, month filter --------------------------------------------------------------------

void TForm_Fahrten::showPanelTab(int tab) {
    {
        const QSignalBlocker block(Control);
        Control->setCurrentIndex(tab);
    }
    Eingabefeld->setEnabled(tab == 1);
    if (tab == 1 && isVisible()) {
        EditDatum->setFocus();
        EditDatum->selectAll();
    }
}

void TForm_Fahrten::ControlChange(int index) {
    Eingabefeld->setEnabled(index == 1);
}

void TForm_Fahrten::MonateditChange() {
    if (Monatedit->currentText().isEmpty())
        return;
    const int m = Monatedit->findText(Monatedit->currentText(), Qt::MatchExactly);
    const QString yearText = Jahredit->text().trimmed();
    bool ok = false;
    const int y = yearText.toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert.").arg(yearText));
    const int nextMonth = m == 11 ? 1 : m + 2;
    const int nextYear = m == 11 ? y + 1 : y;
    int month = m + 1;
    if (month < 1 || month > 12)
        month = 1;
    const QString start =
        JetDateLiteral(QStringLiteral("01.") + TwoDigits(month) + QLatin1Char('.') + yearText);
    const QString end = JetDateLiteral(QStringLiteral("01.") + TwoDigits(nextMonth) +
                                       QLatin1Char('.') + QString::number(nextYear));
    {
        const QSignalBlocker block(UpDown2);
        UpDown2->setValue(qMax(0, m));
    }
    Filtern->setChecked(true);
    Table* trips = m_context.daten->Fahrttab;
    const QString filter = QStringLiteral("Datum >= %1 and Datum < %2").arg(start, end);
    if (trips->filtered() && trips->filter() == filter)
        return;
    const QString before = trips->filter();
    try {
        trips->setFilter(filter);
        trips->setFiltered(true);
    } catch (...) {
        if (!trips->filtered())
            trips->setFilter(before);
        throw;
    }
}

void TForm_Fahrten::UpDown2Click() {
    {
        const QSignalBlocker block(Monatedit);
        Monatedit->setCurrentIndex(UpDown2->value());
    }
    MonateditChange();
}

void TForm_Fahrten::FilternClick() {
    if (Filtern->isChecked()) {
        MonateditChange();
        return;
    }
    Table* trips = m_context.daten->Fahrttab;
    trips->setFilter(QString());
    trips->setFiltered(false);
}

// --- date, funeral director ----------------------------------------------------------------

void TForm_Fahrten::SpeedButton1Click() {
    const std::optional<QDate> date = m_context.dialogs->pickDate(m_rules->today());
    if (!date || !date->isValid())
        return;
    Table* trips = m_context.daten->Fahrttab;
    trips->edit();
    trips->setValue(QStringLiteral("Datum"), QDateTime(*date, QTime(0, 0)));
}

void TForm_Fahrten::BcomboClick() {
    m_rules->FuneralDirectorChosen();
}

void TForm_Fahrten::DBEdit1Change() {
    m_rules->FuneralDirectorChanged();
}

// --- places and price list ----------------------------------------------------------------

void TForm_Fahrten::SpeedButton2Click() {
    m_rules->LocateFuneralDirector();
    m_placeField = QStringLiteral("Startort");
    Preislistegitter->hide();
    suchgitter->hide();
    Ortesuchliste->show();
    ListHint->show();
    Ortesuchliste->setFocus();
}

void TForm_Fahrten::SpeedButton3Click() {
    m_rules->LocateFuneralDirector();
    m_placeField = QStringLiteral("Zielort");
    Preislistegitter->hide();
    suchgitter->hide();
    Ortesuchliste->show();
    ListHint->show();
    Ortesuchliste->setFocus();
}

void TForm_Fahrten::OrtesuchlisteClick() {
    showGrid();
    if (!m_placeField.isEmpty())
        m_rules->PlaceChosen(m_placeField);
}

void TForm_Fahrten::OrtesuchlisteExit() {
    Ortesuchliste->hide();
}

void TForm_Fahrten::PreislisteButtonClick() {
    Ortesuchliste->hide();
    suchgitter->hide();
    Preislistegitter->show();
    ListHint->show();
    Preislistegitter->setFocus();
}

void TForm_Fahrten::PreislistegitterClick() {
    m_rules->PriceListEntryChosen();
    showGrid();
}

void TForm_Fahrten::showGrid() {
    Ortesuchliste->hide();
    Preislistegitter->hide();
    ListHint->hide();
    suchgitter->show();
}

void TForm_Fahrten::FormClick() {
    showGrid();
}

void TForm_Fahrten::BTPreislisteClick() {
    TDaten_A* daten = m_context.daten;
    // Without a trip there is nothing to enter: no empty " - " row, no report of success.
    if (!daten->Fahrttab->isOpen() || daten->Fahrttab->isEmpty())
        throw DbError(QStringLiteral("Es ist keine Überführung ausgewählt."));
    Table* prices = daten->Preistab;
    prices->append();
    try {
        prices->setValue(QStringLiteral("Ort"),
                         EditStartort->text() + QStringLiteral(" - ") + EditZielort->text());
        prices->setValue(QStringLiteral("Richtpreis"),
                         daten->Fahrttab->value(QStringLiteral("Ortspauschale")));
        prices->post();
    } catch (...) {
        // Nothing half-made stays behind in the price list.
        prices->cancel();
        throw;
    }
    m_context.dialogs->message(lit("Die Daten sind in der Preisliste eingetragen worden!"),
                               MsgIcon::Information, MsgButtons::Ok);
}

// --- reports, statistics, invoice -----------------------------------------------------------

void TForm_Fahrten::BTFahrtenlisteClick() {
    m_context.daten->Fahrttab->checkBrowseMode();
    // The trip list report ("Fahrten-Liste") plugs in here.
}

void TForm_Fahrten::BitBtn3Click() {
    // The trip statistics window plugs in here.
}

void TForm_Fahrten::BTRechnungClick() {
    Table* trips = m_context.daten->Fahrttab;
    const QVariant invoice = trips->value(QStringLiteral("Rechnung"));
    const qint64 number = invoice.isNull() ? 0 : invoice.toLongLong();
    if (number >= 1) {
        m_context.dialogs->message(QStringLiteral("Diese Überführung ist schon in der Rechnung ") +
                                       QString::number(number) + QStringLiteral(" aufgeführt!"),
                                   MsgIcon::Error, MsgButtons::Cancel);
        return;
    }
    if (!openInvoiceDialog)
        return;
    InvoiceDialogOpened = true;
    auto suspended = std::make_shared<bool>(true);
    auto resumeDisplay = [trips, suspended] {
        if (std::exchange(*suspended, false))
            trips->enableControls();
    };
    trips->disableControls();
    // Also when this window is freed while the dialog's preview is open ("alle schließen"):
    // the guard lives on the stack, not in the window.
    const auto resume = qScopeGuard(resumeDisplay);
    m_resumeDisplay = resumeDisplay;
    m_invoiceFlow = true;
    QPointer<TForm_Fahrten> self(this);
    const std::function<void()> open = openInvoiceDialog; // outlives a freed window
    open();
    if (!self)
        return;
    m_invoiceFlow = false;
    m_resumeDisplay = nullptr;
}

void TForm_Fahrten::invoiceDialogClosed() {
    if (m_resumeDisplay)
        m_resumeDisplay();
}

void TForm_Fahrten::BTHilfeClick() {
    showHelp(HelpContext);
}

// --- invoice number ---------------------------------------------------------------------------

void TForm_Fahrten::LRechnungDblClick() {
    if (m_context.dialogs->message(lit("Wollen Sie die Rechnungsnummer wirklich löschen?"),
                                   MsgIcon::Information, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    setInvoiceMark(QVariant());
}

void TForm_Fahrten::setInvoiceMark(const QVariant& mark) {
    Table* trips = m_context.daten->Fahrttab;
    const QVariant before = trips->value(QStringLiteral("Rechnung"));
    trips->edit();
    trips->setValue(QStringLiteral("Rechnung"), mark);
    try {
        trips->post();
    } catch (...) {
        // Refused (the invoice is booked, or the text is no number): the trip shows its
        // mark again; other pending changes of the row stay for the user to store.
        if (trips->isEditing())
            trips->setValue(QStringLiteral("Rechnung"), before);
        throw;
    }
}

void TForm_Fahrten::SpeedButton4Click() {
    if (m_context.dialogs->message(lit("Wollen Sie wirklich die Rechnungsnummer manuell ändern?"),
                                   MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    Table* trips = m_context.daten->Fahrttab;
    const QVariant current = trips->value(QStringLiteral("Rechnung"));
    const std::optional<QString> text = m_context.dialogs->inputText(
        lit("Rec-Nr ändern"), lit("Rec-Nr:"), current.isNull() ? QString() : current.toString());
    if (!text)
        return;
    // A text that is no whole number is refused here; the trip is not stored.
    setInvoiceMark(text->trimmed());
}

void TForm_Fahrten::SpeedButton6Click() {
    if (m_context.dialogs->message(lit("Wollen sie wirklich die Rechnungsnummern löschen?"),
                                   MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    storeEveryTrip([](Table* trips) { trips->setValue(QStringLiteral("Rechnung"), QVariant()); });
}

void TForm_Fahrten::storeEveryTrip(const std::function<void(Table*)>& change) {
    Table* trips = m_context.daten->Fahrttab;
    trips->disableControls();
    const auto resume = qScopeGuard([trips] { trips->enableControls(); });
    try {
        // All rows or none: a failure halfway must not leave half the trips changed.
        Transaction transaction(*m_context.daten->Database);
        trips->first();
        while (!trips->isEmpty()) {
            trips->edit();
            change(trips);
            trips->post();
            if (trips->recNo() >= trips->recordCount() - 1)
                break;
            trips->next();
        }
        transaction.commit();
    } catch (...) {
        // The transaction is rolled back here; show what is stored.
        if (trips->isEditing())
            trips->cancel();
        trips->refresh();
        throw;
    }
}

// --- order number -----------------------------------------------------------------------------

void TForm_Fahrten::AnrZuordnenClick() {
    TDaten_A* daten = m_context.daten;
    Table* trips = daten->Fahrttab;
    TFAuftragsuche search(daten->Database, this);
    const QVariant director = trips->value(QStringLiteral("Bestatter"));
    search.setSameOrderQuery(trips->value(QStringLiteral("Personen")).toString(),
                             director.isNull() ? 0 : director.toLongLong());
    search.open();
    const bool ok = execTripSearch ? execTripSearch(search) : search.exec() == QDialog::Accepted;
    if (!ok)
        return;
    const qint64 number = search.Auftragnr();
    trips->edit();
    trips->setValue(QStringLiteral("AuftragNr"), number);
    trips->setValue(QStringLiteral("ANRLock"), true);
    // Every trip of that order is locked, the one the number came from included.
    m_context.dialogs->message(
        QStringLiteral("update fahrten set anrlock=true where auftragnr=%1").arg(number));
    {
        // The trip and the lock of its order belong together: both are written or neither.
        // The lock goes first, so that a refused store rolls it back and leaves the trip in
        // edit with what the user typed.
        Transaction transaction(*daten->Database);
        daten->Database->exec(
            QStringLiteral("UPDATE \"Fahrten\" SET \"ANRLock\" = ? WHERE \"AuftragNr\" = ?"),
            {stored::toDb(true, ColumnType::Boolean), number});
        // The lock may have touched the trip being edited: that is this program's own write,
        // no conflict with another workstation.
        daten->Database->notifyTableChanged(QStringLiteral("Fahrten"));
        trips->post();
        transaction.commit();
    }
    daten->Database->notifyTableChanged(QStringLiteral("Fahrten"));
    trips->refresh();
    const QSignalBlocker block(Control);
    Control->setCurrentIndex(1);
}

void TForm_Fahrten::VKsetzenClick() {
    Table* trips = m_context.daten->Fahrttab;
    trips->edit();
    const qint64 number = trips->value(QStringLiteral("AuftragNr")).toLongLong();
    trips->setValue(QStringLiteral("AuftragNr"), number + 100000);
    trips->setValue(QStringLiteral("ANRLock"), true);
    trips->setValue(QStringLiteral("Beamter"),
                    QStringLiteral("VK") + trips->value(QStringLiteral("Beamter")).toString());
}

void TForm_Fahrten::anrsetzenClick() {
    Table* trips = m_context.daten->Fahrttab;
    trips->edit();
    // The number is taken while the row is written, so another instance cannot take it too.
    m_rules->setRenumberOnStore(true);
    const auto reset = qScopeGuard([this] { m_rules->setRenumberOnStore(false); });
    trips->post();
}

void TForm_Fahrten::BitBtn4Click() {
    if (m_context.dialogs->message(lit("Wollen Sie wirklich alle Auftragsnummern neu vergeben?"),
                                   MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    // Storing a trip unchanged lets the store rule give it a new number unless it is locked.
    storeEveryTrip([](Table*) {});
    m_context.daten->Fahrttab->first();
}

void TForm_Fahrten::SpeedButton5Click() {
    if (auto* binding = chkanr->findChild<FieldBinding*>())
        binding->setReadOnly(false);
    chkanr->setEnabled(true);
}

// --- surcharges -----------------------------------------------------------------------------

void TForm_Fahrten::AnkleidenClick() {
    m_rules->CopySurcharge(QStringLiteral("Ankleiden"));
}
void TForm_Fahrten::NachtClick() {
    m_rules->CopySurcharge(QStringLiteral("Nacht"));
}
void TForm_Fahrten::FeiertagClick() {
    m_rules->CopySurcharge(QStringLiteral("Feiertag"));
}
void TForm_Fahrten::kuehlungClick() {
    m_rules->CopySurcharge(QStringLiteral("Kuehlung"));
}
void TForm_Fahrten::UHuelleClick() {
    m_rules->CopySurcharge(QStringLiteral("UHuelle"));
}
void TForm_Fahrten::Covid19Click() {
    m_rules->CopySurcharge(QStringLiteral("Covid19"));
}

// --- mouse and keys -----------------------------------------------------------------------------

void TForm_Fahrten::mousePressEvent(QMouseEvent* event) {
    FormClick();
    QWidget::mousePressEvent(event);
}

bool TForm_Fahrten::handlePanelKey(QWidget* control, int key) {
    Table* trips = m_context.daten->Fahrttab;
    if (key == Qt::Key_Escape) {
        if (!trips->isEditing())
            return false;
        trips->cancel();
        showPanelTab(0);
        return true;
    }
    // Enter: what the field holds goes in first; a refusal keeps the row in edit.
    QWidget* owner = control;
    if (auto* combo = qobject_cast<QComboBox*>(control->parentWidget()))
        owner = combo;
    if (auto* binding = owner->findChild<FieldBinding*>(QString(), Qt::FindDirectChildrenOnly))
        if (!binding->commit())
            return true;
    if (trips->isEditing())
        guarded([trips] { trips->post(); });
    return true;
}

bool TForm_Fahrten::eventFilter(QObject* watched, QEvent* event) {
    if (m_frame && watched == m_frame.data() && event->type() == QEvent::WindowActivate) {
        if (isActiveChild() && InvoiceDialogOpened)
            // After the activation has been delivered: the message box is modal. Not while
            // the invoice's preview is still open, whose activation it would take away.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (isActiveChild() && InvoiceDialogOpened && !m_invoiceFlow)
                        guarded([this] { FormActivate(); });
                },
                Qt::QueuedConnection);
        return false;
    }
    if ((watched == LRechnung || watched == DBText1) &&
        event->type() == QEvent::MouseButtonDblClick) {
        guarded([this] { LRechnungDblClick(); });
        return true;
    }
    if (watched == ListHint && event->type() == QEvent::MouseButtonPress) {
        FormClick();
        return true;
    }
    if (watched == Ortesuchliste && event->type() == QEvent::FocusOut) {
        // Only a move to another part of the window counts, not a popup or another program.
        auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() == Qt::TabFocusReason || focus->reason() == Qt::BacktabFocusReason ||
            focus->reason() == Qt::MouseFocusReason)
            OrtesuchlisteExit();
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (widget && Eingabefeld->isAncestorOf(widget) &&
            (enter || key->key() == Qt::Key_Escape) && key->modifiers() == Qt::NoModifier) {
            if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->view()->isVisible())
                return false;
            if (handlePanelKey(widget, key->key()))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kilvaro
