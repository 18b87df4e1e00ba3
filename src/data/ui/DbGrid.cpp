#include "data/ui/DbGrid.h"

#include "base/DialogService.h"
#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/Table.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace kilvaro {

DbGrid::DbGrid(DialogService* dialogs, QWidget* parent) : QTableView(parent), m_dialogs(dialogs) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
}

void DbGrid::setDataSource(DataSource* source, const QList<TableModel::Column>& columns) {
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
        if (m_source->table())
            m_source->table()->removeUpdateRecordHooks(this);
    }
    QAbstractItemModel* old = model();
    m_source = source;
    m_model = nullptr;
    Table* table = source ? source->table() : nullptr;
    if (table) {
        m_model = new TableModel(table, this);
        m_model->setReadOnly(m_readOnly);
        m_model->setToday(m_today);
        if (columns.isEmpty())
            m_model->setAllColumns();
        else
            m_model->setColumns(columns);
        connect(m_model, &TableModel::writeFailed, this, [this](const QString& message) {
            // During a store the refusal stops the store and is reported by its caller.
            if (m_storing) {
                m_refused = true;
                m_refusal = message;
                return;
            }
            if (!message.isEmpty())
                m_dialogs->error(message);
        });
        connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::syncFromTable);
        connect(source, &DataSource::dataChange, this, [this](const QString& field) {
            if (field.isEmpty())
                syncFromTable();
        });
        connect(source, &DataSource::setChange, this, &DbGrid::syncFromTable);
        // A store takes the text of a cell still being typed, as it does for edit fields;
        // otherwise closing a window or the navigator's store would drop it.
        table->addUpdateRecordHook(this, [this] { commitOpenEditor(); });
    }
    setModel(m_model);
    if (old && old->parent() == this)
        old->deleteLater();
    if (m_model) {
        connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &DbGrid::onCurrentRowChanged);
        for (int i = 0; i < m_model->columns().size(); ++i)
            if (m_model->columns()[i].width > 0)
                setColumnWidth(i, m_model->columns()[i].width);
    }
    syncFromTable();
}

void DbGrid::commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState)
        return;
    // The cell editors are the viewport's only child widgets; a closed one is hidden until
    // it is deleted.
    const QList<QWidget*> editors = viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* editor : editors) {
        if (editor->isHidden())
            continue;
        m_storing = true;
        m_refused = false;
        commitData(editor);
        m_storing = false;
        // A refused text stays in its cell for the user to correct; the row is not stored.
        if (m_refused) {
            if (m_refusal.isEmpty())
                throw AbortError();
            throw DbError(m_refusal);
        }
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DbGrid::setToday(std::function<QDate()> today) {
    m_today = std::move(today);
    if (m_model)
        m_model->setToday(m_today);
}

void DbGrid::setReadOnly(bool on) {
    m_readOnly = on;
    if (m_model)
        m_model->setReadOnly(on);
}

QList<int> DbGrid::columnWidths() const {
    QList<int> out;
    const int n = m_model ? m_model->columnCount() : 0;
    for (int i = 0; i < n; ++i)
        out << columnWidth(i);
    return out;
}

void DbGrid::setColumnWidths(const QList<int>& widths) {
    const int n = m_model ? m_model->columnCount() : 0;
    for (int i = 0; i < n && i < widths.size(); ++i)
        if (widths[i] > 0)
            setColumnWidth(i, widths[i]);
}

void DbGrid::syncFromTable() {
    if (m_syncing || !m_model || !m_source || !m_source->table())
        return;
    Table* table = m_source->table();
    // The model resets after the data source announces a new set; it calls again then.
    if (m_model->rowCount() != table->recordCount())
        return;
    const int row = table->recNo();
    m_syncing = true;
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex index = m_model->index(row, column);
        if (currentIndex().row() != row || !selectionModel()->isRowSelected(row, {})) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
        }
        scrollTo(index);
    }
    m_syncing = false;
}

void DbGrid::onCurrentRowChanged(const QModelIndex& current, const QModelIndex&) {
    if (m_syncing || !current.isValid() || !m_source || !m_source->table())
        return;
    Table* table = m_source->table();
    if (table->recNo() == current.row())
        return;
    try {
        table->setRecNo(current.row());
    } catch (const DbError& e) {
        if (!e.message().isEmpty())
            m_dialogs->error(e.message());
    }
    // A refused move (the pending row could not be stored) selects the table's row again.
    if (table->recNo() != current.row())
        syncFromTable();
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && state() != QAbstractItemView::EditingState && m_source &&
        m_source->table() && m_source->table()->isEditing()) {
        m_source->table()->cancel();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool DbGrid::focusNextPrevChild(bool next) {
    // Hiding the focus widget asks it for the next focus; the item view would answer with a
    // Tab of its own and move the current row (a list hidden by its own click would then
    // report the row after the one clicked).
    if (!isVisible())
        return QWidget::focusNextPrevChild(next);
    return QTableView::focusNextPrevChild(next);
}

} // namespace kilvaro
