#include "app/Money.h"

#include "app/Format.h"
#include "data/DbError.h"

#include <cmath>

namespace kilvaro {

namespace {

/// Units from a decimal text already rounded to four decimals ("-12.3457").
Money unitsFromRoundedText(const QString& text) {
    QString digits = text;
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits.remove(0, 1);
    digits.remove(u'.');
    bool ok = false;
    const qint64 units = digits.toLongLong(&ok);
    if (!ok)
        throw DbError(QStringLiteral("Der Betrag %1 liegt außerhalb des Wertebereichs.").arg(text));
    return Money::fromUnits(negative ? -units : units);
}

/// Rounds a decimal text of units to whole units (the text has the decimal point where the
/// units end).
qint64 roundUnits(double units) {
    const QString text = Format::roundDecimal(Format::decimalText(units), 0);
    bool ok = false;
    const qint64 result = text.toLongLong(&ok);
    if (!ok)
        throw DbError(QStringLiteral("Der Betrag liegt außerhalb des Wertebereichs."));
    return result;
}

} // namespace

Money Money::fromDouble(double value) {
    if (!std::isfinite(value))
        throw DbError(QStringLiteral("Ungültiger Betrag."));
    // 9.2e14 euros is where qint64 ten-thousandths end.
    if (std::fabs(value) >= 9.2e14)
        throw DbError(QStringLiteral("Der Betrag %1 liegt außerhalb des Wertebereichs.")
                          .arg(Format::decimalText(value)));
    return unitsFromRoundedText(Format::roundDecimal(Format::decimalText(value), 4));
}

QString Money::toDecimalText() const {
    const qint64 abs = m_units < 0 ? -m_units : m_units;
    const QString text = QStringLiteral("%1%2.%3")
                             .arg(m_units < 0 ? QStringLiteral("-") : QString())
                             .arg(abs / UnitsPerEuro)
                             .arg(abs % UnitsPerEuro, 4, 10, QLatin1Char('0'));
    return text;
}

Money Money::multipliedBy(double factor) const {
    const double units = static_cast<double>(m_units) * factor;
    if (!std::isfinite(units) || std::fabs(units) >= 9.2e18)
        throw DbError(QStringLiteral("Der Betrag liegt außerhalb des Wertebereichs."));
    return Money(roundUnits(units));
}

Money Money::roundedToCents() const {
    // 100 units make a cent.
    const qint64 abs = m_units < 0 ? -m_units : m_units;
    qint64 cents = abs / 100;
    if (abs % 100 >= 50)
        ++cents;
    return Money((m_units < 0 ? -cents : cents) * 100);
}

Money Money::multipliedByToCents(double factor) const {
    const double cents = static_cast<double>(m_units) * factor / 100.0;
    if (!std::isfinite(cents) || std::fabs(cents) >= 9.2e16)
        throw DbError(QStringLiteral("Der Betrag liegt außerhalb des Wertebereichs."));
    return Money(roundUnits(cents) * 100);
}

QString Money::format(const QString& mask) const {
    return Format::decimal(toDecimalText(), mask);
}

} // namespace kilvaro
