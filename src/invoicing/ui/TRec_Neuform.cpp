#include "invoicing/ui/TRec_Neuform.h"

#include "base/DialogService.h"
#include "base/DbError.h"
#include "data/Table.h"
#include "data/ui/FieldBinding.h"
#include "invoicing/Daten_R.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kilvaro {

TRec_Neuform::TRec_Neuform(const AppContext& context, Table* trip, QWidget* parent)
    : QDialog(parent), m_context(context), m_daten(context.datenR), m_trip(trip) {
    if (!m_daten || !m_daten->Rectab->isOpen())
        throw DbError(QStringLiteral("Die Rechnungstabellen sind nicht geöffnet."));
    setObjectName(QStringLiteral("Rec_Neuform"));
    setWindowTitle(QStringLiteral("Einzel-Rechnung erstellen"));
    // No close box: the dialog ends only through its two buttons (or Escape).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    DataSource* rec = m_daten->RecQuelle;
    DialogService* dialogs = context.dialogs;
    auto edit = [this](const char* name, bool readOnly) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        return e;
    };
    EditRecNr = edit("EditRecNr", true);
    EditRecNr->setMaximumWidth(110);
    EditDatum = edit("EditDatum", false);
    EditDatum->setMaximumWidth(110);
    DBEdit1 = edit("DBEdit1", true);
    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setMinimumHeight(120);

    FieldBinding::bind(rec, QStringLiteral("RecNr"), EditRecNr, dialogs)->setReadOnly(true);
    FieldBinding* datum = FieldBinding::bind(rec, QStringLiteral("Datum"), EditDatum, dialogs);
    datum->setMask(QStringLiteral("dd.mm.yyyy"));
    datum->setToday([daten = m_daten] { return daten->today(); });
    FieldBinding::bind(rec, QStringLiteral("Kundenname"), DBEdit1, dialogs)->setReadOnly(true);
    FieldBinding::bind(rec, QStringLiteral("Textvor"), DBMemo1, dialogs);

    BTErstell = new QPushButton(QStringLiteral("&Erstellen"), this);
    BTErstell->setObjectName(QStringLiteral("BTErstell"));
    BTErstell->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("Abbruch"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(BTErstell, &QPushButton::clicked, this, &TRec_Neuform::BTErstellClick);
    connect(Button1, &QPushButton::clicked, this, &TRec_Neuform::Button1Click);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Rec-Nr"), EditRecNr);
    form->addRow(QStringLiteral("Datum"), EditDatum);
    form->addRow(QStringLiteral("Kunde"), DBEdit1);
    form->addRow(QStringLiteral("Anschreiben"), DBMemo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BTErstell);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(480, 300);
    EditDatum->setFocus();

    showInvoice = [daten = m_daten](int recNr, int posId, bool print) {
        if (daten->showInvoice)
            daten->showInvoice(recNr, posId, print);
    };
    FormCreate();
}

TRec_Neuform::~TRec_Neuform() {
    // A dialog destroyed without a button leaves no half invoice behind.
    if (m_daten && m_daten->Rectab->state() == TableState::Insert)
        m_daten->Rectab->cancel();
}

void TRec_Neuform::FormCreate() {
    Table* rectab = m_daten->Rectab;
    rectab->append();
    rectab->setValue(QStringLiteral("Datum"), m_daten->today());
    if (m_trip && m_trip->isOpen() && !m_trip->isEmpty())
        rectab->setValue(QStringLiteral("Kunde"), m_trip->value(QStringLiteral("Bestatter")));
}

void TRec_Neuform::BTErstellClick() {
    try {
        m_created = m_daten->EinzelRechnungSpeichern(m_trip);
    } catch (const DbError& e) {
        if (!e.message().isEmpty())
            m_context.dialogs->error(e.message());
        return;
    }
    // The dialog closes before the invoice is shown: the preview is then the window in
    // front and usable, and nothing is left behind it that could store the invoice again.
    accept();
    if (showInvoice)
        showInvoice(m_created, 0, false);
}

void TRec_Neuform::Button1Click() {
    m_daten->Rectab->cancel();
    QDialog::reject();
}

void TRec_Neuform::reject() {
    Button1Click();
}

void TRec_Neuform::closeEvent(QCloseEvent* event) {
    if (result() != QDialog::Accepted && m_daten->Rectab->state() == TableState::Insert)
        m_daten->Rectab->cancel();
    QDialog::closeEvent(event);
}

} // namespace kilvaro
