#include "masterdata/ui/Tfplzedit.h"

#include "base/DialogService.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/PlzImport.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

Tfplzedit::Tfplzedit(const AppContext& context, ChildHost* host, QWidget* parent)
    : ChildWindow(context, host, parent) {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    setObjectName(QStringLiteral("fplzedit"));
    setWindowTitle(QStringLiteral("PLZ bearbeiten"));
    FormCreate();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* bar = new QHBoxLayout;
    DBNavigator1 = new DbNavigator(m_context.dialogs, this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setDataSource(m_context.daten->PLZ1);
    bar->addWidget(DBNavigator1);
    bar->addSpacing(16);
    Import = new QToolButton(this);
    Import->setObjectName(QStringLiteral("Import"));
    Import->setText(QStringLiteral("Import"));
    Import->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    Import->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addWidget(Import);
    bar->addStretch(1);
    layout->addLayout(bar);

    DBGrid1 = new DbGrid(m_context.dialogs, this);
    DBGrid1->setAccessibleName(QStringLiteral("Postleitzahlen"));
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(m_context.daten->PLZ1,
                           {{QStringLiteral("PLZ"), {}, {}, false, 90},
                            {QStringLiteral("Rechtsrheinisch"), {}, {}, false, 120}});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGrid1, 1);

    connect(Import, &QToolButton::clicked, this, [this] { guarded([this] { ImportClick(); }); });
}

void Tfplzedit::FormCreate() {
    m_context.daten->plz->open();
}

void Tfplzedit::ImportClick() {
    Table* plz = m_context.daten->plz;
    const QString path = m_context.dialogs->openFileName(QString(), m_context.programFolder,
                                                         QStringLiteral("alle Dateien|*.*"));
    if (path.isEmpty())
        return;
    // The new rows are added behind the table object's back; a row being typed is stored
    // first so that the re-read does not drop it.
    plz->checkBrowseMode();
    PlzImport::Result result;
    try {
        result = PlzImport::importFile(*m_context.daten->Database, path);
    } catch (const DbError&) {
        plz->refresh();
        throw;
    }
    plz->refresh();
    if (result.stopped())
        m_context.dialogs->error(result.message());
}

void Tfplzedit::closeEvent(QCloseEvent* event) {
    Table* plz = m_context.daten->plz;
    try {
        plz->checkBrowseMode();
    } catch (const DbError& e) {
        if (!e.message().isEmpty())
            m_context.dialogs->error(e.message());
        event->ignore();
        return;
    }
    plz->close();
    if (ChildHost* h = host())
        h->releaseInstance(ChildKind::Plz);
    event->accept();
}

} // namespace kilvaro
