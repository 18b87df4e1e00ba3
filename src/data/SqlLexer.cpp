#include "data/SqlLexer.h"

#include "data/StoredValue.h"

#include <QRegularExpression>

namespace kilvaro::sql {

QString positionMessage(int position, const QString& problem) {
    return QStringLiteral("SQL-Fehler bei Position %1: %2").arg(position).arg(problem);
}

namespace {

[[noreturn]] void fail(int index, const QString& problem) {
    throw Error{index + 1, positionMessage(index + 1, problem)};
}

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

/// A time of day alone ("10:30", "10:30:00", "10:30 PM"): on 30.12.1899, the day on which
/// the old engine kept times and on which they are stored.
QDateTime parseTimeLiteral(const QString& inner) {
    static const QRegularExpression time(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?(?:\\s*([AaPp][Mm]))?\\s*$"));
    const QRegularExpressionMatch match = time.match(inner);
    if (!match.hasMatch())
        return {};
    int hour = match.captured(1).toInt();
    const QString half = match.captured(4).toUpper();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (half == QLatin1String("PM") ? 12 : 0);
    }
    const QTime t(hour, match.captured(2).toInt(), match.captured(3).toInt());
    if (!t.isValid())
        return {};
    return QDateTime(stored::timeBaseDate(), t);
}

/// The old engine's date literal: m/d/yyyy with an optional time, or yyyy-mm-dd, or a time
/// of day alone.
QDateTime parseDateLiteral(const QString& inner) {
    if (const QDateTime t = parseTimeLiteral(inner); t.isValid())
        return t;
    static const QRegularExpression us(QStringLiteral(
        "^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    static const QRegularExpression iso(QStringLiteral(
        "^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match = us.match(inner);
    if (match.hasMatch()) {
        m = match.captured(1).toInt();
        d = match.captured(2).toInt();
        y = match.captured(3).toInt();
    } else {
        match = iso.match(inner);
        if (!match.hasMatch())
            return {};
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    }
    const QDate date(y, m, d);
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(),
                     match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace

QList<Token> SqlLexer::tokenize(const QString& text) {
    QList<Token> tokens;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.position = i + 1;
        const int start = i;
        if (isWordStart(c)) {
            while (i < n && isWordChar(text.at(i)))
                ++i;
            t.kind = TokenKind::Word;
            t.text = text.mid(start, i - start);
        } else if (c.isDigit()) {
            while (i < n && text.at(i).isDigit())
                ++i;
            if (i + 1 < n && text.at(i) == QLatin1Char('.') && text.at(i + 1).isDigit()) {
                ++i;
                while (i < n && text.at(i).isDigit())
                    ++i;
            }
            if (i < n && isWordStart(text.at(i)))
                fail(start,
                     QStringLiteral("ungültige Zahl '%1'.").arg(text.mid(start, i - start + 1)));
            t.kind = TokenKind::Number;
            t.text = text.mid(start, i - start);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            // A doubled quote inside the text stands for one quote character.
            ++i;
            QString value;
            bool closed = false;
            while (i < n) {
                if (text.at(i) == c) {
                    if (i + 1 < n && text.at(i + 1) == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text.at(i++);
            }
            if (!closed)
                fail(start, QStringLiteral("Text ohne schließendes Anführungszeichen."));
            t.kind = TokenKind::Text;
            t.text = value;
        } else if (c == QLatin1Char('[')) {
            const int close = int(text.indexOf(QLatin1Char(']'), i + 1));
            if (close < 0)
                fail(start, QStringLiteral("Name ohne schließende eckige Klammer."));
            const QString name = text.mid(i + 1, close - i - 1);
            if (name.trimmed().isEmpty() || name.contains(QLatin1Char('[')))
                fail(start, QStringLiteral("ungültiger Name '%1'.")
                                .arg(text.mid(start, close - start + 1)));
            i = close + 1;
            t.kind = TokenKind::Name;
            t.text = name;
        } else if (c == QLatin1Char('#')) {
            const int close = int(text.indexOf(QLatin1Char('#'), i + 1));
            if (close < 0)
                fail(start, QStringLiteral("Datum ohne schließendes '#'."));
            const QString literal = text.mid(start, close - start + 1);
            const QDateTime date = parseDateLiteral(text.mid(i + 1, close - i - 1));
            if (!date.isValid())
                fail(start, QStringLiteral("ungültiges Datum '%1'.").arg(literal));
            i = close + 1;
            t.kind = TokenKind::Date;
            t.date = date;
            t.text = literal;
        } else if (c == QLatin1Char('?')) {
            ++i;
            t.kind = TokenKind::Param;
            t.text = QStringLiteral("?");
        } else {
            static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                              QStringLiteral(">="), QStringLiteral("!=")};
            static const QString oneChar = QStringLiteral("(),.*+-/=<>;&");
            t.kind = TokenKind::Symbol;
            const QString two = text.mid(i, 2);
            bool matched = false;
            for (const QString& s : twoChar) {
                if (two == s) {
                    t.text = s;
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                if (!oneChar.contains(c))
                    fail(start, QStringLiteral("unerwartetes Zeichen '%1'.").arg(c));
                t.text = c;
                ++i;
            }
        }
        t.source = text.mid(start, i - start);
        tokens.append(t);
    }
    Token end;
    end.kind = TokenKind::End;
    end.position = n + 1;
    tokens.append(end);
    return tokens;
}

} // namespace kilvaro::sql
