#include "data/SchemaInfo.h"

#include <QRegularExpression>

namespace kilvaro {

bool isNumeric(ColumnType t) {
    switch (t) {
    case ColumnType::Integer:
    case ColumnType::SmallInt:
    case ColumnType::AutoInc:
    case ColumnType::Float:
    case ColumnType::Currency:
    case ColumnType::Boolean:
        return true;
    default:
        return false;
    }
}

bool isTextual(ColumnType t) { return t == ColumnType::Text || t == ColumnType::Memo; }

const ColumnInfo* TableInfo::column(const QString& n) const {
    for (const auto& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

void SchemaInfo::addTable(const TableInfo& t) {
    for (auto& existing : m_tables) {
        if (existing.name.compare(t.name, Qt::CaseInsensitive) == 0) {
            existing = t;
            return;
        }
    }
    m_tables.append(t);
}

const TableInfo* SchemaInfo::table(const QString& n) const {
    for (const auto& t : m_tables)
        if (t.name.compare(n, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString declaredTypeName(ColumnType type, int size) {
    switch (type) {
    case ColumnType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(size > 0 ? size : 255);
    case ColumnType::Memo:
        return QStringLiteral("MEMO");
    case ColumnType::Integer:
        return QStringLiteral("INTEGER");
    case ColumnType::SmallInt:
        return QStringLiteral("SMALLINT");
    case ColumnType::AutoInc:
        return QStringLiteral("INTEGER");
    case ColumnType::Float:
        return QStringLiteral("DOUBLE");
    case ColumnType::Currency:
        return QStringLiteral("CURRENCY");
    case ColumnType::DateTime:
        return QStringLiteral("DATETIME");
    case ColumnType::Boolean:
        return QStringLiteral("BOOLEAN");
    case ColumnType::Unknown:
        break;
    }
    return QString();
}

ColumnType columnTypeFromDeclared(const QString& declared, int* size) {
    const QString d = declared.trimmed().toUpper();
    if (size)
        *size = 0;
    static const QRegularExpression varchar(QStringLiteral("^(VAR)?CHAR(ACTER)?\\s*\\((\\d+)\\)"));
    const auto m = varchar.match(d);
    if (m.hasMatch()) {
        if (size)
            *size = m.captured(3).toInt();
        return ColumnType::Text;
    }
    if (d.startsWith(QLatin1String("VARCHAR")) || d == QLatin1String("TEXT"))
        return ColumnType::Text;
    if (d == QLatin1String("MEMO"))
        return ColumnType::Memo;
    if (d == QLatin1String("SMALLINT"))
        return ColumnType::SmallInt;
    if (d.startsWith(QLatin1String("INT")) || d == QLatin1String("BIGINT"))
        return ColumnType::Integer;
    if (d == QLatin1String("DOUBLE") || d == QLatin1String("FLOAT") || d == QLatin1String("REAL") ||
        d.startsWith(QLatin1String("DOUBLE")))
        return ColumnType::Float;
    if (d == QLatin1String("CURRENCY"))
        return ColumnType::Currency;
    if (d == QLatin1String("DATETIME") || d == QLatin1String("DATE") || d.startsWith("TIMESTAMP"))
        return ColumnType::DateTime;
    if (d == QLatin1String("BOOLEAN") || d == QLatin1String("BOOL"))
        return ColumnType::Boolean;
    return ColumnType::Unknown;
}

} // namespace kilvaro
