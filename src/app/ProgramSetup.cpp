#include "app/ProgramSetup.h"

#include "app/Resources.h"
#include "app/SettingsKeys.h"
#include "app/TextFile.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Schema.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace kilvaro::ProgramSetup {

namespace {

QString withSlash(QString folder) {
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void ensureFolder(const QString& path) {
    if (!QDir().mkpath(path))
        throw DbError(QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(path));
}

} // namespace

QString resolveProgramFolder(const QString& home, const QString& applicationDir) {
    if (!home.isEmpty())
        return withSlash(home);
    const QString env = qEnvironmentVariable("KILVARO_HOME");
    if (!env.isEmpty())
        return withSlash(env);
    return withSlash(applicationDir);
}

bool isFirstStart(const QString& programFolder) {
    return !QFileInfo::exists(programFolder + QStringLiteral("kilvaro.ini"));
}

void writeMissingTextFiles(const QString& programFolder) {
    initResources();
    for (const char* sub : {"sql", "daten", "export", "Hilfe"})
        ensureFolder(programFolder + QString::fromLatin1(sub));
    // Text files the program reads are kept in the Windows code page with CR LF.
    QDirIterator texts(QStringLiteral(":/defaults"), QDir::Files, QDirIterator::Subdirectories);
    while (texts.hasNext()) {
        const QString resource = texts.next();
        const QString relative = resource.mid(QStringLiteral(":/defaults/").size());
        const QString target = programFolder + relative;
        if (QFileInfo::exists(target))
            continue;
        ensureFolder(QFileInfo(target).absolutePath());
        QFile in(resource);
        in.open(QIODevice::ReadOnly);
        TextFile::write(target, QString::fromUtf8(in.readAll()));
    }
    // Help pages stay UTF-8 HTML; they are copied as they are.
    QDirIterator help(QStringLiteral(":/Hilfe"), QDir::Files);
    while (help.hasNext()) {
        const QString resource = help.next();
        const QString target = programFolder + QStringLiteral("Hilfe/") + QFileInfo(resource).fileName();
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(resource, target))
            throw DbError(QStringLiteral("Die Datei '%1' kann nicht angelegt werden.").arg(target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
}

void createDefaults(const QString& programFolder) {
    ensureFolder(programFolder);
    const QString iniPath = programFolder + QStringLiteral("kilvaro.ini");
    if (QFileInfo::exists(iniPath))
        throw DbError(QStringLiteral("Die Datei '%1' gibt es schon.").arg(iniPath));
    const QString dbPath = programFolder + QString::fromLatin1(defaultDatabaseName);
    bool createdDb = false;
    try {
        if (!QFileInfo::exists(dbPath)) {
            Connection db;
            db.create(dbPath);
            createdDb = true;
            Schema::create(db);
            db.close();
        }
        writeMissingTextFiles(programFolder);
        // The settings file comes last: its presence marks a completed first start.
        TextFile::write(iniPath, defaultIniText(dbPath));
    } catch (const DbError&) {
        if (createdDb) {
            QFile::remove(dbPath);
            QFile::remove(dbPath + QStringLiteral("-wal"));
            QFile::remove(dbPath + QStringLiteral("-shm"));
        }
        throw;
    }
}

} // namespace kilvaro::ProgramSetup

#include "app/IniFile.h"

namespace kilvaro::ProgramSetup {

QString databasePath(const QString& programFolder) {
    IniFile ini(programFolder + QStringLiteral("kilvaro.ini"));
    const QString mdb = ini.readString(QStringLiteral("DB"), QStringLiteral("MDB"), QString()).trimmed();
    if (mdb.isEmpty() || !QFileInfo(mdb).isRelative())
        return mdb;
    return QDir(programFolder).absoluteFilePath(mdb);
}

} // namespace kilvaro::ProgramSetup
