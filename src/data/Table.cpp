#include "data/Table.h"

#include "data/Connection.h"
#include "base/DbError.h"
#include "data/StoredValue.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <limits>

namespace kilvaro {

namespace {

/// Key of the row being inserted: it has no row id yet.
constexpr qint64 kNewRow = std::numeric_limits<qint64>::min();
/// Rows read per block and rows kept in the cache.
constexpr int kBlockSize = 128;
constexpr int kCacheLimit = 8 * kBlockSize;

QString quoteName(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString changedElsewhereMessage() {
    return QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz "
                          "geändert. Ihre Änderung wurde nicht gespeichert; der Datensatz zeigt "
                          "jetzt den gespeicherten Stand.");
}

QString deletedElsewhereMessage() {
    return QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz "
                          "gelöscht. Ihre Änderung wurde nicht gespeichert.");
}

QString changedBeforeDeleteMessage() {
    return QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz "
                          "geändert und deshalb nicht gelöscht. Er zeigt jetzt den gespeicherten "
                          "Stand.");
}

QString goneBeforeDeleteMessage() {
    return QStringLiteral(
        "Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz gelöscht.");
}

/// Equality that holds for two NULLs too, in the backend's spelling.
QString sameValueSql(SqlBackend backend, const QString& column) {
    return backend == SqlBackend::Postgres ? column + QStringLiteral(" IS NOT DISTINCT FROM ?")
                                           : column + QStringLiteral(" IS ?");
}

/// A store or delete found the row changed or deleted since it was read.
struct RowConflict {
    bool gone = false;
};

QString browseModeMessage() {
    return QStringLiteral("Der Datensatz ist nicht im Bearbeitungs- oder Einfügemodus.");
}

QString unknownField(const QString& name) {
    return QStringLiteral("Feld '%1' nicht gefunden.").arg(name);
}

/// Hash key of a lookup value: numbers by value, texts without regard to case.
QString lookupKey(const QVariant& v) {
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

enum class FieldKind { Stored, Calculated, Lookup };

struct FieldPos {
    FieldKind kind = FieldKind::Stored;
    int index = -1;
};

struct Row {
    QVariantList values; ///< stored columns, typed
    QVariantList calc;   ///< calculated fields
    /// The stored columns exactly as the database returned them: a store or delete of this
    /// row only goes through while the database still holds these values.
    QVariantList raw;
    bool calcDone = false;
    bool missing = false; ///< deleted by someone else since the keys were read
};

struct CalcField {
    QString name;
    ColumnType type;
};

struct LookupField {
    QString name;
    QString keyField;
    QPointer<Table> lookupTable;
    QString lookupTableName;
    QString lookupKeyField;
    QString resultField;
    ColumnType type = ColumnType::Text;
    bool valid = false;
    QHash<QString, QVariant> map;
};

struct Hook {
    QPointer<QObject> owner;
    std::function<void()> hook;
};

} // namespace

struct Table::Private {
    Table* q;
    explicit Private(Table* table) : q(table) {}

    TableState state = TableState::Inactive;
    QList<ColumnInfo> columns;
    QList<CalcField> calcFields;
    QList<LookupField> lookups;
    QHash<QString, FieldPos> fieldIndex; // folded name -> position

    QString order, filter;
    bool filtered = false;
    QPointer<Table> master;
    bool hasLink = false;
    QStringList detailFields, masterFields;
    QVariantList linkValues; // values of the master the set was read with
    QList<QPointer<Table>> details;

    QVector<qint64> keys;
    int pos = -1;
    bool bof = true, eof = true;
    QString whereSql;
    QVariantList whereBinds;
    QString orderSql;
    QSet<qint64> kept; // posted rows that left the set, kept until the next full read

    QHash<qint64, Row> cache;
    QList<qint64> cacheFifo;

    Row buffer;
    QSet<int> modified;
    int insertPos = -1;

    Row* calcRow = nullptr;
    TableState stateBeforeCalc = TableState::Browse;

    int disableCount = 0;
    bool pendingSet = false, pendingData = false, pendingState = false;

    QList<Hook> hooks;

    bool announcing = false; ///< this table's own write is being announced
    /// Opened, but the keys of the set are not read yet: they are read when first needed.
    bool keysPending = false;

    // --- helpers -----------------------------------------------------------------------

    void requireOpen() const {
        if (state == TableState::Inactive)
            throw DbError(
                QStringLiteral("Die Tabelle '%1' ist nicht geöffnet.").arg(q->m_tableName));
    }

    void rebuildFieldIndex() {
        fieldIndex.clear();
        for (int i = 0; i < columns.size(); ++i)
            fieldIndex.insert(columns[i].name.toCaseFolded(), {FieldKind::Stored, i});
        for (int i = 0; i < calcFields.size(); ++i)
            fieldIndex.insert(calcFields[i].name.toCaseFolded(), {FieldKind::Calculated, i});
        for (int i = 0; i < lookups.size(); ++i)
            fieldIndex.insert(lookups[i].name.toCaseFolded(), {FieldKind::Lookup, i});
    }

    FieldPos find(const QString& name) const {
        const auto it = fieldIndex.constFind(name.toCaseFolded());
        if (it == fieldIndex.constEnd())
            throw DbError(unknownField(name));
        return *it;
    }

    Row emptyRow() const {
        Row r;
        for (const ColumnInfo& c : columns)
            r.values << (c.type == ColumnType::Boolean ? QVariant(false) : QVariant());
        for (int i = 0; i < calcFields.size(); ++i)
            r.calc << QVariant();
        return r;
    }

    // --- signals, honouring disableControls ---------------------------------------------

