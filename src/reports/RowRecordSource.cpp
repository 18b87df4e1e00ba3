#include "reports/RowRecordSource.h"

namespace kilvaro {

RowRecordSource::RowRecordSource(QList<QVariantMap> rows) {
    setRows(std::move(rows));
}

void RowRecordSource::setRows(QList<QVariantMap> rows) {
    m_rows.clear();
    m_names.clear();
    m_pos = 0;
    for (const QVariantMap& row : rows)
        addRow(row);
}

void RowRecordSource::addRow(const QVariantMap& row) {
    QVariantMap lower;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        if (!m_names.contains(it.key(), Qt::CaseInsensitive))
            m_names.append(it.key());
        lower.insert(it.key().toLower(), it.value());
    }
    m_rows.append(lower);
}

QVariant RowRecordSource::value(const QString& field) const {
    if (m_pos < 0 || m_pos >= m_rows.size())
        return {};
    return m_rows.at(m_pos).value(field.toLower());
}

} // namespace kilvaro
