#include "data/DataSource.h"

#include "data/Table.h"

namespace kilvaro {

DataSource::DataSource(Table* table, QObject* parent) : QObject(parent) { setTable(table); }

void DataSource::setTable(Table* table) {
    if (m_table)
        disconnect(m_table, nullptr, this, nullptr);
    m_table = table;
    if (!table)
        return;
    connect(table, &Table::dataChanged, this, &DataSource::dataChange);
    connect(table, &Table::stateChanged, this, &DataSource::stateChange);
    connect(table, &Table::setChanged, this, &DataSource::setChange);
}

} // namespace kilvaro
