#pragma once

#include "data/SchemaInfo.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace kilvaro {

class Connection;
class Table;

enum class TableState { Inactive, Browse, Edit, Insert, CalcFields };

/// Convenience view of one field of the current row, in the style of FieldByName:
/// t.field("Datum").asDateTime(), t.field("Name").setValue("Meier").
class FieldRef {
public:
    FieldRef(Table* table, QString name) : m_table(table), m_name(std::move(name)) {}
    QVariant value() const;
    bool isNull() const;
    QString asString() const; ///< empty for null
    int asInteger() const;    ///< 0 for null
    double asFloat() const;   ///< 0 for null
    bool asBoolean() const;   ///< false for null
    QDateTime asDateTime() const;
    void setValue(const QVariant& v) const;
    void clear() const; ///< store null
    const QString& name() const { return m_name; }

private:
    Table* m_table;
    QString m_name;
};

/// A named table opened as an updatable record set, in the manner of the old engine:
/// sort order, filter text switched on and off, master-detail link, a current row, the
/// states browse/edit/insert, calculated and lookup fields and the record events.
///
/// Rows are not all held in memory: the table keeps the ordered row keys of its current
/// set and reads the rows themselves in blocks when they are needed. Opening reads no keys
/// yet; they are read when something first needs them (a count, the current row, a grid).
///
/// Every refusal (engine error, bad filter text, a handler that throws, a text too long for
/// its column) is thrown as DbError; the table stays in the state it had before the failing
/// call (a refused store leaves the row in edit or insert with the values the user typed).
///
/// Optimistic locking: a store or delete goes through only while the row still holds the
/// values it was read with. When another workstation changed or deleted it since, the call
/// is refused with a German message, nothing is written, and the row shows what is stored
/// now (or leaves the set when it is gone). Writes of this program on the same connection
/// (announced through Connection::notifyTableChanged) count as read, not as conflicts.
class Table : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(Table&)>;

    Table(Connection* connection, const QString& tableName, QObject* parent = nullptr);
    ~Table() override;

    Connection* connection() const { return m_connection; }
    QString tableName() const { return m_tableName; }

    // --- opening -------------------------------------------------------------------------
    void open();
    void close();
    bool isOpen() const;
    /// Re-reads the set (order, filter, link) and stays on the current row if it is still
    /// in the set, else on the row at the same position.
    void refresh();

    // --- order, filter, link -------------------------------------------------------------
    /// Order text in the old dialect, e.g. "[Nr] ASC, [Anfang] ASC"; empty: stored order.
    void setOrder(const QString& order);
    QString order() const;
    /// Filter text in the old dialect. Takes effect (and moves to the first row) when
    /// filtering is on.
    void setFilter(const QString& filter);
    QString filter() const;
    void setFiltered(bool on);
    bool filtered() const;
    /// Master-detail link: this table shows the rows whose `detailFields` equal the master's
    /// current `masterFields` (lists separated by ';'), follows every move of the master, and
    /// a row inserted here receives the master's values.
    void setMasterLink(Table* master, const QString& detailFields, const QString& masterFields);
    Table* master() const;

    // --- moving --------------------------------------------------------------------------
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    /// Zero-based position in the current set; -1 when empty.
    int recNo() const;
    void setRecNo(int row);
    bool bof() const;
    bool eof() const;
    int recordCount() const; ///< rows of the set, a row being inserted included
    bool isEmpty() const;
    /// Moves to the first row of the set whose field equals the value (texts without regard
    /// to case). Returns false and stays put when there is none.
    bool locate(const QString& field, const QVariant& value);
    /// Moves to the first row of the (filtered) set; false when the set is empty.
    bool findFirst();

    // --- editing -------------------------------------------------------------------------
    TableState state() const;
    bool isEditing() const; ///< Edit or Insert
    void insert();          ///< new row before the current one
    void append();          ///< new row at the end
    void edit();
    void post();
    void cancel();
    void remove(); ///< deletes the current row (no question: the caller asks)
    /// Stores a pending edit or insert, if any.
    void checkBrowseMode();

    // --- fields --------------------------------------------------------------------------
    QStringList fieldNames() const; ///< stored, then calculated, then lookup fields
    bool hasField(const QString& name) const;
    ColumnType fieldType(const QString& name) const;
    QVariant value(const QString& field) const;
    /// Assigns a field of the row in edit/insert (or a calculated field inside the
    /// calculate-fields handler). An empty text stores null. Throws DbError in browse state.
    void setValue(const QString& field, const QVariant& value);
    FieldRef field(const QString& name) { return FieldRef(this, name); }
    /// Value of a field of the row at `row` without moving (for grids); the row being edited
    /// shows its edit buffer.
    QVariant valueAt(int row, const QString& field) const;
    /// Key of the current row (the backend's row id); 0 when none.
    qint64 currentKey() const;

    // --- calculated and lookup fields ---------------------------------------------------
    void addCalculatedField(const QString& name, ColumnType type);
    /// Lookup field: the value of `resultField` of the row of `lookupTable` whose
    /// `lookupKeyField` equals this table's `keyField`.
    void addLookupField(const QString& name, const QString& keyField, Table* lookupTable,
                        const QString& lookupKeyField, const QString& resultField);

    // --- events --------------------------------------------------------------------------
    // The events a table raises, in firing order. "details follow": each detail table reads
    // the rows of the master's new row and raises its own setChanged, onCalcFields,
    // afterScroll, dataChanged. "announced": Connection::tableChanged tells the other table
    // objects of the write. A handler or hook that throws stops the call right there; the
    // exception reaches the caller and the later events of the list do not fire.
    //
    // - insert(), append(): a pending edit here and in the detail tables is posted (post()),
    //   beforeInsert, the new row (stateChanged, setChanged), onNewRecord, onCalcFields,
    //   details follow, afterInsert, afterScroll, dataChanged. beforeInsert throwing: no new
    //   row; a later handler throwing: the new row stays, in insert.
    // - edit(): stateChanged, onCalcFields, dataChanged (an empty set: insert() instead).
    // - setValue() in edit or insert: onCalcFields, dataChanged(field).
    // - post(): the update-record hooks (in the order added), beforePost, then in one
    //   transaction beforeWrite and the store (without beforeWrite: the store alone), browse
    //   (stateChanged, setChanged), onCalcFields, details follow, afterPost, announced,
    //   dataChanged. A hook, beforePost or beforeWrite throwing: nothing is stored and the row
    //   stays in edit or insert with its values. afterPost throwing: the row is stored, the
    //   table in browse, but not announced. A store refused for a row changed or deleted
    //   elsewhere: browse (stateChanged, setChanged when gone), onCalcFields, details follow,
    //   dataChanged, then DbError; afterPost does not run.
    // - cancel() of an insert: the new row goes (stateChanged, setChanged), onCalcFields,
    //   details follow, afterScroll, dataChanged. Of an edit: stateChanged, onCalcFields,
    //   details follow, dataChanged (no afterScroll).
    // - remove(): beforeDelete, the delete, browse (stateChanged when it was in edit),
    //   setChanged, onCalcFields, details follow, afterDelete, announced, afterScroll,
    //   dataChanged. beforeDelete throwing: nothing deleted. In insert: cancel() instead. A
    //   delete refused for a row changed or deleted elsewhere: as a refused store.
    // - first(), last(), next(), prior(), moveBy(), setRecNo(), locate(): a pending edit here
    //   and in the detail tables is posted, then onCalcFields, details follow, afterScroll,
    //   dataChanged.
    // - setOrder(), setFilter() (while filtered), setFiltered(), setMasterLink() and
    //   refresh() of an open table: a pending edit is posted, setChanged, onCalcFields,
    //   details follow, afterScroll, dataChanged (refresh() before any row was read: none).
    // - open(): stateChanged, setChanged, details follow, afterScroll, dataChanged (no row is
    //   read yet, so no onCalcFields). close(): a pending edit is dropped; stateChanged,
    //   setChanged, dataChanged, details follow; no handler runs.
    // - onCalcFields runs only when the table has calculated fields, in the state CalcFields
    //   on the row being computed: for the current row where listed above, for any other row
    //   when its values are first read (valueAt() of a grid, where a throwing handler gives
    //   null instead). It may set calculated fields only.
    // - Between disableControls() and enableControls() the signals are held back; the last
    //   enableControls() sends stateChanged (if held), setChanged and dataChanged once.
    Handler beforeInsert, afterInsert, beforePost, afterPost, beforeDelete, afterDelete,
        afterScroll, onCalcFields, onNewRecord;
    /// Runs after beforePost inside one write transaction with the store itself, so that
    /// what it reads (e.g. the highest number of a day) cannot change before the row is
    /// written. Without it a store runs without a transaction of its own.
    Handler beforeWrite;

    // --- suspended control updates ------------------------------------------------------
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

    // --- bound controls -------------------------------------------------------------------
    /// Controls register a hook that writes their pending input into the row; post() runs
    /// the hooks first, so a text typed but not yet confirmed is stored too. A hook may
    /// throw DbError to stop the store. Hooks of a destroyed owner are dropped.
    void addUpdateRecordHook(QObject* owner, std::function<void()> hook);
    void removeUpdateRecordHooks(QObject* owner);

signals:
    /// A field of the current row changed (name), or the row/set changed (empty name).
    void dataChanged(const QString& field);
    void stateChanged();
    /// The set was re-read (filter, order, link, refresh, insert/delete): grids reset.
    void setChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
    Connection* m_connection;
    QString m_tableName;
    friend class FieldRef;
};

} // namespace kilvaro
