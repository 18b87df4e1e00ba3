#pragma once

#include "reports/RecordSource.h"

namespace kilvaro {

class Query;

/// A query object as a report's data set. The query must be open; the report moves its
/// cursor. It is not owned.
class QueryRecordSource : public RecordSource {
public:
    explicit QueryRecordSource(Query* query) : m_query(query) {}

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString& field) const override;
    QStringList fieldNames() const override;
    int recordCount() const override;

private:
    Query* m_query;
};

} // namespace kilvaro
