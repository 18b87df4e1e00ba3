#include "data/SqlTranslator.h"

// Placeholder until the dialect parser lands: passes texts through unchanged.
namespace kilvaro {

SqlTranslator::SqlTranslator(const SchemaInfo* schema, SqlBackend backend)
    : m_schema(schema), m_backend(backend) {}

Translation SqlTranslator::statement(const QString& text) const {
    Translation t;
    t.ok = true;
    t.sql = text;
    const QString head = text.trimmed().section(QLatin1Char(' '), 0, 0).toLower();
    if (head == QLatin1String("select"))
        t.kind = StatementKind::Select;
    else if (head == QLatin1String("update"))
        t.kind = StatementKind::Update;
    else if (head == QLatin1String("delete"))
        t.kind = StatementKind::Delete;
    else if (head == QLatin1String("insert"))
        t.kind = StatementKind::Insert;
    return t;
}

Translation SqlTranslator::condition(const QString& filter, const QString&) const {
    Translation t;
    t.ok = true;
    t.sql = filter;
    return t;
}

Translation SqlTranslator::order(const QString& orderText, const QString&) const {
    Translation t;
    t.ok = true;
    t.sql = orderText;
    return t;
}

} // namespace kilvaro
