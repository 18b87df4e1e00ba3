#pragma once

#include <QString>
#include <vector>

namespace kilvaro {

class IniFile;

/// One key of the settings file "kilvaro.ini" with the value used when it is missing.
struct IniKey {
    const char* section;
    const char* key;
    const char* defaultValue; ///< UTF-8
};

/// Every key of "kilvaro.ini" the program reads or writes.
namespace SettingsKeys {

/// Name of the settings file in the program folder.
inline constexpr char FileName[] = "kilvaro.ini";

inline constexpr IniKey DbPath{"DB", "PATH", ""};         ///< folder of the single-file tables
inline constexpr IniKey DbMdb{"DB", "MDB", ""};           ///< full path of the database file
inline constexpr IniKey Update{"optionen", "update", ""}; ///< folder of a newer program file

// Invoice texts of the surcharges.
inline constexpr IniKey RechnungAnkleiden{"Rechnung", "Ankleiden", "Ankleiden;"};
inline constexpr IniKey RechnungNacht{"Rechnung", "Nacht", "Spät/Nacht;"};
inline constexpr IniKey RechnungFeiertag{"Rechnung", "Feiertag", "Sonn-/Feiertag;"};
inline constexpr IniKey RechnungKuehlung{"Rechnung", "Kuehlung", "Eigene Kühlung;"};
inline constexpr IniKey RechnungUHuelle{"Rechnung", "UHuelle", "U-Hülle XXL;"};
inline constexpr IniKey RechnungCovid19{"Rechnung", "Covid19", "Covid19;"};
/// Last invoice number.
inline constexpr IniKey RechnungNummer{"Rechnung", "Nummer", "0"};
/// Invoice number range last printed.
inline constexpr IniKey RechnungDruckVon{"Rechnung", "druckvon", "0"};
inline constexpr IniKey RechnungDruckBis{"Rechnung", "druckbis", "0"};

inline constexpr IniKey MailingExport{"Mailing", "export", ""}; ///< target of the transfer export
inline constexpr IniKey MailingPlz{"Mailing", "PLZ",
                                   ""}; ///< opened after the postal-code statistics

/// All keys above, in the order of a new file.
const std::vector<IniKey>& all();

} // namespace SettingsKeys

QString sectionName(const IniKey& key);
QString keyName(const IniKey& key);
QString defaultValue(const IniKey& key);

/// Reads a key with its own default.
QString readSetting(const IniFile& ini, const IniKey& key);
int readSettingInteger(const IniFile& ini, const IniKey& key);
void writeSetting(IniFile& ini, const IniKey& key, const QString& value);
void writeSettingInteger(IniFile& ini, const IniKey& key, int value);

/// The content of a new "kilvaro.ini": every section and key with its default, `MDB` set to
/// databaseFile. Lines end with CR LF.
QString defaultIniText(const QString& databaseFile);

} // namespace kilvaro
