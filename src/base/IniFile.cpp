#include "base/IniFile.h"

#include "base/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kilvaro {

namespace {

const char* const kCodec = "windows-1252";

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

/// "[name]" (blanks around allowed, anything after the bracket ignored).
bool parseSection(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

/// "key=value"; comments, headers and lines without '=' or without a key are not keys.
bool parseKey(const QString& line, QString* key, QString* value = nullptr) {
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith(u'['))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return false;
    const QString k = t.left(eq).trimmed();
    if (k.isEmpty())
        return false;
    *key = k;
    if (value) {
        QString v = t.mid(eq + 1).trimmed();
        // The Windows functions drop one pair of quotes around a value.
        if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitLines(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    QStringList lines = t.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    return lines;
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = dec.decode(bytes);
    return !dec.hasError();
}

bool isAscii(const QByteArray& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

/// Whether one character (not a surrogate) has a byte in Windows-1252.
bool representable(QChar c) {
    if (c.unicode() < 0x80)
        return true;
    if (c.isSurrogate())
        return false;
    QStringEncoder enc(kCodec);
    const QByteArray b = enc.encode(QStringView(&c, 1));
    if (enc.hasError() || b.size() != 1)
        return false;
    QStringDecoder dec(kCodec);
    const QString back = dec.decode(b);
    return back.size() == 1 && back.at(0) == c;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path) {
    load();
}

bool IniFile::load(QString* error) {
    m_lines.clear();
    m_loadError.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        m_loadError = QStringLiteral("Die Einstellungsdatei \"%1\" kann nicht gelesen werden: %2")
                          .arg(QFileInfo(m_path).absoluteFilePath(), TextFile::failureReason(file, false));
        if (error)
            *error = m_loadError;
        return false;
    }
    QByteArray bytes = file.readAll();
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else if (!isAscii(bytes) && isValidUtf8(bytes)) {
        // Windows-1252 text with umlauts is practically never valid UTF-8.
        text = QString::fromUtf8(bytes);
    } else {
        QStringDecoder dec(kCodec);
        text = dec.decode(bytes);
    }
    m_lines = splitLines(text);
    return true;
}

QString IniFile::content() const {
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

void IniFile::setContent(const QString& text) {
    m_lines = splitLines(text);
}

bool IniFile::save(QString* error) {
    m_replaced = 0;
    const QString raw = content();
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (representable(c)) {
            text += c;
            continue;
        }
        // A surrogate pair is one character: it becomes one '?'.
        if (c.isHighSurrogate() && i + 1 < raw.size() && raw.at(i + 1).isLowSurrogate())
            ++i;
        text += u'?';
        ++m_replaced;
    }
    QStringEncoder enc(kCodec);
    const QByteArray bytes = enc.encode(text);

    const auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("Die Einstellungsdatei \"%1\" kann nicht gespeichert werden: %2")
                    .arg(QFileInfo(m_path).absoluteFilePath(), reason);
        return false;
    };
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(TextFile::failureReason(file, true));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = TextFile::failureReason(file, true);
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(TextFile::failureReason(file, true));
    return true;
}

int IniFile::findSection(const QString& section) const {
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (parseSection(m_lines.at(i), &name) && sameName(name, section.trimmed()))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const {
    QString name;
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (parseSection(m_lines.at(i), &name))
            return i;
    }
    return static_cast<int>(m_lines.size());
}

int IniFile::findKey(int sectionLine, const QString& key) const {
    const int end = sectionEnd(sectionLine);
    QString name;
    for (int i = sectionLine + 1; i < end; ++i) {
        if (parseKey(m_lines.at(i), &name) && sameName(name, key.trimmed()))
            return i;
    }
    return -1;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const int s = findSection(section);
    if (s < 0)
        return def;
    const int k = findKey(s, key);
    if (k < 0)
        return def;
    QString name, value;
    parseKey(m_lines.at(k), &name, &value);
    return value;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int v = readString(section, key, QString()).toInt(&ok, 10);
    return ok ? v : def;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    QString v = value;
    v.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    const QString sec = section.trimmed();
    const QString k = key.trimmed();

    int s = findSection(sec);
    if (s < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + sec + QLatin1Char(']'));
        m_lines.append(k + QLatin1Char('=') + v);
        return;
    }
    const int line = findKey(s, k);
    if (line >= 0) {
        // Keep the key as spelled in the file.
        QString name;
        parseKey(m_lines.at(line), &name);
        m_lines[line] = name + QLatin1Char('=') + v;
        return;
    }
    // After the section's last non-blank line, so a blank line before the next section stays.
    int insertAt = sectionEnd(s);
    while (insertAt > s + 1 && m_lines.at(insertAt - 1).trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, k + QLatin1Char('=') + v);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

bool IniFile::hasSection(const QString& section) const {
    return findSection(section) >= 0;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QStringList IniFile::sections() const {
    QStringList result;
    QString name;
    for (const QString& line : m_lines) {
        if (!parseSection(line, &name))
            continue;
        bool seen = false;
        for (const QString& r : result)
            seen = seen || sameName(r, name);
        if (!seen)
            result.append(name);
    }
    return result;
}

} // namespace kilvaro
