#include "base/GermanInput.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

namespace kilvaro {

namespace {

bool allDigits(QStringView s) {
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

/// "1.234.567": a first group of one to three digits without a leading zero, then groups
/// of exactly three.
bool isGrouped(const QString& s) {
    static const QRegularExpression grouped(QStringLiteral("^[1-9]\\d{0,2}(?:\\.\\d{3})+$"));
    return grouped.match(s).hasMatch();
}

} // namespace

GermanInput::Amount GermanInput::amount(const QString& text) {
    Amount result;
    QString t = text.trimmed();
    if (t.isEmpty()) {
        result.ok = true;
        result.empty = true;
        return result;
    }
    if (t.endsWith(QChar(0x20AC)))
        t = t.chopped(1).trimmed();
    else if (t.endsWith(QLatin1String("EUR"), Qt::CaseInsensitive))
        t = t.chopped(3).trimmed();
    QString sign;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        sign = t.left(1);
        t = t.mid(1).trimmed();
    }
    if (t.isEmpty())
        return result;

    QString intPart;
    QString fracPart;
    const qsizetype comma = t.indexOf(u',');
    if (comma >= 0) {
        // Decimal comma: at most one, digits after it, plain or grouped digits before it.
        intPart = t.left(comma);
        fracPart = t.mid(comma + 1);
        if (!allDigits(fracPart) || (intPart.isEmpty() && fracPart.isEmpty()))
            return result;
        if (intPart.contains(u'.')) {
            if (!isGrouped(intPart))
                return result;
            intPart.remove(u'.');
        } else if (!allDigits(intPart)) {
            return result;
        }
    } else {
        const qsizetype dots = t.count(u'.');
        if (dots == 0) {
            if (!allDigits(t))
                return result;
            intPart = t;
        } else if (isGrouped(t)) {
            intPart = t;
            intPart.remove(u'.');
        } else {
            // One point that separates no thousands is a decimal point ("12.5", ".5"); a
            // point before exactly three digits would have to be thousands and was not.
            const qsizetype dot = t.indexOf(u'.');
            intPart = t.left(dot);
            fracPart = t.mid(dot + 1);
            if (dots != 1 || fracPart.isEmpty() || fracPart.size() == 3 || !allDigits(intPart) ||
                !allDigits(fracPart))
                return result;
        }
    }
    const QString plain = sign + (intPart.isEmpty() ? QStringLiteral("0") : intPart) +
                          (fracPart.isEmpty() ? QString() : QLatin1Char('.') + fracPart);
    bool converted = false;
    const double value = plain.toDouble(&converted); // always the C locale
    if (!converted || !std::isfinite(value))
        return result;
    result.ok = true;
    result.value = value;
    return result;
}

QString GermanInput::amountError(const QString& text) {
    return QStringLiteral("'%1' ist kein gültiger Betrag.").arg(text.trimmed());
}

int GermanInput::fullYear(int twoDigitYear, const QDate& today) {
    const int year = today.isValid() ? today.year() : QDate::currentDate().year();
    const int century = year - ((year % 100) + 100) % 100;
    int best = century + twoDigitYear;
    for (int candidate : {best - 100, best + 100}) {
        const int d = std::abs(candidate - year);
        const int bestD = std::abs(best - year);
        // Equally far: the past, as typed dates are mostly of things that happened.
        if (d < bestD || (d == bestD && candidate < best))
            best = candidate;
    }
    return best;
}

namespace {

QDateTime parseDate(const QString& input, const QDate& today, bool allowTime) {
    static const QRegularExpression german(
        QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})"
                       "(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = german.match(input.trimmed());
    if (!m.hasMatch() || (!allowTime && m.hasCaptured(4)))
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year = GermanInput::fullYear(year, today);
    const QDate date(year, m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace

QDateTime GermanInput::dateTime(const QString& text, const QDate& today) {
    return parseDate(text, today, true);
}

QDate GermanInput::date(const QString& text, const QDate& today) {
    return parseDate(text, today, false).date();
}

QString GermanInput::dateError(const QString& text) {
    return QStringLiteral("'%1' ist kein gültiges Datum.").arg(text);
}

} // namespace kilvaro
