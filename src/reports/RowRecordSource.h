#pragma once

#include "reports/RecordSource.h"

#include <QList>

namespace kilvaro {

/// Rows held in memory: for reports whose rows are computed in code, and for tests.
class RowRecordSource : public RecordSource {
public:
    RowRecordSource() = default;
    /// Each row maps field names to values; the field names are those of all rows together.
    explicit RowRecordSource(QList<QVariantMap> rows);

    void setRows(QList<QVariantMap> rows);
    void addRow(const QVariantMap& row);
    const QList<QVariantMap>& rows() const { return m_rows; }

    void first() override { m_pos = 0; }
    void next() override {
        if (m_pos < m_rows.size())
            ++m_pos;
    }
    bool eof() const override { return m_pos >= m_rows.size(); }
    QVariant value(const QString& field) const override;
    QStringList fieldNames() const override { return m_names; }
    int recordCount() const override { return int(m_rows.size()); }

private:
    QList<QVariantMap> m_rows; ///< keys stored in lower case
    QStringList m_names;
    qsizetype m_pos = 0;
};

} // namespace kilvaro
