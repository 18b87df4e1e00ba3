#include "masterdata/ui/TForm_Tarif.h"


#include "base/DialogService.h"
#include "base/Format.h"
#include "base/ui/ChildWindowRegistry.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "data/ui/FieldBinding.h"
#include "masterdata/TariffOperations.h"
#include "reports/ui/Drucken.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

const QString kAmountMask = QStringLiteral("#,##0.00");

/// A stored date as the confirmation shows it: the date alone, or with its time of day.
QString dateTimeText(const QVariant& value) {
    const QDateTime dt = value.toDateTime();
    if (value.isNull() || !dt.isValid())
        return QString();
    return dt.time() == QTime(0, 0) ? Format::date(dt.date(), QStringLiteral("dd.mm.yyyy"))
                                    : Format::dateTime(dt, QStringLiteral("dd.mm.yyyy hh:nn:ss"));
}

bool isDeleteShortcut(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier;
}

} // namespace

TForm_Tarif::TForm_Tarif(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent),
      m_today([] { return QDate::currentDate(); }) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    setObjectName(QStringLiteral("TForm_Tarif"));
    setWindowTitle(QStringLiteral("Tarife"));
    m_ops = new TariffOperations(*m_context.daten);

    TDaten_A* d = m_context.daten;
    Adressen = new Table(d->Database, QStringLiteral("ADRESSEN"), this);
    Adressen->setObjectName(QStringLiteral("Adressen"));
    Adressen->setOrder(QStringLiteral("[Name] ASC"));
    // Only funeral directors belong to a tariff group; helpers are not listed.
    Adressen->setFilter(QStringLiteral("Typ = 1"));
    Adressen->setFiltered(true);
    Adressen->setMasterLink(d->Orthaupttab, QStringLiteral("Tarifgruppe"), QStringLiteral("Nr"));
    AdressenQ = new DataSource(Adressen, this);
    AdressenQ->setObjectName(QStringLiteral("AdressenQ"));

    buildControls();
    FormCreate();
}

TForm_Tarif::~TForm_Tarif() {
    delete m_ops;
}

void TForm_Tarif::setToday(std::function<QDate()> today) {
    m_today = std::move(today);
    Hauptliste->setToday(m_today);
    id_changeChange();
}