    void emitData(const QString& field) {
        if (disableCount > 0) {
            pendingData = true;
            return;
        }
        emit q->dataChanged(field);
    }
    void emitState() {
        if (disableCount > 0) {
            pendingState = true;
            return;
        }
        emit q->stateChanged();
    }
    void emitSet() {
        if (disableCount > 0) {
            pendingSet = true;
            return;
        }
        emit q->setChanged();
    }
    void setState(TableState s) {
        if (state == s)
            return;
        state = s;
        emitState();
    }

    // --- reading keys and rows -----------------------------------------------------------

    QVariantList currentLinkValues() const {
        QVariantList values;
        Table* m = master.data();
        if (!m || m->d->state == TableState::Inactive)
            return values;
        if (!m->isEditing() && m->isEmpty())
            return values;
        for (const QString& f : masterFields) {
            const QVariant v = m->value(f);
            if (v.isNull() || !v.isValid())
                return {};
            values << v;
        }
        return values;
    }

    /// Builds WHERE (with binds) and ORDER BY for the given filter state; throws DbError for
    /// a filter or order text the translator refuses.
    void buildQuery(const QString& filterText, bool filterOn, const QString& orderText,
                    const QVariantList& link, QString* where, QVariantList* binds,
                    QString* orderBy) const {
        QStringList parts;
        binds->clear();
        if (hasLink && master) {
            if (link.size() != detailFields.size()) {
                parts << QStringLiteral("0");
            } else {
                for (int i = 0; i < detailFields.size(); ++i) {
                    const FieldPos p = find(detailFields[i]);
                    if (p.kind != FieldKind::Stored)
                        throw DbError(unknownField(detailFields[i]));
                    parts << quoteName(columns[p.index].name) + QStringLiteral(" = ?");
                    *binds << stored::toDb(link[i], columns[p.index].type);
                }
            }
        }
        if (filterOn && !filterText.trimmed().isEmpty()) {
            const Translation t =
                q->m_connection->translator().condition(filterText, q->m_tableName);
            if (!t.ok)
                throw DbError(t.error);
            parts << QLatin1Char('(') + t.sql + QLatin1Char(')');
        }
        *where = parts.isEmpty() ? QString()
                                 : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
        QString ord;
        if (!orderText.trimmed().isEmpty()) {
            const Translation t = q->m_connection->translator().order(orderText, q->m_tableName);
            if (!t.ok)
                throw DbError(t.error);
            if (!t.sql.trimmed().isEmpty())
                ord = t.sql + QStringLiteral(", ");
        }
        *orderBy = QStringLiteral(" ORDER BY ") + ord + QStringLiteral("rowid");
    }

    QVector<qint64> readKeys(const QString& where, const QVariantList& binds,
                             const QString& orderBy) const {
        QSqlQuery query = q->m_connection->exec(QStringLiteral("SELECT rowid FROM ") +
                                                    quoteName(q->m_tableName) + where + orderBy,
                                                binds);
        QVector<qint64> out;
        while (query.next())
            out.append(query.value(0).toLongLong());
        return out;
    }

    /// Reads the whole set anew with the given settings; on failure nothing changes.
    void readSet(const QString& filterText, bool filterOn, const QString& orderText) {
        QString where, orderBy;
        QVariantList binds;
        const QVariantList link = currentLinkValues();
        buildQuery(filterText, filterOn, orderText, link, &where, &binds, &orderBy);
        QVector<qint64> newKeys = readKeys(where, binds, orderBy);
        keys = std::move(newKeys);
        whereSql = where;
        whereBinds = binds;
        orderSql = orderBy;
        linkValues = link;
        kept.clear();
        clearCache();
    }

    /// Reads the keys of a set opened without them, positioned on the first row.
    void ensureKeys() {
        if (!keysPending)
            return;
        keysPending = false;
        keys.clear();
        pos = -1;
        bof = eof = true;
        readSet(filter, filtered, order);
        moveTo(0);
        bof = true;
        eof = keys.isEmpty();
    }

    /// Gives up the keys read so far: they are read again, with the settings and the
    /// master's row of that moment, when something needs them.
    void deferKeys() {
        keys.clear();
        clearCache();
        kept.clear();
        linkValues.clear();
        pos = -1;
        bof = eof = true;
        keysPending = true;
    }

    /// Re-reads the keys after a store, keeping rows that left the set at their place.
    void rereadKeepingRows(qint64 storedKey, int storedPos) {
        QHash<qint64, int> oldPositions;
        kept.insert(storedKey);
        for (int i = 0; i < keys.size(); ++i)
            if (kept.contains(keys[i]))
                oldPositions.insert(keys[i], i);
        oldPositions.insert(storedKey, storedPos);
        QVector<qint64> fresh = readKeys(whereSql, whereBinds, orderSql);
        QSet<qint64> present(fresh.cbegin(), fresh.cend());
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
        kept = stillKept;
        keys = std::move(fresh);
    }

    void clearCache() {
        cache.clear();
        cacheFifo.clear();
    }

    void dropCached(qint64 key) {
        cache.remove(key);
        cacheFifo.removeOne(key);
    }

