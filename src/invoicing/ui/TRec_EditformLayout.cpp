#include "invoicing/ui/TRec_EditformLayout.h"

#include "base/Format.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

/// Every field is announced by its label; the label's mnemonic, if any, jumps to it.
QLabel* label(const QString& text, QWidget* field) {
    auto* l = new QLabel(text, field->parentWidget());
    l->setBuddy(field);
    return l;
}

} // namespace

void TRec_EditformLayout::setupUi(QWidget* window, DialogService* dialogs) {
    window->setObjectName(QStringLiteral("Rec_Editform"));
    window->setWindowTitle(QStringLiteral("Rechnungs-Übersicht"));
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(buildTopBar(window));
    Seiten = new QTabWidget(window);
    Seiten->setObjectName(QStringLiteral("Seiten"));
    Seiten->addTab(buildDetailPage(window), QStringLiteral("Detail"));
    Seiten->addTab(buildTripsPage(window, dialogs), QStringLiteral("Fahrten-Übersicht"));
    Seiten->addTab(buildPositionsPage(window, dialogs), QStringLiteral("Rechnungs-Posten"));
    Seiten->addTab(buildOverviewPage(window, dialogs), QStringLiteral("Rechnungs-Übersicht"));
    layout->addWidget(Seiten, 1);
    window->resize(900, 620);
}

QHBoxLayout* TRec_EditformLayout::buildTopBar(QWidget* window) {
    auto* bar = new QHBoxLayout;
    Jahredit = new QSpinBox(window);
    Jahredit->setObjectName(QStringLiteral("Jahredit"));
    Jahredit->setRange(1996, 2200);
    Jahredit->setFixedWidth(72);
    Jahredit->setAccessibleName(QStringLiteral("Jahr"));
    Monatsbox = new QComboBox(window);
    Monatsbox->setObjectName(QStringLiteral("Monatsbox"));
    Monatsbox->setAccessibleName(QStringLiteral("Monat"));
    for (int m = 1; m <= 12; ++m)
        Monatsbox->addItem(Format::monthName(m));
    UpDown1 = new QSpinBox(window);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, 11);
    UpDown1->setWrapping(false);
    // Only the arrows are wanted: the month shows in the list beside it.
    UpDown1->setFixedWidth(22);
    UpDown1->setAccessibleName(QStringLiteral("Monat wechseln"));
    UpDown1->setStyleSheet(
        QStringLiteral("QSpinBox { color: transparent; selection-color: "
                       "transparent; selection-background-color: transparent; }"));
    Filtern = new QCheckBox(QStringLiteral("Rechnungsmonat"), window);
    Filtern->setObjectName(QStringLiteral("Filtern"));
    Filtern->setToolTip(QStringLiteral("Filter aktivieren"));
    Snr = lineEdit(window, "Snr", false, 70);
    auto* snrLabel = new QLabel(QStringLiteral("Suche Rec.-Nr"), window);
    snrLabel->setBuddy(Snr);

    Bearbeiten = new QGroupBox(QStringLiteral("Bearbeiten"), window);
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

    filterbox = new QGroupBox(QStringLiteral("Filter"), window);
    filterbox->setObjectName(QStringLiteral("filterbox"));
    auto* fl = new QGridLayout(filterbox);
    fl->setContentsMargins(6, 2, 6, 2);
    filterGroup = new QButtonGroup(filterbox);
    const QStringList items{
        QStringLiteral("alle Rechnungen"), QStringLiteral("bezahlte Rechnungen"),
        QStringLiteral("unbezahlte Rechnungen"), QStringLiteral("ausgeblendete Rechnungen")};
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items[i], filterbox);
        r->setObjectName(QStringLiteral("filterbox%1").arg(i));
        filterGroup->addButton(r, i);
        fl->addWidget(r, i % 2, i / 2);
        filterItems << r;
    }
    filterItems.first()->setChecked(true);

    Button5 = button(window, "Button5", QStringLiteral("Monatsrechnungen"));
    BT_Hilfe = button(window, "BT_Hilfe", QStringLiteral("&Hilfe "));

    auto* month = new QGroupBox(window);
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
    return bar;
}

QWidget* TRec_EditformLayout::buildDetailPage(QWidget* window) {
    auto* page = new QWidget(window);
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
    return page;
}

