#pragma once

#include "data/SchemaInfo.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

namespace kilvaro {

class Connection;

/// A query object: SQL text in the old dialect (set as one text or as lines), opened as a
/// read-only record set or executed as a statement. The rows of an open SELECT are read
/// at once; values come typed by the schema (dates as QDateTime, booleans as bool).
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(Connection* connection, QObject* parent = nullptr);

    void setSql(const QString& text);
    void setLines(const QStringList& lines); ///< joined with line breaks
    void addLine(const QString& line);
    QString sql() const { return m_sql; }
    void clear() {
        close();
        m_sql.clear();
        m_params.clear();
    }
    /// Values bound, in order, to the "?" placeholders of the text: values typed by a user
    /// reach the database this way, never pasted into the text. A new text (setSql,
    /// setLines) drops them.
    void setParams(const QVariantList& values) {
        close();
        m_params = values;
    }
    const QVariantList& params() const { return m_params; }

    /// Runs a SELECT; throws DbError (message with the translator's or the engine's text).
    void open();
    void close();
    bool isOpen() const { return m_open; }
    /// Runs a statement that returns no rows; result: rows affected.
    int exec();

    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    int recordCount() const { return int(m_rows.size()); }
    int recNo() const { return m_pos; }
    void setRecNo(int row);

    QStringList fieldNames() const;
    ColumnType fieldType(const QString& name) const;
    bool hasField(const QString& name) const;
    int fieldIndex(const QString& name) const; ///< -1 when unknown (without regard to case)
    QVariant value(const QString& field) const;
    QVariant valueAt(int row, int column) const;

private:
    Connection* m_connection;
    QString m_sql;
    QVariantList m_params;
    bool m_open = false;
    QStringList m_names;
    QList<ColumnType> m_types;
    QList<QVariantList> m_rows;
    int m_pos = 0;
    bool m_bof = true;
    bool m_eof = true;
};

} // namespace kilvaro
