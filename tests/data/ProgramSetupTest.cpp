#include "base/IniFile.h"
#include "data/ProgramSetup.h"
#include "base/TextFile.h"
#include "data/Connection.h"
#include "base/DbError.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace kilvaro;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(ProgramSetup, FirstStartCreatesSettingsDatabaseAndTextFiles) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/neu/");
    ASSERT_TRUE(ProgramSetup::isFirstStart(folder));
    ProgramSetup::createDefaults(folder);
    EXPECT_FALSE(ProgramSetup::isFirstStart(folder));

    for (const char* f : {"kilvaro.ini", "Kilvaro.db", "firma.txt", "Rk.txt", "Rfl.txt", "Rfr.txt",
                          "z_art.txt", "sql/fahrten.txt", "sql/Umsatz.txt", "Hilfe/index.html"})
        EXPECT_TRUE(QFile::exists(folder + QString::fromLatin1(f))) << f;
    EXPECT_TRUE(QDir(folder + QStringLiteral("daten")).exists());
    EXPECT_TRUE(QDir(folder + QStringLiteral("export")).exists());

    // Text files are Windows-1252 with CR LF: "Überweisung" starts with byte 0xDC.
    const QByteArray zart = bytesOf(folder + QStringLiteral("z_art.txt"));
    EXPECT_TRUE(zart.contains("\r\n"));
    EXPECT_TRUE(zart.contains("\xDC" "berweisung"));
    EXPECT_FALSE(zart.contains("\xC3\x9C")) << "no UTF-8 in the text files";

    // The settings name the new database, and it holds the full schema.
    const QString db = ProgramSetup::databasePath(folder);
    EXPECT_EQ(QFileInfo(db).canonicalFilePath(),
              QFileInfo(folder + QStringLiteral("Kilvaro.db")).canonicalFilePath());
    Connection c;
    c.open(db);
    EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
    EXPECT_NE(c.schema().table(QStringLiteral("Fahrten")), nullptr);

    IniFile ini(folder + QStringLiteral("kilvaro.ini"));
    EXPECT_EQ(ini.readString(QStringLiteral("Rechnung"), QStringLiteral("Nacht"), QString()),
              QStringLiteral("Spät/Nacht;"));
}

// A first start that was cut off left a Kilvaro.db without tables (and its half-built
// file): the next first start replaces them. The settings name the database by its name
// alone, so a copied folder works on its own file, whatever characters the folder's name has.
TEST(ProgramSetup, CutOffFirstStartIsRepairedAndTheDatabaseIsNamedRelatively) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Łódź/");
    ASSERT_TRUE(QDir().mkpath(folder));
    {
        Connection empty;
        empty.create(folder + QStringLiteral("Kilvaro.db"));
        Connection half;
        half.create(folder + QStringLiteral("Kilvaro.db.neu"));
    }
    ASSERT_TRUE(ProgramSetup::isFirstStart(folder));
    ProgramSetup::createDefaults(folder);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("Kilvaro.db.neu")));
    IniFile ini(folder + QStringLiteral("kilvaro.ini"));
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("MDB"), QString()),
              QStringLiteral("Kilvaro.db"));
    {
        Connection c;
        c.open(ProgramSetup::databasePath(folder));
        EXPECT_NO_THROW(Schema::upgrade(c));
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Original')"));
    }

    // A copy of the folder works on its own database.
    const QString copy = dir.path() + QStringLiteral("/Kopie/");
    ASSERT_TRUE(QDir().mkpath(copy));
    for (const char* f : {"kilvaro.ini", "Kilvaro.db"})
        ASSERT_TRUE(QFile::copy(folder + QString::fromLatin1(f), copy + QString::fromLatin1(f)));
    EXPECT_EQ(ProgramSetup::databasePath(copy), copy + QStringLiteral("Kilvaro.db"));

    // Outside the program folder the full path is kept, unless the settings file's code
    // page cannot hold it.
    EXPECT_EQ(ProgramSetup::databaseSetting(copy, copy + QStringLiteral("Kilvaro.db")),
              QStringLiteral("Kilvaro.db"));
    EXPECT_EQ(ProgramSetup::databaseSetting(copy, dir.path() + QStringLiteral("/Köln/K.db")),
              QDir::toNativeSeparators(dir.path() + QStringLiteral("/Köln/K.db")));
    try {
        ProgramSetup::databaseSetting(copy, folder + QStringLiteral("Kilvaro.db"));
        FAIL() << "a path with 'Ł' was accepted for the settings file";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nicht gespeichert werden")))
            << e.message().toStdString();
    }
}

TEST(ProgramSetup, ExistingSettingsAreNeverOverwrittenAndMissingDatabaseIsNotCreated) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    TextFile::write(folder + QStringLiteral("kilvaro.ini"),
                    QStringLiteral("[DB]\nMDB=%1fehlt.db\n").arg(folder));
    EXPECT_FALSE(ProgramSetup::isFirstStart(folder));
    EXPECT_THROW(ProgramSetup::createDefaults(folder), DbError);
    Connection c;
    EXPECT_THROW(c.open(ProgramSetup::databasePath(folder)), DbError);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("fehlt.db")));
}

TEST(ProgramSetup, ProgramFolderComesFromHomeThenEnvironmentThenProgramFile) {
    qputenv("KILVARO_HOME", "/tmp/kilvaro-env");
    EXPECT_EQ(ProgramSetup::resolveProgramFolder(QStringLiteral("/tmp/a"), QStringLiteral("/opt/k")),
              QStringLiteral("/tmp/a/"));
    EXPECT_EQ(ProgramSetup::resolveProgramFolder(QString(), QStringLiteral("/opt/k")),
              QStringLiteral("/tmp/kilvaro-env/"));
    qunsetenv("KILVARO_HOME");
    EXPECT_EQ(ProgramSetup::resolveProgramFolder(QString(), QStringLiteral("/opt/k/")),
              QStringLiteral("/opt/k/"));
}
