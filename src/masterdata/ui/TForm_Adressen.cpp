#include "masterdata/ui/TForm_Adressen.h"

#include "base/DialogService.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "data/ui/FieldBinding.h"
#include "masterdata/AddressNumbering.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

const int kFieldWidth = 260;
const int kLabelWidth = 100;

QLabel* makeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setMinimumWidth(kLabelWidth);
    return label;
}

} // namespace

TForm_Adressen::TForm_Adressen(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    setObjectName(QStringLiteral("Form_Adressen"));
    setWindowTitle(QStringLiteral("Adressverwaltung"));

    Adresse = new Table(m_context.daten->Database, QStringLiteral("ADRESSEN"), this);
    Adresse->setObjectName(QStringLiteral("Adresse"));
    Adresse->setOrder(QStringLiteral("[Name] ASC"));
    Adresse->afterInsert = [this](Table& t) { AdresseAfterInsert(t); };
    Adresse1 = new DataSource(Adresse, this);
    Adresse1->setObjectName(QStringLiteral("Adresse1"));

    FormCreate();
    buildControls();
}

TForm_Adressen::~TForm_Adressen() = default;

void TForm_Adressen::FormCreate() {
    Adresse->open();
}

QLineEdit* TForm_Adressen::addField(const QString& field, const QString& name, int maxLength) {
    auto* edit = new QLineEdit(Eingabefeld);
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    FieldBinding::bind(Adresse1, field, edit, m_context.dialogs);
    return edit;
}

void TForm_Adressen::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(0);

    Bearbeiten = new QTabBar(this);
    Bearbeiten->setObjectName(QStringLiteral("Bearbeiten"));
    Bearbeiten->addTab(QStringLiteral("Anzeige"));
    Bearbeiten->addTab(QStringLiteral("Bearbeiten"));
    Bearbeiten->setExpanding(false);
    Bearbeiten->setDrawBase(false);
    outer->addWidget(Bearbeiten);

    auto* page = new QFrame(this);
    page->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(page, 1);
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(12);

    Anzeige = new DbGrid(m_context.dialogs, page);
    Anzeige->setAccessibleName(QStringLiteral("Adressen"));
    Anzeige->setObjectName(QStringLiteral("Anzeige"));
    Anzeige->setReadOnly(true);
    Anzeige->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Anzeige->setDataSource(
        Adresse1, {{QStringLiteral("Name"), {}, {}, true, 200},
                   {QStringLiteral("Vorname"), {}, {}, true, 120},
                   {QStringLiteral("Telefon1"), QStringLiteral("Telefon"), {}, true, 120}});
    Anzeige->horizontalHeader()->setStretchLastSection(true);
    // The row indicator, wide enough for the row numbers of a long list.
    Anzeige->verticalHeader()->setVisible(true);
    Anzeige->verticalHeader()->setFixedWidth(
        Anzeige->fontMetrics().horizontalAdvance(QStringLiteral("9999")) + 8);
    Anzeige->setMinimumWidth(200 + 120 + 120 + Anzeige->verticalHeader()->width() +
                             Anzeige->verticalScrollBar()->sizeHint().width() + 4);
    Anzeige->setMaximumWidth(Anzeige->minimumWidth() + 80);
    row->addWidget(Anzeige, 1);

    Eingabefeld = new QFrame(page);
    Eingabefeld->setObjectName(QStringLiteral("Eingabefeld"));
    row->addWidget(Eingabefeld, 3);
    auto* grid = new QGridLayout(Eingabefeld);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);

    struct FieldDef {
        const char* field;
        const char* name;
        const char* label;
        int maxLength;
        int width;
    };
    // Left column: who and where.
    const FieldDef left[] = {{"ID", "Edit_ID", "ID:", 0, 80},
                             {"Anrede", "Edit_Anrede", "Anrede", 20, 160},
                             {"Vorname", "Edit_Vorname", "Vorname", 40, kFieldWidth},
                             {"Name", "Edit_Name", "Name", 50, kFieldWidth},
                             {"Inhaber", "Edit_Inhaber", "Inhaber", 50, kFieldWidth},
                             {"Geschäftsbezeichnung", "Edit_Geschaeftsbezeichnung",
                              "Geschäfts- bezeichnung", 70, kFieldWidth},
                             {"Straße", "Edit_Strasse", "Straße", 50, kFieldWidth},
                             {"PLZ", "Edit_PLZ", "PLZ", 8, 80},
                             {"Ort", "Edit_Ort", "Ort", 50, kFieldWidth},
                             {"Vertragsnr", "Edit_Vertragsnr", "Vertragsnr", 30, 200}};
    // Right column: how to reach them and how they are invoiced.
    const FieldDef right[] = {{"Tarifgruppe", "Edit_Tarifgruppe", "Tarifgruppe:", 5, 80},
                              {"Telefon1", "Edit_Telefon1", "Telefon 1", 25, 170},
                              {"Telefon2", "Edit_Telefon2", "Telefon 2", 25, 170},
                              {"Privat-Telefon", "Edit_PrivatTelefon", "Privat", 25, 170},
                              {"Handy", "Edit_Handy", "Mobil", 25, 170}};
    int r = 0;
    for (const FieldDef& f : left) {
        QLabel* label = makeLabel(QString::fromUtf8(f.label), Eingabefeld);
        QLineEdit* edit =
            addField(QString::fromUtf8(f.field), QString::fromUtf8(f.name), f.maxLength);
        edit->setFixedWidth(f.width);
        label->setBuddy(edit);
        if (QLatin1String(f.field) == QLatin1String("ID")) {
            edit->setReadOnly(true);
            edit->setFocusPolicy(Qt::NoFocus);
            edit->findChild<FieldBinding*>()->setReadOnly(true);
        } else if (QLatin1String(f.field) == QLatin1String("Inhaber")) {
            InhaberLabel = label;
            label->setObjectName(QStringLiteral("InhaberLabel"));
        } else if (QLatin1String(f.field) == QLatin1String("Geschäftsbezeichnung")) {
            // Breaks after the hyphen like the form users know.
            label->setWordWrap(true);
            label->setFixedWidth(kLabelWidth);
        }
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        ++r;
    }
    grid->setColumnMinimumWidth(2, 10);
    r = 0;
    for (const FieldDef& f : right) {
        QLabel* label = makeLabel(QString::fromUtf8(f.label), Eingabefeld);
        QLineEdit* edit =
            addField(QString::fromUtf8(f.field), QString::fromUtf8(f.name), f.maxLength);
        edit->setFixedWidth(f.width);
        label->setBuddy(edit);
        grid->addWidget(label, r, 3);
        grid->addWidget(edit, r, 4);
        ++r;
    }
    ++r;
    const struct {
        const char* field;
        const char* caption;
    } checks[] = {{"OhneRP", "keine Rec-Prüfung"},
                  {"Gutschrift", "Gutschrift"},
                  {"Aktiv", "aktiv"},
                  {"BigR", "Sonderrechnung"}};
    for (const auto& c : checks) {
        auto* box = new QCheckBox(QString::fromUtf8(c.caption), Eingabefeld);
        box->setObjectName(QString::fromUtf8(c.field));
        FieldBinding::bind(Adresse1, QString::fromUtf8(c.field), box, m_context.dialogs);
        grid->addWidget(box, r++, 4);
    }
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(int(std::size(left)), 1);

    Eingabefeld->setEnabled(false);
    connect(Bearbeiten, &QTabBar::currentChanged, this, &TForm_Adressen::BearbeitenChange);
}

