#include "data/SqlEmitter.h"

#include "data/SqlLexer.h"
#include "data/StoredValue.h"

namespace kilvaro::sql {

namespace {

// Binding strength of what an Out holds; a child weaker than its parent gets parentheses.
enum Precedence {
    PrecOr = 1,
    PrecAnd = 2,
    PrecNot = 3,
    PrecCompare = 4,
    PrecConcat = 5,
    PrecAdd = 6,
    PrecMul = 7,
    PrecUnary = 8,
    PrecPrimary = 9
};

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

[[noreturn]] void fail(const QString& message) {
    throw Error{0, message};
}
[[noreturn]] void failAt(int position, const QString& problem) {
    throw Error{position, positionMessage(position, problem)};
}

bool isAggregate(const QString& lowerName) {
    return lowerName == QLatin1String("count") || lowerName == QLatin1String("sum") ||
           lowerName == QLatin1String("avg") || lowerName == QLatin1String("min") ||
           lowerName == QLatin1String("max");
}

bool isFloatType(ColumnType t) {
    return t == ColumnType::Float || t == ColumnType::Currency;
}

ColumnType numericResult(ColumnType a, ColumnType b) {
    if (a == ColumnType::Unknown || b == ColumnType::Unknown)
        return ColumnType::Unknown;
    if (isFloatType(a) || isFloatType(b))
        return ColumnType::Float;
    return ColumnType::Integer;
}

QString tableList(const QList<QString>& names) {
    QStringList q;
    for (const QString& n : names)
        q << QStringLiteral("'%1'").arg(n);
    return q.join(QStringLiteral(", "));
}

} // namespace

SqlEmitter::SqlEmitter(const SchemaInfo& schema, SqlBackend backend)
    : m_schema(schema), m_backend(backend) {}

// --- backend specifics ---------------------------------------------------------------------
// SQLite is complete. For PostgreSQL the literals, LIKE and the conditions are adapted; the
// date functions and column definitions follow the SQLite storage until the PostgreSQL
// storage of dates and case-insensitive texts is settled.

QString SqlEmitter::boolLiteral(bool value) const {
    if (m_backend == SqlBackend::Postgres)
        return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString SqlEmitter::dateLiteral(const QDateTime& value) const {
    // Dates are stored as canonical text, so text order is time order.
    return textLiteral(stored::dateTimeText(value));
}

QString SqlEmitter::textLiteral(const QString& value) const {
    QString v = value;
    v.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString SqlEmitter::datePart(const QString& part, const QString& sql) const {
    const QString format = part == QLatin1String("year")    ? QStringLiteral("%Y")
                           : part == QLatin1String("month") ? QStringLiteral("%m")
                                                            : QStringLiteral("%d");
    return QStringLiteral("CAST(strftime('%1', %2) AS INTEGER)").arg(format, sql);
}

QString SqlEmitter::likeOperator(bool negated) const {
    // The old engine's LIKE ignores case; SQLite's LIKE does so for ASCII letters already.
    const QString op =
        m_backend == SqlBackend::Postgres ? QStringLiteral("ILIKE") : QStringLiteral("LIKE");
    return negated ? QStringLiteral("NOT ") + op : op;
}

QString SqlEmitter::floatDivision(const Out& left, const Out& right) const {
    // The old engine's `/` always divides as floating point; SQLite would cut integers.
    const QString type = m_backend == SqlBackend::Postgres ? QStringLiteral("DOUBLE PRECISION")
                                                           : QStringLiteral("REAL");
    return QStringLiteral("CAST(%1 AS %2) / %3").arg(left.sql, type, wrap(right, PrecMul, true));
}

QString SqlEmitter::asCondition(const Out& o) const {
    // A number stands for "not 0" as a condition; PostgreSQL needs that spelt out.
    if (m_backend == SqlBackend::Postgres && o.type != ColumnType::Boolean &&
        o.type != ColumnType::Unknown)
        return QStringLiteral("%1 <> 0").arg(wrap(o, PrecCompare, false));
    return o.sql;
}

QString SqlEmitter::columnDefinition(ColumnType type, int size) const {
    switch (type) {
    case ColumnType::Boolean:
        // The old engine's yes/no fields are never null.
        return declaredTypeName(type, size) + QStringLiteral(" NOT NULL DEFAULT false");
    case ColumnType::Text:
    case ColumnType::Memo:
        return declaredTypeName(type, size) + QStringLiteral(" COLLATE NOCASE");
    default:
        return declaredTypeName(type, size);
    }
}

// --- helpers -------------------------------------------------------------------------------

// Operands of comparisons are wrapped even at equal strength: SQLite binds < <= > >= more
// tightly than = <> IS LIKE IN, while the old dialect reads them all left to right.
QString SqlEmitter::wrap(const Out& o, int precedence, bool right) const {
    if (o.precedence < precedence || (right && o.precedence == precedence))
        return QLatin1Char('(') + o.sql + QLatin1Char(')');
    return o.sql;
}

const TableInfo* SqlEmitter::table(const QString& name, int) const {
    const TableInfo* t = m_schema.table(name);
    if (!t)
        fail(QStringLiteral("Unbekannte Tabelle '%1'.").arg(name));
    return t;
}

void SqlEmitter::coerce(const Expr& e, Out& out, ColumnType target) const {
    if (target == ColumnType::DateTime) {
        if (e.kind == Expr::Kind::Text) {
            // "Datum >= '01.3.2020'": a date written as text in German or ISO order.
            const QDateTime date = stored::parseDateTime(e.name);
            if (!date.isValid())
                failAt(e.position, QStringLiteral("'%1' ist kein gültiges Datum.").arg(e.name));
            out.sql = dateLiteral(date);
            out.type = ColumnType::DateTime;
        } else if (e.kind == Expr::Kind::Number ||
                   (e.kind == Expr::Kind::Negate && e.args.at(0)->kind == Expr::Kind::Number)) {
            failAt(e.position, QStringLiteral("Die Zahl %1 ist kein Datum.").arg(e.source));
        }
    } else if (target == ColumnType::Boolean && e.kind == Expr::Kind::Number) {
        // The old engine's true is -1; any number other than 0 counts as true.
        out.sql = boolLiteral(e.name.toDouble() != 0.0);
        out.type = ColumnType::Boolean;
    } else if (target == ColumnType::Boolean && e.kind == Expr::Kind::Negate &&
               e.args.at(0)->kind == Expr::Kind::Number) {
        out.sql = boolLiteral(e.args.at(0)->name.toDouble() != 0.0);
        out.type = ColumnType::Boolean;
    }
}

SqlEmitter::Out SqlEmitter::conditionOut(const Expr& e, Ctx& ctx) {
    Out o = expr(e, ctx);
    if (isTextual(o.type) || o.type == ColumnType::DateTime)
        failAt(e.position, QStringLiteral("'%1' ist keine Bedingung.").arg(e.source));
    const QString sql = asCondition(o);
    if (sql != o.sql) {
        o.sql = sql;
        o.precedence = PrecCompare;
    }
    o.type = ColumnType::Boolean;
    return o;
}

// --- expressions ---------------------------------------------------------------------------

SqlEmitter::Out SqlEmitter::expr(const Expr& e, Ctx& ctx) {
    Out o;
    o.precedence = PrecPrimary;
    switch (e.kind) {
    case Expr::Kind::Column:
        return column(e, ctx);
    case Expr::Kind::Star:
        failAt(e.position, QStringLiteral("'*' ist hier nicht erlaubt."));
    case Expr::Kind::Number:
        o.sql = e.name;
        o.type = e.name.contains(QLatin1Char('.')) ? ColumnType::Float : ColumnType::Integer;
        return o;
    case Expr::Kind::Text:
        o.sql = textLiteral(e.name);
        o.type = ColumnType::Text;
        return o;
    case Expr::Kind::Date:
        o.sql = dateLiteral(e.date);
        o.type = ColumnType::DateTime;
        return o;
    case Expr::Kind::Bool:
        o.sql = boolLiteral(e.value);
        o.type = ColumnType::Boolean;
        return o;
    case Expr::Kind::Null:
        o.sql = QStringLiteral("NULL");
        return o;
    case Expr::Kind::Param:
        // Values typed by the user are bound by the caller, never pasted.
        o.sql = QStringLiteral("?");
        return o;
    case Expr::Kind::Negate: {
        const Out a = expr(*e.args.at(0), ctx);
        if (isTextual(a.type) || a.type == ColumnType::DateTime || a.type == ColumnType::Boolean)
            failAt(e.position, QStringLiteral("'%1' ist keine Zahl.").arg(e.args.at(0)->source));
        o.sql = QLatin1Char('-') + (a.precedence < PrecPrimary || a.sql.startsWith(QLatin1Char('-'))
                                        ? QLatin1Char('(') + a.sql + QLatin1Char(')')
                                        : a.sql);
        o.type = a.type;
        o.precedence = PrecUnary;
        o.aggregate = a.aggregate;
        return o;
    }
    case Expr::Kind::Not: {
        const Out a = conditionOut(*e.args.at(0), ctx);
        o.sql = QStringLiteral("NOT ") + wrap(a, PrecNot, false);
        o.type = ColumnType::Boolean;
        o.precedence = PrecNot;
        o.aggregate = a.aggregate;
        return o;
    }
    case Expr::Kind::Binary:
        return binary(e, ctx);
    case Expr::Kind::Compare: {
        Out l = expr(*e.args.at(0), ctx);
        Out r = expr(*e.args.at(1), ctx);
        // A number means true or false only where it is tested for (in)equality with a
        // yes/no value; "(a = b) < 3" keeps its number.
        const bool equality = e.op == QLatin1String("=") || e.op == QLatin1String("<>");
        coerce(*e.args.at(1), r,
               !equality && l.type == ColumnType::Boolean ? ColumnType::Unknown : l.type);
        coerce(*e.args.at(0), l,
               !equality && r.type == ColumnType::Boolean ? ColumnType::Unknown : r.type);
        o.sql = wrap(l, PrecCompare, true) + QLatin1Char(' ') + e.op + QLatin1Char(' ') +
                wrap(r, PrecCompare, true);
        o.type = ColumnType::Boolean;
        o.precedence = PrecCompare;
        o.aggregate = l.aggregate || r.aggregate;
        return o;
    }
    case Expr::Kind::IsNull: {
        const Out a = expr(*e.args.at(0), ctx);
        o.sql = wrap(a, PrecCompare, true) +
                (e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        o.type = ColumnType::Boolean;
        o.precedence = PrecCompare;
        o.aggregate = a.aggregate;
        return o;
    }
    case Expr::Kind::Like: {
        const Out l = expr(*e.args.at(0), ctx);
        const Out r = expr(*e.args.at(1), ctx);
        o.sql = wrap(l, PrecCompare, true) + QLatin1Char(' ') + likeOperator(e.negated) +
                QLatin1Char(' ') + wrap(r, PrecCompare, true);
        o.type = ColumnType::Boolean;
        o.precedence = PrecCompare;
        o.aggregate = l.aggregate || r.aggregate;
        return o;
    }
    case Expr::Kind::In: {
        const Out v = expr(*e.args.at(0), ctx);
        QStringList items;
        o.aggregate = v.aggregate;
        for (int i = 1; i < e.args.size(); ++i) {
            Out item = expr(*e.args.at(i), ctx);
            coerce(*e.args.at(i), item, v.type);
            items << item.sql;
            o.aggregate = o.aggregate || item.aggregate;
        }
        o.sql = wrap(v, PrecCompare, true) +
                (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                items.join(QStringLiteral(", ")) + QLatin1Char(')');
        o.type = ColumnType::Boolean;
        o.precedence = PrecCompare;
        return o;
    }
    case Expr::Kind::Between: {
        const Out v = expr(*e.args.at(0), ctx);
        Out low = expr(*e.args.at(1), ctx);
        Out high = expr(*e.args.at(2), ctx);
        coerce(*e.args.at(1), low, v.type);
        coerce(*e.args.at(2), high, v.type);
        o.sql = wrap(v, PrecConcat, false) +
                (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
                wrap(low, PrecConcat, false) + QStringLiteral(" AND ") +
                wrap(high, PrecConcat, false);
        o.type = ColumnType::Boolean;
        o.precedence = PrecCompare;
        o.aggregate = v.aggregate || low.aggregate || high.aggregate;
        return o;
    }
    case Expr::Kind::Function:
        return function(e, ctx);
    }
    fail(QStringLiteral("Unbekannter Ausdruck."));
}

SqlEmitter::Out SqlEmitter::binary(const Expr& e, Ctx& ctx) {
    Out o;
    const QString& op = e.op;
    if (op == QLatin1String("and") || op == QLatin1String("or")) {
        const Out l = conditionOut(*e.args.at(0), ctx);
        const Out r = conditionOut(*e.args.at(1), ctx);
        const int prec = op == QLatin1String("and") ? PrecAnd : PrecOr;
        // AND and OR are associative: an equal right side needs no parentheses.
        o.sql = wrap(l, prec, false) +
                (prec == PrecAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR ")) +
                wrap(r, prec, false);
        o.type = ColumnType::Boolean;
        o.precedence = prec;
        o.aggregate = l.aggregate || r.aggregate;
        return o;
    }
    const Out l = expr(*e.args.at(0), ctx);
    const Out r = expr(*e.args.at(1), ctx);
    o.aggregate = l.aggregate || r.aggregate;
    // SQLite binds || more tightly than any arithmetic: every operand that is not a plain
    // value or another join gets parentheses.
    auto concatOperand = [](const Out& x) {
        return (x.precedence < PrecPrimary && !x.concat)
                   ? QLatin1Char('(') + x.sql + QLatin1Char(')')
                   : x.sql;
    };
    if (op == QLatin1String("&")) {
        // Joins texts; an empty value counts as an empty text.
        auto part = [&](const Out& x) {
            const QString text =
                isTextual(x.type) ? x.sql : QStringLiteral("CAST(%1 AS TEXT)").arg(x.sql);
            return QStringLiteral("COALESCE(%1, '')").arg(text);
        };
        o.sql = part(l) + QStringLiteral(" || ") + part(r);
        o.type = ColumnType::Text;
        o.precedence = PrecConcat;
        o.concat = true;
        return o;
    }
    const bool dates = l.type == ColumnType::DateTime || r.type == ColumnType::DateTime;
    if (op == QLatin1String("+") && (isTextual(l.type) || isTextual(r.type))) {
        if (dates)
            failAt(e.position,
                   QStringLiteral("Ein Datum kann nicht mit '+' an einen Text gehängt werden."));
        o.sql = concatOperand(l) + QStringLiteral(" || ") + concatOperand(r);
        o.type = ColumnType::Text;
        o.precedence = PrecConcat;
        o.concat = true;
        return o;
    }
    if (dates)
        failAt(e.position, QStringLiteral("Mit Datumswerten kann hier nicht gerechnet werden."));
    if (isTextual(l.type) || isTextual(r.type))
        failAt(e.position,
               QStringLiteral("Mit Texten kann nicht gerechnet werden ('%1').").arg(e.source));
    if (op == QLatin1String("/")) {
        o.sql = floatDivision(l, r);
        o.type = ColumnType::Float;
        o.precedence = PrecMul;
        return o;
    }
    const int prec = (op == QLatin1String("*")) ? PrecMul : PrecAdd;
    o.sql = wrap(l, prec, false) + QLatin1Char(' ') + op + QLatin1Char(' ') + wrap(r, prec, true);
    o.type = numericResult(l.type == ColumnType::Boolean ? ColumnType::Integer : l.type,
                           r.type == ColumnType::Boolean ? ColumnType::Integer : r.type);
    o.precedence = prec;
    return o;
}

SqlEmitter::Out SqlEmitter::function(const Expr& e, Ctx& ctx) {
    const QString name = e.name.toLower();
    const int argc = int(e.args.size());
    auto needArgs = [&](int min, int max) {
        if (argc < min || argc > max) {
            const QString count =
                min == max ? QString::number(min) : QStringLiteral("%1 bis %2").arg(min).arg(max);
            failAt(e.position,
                   QStringLiteral("Die Funktion '%1' erwartet %2 Argument(e).").arg(e.name, count));
        }
    };
    const bool star = argc == 1 && e.args.at(0)->kind == Expr::Kind::Star;
    Out o;
    o.precedence = PrecPrimary;

    if (isAggregate(name)) {
        needArgs(1, 1);
        if (ctx.inAggregate)
            failAt(e.position,
                   QStringLiteral("Aggregatfunktionen können nicht geschachtelt werden."));
        if (ctx.clause != Clause::Select && ctx.clause != Clause::Having &&
            ctx.clause != Clause::OrderBy)
            failAt(e.position,
                   QStringLiteral("Die Aggregatfunktion '%1' ist hier nicht erlaubt.").arg(e.name));
        if (star && name != QLatin1String("count"))
            failAt(e.position, QStringLiteral("'*' ist nur in Count(*) erlaubt."));
        Out a;
        if (star) {
            a.sql = QStringLiteral("*");
        } else {
            ctx.inAggregate = true;
            try {
                a = expr(*e.args.at(0), ctx);
            } catch (...) {
                ctx.inAggregate = false;
                throw;
            }
            ctx.inAggregate = false;
        }
        if ((name == QLatin1String("sum") || name == QLatin1String("avg")) &&
            (isTextual(a.type) || a.type == ColumnType::DateTime))
            failAt(e.position,
                   QStringLiteral("'%1' kann nicht summiert werden.").arg(e.args.at(0)->source));
        o.sql = name.toUpper() + QLatin1Char('(') + a.sql + QLatin1Char(')');
        o.aggregate = true;
        if (name == QLatin1String("count"))
            o.type = ColumnType::Integer;
        else if (name == QLatin1String("sum") || name == QLatin1String("avg"))
            o.type = ColumnType::Float;
        else
            o.type = a.type;
        return o;
    }
    if (star)
        failAt(e.args.at(0)->position, QStringLiteral("'*' ist nur in Count(*) erlaubt."));

    QList<Out> a;
    auto args = [&]() {
        for (const ExprPtr& arg : e.args) {
            a.append(expr(*arg, ctx));
            o.aggregate = o.aggregate || a.last().aggregate;
        }
    };
    auto call = [&](const QString& sqlName) {
        QStringList parts;
        for (const Out& x : a)
            parts << x.sql;
        return sqlName + QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    };

    static const QStringList textFunctions = {QStringLiteral("trim"),  QStringLiteral("ltrim"),
                                              QStringLiteral("rtrim"), QStringLiteral("ucase"),
                                              QStringLiteral("lcase"), QStringLiteral("upper"),
                                              QStringLiteral("lower")};
    if (textFunctions.contains(name)) {
        needArgs(1, 1);
        args();
        QString sqlName = name.toUpper();
        if (name == QLatin1String("ucase"))
            sqlName = QStringLiteral("UPPER");
        else if (name == QLatin1String("lcase"))
            sqlName = QStringLiteral("LOWER");
        o.sql = call(sqlName);
        o.type = ColumnType::Text;
        return o;
    }
    if (name == QLatin1String("len")) {
        needArgs(1, 1);
        args();
        o.sql = call(QStringLiteral("LENGTH"));
        o.type = ColumnType::Integer;
        return o;
    }
    if (name == QLatin1String("left") || name == QLatin1String("mid")) {
        needArgs(name == QLatin1String("left") ? 2 : 2, name == QLatin1String("left") ? 2 : 3);
        args();
        if (name == QLatin1String("left"))
            o.sql = QStringLiteral("SUBSTR(%1, 1, %2)").arg(a.at(0).sql, a.at(1).sql);
        else
            o.sql = call(QStringLiteral("SUBSTR"));
        o.type = ColumnType::Text;
        return o;
    }
    if (name == QLatin1String("year") || name == QLatin1String("month") ||
        name == QLatin1String("day")) {
        needArgs(1, 1);
        args();
        Out& d = a[0];
        coerce(*e.args.at(0), d, ColumnType::DateTime);
        if (d.type != ColumnType::DateTime && d.type != ColumnType::Unknown)
            failAt(e.position, QStringLiteral("'%1' ist kein Datum.").arg(e.args.at(0)->source));
        o.sql = datePart(name, d.sql);
        o.type = ColumnType::Integer;
        return o;
    }
    if (name == QLatin1String("abs")) {
        needArgs(1, 1);
        args();
        o.sql = call(QStringLiteral("ABS"));
        o.type = a.at(0).type;
        return o;
    }
    if (name == QLatin1String("round")) {
        needArgs(1, 2);
        args();
        o.sql = call(QStringLiteral("ROUND"));
        o.type = ColumnType::Float;
        return o;
    }
    if (name == QLatin1String("iif")) {
        needArgs(3, 3);
        const Out c = conditionOut(*e.args.at(0), ctx);
        const Out t = expr(*e.args.at(1), ctx);
        const Out f = expr(*e.args.at(2), ctx);
        o.sql = QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END").arg(c.sql, t.sql, f.sql);
        o.type = t.type != ColumnType::Unknown ? t.type : f.type;
        o.aggregate = c.aggregate || t.aggregate || f.aggregate;
        return o;
    }
    if (name == QLatin1String("nz")) {
        needArgs(1, 2);
        args();
        // Nz without a replacement gives 0 for numbers and an empty text for texts.
        const QString fallback = argc == 2                 ? a.at(1).sql
                                 : isTextual(a.at(0).type) ? QStringLiteral("''")
                                                           : QStringLiteral("0");
        o.sql = QStringLiteral("COALESCE(%1, %2)").arg(a.at(0).sql, fallback);
        o.type = a.at(0).type;
        return o;
    }
    failAt(e.position, QStringLiteral("Unbekannte Funktion '%1'.").arg(e.name));
}

SqlEmitter::Out SqlEmitter::column(const Expr& e, Ctx& ctx) {
    const Scope& scope = *ctx.scope;
    Out o;
    o.precedence = PrecPrimary;
    auto ref = [&](const Source& s, const ColumnInfo& c) {
        o.columnName = c.name;
        o.type = c.type;
        o.sql = scope.qualify ? quoted(s.alias.isEmpty() ? s.table->name : s.alias) +
                                    QLatin1Char('.') + quoted(c.name)
                              : quoted(c.name);
        return o;
    };
    if (!e.qualifier.isEmpty()) {
        const Source* found = nullptr;
        for (const Source& s : scope.sources)
            if (!s.alias.isEmpty() && s.alias.compare(e.qualifier, Qt::CaseInsensitive) == 0)
                found = &s;
        if (!found)
            for (const Source& s : scope.sources)
                if (s.table->name.compare(e.qualifier, Qt::CaseInsensitive) == 0)
                    found = &s;
        if (!found) {
            if (m_schema.table(e.qualifier))
                fail(QStringLiteral("Die Tabelle '%1' steht nicht in der FROM-Klausel.")
                         .arg(m_schema.table(e.qualifier)->name));
            fail(QStringLiteral("Unbekannte Tabelle '%1'.").arg(e.qualifier));
        }
        const ColumnInfo* c = found->table->column(e.name);
        if (!c)
            fail(QStringLiteral("Unbekannte Spalte '%1' in Tabelle '%2'.")
                     .arg(e.name, found->table->name));
        return ref(*found, *c);
    }
    QList<QPair<const Source*, const ColumnInfo*>> matches;
    for (const Source& s : scope.sources)
        if (const ColumnInfo* c = s.table->column(e.name))
            matches.append({&s, c});
    if (matches.size() == 1)
        return ref(*matches.first().first, *matches.first().second);

    // ORDER BY, GROUP BY and HAVING may name an output column ("order by nachname"); a name
    // that two tables share is clear when one output column of that name is selected.
    const bool outputsAllowed =
        ctx.outputs && (ctx.clause == Clause::GroupBy || ctx.clause == Clause::Having ||
                        ctx.clause == Clause::OrderBy);
    if (outputsAllowed) {
        const Output* hit = nullptr;
        bool ambiguous = false;
        for (const Output& out : *ctx.outputs) {
            if (out.name.compare(e.name, Qt::CaseInsensitive) != 0)
                continue;
            if (hit && hit->out.sql != out.out.sql)
                ambiguous = true;
            hit = &out;
        }
        if (ambiguous)
            fail(QStringLiteral("Der Spaltenname '%1' ist mehrdeutig.").arg(e.name));
        if (hit) {
            if (ctx.clause == Clause::GroupBy && hit->out.aggregate)
                fail(QStringLiteral("Nach der Aggregatspalte '%1' kann nicht gruppiert werden.")
                         .arg(e.name));
            o = hit->out;
            o.fromOutput = true;
            if (o.precedence < PrecPrimary) {
                o.sql = QLatin1Char('(') + o.sql + QLatin1Char(')');
                o.precedence = PrecPrimary;
            }
            return o;
        }
    }
    if (matches.size() > 1)
        fail(QStringLiteral("Der Spaltenname '%1' ist mehrdeutig.").arg(e.name));
    if (scope.sources.size() == 1)
        fail(QStringLiteral("Unbekannte Spalte '%1' in Tabelle '%2'.")
                 .arg(e.name, scope.sources.first().table->name));
    if (scope.sources.isEmpty())
        fail(QStringLiteral("Unbekannte Spalte '%1'.").arg(e.name));
    QList<QString> names;
    for (const Source& s : scope.sources)
        names << s.table->name;
    fail(
        QStringLiteral("Unbekannte Spalte '%1' in den Tabellen %2.").arg(e.name, tableList(names)));
}

// --- statements ----------------------------------------------------------------------------

void SqlEmitter::checkGrouped(const Expr& e, Ctx& ctx, const QSet<QString>& groups) {
    if (e.kind == Expr::Kind::Function && isAggregate(e.name.toLower()))
        return;
    const Out o = expr(e, ctx);
    if (o.fromOutput || groups.contains(o.sql))
        return;
    if (e.kind == Expr::Kind::Column)
        fail(QStringLiteral(
                 "Die Spalte '%1' steht weder in GROUP BY noch in einer Aggregatfunktion.")
                 .arg(e.source));
    for (const ExprPtr& arg : e.args)
        if (arg->kind != Expr::Kind::Star)
            checkGrouped(*arg, ctx, groups);
}

QString SqlEmitter::selectSql(const Select& s, QList<Output>* outputsOut) {
    Scope scope;
    scope.qualify = true;
    QStringList fromParts;
    for (const FromItem& f : s.from) {
        Source src;
        src.table = table(f.table.name, f.table.position);
        src.alias = f.table.alias;
        const QString refName = src.alias.isEmpty() ? src.table->name : src.alias;
        for (const Source& other : scope.sources) {
            const QString otherRef = other.alias.isEmpty() ? other.table->name : other.alias;
            if (otherRef.compare(refName, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("Die Tabelle '%1' steht zweimal in der FROM-Klausel; bitte "
                                    "einen Alias angeben.")
                         .arg(refName));
        }
        scope.sources.append(src);
    }
    for (int i = 0; i < s.from.size(); ++i) {
        const FromItem& f = s.from.at(i);
        const Source& src = scope.sources.at(i);
        QString part = quoted(src.table->name);
        if (!src.alias.isEmpty())
            part += QStringLiteral(" AS ") + quoted(src.alias);
        switch (f.join) {
        case JoinKind::First:
            break;
        case JoinKind::Comma:
            part = QStringLiteral(", ") + part;
            break;
        case JoinKind::Inner:
            part = QStringLiteral(" INNER JOIN ") + part;
            break;
        case JoinKind::Left:
            part = QStringLiteral(" LEFT JOIN ") + part;
            break;
        case JoinKind::Right:
            part = QStringLiteral(" RIGHT JOIN ") + part;
            break;
        }
        if (f.on) {
            Ctx ctx{&scope, Clause::From, nullptr, false};
            part += QStringLiteral(" ON ") + conditionOut(*f.on, ctx).sql;
        }
        fromParts << part;
    }

    // Output columns: `*` in stored column order; names that several tables share are
    // told apart as "Table.Column", as the old engine did.
    QList<Output> outputs;
    QStringList items;
    bool anyAggregate = false;
    for (const SelectItem& item : s.items) {
        if (!item.expr) {
            QList<const Source*> sources;
            if (item.starTable.isEmpty()) {
                if (scope.sources.isEmpty())
                    failAt(item.position, QStringLiteral("'*' braucht eine FROM-Klausel."));
                for (const Source& src : scope.sources)
                    sources << &src;
            } else {
                for (const Source& src : scope.sources) {
                    const QString ref = src.alias.isEmpty() ? src.table->name : src.alias;
                    if (ref.compare(item.starTable, Qt::CaseInsensitive) == 0 ||
                        src.table->name.compare(item.starTable, Qt::CaseInsensitive) == 0) {
                        sources << &src;
                        break;
                    }
                }
                if (sources.isEmpty())
                    fail(QStringLiteral("Unbekannte Tabelle '%1'.").arg(item.starTable));
            }
            for (const Source* src : sources) {
                for (const ColumnInfo& c : src->table->columns) {
                    int shared = 0;
                    if (item.starTable.isEmpty())
                        for (const Source& other : scope.sources)
                            if (other.table->column(c.name))
                                ++shared;
                    Output out;
                    out.name = shared > 1 ? src->table->name + QLatin1Char('.') + c.name : c.name;
                    out.out.sql = quoted(src->alias.isEmpty() ? src->table->name : src->alias) +
                                  QLatin1Char('.') + quoted(c.name);
                    out.out.type = c.type;
                    out.out.precedence = PrecPrimary;
                    out.out.columnName = c.name;
                    outputs.append(out);
                    items << out.out.sql + QStringLiteral(" AS ") + quoted(out.name);
                }
            }
            continue;
        }
        Ctx ctx{&scope, Clause::Select, nullptr, false};
        Output out;
        out.out = expr(*item.expr, ctx);
        out.name = !item.alias.isEmpty()           ? item.alias
                   : !out.out.columnName.isEmpty() ? out.out.columnName
                                                   : item.expr->source;
        anyAggregate = anyAggregate || out.out.aggregate;
        outputs.append(out);
        items << out.out.sql + QStringLiteral(" AS ") + quoted(out.name);
    }

    QString sql = QStringLiteral("SELECT ");
    if (s.distinct)
        sql += QStringLiteral("DISTINCT ");
    sql += items.join(QStringLiteral(", "));
    if (!fromParts.isEmpty())
        sql += QStringLiteral(" FROM ") + fromParts.join(QString());
    if (s.where) {
        Ctx ctx{&scope, Clause::Where, nullptr, false};
        sql += QStringLiteral(" WHERE ") + conditionOut(*s.where, ctx).sql;
    }
    QSet<QString> groups;
    if (!s.groupBy.isEmpty()) {
        QStringList parts;
        for (const ExprPtr& g : s.groupBy) {
            Ctx ctx{&scope, Clause::GroupBy, &outputs, false};
            const Out o = expr(*g, ctx);
            parts << o.sql;
            groups.insert(o.sql);
            // A group by an output column groups by what that column holds.
            if (o.fromOutput && o.sql.startsWith(QLatin1Char('(')))
                groups.insert(o.sql.mid(1, o.sql.size() - 2));
        }
        sql += QStringLiteral(" GROUP BY ") + parts.join(QStringLiteral(", "));
    }
    if (s.having) {
        Ctx ctx{&scope, Clause::Having, &outputs, false};
        sql += QStringLiteral(" HAVING ") + conditionOut(*s.having, ctx).sql;
    }
    QStringList orderParts;
    for (const OrderItem& item : s.orderBy) {
        if (item.expr->kind == Expr::Kind::Number)
            failAt(item.expr->position,
                   QStringLiteral("Nach einer Zahl kann nicht sortiert werden."));
        Ctx ctx{&scope, Clause::OrderBy, &outputs, false};
        QString part = expr(*item.expr, ctx).sql;
        if (item.directionGiven)
            part += item.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
        orderParts << part;
    }
    if (!orderParts.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + orderParts.join(QStringLiteral(", "));

    // A grouped query may only show what it groups by or aggregates; SQLite would quietly
    // take the value of any one row instead.
    if (!s.groupBy.isEmpty() || anyAggregate || s.having) {
        for (int i = 0; i < s.items.size(); ++i) {
            const SelectItem& item = s.items.at(i);
            if (item.expr) {
                Ctx ctx{&scope, Clause::Select, nullptr, false};
                checkGrouped(*item.expr, ctx, groups);
            }
        }
        for (const Output& out : outputs)
            if (!out.out.aggregate && !out.out.columnName.isEmpty() &&
                !groups.contains(out.out.sql))
                fail(QStringLiteral("Die Spalte '%1' steht weder in GROUP BY noch in einer "
                                    "Aggregatfunktion.")
                         .arg(out.name));
        if (s.having) {
            Ctx ctx{&scope, Clause::Having, &outputs, false};
            checkGrouped(*s.having, ctx, groups);
        }
        for (const OrderItem& item : s.orderBy) {
            Ctx ctx{&scope, Clause::OrderBy, &outputs, false};
            checkGrouped(*item.expr, ctx, groups);
        }
    }
    if (outputsOut)
        *outputsOut = outputs;
    return sql;
}

Translation SqlEmitter::statement(const Statement& st) {
    Translation t;
    switch (st.kind) {
    case Statement::Kind::Select: {
        QList<Output> outputs;
        t.sql = selectSql(*st.select, &outputs);
        t.kind = StatementKind::Select;
        for (const Output& o : outputs)
            t.columns.append(ResultColumn{o.name, o.out.type});
        break;
    }
    case Statement::Kind::Insert: {
        const Insert& ins = *st.insert;
        const TableInfo* tab = table(ins.table.name, ins.table.position);
        t.kind = StatementKind::Insert;
        t.targetTable = tab->name;
        QList<const ColumnInfo*> cols;
        if (ins.columns.isEmpty()) {
            for (const ColumnInfo& c : tab->columns)
                cols << &c;
        } else {
            for (const ColumnName& n : ins.columns) {
                if (!n.qualifier.isEmpty() &&
                    n.qualifier.compare(tab->name, Qt::CaseInsensitive) != 0)
                    fail(QStringLiteral("Unbekannte Tabelle '%1'.").arg(n.qualifier));
                const ColumnInfo* c = tab->column(n.name);
                if (!c)
                    fail(QStringLiteral("Unbekannte Spalte '%1' in Tabelle '%2'.")
                             .arg(n.name, tab->name));
                if (cols.contains(c))
                    fail(
                        QStringLiteral("Die Spalte '%1' steht zweimal in der Liste.").arg(c->name));
                cols << c;
            }
        }
        QStringList colSql;
        for (const ColumnInfo* c : cols)
            colSql << quoted(c->name);
        QString sql = QStringLiteral("INSERT INTO %1 (%2) ")
                          .arg(quoted(tab->name), colSql.join(QStringLiteral(", ")));
        int count = 0;
        if (ins.select) {
            QList<Output> outputs;
            sql += selectSql(*ins.select, &outputs);
            count = int(outputs.size());
        } else {
            Scope none;
            Ctx ctx{&none, Clause::Value, nullptr, false};
            QStringList values;
            for (int i = 0; i < ins.values.size(); ++i) {
                Out v = expr(*ins.values.at(i), ctx);
                if (i < cols.size())
                    coerce(*ins.values.at(i), v, cols.at(i)->type);
                values << v.sql;
            }
            count = int(values.size());
            sql +=
                QStringLiteral("VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        if (count != cols.size())
            fail(
                QStringLiteral("Die Anzahl der Werte (%1) passt nicht zur Anzahl der Spalten (%2).")
                    .arg(count)
                    .arg(cols.size()));
        t.sql = sql;
        break;
    }
    case Statement::Kind::Update: {
        const Update& up = *st.update;
        Scope scope;
        scope.qualify = false;
        scope.sources.append(Source{table(up.table.name, up.table.position), up.table.alias});
        const TableInfo* tab = scope.sources.first().table;
        t.kind = StatementKind::Update;
        t.targetTable = tab->name;
        QStringList sets;
        for (const Assignment& a : up.assignments) {
            Expr target;
            target.kind = Expr::Kind::Column;
            target.name = a.column.name;
            target.qualifier = a.column.qualifier;
            target.position = a.column.position;
            Ctx ctx{&scope, Clause::Value, nullptr, false};
            const Out col = column(target, ctx);
            Out v = expr(*a.value, ctx);
            coerce(*a.value, v, col.type);
            sets << col.sql + QStringLiteral(" = ") + v.sql;
        }
        t.sql = QStringLiteral("UPDATE %1 SET %2")
                    .arg(quoted(tab->name), sets.join(QStringLiteral(", ")));
        if (up.where) {
            Ctx ctx{&scope, Clause::Where, nullptr, false};
            t.sql += QStringLiteral(" WHERE ") + conditionOut(*up.where, ctx).sql;
        }
        break;
    }
    case Statement::Kind::Delete: {
        const Delete& del = *st.remove;
        Scope scope;
        scope.qualify = false;
        scope.sources.append(Source{table(del.table.name, del.table.position), del.table.alias});
        const TableInfo* tab = scope.sources.first().table;
        t.kind = StatementKind::Delete;
        t.targetTable = tab->name;
        t.sql = QStringLiteral("DELETE FROM %1").arg(quoted(tab->name));
        if (del.where) {
            Ctx ctx{&scope, Clause::Where, nullptr, false};
            t.sql += QStringLiteral(" WHERE ") + conditionOut(*del.where, ctx).sql;
        }
        break;
    }
    case Statement::Kind::AlterTable: {
        const AlterTable& al = *st.alter;
        const TableInfo* tab = table(al.table.name, al.table.position);
        t.kind = StatementKind::AlterTable;
        t.targetTable = tab->name;
        if (!al.column.qualifier.isEmpty())
            failAt(al.column.position, QStringLiteral("Ein Spaltenname ohne Tabelle erwartet."));
        const ColumnInfo* existing = tab->column(al.column.name);
        if (al.add) {
            if (existing)
                fail(QStringLiteral("Die Spalte '%1' gibt es in der Tabelle '%2' schon.")
                         .arg(existing->name, tab->name));
            t.sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                        .arg(quoted(tab->name), quoted(al.column.name),
                             columnDefinition(al.type, al.size));
        } else {
            if (!existing)
                fail(QStringLiteral("Unbekannte Spalte '%1' in Tabelle '%2'.")
                         .arg(al.column.name, tab->name));
            // Dropping a column of these tables would wipe what booked invoices hold (their
            // amounts, texts, trips), which no path may change.
            static const QStringList kept{QStringLiteral("Fahrten"), QStringLiteral("Rechnung"),
                                          QStringLiteral("RecPos")};
            if (kept.contains(tab->name, Qt::CaseInsensitive))
                failAt(al.column.position,
                       QStringLiteral("Die Spalte '%1' der Tabelle '%2' kann nicht entfernt "
                                      "werden: Die Tabelle trägt die Rechnungen und ihre "
                                      "Fahrten, auch gebuchte, die nicht mehr geändert werden "
                                      "dürfen.")
                           .arg(existing->name, tab->name));
            t.sql = QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                        .arg(quoted(tab->name), quoted(existing->name));
        }
        break;
    }
    }
    t.ok = true;
    return t;
}

QString SqlEmitter::condition(const ExprPtr& e, const QString& tableName) {
    Scope scope;
    scope.qualify = false;
    scope.sources.append(Source{table(tableName, 0), QString()});
    Ctx ctx{&scope, Clause::Condition, nullptr, false};
    return conditionOut(*e, ctx).sql;
}

QString SqlEmitter::order(const QList<OrderItem>& items, const QString& tableName) {
    Scope scope;
    scope.qualify = false;
    scope.sources.append(Source{table(tableName, 0), QString()});
    QStringList parts;
    for (const OrderItem& item : items) {
        if (item.expr->kind == Expr::Kind::Number)
            failAt(item.expr->position,
                   QStringLiteral("Nach einer Zahl kann nicht sortiert werden."));
        Ctx ctx{&scope, Clause::Condition, nullptr, false};
        QString part = expr(*item.expr, ctx).sql;
        if (item.directionGiven)
            part += item.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
        parts << part;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace kilvaro::sql
