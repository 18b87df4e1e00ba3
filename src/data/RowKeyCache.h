#pragma once

#include "data/TableRow.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVector>
#include <limits>
#include <utility>

namespace kilvaro {

/// What the keys of a set are read with: WHERE (with its binds) and ORDER BY.
struct KeyQuery {
    QString where;
    QVariantList binds;
    QString orderBy;
};

/// Reads the keys and rows a RowKeyCache holds (a table's database reads; a fake in tests).
class RowReader {
public:
    virtual ~RowReader() = default;
    /// The keys of the set, in its order.
    virtual QVector<qint64> readKeys(const KeyQuery& query) = 0;
    /// The rows of those keys that still exist, in any order.
    virtual QList<std::pair<qint64, TableRow>> readRows(const QList<qint64>& keys) = 0;
    /// The row shown for a key whose row has gone.
    virtual TableRow emptyRow() const = 0;
};

/// The ordered row keys of a table's current set and the rows read so far.
///
/// The keys are read whole (or left pending until needed); the rows are read in blocks of
/// neighbouring positions when first asked for, and the oldest blocks are given up when the
/// cache is full. A row being inserted has a placeholder key (kNewRow) and no cached row.
class RowKeyCache {
public:
    static constexpr qint64 kNewRow = std::numeric_limits<qint64>::min();
    static constexpr int kBlockSize = 128;
    static constexpr int kRowLimit = 8 * kBlockSize;

    /// `rowLimit` must hold at least one block.
    explicit RowKeyCache(RowReader& reader, int blockSize = kBlockSize, int rowLimit = kRowLimit);

    // --- the set ------------------------------------------------------------------------
    /// Reads the keys anew; on failure nothing changes. Drops every cached row.
    void read(const KeyQuery& query);
    /// Gives up keys and rows; pending() until the next read().
    void defer();
    bool pending() const { return m_pending; }
    /// No keys, no rows, nothing pending.
    void clear();
    const KeyQuery& query() const { return m_query; }
    /// Re-reads the keys with the current query after a store. The stored row and rows
    /// stored earlier that left the set stay at their place until the next read().
    void rereadKeeping(qint64 storedKey, int storedPosition);

    // --- keys ---------------------------------------------------------------------------
    int size() const { return int(m_keys.size()); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    qint64 keyAt(int position) const { return m_keys.value(position, 0); }
    int positionOf(qint64 key) const;
    bool isNewRow(int position) const;
    /// Puts the placeholder of a new row at `at` (bounded to the set); returns its position.
    int insertNewRow(int at);
    /// Removes the placeholder; returns the position it had (-1 when there was none).
    int dropNewRow();
    /// The new row was stored under `key`: it replaces the key at `position`.
    void settleNewRow(int position, qint64 key);
    /// The row at `position` leaves the set and the cache.
    void removeAt(int position);

    // --- rows ---------------------------------------------------------------------------
    /// The row at a position of the set, read with its block when not cached; never the
    /// placeholder. The reference holds until the next read of rows.
    TableRow& rowAt(int position);
    /// The cached row of a key, or null.
    TableRow* cachedRow(qint64 key);
    bool hasRows() const { return !m_rows.isEmpty(); }
    void dropRow(qint64 key);
    void dropRows();
    template <typename F> void forEachRow(F&& f) {
        for (TableRow& row : m_rows)
            f(row);
    }

private:
    void loadBlock(int position);

    RowReader& m_reader;
    const int m_blockSize;
    const int m_rowLimit;
    KeyQuery m_query;
    QVector<qint64> m_keys;
    bool m_pending = false;
    int m_newRowPos = -1;
    QSet<qint64> m_kept; // stored rows that left the set, kept until the next read()
    QHash<qint64, TableRow> m_rows;
    QList<qint64> m_fifo; // cached keys, oldest first
};

} // namespace kilvaro
