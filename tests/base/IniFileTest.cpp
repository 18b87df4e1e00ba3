#include "base/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kilvaro;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TempProgramFolder folder;
    QString iniPath() const { return folder.filePath(QStringLiteral("kilvaro.ini")); }
};

} // namespace

TEST_F(IniFileTest, MissingFileReadsEmptyAndGivesDefaults) {
    IniFile ini(iniPath());
    EXPECT_TRUE(ini.loadError().isEmpty());
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_FALSE(ini.hasSection(QStringLiteral("DB")));
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("MDB"), QStringLiteral("x")),
              QStringLiteral("x"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Rechnung"), QStringLiteral("Nummer"), 7), 7);
    EXPECT_EQ(ini.path(), iniPath());
}

TEST_F(IniFileTest, RoundTripKeepsWindows1252AndCrLf) {
    {
        IniFile ini(iniPath());
        ini.writeString(QStringLiteral("Rechnung"), QStringLiteral("Kuehlung"),
                        QStringLiteral("Eigene Kühlung;"));
        ini.writeString(QStringLiteral("Rechnung"), QStringLiteral("Betrag"),
                        QStringLiteral("50,00 €"));
        ini.writeInteger(QStringLiteral("Rechnung"), QStringLiteral("Nummer"), 4711);
        QString error;
        ASSERT_TRUE(ini.save(&error)) << error.toStdString();
        EXPECT_EQ(ini.replacedCharacters(), 0);
    }
    const QByteArray bytes = folder.readFile(QStringLiteral("kilvaro.ini"));
    EXPECT_EQ(bytes, QByteArray("[Rechnung]\r\nKuehlung=Eigene K\xFChlung;\r\n"
                                "Betrag=50,00 \x80\r\nNummer=4711\r\n"));

    IniFile again(iniPath());
    EXPECT_EQ(again.readString(QStringLiteral("rechnung"), QStringLiteral("KUEHLUNG"), {}),
              QStringLiteral("Eigene Kühlung;"));
    EXPECT_EQ(again.readString(QStringLiteral("Rechnung"), QStringLiteral("Betrag"), {}),
              QStringLiteral("50,00 €"));
    EXPECT_EQ(again.readInteger(QStringLiteral("Rechnung"), QStringLiteral("Nummer"), 0), 4711);
}

