#pragma once

#include "data/DataSource.h"
#include "data/TableModel.h"

#include <QPointer>
#include <QTableView>

namespace kilvaro {

class DataSource;
class DialogService;

/// A grid over the table of a data source. The selected row is the table's current row:
/// clicking a row moves the table, moving the table selects the row. Cells write through
/// the table; refusals are shown through the dialog service. Escape cancels the pending
/// edit of the row.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(DialogService* dialogs, QWidget* parent = nullptr);

    /// Binds the grid; with no columns every field of the table is shown.
    void setDataSource(DataSource* source, const QList<TableModel::Column>& columns = {});
    DataSource* dataSource() const { return m_source; }
    TableModel* tableModel() const { return m_model; }
    void setReadOnly(bool on);
    /// "Today" for dates typed into cells with a two-digit year; the system date unless set.
    void setToday(std::function<QDate()> today);

    /// Column widths in pixels (for the per-user settings).
    QList<int> columnWidths() const;
    void setColumnWidths(const QList<int>& widths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    /// A grid hidden while it has the focus passes the focus on; it never takes that as a
    /// Tab inside the grid, which would move the table to the next row.
    bool focusNextPrevChild(bool next) override;

public:
    /// Writes the text of an open cell editor into the row and closes the editor; throws
    /// DbError (the store stops, the editor stays open) when the field refuses the text.
    void commitOpenEditor();

private:
    void syncFromTable();
    void onCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);
    DialogService* m_dialogs;
    QPointer<DataSource> m_source;
    TableModel* m_model = nullptr;
    bool m_syncing = false;
    bool m_readOnly = false;
    std::function<QDate()> m_today;
    bool m_storing = false; ///< an open cell is being written for a store
    bool m_refused = false;
    QString m_refusal;
};

} // namespace kilvaro
