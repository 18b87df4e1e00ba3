#pragma once

#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace kilvaro {

/// Text files beside the program (letterhead, payment types, SQL texts, exports) are kept in
/// the Windows code page 1252 with CR LF line ends, as the files of existing installations.
namespace TextFile {

/// Reads a Windows-1252 file (a UTF-8 file with byte order mark is read as UTF-8). Throws
/// DbError with a German message when the file is missing or unreadable.
QString read(const QString& path);
QStringList readLines(const QString& path); ///< without line ends; no trailing empty line
/// Writes Windows-1252 with CR LF, atomically. Characters outside the code page become '?'.
/// Throws DbError with a German message on failure; the old file then stays as it was.
void write(const QString& path, const QString& text);
void writeLines(const QString& path, const QStringList& lines);

QByteArray encode(const QString& text); ///< Windows-1252, line ends turned into CR LF
QString decode(const QByteArray& bytes);

/// Why reading or writing `file` failed, as a short German sentence for a message (the
/// device's own error text is English and technical).
QString failureReason(const QFileDevice& file, bool writing);

} // namespace TextFile
} // namespace kilvaro
