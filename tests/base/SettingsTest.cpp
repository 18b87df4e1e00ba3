#include "base/IniFile.h"
#include "base/SettingsKeys.h"
#include "base/UserSettings.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kilvaro;

TEST(SettingsKeys, MissingKeysGiveTheirDefaults) {
    TempProgramFolder folder;
    const IniFile ini(folder.filePath(QStringLiteral("kilvaro.ini")));
    EXPECT_EQ(readSetting(ini, SettingsKeys::DbMdb), QString());
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungAnkleiden), QStringLiteral("Ankleiden;"));
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungNacht), QStringLiteral("Spät/Nacht;"));
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungFeiertag), QStringLiteral("Sonn-/Feiertag;"));
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungKuehlung), QStringLiteral("Eigene Kühlung;"));
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungUHuelle), QStringLiteral("U-Hülle XXL;"));
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungCovid19), QStringLiteral("Covid19;"));
    EXPECT_EQ(readSetting(ini, SettingsKeys::RechnungNummer), QStringLiteral("0"));
    EXPECT_EQ(readSettingInteger(ini, SettingsKeys::RechnungDruckBis), 0);
}

TEST(SettingsKeys, DefaultFileHoldsEveryKey) {
    TempProgramFolder folder;
    const QString text = defaultIniText(QStringLiteral("/daten/Kilvaro.sqlite"));
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[DB]\r\nPATH=\r\nMDB=/daten/Kilvaro.sqlite\r\n")));

    IniFile ini(folder.filePath(QStringLiteral("kilvaro.ini")));
    ini.setContent(text);
    ASSERT_TRUE(ini.save());
    const IniFile saved(ini.path());
    EXPECT_EQ(saved.sections(),
              (QStringList{QStringLiteral("DB"), QStringLiteral("optionen"),
                           QStringLiteral("Rechnung"), QStringLiteral("Mailing")}));
    for (const IniKey& key : SettingsKeys::all()) {
        EXPECT_TRUE(saved.hasKey(sectionName(key), keyName(key))) << key.key;
        if (QByteArray(key.key) != "MDB") {
            EXPECT_EQ(readSetting(saved, key), defaultValue(key)) << key.key;
        }
    }
    EXPECT_EQ(readSetting(saved, SettingsKeys::DbMdb), QStringLiteral("/daten/Kilvaro.sqlite"));
    EXPECT_TRUE(
        folder.readFile(QStringLiteral("kilvaro.ini")).contains("Nacht=Sp\xE4t/Nacht;\r\n"));
}

TEST(UserSettings, ProgmaxIsUnsetUntilWritten) {
    TempProgramFolder folder;
    {
        UserSettings settings(folder.path());
        EXPECT_FALSE(settings.progmax().has_value());
        settings.setProgmax(true);
        EXPECT_EQ(settings.progmax(), std::optional<bool>(true));
    }
    UserSettings again(folder.path());
    EXPECT_EQ(again.progmax(), std::optional<bool>(true));
    EXPECT_EQ(again.intValue(UserSettings::App::Kilv, QStringLiteral("Progmax")), 1);
    again.setProgmax(false);
    EXPECT_EQ(UserSettings(folder.path()).progmax(), std::optional<bool>(false));
}

TEST(UserSettings, ValuesPerApplication) {
    TempProgramFolder folder;
    UserSettings settings(folder.path());
    using App = UserSettings::App;
    EXPECT_FALSE(settings.intValue(App::Kilv, QStringLiteral("Bestatterbox")).has_value());
    settings.setValue(App::Kilv, QStringLiteral("Bestatterbox"), 3);
    settings.setValue(App::Kilv, QStringLiteral("Exportziel"), QStringLiteral("Müller"));
    settings.setValue(App::Report, QStringLiteral("PrinterIndex"), 2);

    UserSettings again(folder.path());
    EXPECT_EQ(again.intValue(App::Kilv, QStringLiteral("Bestatterbox")), 3);
    EXPECT_EQ(again.stringValue(App::Kilv, QStringLiteral("Exportziel")), QStringLiteral("Müller"));
    EXPECT_EQ(again.intValue(App::Report, QStringLiteral("PrinterIndex")), 2);
    EXPECT_FALSE(again.contains(App::Report, QStringLiteral("Bestatterbox")));
    EXPECT_FALSE(again.contains(App::Kilv, QStringLiteral("PrinterIndex")));
    // A text where a number belongs is treated as missing.
    EXPECT_FALSE(again.intValue(App::Kilv, QStringLiteral("Exportziel")).has_value());
}
