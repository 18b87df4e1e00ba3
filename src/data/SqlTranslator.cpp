#include "data/SqlTranslator.h"

#include "data/SqlEmitter.h"
#include "data/SqlParser.h"

#include <exception>

namespace kilvaro {

namespace {

Translation refused(const QString& message) {
    Translation t;
    t.ok = false;
    t.error = message;
    return t;
}

/// Runs one translation step and turns every refusal into a Translation with a message:
/// a text the translator does not understand must never throw or reach the database.
template <typename Step> Translation guarded(const SchemaInfo* schema, Step step) {
    if (!schema)
        return refused(QStringLiteral("Es ist kein Datenbankschema geladen."));
    try {
        return step();
    } catch (const sql::Error& e) {
        return refused(e.message);
    } catch (const std::exception& e) {
        return refused(QStringLiteral("Die SQL-Anweisung kann nicht übersetzt werden: %1")
                           .arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        return refused(QStringLiteral("Die SQL-Anweisung kann nicht übersetzt werden."));
    }
}

} // namespace

SqlTranslator::SqlTranslator(const SchemaInfo* schema, SqlBackend backend)
    : m_schema(schema), m_backend(backend) {}

Translation SqlTranslator::statement(const QString& text) const {
    return guarded(m_schema, [&]() {
        sql::SqlParser parser(text);
        const sql::Statement statement = parser.statement();
        return sql::SqlEmitter(*m_schema, m_backend).statement(statement);
    });
}

Translation SqlTranslator::condition(const QString& filter, const QString& table) const {
    return guarded(m_schema, [&]() {
        Translation t;
        t.kind = StatementKind::Other;
        if (!filter.trimmed().isEmpty()) {
            sql::SqlParser parser(filter);
            const sql::ExprPtr e = parser.condition();
            t.sql = sql::SqlEmitter(*m_schema, m_backend).condition(e, table);
        } else if (!m_schema->table(table)) {
            return refused(QStringLiteral("Unbekannte Tabelle '%1'.").arg(table));
        }
        t.ok = true;
        return t;
    });
}

Translation SqlTranslator::order(const QString& orderText, const QString& table) const {
    return guarded(m_schema, [&]() {
        Translation t;
        t.kind = StatementKind::Other;
        if (!orderText.trimmed().isEmpty()) {
            sql::SqlParser parser(orderText);
            const QList<sql::OrderItem> items = parser.orderList();
            t.sql = sql::SqlEmitter(*m_schema, m_backend).order(items, table);
        } else if (!m_schema->table(table)) {
            return refused(QStringLiteral("Unbekannte Tabelle '%1'.").arg(table));
        }
        t.ok = true;
        return t;
    });
}

} // namespace kilvaro
