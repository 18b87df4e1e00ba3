#pragma once

#include <QObject>
#include <QString>

class QThread;

namespace kilvaro {

/// Looks for damage in a database file with the engine's full consistency check. Reading a
/// large file takes a while, so the program runs it on a worker thread with a connection of
/// its own and learns the result once the main window is up.
class IntegrityCheck : public QObject {
    Q_OBJECT
public:
    explicit IntegrityCheck(QObject* parent = nullptr);
    /// Waits for a running check: its connection must be closed before the program ends.
    ~IntegrityCheck() override;

    /// Starts the check of `databaseFile` on a worker thread; finished() follows on this
    /// object's thread.
    void start(const QString& databaseFile);
    /// Waits up to `milliseconds` for the worker and delivers finished(); true when done.
    bool wait(int milliseconds);

    /// The check on the calling thread with its own connection: empty when the file is
    /// sound or cannot be checked, else the first problems found.
    static QString problemOf(const QString& databaseFile);
    /// The German report of a damaged file.
    static QString damagedMessage(const QString& databaseFile, const QString& problem);
    /// The German refusal of every store into a damaged file.
    static QString storeRefusal();

signals:
    void finished(const QString& problem);

private:
    QThread* m_thread = nullptr;
};

} // namespace kilvaro
