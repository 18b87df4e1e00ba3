#include "support/TestSupport.h"

#include "base/Utils.h"

#include <QGuiApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <stdexcept>
#include <unistd.h>

#include "data/Connection.h"

namespace kilvaro {

TempProgramFolder::TempProgramFolder() = default;

bool damageDatabaseMiddle(const QString& databaseFile) {
    {
        Connection c;
        c.open(databaseFile);
        Transaction tx(c);
        for (int i = 0; i < 3000; ++i)
            c.exec(QStringLiteral("INSERT INTO Fahrten (Personen, Strasse) VALUES (?, ?)"),
                   {QStringLiteral("Person %1").arg(i), QString(40, QLatin1Char('x'))});
        tx.commit();
    } // closing writes the WAL back into the file
    QFile file(databaseFile);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const qint64 page = 4096;
    const qint64 middle = file.size() / 2 / page * page;
    if (middle < 2 * page || !file.seek(middle))
        return false;
    return file.write(QByteArray(page, '\x5A')) == page;
}

bool makeReadOnly(const QString& path) {
    const QFileInfo info(path);
    QFile::setPermissions(path, info.isDir() ? QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther
                                             : QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (geteuid() != 0)
        return true;
    return QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
}

void makeWritable(const QString& path) {
    if (geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ReadOther);
}

QString TempProgramFolder::path() const {
    return m_dir.path() + QLatin1Char('/');
}

QString TempProgramFolder::filePath(const QString& name) const {
    return path() + name;
}

bool TempProgramFolder::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString full = filePath(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray TempProgramFolder::readFile(const QString& name) const {
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TempProgramFolder::makeCurrent() const {
    setProgramFolder(path());
}

namespace {
int g_argc = 1;
char g_arg0[] = "kilvaro-test";
char* g_argv[] = {g_arg0, nullptr};
} // namespace

void ensureApp() {
    if (QCoreApplication::instance())
        return;
    static QCoreApplication* app = new QCoreApplication(g_argc, g_argv);
    Q_UNUSED(app);
}

void ensureGuiApp() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw std::logic_error("ensureGuiApp: a QCoreApplication without a GUI exists");
    static QGuiApplication* app = new QGuiApplication(g_argc, g_argv);
    Q_UNUSED(app);
}

} // namespace kilvaro
