#include "invoicing/ui/TRec_Druckform.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "data/Connection.h"
#include "invoicing/Daten_R.h"
#include "invoicing/InvoiceRange.h"
#include "invoicing/TRec_Dokument.h"
#include "invoicing/ui/InvoiceOutput.h"
#include "data/ui/ChildWindow.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

QPointer<TRec_Druckform>& currentSelection() {
    static QPointer<TRec_Druckform> selection;
    return selection;
}

/// The selection last opened from a command; it lives until the next one is opened.
QPointer<TRec_Druckform>& openedSelection() {
    static QPointer<TRec_Druckform> selection;
    return selection;
}

TRec_Druckform* createSelection(const AppContext& context, QWidget* parent) {
    delete openedSelection().data();
    auto* dialog = new TRec_Druckform(context, parent);
    openedSelection() = dialog;
    dialog->makeCurrent();
    return dialog;
}

// Invoice numbers are integers of the database; the old limit of 32600 is gone.
constexpr int kHighestNumber = 99999999;

QSpinBox* numberBox(QWidget* parent, const char* name, int low, int high) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    box->setMinimumWidth(110);
    return box;
}

} // namespace

TRec_Druckform::TRec_Druckform(const AppContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("Rec_Druckform"));
    setWindowTitle(QStringLiteral("Rechnungen drucken"));

    auto* copiesBox = new QGroupBox(QStringLiteral("Kopien im Ausdruck"), this);
    Edit1 = numberBox(copiesBox, "Edit1", 1, 100);
    Edit1->setValue(1);
    Edit1->setAccessibleName(QStringLiteral("Kopien im Ausdruck"));
    (new QVBoxLayout(copiesBox))->addWidget(Edit1);

    auto* rangeBox = new QGroupBox(QStringLiteral("Rechnungen drucken"), this);
    ersteREC = numberBox(rangeBox, "ersteREC", 0, kHighestNumber);
    letzteREC = numberBox(rangeBox, "letzteREC", 0, kHighestNumber);
    auto* range = new QFormLayout(rangeBox);
    auto* fromLabel = new QLabel(QStringLiteral("&von:"), rangeBox);
    auto* toLabel = new QLabel(QStringLiteral("&bis:"), rangeBox);
    fromLabel->setBuddy(ersteREC);
    toLabel->setBuddy(letzteREC);
    range->addRow(fromLabel, ersteREC);
    range->addRow(toLabel, letzteREC);

    BitBtn2 = new QPushButton(QStringLiteral("&Drucken"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    BTBericht = new QPushButton(QStringLiteral("&Vorschau"), this);
    BTBericht->setObjectName(QStringLiteral("BTBericht"));
    BitBtn3 = new QPushButton(QStringLiteral("Abbruch"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BTBericht);
    buttons->addWidget(BitBtn3);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(rangeBox);
    boxes->addWidget(copiesBox, 0, Qt::AlignTop);
    auto* main = new QVBoxLayout(this);
    main->addLayout(boxes);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // Every command takes the numbers still being typed: the spin boxes are read directly.
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        runGuardedCommand(this, m_context.dialogs, [this] { BtdruckenClick(); });
    });
    connect(BTBericht, &QPushButton::clicked, this, [this] {
        runGuardedCommand(this, m_context.dialogs, [this] { BTBerichtClick(); });
    });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject); // Escape as well
    FormCreate();
}

TRec_Druckform::~TRec_Druckform() {
    // A document made later prints with its own copies setting again.
    if (currentSelection() == this)
        TRec_Dokument::setCopiesProvider({});
}

void TRec_Druckform::FormCreate() {
    const InvoiceRange::Range last = InvoiceRange::lastUsed(m_context.programFolder);
    ersteREC->setValue(last.from);
    letzteREC->setValue(last.to);
}

void TRec_Druckform::makeCurrent() {
    currentSelection() = this;
    QPointer<TRec_Druckform> self(this);
    TRec_Dokument::setCopiesProvider([self] { return self ? self->Edit1->value() : 1; });
}

TRec_Druckform* TRec_Druckform::current() {
    return currentSelection().data();
}

void TRec_Druckform::open(const AppContext& context, QWidget* parent) {
    createSelection(context, parent)->exec();
}

void TRec_Druckform::openForRange(const AppContext& context, QWidget* parent, int from, int to,
                                  const QString& caption) {
    TRec_Druckform* dialog = createSelection(context, parent);
    dialog->ersteREC->setValue(from);
    dialog->letzteREC->setValue(to);
    dialog->setWindowTitle(caption);
    dialog->exec();
}

void TRec_Druckform::RechnungenAusgeben(bool print) {
    if (!m_context.datenR || !m_context.datenR->Rectab->isOpen())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    const InvoiceRange::Range range{ersteREC->value(), letzteREC->value()};
    InvoiceRange::remember(m_context.programFolder, range);
    const QList<int> numbers = InvoiceRange::existing(*m_context.datenR->connection(), range);
    const int output = InvoiceOutput::outputRange(m_context, numbers, print);
    if (output < 0)
        return; // the document could not be made; the reason has been shown
    m_context.dialogs->information(
        InvoiceRange::outcome(output, InvoiceRange::missing(range, numbers), print));
    accept();
}

} // namespace kilvaro
