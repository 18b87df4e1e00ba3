#include "base/IniFile.h"
#include "base/TextFile.h"
#include "base/DbError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;

#define S QStringLiteral

namespace {

QString failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

/// The device's own error texts ("No such file or directory", "Permission denied") are
/// English; a user must never see them.
void expectGermanOnly(const QString& message) {
    EXPECT_FALSE(message.isEmpty());
    for (const char* english : {"No such", "denied", "Is a directory", "Unknown error"})
        EXPECT_FALSE(message.contains(QLatin1String(english), Qt::CaseInsensitive))
            << message.toStdString();
}

} // namespace

TEST(TextFileFailure, ReadingSaysInGermanWhyNot) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(S("firma.txt"));
    const QString m1 = failure([&] { TextFile::read(missing); });
    EXPECT_EQ(m1, S("Die Datei '%1' wurde nicht gefunden.").arg(missing));

    // A folder where the file is expected cannot be read as a text.
    QDir(dir.path()).mkdir(S("z_art.txt"));
    const QString m2 = failure([&] { TextFile::read(dir.filePath(S("z_art.txt"))); });
    EXPECT_TRUE(m2.contains(S("kann nicht gelesen werden"))) << m2.toStdString();
    expectGermanOnly(m2);
}

TEST(TextFileFailure, WritingSaysInGermanWhyNotAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString inMissingFolder = dir.filePath(S("export/tarif1.txt"));
    const QString m1 = failure([&] { TextFile::write(inMissingFolder, S("Ort;Betrag")); });
    EXPECT_TRUE(m1.contains(S("kann nicht geschrieben werden"))) << m1.toStdString();
    EXPECT_TRUE(m1.contains(S("existiert nicht"))) << m1.toStdString();
    expectGermanOnly(m1);
    EXPECT_FALSE(QFile::exists(inMissingFolder));

    QDir(dir.path()).mkdir(S("Rk.txt"));
    const QString m2 = failure([&] { TextFile::write(dir.filePath(S("Rk.txt")), S("x")); });
    EXPECT_TRUE(m2.contains(S("Ordner"))) << m2.toStdString();
    expectGermanOnly(m2);

    // A written file is complete; the encoding and line ends are those of the old files.
    const QString ok = dir.filePath(S("Rfl.txt"));
    TextFile::write(ok, S("Zeile €\nZwei"));
    QFile f(ok);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Zeile \x80\r\nZwei"));
}

TEST(TextFileFailure, SettingsFileReasonsAreGerman) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath(S("fehlt/kilvaro.ini")));
    ini.writeString(S("Rechnung"), S("Nummer"), S("12"));
    QString error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_TRUE(error.contains(S("kann nicht gespeichert werden"))) << error.toStdString();
    expectGermanOnly(error);
}
