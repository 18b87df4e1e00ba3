#pragma once

#include "data/SchemaInfo.h"
#include "data/TableRow.h"

#include <QHash>
#include <QPointer>
#include <QStringList>

namespace kilvaro {

class Connection;
class Table;

enum class FieldKind { Stored, Calculated, Lookup };

struct FieldPos {
    FieldKind kind = FieldKind::Stored;
    int index = -1;
};

/// The fields of a table object: its stored columns, the calculated fields (values set by
/// the table's calculate-fields handler) and the lookup fields (a value of another table's
/// row, read once per lookup table and kept until that table changes).
class FieldComputations {
public:
    explicit FieldComputations(Connection* connection) : m_connection(connection) {}

    /// Hash key a value is matched by: numbers by value, texts without regard to case;
    /// empty for null.
    static QString matchKey(const QVariant& value);

    // --- the fields ---------------------------------------------------------------------
    void setColumns(const QList<ColumnInfo>& columns);
    const QList<ColumnInfo>& columns() const { return m_columns; }
    void addCalculated(const QString& name, ColumnType type);
    void addLookup(const QString& name, const QString& keyField, Table* lookupTable,
                   const QString& lookupKeyField, const QString& resultField);
    int calculatedCount() const { return int(m_calcFields.size()); }
    /// Stored, then calculated, then lookup fields.
    QStringList names() const;
    bool contains(const QString& name) const;
    /// Throws DbError for an unknown field.
    FieldPos find(const QString& name) const;
    ColumnType type(FieldPos pos) const;

    // --- values -------------------------------------------------------------------------
    /// A row of a new record: booleans false, everything else null.
    TableRow emptyRow() const;
    /// A field of a row; a lookup table is read when first needed.
    QVariant valueOf(const TableRow& row, FieldPos pos);
    /// A value as the field of that type stores it (an empty text becomes null).
    static QVariant normalized(const QVariant& value, ColumnType type);
    /// Empties the calculated values of a row before they are computed again.
    void clearCalculated(TableRow& row) const;

    // --- lookup tables ------------------------------------------------------------------
    /// Every lookup table is read again when next needed.
    void invalidateLookups();
    /// A table was written: its lookups are read again when next needed. True when this
    /// object has one.
    bool tableChanged(const QString& tableName);

private:
    struct CalcField {
        QString name;
        ColumnType type;
    };
    struct LookupField {
        QString name;
        QString keyField;
        QPointer<Table> lookupTable;
        QString lookupTableName;
        QString lookupKeyField;
        QString resultField;
        ColumnType type = ColumnType::Text;
        bool valid = false;
        QHash<QString, QVariant> map;
    };

    void rebuildIndex();
    void loadLookup(LookupField& lookup);
    QVariant lookupValue(int index, const TableRow& row);

    Connection* m_connection;
    QList<ColumnInfo> m_columns;
    QList<CalcField> m_calcFields;
    QList<LookupField> m_lookups;
    QHash<QString, FieldPos> m_index; // folded name -> position
};

} // namespace kilvaro
