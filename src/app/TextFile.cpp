#include "app/TextFile.h"

#include "data/DbError.h"

#include <QFile>
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
                          .arg(path, f.errorString()));
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

void write(const QString& path, const QString& text) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw DbError(QStringLiteral("Die Datei '%1' kann nicht geschrieben werden: %2")
                          .arg(path, f.errorString()));
    f.write(encode(text));
    if (!f.commit())
        throw DbError(QStringLiteral("Die Datei '%1' kann nicht geschrieben werden: %2")
                          .arg(path, f.errorString()));
}

void writeLines(const QString& path, const QStringList& lines) {
    write(path, lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

} // namespace kilvaro::TextFile
