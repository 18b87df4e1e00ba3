#include "base/Format.h"

#include "base/GermanInput.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace kilvaro {

namespace {

/// A decimal number as digit texts: no sign in the digits, intDigits at least "0".
struct Decimal {
    bool negative = false;
    QString intDigits = QStringLiteral("0");
    QString fracDigits;

    bool isZero() const {
        for (QChar c : intDigits + fracDigits) {
            if (c != u'0')
                return false;
        }
        return true;
    }
};

bool allDigits(const QString& s) {
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

/// Reads "-1234.5678"; false for anything else.
bool parseDecimal(const QString& text, Decimal* out) {
    QString t = text.trimmed();
    Decimal d;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        d.negative = t.startsWith(u'-');
        t = t.mid(1);
    }
    const qsizetype point = t.indexOf(u'.');
    QString intPart = point < 0 ? t : t.left(point);
    QString fracPart = point < 0 ? QString() : t.mid(point + 1);
    if ((intPart.isEmpty() && fracPart.isEmpty()) || !allDigits(intPart) || !allDigits(fracPart))
        return false;
    while (intPart.size() > 1 && intPart.startsWith(u'0'))
        intPart.remove(0, 1);
    d.intDigits = intPart.isEmpty() ? QStringLiteral("0") : intPart;
    d.fracDigits = fracPart;
    if (d.isZero())
        d.negative = false;
    *out = d;
    return true;
}

/// Rounds half away from zero to n decimals; the result has exactly n decimals.
Decimal roundTo(Decimal d, int n) {
    n = std::max(n, 0);
    if (d.fracDigits.size() <= n) {
        d.fracDigits = d.fracDigits.leftJustified(n, u'0');
        return d;
    }
    const bool up = d.fracDigits.at(n) >= u'5';
    d.fracDigits.truncate(n);
    if (up) {
        QString all = d.intDigits + d.fracDigits;
        qsizetype i = all.size() - 1;
        for (; i >= 0; --i) {
            if (all.at(i) == u'9') {
                all[i] = u'0';
            } else {
                all[i] = QChar(all.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0)
            all.prepend(u'1');
        d.intDigits = all.left(all.size() - n);
        d.fracDigits = all.right(n);
    }
    if (d.isZero())
        d.negative = false;
    return d;
}

Decimal fromDouble(double value) {
    Decimal d;
    if (value == 0 || !std::isfinite(value))
        return d;
    d.negative = value < 0;
    // 15 significant digits: what a double holds reliably, and the old engine's precision.
    const QString e = QString::number(std::fabs(value), 'e', 14); // "2.67500000000000e+00"
    const qsizetype ePos = e.indexOf(u'e');
    const QString digits = e.left(ePos).remove(u'.');
    const int exponent = e.mid(ePos + 1).toInt();
    const int pointPos = exponent + 1; // digits before the decimal point
    if (pointPos <= 0) {
        d.intDigits = QStringLiteral("0");
        d.fracDigits = QString(-pointPos, u'0') + digits;
    } else if (pointPos >= digits.size()) {
        d.intDigits = digits + QString(pointPos - digits.size(), u'0');
    } else {
        d.intDigits = digits.left(pointPos);
        d.fracDigits = digits.mid(pointPos);
    }
    while (d.fracDigits.endsWith(u'0'))
        d.fracDigits.chop(1);
    return d;
}

QString toText(const Decimal& d) {
    QString s = d.negative ? QStringLiteral("-") : QString();
    s += d.intDigits;
    if (!d.fracDigits.isEmpty())
        s += QLatin1Char('.') + d.fracDigits;
    return s;
}

/// Splits a mask at ';' outside quotes.
QStringList splitSections(const QString& mask) {
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    sections.append(current);
    return sections;
}

struct NumberMask {
    QString prefix;
    QString suffix;
    bool hasDigits = false;
    bool grouping = false;
    int intZeros = 0;
    int decimals = 0;
    int minDecimals = 0;
};

NumberMask parseNumberMask(const QString& section) {
    // Tokens: placeholders, or literal text (quotes resolved).
    struct Token {
        QChar ch;
        bool literal;
    };
    QList<Token> tokens;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                tokens.append({c, true});
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else {
            const bool placeholder = c == u'0' || c == u'#' || c == u'.' || c == u',';
            tokens.append({c, !placeholder});
        }
    }
    NumberMask m;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (!tokens.at(i).literal) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) {
        for (const Token& t : tokens)
            m.prefix += t.ch;
        return m;
    }
    for (qsizetype i = 0; i < first; ++i)
        m.prefix += tokens.at(i).ch;
    for (qsizetype i = last + 1; i < tokens.size(); ++i)
        m.suffix += tokens.at(i).ch;
    bool afterPoint = false;
    for (qsizetype i = first; i <= last; ++i) {
        const Token& t = tokens.at(i);
        if (t.literal)
            continue; // text between placeholders is not supported and left out
        if (t.ch == u'.') {
            afterPoint = true;
        } else if (t.ch == u',') {
            if (!afterPoint)
                m.grouping = true;
        } else {
            m.hasDigits = true;
            if (afterPoint) {
                ++m.decimals;
                if (t.ch == u'0')
                    m.minDecimals = m.decimals;
            } else if (t.ch == u'0') {
                ++m.intZeros;
            }
        }
    }
    return m;
}

QString applyNumberMask(const Decimal& rounded, const NumberMask& m, bool withSign) {
    if (!m.hasDigits)
        return (withSign ? QStringLiteral("-") : QString()) + m.prefix + m.suffix;
    QString intPart = rounded.intDigits;
    while (intPart.startsWith(u'0'))
        intPart.remove(0, 1);
    if (intPart.size() < m.intZeros)
        intPart = QString(m.intZeros - intPart.size(), u'0') + intPart;
    if (m.grouping) {
        for (qsizetype i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, u'.');
    }
    QString frac = rounded.fracDigits;
    while (frac.size() > m.minDecimals && frac.endsWith(u'0'))
        frac.chop(1);
    QString s = withSign ? QStringLiteral("-") : QString();
    s += m.prefix + intPart;
    if (!frac.isEmpty())
        s += QLatin1Char(',') + frac;
    return s + m.suffix;
}

QString formatDecimal(const Decimal& value, const QString& mask) {
    if (mask.isEmpty()) {
        // General format: all digits, no grouping.
        QString s = value.negative ? QStringLiteral("-") : QString();
        s += value.intDigits;
        if (!value.fracDigits.isEmpty())
            s += QLatin1Char(',') + value.fracDigits;
        return s;
    }
    const QStringList sections = splitSections(mask);
    const auto section = [&](int i) {
        return i < sections.size() && !sections.at(i).isEmpty() ? sections.at(i) : sections.at(0);
    };
    const bool ownNegative = value.negative && sections.size() > 1 && !sections.at(1).isEmpty();
    NumberMask m = parseNumberMask(section(value.negative ? 1 : 0));
    Decimal rounded = roundTo(value, m.decimals);
    if (rounded.isZero() && sections.size() > 2 && !sections.at(2).isEmpty()) {
        m = parseNumberMask(sections.at(2));
        return applyNumberMask(roundTo(value, m.decimals), m, false);
    }
    // A value that rounds to zero prints without a sign.
    return applyNumberMask(rounded, m, rounded.negative && !ownNegative);
}

const char* const kMonthNames[12] = {"Januar",    "Februar", "März",     "April",
                                     "Mai",       "Juni",    "Juli",     "August",
                                     "September", "Oktober", "November", "Dezember"};
const char* const kShortMonthNames[12] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                          "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
// Monday first, as QDate::dayOfWeek counts.
const char* const kDayNames[7] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                  "Freitag", "Samstag",  "Sonntag"};
const char* const kShortDayNames[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

QString pad2(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString formatDateTime(const QDate& date, const QTime& time, const QString& mask) {
    QString out;
    QChar lastToken; // last letter token, lower case
    qsizetype i = 0;
    while (i < mask.size()) {
        const QChar c = mask.at(i);
        if (c == u'"' || c == u'\'') {
            const qsizetype end = mask.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? mask.size() : end;
            out += mask.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        const QChar lower = c.toLower();
        qsizetype count = 1;
        while (i + count < mask.size() && mask.at(i + count).toLower() == lower)
            ++count;
        switch (lower.unicode()) {
        case 'd':
            if (count == 1)
                out += QString::number(date.day());
            else if (count == 2)
                out += pad2(date.day());
            else if (count == 3)
                out += QString::fromUtf8(kShortDayNames[date.dayOfWeek() - 1]);
            else
                out += QString::fromUtf8(kDayNames[date.dayOfWeek() - 1]);
            break;
        case 'm':
            if (lastToken == u'h' && count <= 2)
                out += count == 1 ? QString::number(time.minute()) : pad2(time.minute());
            else if (count == 1)
                out += QString::number(date.month());
            else if (count == 2)
                out += pad2(date.month());
            else if (count == 3)
                out += QString::fromUtf8(kShortMonthNames[date.month() - 1]);
            else
                out += QString::fromUtf8(kMonthNames[date.month() - 1]);
            break;
        case 'y':
            out += count <= 2 ? pad2(date.year() % 100)
                              : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        case 'h':
            out += count == 1 ? QString::number(time.hour()) : pad2(time.hour());
            break;
        case 'n':
            out += count == 1 ? QString::number(time.minute()) : pad2(time.minute());
            break;
        case 's':
            out += count == 1 ? QString::number(time.second()) : pad2(time.second());
            break;
        case 'z':
            out += count < 3 ? QString::number(time.msec())
                             : QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'));
            break;
        case '/':
            out += QString(count, u'.');
            break;
        default:
            out += mask.mid(i, count);
            break;
        }
        if (lower.isLetter() && QStringLiteral("dmyhnsz").contains(lower))
            lastToken = lower;
        i += count;
    }
    return out;
}

} // namespace

QString Format::decimalText(double value) {
    return toText(fromDouble(value));
}

QString Format::roundDecimal(const QString& decimalText, int decimals) {
    Decimal d;
    if (!parseDecimal(decimalText, &d))
        return QString();
    return toText(roundTo(d, decimals));
}

QString Format::number(double value, const QString& mask) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return formatDecimal(fromDouble(value), mask);
}

QString Format::decimal(const QString& decimalText, const QString& mask) {
    Decimal d;
    if (!parseDecimal(decimalText, &d))
        return QString();
    return formatDecimal(d, mask);
}

QString Format::date(const QDate& date, const QString& mask) {
    if (!date.isValid())
        return QString();
    return formatDateTime(date, QTime(0, 0), mask);
}

QString Format::time(const QTime& time, const QString& mask) {
    if (!time.isValid())
        return QString();
    return formatDateTime(QDate(1899, 12, 30), time, mask);
}

QString Format::dateTime(const QDateTime& dateTime, const QString& mask) {
    if (!dateTime.isValid())
        return QString();
    return formatDateTime(dateTime.date(), dateTime.time(), mask);
}

QString Format::monthName(int month) {
    if (month < 1 || month > 12)
        return QString();
    return QString::fromUtf8(kMonthNames[month - 1]);
}

double Format::parseGermanNumber(const QString& text, bool* ok) {
    const GermanInput::Amount a = GermanInput::amount(text);
    const bool good = a.ok && !a.empty;
    if (ok)
        *ok = good;
    return good ? a.value : 0;
}

} // namespace kilvaro
