#pragma once

#include "data/SqlAst.h"
#include "data/SqlTranslator.h"

#include <QSet>

namespace kilvaro::sql {

/// Resolves a parsed text against the schema (names without regard to case, types for
/// text `+` and date comparisons) and writes the backend's SQL. Throws sql::Error.
///
/// What differs between the backends is kept in the functions of the section "backend
/// specifics" of SqlEmitter.cpp.
class SqlEmitter {
public:
    SqlEmitter(const SchemaInfo& schema, SqlBackend backend);

    Translation statement(const Statement& statement);
    QString condition(const ExprPtr& condition, const QString& table);
    QString order(const QList<OrderItem>& items, const QString& table);

private:
    struct Source {
        const TableInfo* table = nullptr;
        QString alias;
    };
    struct Scope {
        QList<Source> sources;
        bool qualify = true; ///< write "Table"."Column" (SELECT) or "Column" alone
    };
    /// One translated expression: its SQL, inferred type and binding strength.
    struct Out {
        QString sql;
        ColumnType type = ColumnType::Unknown;
        int precedence = 0;
        bool aggregate = false;  ///< contains an aggregate function
        bool concat = false;     ///< a text join (||)
        bool fromOutput = false; ///< an output column named in ORDER BY/GROUP BY/HAVING
        QString columnName;      ///< canonical name of a plain column reference
    };
    struct Output {
        QString name;
        Out out;
    };
    enum class Clause { Select, From, Where, GroupBy, Having, OrderBy, Value, Condition };
    struct Ctx {
        const Scope* scope = nullptr;
        Clause clause = Clause::Where;
        const QList<Output>* outputs = nullptr;
        bool inAggregate = false;
    };

    const TableInfo* table(const QString& name, int position) const;
    QString selectSql(const Select& select, QList<Output>* outputs);
    Out expr(const Expr& e, Ctx& ctx);
    Out column(const Expr& e, Ctx& ctx);
    Out binary(const Expr& e, Ctx& ctx);
    Out function(const Expr& e, Ctx& ctx);
    Out conditionOut(const Expr& e, Ctx& ctx);
    /// Converts a literal to the stored form of a column type it is compared with or
    /// assigned to (a date text to the stored date, a number to a boolean).
    void coerce(const Expr& e, Out& out, ColumnType target) const;
    void checkGrouped(const Expr& e, Ctx& ctx, const QSet<QString>& groups);
    QString wrap(const Out& o, int precedence, bool right) const;

    // backend specifics
    QString boolLiteral(bool value) const;
    QString dateLiteral(const QDateTime& value) const;
    QString textLiteral(const QString& value) const;
    QString datePart(const QString& part, const QString& sql) const;
    QString likeOperator(bool negated) const;
    QString floatDivision(const Out& left, const Out& right) const;
    QString asCondition(const Out& o) const;
    QString columnDefinition(ColumnType type, int size) const;

    const SchemaInfo& m_schema;
    SqlBackend m_backend;
};

} // namespace kilvaro::sql
