#include "reports/TableRecordSource.h"

#include "data/Table.h"

namespace kilvaro {

void TableRecordSource::first() {
    if (m_table->isOpen())
        m_table->first();
}

void TableRecordSource::next() {
    m_table->next();
}

bool TableRecordSource::eof() const {
    return !m_table->isOpen() || m_table->isEmpty() || m_table->eof();
}

QVariant TableRecordSource::value(const QString& field) const {
    if (!m_table->isOpen() || !m_table->hasField(field))
        return {};
    return m_table->value(field);
}

QStringList TableRecordSource::fieldNames() const {
    return m_table->isOpen() ? m_table->fieldNames() : QStringList();
}

int TableRecordSource::recordCount() const {
    return m_table->isOpen() ? m_table->recordCount() : 0;
}

} // namespace kilvaro
