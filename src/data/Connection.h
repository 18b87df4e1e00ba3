#pragma once

#include "data/SchemaInfo.h"
#include "data/SqlTranslator.h"

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace kilvaro {

/// The connection to the database file. Every table object and query of the program runs
/// on one Connection; it keeps the schema (for the dialect translator and the stored
/// value types), runs statements and announces which tables changed.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    /// Opens an existing SQLite database file. Throws DbError with a German message when the
    /// path is empty, the file is missing, unreadable, locked or not a database.
    void open(const QString& databaseFile);
    /// Creates a new database file (it must not exist yet) and opens it.
    void create(const QString& databaseFile);
    void close();
    bool isOpen() const;
    /// True when the file could only be opened for reading (a read-only file, medium or
    /// folder, such as an archive copy): selects work, every store is refused in German.
    bool isReadOnly() const { return m_readOnly; }
    /// Refuses every store from now on with `message` (a damaged file): the connection is
    /// switched to read-only, and any write fails with that text.
    void refuseWrites(const QString& message);
    /// The text every store is refused with; empty while stores are allowed.
    QString writeRefusal() const { return m_writeRefusal; }
    /// Runs the engine's full consistency check on this connection. Empty when the file is
    /// sound (or the check could not run for a reason other than damage); otherwise the first
    /// problems the engine reports.
    QString integrityProblem();
    /// How long a statement waits for another instance's lock before it fails (default
    /// 60 seconds); takes effect at the next open.
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    QString filePath() const { return m_path; }
    QSqlDatabase database() const;
    SqlBackend backend() const { return SqlBackend::Sqlite; }

    const SchemaInfo& schema() const { return m_schema; }
    /// Re-reads tables and columns from the database (after ALTER TABLE and the like).
    void reloadSchema();
    SqlTranslator translator() const { return SqlTranslator(&m_schema, backend()); }

    /// Runs backend SQL with bound values; throws DbError on failure. The query is active
    /// and positioned before its first row.
    QSqlQuery exec(const QString& sql, const QVariantList& values = {});
    /// Translates and runs a statement in the old dialect. A SELECT is returned ready to
    /// read; for other statements the rows touched are in numRowsAffected(). Writes announce
    /// tableChanged, ALTER TABLE reloads the schema. Throws DbError.
    QSqlQuery execOld(const QString& text, Translation* translation = nullptr);

    /// Transactions nest: the outermost begins and commits, inner ones use savepoints.
    void begin();
    void commit();
    void rollback();
    int transactionDepth() const { return m_depth; }

    /// Tells every listener that rows of a table changed (lookup caches, models).
    void notifyTableChanged(const QString& table);

signals:
    void tableChanged(const QString& table);

private:
    void openInternal(const QString& path, bool create);
    QString m_name;
    QString m_path;
    SchemaInfo m_schema;
    int m_depth = 0;
    int m_busyTimeoutMs = 60000;
    bool m_readOnly = false;
    QString m_writeRefusal;
};

/// Guard for one transaction: rolls back in its destructor unless commit() was called, so
/// an exception that leaves early undoes everything the guarded work wrote.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connection& m_connection;
    bool m_done = false;
};

} // namespace kilvaro
