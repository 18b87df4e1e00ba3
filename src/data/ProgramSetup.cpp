#include "data/ProgramSetup.h"

#include "base/Resources.h"
#include "base/SettingsKeys.h"
#include "base/TextFile.h"
#include "data/Connection.h"
#include "base/DbError.h"
#include "data/Schema.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

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

QString databaseSetting(const QString& programFolder, const QString& databaseFile) {
    const QFileInfo file(databaseFile);
    // Inside the program folder the name alone is kept, so a copied or restored folder
    // works on its own database and never on the original's.
    if (QDir::cleanPath(file.absolutePath()) == QDir::cleanPath(QDir(programFolder).absolutePath()))
        return file.fileName();
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    // The encoder quietly writes '?' for what it cannot hold: compare the round trip.
    QStringEncoder encoder("windows-1252");
    QStringDecoder decoder("windows-1252");
    const QByteArray bytes = encoder.encode(path);
    if (encoder.hasError() || QString(decoder.decode(bytes)) != path)
        throw DbError(QStringLiteral("Der Pfad '%1' der Datenbank enthält Zeichen, die in "
                                     "kilvaro.ini nicht gespeichert werden können. Bitte wählen "
                                     "Sie einen Ordner, dessen Name nur Buchstaben des "
                                     "westeuropäischen Zeichensatzes enthält.")
                          .arg(path));
    return path;
}

namespace {

void removeDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QString::fromLatin1(suffix));
}

/// A database file that holds no table at all: what a first start leaves when it is cut
/// off before its schema was committed. Nothing can be lost by replacing it.
bool holdsNoTables(const QString& path) {
    if (QFileInfo(path).size() == 0)
        return true;
    try {
        Connection db;
        db.open(path);
        return db.schema().tables().isEmpty() && Schema::storedVersion(db) == 0;
    } catch (const DbError&) {
        return false; // not a database: leave it to the start to report
    }
}

} // namespace

void createDefaults(const QString& programFolder) {
    ensureFolder(programFolder);
    const QString iniPath = programFolder + QStringLiteral("kilvaro.ini");
    if (QFileInfo::exists(iniPath))
        throw DbError(QStringLiteral("Die Datei '%1' gibt es schon.").arg(iniPath));
    const QString dbPath = programFolder + QString::fromLatin1(defaultDatabaseName);
    const QString setting = databaseSetting(programFolder, dbPath);
    if (QFileInfo::exists(dbPath) && holdsNoTables(dbPath))
        removeDatabaseFiles(dbPath);
    if (!QFileInfo::exists(dbPath)) {
        // The database is built under another name and gets its own only when complete, so
        // a start that is cut off never leaves a Kilvaro.db without tables behind.
        const QString building = dbPath + QStringLiteral(".neu");
        removeDatabaseFiles(building);
        try {
            Connection db;
            db.create(building);
            Schema::create(db);
            db.close();
        } catch (const DbError&) {
            removeDatabaseFiles(building);
            throw;
        }
        if (!QFile::rename(building, dbPath)) {
            removeDatabaseFiles(building);
            throw DbError(
                QStringLiteral("Die Datenbank '%1' kann nicht angelegt werden.").arg(dbPath));
        }
    }
    writeMissingTextFiles(programFolder);
    // The settings file comes last: its presence marks a completed first start.
    TextFile::write(iniPath, defaultIniText(setting));
}

} // namespace kilvaro::ProgramSetup

#include "base/IniFile.h"

namespace kilvaro::ProgramSetup {

QString databasePath(const QString& programFolder) {
    IniFile ini(programFolder + QStringLiteral("kilvaro.ini"));
    const QString mdb = ini.readString(QStringLiteral("DB"), QStringLiteral("MDB"), QString()).trimmed();
    if (mdb.isEmpty() || !QFileInfo(mdb).isRelative())
        return mdb;
    return QDir(programFolder).absoluteFilePath(mdb);
}

} // namespace kilvaro::ProgramSetup