    void loadBlock(int position) {
        const int start = position - position % kBlockSize;
        const int end = qMin(int(keys.size()), start + kBlockSize);
        QVariantList wanted;
        for (int i = start; i < end; ++i)
            if (keys[i] != kNewRow && !cache.contains(keys[i]))
                wanted << keys[i];
        if (!wanted.isEmpty()) {
            QStringList cols;
            for (const ColumnInfo& c : columns)
                cols << quoteName(c.name);
            QString marks = QStringLiteral("?");
            marks += QStringLiteral(",?").repeated(wanted.size() - 1);
            QSqlQuery query = q->m_connection->exec(
                QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                    .arg(cols.join(QLatin1Char(',')), quoteName(q->m_tableName), marks),
                wanted);
            while (query.next()) {
                Row r;
                r.values.reserve(columns.size());
                r.raw.reserve(columns.size());
                for (int c = 0; c < columns.size(); ++c) {
                    const QVariant v = query.value(c + 1);
                    r.raw << v;
                    r.values << stored::fromDb(v, columns[c].type);
                }
                for (int i = 0; i < calcFields.size(); ++i)
                    r.calc << QVariant();
                const qint64 key = query.value(0).toLongLong();
                cache.insert(key, r);
                cacheFifo.append(key);
            }
            // A row deleted by someone else since the keys were read reads as empty.
            for (const QVariant& k : wanted) {
                if (!cache.contains(k.toLongLong())) {
                    Row gone = emptyRow();
                    gone.missing = true;
                    cache.insert(k.toLongLong(), gone);
                    cacheFifo.append(k.toLongLong());
                }
            }
        }
        // The limit is larger than a block: the oldest entries go, never the ones just read.
        while (cacheFifo.size() > kCacheLimit)
            cache.remove(cacheFifo.takeFirst());
    }

    /// The cached row at a position of the set (not the insert placeholder).
    Row& rowAt(int position) {
        const qint64 key = keys[position];
        auto it = cache.find(key);
        if (it == cache.end()) {
            loadBlock(position);
            it = cache.find(key);
        }
        return *it;
    }

    // --- calculated and lookup fields ----------------------------------------------------

    void runCalc(Row& row) {
        for (QVariant& v : row.calc)
            v = QVariant();
        row.calcDone = true;
        if (calcFields.isEmpty() || !q->onCalcFields)
            return;
        Row* savedRow = calcRow;
        const TableState savedState = state;
        calcRow = &row;
        stateBeforeCalc = savedState;
        state = TableState::CalcFields;
        try {
            q->onCalcFields(*q);
        } catch (...) {
            calcRow = savedRow;
            state = savedState;
            throw;
        }
        calcRow = savedRow;
        state = savedState;
    }

    /// Calculated values of a cached row, computed when missing. The handler may read other
    /// rows of this table and so evict this one: it works on a copy.
    void ensureCalc(int position) {
        Row& cached = rowAt(position);
        if (cached.calcDone)
            return;
        const qint64 key = keys[position];
        Row copy = cached;
        runCalc(copy);
        auto it = cache.find(key);
        if (it != cache.end()) {
            it->calc = copy.calc;
            it->calcDone = true;
        }
    }

    void calcCurrent() {
        if (calcFields.isEmpty() || state == TableState::Inactive || keysPending)
            return;
        if (state == TableState::Edit || state == TableState::Insert) {
            runCalc(buffer);
            return;
        }
        if (pos < 0 || pos >= keys.size())
            return;
        rowAt(pos).calcDone = false;
        ensureCalc(pos);
    }

    void loadLookup(LookupField& lf) {
        lf.map.clear();
        lf.valid = true;
        const TableInfo* info = q->m_connection->schema().table(lf.lookupTableName);
        if (!info)
            return;
        const ColumnInfo* keyCol = info->column(lf.lookupKeyField);
        const ColumnInfo* resCol = info->column(lf.resultField);
        if (!keyCol || !resCol)
            return;
        lf.type = resCol->type;
        QSqlQuery query = q->m_connection->exec(
            QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY rowid")
                .arg(quoteName(keyCol->name), quoteName(resCol->name), quoteName(info->name)));
        while (query.next()) {
            const QString k = lookupKey(stored::fromDb(query.value(0), keyCol->type));
            if (!k.isEmpty() && !lf.map.contains(k))
                lf.map.insert(k, stored::fromDb(query.value(1), resCol->type));
        }
    }

    QVariant lookupValue(int index, const Row& row) {
        LookupField& lf = lookups[index];
        const QVariant keyValue = fieldOf(row, find(lf.keyField));
        const QString k = lookupKey(keyValue);
        if (k.isEmpty())
            return {};
        if (!lf.valid)
            loadLookup(lf);
        return lf.map.value(k);
    }

