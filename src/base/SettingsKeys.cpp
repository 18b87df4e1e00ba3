#include "base/SettingsKeys.h"

#include "base/IniFile.h"

namespace kilvaro {

const std::vector<IniKey>& SettingsKeys::all() {
    static const std::vector<IniKey> keys{DbPath,           DbMdb,
                                          Update,           RechnungAnkleiden,
                                          RechnungNacht,    RechnungFeiertag,
                                          RechnungKuehlung, RechnungUHuelle,
                                          RechnungCovid19,  RechnungNummer,
                                          RechnungDruckVon, RechnungDruckBis,
                                          MailingExport,    MailingPlz};
    return keys;
}

QString sectionName(const IniKey& key) {
    return QString::fromUtf8(key.section);
}

QString keyName(const IniKey& key) {
    return QString::fromUtf8(key.key);
}

QString defaultValue(const IniKey& key) {
    return QString::fromUtf8(key.defaultValue);
}

QString readSetting(const IniFile& ini, const IniKey& key) {
    return ini.readString(sectionName(key), keyName(key), defaultValue(key));
}

int readSettingInteger(const IniFile& ini, const IniKey& key) {
    return ini.readInteger(sectionName(key), keyName(key), defaultValue(key).toInt());
}

void writeSetting(IniFile& ini, const IniKey& key, const QString& value) {
    ini.writeString(sectionName(key), keyName(key), value);
}

void writeSettingInteger(IniFile& ini, const IniKey& key, int value) {
    ini.writeInteger(sectionName(key), keyName(key), value);
}

QString defaultIniText(const QString& databaseFile) {
    QString text;
    QString current;
    for (const IniKey& key : SettingsKeys::all()) {
        const QString section = sectionName(key);
        if (section != current) {
            if (!current.isEmpty())
                text += QStringLiteral("\r\n");
            text += QLatin1Char('[') + section + QStringLiteral("]\r\n");
            current = section;
        }
        const bool isMdb = section == QLatin1String(SettingsKeys::DbMdb.section) &&
                           keyName(key) == QLatin1String(SettingsKeys::DbMdb.key);
        text += keyName(key) + QLatin1Char('=') + (isMdb ? databaseFile : defaultValue(key)) +
                QStringLiteral("\r\n");
    }
    return text;
}

} // namespace kilvaro
