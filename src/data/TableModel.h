#pragma once

#include "data/SchemaInfo.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QPointer>
#include <functional>

namespace kilvaro {

class Table;

/// Item model over a table object for grids: one row per row of the table's current set,
/// read on demand through Table::valueAt, so a grid over a large table holds only what it
/// shows. Editable cells write through the table (edit() and setValue()).
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title; ///< empty: the field name
        QString mask;  ///< display mask ("#,##0.00", "dd.mm.yyyy", "hh:mm"); empty: by type
        bool readOnly = false;
        int width = 0; ///< preferred width in pixels for grids, 0: automatic
    };

    /// Turns a value into display text. Replaceable for the program's shared formatter.
    using Formatter =
        std::function<QString(const QVariant& value, ColumnType type, const QString& mask)>;

    explicit TableModel(Table* table, QObject* parent = nullptr);

    Table* table() const { return m_table; }
    void setColumns(const QList<Column>& columns);
    /// All fields of the table, titled by name.
    void setAllColumns();
    const QList<Column>& columns() const { return m_columns; }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }
    void setFormatter(Formatter formatter) { m_formatter = std::move(formatter); }

    /// The default display: dates dd.MM.yyyy (hh:mm when the mask asks for the time), floats
    /// with two decimals in German style, everything else as text.
    static QString defaultFormat(const QVariant& value, ColumnType type, const QString& mask);

    /// The text a cell editor starts with: amounts "1.500,00" with every decimal the value
    /// has, dates "dd.MM.yyyy" (with "HH:mm" when there is a time), times "HH:mm".
    static QString editText(const QVariant& value, ColumnType type);
    /// "Today" for typed dates with a two-digit year; the system date unless set.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Writes through the table; a refusal is kept in lastError() and returns false.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QString lastError() const { return m_lastError; }

signals:
    /// A write through setData was refused (text of the refusal).
    void writeFailed(const QString& message);

private:
    void onSetChanged();
    void onDataChanged(const QString& field);
    ColumnType typeOf(int column) const;
    /// Columns whose cells are typed as German text (amounts, dates and times).
    static bool isTyped(ColumnType type);
    QPointer<Table> m_table;
    QList<Column> m_columns;
    QList<ColumnType> m_types;
    Formatter m_formatter;
    bool m_readOnly = false;
    int m_rows = 0;
    QString m_lastError;
    std::function<QDate()> m_today;
};

} // namespace kilvaro
