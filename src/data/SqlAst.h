#pragma once

#include "data/SchemaInfo.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

/// Plain data of the old dialect's parser: tokens, syntax tree and the parse error.
namespace kilvaro::sql {

/// A refusal while reading or resolving a text. `position` is 1-based (0: no position).
struct Error {
    int position = 0;
    QString message;
};

enum class TokenKind { Word, Name, Number, Text, Date, Param, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;     ///< word or name as written, number text, text value, symbol
    QDateTime date;   ///< for Date
    int position = 1; ///< 1-based character position in the text
    QString source;   ///< the token as written (for messages)
};

struct Expr;
using ExprPtr = std::shared_ptr<Expr>;

struct Expr {
    enum class Kind {
        Column, ///< qualifier (may be empty) and name
        Star,   ///< `*` inside Count(*)
        Number,
        Text,
        Date,
        Bool,
        Null,
        Param,
        Negate, ///< unary minus
        Not,
        Binary,  ///< op: + - * / & and or
        Compare, ///< op: = <> < <= > >=
        IsNull,  ///< negated: IS NOT NULL
        Like,    ///< negated: NOT LIKE
        In,      ///< negated: NOT IN; args[0] the value, the rest the list
        Between, ///< negated: NOT BETWEEN; args: value, low, high
        Function ///< name, args
    };
    Kind kind = Kind::Null;
    QString op;
    QString name;      ///< column or function name, number text, text value
    QString qualifier; ///< table or alias of a column
    QDateTime date;
    bool value = false; ///< Bool literal
    bool negated = false;
    QList<ExprPtr> args;
    int position = 1;
    int height = 1; ///< levels of the tree below and including this node
    QString source; ///< the text as written, for output names and messages
};

struct TableRef {
    QString name;
    QString alias;
    int position = 1;
};

enum class JoinKind { First, Comma, Inner, Left, Right };

struct FromItem {
    TableRef table;
    JoinKind join = JoinKind::First;
    ExprPtr on;
};

struct SelectItem {
    ExprPtr expr;      ///< null for `*` and `t.*`
    QString starTable; ///< qualifier of `t.*`
    QString alias;
    int position = 1;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
    bool directionGiven = false;
};

struct Select {
    bool distinct = false;
    QList<SelectItem> items;
    QList<FromItem> from;
    ExprPtr where;
    QList<ExprPtr> groupBy;
    ExprPtr having;
    QList<OrderItem> orderBy;
};

struct ColumnName {
    QString qualifier;
    QString name;
    int position = 1;
};

struct Insert {
    TableRef table;
    QList<ColumnName> columns;
    QList<ExprPtr> values;
    std::shared_ptr<Select> select;
};

struct Assignment {
    ColumnName column;
    ExprPtr value;
};

struct Update {
    TableRef table;
    QList<Assignment> assignments;
    ExprPtr where;
};

struct Delete {
    TableRef table;
    ExprPtr where;
};

struct AlterTable {
    TableRef table;
    bool add = true;
    ColumnName column;
    ColumnType type = ColumnType::Unknown;
    int size = 0;
};

struct Statement {
    enum class Kind { Select, Insert, Update, Delete, AlterTable } kind = Kind::Select;
    std::shared_ptr<Select> select;
    std::shared_ptr<Insert> insert;
    std::shared_ptr<Update> update;
    std::shared_ptr<Delete> remove;
    std::shared_ptr<AlterTable> alter;
};

} // namespace kilvaro::sql
