#include "reports/ui/TDruckfilterform.h"

#include "base/DialogService.h"
#include "base/Format.h"
#include "base/UserSettings.h"
#include "base/ui/HelpViewer.h"
#include "base/DbError.h"
#include "reports/ui/ReportOutputButtons.h"
#include "reports/ui/UpDown.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

const char* const kModeNames[] = {"Monat", "Jahr", "beliebig", "alle Daten"};

QGroupBox* group(const char* objectName, const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

} // namespace

TDruckfilterform::TDruckfilterform(const AppContext& context, UserSettings* settings,
                                   QWidget* parent)
    : QDialog(parent), m_context(context),
      m_ownSettings(settings ? nullptr : std::make_unique<UserSettings>()),
      m_filter(context.daten, settings ? settings : m_ownSettings.get()) {
    setObjectName(QStringLiteral("Druckfilterform"));
    setWindowTitle(QStringLiteral("Datenfilter setzen"));
    buildControls();
    showPeriod();
}

TDruckfilterform::~TDruckfilterform() = default;

void TDruckfilterform::buildControls() {
    // Titel
    Titelbox = group("Titelbox", QStringLiteral("Berichttitel"), this);
    Titel = new QComboBox(Titelbox);
    Titel->setObjectName(QStringLiteral("Titel"));
    Titel->setEditable(true);
    Titel->setInsertPolicy(QComboBox::NoInsert);
    Titel->setMinimumWidth(300);
    Titel->setEditText(QStringLiteral("Titel"));
    auto* titleLayout = new QVBoxLayout(Titelbox);
    titleLayout->addWidget(Titel);

    // Period mode
    Zeitwahl = group("Zeitwahl", QStringLiteral("Zeitraum"), this);
    ZeitwahlButtons = new QButtonGroup(this);
    auto* modeLayout = new QVBoxLayout(Zeitwahl);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(kModeNames[i]), Zeitwahl);
        b->setObjectName(QStringLiteral("Zeitwahl%1").arg(i));
        ZeitwahlButtons->addButton(b, i);
        modeLayout->addWidget(b);
    }
    modeLayout->addStretch();
    connect(ZeitwahlButtons, &QButtonGroup::idClicked, this,
            [this](int id) { runGuarded([&] { ZeitwahlClick(id); }); });

    // Month and year
    Monatbox = group("Monatbox", QStringLiteral("Monat und Jahr"), this);
    Monatsbox = new QComboBox(Monatbox);
    Monatsbox->setObjectName(QStringLiteral("Monatsbox"));
    Monatsbox->setToolTip(QStringLiteral("Monat auswählen"));
    for (int m = 1; m <= 12; ++m)
        Monatsbox->addItem(Format::monthName(m));
    UpDown1 = new UpDown(Monatbox);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, 11);
    Jahr = new QLineEdit(QStringLiteral("1980"), Monatbox);
    Jahr->setObjectName(QStringLiteral("Jahr"));
    Jahr->setToolTip(QStringLiteral("Jahr eingeben"));
    Jahr->setMaxLength(4);
    Jahr->installEventFilter(this);
    updown2 = new UpDown(Monatbox);
    updown2->setObjectName(QStringLiteral("updown2"));
    updown2->setToolTip(QStringLiteral("Jahr auswählen"));
    updown2->setRange(ReportFilter::FirstYear, ReportFilter::LastYear);
    updown2->setPosition(1980);
    auto* monthLabel = new QLabel(QStringLiteral("Monat:"), Monatbox);
    monthLabel->setBuddy(Monatsbox);
    auto* yearLabel = new QLabel(QStringLiteral("Jahr:"), Monatbox);
    yearLabel->setBuddy(Jahr);
    auto* monthLayout = new QGridLayout(Monatbox);
    monthLayout->addWidget(monthLabel, 0, 0);
    monthLayout->addWidget(Monatsbox, 0, 1);
    monthLayout->addWidget(UpDown1, 0, 2);
    monthLayout->addWidget(yearLabel, 1, 0);
    monthLayout->addWidget(Jahr, 1, 1);
    monthLayout->addWidget(updown2, 1, 2);
    monthLayout->setColumnStretch(1, 1);
    connect(Monatsbox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_updating)
            runGuarded([&] { MonatsboxChange(); });
    });
    connect(UpDown1, &UpDown::clicked, this, [this] { runGuarded([&] { UpDown1Click(); }); });
    connect(Jahr, &QLineEdit::textChanged, this, [this] {
        if (!m_updating)
            runGuarded([&] { JahrChange(); });
    });
    connect(updown2, &UpDown::clicked, this, [this] { runGuarded([&] { updown2Click(); }); });

    // Dates
    Zeitbox = group("Zeitbox", QStringLiteral("Datum"), this);
    von = new QDateEdit(Zeitbox);
    von->setObjectName(QStringLiteral("von"));
    bis = new QDateEdit(Zeitbox);
    bis->setObjectName(QStringLiteral("bis"));
    for (QDateEdit* e : {von, bis}) {
        e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        e->setCalendarPopup(true);
        e->setMinimumDate(QDate(1900, 1, 1));
        e->setMaximumDate(QDate(9999, 12, 31));
    }
    auto* vonLabel = new QLabel(QStringLiteral("&von:"), Zeitbox);
    vonLabel->setBuddy(von);
    auto* bisLabel = new QLabel(QStringLiteral("&bis:"), Zeitbox);
    bisLabel->setBuddy(bis);
    auto* dateLayout = new QGridLayout(Zeitbox);
    dateLayout->addWidget(vonLabel, 0, 0);
    dateLayout->addWidget(von, 0, 1);
    dateLayout->addWidget(bisLabel, 1, 0);
    dateLayout->addWidget(bis, 1, 1);
    dateLayout->setColumnStretch(1, 1);
    // One label width in both groups, so the month list and the date fields line up.
    int labelWidth = 0;
    for (QLabel* l : {monthLabel, yearLabel, vonLabel, bisLabel})
        labelWidth = qMax(labelWidth, l->sizeHint().width());
    for (QLabel* l : {monthLabel, yearLabel, vonLabel, bisLabel})
        l->setMinimumWidth(labelWidth);
    connect(von, &QDateEdit::dateChanged, this, [this] {
        if (!m_updating)
            vonChange();
    });
    connect(bis, &QDateEdit::dateChanged, this, [this] {
        if (!m_updating)
            bisChange();
    });

    // Copies
    Kopiebox = group("Kopiebox", QString(), this);
    EditKopie = new QLineEdit(QStringLiteral("1"), Kopiebox);
    EditKopie->setObjectName(QStringLiteral("EditKopie"));
    EditKopie->setValidator(new QIntValidator(1, 50, EditKopie));
    EditKopie->setMaxLength(2);
    EditKopie->setFixedWidth(40);
    EditKopie->setAlignment(Qt::AlignRight);
    EditKopie->installEventFilter(this);
    Kopien = new UpDown(Kopiebox);
    Kopien->setObjectName(QStringLiteral("Kopien"));
    Kopien->setRange(1, 50);
    Kopien->setPosition(1);
    auto* copiesLabel = new QLabel(QStringLiteral("Anzahl Kopien"), Kopiebox);
    copiesLabel->setBuddy(EditKopie);
    auto* copiesLayout = new QHBoxLayout(Kopiebox);
    copiesLayout->addWidget(copiesLabel);
    copiesLayout->addStretch();
    copiesLayout->addWidget(EditKopie);
    copiesLayout->addWidget(Kopien);
    connect(EditKopie, &QLineEdit::textChanged, this, [this] {
        if (!m_updating)
            EditKopieChange();
    });
    connect(Kopien, &UpDown::clicked, this, [this] { KopienClick(); });

    // Funeral director
    GroupBox2 = group("GroupBox2", QStringLiteral("Bestatter"), this);
    Bestatterbox = new QComboBox(GroupBox2);
    Bestatterbox->setObjectName(QStringLiteral("Bestatterbox"));
    Bestatterbox->setMinimumWidth(220);
    einbestatter = new QCheckBox(QStringLiteral(" ein Bestatter"), GroupBox2);
    einbestatter->setObjectName(QStringLiteral("einbestatter"));
    NachBestatter = new QCheckBox(QStringLiteral("nach Bestatter"), GroupBox2);
    NachBestatter->setObjectName(QStringLiteral("NachBestatter"));
    bestatterSeiten = new QCheckBox(QStringLiteral("eine Seite pro Bestatter"), GroupBox2);
    bestatterSeiten->setObjectName(QStringLiteral("bestatterSeiten"));
    auto* directorLayout = new QGridLayout(GroupBox2);
    directorLayout->addWidget(Bestatterbox, 0, 0);
    directorLayout->addWidget(einbestatter, 0, 1);
    directorLayout->addWidget(NachBestatter, 1, 0);
    directorLayout->addWidget(bestatterSeiten, 1, 1);
    directorLayout->setColumnStretch(0, 1);
    NachBestatter->hide();
    bestatterSeiten->hide();
    GroupBox2->hide();
    connect(Bestatterbox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_updating)
            runGuarded([&] { BestatterboxChange(); });
    });

    // Buttons
    const auto out = ReportOutputButtons::create(this, [this] { BTHilfeClick(); });
    BTMonitor = out.BTMonitor;
    BTDrucker = out.BTDrucker;
    BTAbbruch = out.BTAbbruch;
    BTHilfe = out.BTHilfe;

    // Arrangement: the choices on the left, the buttons in a column on the right.
    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(Zeitwahl);
    leftColumn->addWidget(Kopiebox);
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(Monatbox);
    rightColumn->addWidget(Zeitbox);
    auto* periodRow = new QHBoxLayout;
    periodRow->addLayout(leftColumn);
    periodRow->addLayout(rightColumn, 1);
    auto* content = new QVBoxLayout;
    content->addWidget(Titelbox);
    content->addLayout(periodRow);
    content->addWidget(GroupBox2);
    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 6, 0, 0);
    buttons->addWidget(BTMonitor);
    buttons->addWidget(BTDrucker);
    buttons->addWidget(BTAbbruch);
    buttons->addStretch();
    buttons->addWidget(BTHilfe);
    auto* main = new QHBoxLayout(this);
    main->addLayout(content, 1);
    main->addSpacing(6);
    main->addLayout(buttons);
    // Fixed size that follows the groups callers show or hide.
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void TDruckfilterform::FormCreate(const QDate& today) {
    runGuarded([&] { m_filter.fill(today); });
    showPeriod();
    showBestatter();
}

