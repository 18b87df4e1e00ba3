#include "trips/ui/TForm_Fahrten.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "base/Format.h"
#include "data/Daten_A.h"
#include "data/Query.h"
#include "data/ui/DbGrid.h"
#include "data/ui/FieldBinding.h"
#include "trips/AddressChoices.h"
#include "trips/InvoiceMarks.h"
#include "trips/MonthFilter.h"
#include "trips/OrderNumberTools.h"
#include "trips/TripRules.h"
#include "trips/ui/TFAuftragsuche.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <memory>
#include <utility>

namespace kilvaro {

namespace {

const char* const kMoneyMask = "#,##0.00";

QString lit(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TForm_Fahrten::TForm_Fahrten(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    m_rules = TripRules::install(m_context.daten, m_context.dialogs);
    BestatterQuery = new Query(m_context.daten->Database, this);
    BestatterQuery->setObjectName(QStringLiteral("Bestatter"));
    AushilfeQuery = new Query(m_context.daten->Database, this);
    AushilfeQuery->setObjectName(QStringLiteral("Aushilfe"));

    setupUi(this, m_context.dialogs);
    // Clicks on the invoice number and the list hint, the place list losing focus, and
    // Enter and Escape in the input panel come through eventFilter().
    const QList<QObject*> watched{
        ListHint,    Ortesuchliste, LRechnung,    DBText1,       EditDatum,         editZeit,
        Bcombo,      EditStartort,  EditZielort,  DBComboBox1,   DBEdit2,           EditPersonen,
        EditStrasse, editPLZ,       DBEdit4,      Aushilfecombo, EditOrtspauschale, EditAnkleiden,
        EditNacht,   EditFeiertag,  EditKuehlung, EditUhuelle,   EditCovid19,       DBEdit3,
        DBEdit5,     DBEdit8,       DBCheckBox1};
    for (QObject* w : watched)
        w->installEventFilter(this);
    DBComboBox1->lineEdit()->installEventFilter(this);
    connectSignals();
    bindGrids();
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

void TForm_Fahrten::connectSignals() {
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

    const struct {
        QPushButton* button;
        void (TForm_Fahrten::*handler)();
    } surcharges[] = {
        {Ankleiden, &TForm_Fahrten::AnkleidenClick}, {Nacht, &TForm_Fahrten::NachtClick},
        {Feiertag, &TForm_Fahrten::FeiertagClick},   {kuehlung, &TForm_Fahrten::kuehlungClick},
        {UHuelle, &TForm_Fahrten::UHuelleClick},     {Covid19, &TForm_Fahrten::Covid19Click}};
    for (const auto& s : surcharges)
        connectClick(s.button, s.handler);
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
    connect(Ortesuchliste, &QAbstractItemView::clicked, this,
            [this] { guarded([this] { OrtesuchlisteClick(); }); });
    connect(Preislistegitter, &QAbstractItemView::clicked, this,
            [this] { guarded([this] { PreislistegitterClick(); }); });
}

void TForm_Fahrten::bindGrids() {
    TDaten_A* daten = m_context.daten;
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
    suchgitter->setColumnWidths({76, 74, 170, 112, 112, 105, 85, 72, 70});
    Ortesuchliste->setDataSource(daten->Orte_Q, {Col{QStringLiteral("Ort"), {}, {}, true, 0}});
    Preislistegitter->setDataSource(daten->PreisQuelle,
                                    {Col{QStringLiteral("Ort"), {}, {}, true, 0}});
}

void TForm_Fahrten::bindFields() {
    TDaten_A* daten = m_context.daten;
    DataSource* s = daten->Fahrtquelle;
    DialogService* dialogs = m_context.dialogs;
    const auto fill = [](QComboBox* combo, const QList<AddressChoices::Entry>& entries) {
        combo->clear();
        for (const AddressChoices::Entry& e : entries)
            combo->addItem(e.name, e.id);
    };
    fill(Bcombo, AddressChoices::funeralDirectors(*BestatterQuery));
    fill(Aushilfecombo, AddressChoices::helpers(*AushilfeQuery));

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
    const QString filter = MonthFilter::text(m, Jahredit->text());
    {
        const QSignalBlocker block(UpDown2);
        UpDown2->setValue(qMax(0, m));
    }
    Filtern->setChecked(true);
    MonthFilter::apply(*m_context.daten->Fahrttab, filter);
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
    MonthFilter::clear(*m_context.daten->Fahrttab);
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
    if (!printTripList)
        throw DbError(QStringLiteral("Die Fahrtenliste kann hier nicht gedruckt werden."));
    printTripList();
}

void TForm_Fahrten::BitBtn3Click() {
    // The trip statistics window plugs in here.
}

void TForm_Fahrten::BTRechnungClick() {
    Table* trips = m_context.daten->Fahrttab;
    const qint64 number = invoiceMarks().current();
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

InvoiceMarks TForm_Fahrten::invoiceMarks() const {
    return InvoiceMarks(m_context.daten, m_rules);
}

void TForm_Fahrten::LRechnungDblClick() {
    if (m_context.dialogs->message(lit("Wollen Sie die Rechnungsnummer wirklich löschen?"),
                                   MsgIcon::Information, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    invoiceMarks().clear();
}

void TForm_Fahrten::SpeedButton4Click() {
    if (m_context.dialogs->message(lit("Wollen Sie wirklich die Rechnungsnummer manuell ändern?"),
                                   MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    const std::optional<QString> text = m_context.dialogs->inputText(
        lit("Rec-Nr ändern"), lit("Rec-Nr:"), invoiceMarks().currentText());
    if (!text)
        return;
    // A text that is no whole number is refused by the store; the trip is not stored.
    invoiceMarks().set(text->trimmed());
}

void TForm_Fahrten::SpeedButton6Click() {
    if (m_context.dialogs->message(lit("Wollen sie wirklich die Rechnungsnummern löschen?"),
                                   MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    invoiceMarks().clearAll();
}

// --- order number -----------------------------------------------------------------------------

OrderNumberTools TForm_Fahrten::orderNumbers() const {
    return OrderNumberTools(m_context.daten, m_rules, m_context.dialogs);
}

void TForm_Fahrten::AnrZuordnenClick() {
    TFAuftragsuche search(m_context.daten->Database, this);
    orderNumbers().prepareSameOrderSearch(search.query());
    search.open();
    const bool ok = execTripSearch ? execTripSearch(search) : search.exec() == QDialog::Accepted;
    if (!ok)
        return;
    orderNumbers().assign(search.Auftragnr());
    const QSignalBlocker block(Control);
    Control->setCurrentIndex(1);
}

void TForm_Fahrten::VKsetzenClick() {
    orderNumbers().trafficPolice();
}

void TForm_Fahrten::anrsetzenClick() {
    orderNumbers().renumberCurrent();
}

void TForm_Fahrten::BitBtn4Click() {
    if (m_context.dialogs->message(lit("Wollen Sie wirklich alle Auftragsnummern neu vergeben?"),
                                   MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    orderNumbers().renumberAll();
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
