#pragma once

#include "data/SchemaInfo.h"

#include <QList>
#include <QString>

namespace kilvaro {

enum class SqlBackend { Sqlite, Postgres };

enum class StatementKind { Select, Insert, Update, Delete, AlterTable, Other };

struct ResultColumn {
    /// Output name: the alias; else, for a plain column, its stored spelling ("Personen" for
    /// `PERSONEN`); else the expression as written ("count(*)").
    QString name;
    ColumnType type = ColumnType::Unknown;    ///< inferred from the schema where possible
};

/// Result of translating a text written in the old engine's dialect.
struct Translation {
    bool ok = false;
    QString sql;   ///< backend SQL (a whole statement, a condition or an order list)
    QString error; ///< German message when !ok, naming the position and the problem
    StatementKind kind = StatementKind::Other;
    QString targetTable;          ///< canonical name of the table an INSERT/UPDATE/DELETE/ALTER writes
    QList<ResultColumn> columns;  ///< output columns of a SELECT (`*` expanded)
};

/// Turns filter texts, order texts and SQL statements of the old engine's dialect
/// (date literals #mm/dd/yyyy#, text constants in double quotes, `+` joining texts,
/// true/false, bare boolean columns, [bracketed names], names without regard to case)
/// into the backend's SQL. It parses the text; what it cannot understand is refused with
/// a message, never passed on half-translated.
class SqlTranslator {
public:
    explicit SqlTranslator(const SchemaInfo* schema, SqlBackend backend = SqlBackend::Sqlite);

    /// A whole statement: SELECT, INSERT, UPDATE, DELETE, ALTER TABLE ... ADD/DROP.
    Translation statement(const QString& text) const;
    /// A filter text of a table object ("Nr = 3 and Anfang <= #03/15/2021#"), its column
    /// names resolved against `table`. The result is an SQL boolean expression.
    Translation condition(const QString& filter, const QString& table) const;
    /// An order text of a table object ("[Nr] ASC, [Anfang] ASC") for `table`; the result is
    /// the ORDER BY list without the keywords.
    Translation order(const QString& orderText, const QString& table) const;

private:
    const SchemaInfo* m_schema;
    SqlBackend m_backend;
};

} // namespace kilvaro
