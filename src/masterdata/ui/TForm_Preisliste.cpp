#include "masterdata/ui/TForm_Preisliste.h"

#include "base/DialogService.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QVBoxLayout>

namespace kilvaro {

TForm_Preisliste::TForm_Preisliste(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    setObjectName(QStringLiteral("Form_Preisliste"));
    setWindowTitle(QStringLiteral("Preisliste"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new DbGrid(m_context.dialogs, this);
    DBGrid1->setAccessibleName(QStringLiteral("Preisliste"));
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(
        m_context.daten->PreisQuelle,
        {{QStringLiteral("Ort"), {}, {}, false, 420},
         {QStringLiteral("Entfernung"), {}, {}, false, 110},
         {QStringLiteral("Richtpreis"), {}, QStringLiteral("#,##0.00"), false, 110}});
    DBGrid1->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(DBGrid1);

    resize(700, 450);
}

void TForm_Preisliste::FormActivate() {
    bindNavigator(m_context.daten->PreisQuelle);
}

void TForm_Preisliste::FormDeactivate() {
    // Another child may have bound the navigator already.
    releaseNavigator(m_context.daten->PreisQuelle);
}

void TForm_Preisliste::closeEvent(QCloseEvent* event) {
    Table* table = m_context.daten->Preistab;
    try {
        if (table->isOpen())
            table->checkBrowseMode();
    } catch (const DbError& e) {
        if (!e.message().isEmpty())
            m_context.dialogs->error(e.message());
        event->ignore();
        return;
    }
    stopActivation();
    FormDeactivate();
    if (ChildHost* h = host())
        h->releaseInstance(ChildKind::Preisliste);
    event->accept();
}

void TForm_Preisliste::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && host()) {
        showHelp(HelpContext);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kilvaro
