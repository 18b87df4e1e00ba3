#include "masterdata/ui/TForm_Preisliste.h"

#include "base/DialogService.h"
#include "app/ui/TForm_Main.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/ui/ChildActivation.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QVBoxLayout>

namespace kilvaro {

TForm_Preisliste::TForm_Preisliste(const AppContext& context, TForm_Main* main)
    : QWidget(main), m_context(context), m_main(main) {
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

    m_activation = new ChildActivation(
        this, [this] { FormActivate(); }, [this] { FormDeactivate(); });
    resize(700, 450);
}

void TForm_Preisliste::FormActivate() {
    if (m_main)
        m_main->SetNavigatorSource(m_context.daten->PreisQuelle);
}

void TForm_Preisliste::FormDeactivate() {
    // Another child may have bound the navigator already.
    if (m_main && m_main->navigator()->dataSource() == m_context.daten->PreisQuelle)
        m_main->ClearNavigatorSource();
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
    if (m_main) {
        FormDeactivate();
        m_main->childWindows().release(ChildKind::Preisliste);
    }
    event->accept();
}

void TForm_Preisliste::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && m_main) {
        m_main->ShowHelp(HelpContext);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kilvaro