    QVariant fieldOf(const Row& row, FieldPos p) {
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

    // --- position ------------------------------------------------------------------------

    bool onNewRow(int position) const {
        return position >= 0 && position < keys.size() && keys[position] == kNewRow;
    }

    /// Posts pending edits here and in the detail tables before the current row changes.
    void prepareMove() {
        requireOpen();
        ensureKeys();
        q->checkBrowseMode();
        for (const QPointer<Table>& dt : details)
            if (dt && dt->d->state != TableState::Inactive)
                dt->checkBrowseMode();
    }

    /// After the current row changed: calculated fields, details, scroll event, signal.
    void afterMove(bool scrollEvent = true) {
        calcCurrent();
        followDetails();
        if (scrollEvent && q->afterScroll)
            q->afterScroll(*q);
        emitData(QString());
    }

    void followDetails() {
        for (const QPointer<Table>& dt : details)
            if (dt && dt->d->master == q)
                dt->d->masterChanged();
    }

    /// The master moved or changed: read the rows of its current key.
    void masterChanged() {
        if (state == TableState::Inactive)
            return;
        Table* m = master.data();
        if (m && m->d->keysPending) {
            // The master's rows are not read yet, so its current row is not known: this set
            // waits for it.
            if (keysPending)
                return;
            q->checkBrowseMode();
            deferKeys();
            emitSet();
            afterMove();
            return;
        }
        if (keysPending)
            return; // read with the master's row of the moment it is needed
        const QVariantList link = currentLinkValues();
        if (link == linkValues && !link.isEmpty())
            return;
        if (link.isEmpty() && linkValues.isEmpty() && keys.isEmpty())
            return;
        q->checkBrowseMode();
        readSet(filter, filtered, order);
        pos = keys.isEmpty() ? -1 : 0;
        bof = true;
        eof = keys.isEmpty();
        emitSet();
        afterMove();
    }

    void moveTo(int position) {
        if (keys.isEmpty()) {
            pos = -1;
            bof = eof = true;
            return;
        }
        pos = qBound(0, position, int(keys.size()) - 1);
    }

    int positionOf(qint64 key) const {
        for (int i = 0; i < keys.size(); ++i)
            if (keys[i] == key)
                return i;
        return -1;
    }

    void stayOnKey(qint64 key, int fallback) {
        const int at = key != 0 ? positionOf(key) : -1;
        moveTo(at >= 0 ? at : fallback);
        bof = keys.isEmpty();
        eof = keys.isEmpty();
    }

    /// Positions after a full re-read: on the row that was current (or the same place) or
    /// on the first row.
    void placeAfterRead(bool keepRow, qint64 key, int oldPos) {
        if (keepRow) {
            stayOnKey(key, oldPos);
        } else {
            moveTo(0);
            bof = true;
            eof = keys.isEmpty();
        }
        emitSet();
        afterMove();
    }

    /// A full re-read with new settings. The settings change only when the rows could be
    /// read, so a refused filter leaves the previous one in force.
    void resetSet(const QString& newFilter, bool newFiltered, const QString& newOrder,
                  bool keepRow) {
        if (keysPending) {
            // Nothing read yet: only the texts are checked, the keys follow when needed.
            QString where, orderBy;
            QVariantList binds;
            buildQuery(newFilter, newFiltered, newOrder, {}, &where, &binds, &orderBy);
            filter = newFilter;
            filtered = newFiltered;
            order = newOrder;
            emitSet();
            afterMove();
            return;
        }
        const qint64 key = q->currentKey();
        const int oldPos = pos;
        readSet(newFilter, newFiltered, newOrder);
        filter = newFilter;
        filtered = newFiltered;
        order = newOrder;
        placeAfterRead(keepRow, key, oldPos);
    }

    /// This program wrote rows of the table through another table object or a statement.
    /// Cached rows may be stale; the row being edited takes what is stored as the state it
    /// was read in (the program's own write is no conflict) and keeps what was typed.
    void writtenHere() {
        if (state == TableState::Inactive || state == TableState::CalcFields || keysPending)
            return;
        const bool hadRows = !cache.isEmpty();
        clearCache();
        if (state == TableState::Browse) {
            if (hadRows)
                emitData(QString());
            return;
        }
        if (state != TableState::Edit)
            return;
        const qint64 key = keys.value(pos, 0);
        QStringList cols;
        for (const ColumnInfo& c : columns)
            cols << quoteName(c.name);
        QSqlQuery query = q->m_connection->exec(
            QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                .arg(cols.join(QLatin1Char(',')), quoteName(q->m_tableName)),
            {key});
        if (!query.next()) {
            buffer.missing = true;
            return;
        }
        buffer.missing = false;
        buffer.raw.clear();
        QStringList changed;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant v = query.value(i);
            buffer.raw << v;
            if (modified.contains(i))
                continue;
            const QVariant value = stored::fromDb(v, columns[i].type);
            if (value != buffer.values[i]) {
                buffer.values[i] = value;
                changed << columns[i].name;
            }
        }
        if (changed.isEmpty())
            return;
        calcCurrent();
        for (const QString& field : std::as_const(changed))
            emitData(field);
    }

    /// Announces a write of this table object to the others on the connection.
    void announceWrite() {
        announcing = true;
        try {
            q->m_connection->notifyTableChanged(q->m_tableName);
        } catch (...) {
            announcing = false;
            throw;
        }
        announcing = false;
    }

    // --- writing -------------------------------------------------------------------------

    void runHooks() {
        for (int i = 0; i < hooks.size();) {
            if (!hooks[i].owner) {
                hooks.removeAt(i);
                continue;
            }
            const auto hook = hooks[i].hook;
            hook();
            ++i;
        }
    }

    /// Refuses a text longer than its column before anything is written, whatever made the
    /// value (typed, copied from another table or composed by a rule).
    void requireFits(int column, const QVariant& dbValue) const {
        if (dbValue.typeId() == QMetaType::QString)
            stored::requireFits(q->m_connection->schema(), q->m_tableName, columns[column].name,
                                dbValue.toString());
    }

    /// "rowid = ? AND every column IS its value as read", with the binds.
    QString sameRowSql(qint64 key, const Row& read, QVariantList* binds) const {
        QString sql = QStringLiteral("rowid = ?");
        *binds << key;
        const SqlBackend backend = q->m_connection->backend();
        for (int i = 0; i < columns.size() && i < read.raw.size(); ++i) {
            sql += QStringLiteral(" AND ") + sameValueSql(backend, quoteName(columns[i].name));
            *binds << read.raw[i];
        }
        return sql;
    }

    bool rowExists(qint64 key) const {
        QSqlQuery query = q->m_connection->exec(
            QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(quoteName(q->m_tableName)),
            {key});
        return query.next();
    }

