#pragma once

#include "data/SqlAst.h"

namespace kilvaro::sql {

/// Recursive-descent parser of the old dialect into the syntax tree of SqlAst.h. It knows
/// no schema; names are resolved later. Every method throws sql::Error on a text it does
/// not understand.
class SqlParser {
public:
    explicit SqlParser(const QString& text);

    /// One statement, optionally followed by one ';' and nothing else.
    Statement statement();
    /// A bare condition (filter text of a table object).
    ExprPtr condition();
    /// An order list ("[Nr] ASC, [Anfang] ASC").
    QList<OrderItem> orderList();

    /// True for words that cannot be names without brackets.
    static bool isReserved(const QString& word);

private:
    const Token& peek(int ahead = 0) const;
    const Token& take();
    bool isWord(const char* word, int ahead = 0) const;
    bool isSymbol(const char* symbol, int ahead = 0) const;
    bool acceptWord(const char* word);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* word);
    void expectSymbol(const char* symbol);
    void expectEnd();
    [[noreturn]] void unexpected(const Token& token) const;
    [[noreturn]] void expected(const QString& what) const;
    bool isNameToken(int ahead = 0) const;
    QString takeName(const QString& what);

    std::shared_ptr<Select> parseSelect();
    std::shared_ptr<Insert> parseInsert();
    std::shared_ptr<Update> parseUpdate();
    std::shared_ptr<Delete> parseDelete();
    std::shared_ptr<AlterTable> parseAlter();
    void parseFromChain(QList<FromItem>& from, JoinKind first);
    TableRef parseTableRef();
    /// The table of an UPDATE or DELETE: a name without alias.
    TableRef parseTargetTable(const char* statement, const QString& next);
    ColumnName parseColumnName();
    QList<OrderItem> parseOrderItems();

    ExprPtr parseExpr();
    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parsePredicate();
    ExprPtr parseConcat();
    ExprPtr parseAdditive();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePrimary();
    ExprPtr make(Expr::Kind kind, int startToken);
    void finish(const ExprPtr& e, int startToken);

    QString m_text;
    QList<Token> m_tokens;
    int m_pos = 0;
    int m_depth = 0;
};

} // namespace kilvaro::sql
