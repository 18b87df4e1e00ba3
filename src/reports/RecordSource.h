#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace kilvaro {

/// The data set a report (or one of its sub-details) runs over: rows of named values with
/// a cursor. Adapters exist for in-memory rows (RowRecordSource), query objects
/// (QueryRecordSource) and table objects (TableRecordSource).
///
/// The engine calls first() once, then reads values and calls next() until eof(). Field
/// names are compared without regard to case by every adapter.
class RecordSource {
public:
    virtual ~RecordSource() = default;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    /// The value of a field of the current row; an invalid QVariant for an unknown field.
    virtual QVariant value(const QString& field) const = 0;
    virtual QStringList fieldNames() const = 0;
    /// Rows in the set, or -1 when unknown (only used for the progress figure).
    virtual int recordCount() const { return -1; }

    /// The current row as a map (field name -> value), e.g. to keep the last row of a group.
    QVariantMap currentRecord() const {
        QVariantMap m;
        for (const QString& f : fieldNames())
            m.insert(f.toLower(), value(f));
        return m;
    }
};

} // namespace kilvaro