    qint64 writeRow() {
        Connection* conn = q->m_connection;
        if (state == TableState::Insert) {
            QStringList names;
            QVariantList binds;
            for (int i = 0; i < columns.size(); ++i) {
                const QVariant v = stored::toDb(buffer.values[i], columns[i].type);
                if (v.isNull() && !modified.contains(i))
                    continue;
                requireFits(i, v);
                names << quoteName(columns[i].name);
                binds << v;
            }
            QSqlQuery query =
                names.isEmpty()
                    ? conn->exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES")
                                     .arg(quoteName(q->m_tableName)))
                    : conn->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(quoteName(q->m_tableName), names.join(QLatin1Char(',')),
                                          QStringLiteral("?") +
                                              QStringLiteral(",?").repeated(names.size() - 1)),
                                 binds);
            const QVariant id = query.lastInsertId();
            if (id.isValid())
                return id.toLongLong();
            QSqlQuery last = conn->exec(QStringLiteral("SELECT last_insert_rowid()"));
            return last.next() ? last.value(0).toLongLong() : 0;
        }
        const qint64 key = keys.value(pos, 0);
        QStringList sets;
        QVariantList binds;
        QList<int> cols = modified.values();
        std::sort(cols.begin(), cols.end());
        for (int i : cols) {
            const QVariant v = stored::toDb(buffer.values[i], columns[i].type);
            requireFits(i, v);
            sets << quoteName(columns[i].name) + QStringLiteral(" = ?");
            binds << v;
        }
        if (buffer.missing)
            throw RowConflict{true};
        if (sets.isEmpty()) {
            // Nothing to write, so nothing can be overwritten; a row gone is still reported.
            if (!rowExists(key))
                throw RowConflict{true};
            return key;
        }
        // Optimistic locking: the row is written only while it still holds what was read.
        const QString same = sameRowSql(key, buffer, &binds);
        QSqlQuery query =
            conn->exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                           .arg(quoteName(q->m_tableName), sets.join(QStringLiteral(", ")), same),
                       binds);
        if (query.numRowsAffected() == 0)
            throw RowConflict{!rowExists(key)};
        return key;
    }

    /// After a refused store or delete: the row shows what is stored now, or leaves the set
    /// when it is gone.
    void showStoredAfterConflict(qint64 key, bool gone) {
        modified.clear();
        const bool wasEditing = state == TableState::Edit;
        state = TableState::Browse;
        dropCached(key);
        if (gone) {
            const int at = positionOf(key);
            const bool wasLast = at == keys.size() - 1;
            if (at >= 0)
                keys.removeAt(at);
            kept.remove(key);
            moveTo(pos);
            bof = keys.isEmpty();
            eof = keys.isEmpty() || wasLast;
        }
        if (wasEditing)
            emitState();
        if (gone)
            emitSet();
        calcCurrent();
        followDetails();
        emitData(QString());
    }

    void startInsert(int at) {
        prepareMove();
        if (q->beforeInsert)
            q->beforeInsert(*q);
        buffer = emptyRow();
        modified.clear();
        if (hasLink && master) {
            const QVariantList link = currentLinkValues();
            for (int i = 0; i < detailFields.size() && i < link.size(); ++i) {
                const FieldPos p = find(detailFields[i]);
                if (p.kind == FieldKind::Stored) {
                    buffer.values[p.index] = stored::fromDb(
                        stored::toDb(link[i], columns[p.index].type), columns[p.index].type);
                    modified.insert(p.index);
                }
            }
        }
        at = qBound(0, at, int(keys.size()));
        keys.insert(at, kNewRow);
        insertPos = at;
        pos = at;
        bof = eof = false;
        setState(TableState::Insert);
        emitSet();
        if (q->onNewRecord)
            q->onNewRecord(*q);
        calcCurrent();
        followDetails();
        if (q->afterInsert)
            q->afterInsert(*q);
        if (q->afterScroll)
            q->afterScroll(*q);
        emitData(QString());
    }

    void dropInsertRow() {
        if (insertPos >= 0 && insertPos < keys.size() && keys[insertPos] == kNewRow)
            keys.removeAt(insertPos);
        else
            keys.removeAll(kNewRow);
        insertPos = -1;
    }
};

// ======================================================================================

Table::Table(Connection* connection, const QString& tableName, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>(this)), m_connection(connection),
      m_tableName(tableName) {
    connect(connection, &Connection::tableChanged, this, [this](const QString& name) {
        if (name.compare(m_tableName, Qt::CaseInsensitive) == 0 && !d->announcing)
            d->writtenHere();
        bool touched = false;
        for (LookupField& lf : d->lookups) {
            if (lf.lookupTableName.compare(name, Qt::CaseInsensitive) == 0) {
                lf.valid = false;
                lf.map.clear();
                touched = true;
            }
        }
        if (touched && d->state != TableState::Inactive) {
            for (Row& r : d->cache)
                r.calcDone = false;
            d->emitData(QString());
        }
    });
}

Table::~Table() = default;

// --- opening -----------------------------------------------------------------------------

void Table::open() {
    if (d->state != TableState::Inactive)
        return;
    const TableInfo* info = m_connection->schema().table(m_tableName);
    if (!info)
        throw DbError(QStringLiteral("Die Tabelle '%1' gibt es nicht.").arg(m_tableName));
    m_tableName = info->name;
    d->columns = info->columns;
    d->rebuildFieldIndex();
    for (LookupField& lf : d->lookups)
        lf.valid = false;
    // Start-up opens every shared table: their keys are read when something first needs
    // them (a row count, the current row, a grid), not here. The texts are checked now.
    {
        QString where, orderBy;
        QVariantList binds;
        d->buildQuery(d->filter, d->filtered, d->order, {}, &where, &binds, &orderBy);
    }
    d->deferKeys();
    d->state = TableState::Browse;
    d->emitState();
    d->emitSet();
    d->afterMove();
}

void Table::close() {
    if (d->state == TableState::Inactive)
        return;
    d->keys.clear();
    d->clearCache();
    d->kept.clear();
    d->keysPending = false;
    d->pos = -1;
    d->bof = d->eof = true;
    d->insertPos = -1;
    d->modified.clear();
    d->state = TableState::Inactive;
    d->emitState();
    d->emitSet();
    d->emitData(QString());
    d->followDetails();
}

bool Table::isOpen() const {
    return d->state != TableState::Inactive;
}

void Table::refresh() {
    d->requireOpen();
    checkBrowseMode();
    for (LookupField& lf : d->lookups)
        lf.valid = false;
    if (d->keysPending)
        return; // nothing read yet: the first use reads the current rows
    d->resetSet(d->filter, d->filtered, d->order, true);
}

// --- order, filter, link -----------------------------------------------------------------