TEST_F(IniFileTest, ReadsFileOfTheOldProgram) {
    // Written by the Windows functions: 1252 bytes, blanks, quotes, mixed case.
    ASSERT_TRUE(folder.writeFile(QStringLiteral("kilvaro.ini"),
                                 "[db]\r\n MDB = \"C:\\Programme\\Kilvaro\\kilvaro.mdb\" \r\n"
                                 "path=\r\n\r\n[Rechnung]\r\nNacht=Sp\xE4t/Nacht;\r\n"
                                 "Nummer= 12 \r\ndruckvon=abc\r\n"));
    IniFile ini(iniPath());
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("MDB"), {}),
              QStringLiteral("C:\\Programme\\Kilvaro\\kilvaro.mdb"));
    // Present but empty is empty, not the default.
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("PATH"), QStringLiteral("d")),
              QString());
    EXPECT_EQ(ini.readString(QStringLiteral("Rechnung"), QStringLiteral("Nacht"), {}),
              QStringLiteral("Spät/Nacht;"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Rechnung"), QStringLiteral("Nummer"), 0), 12);
    EXPECT_EQ(ini.readInteger(QStringLiteral("Rechnung"), QStringLiteral("druckvon"), 5), 5);
    EXPECT_EQ(ini.readInteger(QStringLiteral("Rechnung"), QStringLiteral("fehlt"), 3), 3);
    EXPECT_EQ(ini.sections(), (QStringList{QStringLiteral("db"), QStringLiteral("Rechnung")}));
    EXPECT_TRUE(ini.hasKey(QStringLiteral("DB"), QStringLiteral("Path")));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Rechnung"), QStringLiteral("MDB")));
}

TEST_F(IniFileTest, DuplicateKeysFirstWinsAndWriteUpdatesTheFirst) {
    ASSERT_TRUE(
        folder.writeFile(QStringLiteral("kilvaro.ini"), "[Rechnung]\r\nNummer=5\r\nnummer=9\r\n"));
    IniFile ini(iniPath());
    EXPECT_EQ(ini.readInteger(QStringLiteral("Rechnung"), QStringLiteral("Nummer"), 0), 5);
    ini.writeInteger(QStringLiteral("RECHNUNG"), QStringLiteral("NUMMER"), 6);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(folder.readFile(QStringLiteral("kilvaro.ini")),
              QByteArray("[Rechnung]\r\nNummer=6\r\nnummer=9\r\n"));
}

TEST_F(IniFileTest, RewriteKeepsCommentsUnknownLinesAndOrder) {
    const QByteArray original = "; Einstellungen\r\n[DB]\r\n# alte Datenbank\r\nMDB=a.mdb\r\n"
                                "irgendwas ohne Gleichheitszeichen\r\n\r\n[Mailing]\r\n"
                                "export=x\r\n";
    ASSERT_TRUE(folder.writeFile(QStringLiteral("kilvaro.ini"), original));
    IniFile ini(iniPath());
    EXPECT_FALSE(ini.hasKey(QStringLiteral("DB"), QStringLiteral("# alte Datenbank")));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("MDB"), QStringLiteral("b.mdb"));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("PATH"), QStringLiteral("/tabellen"));
    ini.writeString(QStringLiteral("optionen"), QStringLiteral("update"), QStringLiteral("/u"));
    ASSERT_TRUE(ini.save());
    // A new key goes to the end of its section, before the blank line; a new section at the end.
    EXPECT_EQ(folder.readFile(QStringLiteral("kilvaro.ini")),
              QByteArray("; Einstellungen\r\n[DB]\r\n# alte Datenbank\r\nMDB=b.mdb\r\n"
                         "irgendwas ohne Gleichheitszeichen\r\nPATH=/tabellen\r\n\r\n"
                         "[Mailing]\r\nexport=x\r\n\r\n[optionen]\r\nupdate=/u\r\n"));
}

TEST_F(IniFileTest, AcceptsLfOnlyAndUtf8Files) {
    // UTF-8 with a BOM and LF line ends (edited on Linux).
    ASSERT_TRUE(folder.writeFile(QStringLiteral("kilvaro.ini"),
                                 "\xEF\xBB\xBF[Rechnung]\nUHuelle=U-H\xC3\xBClle XXL;\n"));
    IniFile ini(iniPath());
    EXPECT_EQ(ini.sections(), QStringList{QStringLiteral("Rechnung")});
    EXPECT_EQ(ini.readString(QStringLiteral("Rechnung"), QStringLiteral("UHuelle"), {}),
              QStringLiteral("U-Hülle XXL;"));
    // Written back as Windows-1252 without BOM, CR LF.
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(folder.readFile(QStringLiteral("kilvaro.ini")),
              QByteArray("[Rechnung]\r\nUHuelle=U-H\xFClle XXL;\r\n"));

    // UTF-8 without BOM is recognised as well.
    ASSERT_TRUE(
        folder.writeFile(QStringLiteral("b.ini"), "[A]\r\nk=K\xC3\xBChlung \xE2\x82\xAC\r\n"));
    EXPECT_EQ(IniFile(folder.filePath(QStringLiteral("b.ini")))
                  .readString(QStringLiteral("A"), QStringLiteral("k"), {}),
              QStringLiteral("Kühlung €"));
}

