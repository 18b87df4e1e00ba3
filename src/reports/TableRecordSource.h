#pragma once

#include "reports/RecordSource.h"

namespace kilvaro {

class Table;

/// A table object as a report's data set, as it is currently ordered, filtered and linked.
/// The report moves the table's current row, so detail tables linked to it follow each
/// record (that is how a sub-detail over a linked table shows the rows of the current
/// master). Control updates are suspended while the report runs. Not owned.
class TableRecordSource : public RecordSource {
public:
    explicit TableRecordSource(Table* table) : m_table(table) {}

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString& field) const override;
    QStringList fieldNames() const override;
    int recordCount() const override;

private:
    Table* m_table;
};

} // namespace kilvaro
