#pragma once

#include <QString>
#include <QStringList>

namespace kilvaro {

/// The program folder: where kilvaro.ini and the text files beside it live.
namespace ProgramSetup {

/// Name of the database file a first start creates in the program folder.
inline constexpr const char* defaultDatabaseName = "Kilvaro.db";

/// The program folder with a trailing '/': `home` if given (from --home), else the
/// environment variable KILVARO_HOME, else the folder of the program file.
QString resolveProgramFolder(const QString& home, const QString& applicationDir);

/// True when the folder holds no kilvaro.ini yet.
bool isFirstStart(const QString& programFolder);

/// First start: creates the folder if needed, a default kilvaro.ini naming a new database
/// file, that database with the full schema, and the default text files, sql/, daten/,
/// export/ and Hilfe/. Never overwrites an existing file, except a database file without
/// any table (left by a first start that was cut off). Throws DbError (German message);
/// on failure no kilvaro.ini is left behind, so the next start tries again.
void createDefaults(const QString& programFolder);

/// The value of [DB] MDB for a database file: its name alone when it lies in the program
/// folder, else its full path. Throws DbError (German) for a path that the settings file's
/// code page (Windows-1252) cannot hold.
QString databaseSetting(const QString& programFolder, const QString& databaseFile);

/// Writes those default text files (and folders) that are missing; keeps existing ones.
void writeMissingTextFiles(const QString& programFolder);

} // namespace ProgramSetup
} // namespace kilvaro

namespace kilvaro::ProgramSetup {
/// The database file named by [DB] MDB of the folder's kilvaro.ini; a relative path is taken
/// relative to the program folder. Empty when the key is missing or empty.
QString databasePath(const QString& programFolder);
} // namespace kilvaro::ProgramSetup
