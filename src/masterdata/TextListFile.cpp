#include "masterdata/TextListFile.h"

#include "base/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace kilvaro {

QString TextListFile::resolve(const QString& path) {
    const QFileInfo info(path);
    if (info.exists())
        return path;
    const QDir folder = info.absoluteDir();
    const QStringList matches = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : matches)
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    return path;
}

QString TextListFile::readText(const QString& path) {
    return TextFile::readLines(resolve(path)).join(QLatin1Char('\n'));
}

void TextListFile::writeText(const QString& path, const QString& text) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = normalized.split(QLatin1Char('\n'));
    // A line end after the last entry does not make an empty entry.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    TextFile::writeLines(resolve(path), lines);
}

QStringList TextListFile::sortedEntries(const QString& path) {
    QStringList entries;
    for (const QString& line : TextFile::readLines(resolve(path)))
        if (!line.isEmpty())
            entries << line;
    entries.sort(Qt::CaseInsensitive);
    return entries;
}

} // namespace kilvaro
