#include "base/TextFile.h"

#include "base/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kilvaro::TextFile {

QByteArray encode(const QString& text) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalized.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QStringEncoder encoder("windows-1252");
    QByteArray out = encoder.encode(normalized);
    if (!encoder.hasError())
        return out;
    // Some character is not in the code page: encode one by one so only it becomes '?'.
    out.clear();
    for (const QChar c : normalized) {
        QStringEncoder single("windows-1252");
        const QByteArray b = single.encode(QString(c));
        out.append(single.hasError() || b.isEmpty() ? QByteArray("?") : b);
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        return utf8.decode(bytes.mid(3));
    }
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

QString read(const QString& path) {
    QFile f(path);
    if (!f.exists())
        throw DbError(QStringLiteral("Die Datei '%1' wurde nicht gefunden.").arg(path));
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2")
                          .arg(path, failureReason(f, false)));
    return decode(f.readAll());
}

QStringList readLines(const QString& path) {
    QString text = read(path);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString failureReason(const QFileDevice& file, bool writing) {
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return QStringLiteral("Der Name bezeichnet einen Ordner.");
    if (!writing) {
        if (!info.exists())
            return QStringLiteral("Die Datei existiert nicht.");
        if (!info.isReadable())
            return QStringLiteral("Keine Leseberechtigung.");
    } else {
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            return QStringLiteral("Der Ordner '%1' existiert nicht.")
                .arg(QDir::toNativeSeparators(info.absolutePath()));
        if (info.exists() && !info.isWritable())
            return QStringLiteral("Die Datei ist schreibgeschützt.");
        if (!folder.isWritable())
            return QStringLiteral("Keine Schreibberechtigung für den Ordner.");
        if (file.error() == QFileDevice::ResourceError || file.error() == QFileDevice::WriteError)
            return QStringLiteral("Der Datenträger ist voll oder nicht bereit.");
    }
    return QStringLiteral("Die Datei ist gesperrt oder nicht zugänglich.");
}

void write(const QString& path, const QString& text) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw DbError(QStringLiteral("Die Datei '%1' kann nicht geschrieben werden: %2")
                          .arg(path, failureReason(f, true)));
    f.write(encode(text));
    if (!f.commit())
        throw DbError(QStringLiteral("Die Datei '%1' kann nicht geschrieben werden: %2")
                          .arg(path, failureReason(f, true)));
}

void writeLines(const QString& path, const QStringList& lines) {
    write(path, lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

} // namespace kilvaro::TextFile
