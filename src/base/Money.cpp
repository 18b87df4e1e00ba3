#include "base/Money.h"

#include "base/Format.h"
#include "base/DbError.h"

#include <cmath>
#include <limits>

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

Money::VatAmounts Money::withVat(double ratePercent) const {
    if (!std::isfinite(ratePercent) || std::fabs(ratePercent) >= 1e6)
        throw DbError(QStringLiteral("Ungültiger Steuersatz."));
    // Rate in ten-thousandths of a percent: gross cents = net cents × (1e6 + rate) / 1e6,
    // computed in 128 bits so that no step rounds before the last one.
    constexpr qint64 Scale = 1000000;
    const qint64 rate = std::llround(ratePercent * 10000);
    const Money net = roundedToCents();
    const __int128 product = static_cast<__int128>(net.m_units / 100) * (Scale + rate);
    __int128 cents = product / Scale;
    const __int128 rest = product % Scale;
    if ((rest < 0 ? -rest : rest) * 2 >= Scale)
        cents += product < 0 ? -1 : 1;
    constexpr __int128 Limit = std::numeric_limits<qint64>::max() / 100;
    if (cents > Limit || cents < -Limit)
        throw DbError(QStringLiteral("Der Betrag liegt außerhalb des Wertebereichs."));
    const Money gross(static_cast<qint64>(cents) * 100);
    return VatAmounts{net, gross - net, gross};
}

QVariant Money::grossOf(double net, double ratePercent) {
    try {
        return fromDouble(net).withVat(ratePercent).gross.toDouble();
    } catch (const DbError&) {
        return QVariant();
    }
}

QString Money::format(const QString& mask) const {
    return Format::decimal(toDecimalText(), mask);
}

} // namespace kilvaro
