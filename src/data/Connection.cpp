#include "data/Connection.h"

#include "base/DbError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QStorageInfo>
#include <QUrl>

namespace kilvaro {

namespace {
QAtomicInt g_connectionCounter;

/// The engine's own text is English; the user reads what happened in German first, with
/// the engine's words kept in brackets for whoever has to look into it. Texts our own
/// triggers raise are German already and pass unchanged.
QString engineText(const QSqlError& e) {
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.text();
    bool numeric = false;
    const int code = e.nativeErrorCode().toInt(&numeric) & 0xFF; // primary result code
    if (!numeric)
        return t;
    QString lead;
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        lead = QStringLiteral("Die Datenbank ist gerade von einem anderen Arbeitsplatz oder "
                              "Programm gesperrt. Bitte versuchen Sie es gleich noch einmal.");
        break;
    case 8: // SQLITE_READONLY
        lead = QStringLiteral("Die Datenbank ist schreibgeschützt; die Änderung wurde nicht "
                              "gespeichert.");
        break;
    case 10: // SQLITE_IOERR
        lead = QStringLiteral("Die Datenbankdatei kann nicht gelesen oder geschrieben werden. "
                              "Ist das Laufwerk oder die Netzverbindung noch da?");
        break;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        lead = QStringLiteral("Die Datenbankdatei ist beschädigt oder keine Datenbank.");
        break;
    case 13: // SQLITE_FULL
        lead = QStringLiteral("Der Datenträger der Datenbank ist voll; die Änderung wurde nicht "
                              "gespeichert.");
        break;
    case 14: // SQLITE_CANTOPEN
        lead = QStringLiteral("Die Datenbankdatei kann nicht geöffnet werden.");
        break;
    case 19: // SQLITE_CONSTRAINT
        if (t.startsWith(QLatin1String("UNIQUE constraint failed")))
            lead = QStringLiteral("Dieser Wert ist schon vergeben; die Änderung wurde nicht "
                                  "gespeichert.");
        else if (t.startsWith(QLatin1String("NOT NULL constraint failed")))
            lead = QStringLiteral("Ein Pflichtfeld ist leer; die Änderung wurde nicht "
                                  "gespeichert.");
        else if (t.contains(QLatin1String("constraint failed")))
            lead = QStringLiteral("Eine Regel der Datenbank lässt diesen Wert nicht zu; die "
                                  "Änderung wurde nicht gespeichert.");
        // Anything else was raised by our own triggers and is German already.
        break;
    case 1: // SQLITE_ERROR: the statement itself cannot run
        if (t.startsWith(QLatin1String("error in trigger")))
            lead = QStringLiteral("Eine Prüfregel (Trigger) der Datenbank passt nicht mehr zu "
                                  "ihren Tabellen; die Änderung wurde nicht gespeichert.");
        else if (t.startsWith(QLatin1String("too many columns")))
            lead = QStringLiteral("Die Abfrage liefert mehr Spalten, als die Datenbank "
                                  "verarbeiten kann.");
        else if (t.startsWith(QLatin1String("no such table")))
            lead = QStringLiteral("Eine Tabelle fehlt in der Datenbank.");
        else if (t.startsWith(QLatin1String("no such column")))
            lead = QStringLiteral("Eine Spalte fehlt in der Datenbank.");
        else
            lead = QStringLiteral("Die Datenbank kann die Anweisung nicht ausführen.");
        break;
    default:
        lead = QStringLiteral("Die Datenbank hat die Anweisung abgelehnt.");
        break;
    }
    return lead.isEmpty() ? t : QStringLiteral("%1 (%2)").arg(lead, t);
}

int primaryCode(const QSqlError& e) {
    bool numeric = false;
    const int code = e.nativeErrorCode().toInt(&numeric) & 0xFF;
    return numeric ? code : -1;
}

QString readOnlyRefusal(const QString& path) {
    return QStringLiteral("Die Datenbankdatei '%1' ist schreibgeschützt und nur zum Lesen "
                          "geöffnet; die Änderung wurde nicht gespeichert.")
        .arg(path);
}

/// Whether the disk holding `path` has (next to) no room left: the engine then only says
/// "disk I/O error" when it cannot create or grow its -shm or -wal file.
bool diskFull(const QString& path) {
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    return storage.isValid() && storage.bytesAvailable() < 1024 * 1024;
}
} // namespace

