#include "data/Table.h"

#include "base/DbError.h"
#include "data/Connection.h"
#include "data/FieldComputations.h"
#include "data/RowKeyCache.h"
#include "data/StoredValue.h"

#include <QPointer>
#include <QSqlQuery>

namespace kilvaro {

namespace {

constexpr qint64 kNewRow = RowKeyCache::kNewRow;

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
    return QStringLiteral("Der Datensatz wurde inzwischen an einem anderen Arbeitsplatz gelöscht.");
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

struct Hook {
    QPointer<QObject> owner;
    std::function<void()> hook;
};

} // namespace

/// The dataset states, moving, writing and the events. The keys and rows of the set live in
/// `rows`, the fields and their computed values in `fields`; this class reads both from the
/// database for them.
struct Table::Private : RowReader {
    Table* q;
    Connection* connection;
    Private(Table* table, Connection* conn) : q(table), connection(conn), fields(conn) {}

    TableState state = TableState::Inactive;
    FieldComputations fields;
    RowKeyCache rows{*this};

    QString order, filter;
    bool filtered = false;
    QPointer<Table> master;
    bool hasLink = false;
    QStringList detailFields, masterFields;
    QVariantList linkValues; // values of the master the set was read with
    QList<QPointer<Table>> details;

    int pos = -1;
    bool bof = true, eof = true;

    TableRow buffer;
    QSet<int> modified;

    TableRow* calcRow = nullptr;
    TableState stateBeforeCalc = TableState::Browse;

    int disableCount = 0;
    bool pendingSet = false, pendingData = false, pendingState = false;

    QList<Hook> hooks;

    bool announcing = false; ///< this table's own write is being announced

    // --- helpers -----------------------------------------------------------------------

    void requireOpen() const {
        if (state == TableState::Inactive)
            throw DbError(
                QStringLiteral("Die Tabelle '%1' ist nicht geöffnet.").arg(q->m_tableName));
    }

    const QList<ColumnInfo>& columns() const { return fields.columns(); }

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

    // --- reading keys and rows (for the row-key cache) ------------------------------------

    QVector<qint64> readKeys(const KeyQuery& query) override {
        QSqlQuery result =
            connection->exec(QStringLiteral("SELECT rowid FROM ") + quoteName(q->m_tableName) +
                                 query.where + query.orderBy,
                             query.binds);
        QVector<qint64> out;
        while (result.next())
            out.append(result.value(0).toLongLong());
        return out;
    }

    QList<std::pair<qint64, TableRow>> readRows(const QList<qint64>& keys) override {
        QStringList cols;
        for (const ColumnInfo& c : columns())
            cols << quoteName(c.name);
        QVariantList binds;
        for (const qint64 key : keys)
            binds << key;
        QString marks = QStringLiteral("?");
        marks += QStringLiteral(",?").repeated(keys.size() - 1);
        QSqlQuery query = connection->exec(
            QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                .arg(cols.join(QLatin1Char(',')), quoteName(q->m_tableName), marks),
            binds);
        QList<std::pair<qint64, TableRow>> out;
        const int calcCount = fields.calculatedCount();
        while (query.next()) {
            TableRow r;
            r.values.reserve(columns().size());
            r.raw.reserve(columns().size());
            for (int c = 0; c < columns().size(); ++c) {
                const QVariant v = query.value(c + 1);
                r.raw << v;
                r.values << stored::fromDb(v, columns()[c].type);
            }
            for (int i = 0; i < calcCount; ++i)
                r.calc << QVariant();
            out.append({query.value(0).toLongLong(), std::move(r)});
        }
        return out;
    }

    TableRow emptyRow() const override { return fields.emptyRow(); }

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

