#include "masterdata/ui/TForm_Ortsliste.h"

#include "base/DialogService.h"
#include "base/ui/ChildWindowRegistry.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "masterdata/PlaceListOperations.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kilvaro {

TForm_Ortsliste::TForm_Ortsliste(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    setObjectName(QStringLiteral("TForm_Ortsliste"));
    setWindowTitle(QStringLiteral("Ortsliste"));
    TDaten_A* d = m_context.daten;
    m_ops = new PlaceListOperations(*d);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    Gitter = new DbGrid(m_context.dialogs, this);
    Gitter->setAccessibleName(QStringLiteral("Ortsliste"));
    Gitter->setObjectName(QStringLiteral("Gitter"));
    Gitter->setDataSource(d->Ortsliste_Q,
                          {{QStringLiteral("Ort"), QStringLiteral("Ort"), QString(), false, 0}});
    Gitter->horizontalHeader()->setStretchLastSection(true);
    Gitter->installEventFilter(this);
    layout->addWidget(Gitter, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* name, const QString& caption,
                                  void (TForm_Ortsliste::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        buttons->addWidget(b);
        return b;
    };
    neu = button("neu", QStringLiteral("&neuer Ort"), &TForm_Ortsliste::neuClick);
    loeschen = button("loeschen", QStringLiteral("Ort &löschen"), &TForm_Ortsliste::loeschenClick);
    buttons->addStretch();
    Hilfe = button("Hilfe", QStringLiteral("&Hilfe"), &TForm_Ortsliste::HilfeClick);
    layout->addLayout(buttons);

    Status = new QStatusBar(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setSizeGripEnabled(false);
    m_panel0 = new QLabel(Status);
    m_panel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_panel0->setMinimumWidth(120);
    m_panel1 = new QLabel(Status);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    Status->addWidget(m_panel0);
    Status->addWidget(m_panel1, 1);
    layout->addWidget(Status);

    // The data module's data-change rule writes the count here while this window exists.
    d->placeListStatus = [this](const QString& text) { showStatus(text); };
    showStatus(m_ops->statusText());
}

TForm_Ortsliste::~TForm_Ortsliste() {
    // After FormClose a new place-list window may already own the sink.
    if (!m_closed && m_context.daten)
        m_context.daten->placeListStatus = nullptr;
    delete m_ops;
}

void TForm_Ortsliste::showStatus(const QString& text) {
    m_panel0->setText(text);
}

bool TForm_Ortsliste::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Del in the grid asks first, like the delete button.
    if (watched == Gitter && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            guarded([this] { loeschenClick(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm_Ortsliste::closeEvent(QCloseEvent* event) {
    try {
        FormClose();
    } catch (const DbError& e) {
        // A renamed place that cannot be stored keeps the window open, so nothing is lost.
        if (!e.message().isEmpty() && m_context.dialogs)
            m_context.dialogs->error(e.message());
        event->ignore();
        return;
    }
    event->accept();
}

void TForm_Ortsliste::FormActivate() {
    bindNavigator(m_context.daten->Ortsliste_Q);
    showStatus(m_ops->statusText());
}

void TForm_Ortsliste::FormDeactivate() {
    releaseNavigator();
}

void TForm_Ortsliste::FormClose() {
    Table* t = m_context.daten->Ortslistetab;
    if (t->isOpen() && t->isEditing())
        t->post();
    if (stopActivation())
        releaseNavigator();
    m_context.daten->placeListStatus = nullptr;
    m_closed = true;
    if (ChildHost* h = host())
        h->releaseInstance(ChildKind::Ortsliste);
}

void TForm_Ortsliste::neuClick() {
    const std::optional<QString> place = m_context.dialogs->inputText(
        QStringLiteral("Neuen Ort eingeben"), QStringLiteral("Ort:"), QString());
    if (!place)
        return;
    m_ops->addPlace(*place);
}

void TForm_Ortsliste::loeschenClick() {
    Table* t = m_context.daten->Ortslistetab;
    if (!t->isOpen() || t->isEmpty())
        return;
    const QString question = QStringLiteral("Wollen Sie wirklich den Ort %1 löschen?")
                                 .arg(t->field(QStringLiteral("Ort")).asString());
    if (m_context.dialogs->message(question, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    m_ops->deleteCurrentPlace();
}

void TForm_Ortsliste::HilfeClick() {
    showHelp(HelpContext);
}

} // namespace kilvaro
