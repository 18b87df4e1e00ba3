#include "data/IntegrityCheck.h"

#include "data/Connection.h"
#include "base/DbError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace kilvaro {

IntegrityCheck::IntegrityCheck(QObject* parent) : QObject(parent) {}

IntegrityCheck::~IntegrityCheck() {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void IntegrityCheck::start(const QString& databaseFile) {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
    m_thread = QThread::create([this, databaseFile] {
        const QString problem = problemOf(databaseFile);
        // Queued to this object: dropped if it is gone by then.
        QMetaObject::invokeMethod(
            this, [this, problem] { emit finished(problem); }, Qt::QueuedConnection);
    });
    m_thread->start(QThread::LowPriority);
}

bool IntegrityCheck::wait(int milliseconds) {
    if (!m_thread || !m_thread->wait(milliseconds))
        return false;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return true;
}

QString IntegrityCheck::problemOf(const QString& databaseFile) {
    try {
        Connection connection;
        connection.open(databaseFile);
        return connection.integrityProblem();
    } catch (const DbError&) {
        // The program's own connection reports whatever keeps the file from opening.
        return {};
    }
}

QString IntegrityCheck::damagedMessage(const QString& databaseFile, const QString& problem) {
    return QStringLiteral("Die Datenbankdatei '%1' ist beschädigt (%2). Bitte die Datenbank aus "
                          "der Datensicherung wiederherstellen.")
        .arg(databaseFile, problem);
}

QString IntegrityCheck::storeRefusal() {
    return QStringLiteral("Die Datenbankdatei ist beschädigt; die Änderung wurde nicht "
                          "gespeichert. Bitte die Datenbank aus der Datensicherung "
                          "wiederherstellen.");
}

} // namespace kilvaro