    /// WHERE (with binds) and ORDER BY for the given filter state; throws DbError for a
    /// filter or order text the translator refuses.
    KeyQuery buildQuery(const QString& filterText, bool filterOn, const QString& orderText,
                        const QVariantList& link) const {
        KeyQuery out;
        QStringList parts;
        if (hasLink && master) {
            if (link.size() != detailFields.size()) {
                parts << QStringLiteral("0");
            } else {
                for (int i = 0; i < detailFields.size(); ++i) {
                    const FieldPos p = fields.find(detailFields[i]);
                    if (p.kind != FieldKind::Stored)
                        throw DbError(unknownField(detailFields[i]));
                    parts << quoteName(columns()[p.index].name) + QStringLiteral(" = ?");
                    out.binds << stored::toDb(link[i], columns()[p.index].type);
                }
            }
        }
        if (filterOn && !filterText.trimmed().isEmpty()) {
            const Translation t = connection->translator().condition(filterText, q->m_tableName);
            if (!t.ok)
                throw DbError(t.error);
            parts << QLatin1Char('(') + t.sql + QLatin1Char(')');
        }
        out.where = parts.isEmpty()
                        ? QString()
                        : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
        QString ord;
        if (!orderText.trimmed().isEmpty()) {
            const Translation t = connection->translator().order(orderText, q->m_tableName);
            if (!t.ok)
                throw DbError(t.error);
            if (!t.sql.trimmed().isEmpty())
                ord = t.sql + QStringLiteral(", ");
        }
        out.orderBy = QStringLiteral(" ORDER BY ") + ord + QStringLiteral("rowid");
        return out;
    }

    /// Reads the whole set anew with the given settings; on failure nothing changes.
    void readSet(const QString& filterText, bool filterOn, const QString& orderText) {
        const QVariantList link = currentLinkValues();
        rows.read(buildQuery(filterText, filterOn, orderText, link));
        linkValues = link;
    }

    /// Reads the keys of a set opened without them, positioned on the first row.
    void ensureKeys() {
        if (!rows.pending())
            return;
        rows.clear();
        pos = -1;
        bof = eof = true;
        readSet(filter, filtered, order);
        moveTo(0);
        bof = true;
        eof = rows.isEmpty();
    }

    /// Gives up the keys read so far: they are read again, with the settings and the
    /// master's row of that moment, when something needs them.
    void deferKeys() {
        rows.defer();
        linkValues.clear();
        pos = -1;
        bof = eof = true;
    }

    // --- calculated fields ----------------------------------------------------------------

    /// Runs the calculate-fields handler on a row, with the table in the CalcFields state.
    void runCalc(TableRow& row) {
        fields.clearCalculated(row);
        row.calcDone = true;
        if (fields.calculatedCount() == 0 || !q->onCalcFields)
            return;
        TableRow* savedRow = calcRow;
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
        TableRow& cached = rows.rowAt(position);
        if (cached.calcDone)
            return;
        const qint64 key = rows.keyAt(position);
        TableRow copy = cached;
        runCalc(copy);
        if (TableRow* stillCached = rows.cachedRow(key)) {
            stillCached->calc = copy.calc;
            stillCached->calcDone = true;
        }
    }

    void calcCurrent() {
        if (fields.calculatedCount() == 0 || state == TableState::Inactive || rows.pending())
            return;
        if (state == TableState::Edit || state == TableState::Insert) {
            runCalc(buffer);
            return;
        }
        if (pos < 0 || pos >= rows.size())
            return;
        rows.rowAt(pos).calcDone = false;
        ensureCalc(pos);
    }

    // --- position ------------------------------------------------------------------------

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
        if (m && m->d->rows.pending()) {
            // The master's rows are not read yet, so its current row is not known: this set
            // waits for it.
            if (rows.pending())
                return;
            q->checkBrowseMode();
            deferKeys();
            emitSet();
            afterMove();
            return;
        }
        if (rows.pending())
            return; // read with the master's row of the moment it is needed
        const QVariantList link = currentLinkValues();
        if (link == linkValues && !link.isEmpty())
            return;
        if (link.isEmpty() && linkValues.isEmpty() && rows.isEmpty())
            return;
        q->checkBrowseMode();
        readSet(filter, filtered, order);
        pos = rows.isEmpty() ? -1 : 0;
        bof = true;
        eof = rows.isEmpty();
        emitSet();
        afterMove();
    }

    void moveTo(int position) {
        if (rows.isEmpty()) {
            pos = -1;
            bof = eof = true;
            return;
        }
        pos = qBound(0, position, rows.size() - 1);
    }

    void stayOnKey(qint64 key, int fallback) {
        const int at = key != 0 ? rows.positionOf(key) : -1;
        moveTo(at >= 0 ? at : fallback);
        bof = rows.isEmpty();
        eof = rows.isEmpty();
    }

    /// Positions after a full re-read: on the row that was current (or the same place) or
    /// on the first row.
    void placeAfterRead(bool keepRow, qint64 key, int oldPos) {
        if (keepRow) {
            stayOnKey(key, oldPos);
        } else {
            moveTo(0);
            bof = true;
            eof = rows.isEmpty();
        }
        emitSet();
        afterMove();
    }