Connection::Connection(QObject* parent)
    : QObject(parent),
      m_name(QStringLiteral("kilvaro_%1").arg(g_connectionCounter.fetchAndAddRelaxed(1))) {}

Connection::~Connection() { close(); }

void Connection::open(const QString& databaseFile) { openInternal(databaseFile, false); }

void Connection::create(const QString& databaseFile) { openInternal(databaseFile, true); }

void Connection::openInternal(const QString& path, bool create) {
    close();
    if (path.trimmed().isEmpty())
        throw DbError(QStringLiteral("Es ist keine Datenbankdatei angegeben "
                                     "(Schlüssel MDB im Abschnitt [DB] von kilvaro.ini)."));
    const QFileInfo info(path);
    bool readOnly = false;
    bool immutable = false;
    if (create) {
        if (info.exists())
            throw DbError(QStringLiteral("Die Datei '%1' gibt es schon.").arg(path));
    } else {
        if (!info.exists())
            throw DbError(QStringLiteral("Die Datenbankdatei '%1' wurde nicht gefunden.").arg(path));
        if (!info.isFile() || !info.isReadable())
            throw DbError(QStringLiteral("Die Datenbankdatei '%1' kann nicht gelesen werden.").arg(path));
        // A read-only file or folder (an archive copy, a write-protected medium) is opened
        // for reading only; every store is then refused at once in plain words.
        const bool folderWritable = QFileInfo(info.absolutePath()).isWritable();
        readOnly = !info.isWritable() || !folderWritable;
        // The engine keeps its shared-memory index of a WAL file beside the database; where
        // it cannot be created, nobody can write the file either, so it is read as it lies.
        immutable = readOnly && !folderWritable && !QFileInfo::exists(path + QStringLiteral("-shm"));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // Several instances may share the file: wait for a lock instead of failing at once.
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs);
        if (readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        if (immutable) {
            options += QStringLiteral(";QSQLITE_OPEN_URI");
            db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?immutable=1"));
        } else {
            db.setDatabaseName(path);
        }
        db.setConnectOptions(options);
        if (!db.open()) {
            const QString text = engineText(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError(QStringLiteral("Die Datenbank '%1' kann nicht geöffnet werden: %2")
                              .arg(path, text));
        }
    }
    m_path = path;
    m_readOnly = readOnly;
    m_writeRefusal = readOnly ? readOnlyRefusal(path) : QString();
    try {
        // Reading the schema touches the file: a non-database file fails here.
        exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
        // The probe must be finished before the journal mode changes (an open statement
        // holds a read transaction, and WAL cannot be switched on inside one).
        exec(QStringLiteral("SELECT count(*) FROM sqlite_master")).finish();
        if (create)
            exec(QStringLiteral("PRAGMA journal_mode = WAL")).finish();
        reloadSchema();
    } catch (const DbError& e) {
        close();
        if (e.message().contains(QLatin1String("locked")) || e.message().contains(QLatin1String("busy")))
            throw DbError(QStringLiteral("Die Datenbank '%1' kann nicht geöffnet werden. %2")
                              .arg(path, e.message()));
        // Opening a WAL file means creating or growing its -shm and -wal files: on a full
        // disk that fails with a bare I/O error, although the file itself is sound.
        if (e.message().contains(QLatin1String("I/O error"))) {
            if (diskFull(path))
                throw DbError(QStringLiteral("Die Datenbank '%1' kann nicht geöffnet werden: Der "
                                             "Datenträger ist voll. Bitte schaffen Sie dort "
                                             "Platz und versuchen Sie es noch einmal. "
                                             "(disk I/O error)")
                                  .arg(path));
            throw DbError(QStringLiteral("Die Datenbank '%1' kann nicht geöffnet werden: %2")
                              .arg(path, e.message()));
        }
        throw DbError(QStringLiteral("Die Datei '%1' ist keine lesbare Datenbank: %2")
                          .arg(path, e.message()));
    }
}

void Connection::refuseWrites(const QString& message) {
    if (!isOpen())
        return;
    // The engine itself then refuses every write, whichever path it comes from.
    exec(QStringLiteral("PRAGMA query_only = ON"));
    m_writeRefusal = message;
}

QString Connection::integrityProblem() {
    if (!isOpen())
        return {};
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA integrity_check(20)"))) {
        const int code = primaryCode(q.lastError());
        // SQLITE_CORRUPT and SQLITE_NOTADB: the check itself ran into the damage.
        return code == 11 || code == 26 ? q.lastError().databaseText() : QString();
    }
    QStringList problems;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (q.lastError().isValid() && problems.isEmpty()) {
        const int code = primaryCode(q.lastError());
        if (code == 11 || code == 26)
            problems << q.lastError().databaseText();
    }
    return problems.mid(0, 3).join(QStringLiteral("; "));
}

