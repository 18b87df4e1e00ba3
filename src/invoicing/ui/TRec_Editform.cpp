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
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace kilvaro {

TRec_Editform::TRec_Editform(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent), m_daten(context.datenR) {
    if (!m_daten || !m_daten->Rectab->isOpen())
        throw DbError(QStringLiteral("Die Rechnungstabellen sind nicht geöffnet."));
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

    setupUi(this, m_context.dialogs);
    setupGrids(m_daten->Fahrtquelle, m_daten->Recposten1, m_daten->RecQuelle);
    navi->setDataSource(m_daten->Recposten1);
    connectSignals();
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
}

TRec_Editform::~TRec_Editform() {
    if (stopActivation())
        FormDeactivate();
}

// --- wiring ------------------------------------------------------------------------------

void TRec_Editform::connectSignals() {
    connect(Jahredit, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { MonatsboxChange(); }); });
    connect(Monatsbox, &QComboBox::activated, this,
            [this] { guarded([this] { MonatsboxChange(); }); });
    connect(UpDown1, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { UpDown1Click(); }); });
    connect(Filtern, &QCheckBox::clicked, this, [this] { guarded([this] { FilternClick(); }); });
    connect(Snr, &QLineEdit::textChanged, this, [this] { guarded([this] { SnrChange(); }); });
    connect(zulassen, &QRadioButton::toggled, this, [this] { BearbeitenClick(); });
    connect(filterGroup, &QButtonGroup::idClicked, this,
            [this](int id) { guarded([this, id] { filterboxClick(id); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { guarded([this] { Button5Click(); }); });
    connect(BT_Hilfe, &QPushButton::clicked, this, [this] { BT_HilfeClick(); });
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
    connect(getnetto2, &QPushButton::clicked, this,
            [this] { guarded([this] { getnettoClick(); }); });
    connect(Einzelrechnung, &QPushButton::clicked, this,
            [this] { guarded([this] { EinzelrechnungClick(); }); });
    // The payment-type list is re-read whenever it gets the focus.
    edit_Zart->installEventFilter(this);
    edit_Zart->lineEdit()->installEventFilter(this);
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

    tripHeader[0]->setText(any ? Format::dateTime(r->field(QStringLiteral("Datum")).asDateTime(),
                                                  QStringLiteral("dd.mm.yyyy"))
                               : QString());
    tripHeader[1]->setText(any ? r->field(QStringLiteral("RecNr")).asString() : QString());
    tripHeader[2]->setText(any ? r->field(QStringLiteral("Kundenname")).asString() : QString());

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