void TDruckfilterform::preset(const QString& caption, const QString& title) {
    setWindowTitle(caption);
    Titel->setEditText(title);
}

ReportChoice TDruckfilterform::showModal() {
    return reportChoiceOf(exec());
}

QString TDruckfilterform::title() const {
    return Titel->currentText();
}

void TDruckfilterform::setMode(ReportFilter::Mode mode) {
    runGuarded([&] { ZeitwahlClick(int(mode)); });
}

void TDruckfilterform::setBestatterGroupVisible(bool visible) {
    GroupBox2->setVisible(visible || NachBestatter->isVisibleTo(this));
}

void TDruckfilterform::setInvoiceOptionsVisible(bool visible) {
    NachBestatter->setVisible(visible);
    bestatterSeiten->setVisible(visible);
    // einbestatter restricts the invoice list too: it must be in view whenever it counts.
    GroupBox2->setVisible(visible);
}

int TDruckfilterform::copies() const {
    return Kopien->position();
}

void TDruckfilterform::done(int result) {
    if (result != ReportResultCancel) {
        const QString error = m_filter.inputError();
        if (!error.isEmpty()) {
            if (m_context.dialogs)
                m_context.dialogs->warning(error);
            if (m_filter.yearEditable())
                Jahr->setFocus();
            else
                von->setFocus();
            return;
        }
    }
    FormClose();
    QDialog::done(result);
}

