#include "data/Query.h"

#include "data/Connection.h"
#include "base/DbError.h"
#include "data/StoredValue.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kilvaro {

Query::Query(Connection* connection, QObject* parent) : QObject(parent), m_connection(connection) {}

void Query::setSql(const QString& text) {
    close();
    m_sql = text;
    m_params.clear();
}

void Query::setLines(const QStringList& lines) {
    setSql(lines.join(QLatin1Char('\n')));
}

void Query::addLine(const QString& line) {
    close();
    if (!m_sql.isEmpty())
        m_sql += QLatin1Char('\n');
    m_sql += line;
}

void Query::open() {
    close();
    const Translation t = m_connection->translator().statement(m_sql);
    if (!t.ok)
        throw DbError(t.error);
    if (t.kind != StatementKind::Select)
        throw DbError(
            QStringLiteral("Die SQL-Anweisung liefert keine Datenmenge (SELECT erwartet)."));
    QSqlQuery query = m_connection->exec(t.sql, m_params);
    const QSqlRecord record = query.record();
    QStringList names;
    QList<ColumnType> types;
    for (int i = 0; i < record.count(); ++i) {
        // The translator knows the names as written in the old text and their stored types.
        if (t.columns.size() == record.count()) {
            names << (t.columns[i].name.isEmpty() ? record.fieldName(i) : t.columns[i].name);
            types << t.columns[i].type;
        } else {
            names << record.fieldName(i);
            types << ColumnType::Unknown;
        }
    }
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        row.reserve(names.size());
        for (int i = 0; i < names.size(); ++i) {
            const QVariant raw = query.value(i);
            row << (types[i] == ColumnType::Unknown ? raw : stored::fromDb(raw, types[i]));
        }
        rows << row;
    }
    m_names = names;
    m_types = types;
    m_rows = std::move(rows);
    m_pos = 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    m_open = true;
}

void Query::close() {
    m_open = false;
    m_names.clear();
    m_types.clear();
    m_rows.clear();
    m_pos = 0;
    m_bof = m_eof = true;
}

int Query::exec() {
    close();
    QSqlQuery query = m_connection->execOld(m_sql);
    return query.isSelect() ? 0 : query.numRowsAffected();
}

void Query::first() {
    m_pos = 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void Query::next() {
    m_bof = false;
    if (m_pos + 1 >= m_rows.size()) {
        m_eof = true;
        return;
    }
    ++m_pos;
}

void Query::prior() {
    m_eof = false;
    if (m_pos <= 0) {
        m_bof = true;
        return;
    }
    --m_pos;
}

void Query::last() {
    m_pos = m_rows.isEmpty() ? 0 : int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

bool Query::eof() const {
    return !m_open || m_eof;
}

bool Query::bof() const {
    return !m_open || m_bof;
}

void Query::setRecNo(int row) {
    m_pos = m_rows.isEmpty() ? 0 : qBound(0, row, int(m_rows.size()) - 1);
    m_bof = m_eof = m_rows.isEmpty();
}

QStringList Query::fieldNames() const {
    return m_names;
}

ColumnType Query::fieldType(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Feld '%1' nicht gefunden.").arg(name));
    return m_types[i];
}

bool Query::hasField(const QString& name) const {
    return fieldIndex(name) >= 0;
}

int Query::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Query::value(const QString& field) const {
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(QStringLiteral("Feld '%1' nicht gefunden.").arg(field));
    if (m_pos < 0 || m_pos >= m_rows.size())
        return m_types[i] == ColumnType::Boolean ? QVariant(false) : QVariant();
    return m_rows[m_pos][i];
}

QVariant Query::valueAt(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_names.size())
        return {};
    return m_rows[row][column];
}

} // namespace kilvaro