TEST_F(IniFileTest, InvalidUtf8IsReadAsWindows1252) {
    // 0xFC alone is no UTF-8; 0x81 has no character in Windows-1252.
    ASSERT_TRUE(folder.writeFile(QStringLiteral("kilvaro.ini"),
                                 "[A]\r\nk=K\xFChlung\r\nx=\x81\r\n[B]\r\nn=1\r\n"));
    IniFile ini(iniPath());
    EXPECT_EQ(ini.readString(QStringLiteral("A"), QStringLiteral("k"), {}),
              QStringLiteral("Kühlung"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("B"), QStringLiteral("n"), 0), 1);
    ASSERT_TRUE(ini.save());
    // Even the byte without a character comes back unchanged.
    EXPECT_EQ(folder.readFile(QStringLiteral("kilvaro.ini")),
              QByteArray("[A]\r\nk=K\xFChlung\r\nx=\x81\r\n[B]\r\nn=1\r\n"));
    EXPECT_EQ(ini.replacedCharacters(), 0);
}

TEST_F(IniFileTest, UnrepresentableCharactersBecomeQuestionMarks) {
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("Mailing"), QStringLiteral("export"),
                    QStringLiteral("Łódź \U0001F600.csv"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(ini.replacedCharacters(), 3);
    EXPECT_EQ(folder.readFile(QStringLiteral("kilvaro.ini")), QByteArray("[Mailing]\r\nexport=?\xF3"
                                                                         "d? ?.csv\r\n"));
}

TEST_F(IniFileTest, ValueWithLineBreaksCannotAddKeys) {
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("DB"), QStringLiteral("PATH"),
                    QStringLiteral("a\r\nMDB=fremd\n[X]"));
    ASSERT_TRUE(ini.save());
    IniFile again(iniPath());
    EXPECT_FALSE(again.hasKey(QStringLiteral("DB"), QStringLiteral("MDB")));
    EXPECT_FALSE(again.hasSection(QStringLiteral("X")));
    EXPECT_EQ(again.readString(QStringLiteral("DB"), QStringLiteral("PATH"), {}),
              QStringLiteral("a MDB=fremd [X]"));
}

TEST_F(IniFileTest, UnreadableFileGivesGermanError) {
    // A folder where the file should be cannot be read as a file.
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    IniFile ini(iniPath());
    EXPECT_TRUE(ini.loadError().contains(QStringLiteral("kann nicht gelesen werden")))
        << ini.loadError().toStdString();
    QString error;
    EXPECT_FALSE(ini.load(&error));
    EXPECT_EQ(error, ini.loadError());
}

TEST_F(IniFileTest, FailedSaveReportsAndKeepsTheOldFile) {
    const QByteArray original = "[DB]\r\nMDB=alt.mdb\r\n";
    ASSERT_TRUE(folder.writeFile(QStringLiteral("ro/kilvaro.ini"), original));
    const QString dir = folder.filePath(QStringLiteral("ro"));
    IniFile ini(dir + QStringLiteral("/kilvaro.ini"));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("MDB"), QStringLiteral("neu.mdb"));

    ASSERT_TRUE(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    bool immutable = false;
    if (geteuid() == 0) {
        // Permissions do not stop root; an immutable folder does where the file system allows.
        immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), dir}) == 0;
        if (!immutable) {
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            GTEST_SKIP() << "running as root without chattr: the folder cannot be made read-only";
        }
    }
    QString error;
    const bool saved = ini.save(&error);
    if (immutable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), dir});
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_FALSE(saved);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Die Einstellungsdatei")));
    EXPECT_TRUE(error.contains(QStringLiteral("kann nicht gespeichert werden")));
    EXPECT_EQ(folder.readFile(QStringLiteral("ro/kilvaro.ini")), original);
}

TEST_F(IniFileTest, SaveIntoMissingFolderFails) {
    IniFile ini(folder.filePath(QStringLiteral("fehlt/kilvaro.ini")));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("MDB"), QStringLiteral("x"));
    QString error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_FALSE(error.isEmpty());
}
