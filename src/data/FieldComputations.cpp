#include "data/FieldComputations.h"

#include "base/DbError.h"
#include "data/Connection.h"
#include "data/StoredValue.h"
#include "data/Table.h"

#include <QSqlQuery>

namespace kilvaro {

namespace {

QString quoteName(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace

QString FieldComputations::matchKey(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        return QString::number(v.toLongLong());
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (d == double(qint64(d)))
            return QString::number(qint64(d));
        return QString::number(d, 'g', 17);
    }
    case QMetaType::QDateTime:
        return stored::dateTimeText(v.toDateTime());
    default:
        return v.toString().toCaseFolded();
    }
}

// --- the fields --------------------------------------------------------------------------

void FieldComputations::setColumns(const QList<ColumnInfo>& columns) {
    m_columns = columns;
    rebuildIndex();
    invalidateLookups();
}

void FieldComputations::addCalculated(const QString& name, ColumnType type) {
    m_calcFields.append({name, type});
    rebuildIndex();
}

void FieldComputations::addLookup(const QString& name, const QString& keyField, Table* lookupTable,
                                  const QString& lookupKeyField, const QString& resultField) {
    LookupField lf;
    lf.name = name;
    lf.keyField = keyField;
    lf.lookupTable = lookupTable;
    lf.lookupTableName = lookupTable ? lookupTable->tableName() : QString();
    lf.lookupKeyField = lookupKeyField;
    lf.resultField = resultField;
    m_lookups.append(lf);
    rebuildIndex();
}

QStringList FieldComputations::names() const {
    QStringList out;
    for (const ColumnInfo& c : m_columns)
        out << c.name;
    for (const CalcField& c : m_calcFields)
        out << c.name;
    for (const LookupField& l : m_lookups)
        out << l.name;
    return out;
}

bool FieldComputations::contains(const QString& name) const {
    return m_index.contains(name.toCaseFolded());
}

FieldPos FieldComputations::find(const QString& name) const {
    const auto it = m_index.constFind(name.toCaseFolded());
    if (it == m_index.constEnd())
        throw DbError(QStringLiteral("Feld '%1' nicht gefunden.").arg(name));
    return *it;
}

ColumnType FieldComputations::type(FieldPos p) const {
    switch (p.kind) {
    case FieldKind::Stored:
        return m_columns[p.index].type;
    case FieldKind::Calculated:
        return m_calcFields[p.index].type;
    case FieldKind::Lookup: {
        const LookupField& lf = m_lookups[p.index];
        if (const TableInfo* info = m_connection->schema().table(lf.lookupTableName))
            if (const ColumnInfo* c = info->column(lf.resultField))
                return c->type;
        return lf.type;
    }
    }
    return ColumnType::Unknown;
}

void FieldComputations::rebuildIndex() {
    m_index.clear();
    for (int i = 0; i < m_columns.size(); ++i)
        m_index.insert(m_columns[i].name.toCaseFolded(), {FieldKind::Stored, i});
    for (int i = 0; i < m_calcFields.size(); ++i)
        m_index.insert(m_calcFields[i].name.toCaseFolded(), {FieldKind::Calculated, i});
    for (int i = 0; i < m_lookups.size(); ++i)
        m_index.insert(m_lookups[i].name.toCaseFolded(), {FieldKind::Lookup, i});
}

// --- values ------------------------------------------------------------------------------

TableRow FieldComputations::emptyRow() const {
    TableRow r;
    for (const ColumnInfo& c : m_columns)
        r.values << (c.type == ColumnType::Boolean ? QVariant(false) : QVariant());
    for (int i = 0; i < m_calcFields.size(); ++i)
        r.calc << QVariant();
    return r;
}

QVariant FieldComputations::valueOf(const TableRow& row, FieldPos p) {
    switch (p.kind) {
    case FieldKind::Stored:
        return row.values.value(p.index);
    case FieldKind::Calculated:
        return row.calc.value(p.index);
    case FieldKind::Lookup:
        return lookupValue(p.index, row);
    }
    return {};
}

QVariant FieldComputations::normalized(const QVariant& value, ColumnType type) {
    return stored::fromDb(stored::toDb(value, type), type);
}

void FieldComputations::clearCalculated(TableRow& row) const {
    for (QVariant& v : row.calc)
        v = QVariant();
}

// --- lookup tables -----------------------------------------------------------------------

void FieldComputations::invalidateLookups() {
    for (LookupField& lf : m_lookups)
        lf.valid = false;
}

bool FieldComputations::tableChanged(const QString& tableName) {
    bool touched = false;
    for (LookupField& lf : m_lookups) {
        if (lf.lookupTableName.compare(tableName, Qt::CaseInsensitive) == 0) {
            lf.valid = false;
            lf.map.clear();
            touched = true;
        }
    }
    return touched;
}

void FieldComputations::loadLookup(LookupField& lf) {
    lf.map.clear();
    lf.valid = true;
    const TableInfo* info = m_connection->schema().table(lf.lookupTableName);
    if (!info)
        return;
    const ColumnInfo* keyCol = info->column(lf.lookupKeyField);
    const ColumnInfo* resCol = info->column(lf.resultField);
    if (!keyCol || !resCol)
        return;
    lf.type = resCol->type;
    QSqlQuery query = m_connection->exec(
        QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY rowid")
            .arg(quoteName(keyCol->name), quoteName(resCol->name), quoteName(info->name)));
    while (query.next()) {
        const QString k = matchKey(stored::fromDb(query.value(0), keyCol->type));
        if (!k.isEmpty() && !lf.map.contains(k))
            lf.map.insert(k, stored::fromDb(query.value(1), resCol->type));
    }
}

QVariant FieldComputations::lookupValue(int index, const TableRow& row) {
    LookupField& lf = m_lookups[index];
    const QString k = matchKey(valueOf(row, find(lf.keyField)));
    if (k.isEmpty())
        return {};
    if (!lf.valid)
        loadLookup(lf);
    return lf.map.value(k);
}

} // namespace kilvaro
