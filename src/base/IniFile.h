#pragma once

#include <QString>
#include <QStringList>

namespace kilvaro {

/// The settings file "kilvaro.ini": sections in brackets, then "key=value" lines.
///
/// Existing files were written by the old program through the Windows ANSI functions, so the
/// file is kept in Windows-1252 with CR LF line ends. Reading also accepts UTF-8 (with a BOM,
/// or without one when the bytes are valid UTF-8 and not plain ASCII), since a file edited
/// with a UTF-8 editor should not turn "Kühlung" into "KÃ¼hlung". Writing is always
/// Windows-1252, CR LF.
///
/// Sections and keys are compared without regard to case; surrounding blanks of names and
/// values are ignored and one pair of double quotes around a value is removed, as the
/// Windows functions did. With duplicate keys the first one wins when reading, and writing
/// updates the first. Comments (';' or '#') and lines that are neither section nor key are
/// kept as they are when the file is rewritten.
///
/// The whole file is held in memory: reads see the state of the last load() plus the writes
/// since; save() writes it back.
class IniFile {
public:
    /// Loads the file at once; a missing file reads as empty. Check loadError() after.
    explicit IniFile(const QString& path);

    /// (Re)reads the file. A missing file gives an empty content and true; a file that
    /// exists but cannot be read gives false and a German text.
    bool load(QString* error = nullptr);
    /// Writes the content atomically (temporary file, then rename); on failure the old
    /// file stays as it was and a German text is returned.
    ///
    /// Characters that Windows-1252 cannot represent are written as '?' (what the Windows
    /// ANSI functions did); save() still succeeds, and replacedCharacters() tells how many
    /// were replaced so a caller can warn.
    bool save(QString* error = nullptr);

    /// The German text of the last failed load(), empty after a successful one.
    QString loadError() const { return m_loadError; }
    /// Characters replaced by '?' in the last save().
    int replacedCharacters() const { return m_replaced; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    /// The value as a decimal integer; a missing key or a non-numeric value gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    /// Sets the value in memory (adds section and key when missing). Line breaks in the
    /// value are replaced by blanks so a value can never add lines of its own.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);

    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;
    /// Section names in file order, as spelled in the file (each name once).
    QStringList sections() const;
    QString path() const { return m_path; }

    /// Replaces the content by the given text (lines separated by CR LF or LF), e.g. a
    /// default file; nothing is written until save().
    void setContent(const QString& text);
    /// The current content as text with CR LF line ends.
    QString content() const;

private:
    /// Index of the header line of the first section with that name, or -1.
    int findSection(const QString& section) const;
    /// Index of the first line of the key inside the section starting at sectionLine, or -1.
    int findKey(int sectionLine, const QString& key) const;
    /// First line after the section's last line (the next header or the end).
    int sectionEnd(int sectionLine) const;

    QString m_path;
    QStringList m_lines;
    QString m_loadError;
    int m_replaced = 0;
};

} // namespace kilvaro
