#include "data/RowKeyCache.h"

#include <algorithm>

namespace kilvaro {

RowKeyCache::RowKeyCache(RowReader& reader, int blockSize, int rowLimit)
    : m_reader(reader), m_blockSize(qMax(1, blockSize)), m_rowLimit(qMax(rowLimit, blockSize)) {}

// --- the set -----------------------------------------------------------------------------

void RowKeyCache::read(const KeyQuery& query) {
    QVector<qint64> keys = m_reader.readKeys(query);
    m_keys = std::move(keys);
    m_query = query;
    m_pending = false;
    m_kept.clear();
    dropRows();
}

void RowKeyCache::defer() {
    m_keys.clear();
    dropRows();
    m_kept.clear();
    m_pending = true;
}

void RowKeyCache::clear() {
    m_keys.clear();
    dropRows();
    m_kept.clear();
    m_pending = false;
    m_newRowPos = -1;
}

void RowKeyCache::rereadKeeping(qint64 storedKey, int storedPosition) {
    QHash<qint64, int> oldPositions;
    m_kept.insert(storedKey);
    for (int i = 0; i < m_keys.size(); ++i)
        if (m_kept.contains(m_keys[i]))
            oldPositions.insert(m_keys[i], i);
    oldPositions.insert(storedKey, storedPosition);
    QVector<qint64> fresh = m_reader.readKeys(m_query);
    const QSet<qint64> present(fresh.cbegin(), fresh.cend());
    QList<std::pair<int, qint64>> missing;
    for (auto it = oldPositions.cbegin(); it != oldPositions.cend(); ++it)
        if (!present.contains(it.key()))
            missing.append({it.value(), it.key()});
    std::sort(missing.begin(), missing.end());
    QSet<qint64> stillKept;
    for (const auto& [at, key] : missing) {
        fresh.insert(qBound(0, at, int(fresh.size())), key);
        stillKept.insert(key);
    }
    m_kept = stillKept;
    m_keys = std::move(fresh);
}

// --- keys --------------------------------------------------------------------------------

int RowKeyCache::positionOf(qint64 key) const {
    return int(m_keys.indexOf(key));
}

bool RowKeyCache::isNewRow(int position) const {
    return position >= 0 && position < m_keys.size() && m_keys[position] == kNewRow;
}

int RowKeyCache::insertNewRow(int at) {
    at = qBound(0, at, int(m_keys.size()));
    m_keys.insert(at, kNewRow);
    m_newRowPos = at;
    return at;
}

int RowKeyCache::dropNewRow() {
    const int at = m_newRowPos;
    if (isNewRow(m_newRowPos))
        m_keys.removeAt(m_newRowPos);
    else
        m_keys.removeAll(kNewRow);
    m_newRowPos = -1;
    return at;
}

void RowKeyCache::settleNewRow(int position, qint64 key) {
    if (position >= 0 && position < m_keys.size())
        m_keys[position] = key;
    m_newRowPos = -1;
}

void RowKeyCache::removeAt(int position) {
    const qint64 key = m_keys.value(position, 0);
    m_keys.removeAt(position);
    m_kept.remove(key);
    dropRow(key);
}

// --- rows --------------------------------------------------------------------------------

TableRow& RowKeyCache::rowAt(int position) {
    const qint64 key = m_keys[position];
    Q_ASSERT(key != kNewRow);
    auto it = m_rows.find(key);
    if (it == m_rows.end()) {
        loadBlock(position);
        it = m_rows.find(key);
    }
    return *it;
}

TableRow* RowKeyCache::cachedRow(qint64 key) {
    const auto it = m_rows.find(key);
    return it == m_rows.end() ? nullptr : &*it;
}

void RowKeyCache::dropRow(qint64 key) {
    if (m_rows.remove(key))
        m_fifo.removeOne(key);
}

void RowKeyCache::dropRows() {
    m_rows.clear();
    m_fifo.clear();
}

void RowKeyCache::loadBlock(int position) {
    const int start = position - position % m_blockSize;
    const int end = qMin(int(m_keys.size()), start + m_blockSize);
    QList<qint64> wanted;
    for (int i = start; i < end; ++i)
        if (m_keys[i] != kNewRow && !m_rows.contains(m_keys[i]))
            wanted << m_keys[i];
    if (!wanted.isEmpty()) {
        for (auto& [key, row] : m_reader.readRows(wanted)) {
            if (!m_rows.contains(key))
                m_fifo.append(key);
            m_rows.insert(key, std::move(row));
        }
        // A row deleted by someone else since the keys were read reads as empty.
        for (const qint64 key : std::as_const(wanted)) {
            if (!m_rows.contains(key)) {
                TableRow gone = m_reader.emptyRow();
                gone.missing = true;
                m_rows.insert(key, gone);
                m_fifo.append(key);
            }
        }
    }
    // The limit holds at least a block: the oldest rows go, never the ones just read.
    while (m_fifo.size() > m_rowLimit)
        m_rows.remove(m_fifo.takeFirst());
}

} // namespace kilvaro
