#include "reports/QueryRecordSource.h"

#include "data/Query.h"

namespace kilvaro {

void QueryRecordSource::first() {
    if (m_query->isOpen())
        m_query->first();
}

void QueryRecordSource::next() {
    m_query->next();
}

bool QueryRecordSource::eof() const {
    return !m_query->isOpen() || m_query->eof();
}

QVariant QueryRecordSource::value(const QString& field) const {
    if (!m_query->isOpen() || m_query->fieldIndex(field) < 0)
        return {};
    return m_query->value(field);
}

QStringList QueryRecordSource::fieldNames() const {
    return m_query->isOpen() ? m_query->fieldNames() : QStringList();
}

int QueryRecordSource::recordCount() const {
    return m_query->isOpen() ? m_query->recordCount() : 0;
}

} // namespace kilvaro