bool TDruckfilterform::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Jahr || watched == EditKopie)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        UpDown* arrows = watched == Jahr ? updown2 : Kopien;
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            key == Qt::Key_Up ? arrows->stepUp() : arrows->stepDown();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TDruckfilterform::ZeitwahlClick(int mode) {
    m_filter.setMode(ReportFilter::Mode(qBound(0, mode, 3)));
    showPeriod();
}

void TDruckfilterform::MonatsboxChange() {
    m_filter.setMonthIndex(Monatsbox->currentIndex());
    UpDown1->setPosition(Monatsbox->currentIndex());
    showPeriod();
}

void TDruckfilterform::UpDown1Click() {
    {
        const QSignalBlocker block(Monatsbox);
        Monatsbox->setCurrentIndex(UpDown1->position());
    }
    MonatsboxChange();
}

void TDruckfilterform::JahrChange() {
    m_filter.setYearText(Jahr->text());
    if (const std::optional<int> y = m_filter.year())
        updown2->setPosition(*y);
    showPeriod();
}

void TDruckfilterform::updown2Click() {
    Jahr->setText(QString::number(updown2->position())); // runs JahrChange
}

void TDruckfilterform::EditKopieChange() {
    bool ok = false;
    const int n = EditKopie->text().toInt(&ok);
    if (ok && n >= Kopien->minimum() && n <= Kopien->maximum())
        Kopien->setPosition(n);
}

