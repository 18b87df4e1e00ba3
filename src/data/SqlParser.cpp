#include "data/SqlParser.h"

#include "data/SqlLexer.h"

namespace kilvaro::sql {

namespace {

// Deeply nested texts are refused before they can exhaust the stack.
constexpr int maxDepth = 200;

struct DepthGuard {
    int& depth;
    DepthGuard(int& d, int position) : depth(d) {
        if (++depth > maxDepth)
            throw Error{position,
                        positionMessage(position,
                                        QStringLiteral("Der Ausdruck ist zu tief geschachtelt."))};
    }
    ~DepthGuard() { --depth; }
};

QString tokenDescription(const Token& t) {
    switch (t.kind) {
    case TokenKind::Word:
        return QStringLiteral("unerwartetes Wort '%1'.").arg(t.text);
    case TokenKind::Name:
        return QStringLiteral("unerwarteter Name '%1'.").arg(t.source);
    case TokenKind::Number:
        return QStringLiteral("unerwartete Zahl '%1'.").arg(t.text);
    case TokenKind::Text:
        return QStringLiteral("unerwarteter Text %1.").arg(t.source);
    case TokenKind::Date:
        return QStringLiteral("unerwartetes Datum '%1'.").arg(t.source);
    case TokenKind::Param:
    case TokenKind::Symbol:
        return QStringLiteral("unerwartetes Zeichen '%1'.").arg(t.text);
    case TokenKind::End:
        break;
    }
    return QStringLiteral("unerwartetes Ende des Textes.");
}

} // namespace

bool SqlParser::isReserved(const QString& word) {
    static const QStringList reserved = {
        QStringLiteral("select"),   QStringLiteral("from"),    QStringLiteral("where"),
        QStringLiteral("group"),    QStringLiteral("by"),      QStringLiteral("having"),
        QStringLiteral("order"),    QStringLiteral("asc"),     QStringLiteral("desc"),
        QStringLiteral("and"),      QStringLiteral("or"),      QStringLiteral("not"),
        QStringLiteral("is"),       QStringLiteral("null"),    QStringLiteral("like"),
        QStringLiteral("in"),       QStringLiteral("between"), QStringLiteral("as"),
        QStringLiteral("on"),       QStringLiteral("join"),    QStringLiteral("inner"),
        QStringLiteral("left"),     QStringLiteral("right"),   QStringLiteral("outer"),
        QStringLiteral("full"),     QStringLiteral("cross"),   QStringLiteral("set"),
        QStringLiteral("values"),   QStringLiteral("into"),    QStringLiteral("insert"),
        QStringLiteral("update"),   QStringLiteral("delete"),  QStringLiteral("alter"),
        QStringLiteral("table"),    QStringLiteral("drop"),    QStringLiteral("create"),
        QStringLiteral("distinct"), QStringLiteral("all"),     QStringLiteral("true"),
        QStringLiteral("false"),    QStringLiteral("union"),   QStringLiteral("exists"),
        QStringLiteral("top")};
    return reserved.contains(word.toLower());
}

SqlParser::SqlParser(const QString& text) : m_text(text), m_tokens(SqlLexer::tokenize(text)) {}

const Token& SqlParser::peek(int ahead) const {
    const int i = qMin(m_pos + ahead, int(m_tokens.size()) - 1);
    return m_tokens.at(i);
}

const Token& SqlParser::take() {
    const Token& t = peek();
    if (t.kind != TokenKind::End)
        ++m_pos;
    return t;
}

bool SqlParser::isWord(const char* word, int ahead) const {
    const Token& t = peek(ahead);
    return t.kind == TokenKind::Word &&
           t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool SqlParser::isSymbol(const char* symbol, int ahead) const {
    const Token& t = peek(ahead);
    return t.kind == TokenKind::Symbol && t.text == QLatin1String(symbol);
}

bool SqlParser::acceptWord(const char* word) {
    if (!isWord(word))
        return false;
    take();
    return true;
}

bool SqlParser::acceptSymbol(const char* symbol) {
    if (!isSymbol(symbol))
        return false;
    take();
    return true;
}

void SqlParser::expectWord(const char* word) {
    if (!acceptWord(word))
        expected(QStringLiteral("'%1'").arg(QString::fromLatin1(word).toUpper()));
}

void SqlParser::expectSymbol(const char* symbol) {
    if (!acceptSymbol(symbol))
        expected(QStringLiteral("'%1'").arg(QString::fromLatin1(symbol)));
}

void SqlParser::expectEnd() {
    if (peek().kind != TokenKind::End)
        unexpected(peek());
}

void SqlParser::unexpected(const Token& token) const {
    throw Error{token.position, positionMessage(token.position, tokenDescription(token))};
}

void SqlParser::expected(const QString& what) const {
    const Token& t = peek();
    QString found = tokenDescription(t);
    found.chop(1);
    throw Error{t.position,
                positionMessage(t.position, QStringLiteral("%1 erwartet, %2.").arg(what, found))};
}

bool SqlParser::isNameToken(int ahead) const {
    const Token& t = peek(ahead);
    return t.kind == TokenKind::Name || (t.kind == TokenKind::Word && !isReserved(t.text));
}

QString SqlParser::takeName(const QString& what) {
    if (!isNameToken())
        expected(what);
    return take().text;
}

// --- statements ---------------------------------------------------------------------------

Statement SqlParser::statement() {
    Statement s;
    if (peek().kind == TokenKind::End)
        throw Error{0, QStringLiteral("Die SQL-Anweisung ist leer.")};
    if (isWord("select")) {
        s.kind = Statement::Kind::Select;
        s.select = parseSelect();
    } else if (isWord("insert")) {
        s.kind = Statement::Kind::Insert;
        s.insert = parseInsert();
    } else if (isWord("update")) {
        s.kind = Statement::Kind::Update;
        s.update = parseUpdate();
    } else if (isWord("delete")) {
        s.kind = Statement::Kind::Delete;
        s.remove = parseDelete();
    } else if (isWord("alter")) {
        s.kind = Statement::Kind::AlterTable;
        s.alter = parseAlter();
    } else {
        const Token& t = peek();
        QString problem = tokenDescription(t);
        problem += QStringLiteral(" Erlaubt sind SELECT, INSERT, UPDATE, DELETE und ALTER TABLE.");
        throw Error{t.position, positionMessage(t.position, problem)};
    }
    if (acceptSymbol(";") && peek().kind != TokenKind::End) {
        const int p = peek().position;
        throw Error{p, positionMessage(p, QStringLiteral("Nach dem Semikolon darf keine weitere "
                                                         "Anweisung folgen."))};
    }
    expectEnd();
    return s;
}

ExprPtr SqlParser::condition() {
    ExprPtr e = parseExpr();
    expectEnd();
    return e;
}

QList<OrderItem> SqlParser::orderList() {
    QList<OrderItem> items = parseOrderItems();
    expectEnd();
    return items;
}

std::shared_ptr<Select> SqlParser::parseSelect() {
    auto s = std::make_shared<Select>();
    expectWord("select");
    if (acceptWord("distinct"))
        s->distinct = true;
    else
        acceptWord("all");
    do {
        SelectItem item;
        item.position = peek().position;
        if (acceptSymbol("*")) {
            s->items.append(item);
            continue;
        }
        if (isNameToken() && isSymbol(".", 1) && isSymbol("*", 2)) {
            item.starTable = take().text;
            take();
            take();
            s->items.append(item);
            continue;
        }
        item.expr = parseExpr();
        if (acceptWord("as")) {
            item.alias = takeName(QStringLiteral("Ein Spaltenname"));
        } else if (isNameToken()) {
            const Token& aliasToken = take();
            // "select personen fromm fahrten": a misspelt keyword reads as an alias; the word
            // after it shows the mistake, so name the misspelt word.
            if (isNameToken())
                unexpected(aliasToken);
            item.alias = aliasToken.text;
        }
        s->items.append(item);
    } while (acceptSymbol(","));

    if (acceptWord("from")) {
        parseFromChain(s->from, JoinKind::First);
        while (acceptSymbol(","))
            parseFromChain(s->from, JoinKind::Comma);
    }
    if (acceptWord("where"))
        s->where = parseExpr();
    if (acceptWord("group")) {
        expectWord("by");
        do
            s->groupBy.append(parseExpr());
        while (acceptSymbol(","));
    }
    if (acceptWord("having"))
        s->having = parseExpr();
    if (acceptWord("order")) {
        expectWord("by");
        s->orderBy = parseOrderItems();
    }
    return s;
}

QList<OrderItem> SqlParser::parseOrderItems() {
    QList<OrderItem> items;
    do {
        OrderItem item;
        item.expr = parseExpr();
        if (acceptWord("asc")) {
            item.directionGiven = true;
        } else if (acceptWord("desc")) {
            item.directionGiven = true;
            item.descending = true;
        }
        items.append(item);
    } while (acceptSymbol(","));
    return items;
}

void SqlParser::parseFromChain(QList<FromItem>& from, JoinKind first) {
    // "(a INNER JOIN b ON ...) INNER JOIN c ON ...": the old engine's nested joins are
    // left-deep, so the parentheses only group what is read first.
    if (isSymbol("(")) {
        DepthGuard guard(m_depth, peek().position);
        take();
        const int before = int(from.size());
        parseFromChain(from, first);
        if (from.size() > before)
            from[before].join = first;
        expectSymbol(")");
    } else {
        FromItem item;
        item.table = parseTableRef();
        item.join = first;
        from.append(item);
    }
    for (;;) {
        JoinKind kind;
        if (isWord("inner") || isWord("join")) {
            acceptWord("inner");
            kind = JoinKind::Inner;
        } else if (isWord("left") || isWord("right")) {
            kind = isWord("left") ? JoinKind::Left : JoinKind::Right;
            take();
            acceptWord("outer");
        } else {
            break;
        }
        expectWord("join");
        FromItem item;
        item.table = parseTableRef();
        item.join = kind;
        expectWord("on");
        item.on = parseExpr();
        from.append(item);
    }
}

TableRef SqlParser::parseTableRef() {
    TableRef t;
    t.position = peek().position;
    t.name = takeName(QStringLiteral("Ein Tabellenname"));
    if (acceptWord("as"))
        t.alias = takeName(QStringLiteral("Ein Tabellenalias"));
    else if (isNameToken())
        t.alias = take().text;
    return t;
}

ColumnName SqlParser::parseColumnName() {
    ColumnName c;
    c.position = peek().position;
    c.name = takeName(QStringLiteral("Ein Spaltenname"));
    if (acceptSymbol(".")) {
        c.qualifier = c.name;
        c.name = takeName(QStringLiteral("Ein Spaltenname"));
    }
    return c;
}

std::shared_ptr<Insert> SqlParser::parseInsert() {
    auto s = std::make_shared<Insert>();
    expectWord("insert");
    expectWord("into");
    s->table.position = peek().position;
    s->table.name = takeName(QStringLiteral("Ein Tabellenname"));
    if (acceptSymbol("(")) {
        do
            s->columns.append(parseColumnName());
        while (acceptSymbol(","));
        expectSymbol(")");
    }
    if (acceptWord("values")) {
        expectSymbol("(");
        do
            s->values.append(parseExpr());
        while (acceptSymbol(","));
        expectSymbol(")");
    } else if (isWord("select")) {
        s->select = parseSelect();
    } else {
        expected(QStringLiteral("'VALUES' oder 'SELECT'"));
    }
    return s;
}

TableRef SqlParser::parseTargetTable(const char* statement, const QString& next) {
    TableRef t;
    t.position = peek().position;
    t.name = takeName(QStringLiteral("Ein Tabellenname"));
    // A misspelt or cut-off WHERE would read as an alias and the statement would change
    // every row: UPDATE and DELETE take no alias.
    if (isWord("as") || isNameToken()) {
        const Token& alias = isWord("as") ? peek(1) : peek();
        throw Error{
            alias.position,
            positionMessage(alias.position,
                            QStringLiteral("nach dem Tabellennamen wird %1 erwartet, "
                                           "nicht '%2'. Ein Tabellenalias ist bei %3 "
                                           "nicht erlaubt; die Anweisung wird nicht "
                                           "ausgeführt.")
                                .arg(next, alias.source.isEmpty() ? alias.text : alias.source,
                                     QString::fromLatin1(statement)))};
    }
    return t;
}

std::shared_ptr<Update> SqlParser::parseUpdate() {
    auto s = std::make_shared<Update>();
    expectWord("update");
    s->table = parseTargetTable("UPDATE", QStringLiteral("SET"));
    expectWord("set");
    do {
        Assignment a;
        a.column = parseColumnName();
        expectSymbol("=");
        a.value = parseExpr();
        s->assignments.append(a);
    } while (acceptSymbol(","));
    if (acceptWord("where"))
        s->where = parseExpr();
    return s;
}

std::shared_ptr<Delete> SqlParser::parseDelete() {
    auto s = std::make_shared<Delete>();
    expectWord("delete");
    QString starTable;
    if (acceptSymbol("*")) {
    } else if (isNameToken() && isSymbol(".", 1) && isSymbol("*", 2)) {
        starTable = take().text;
        take();
        take();
    }
    expectWord("from");
    s->table = parseTargetTable("DELETE", QStringLiteral("WHERE oder das Ende"));
    if (!starTable.isEmpty() && starTable.compare(s->table.name, Qt::CaseInsensitive) != 0)
        throw Error{s->table.position, QStringLiteral("Unbekannte Tabelle '%1'.").arg(starTable)};
    if (acceptWord("where"))
        s->where = parseExpr();
    return s;
}

std::shared_ptr<AlterTable> SqlParser::parseAlter() {
    auto s = std::make_shared<AlterTable>();
    expectWord("alter");
    expectWord("table");
    s->table.position = peek().position;
    s->table.name = takeName(QStringLiteral("Ein Tabellenname"));
    if (acceptWord("add")) {
        s->add = true;
    } else if (acceptWord("drop")) {
        s->add = false;
    } else {
        expected(QStringLiteral("'ADD' oder 'DROP'"));
    }
    acceptWord("column");
    s->column.position = peek().position;
    s->column.name = takeName(QStringLiteral("Ein Spaltenname"));
    if (!s->add)
        return s;
    const Token& typeToken = peek();
    if (typeToken.kind != TokenKind::Word)
        expected(QStringLiteral("Ein Datentyp"));
    take();
    const QString type = typeToken.text.toLower();
    int size = 0;
    if (acceptSymbol("(")) {
        const Token& sizeToken = peek();
        bool ok = false;
        size = sizeToken.text.toInt(&ok);
        if (sizeToken.kind != TokenKind::Number || !ok || size < 1 || size > 255)
            throw Error{
                sizeToken.position,
                positionMessage(sizeToken.position,
                                QStringLiteral("Die Länge muss eine Zahl von 1 bis 255 sein."))};
        take();
        expectSymbol(")");
    }
    static const QStringList texts = {QStringLiteral("text"), QStringLiteral("varchar"),
                                      QStringLiteral("char"), QStringLiteral("string")};
    ColumnType t = ColumnType::Unknown;
    if (texts.contains(type)) {
        t = ColumnType::Text;
        if (size == 0)
            size = 255;
    } else if (size > 0) {
        t = ColumnType::Unknown; // a length only belongs to texts
    } else if (type == QLatin1String("integer") || type == QLatin1String("long") ||
               type == QLatin1String("int")) {
        t = ColumnType::Integer;
    } else if (type == QLatin1String("smallint") || type == QLatin1String("short")) {
        t = ColumnType::SmallInt;
    } else if (type == QLatin1String("double") || type == QLatin1String("float") ||
               type == QLatin1String("real") || type == QLatin1String("single")) {
        t = ColumnType::Float;
    } else if (type == QLatin1String("datetime") || type == QLatin1String("date")) {
        t = ColumnType::DateTime;
    } else if (type == QLatin1String("boolean") || type == QLatin1String("yesno") ||
               type == QLatin1String("bit") || type == QLatin1String("logical")) {
        t = ColumnType::Boolean;
    } else if (type == QLatin1String("currency") || type == QLatin1String("money")) {
        t = ColumnType::Currency;
    } else if (type == QLatin1String("memo") || type == QLatin1String("longtext")) {
        t = ColumnType::Memo;
    }
    if (t == ColumnType::Unknown)
        throw Error{
            typeToken.position,
            positionMessage(typeToken.position,
                            QStringLiteral("unbekannter Datentyp '%1'.").arg(typeToken.text))};
    s->type = t;
    s->size = size;
    return s;
}

// --- expressions --------------------------------------------------------------------------

ExprPtr SqlParser::make(Expr::Kind kind, int startToken) {
    auto e = std::make_shared<Expr>();
    e->kind = kind;
    e->position = m_tokens.at(startToken).position;
    return e;
}

void SqlParser::finish(const ExprPtr& e, int startToken) {
    // Long chains ("1+1+1...") are read in loops but build deep trees; the translation
    // walks them recursively, so their height is bounded as well.
    for (const ExprPtr& arg : e->args)
        e->height = qMax(e->height, arg->height + 1);
    if (e->height > maxDepth)
        throw Error{
            e->position,
            positionMessage(e->position, QStringLiteral("Der Ausdruck ist zu tief geschachtelt."))};
    const int from = m_tokens.at(startToken).position - 1;
    const Token& last = m_tokens.at(qMax(startToken, m_pos - 1));
    const int to = last.position - 1 + int(last.source.size());
    e->source = m_text.mid(from, qMax(0, to - from)).simplified();
}

ExprPtr SqlParser::parseExpr() {
    DepthGuard guard(m_depth, peek().position);
    return parseOr();
}

ExprPtr SqlParser::parseOr() {
    const int start = m_pos;
    ExprPtr left = parseAnd();
    while (isWord("or")) {
        take();
        ExprPtr e = make(Expr::Kind::Binary, start);
        e->op = QStringLiteral("or");
        e->args = {left, parseAnd()};
        finish(e, start);
        left = e;
    }
    return left;
}

ExprPtr SqlParser::parseAnd() {
    const int start = m_pos;
    ExprPtr left = parseNot();
    while (isWord("and")) {
        take();
        ExprPtr e = make(Expr::Kind::Binary, start);
        e->op = QStringLiteral("and");
        e->args = {left, parseNot()};
        finish(e, start);
        left = e;
    }
    return left;
}

ExprPtr SqlParser::parseNot() {
    const int start = m_pos;
    if (isWord("not")) {
        DepthGuard guard(m_depth, peek().position);
        take();
        ExprPtr e = make(Expr::Kind::Not, start);
        e->args = {parseNot()};
        finish(e, start);
        return e;
    }
    return parsePredicate();
}

ExprPtr SqlParser::parsePredicate() {
    const int start = m_pos;
    ExprPtr left = parseConcat();
    static const QStringList compares = {
        QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("<"),
        QStringLiteral("<="), QStringLiteral(">"),  QStringLiteral(">=")};
    const Token& t = peek();
    if (t.kind == TokenKind::Symbol && compares.contains(t.text)) {
        take();
        ExprPtr e = make(Expr::Kind::Compare, start);
        e->op = t.text == QLatin1String("!=") ? QStringLiteral("<>") : t.text;
        e->args = {left, parseConcat()};
        finish(e, start);
        return e;
    }
    if (isWord("is")) {
        take();
        ExprPtr e = make(Expr::Kind::IsNull, start);
        e->negated = acceptWord("not");
        expectWord("null");
        e->args = {left};
        finish(e, start);
        return e;
    }
    const bool negated =
        isWord("not") && (isWord("like", 1) || isWord("in", 1) || isWord("between", 1));
    if (negated)
        take();
    if (acceptWord("like")) {
        ExprPtr e = make(Expr::Kind::Like, start);
        e->negated = negated;
        e->args = {left, parseConcat()};
        finish(e, start);
        return e;
    }
    if (acceptWord("in")) {
        ExprPtr e = make(Expr::Kind::In, start);
        e->negated = negated;
        e->args = {left};
        expectSymbol("(");
        do
            e->args.append(parseConcat());
        while (acceptSymbol(","));
        expectSymbol(")");
        finish(e, start);
        return e;
    }
    if (acceptWord("between")) {
        ExprPtr e = make(Expr::Kind::Between, start);
        e->negated = negated;
        ExprPtr low = parseConcat();
        expectWord("and");
        ExprPtr high = parseConcat();
        e->args = {left, low, high};
        finish(e, start);
        return e;
    }
    return left;
}

ExprPtr SqlParser::parseConcat() {
    // `&` joins texts and binds more loosely than + and -.
    const int start = m_pos;
    ExprPtr left = parseAdditive();
    while (isSymbol("&")) {
        take();
        ExprPtr e = make(Expr::Kind::Binary, start);
        e->op = QStringLiteral("&");
        e->args = {left, parseAdditive()};
        finish(e, start);
        left = e;
    }
    return left;
}

ExprPtr SqlParser::parseAdditive() {
    const int start = m_pos;
    ExprPtr left = parseMultiplicative();
    while (isSymbol("+") || isSymbol("-")) {
        const QString op = take().text;
        ExprPtr e = make(Expr::Kind::Binary, start);
        e->op = op;
        e->args = {left, parseMultiplicative()};
        finish(e, start);
        left = e;
    }
    return left;
}

ExprPtr SqlParser::parseMultiplicative() {
    const int start = m_pos;
    ExprPtr left = parseUnary();
    while (isSymbol("*") || isSymbol("/")) {
        const QString op = take().text;
        ExprPtr e = make(Expr::Kind::Binary, start);
        e->op = op;
        e->args = {left, parseUnary()};
        finish(e, start);
        left = e;
    }
    return left;
}

ExprPtr SqlParser::parseUnary() {
    const int start = m_pos;
    if (isSymbol("-") || isSymbol("+")) {
        DepthGuard guard(m_depth, peek().position);
        const bool minus = take().text == QLatin1String("-");
        ExprPtr operand = parseUnary();
        if (!minus)
            return operand;
        ExprPtr e = make(Expr::Kind::Negate, start);
        e->args = {operand};
        finish(e, start);
        return e;
    }
    return parsePrimary();
}

ExprPtr SqlParser::parsePrimary() {
    const int start = m_pos;
    const Token& t = peek();
    ExprPtr e;
    switch (t.kind) {
    case TokenKind::Number:
        e = make(Expr::Kind::Number, start);
        e->name = take().text;
        break;
    case TokenKind::Text:
        e = make(Expr::Kind::Text, start);
        e->name = take().text;
        break;
    case TokenKind::Date:
        e = make(Expr::Kind::Date, start);
        e->date = take().date;
        break;
    case TokenKind::Param:
        e = make(Expr::Kind::Param, start);
        take();
        break;
    case TokenKind::Symbol:
        if (t.text == QLatin1String("(")) {
            take();
            e = parseExpr();
            expectSymbol(")");
            // Keep the parentheses in the written text of the inner expression.
            finish(e, start);
            return e;
        }
        unexpected(t);
    case TokenKind::Word:
        if (isWord("true") || isWord("false")) {
            e = make(Expr::Kind::Bool, start);
            e->value = isWord("true");
            take();
            break;
        }
        if (isWord("null")) {
            e = make(Expr::Kind::Null, start);
            take();
            break;
        }
        if (isReserved(t.text))
            unexpected(t);
        if (isSymbol("(", 1)) {
            e = make(Expr::Kind::Function, start);
            e->name = take().text;
            take();
            if (acceptSymbol("*")) {
                e->args.append(make(Expr::Kind::Star, m_pos - 1));
            } else if (!isSymbol(")")) {
                do
                    e->args.append(parseExpr());
                while (acceptSymbol(","));
            }
            expectSymbol(")");
            break;
        }
        [[fallthrough]];
    case TokenKind::Name:
        e = make(Expr::Kind::Column, start);
        e->name = take().text;
        if (acceptSymbol(".")) {
            e->qualifier = e->name;
            e->name = takeName(QStringLiteral("Ein Spaltenname"));
        }
        break;
    case TokenKind::End:
        unexpected(t);
    }
    finish(e, start);
    return e;
}

} // namespace kilvaro::sql