QWidget* TRec_EditformLayout::buildTripsPage(QWidget* window, DialogService* dialogs) {
    auto* page = new QWidget(window);
    auto* v = new QVBoxLayout(page);
    auto* head = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(page);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        tripHeader << l;
        head->addWidget(l);
        head->addSpacing(16);
    }
    head->addWidget(new QLabel(
        QStringLiteral("(alle Fahrten, die in dieser Rechnung berücksichtigt wurden)"), page));
    head->addStretch();
    v->addLayout(head);
    FahrtenGrid = new DbGrid(dialogs, page);
    FahrtenGrid->setObjectName(QStringLiteral("FahrtenGrid"));
    FahrtenGrid->setAccessibleName(QStringLiteral("Fahrten der Rechnung"));
    FahrtenGrid->setReadOnly(true);
    v->addWidget(FahrtenGrid, 1);
    return page;
}

QWidget* TRec_EditformLayout::buildPositionsPage(QWidget* window, DialogService* dialogs) {
    auto* page = new QWidget(window);
    auto* v = new QVBoxLayout(page);
    PostenGrid = new DbGrid(dialogs, page);
    PostenGrid->setObjectName(QStringLiteral("PostenGrid"));
    PostenGrid->setAccessibleName(QStringLiteral("Rechnungspositionen"));
    v->addWidget(PostenGrid, 1);
    auto* bar = new QHBoxLayout;
    navi = new DbNavigator(dialogs, page);
    navi->setObjectName(QStringLiteral("navi"));
    getnetto2 = button(page, "getnetto2", QStringLiteral("Netto neu"),
                       QStringLiteral("Netto Summe neu berechnen"));
    Einzelrechnung = button(page, "Einzelrechnung", QStringLiteral("Einzelrechnung"),
                            QStringLiteral("Position als Einzelrechnung ausgeben"));
    bar->addWidget(navi);
    bar->addStretch();
    bar->addWidget(getnetto2);
    bar->addWidget(Einzelrechnung);
    v->addLayout(bar);
    return page;
}

QWidget* TRec_EditformLayout::buildOverviewPage(QWidget* window, DialogService* dialogs) {
    auto* page = new QWidget(window);
    auto* v = new QVBoxLayout(page);
    UebersichtGrid = new DbGrid(dialogs, page);
    UebersichtGrid->setObjectName(QStringLiteral("UebersichtGrid"));
    UebersichtGrid->setAccessibleName(QStringLiteral("Rechnungen"));
    UebersichtGrid->setReadOnly(true);
    v->addWidget(UebersichtGrid, 1);
    return page;
}

void TRec_EditformLayout::setupGrids(DataSource* trips, DataSource* positions,
                                     DataSource* invoices) {
    FahrtenGrid->setDataSource(
        trips, {{QStringLiteral("Datum"), QString(), QStringLiteral("dd.mm.yyyy"), true, 90},
                {QStringLiteral("Startort"), QString(), QString(), true, 130},
                {QStringLiteral("Zielort"), QString(), QString(), true, 130},
                {QStringLiteral("Personen"), QString(), QString(), true, 150},
                {QStringLiteral("Ortspauschale"), QString(), QStringLiteral("#,##0.00"), true, 110},
                {QStringLiteral("Ankleiden"), QString(), QStringLiteral("#,##0.00"), true, 80},
                {QStringLiteral("Nacht"), QString(), QStringLiteral("#,##0.00"), true, 70},
                {QStringLiteral("Feiertag"), QString(), QStringLiteral("#,##0.00"), true, 70},
                {QStringLiteral("Gesamt"), QStringLiteral("Netto"), QStringLiteral("#,##0.00"),
                 true, 80}});
    PostenGrid->setDataSource(
        positions,
        {{QStringLiteral("RecID"), QStringLiteral("RecNr"), QString(), true, 60},
         {QStringLiteral("Datum"), QString(), QStringLiteral("dd.mm.yyyy hh:mm"), false, 120},
         {QStringLiteral("Rectext"), QString(), QString(), false, 540},
         {QStringLiteral("Netto"), QString(), QStringLiteral("#,##0.00"), false, 80},
         {QStringLiteral("Auftragsnr"), QString(), QString(), false, 90}});
    UebersichtGrid->setDataSource(
        invoices,
        {{QStringLiteral("RecNr"), QString(), QString(), true, 70},
         {QStringLiteral("Datum"), QString(), QStringLiteral("dd.mm.yyyy"), true, 90},
         {QStringLiteral("Kundenname"), QString(), QString(), true, 220},
         {QStringLiteral("Zahlungsdatum"), QString(), QStringLiteral("dd.mm.yyyy"), true, 110},
         {QStringLiteral("Zahlungsart"), QString(), QString(), true, 140},
         {QStringLiteral("Anzahlung"), QString(), QStringLiteral("#,##0.00"), true, 90},
         {QStringLiteral("AnzahlungD"), QString(), QStringLiteral("dd.mm.yyyy"), true, 100}});
}

} // namespace kilvaro