void Table::setOrder(const QString& order) {
    if (d->state == TableState::Inactive) {
        d->order = order;
        return;
    }
    checkBrowseMode();
    d->resetSet(d->filter, d->filtered, order, true);
}

QString Table::order() const {
    return d->order;
}

void Table::setFilter(const QString& filter) {
    if (d->state == TableState::Inactive || !d->filtered) {
        d->filter = filter;
        return;
    }
    checkBrowseMode();
    d->resetSet(filter, true, d->order, false);
}

QString Table::filter() const {
    return d->filter;
}

void Table::setFiltered(bool on) {
    if (d->state == TableState::Inactive) {
        d->filtered = on;
        return;
    }
    if (on == d->filtered)
        return;
    checkBrowseMode();
    d->resetSet(d->filter, on, d->order, false);
}

bool Table::filtered() const {
    return d->filtered;
}

void Table::setMasterLink(Table* master, const QString& detailFields, const QString& masterFields) {
    if (d->master)
        d->master->d->details.removeAll(QPointer<Table>(this));
    d->master = master;
    d->hasLink = master != nullptr;
    d->detailFields = detailFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    d->masterFields = masterFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& f : d->detailFields)
        f = f.trimmed();
    for (QString& f : d->masterFields)
        f = f.trimmed();
    if (master)
        master->d->details.append(QPointer<Table>(this));
    if (d->state != TableState::Inactive) {
        checkBrowseMode();
        d->resetSet(d->filter, d->filtered, d->order, false);
    }
}

Table* Table::master() const {
    return d->master;
}

// --- moving ------------------------------------------------------------------------------

void Table::first() {
    d->prepareMove();
    d->moveTo(0);
    d->bof = true;
    d->eof = d->keys.isEmpty();
    d->afterMove();
}

void Table::last() {
    d->prepareMove();
    d->moveTo(int(d->keys.size()) - 1);
    d->eof = true;
    d->bof = d->keys.isEmpty();
    d->afterMove();
}

void Table::next() {
    moveBy(1);
}

void Table::prior() {
    moveBy(-1);
}

void Table::moveBy(int distance) {
    d->prepareMove();
    if (d->keys.isEmpty()) {
        d->moveTo(0);
        d->afterMove();
        return;
    }
    const int target = d->pos + distance;
    const int lastRow = int(d->keys.size()) - 1;
    d->bof = false;
    d->eof = false;
    if (target > lastRow) {
        d->eof = true;
        d->moveTo(lastRow);
    } else if (target < 0) {
        d->bof = true;
        d->moveTo(0);
    } else {
        d->moveTo(target);
    }
    d->afterMove();
}

int Table::recNo() const {
    d->ensureKeys();
    return d->keys.isEmpty() ? -1 : d->pos;
}

void Table::setRecNo(int row) {
    d->prepareMove();
    d->moveTo(row);
    d->bof = d->keys.isEmpty();
    d->eof = d->keys.isEmpty();
    d->afterMove();
}

bool Table::bof() const {
    d->ensureKeys();
    return d->state == TableState::Inactive || d->bof;
}

bool Table::eof() const {
    d->ensureKeys();
    return d->state == TableState::Inactive || d->eof;
}

int Table::recordCount() const {
    d->ensureKeys();
    return int(d->keys.size());
}

bool Table::isEmpty() const {
    d->ensureKeys();
    return d->keys.isEmpty();
}

bool Table::locate(const QString& field, const QVariant& value) {
    d->requireOpen();
    d->ensureKeys();
    const FieldPos p = d->find(field);
    checkBrowseMode();
    if (p.kind != FieldKind::Stored) {
        // Calculated and lookup fields exist only here: search the rows one by one.
        for (int i = 0; i < d->keys.size(); ++i) {
            const QVariant v = valueAt(i, field);
            if (lookupKey(v) == lookupKey(value)) {
                setRecNo(i);
                return true;
            }
        }
        return false;
    }
    const ColumnInfo& col = d->columns[p.index];
    const QVariant bound = stored::toDb(value, col.type);
    const QString colSql = quoteName(col.name);
    QString where =
        d->whereSql.isEmpty() ? QStringLiteral(" WHERE ") : d->whereSql + QStringLiteral(" AND ");
    QVariantList binds = d->whereBinds;
    if (bound.isNull()) {
        where += colSql + QStringLiteral(" IS NULL");
    } else if (isTextual(col.type)) {
        where += colSql + QStringLiteral(" = ? COLLATE NOCASE");
        binds << bound;
    } else {
        where += colSql + QStringLiteral(" = ?");
        binds << bound;
    }
    qint64 found = 0;
    {
        QSqlQuery query =
            m_connection->exec(QStringLiteral("SELECT rowid FROM ") + quoteName(m_tableName) +
                                   where + d->orderSql + QStringLiteral(" LIMIT 1"),
                               binds);
        if (query.next())
            found = query.value(0).toLongLong();
    }
    if (found == 0 && isTextual(col.type) && !bound.isNull()) {
        // SQLite folds only ASCII letters: compare the rest here ("MÜLLER" = "Müller").
        const QString wanted = bound.toString();
        bool ascii = true;
        for (QChar c : wanted)
            ascii = ascii && c.unicode() < 128;
        if (!ascii) {
            QSqlQuery query = m_connection->exec(
                QStringLiteral("SELECT rowid, %1 FROM %2%3%4")
                    .arg(colSql, quoteName(m_tableName), d->whereSql, d->orderSql),
                d->whereBinds);
            while (query.next()) {
                if (query.value(1).toString().compare(wanted, Qt::CaseInsensitive) == 0) {
                    found = query.value(0).toLongLong();
                    break;
                }
            }
        }
    }
    if (found == 0)
        return false;
    const int at = d->positionOf(found);
    if (at < 0)
        return false;
    setRecNo(at);
    return true;
}