void TForm_Adressen::switchMode(bool helpers) {
    // A row typed in the other mode is stored with its own kind before the rows change.
    Adresse->checkBrowseMode();
    m_helpers = helpers;
    Adresse->setFilter(helpers ? QStringLiteral("Typ = 0") : QStringLiteral("Typ = 1"));
    InhaberLabel->setText(helpers ? QStringLiteral("Geburtsdatum") : QStringLiteral("Inhaber"));
    Adresse->setFiltered(true);
}

void TForm_Adressen::AdresseAfterInsert(Table& table) {
    const AddressKind kind = m_helpers ? AddressKind::Helper : AddressKind::FuneralDirector;
    try {
        table.setValue(QStringLiteral("Typ"), static_cast<int>(kind));
        table.setValue(QStringLiteral("ID"), AddressNumbering::nextId(*table.connection(), kind));
    } catch (const DbError&) {
        // Without a number the row must not be stored at all.
        table.cancel();
        throw;
    }
    Bearbeiten->setCurrentIndex(1);
    BearbeitenChange(Bearbeiten->currentIndex());
}

void TForm_Adressen::BearbeitenChange(int index) {
    Eingabefeld->setEnabled(index == 1);
}

void TForm_Adressen::FormActivate() {
    bindNavigator(Adresse1);
}

void TForm_Adressen::FormDeactivate() {
    // Another child may have bound the navigator already.
    releaseNavigator(Adresse1);
}

void TForm_Adressen::closeEvent(QCloseEvent* event) {
    try {
        if (Adresse->isOpen() && Adresse->isEditing())
            Adresse->post();
    } catch (const DbError& e) {
        if (!e.message().isEmpty() && m_context.dialogs)
            m_context.dialogs->error(e.message());
        event->ignore();
        return;
    }
    Adresse->setFilter(QString());
    if (ChildHost* h = host())
        h->releaseInstance(ChildKind::Adressen);
    stopActivation();
    FormDeactivate();
    Adresse->close();
    event->accept();
}

void TForm_Adressen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && host()) {
        showHelp(HelpContext);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kilvaro
