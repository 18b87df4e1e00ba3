#include "trips/ui/TForm_FahrtenLayout.h"

#include "base/Format.h"
#include "data/ui/DbGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

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

void TForm_FahrtenLayout::setupUi(QWidget* window, DialogService* dialogs) {
    window->setObjectName(QStringLiteral("Form_Fahrten"));
    window->setWindowTitle(lit("Überführung"));

    auto* root = new QVBoxLayout(window);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);
    root->addWidget(buildTopBar(window));

    auto* body = new QHBoxLayout;
    body->setSpacing(8);
    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    Control = named(new QTabBar(window), "Control");
    Control->addTab(QStringLiteral("Anzeige"));
    Control->addTab(QStringLiteral("Bearbeiten"));
    Control->setFocusPolicy(Qt::NoFocus);
    left->addWidget(Control);
    left->addWidget(buildPanel(window));
    left->addStretch(1);
    body->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    suchgitter = named(new DbGrid(dialogs, window), "suchgitter");
    suchgitter->setAccessibleName(QStringLiteral("Fahrten"));
    Ortesuchliste = named(new DbGrid(dialogs, window), "Ortesuchliste");
    Ortesuchliste->setAccessibleName(QStringLiteral("Ortsliste"));
    Preislistegitter = named(new DbGrid(dialogs, window), "Preislistegitter");
    Preislistegitter->setAccessibleName(QStringLiteral("Preisliste"));
    ListHint = new QLabel(lit("(hier klicken, um Liste ohne Änderung zu schließen)"), window);
    ListHint->setObjectName(QStringLiteral("ListHint"));
    ListHint->setAlignment(Qt::AlignCenter);
    ListHint->setCursor(Qt::PointingHandCursor);
    right->addWidget(suchgitter, 1);
    right->addWidget(Ortesuchliste, 1);
    right->addWidget(Preislistegitter, 1);
    right->addWidget(ListHint);
    body->addLayout(right, 1);
    root->addLayout(body, 1);

    for (DbGrid* g : {suchgitter, Ortesuchliste, Preislistegitter}) {
        g->setReadOnly(true);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->setSelectionMode(QAbstractItemView::SingleSelection);
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->verticalHeader()->setDefaultSectionSize(22);
        g->verticalHeader()->hide();
        g->horizontalHeader()->setStretchLastSection(true);
    }
    // The overlay lists show in place of the grid when called.
    Ortesuchliste->hide();
    Preislistegitter->hide();
    ListHint->hide();
}

QWidget* TForm_FahrtenLayout::buildTopBar(QWidget* window) {
    auto* bar = new QWidget(window);
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
    return bar;
}

QWidget* TForm_FahrtenLayout::buildPanel(QWidget* window) {
    Eingabefeld = named(new QWidget(window), "Eingabefeld");
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
    auto edit = [&](const char* name) { return named(new QLineEdit(Eingabefeld), name); };
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
    grid->addWidget(LRechnung, row, 0);
    DBText1 = named(new QLabel(Eingabefeld), "DBText1");
    DBText1->setToolTip(LRechnung->toolTip());
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
    } surcharges[] = {{"&Ankleiden", "Ankleiden", &Ankleiden}, {"&Nacht", "Nacht", &Nacht},
                      {"&Feiertag", "Feiertag", &Feiertag},    {"&Kühlung", "kuehlung", &kuehlung},
                      {"&U-Hülle", "UHuelle", &UHuelle},       {"&Covid19", "Covid19", &Covid19}};
    for (const auto& s : surcharges) {
        auto* b = named(new QPushButton(lit(s.text), Pauschalen), s.name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        *s.button = b;
        pv->addWidget(b);
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
    grid->addWidget(DBCheckBox1, row++, 1);
    chkanr = named(new QCheckBox(lit("Auftragsnr gesperrt"), Eingabefeld), "chkanr");
    SpeedButton5 =
        toolButton(Eingabefeld, "SpeedButton5", lit("..."), lit("Auftragsnr-Sperre ändern"));
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
    SpeedButton6 =
        toolButton(Eingabefeld, "SpeedButton6", lit("R"), lit("Rechnungsnummern löschen"));
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
        QWidget::setTabOrder(order[i], order[i + 1]);
    return Eingabefeld;
}

} // namespace kilvaro