bool Table::findFirst() {
    first();
    return !isEmpty();
}

// --- editing -----------------------------------------------------------------------------

TableState Table::state() const {
    return d->state;
}

bool Table::isEditing() const {
    const TableState s = d->state == TableState::CalcFields ? d->stateBeforeCalc : d->state;
    return s == TableState::Edit || s == TableState::Insert;
}

void Table::insert() {
    d->requireOpen();
    d->ensureKeys();
    checkBrowseMode();
    d->startInsert(d->keys.isEmpty() ? 0 : d->pos);
}

void Table::append() {
    d->requireOpen();
    d->ensureKeys();
    checkBrowseMode();
    d->startInsert(int(d->keys.size()));
}

void Table::edit() {
    d->requireOpen();
    d->ensureKeys();
    if (isEditing())
        return;
    if (d->keys.isEmpty()) {
        // As the old engine did: editing an empty set starts a new row.
        insert();
        return;
    }
    d->buffer = d->rowAt(d->pos);
    d->modified.clear();
    d->setState(TableState::Edit);
    d->calcCurrent();
    d->emitData(QString());
}

void Table::post() {
    d->requireOpen();
    if (!isEditing())
        throw DbError(browseModeMessage());
    d->runHooks();
    if (beforePost)
        beforePost(*this);
    const bool inserting = d->state == TableState::Insert;
    const int oldPos = d->pos;
    qint64 key = 0;
    try {
        if (beforeWrite) {
            Transaction transaction(*m_connection);
            beforeWrite(*this);
            key = d->writeRow();
            transaction.commit();
        } else {
            key = d->writeRow();
        }
    } catch (const RowConflict& conflict) {
        d->showStoredAfterConflict(d->keys.value(d->pos, 0), conflict.gone);
        throw DbError(conflict.gone ? deletedElsewhereMessage() : changedElsewhereMessage());
    }
    if (inserting && oldPos >= 0 && oldPos < d->keys.size())
        d->keys[oldPos] = key;
    d->insertPos = -1;
    d->dropCached(key);
    d->modified.clear();
    d->state = TableState::Browse;
    d->rereadKeepingRows(key, oldPos);
    d->stayOnKey(key, oldPos);
    d->emitState();
    d->emitSet();
    d->calcCurrent();
    d->followDetails();
    if (afterPost)
        afterPost(*this);
    d->announceWrite();
    d->emitData(QString());
}

void Table::cancel() {
    if (!isEditing())
        return;
    if (d->state == TableState::Insert) {
        const int at = d->insertPos;
        d->dropInsertRow();
        d->modified.clear();
        d->state = TableState::Browse;
        d->moveTo(at);
        d->bof = d->eof = d->keys.isEmpty();
        d->emitState();
        d->emitSet();
        d->afterMove();
        return;
    }
    d->modified.clear();
    d->state = TableState::Browse;
    d->emitState();
    d->calcCurrent();
    d->followDetails();
    d->emitData(QString());
}

void Table::remove() {
    d->requireOpen();
    d->ensureKeys();
    if (d->state == TableState::Insert) {
        cancel();
        return;
    }
    if (d->keys.isEmpty())
        throw DbError(QStringLiteral("Es ist kein Datensatz vorhanden, der gelöscht werden kann."));
    if (beforeDelete)
        beforeDelete(*this);
    const qint64 key = d->keys[d->pos];
    // Only the row as it was read is deleted: one changed or deleted elsewhere is reported.
    const Row read = d->state == TableState::Edit ? d->buffer : d->rowAt(d->pos);
    bool deleted = false;
    if (!read.missing) {
        QVariantList binds;
        const QString same = d->sameRowSql(key, read, &binds);
        deleted = m_connection
                      ->exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                                 .arg(quoteName(m_tableName), same),
                             binds)
                      .numRowsAffected() > 0;
    }
    if (!deleted) {
        const bool gone = read.missing || !d->rowExists(key);
        d->showStoredAfterConflict(key, gone);
        throw DbError(gone ? goneBeforeDeleteMessage() : changedBeforeDeleteMessage());
    }
    d->modified.clear();
    const bool wasEditing = d->state == TableState::Edit;
    d->state = TableState::Browse;
    const bool wasLast = d->pos == d->keys.size() - 1;
    d->keys.removeAt(d->pos);
    d->kept.remove(key);
    d->dropCached(key);
    d->moveTo(d->pos);
    d->bof = d->keys.isEmpty();
    d->eof = d->keys.isEmpty() || wasLast;
    if (wasEditing)
        d->emitState();
    d->emitSet();
    d->calcCurrent();
    d->followDetails();
    if (afterDelete)
        afterDelete(*this);
    d->announceWrite();
    if (afterScroll)
        afterScroll(*this);
    d->emitData(QString());
}

void Table::checkBrowseMode() {
    if (isEditing() && d->state != TableState::CalcFields)
        post();
}

// --- fields ------------------------------------------------------------------------------

QStringList Table::fieldNames() const {
    QStringList out;
    for (const ColumnInfo& c : d->columns)
        out << c.name;
    for (const CalcField& c : d->calcFields)
        out << c.name;
    for (const LookupField& l : d->lookups)
        out << l.name;
    return out;
}

bool Table::hasField(const QString& name) const {
    return d->fieldIndex.contains(name.toCaseFolded());
}

ColumnType Table::fieldType(const QString& name) const {
    const FieldPos p = d->find(name);
    switch (p.kind) {
    case FieldKind::Stored:
        return d->columns[p.index].type;
    case FieldKind::Calculated:
        return d->calcFields[p.index].type;
    case FieldKind::Lookup: {
        const LookupField& lf = d->lookups[p.index];
        if (const TableInfo* info = m_connection->schema().table(lf.lookupTableName))
            if (const ColumnInfo* c = info->column(lf.resultField))
                return c->type;
        return lf.type;
    }
    }
    return ColumnType::Unknown;
}