void TForm_Tarif::buildControls() {
    TDaten_A* d = m_context.daten;
    DialogService* dialogs = m_context.dialogs;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [this](const char* name, const QString& caption, const QString& hint,
                         void (TForm_Tarif::*handler)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        if (!hint.isEmpty())
            b->setToolTip(hint);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        ToolBar1->addWidget(b);
        return b;
    };
    Tneu = button("Tneu", QStringLiteral("Neuer Tarif"), QString(), &TForm_Tarif::TneuClick);
    Tkopie = button("Tkopie", QStringLiteral("Tarif kopieren"),
                    QStringLiteral("neuer Tarif aufgrund des aktuellen Tarifs"),
                    &TForm_Tarif::TkopieClick);
    Tloeschen = button("Tloeschen", QStringLiteral("Tarif löschen"),
                       QStringLiteral("angezeigten Tarif löschen"), &TForm_Tarif::TloeschenClick);
    TarifDruck =
        button("TarifDruck", QStringLiteral("Tarif drucken"),
               QStringLiteral("Tarif auf Drucker ausgeben"), &TForm_Tarif::TarifDruckClick);
    ToolButton2 =
        button("ToolButton2", QStringLiteral("Export"), QString(), &TForm_Tarif::ToolButton2Click);
    ToolBar1->addSeparator();
    ToolButton5 = button("ToolButton5", QStringLiteral("Neuer Ort"),
                         QStringLiteral("Ort hinzufügen"), &TForm_Tarif::OrtneuClick);
    Oloeschen = button("Oloeschen", QStringLiteral("Ort löschen"), QStringLiteral("Ort löschen"),
                       &TForm_Tarif::ortLoeschenClick);
    BTHilfe = button("BTHilfe", QStringLiteral("Hilfe"), QString(), &TForm_Tarif::BTHilfeClick);
    layout->addWidget(ToolBar1);

    auto* body = new QHBoxLayout;
    layout->addLayout(body, 1);

    // --- left: versions and surcharges ----------------------------------------------------
    auto* Hauptpanel = new QWidget(this);
    Hauptpanel->setObjectName(QStringLiteral("Hauptpanel"));
    auto* left = new QVBoxLayout(Hauptpanel);
    left->setContentsMargins(0, 0, 0, 0);
    auto* boxRow = new QHBoxLayout;
    auto* tarifLabel = new QLabel(QStringLiteral("Tarif:"), Hauptpanel);
    Tarifbox = new QComboBox(Hauptpanel);
    Tarifbox->setObjectName(QStringLiteral("Tarifbox"));
    Tarifbox->setMinimumWidth(140);
    tarifLabel->setBuddy(Tarifbox);
    boxRow->addWidget(tarifLabel);
    boxRow->addWidget(Tarifbox);
    boxRow->addStretch();
    left->addLayout(boxRow);

    Hauptliste = new DbGrid(dialogs, Hauptpanel);
    Hauptliste->setObjectName(QStringLiteral("Hauptliste"));
    Hauptliste->setAccessibleName(QStringLiteral("Tarifversionen"));
    Hauptliste->setDataSource(
        d->Orthaupt_Q, {{QStringLiteral("Nr"), QStringLiteral("Tarif"), QString(), false, 60},
                        {QStringLiteral("Anfang"), QStringLiteral("Beginn"),
                         QStringLiteral("dd.mm.yyyy"), false, 100},
                        {QStringLiteral("Ende"), QStringLiteral("Ende"),
                         QStringLiteral("dd.mm.yyyy"), false, 100}});
    Hauptliste->horizontalHeader()->setStretchLastSection(true);
    Hauptliste->installEventFilter(this);
    left->addWidget(Hauptliste, 1);

    auto* tarifGroup = new QGroupBox(QStringLiteral("Tarif"), Hauptpanel);
    auto* form = new QFormLayout(tarifGroup);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto edit = [&](const char* name, const QString& label, const char* field, bool amount) {
        auto* e = new QLineEdit(tarifGroup);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaximumWidth(120);
        e->setAlignment(Qt::AlignRight);
        FieldBinding* b =
            FieldBinding::bind(d->TarifQuelle, QString::fromLatin1(field), e, dialogs);
        if (amount)
            b->setMask(kAmountMask);
        form->addRow(label, e);
        return e;
    };
    EditMehrwertsteuer =
        edit("EditMehrwertsteuer", QStringLiteral("MWST"), "Mehrwertsteuer", false);
    EditAnkleiden = edit("EditAnkleiden", QStringLiteral("Ankleiden"), "Ankleiden", true);
    EditNacht = edit("EditNacht", QStringLiteral("Nacht"), "Nacht", true);
    EditFeiertag = edit("EditFeiertag", QStringLiteral("Feiertag"), "Feiertag", true);
    EditKuehlung = edit("EditKuehlung", QStringLiteral("Kühlung"), "Kuehlung", true);
    EditUhuelle = edit("EditUhuelle", QStringLiteral("U-Hülle"), "UHuelle", true);
    editcovid19 = edit("editcovid19", QStringLiteral("Covid19"), "Covid19", true);
    Waehrungbox = new QComboBox(tarifGroup);
    Waehrungbox->setObjectName(QStringLiteral("Waehrungbox"));
    Waehrungbox->addItems({QStringLiteral("EUR"), QStringLiteral("DM")});
    Waehrungbox->setMaximumWidth(120);
    FieldBinding::bind(d->TarifQuelle, QStringLiteral("Waehrung"), Waehrungbox, dialogs);
    form->addRow(QStringLiteral("Währung"), Waehrungbox);
    ltarif = new QLabel(tarifGroup);
    ltarif->setObjectName(QStringLiteral("ltarif"));
    QFont bold = ltarif->font();
    bold.setBold(true);
    ltarif->setFont(bold);
    form->addRow(ltarif);
    id_change = new QLineEdit(tarifGroup);
    id_change->setObjectName(QStringLiteral("id_change"));
    id_change->setVisible(false);
    FieldBinding::bind(d->Orthaupt_Q, QStringLiteral("ID"), id_change, dialogs)->setReadOnly(true);
    left->addWidget(tarifGroup);
    body->addWidget(Hauptpanel, 3);

    // --- middle: place amounts of the version ----------------------------------------------
    auto* middle = new QVBoxLayout;
    auto* eingabe = new QGroupBox(QStringLiteral("Eingabe"), this);
    auto* grid = new QGridLayout(eingabe);
    DBEdit2 = new QLineEdit(eingabe);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    FieldBinding::bind(d->Orte_Q, QStringLiteral("Ort"), DBEdit2, dialogs);
    betrag = new QLineEdit(eingabe);
    betrag->setObjectName(QStringLiteral("betrag"));
    betrag->setAlignment(Qt::AlignRight);
    betrag->setMaximumWidth(120);
    m_betragBinding = FieldBinding::bind(d->Orte_Q, QStringLiteral("Betrag"), betrag, dialogs);
    m_betragBinding->setMask(kAmountMask);
    betrag->installEventFilter(this);
    m_currency = new QLabel(eingabe);
    m_currency->setObjectName(QStringLiteral("DBText1"));
    m_currency->setFont(bold);
    DBNavigator1 = new DbNavigator(dialogs, eingabe);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    for (auto b : {DbNavigator::First, DbNavigator::Prior, DbNavigator::Next, DbNavigator::Last,
                   DbNavigator::Insert, DbNavigator::Delete})
        DBNavigator1->setButtonVisible(b, false);
    DBNavigator1->setDataSource(d->Orte_Q);
    erhoehung = new QLineEdit(QStringLiteral("5"), eingabe);
    erhoehung->setObjectName(QStringLiteral("erhoehung"));
    erhoehung->setAlignment(Qt::AlignRight);
    erhoehung->setMaximumWidth(60);
    SpeedButton1 = new QToolButton(eingabe);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("++"));
    SpeedButton1->setToolTip(QStringLiteral("Beträge um die Erhöhung anheben"));
    SpeedButton1->setAccessibleName(SpeedButton1->toolTip());
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton1Click(); }); });

    auto labelFor = [eingabe](const QString& text, QWidget* field) {
        auto* l = new QLabel(text, eingabe);
        l->setBuddy(field);
        return l;
    };
    grid->addWidget(labelFor(QStringLiteral("Ort"), DBEdit2), 0, 0);
    grid->addWidget(DBEdit2, 0, 1, 1, 3);
    grid->addWidget(labelFor(QStringLiteral("Betrag"), betrag), 1, 0);
    grid->addWidget(betrag, 1, 1);
    grid->addWidget(m_currency, 1, 2);
    grid->addWidget(DBNavigator1, 1, 3, Qt::AlignLeft);
    grid->addWidget(labelFor(QStringLiteral("Erhöhung"), erhoehung), 2, 0);
    auto* raiseRow = new QHBoxLayout;
    raiseRow->addWidget(erhoehung);
    raiseRow->addWidget(SpeedButton1);
    raiseRow->addStretch();
    grid->addLayout(raiseRow, 2, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    middle->addWidget(eingabe);

    auto* tabelle = new QGroupBox(QStringLiteral("Tabelle"), this);
    auto* tabelleLayout = new QVBoxLayout(tabelle);
    Orteliste = new DbGrid(dialogs, tabelle);
    Orteliste->setObjectName(QStringLiteral("Orteliste"));
    Orteliste->setAccessibleName(QStringLiteral("Ortsbeträge"));
    Orteliste->setReadOnly(true);
    Orteliste->setDataSource(
        d->Orte_Q, {{QStringLiteral("Ort"), QStringLiteral("Ort"), QString(), true, 260},
                    {QStringLiteral("Betrag"), QStringLiteral("Betrag"), kAmountMask, true, 100}});
    // The place names take the room; the amount column keeps its width.
    Orteliste->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Orteliste->installEventFilter(this);
    tabelleLayout->addWidget(Orteliste);
    middle->addWidget(tabelle, 1);
    body->addLayout(middle, 4);

    // --- right: funeral directors of the group ---------------------------------------------
    DBGrid1 = new DbGrid(dialogs, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Bestatter dieser Tarifgruppe"));
    DBGrid1->setReadOnly(true);
    DBGrid1->setDataSource(AdressenQ,
                           {{QStringLiteral("Name"), QStringLiteral("Bestatter dieser Tarifgruppe"),
                             QString(), true, 0}});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    body->addWidget(DBGrid1, 2);

    connect(Tarifbox, &QComboBox::activated, this,
            [this] { guarded([this] { TarifboxChange(); }); });
    connect(id_change, &QLineEdit::textChanged, this, [this] { id_changeChange(); });
    // A period typed into the grid changes the status at once as well.
    connect(d->Orthaupt_Q, &DataSource::dataChange, this, [this](const QString& field) {
        if (field.isEmpty() || field.compare(QLatin1String("Anfang"), Qt::CaseInsensitive) == 0 ||
            field.compare(QLatin1String("Ende"), Qt::CaseInsensitive) == 0)
            id_changeChange();
    });
    connect(d->TarifQuelle, &DataSource::dataChange, this, [this] { showCurrency(); });
    connect(d->TarifQuelle, &DataSource::setChange, this, [this] { showCurrency(); });
}

bool TForm_Tarif::eventFilter(QObject* watched, QEvent* event) {
    if (watched == betrag && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            guarded([this] { betragKeyPress(); });
            return true;
        }
    }
    // Deleting a row from the grids goes through the commands, which ask first and remove
    // a version together with its surcharges and place amounts.
    if (watched == Hauptliste && isDeleteShortcut(event)) {
        guarded([this] { TloeschenClick(); });
        return true;
    }
    if (watched == Orteliste && isDeleteShortcut(event)) {
        guarded([this] { ortLoeschenClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm_Tarif::closeEvent(QCloseEvent* event) {
    // The window edits the shared tariff tables, which the trip rules price from: a change
    // typed here is stored now rather than left pending. A refused row keeps the window.
    try {
        TDaten_A* d = m_context.daten;
        for (Table* t : {d->Orthaupttab, d->Tariftab, d->Ortetab})
            if (t->isOpen())
                t->checkBrowseMode();
    } catch (const DbError& e) {
        if (!e.message().isEmpty() && m_context.dialogs)
            m_context.dialogs->error(e.message());
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

// --- handlers ------------------------------------------------------------------------------

void TForm_Tarif::FormCreate() {
    Adressen->open();
    fillTarifbox();
    Tarifbox->setCurrentIndex(0);
    id_changeChange();
    showCurrency();
}

void TForm_Tarif::fillTarifbox() {
    Tarifbox->clear();
    Tarifbox->addItem(QStringLiteral("(alle Tarife)"));
    for (int nr : m_ops->groupNumbers())
        Tarifbox->addItem(QString::number(nr));
}

void TForm_Tarif::FormActivate() {
    // Other windows leave filters on the shared versions (the valid version of a trip, a
    // report's selection); here only the group chosen in this window applies.
    TarifboxChange();
    if (ChildHost* h = host()) {
        h->bindNavigator(m_context.daten->Orthaupt_Q);
        DbNavigator* nav = h->navigator();
        nav->setAllButtonsVisible();
        for (auto b :
             {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Post, DbNavigator::Cancel})
            nav->setButtonVisible(b, false);
    }
    id_changeChange();
}

void TForm_Tarif::FormDeactivate() {
    if (ChildHost* h = host()) {
        h->releaseNavigator();
        h->navigator()->setAllButtonsVisible();
    }
}

void TForm_Tarif::FormClose() {
    if (stopActivation())
        FormDeactivate();
    if (ChildHost* h = host())
        h->releaseInstance(ChildKind::Tarif);
}

void TForm_Tarif::TarifboxChange() {
    Table* t = m_context.daten->Orthaupttab;
    const bool all = Tarifbox->currentIndex() <= 0;
    const QString filter = all ? QString() : QStringLiteral("Nr=") + Tarifbox->currentText();
    // Unchanged filters are left alone, so that the selected version stays selected when the
    // window comes back to the front.
    if (t->filter() == filter && t->filtered() == !all)
        return;
    t->setFilter(filter);
    t->setFiltered(!all);
}

void TForm_Tarif::id_changeChange() {
    Table* t = m_context.daten->Orthaupttab;
    if (!t->isOpen() || t->isEmpty()) {
        ltarif->clear();
        return;
    }
    const QDate anfang = t->field(QStringLiteral("Anfang")).asDateTime().date();
    const QDate ende = t->field(QStringLiteral("Ende")).asDateTime().date();
    const TariffOperations::Validity v = TariffOperations::validity(m_today(), anfang, ende);
    ltarif->setText(TariffOperations::validityText(v));
    QPalette p = ltarif->palette();
    p.setColor(QPalette::WindowText, TariffOperations::validityColor(v));
    ltarif->setPalette(p);
}

void TForm_Tarif::showCurrency() {
    Table* t = m_context.daten->Tariftab;
    m_currency->setText(
        t->isOpen() && !t->isEmpty() ? t->field(QStringLiteral("Waehrung")).asString() : QString());
}

void TForm_Tarif::TneuClick() {
    const std::optional<QString> answer = m_context.dialogs->inputText(
        QStringLiteral("Neuer Ortstarif"), QStringLiteral("Geben Sie hier die Tarif-Nummer ein!"),
        QString());
    if (!answer)
        return;
    const int nr = TariffOperations::parseTariffNumber(*answer);
    const int id = m_ops->newTariffGroup(nr);
    // A group chosen in the list may hide the new version: show all versions then.
    Table* t = m_context.daten->Orthaupttab;
    if (t->field(QStringLiteral("ID")).asInteger() != id) {
        Tarifbox->setCurrentIndex(0);
        TarifboxChange();
        t->locate(QStringLiteral("ID"), id);
    }
}

void TForm_Tarif::TkopieClick() {
    const int sourceId = m_ops->selectedVersionId();
    const std::optional<QString> answer = m_context.dialogs->inputText(
        QStringLiteral("Neuer Tarif"), QStringLiteral("Ab wann soll der neue Tarif gelten?"),
        Format::date(m_today(), QStringLiteral("dd.mm.yyyy")));
    if (!answer)
        return;
    const QDate start = TariffOperations::parseDate(*answer, m_today());
    const QString text = QStringLiteral("Der neue Tarif startet ab dem %1!")
                             .arg(Format::date(start, QStringLiteral("dd.mm.yyyy")));
    if (m_context.dialogs->message(text, MsgIcon::Information, MsgButtons::OkCancel) !=
        MsgResult::Ok)
        return;
    m_ops->copyVersion(sourceId, start);
}

void TForm_Tarif::TloeschenClick() {
    const int id = m_ops->selectedVersionId();
    Table* t = m_context.daten->Orthaupttab;
    const QString question =
        QStringLiteral("Wollen Sie den Ortstarif %1 vom %2 bis %3 wirklich löschen?")
            .arg(t->field(QStringLiteral("Nr")).asInteger())
            .arg(dateTimeText(t->value(QStringLiteral("Anfang"))),
                 dateTimeText(t->value(QStringLiteral("Ende"))));
    if (m_context.dialogs->message(question, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    m_ops->deleteVersion(id);
}

void TForm_Tarif::TarifDruckClick() {
    const int id = m_ops->selectedVersionId();
    Drucken launcher(m_context, this);
    if (host())
        launcher.setHelpHandler([this](int topic) { showHelp(topic); });
    launcher.DruckeTarifVersion(id, m_ops->selectedGroupNumber());
}

void TForm_Tarif::ToolButton2Click() {
    const int id = m_ops->selectedVersionId();
    const QString folder = m_context.programFolder + QStringLiteral("export/");
    QDir().mkpath(folder);
    QString file = m_context.dialogs->saveFileName(
        QStringLiteral("Speichern unter"),
        folder + QStringLiteral("tarif%1.txt").arg(m_ops->selectedGroupNumber()),
        QStringLiteral("Textdateien|*.txt|Alle Dateien|*.*"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".txt");
    m_ops->exportAmounts(id, file);
}

void TForm_Tarif::OrtneuClick() {
    m_ops->selectedVersionId(); // a place row needs a version to belong to
    DBEdit2->setFocus();
    m_context.daten->Ortetab->append();
}

void TForm_Tarif::ortLoeschenClick() {
    Table* t = m_context.daten->Ortetab;
    if (!t->isOpen() || t->isEmpty())
        return;
    if (t->state() == TableState::Insert) {
        t->cancel();
        return;
    }
    const QString question = QStringLiteral("Wollen Sie den Ort \"%1\" wirklich löschen?")
                                 .arg(t->field(QStringLiteral("Ort")).asString());
    if (m_context.dialogs->message(question, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    t->remove();
}

void TForm_Tarif::SpeedButton1Click() {
    const double amount = TariffOperations::parseRaise(erhoehung->text());
    m_ops->raiseAmounts(m_ops->selectedVersionId(), amount);
}

void TForm_Tarif::betragKeyPress() {
    if (!m_betragBinding->commit())
        return;
    Table* t = m_context.daten->Ortetab;
    if (!t->isOpen())
        return;
    t->checkBrowseMode();
    t->next();
    betrag->selectAll();
}

void TForm_Tarif::BTHilfeClick() {
    showHelp(HelpContext);
}

} // namespace kilvaro