void TDruckfilterform::KopienClick() {
    const QSignalBlocker block(EditKopie);
    EditKopie->setText(QString::number(Kopien->position()));
}

void TDruckfilterform::vonChange() {
    m_filter.setVon(von->date());
}

void TDruckfilterform::bisChange() {
    m_filter.setBis(bis->date());
}

void TDruckfilterform::BestatterboxChange() {
    m_filter.setBestatterIndex(Bestatterbox->currentIndex());
    const QString text = Titel->currentText();
    Titel->clear();
    Titel->addItems(m_filter.titleList());
    Titel->setEditText(text);
}

void TDruckfilterform::BTHilfeClick() {
    if (m_help) {
        m_help(HelpContext);
        return;
    }
    HelpViewer::showFor(this, m_context.programFolder, HelpContext);
}

void TDruckfilterform::FormClose() {
    // A copies text left incomplete ("" or "0") shows the copies that count.
    KopienClick();
    runGuarded([&] { m_filter.computeResults(); });
}

void TDruckfilterform::showPeriod() {
    m_updating = true;
    const int mode = int(m_filter.mode());
    if (ZeitwahlButtons->button(mode))
        ZeitwahlButtons->button(mode)->setChecked(true);
    Monatsbox->setCurrentIndex(m_filter.monthIndex());
    UpDown1->setPosition(qMax(0, m_filter.monthIndex()));
    if (Jahr->text() != m_filter.yearText())
        Jahr->setText(m_filter.yearText());
    if (const std::optional<int> y = m_filter.year())
        updown2->setPosition(*y);
    von->setDate(m_filter.von());
    bis->setDate(m_filter.bis());
    Monatsbox->setEnabled(m_filter.monthEditable());
    UpDown1->setEnabled(m_filter.monthEditable());
    Jahr->setEnabled(m_filter.yearEditable());
    updown2->setEnabled(m_filter.yearEditable());
    von->setEnabled(m_filter.datesEditable());
    bis->setEnabled(m_filter.datesEditable());
    m_updating = false;
}

void TDruckfilterform::showBestatter() {
    m_updating = true;
    Bestatterbox->clear();
    Bestatterbox->addItems(m_filter.bestatterNames());
    Bestatterbox->setCurrentIndex(m_filter.bestatterIndex());
    const QString text = Titel->currentText();
    Titel->clear();
    Titel->addItems(m_filter.titleList());
    Titel->setEditText(text);
    m_updating = false;
}

void TDruckfilterform::runGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& e) {
        if (m_context.dialogs && !e.message().isEmpty())
            m_context.dialogs->error(e.message());
    }
}

} // namespace kilvaro