void Connection::close() {
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_schema.clear();
    m_depth = 0;
    m_readOnly = false;
    m_writeRefusal.clear();
}

bool Connection::isOpen() const {
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const { return QSqlDatabase::database(m_name, false); }

void Connection::reloadSchema() {
    m_schema.clear();
    QSqlQuery tables = exec(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
        "ORDER BY name"));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString& name : names) {
        TableInfo table;
        table.name = name;
        QSqlQuery cols = exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name));
        while (cols.next()) {
            ColumnInfo c;
            c.name = cols.value(1).toString();
            c.type = columnTypeFromDeclared(cols.value(2).toString(), &c.size);
            const bool pk = cols.value(5).toInt() > 0;
            if (pk && c.type == ColumnType::Integer)
                c.type = ColumnType::AutoInc;
            table.columns.append(c);
        }
        m_schema.addTable(table);
    }
}

QSqlQuery Connection::exec(const QString& sql, const QVariantList& values) {
    if (!isOpen())
        throw DbError(QStringLiteral("Die Datenbank ist nicht geöffnet."));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(engineText(q.lastError()));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec()) {
        // SQLITE_READONLY on a connection that refuses stores: say why in our words.
        if (!m_writeRefusal.isEmpty() && primaryCode(q.lastError()) == 8)
            throw DbError(m_writeRefusal);
        throw DbError(engineText(q.lastError()));
    }
    return q;
}

QSqlQuery Connection::execOld(const QString& text, Translation* translation) {
    const Translation t = translator().statement(text);
    if (translation)
        *translation = t;
    if (!t.ok)
        throw DbError(t.error);
    QSqlQuery q = exec(t.sql);
    switch (t.kind) {
    case StatementKind::Insert:
    case StatementKind::Update:
    case StatementKind::Delete:
        notifyTableChanged(t.targetTable);
        break;
    case StatementKind::AlterTable:
        q.finish();
        reloadSchema();
        notifyTableChanged(t.targetTable);
        break;
    default:
        break;
    }
    return q;
}

void Connection::begin() {
    // Transactions exist for stores only: refuse before taking the write lock.
    if (!m_writeRefusal.isEmpty())
        throw DbError(m_writeRefusal);
    if (m_depth == 0)
        exec(QStringLiteral("BEGIN IMMEDIATE"));
    else
        exec(QStringLiteral("SAVEPOINT sp%1").arg(m_depth));
    ++m_depth;
}

void Connection::commit() {
    if (m_depth <= 0)
        return;
    if (m_depth == 1)
        exec(QStringLiteral("COMMIT"));
    else
        exec(QStringLiteral("RELEASE SAVEPOINT sp%1").arg(m_depth - 1));
    --m_depth;
}

void Connection::rollback() {
    if (m_depth <= 0)
        return;
    --m_depth;
    try {
        if (m_depth == 0) {
            exec(QStringLiteral("ROLLBACK"));
        } else {
            exec(QStringLiteral("ROLLBACK TO SAVEPOINT sp%1").arg(m_depth));
            exec(QStringLiteral("RELEASE SAVEPOINT sp%1").arg(m_depth));
        }
    } catch (const DbError&) {
        // The engine may already have rolled back after a failed statement.
    }
}

void Connection::notifyTableChanged(const QString& table) {
    if (!table.isEmpty())
        emit tableChanged(table);
}

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    m_connection.begin();
}

Transaction::~Transaction() {
    if (!m_done)
        m_connection.rollback();
}

void Transaction::commit() {
    if (m_done)
        return;
    m_connection.commit();
    m_done = true;
}

} // namespace kilvaro
