#pragma once

#include <QList>
#include <QString>

namespace kilvaro {

/// Column types of the stored tables, as the old engine knew them.
enum class ColumnType {
    Unknown,
    Text,     ///< text(n)
    Memo,     ///< long text
    Integer,  ///< 32-bit integer
    SmallInt, ///< 16-bit integer
    AutoInc,  ///< integer key assigned on insert
    Float,    ///< 64-bit float (amounts)
    Currency, ///< money column (stored as float)
    DateTime, ///< date and/or time of day
    Boolean   ///< yes/no, never null
};

bool isNumeric(ColumnType t);
bool isTextual(ColumnType t);

struct ColumnInfo {
    QString name; ///< as stored (canonical spelling)
    ColumnType type = ColumnType::Unknown;
    int size = 0; ///< text length, 0 where it does not apply
};

struct TableInfo {
    QString name; ///< as stored
    QList<ColumnInfo> columns;

    /// Column by name without regard to case; nullptr when unknown.
    const ColumnInfo* column(const QString& name) const;
};

/// The tables and columns of a database, looked up without regard to case.
class SchemaInfo {
public:
    void addTable(const TableInfo& table);
    void clear() { m_tables.clear(); }
    const TableInfo* table(const QString& name) const;
    const QList<TableInfo>& tables() const { return m_tables; }

private:
    QList<TableInfo> m_tables;
};

/// Declared SQL type name used in CREATE TABLE / ALTER TABLE for a column type, and back.
QString declaredTypeName(ColumnType type, int size);
ColumnType columnTypeFromDeclared(const QString& declared, int* size = nullptr);

} // namespace kilvaro
