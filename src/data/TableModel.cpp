#include "data/TableModel.h"

#include "base/Format.h"
#include "data/Connection.h"
#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/Table.h"

#include <QDateTime>
#include <QLocale>

namespace kilvaro {

TableModel::TableModel(Table* table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_formatter(&TableModel::defaultFormat) {
    m_rows = table ? table->recordCount() : 0;
    if (table) {
        connect(table, &Table::setChanged, this, &TableModel::onSetChanged);
        connect(table, &Table::dataChanged, this, &TableModel::onDataChanged);
        connect(table, &Table::stateChanged, this, [this] { onDataChanged(QString()); });
    }
}

void TableModel::setColumns(const QList<Column>& columns) {
    beginResetModel();
    m_columns = columns;
    m_types.clear();
    for (const Column& c : m_columns) {
        ColumnType t = ColumnType::Unknown;
        try {
            if (m_table && m_table->hasField(c.field))
                t = m_table->fieldType(c.field);
        } catch (const DbError&) {
        }
        m_types << t;
    }
    m_rows = m_table ? m_table->recordCount() : 0;
    endResetModel();
}

void TableModel::setAllColumns() {
    QList<Column> cols;
    if (m_table)
        for (const QString& f : m_table->fieldNames())
            cols.append({f, f, QString(), false, 0});
    setColumns(cols);
}

ColumnType TableModel::typeOf(int column) const {
    ColumnType t = m_types.value(column, ColumnType::Unknown);
    if (t == ColumnType::Unknown && m_table && column < m_columns.size() &&
        m_table->hasField(m_columns[column].field)) {
        // Fields are known only once the table is open.
        t = m_table->fieldType(m_columns[column].field);
    }
    return t;
}

QString TableModel::defaultFormat(const QVariant& value, ColumnType type, const QString& mask) {
    if (value.isNull() || !value.isValid())
        return {};
    const QString m = mask.toLower();
    if (value.typeId() == QMetaType::QDateTime || type == ColumnType::DateTime) {
        const QDateTime dt = value.typeId() == QMetaType::QDateTime
                                 ? value.toDateTime()
                                 : stored::parseDateTime(value.toString());
        if (!dt.isValid())
            return value.toString();
        const bool wantsTime = m.contains(QLatin1String("hh")) || m.contains(QLatin1String("nn"));
        const bool wantsDate = m.contains(QLatin1String("dd")) || m.contains(QLatin1String("yy"));
        if (wantsTime && !wantsDate)
            return dt.time().toString(QStringLiteral("HH:mm"));
        if (wantsTime)
            return dt.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        return dt.date().toString(QStringLiteral("dd.MM.yyyy"));
    }
    if (type == ColumnType::Float || type == ColumnType::Currency ||
        value.typeId() == QMetaType::Double) {
        static const QLocale german(QLocale::German, QLocale::Germany);
        return german.toString(value.toDouble(), 'f', 2);
    }
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    return value.toString();
}

bool TableModel::isTyped(ColumnType type) {
    return type == ColumnType::DateTime || type == ColumnType::Float ||
           type == ColumnType::Currency;
}

QString TableModel::editText(const QVariant& value, ColumnType type) {
    if (value.isNull() || !value.isValid())
        return QString();
    if (type == ColumnType::DateTime) {
        const QDateTime dt = value.typeId() == QMetaType::QDateTime
                                 ? value.toDateTime()
                                 : stored::parseDateTime(value.toString());
        if (!dt.isValid())
            return value.toString();
        const QString time = dt.time().toString(dt.time().second() ? QStringLiteral("HH:mm:ss")
                                                                   : QStringLiteral("HH:mm"));
        if (dt.date() == stored::timeBaseDate())
            return time;
        const QString date = dt.date().toString(QStringLiteral("dd.MM.yyyy"));
        return dt.time() == QTime(0, 0) ? date : date + QLatin1Char(' ') + time;
    }
    // Every decimal the value has, so that editing changes nothing by itself.
    return Format::number(value.toDouble(), QStringLiteral("#,##0.00##########"));
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!m_table || !index.isValid() || index.row() >= m_rows || index.column() >= m_columns.size())
        return {};
    const Column& col = m_columns[index.column()];
    const ColumnType type = typeOf(index.column());
    QVariant value;
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::CheckStateRole) {
        try {
            value = m_table->valueAt(index.row(), col.field);
        } catch (const DbError&) {
            return {};
        }
    }
    switch (role) {
    case Qt::DisplayRole:
        if (type == ColumnType::Boolean)
            return {};
        return m_formatter(value, type, col.mask);
    case Qt::EditRole:
        // Amounts and dates are edited as German text and read back by the one parser.
        if (isTyped(type))
            return editText(value, type);
        return value;
    case Qt::CheckStateRole:
        if (type == ColumnType::Boolean)
            return value.toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (isNumeric(type) && type != ColumnType::Boolean)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_columns.size())
        return {};
    const Column& c = m_columns[section];
    return c.title.isEmpty() ? c.field : c.title;
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Column& col = m_columns.value(index.column());
    const ColumnType type = typeOf(index.column());
    bool editable = !m_readOnly && !col.readOnly && m_table && m_table->isOpen();
    if (editable) {
        // Only stored fields are written; calculated and lookup fields follow from them.
        const TableInfo* info = m_table->connection()->schema().table(m_table->tableName());
        editable = info && info->column(col.field);
    }
    if (editable) {
        if (type == ColumnType::Boolean)
            f |= Qt::ItemIsUserCheckable;
        else
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_table || !index.isValid() ||
        !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const Column& col = m_columns[index.column()];
    QVariant v = value;
    if (role == Qt::CheckStateRole)
        v = value.toInt() == Qt::Checked;
    else if (role != Qt::EditRole)
        return false;
    try {
        if (m_table->recNo() != index.row())
            m_table->setRecNo(index.row());
        const ColumnType type = typeOf(index.column());
        if (v.typeId() == QMetaType::QString && isTyped(type)) {
            // An editor closed without a change gives back the text it was shown.
            if (v.toString() == editText(m_table->value(col.field), type))
                return true;
            v = stored::fromTyped(v.toString(), type, m_today ? m_today() : QDate::currentDate());
        } else if (v.typeId() == QMetaType::QString) {
            stored::requireFits(m_table->connection()->schema(), m_table->tableName(), col.field,
                                v.toString());
        }
        m_table->edit();
        m_table->setValue(col.field, v);
    } catch (const DbError& e) {
        m_lastError = e.message();
        emit writeFailed(e.message());
        return false;
    }
    return true;
}

void TableModel::onSetChanged() {
    beginResetModel();
    m_rows = m_table ? m_table->recordCount() : 0;
    m_types.clear();
    for (const Column& c : m_columns) {
        ColumnType t = ColumnType::Unknown;
        if (m_table && m_table->hasField(c.field))
            t = m_table->fieldType(c.field);
        m_types << t;
    }
    endResetModel();
}

void TableModel::onDataChanged(const QString& field) {
    if (!m_table)
        return;
    if (m_table->recordCount() != m_rows) {
        onSetChanged();
        return;
    }
    if (m_rows == 0 || m_columns.isEmpty())
        return;
    if (field.isEmpty()) {
        // The row or the set may have changed anywhere (cancel, a lookup table changed).
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1));
        return;
    }
    const int row = m_table->recNo();
    if (row >= 0 && row < m_rows)
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

} // namespace kilvaro