    /// A full re-read with new settings. The settings change only when the rows could be
    /// read, so a refused filter leaves the previous one in force.
    void resetSet(const QString& newFilter, bool newFiltered, const QString& newOrder,
                  bool keepRow) {
        if (rows.pending()) {
            // Nothing read yet: only the texts are checked, the keys follow when needed.
            buildQuery(newFilter, newFiltered, newOrder, {});
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
        if (state == TableState::Inactive || state == TableState::CalcFields || rows.pending())
            return;
        const bool hadRows = rows.hasRows();
        rows.dropRows();
        if (state == TableState::Browse) {
            if (hadRows)
                emitData(QString());
            return;
        }
        if (state != TableState::Edit)
            return;
        const qint64 key = rows.keyAt(pos);
        QStringList cols;
        for (const ColumnInfo& c : columns())
            cols << quoteName(c.name);
        QSqlQuery query =
            connection->exec(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                 .arg(cols.join(QLatin1Char(',')), quoteName(q->m_tableName)),
                             {key});
        if (!query.next()) {
            buffer.missing = true;
            return;
        }
        buffer.missing = false;
        buffer.raw.clear();
        QStringList changed;
        for (int i = 0; i < columns().size(); ++i) {
            const QVariant v = query.value(i);
            buffer.raw << v;
            if (modified.contains(i))
                continue;
            const QVariant value = stored::fromDb(v, columns()[i].type);
            if (value != buffer.values[i]) {
                buffer.values[i] = value;
                changed << columns()[i].name;
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
            connection->notifyTableChanged(q->m_tableName);
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
            stored::requireFits(connection->schema(), q->m_tableName, columns()[column].name,
                                dbValue.toString());
    }

    /// "rowid = ? AND every column IS its value as read", with the binds.
    QString sameRowSql(qint64 key, const TableRow& read, QVariantList* binds) const {
        QString sql = QStringLiteral("rowid = ?");
        *binds << key;
        const SqlBackend backend = connection->backend();
        for (int i = 0; i < columns().size() && i < read.raw.size(); ++i) {
            sql += QStringLiteral(" AND ") + sameValueSql(backend, quoteName(columns()[i].name));
            *binds << read.raw[i];
        }
        return sql;
    }

    bool rowExists(qint64 key) const {
        QSqlQuery query = connection->exec(
            QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(quoteName(q->m_tableName)),
            {key});
        return query.next();
    }

    qint64 writeRow() {
        Connection* conn = connection;
        if (state == TableState::Insert) {
            QStringList names;
            QVariantList binds;
            for (int i = 0; i < columns().size(); ++i) {
                const QVariant v = stored::toDb(buffer.values[i], columns()[i].type);
                if (v.isNull() && !modified.contains(i))
                    continue;
                requireFits(i, v);
                names << quoteName(columns()[i].name);
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
        const qint64 key = rows.keyAt(pos);
        QStringList sets;
        QVariantList binds;
        QList<int> cols = modified.values();
        std::sort(cols.begin(), cols.end());
        for (int i : cols) {
            const QVariant v = stored::toDb(buffer.values[i], columns()[i].type);
            requireFits(i, v);
            sets << quoteName(columns()[i].name) + QStringLiteral(" = ?");
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
        rows.dropRow(key);
        if (gone) {
            const int at = rows.positionOf(key);
            const bool wasLast = at == rows.size() - 1;
            if (at >= 0)
                rows.removeAt(at);
            moveTo(pos);
            bof = rows.isEmpty();
            eof = rows.isEmpty() || wasLast;
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
        buffer = fields.emptyRow();
        modified.clear();
        if (hasLink && master) {
            const QVariantList link = currentLinkValues();
            for (int i = 0; i < detailFields.size() && i < link.size(); ++i) {
                const FieldPos p = fields.find(detailFields[i]);
                if (p.kind == FieldKind::Stored) {
                    buffer.values[p.index] =
                        FieldComputations::normalized(link[i], columns()[p.index].type);
                    modified.insert(p.index);
                }
            }
        }
        pos = rows.insertNewRow(at);
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
};

// ======================================================================================

Table::Table(Connection* connection, const QString& tableName, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>(this, connection)), m_connection(connection),
      m_tableName(tableName) {
    connect(connection, &Connection::tableChanged, this, [this](const QString& name) {
        if (name.compare(m_tableName, Qt::CaseInsensitive) == 0 && !d->announcing)
            d->writtenHere();
        const bool touched = d->fields.tableChanged(name);
        if (touched && d->state != TableState::Inactive) {
            d->rows.forEachRow([](TableRow& r) { r.calcDone = false; });
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
    d->fields.setColumns(info->columns);
    // Start-up opens every shared table: their keys are read when something first needs
    // them (a row count, the current row, a grid), not here. The texts are checked now.
    d->buildQuery(d->filter, d->filtered, d->order, {});
    d->deferKeys();
    d->state = TableState::Browse;
    d->emitState();
    d->emitSet();
    d->afterMove();
}

void Table::close() {
    if (d->state == TableState::Inactive)
        return;
    d->rows.clear();
    d->pos = -1;
    d->bof = d->eof = true;
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
    d->fields.invalidateLookups();
    if (d->rows.pending())
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
    d->eof = d->rows.isEmpty();
    d->afterMove();
}

void Table::last() {
    d->prepareMove();
    d->moveTo(d->rows.size() - 1);
    d->eof = true;
    d->bof = d->rows.isEmpty();
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
    if (d->rows.isEmpty()) {
        d->moveTo(0);
        d->afterMove();
        return;
    }
    const int target = d->pos + distance;
    const int lastRow = d->rows.size() - 1;
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
    return d->rows.isEmpty() ? -1 : d->pos;
}

void Table::setRecNo(int row) {
    d->prepareMove();
    d->moveTo(row);
    d->bof = d->rows.isEmpty();
    d->eof = d->rows.isEmpty();
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
    return d->rows.size();
}

bool Table::isEmpty() const {
    d->ensureKeys();
    return d->rows.isEmpty();
}

bool Table::locate(const QString& field, const QVariant& value) {
    d->requireOpen();
    d->ensureKeys();
    const FieldPos p = d->fields.find(field);
    checkBrowseMode();
    if (p.kind != FieldKind::Stored) {
        // Calculated and lookup fields exist only here: search the rows one by one.
        for (int i = 0; i < d->rows.size(); ++i) {
            const QVariant v = valueAt(i, field);
            if (FieldComputations::matchKey(v) == FieldComputations::matchKey(value)) {
                setRecNo(i);
                return true;
            }
        }
        return false;
    }
    const ColumnInfo& col = d->columns()[p.index];
    const KeyQuery& set = d->rows.query();
    const QVariant bound = stored::toDb(value, col.type);
    const QString colSql = quoteName(col.name);
    QString where =
        set.where.isEmpty() ? QStringLiteral(" WHERE ") : set.where + QStringLiteral(" AND ");
    QVariantList binds = set.binds;
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
                                   where + set.orderBy + QStringLiteral(" LIMIT 1"),
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
            QSqlQuery query =
                m_connection->exec(QStringLiteral("SELECT rowid, %1 FROM %2%3%4")
                                       .arg(colSql, quoteName(m_tableName), set.where, set.orderBy),
                                   set.binds);
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
    const int at = d->rows.positionOf(found);
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
    d->startInsert(d->rows.isEmpty() ? 0 : d->pos);
}

void Table::append() {
    d->requireOpen();
    d->ensureKeys();
    checkBrowseMode();
    d->startInsert(d->rows.size());
}

void Table::edit() {
    d->requireOpen();
    d->ensureKeys();
    if (isEditing())
        return;
    if (d->rows.isEmpty()) {
        // As the old engine did: editing an empty set starts a new row.
        insert();
        return;
    }
    d->buffer = d->rows.rowAt(d->pos);
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
        d->showStoredAfterConflict(d->rows.keyAt(d->pos), conflict.gone);
        throw DbError(conflict.gone ? deletedElsewhereMessage() : changedElsewhereMessage());
    }
    if (inserting)
        d->rows.settleNewRow(oldPos, key);
    d->rows.dropRow(key);
    d->modified.clear();
    d->state = TableState::Browse;
    d->rows.rereadKeeping(key, oldPos);
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
        const int at = d->rows.dropNewRow();
        d->modified.clear();
        d->state = TableState::Browse;
        d->moveTo(at);
        d->bof = d->eof = d->rows.isEmpty();
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
    if (d->rows.isEmpty())
        throw DbError(QStringLiteral("Es ist kein Datensatz vorhanden, der gelöscht werden kann."));
    if (beforeDelete)
        beforeDelete(*this);
    const qint64 key = d->rows.keyAt(d->pos);
    // Only the row as it was read is deleted: one changed or deleted elsewhere is reported.
    const TableRow read = d->state == TableState::Edit ? d->buffer : d->rows.rowAt(d->pos);
    bool deleted = false;
    if (!read.missing) {
        QVariantList binds;
        const QString same = d->sameRowSql(key, read, &binds);
        deleted =
            m_connection
                ->exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoteName(m_tableName), same),
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
    const bool wasLast = d->pos == d->rows.size() - 1;
    d->rows.removeAt(d->pos);
    d->moveTo(d->pos);
    d->bof = d->rows.isEmpty();
    d->eof = d->rows.isEmpty() || wasLast;
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
    return d->fields.names();
}

bool Table::hasField(const QString& name) const {
    return d->fields.contains(name);
}

ColumnType Table::fieldType(const QString& name) const {
    return d->fields.type(d->fields.find(name));
}

QVariant Table::value(const QString& field) const {
    const FieldPos p = d->fields.find(field);
    switch (d->state) {
    case TableState::Inactive:
        d->requireOpen();
        break;
    case TableState::CalcFields:
        return d->fields.valueOf(*d->calcRow, p);
    case TableState::Edit:
    case TableState::Insert:
        return d->fields.valueOf(d->buffer, p);
    case TableState::Browse:
        d->ensureKeys();
        break;
    }
    if (d->pos < 0 || d->pos >= d->rows.size()) {
        if (p.kind == FieldKind::Stored && d->columns()[p.index].type == ColumnType::Boolean)
            return false;
        return {};
    }
    if (p.kind == FieldKind::Calculated)
        d->ensureCalc(d->pos);
    return d->fields.valueOf(d->rows.rowAt(d->pos), p);
}

void Table::setValue(const QString& field, const QVariant& value) {
    d->requireOpen();
    const FieldPos p = d->fields.find(field);
    if (d->state == TableState::CalcFields) {
        if (p.kind != FieldKind::Calculated)
            throw DbError(
                QStringLiteral("Das Feld '%1' kann hier nicht geändert werden.").arg(field));
        d->calcRow->calc[p.index] = FieldComputations::normalized(value, d->fields.type(p));
        return;
    }
    if (!isEditing())
        throw DbError(browseModeMessage());
    if (p.kind != FieldKind::Stored)
        throw DbError(QStringLiteral("Das Feld '%1' kann nicht geändert werden.").arg(field));
    d->buffer.values[p.index] = FieldComputations::normalized(value, d->columns()[p.index].type);
    d->modified.insert(p.index);
    d->calcCurrent();
    d->emitData(d->columns()[p.index].name);
}

QVariant Table::valueAt(int row, const QString& field) const {
    const FieldPos p = d->fields.find(field);
    d->ensureKeys();
    if (d->state == TableState::Inactive || row < 0 || row >= d->rows.size())
        return {};
    if (d->rows.isNewRow(row) || (row == d->pos && isEditing()))
        return d->fields.valueOf(d->buffer, p);
    if (p.kind == FieldKind::Calculated) {
        try {
            d->ensureCalc(row);
        } catch (const DbError&) {
            // A grid asking for a row must not fail because a rule refuses it.
            return {};
        }
    }
    return d->fields.valueOf(d->rows.rowAt(row), p);
}

qint64 Table::currentKey() const {
    d->ensureKeys();
    if (d->pos < 0 || d->pos >= d->rows.size() || d->rows.keyAt(d->pos) == kNewRow)
        return 0;
    return d->rows.keyAt(d->pos);
}

// --- calculated and lookup fields ------------------------------------------------------

void Table::addCalculatedField(const QString& name, ColumnType type) {
    d->fields.addCalculated(name, type);
    d->buffer.calc << QVariant();
    d->rows.forEachRow([](TableRow& r) {
        r.calc << QVariant();
        r.calcDone = false;
    });
}

void Table::addLookupField(const QString& name, const QString& keyField, Table* lookupTable,
                           const QString& lookupKeyField, const QString& resultField) {
    d->fields.addLookup(name, keyField, lookupTable, lookupKeyField, resultField);
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