QVariant Table::value(const QString& field) const {
    const FieldPos p = d->find(field);
    switch (d->state) {
    case TableState::Inactive:
        d->requireOpen();
        break;
    case TableState::CalcFields:
        return d->fieldOf(*d->calcRow, p);
    case TableState::Edit:
    case TableState::Insert:
        return d->fieldOf(d->buffer, p);
    case TableState::Browse:
        d->ensureKeys();
        break;
    }
    if (d->pos < 0 || d->pos >= d->keys.size()) {
        if (p.kind == FieldKind::Stored && d->columns[p.index].type == ColumnType::Boolean)
            return false;
        return {};
    }
    if (p.kind == FieldKind::Calculated)
        d->ensureCalc(d->pos);
    return d->fieldOf(d->rowAt(d->pos), p);
}

void Table::setValue(const QString& field, const QVariant& value) {
    d->requireOpen();
    const FieldPos p = d->find(field);
    if (d->state == TableState::CalcFields) {
        if (p.kind != FieldKind::Calculated)
            throw DbError(
                QStringLiteral("Das Feld '%1' kann hier nicht geändert werden.").arg(field));
        const ColumnType type = d->calcFields[p.index].type;
        d->calcRow->calc[p.index] = stored::fromDb(stored::toDb(value, type), type);
        return;
    }
    if (!isEditing())
        throw DbError(browseModeMessage());
    if (p.kind != FieldKind::Stored)
        throw DbError(QStringLiteral("Das Feld '%1' kann nicht geändert werden.").arg(field));
    const ColumnType type = d->columns[p.index].type;
    d->buffer.values[p.index] = stored::fromDb(stored::toDb(value, type), type);
    d->modified.insert(p.index);
    d->calcCurrent();
    d->emitData(d->columns[p.index].name);
}

QVariant Table::valueAt(int row, const QString& field) const {
    const FieldPos p = d->find(field);
    d->ensureKeys();
    if (d->state == TableState::Inactive || row < 0 || row >= d->keys.size())
        return {};
    if (d->onNewRow(row) || (row == d->pos && isEditing()))
        return d->fieldOf(d->buffer, p);
    if (p.kind == FieldKind::Calculated) {
        try {
            d->ensureCalc(row);
        } catch (const DbError&) {
            // A grid asking for a row must not fail because a rule refuses it.
            return {};
        }
    }
    return d->fieldOf(d->rowAt(row), p);
}

qint64 Table::currentKey() const {
    d->ensureKeys();
    if (d->pos < 0 || d->pos >= d->keys.size() || d->keys[d->pos] == kNewRow)
        return 0;
    return d->keys[d->pos];
}

// --- calculated and lookup fields ------------------------------------------------------

void Table::addCalculatedField(const QString& name, ColumnType type) {
    d->calcFields.append({name, type});
    d->buffer.calc << QVariant();
    for (Row& r : d->cache) {
        r.calc << QVariant();
        r.calcDone = false;
    }
    d->rebuildFieldIndex();
}

void Table::addLookupField(const QString& name, const QString& keyField, Table* lookupTable,
                           const QString& lookupKeyField, const QString& resultField) {
    LookupField lf;
    lf.name = name;
    lf.keyField = keyField;
    lf.lookupTable = lookupTable;
    lf.lookupTableName = lookupTable ? lookupTable->tableName() : QString();
    lf.lookupKeyField = lookupKeyField;
    lf.resultField = resultField;
    d->lookups.append(lf);
    d->rebuildFieldIndex();
}

// --- suspended control updates -----------------------------------------------------------

void Table::disableControls() {
    ++d->disableCount;
}

void Table::enableControls() {
    if (d->disableCount == 0)
        return;
    if (--d->disableCount > 0)
        return;
    const bool state = d->pendingState;
    d->pendingSet = d->pendingData = d->pendingState = false;
    if (state)
        emit stateChanged();
    emit setChanged();
    emit dataChanged(QString());
}

bool Table::controlsDisabled() const {
    return d->disableCount > 0;
}

void Table::addUpdateRecordHook(QObject* owner, std::function<void()> hook) {
    d->hooks.append({QPointer<QObject>(owner), std::move(hook)});
}

void Table::removeUpdateRecordHooks(QObject* owner) {
    d->hooks.removeIf([owner](const Hook& h) { return !h.owner || h.owner == owner; });
}

// --- FieldRef ----------------------------------------------------------------------------

QVariant FieldRef::value() const {
    return m_table->value(m_name);
}

bool FieldRef::isNull() const {
    const QVariant v = value();
    return v.isNull() || !v.isValid();
}

QString FieldRef::asString() const {
    const QVariant v = value();
    if (v.isNull() || !v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.date() == stored::timeBaseDate())
            return dt.time().toString(QStringLiteral("HH:mm:ss"));
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    case QMetaType::Double: {
        // Like the old engine's AsString: the German decimal comma, no grouping.
        QString t = QString::number(v.toDouble(), 'g', 15);
        t.replace(QLatin1Char('.'), QLatin1Char(','));
        return t;
    }
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

int FieldRef::asInteger() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::Double)
        return int(qRound64(v.toDouble()));
    return v.toInt();
}

double FieldRef::asFloat() const {
    return value().toDouble();
}

bool FieldRef::asBoolean() const {
    return value().toBool();
}

QDateTime FieldRef::asDateTime() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.isNull())
        return {};
    return stored::parseDateTime(v.toString());
}

void FieldRef::setValue(const QVariant& v) const {
    m_table->setValue(m_name, v);
}

void FieldRef::clear() const {
    m_table->setValue(m_name, QVariant());
}

} // namespace kilvaro
