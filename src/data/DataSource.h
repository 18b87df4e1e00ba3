#pragma once

#include <QObject>
#include <QPointer>

#include "data/Table.h"

namespace kilvaro {


/// The link between a table object and the controls bound to it (grids, edit fields, the
/// record navigator). Forwards the table's notifications; its own data-change handlers
/// hang on dataChange.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Table* table = nullptr, QObject* parent = nullptr);
    Table* table() const { return m_table; }
    void setTable(Table* table);

signals:
    void dataChange(const QString& field);
    void stateChange();
    void setChange();

private:
    QPointer<Table> m_table;
};

} // namespace kilvaro
