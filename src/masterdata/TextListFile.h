#pragma once

#include <QString>
#include <QStringList>

namespace kilvaro {

/// A plain text file beside the program that holds a list the user keeps himself, one
/// entry per line (the payment types "z_art.txt"): Windows-1252, CR LF.
class TextListFile {
public:
    /// The path of an existing file whose name matches `path`'s without regard to case
    /// (the program names "Z_art.txt" and "z_art.txt" alike); `path` itself when there is
    /// none.
    static QString resolve(const QString& path);

    /// The file as editor text: lines joined by '\n', without a final line end. Throws
    /// DbError with a German message when the file is missing or unreadable.
    static QString readText(const QString& path);
    /// Writes editor text back, one line per line with CR LF after each, replacing the
    /// file; an empty text gives an empty file. Throws DbError with a German message on
    /// failure (the old file then stays).
    static void writeText(const QString& path, const QString& text);

    /// The entries of the file, sorted, for a drop-down list; empty lines left out.
    static QStringList sortedEntries(const QString& path);
};

} // namespace kilvaro
