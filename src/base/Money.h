#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <compare>

namespace kilvaro {

/// An amount with four fixed decimals (integer ten-thousandths), for the sums that must not
/// drift: each stored double amount is rounded to the nearest 1/10000 before it is added.
/// Constructed only explicitly, so a count of units is never mistaken for an amount in euros.
class Money {
public:
    static constexpr qint64 UnitsPerEuro = 10000;

    /// Zero.
    constexpr Money() = default;
    /// Rounds to the nearest 1/10000, half away from zero, on the value's decimal text (15
    /// significant digits), so 0.00005 gives 1 unit although the double lies just below.
    /// Throws DbError for NaN, infinity and amounts beyond the range.
    static Money fromDouble(double value);
    /// A count of ten-thousandths.
    static constexpr Money fromUnits(qint64 units) { return Money(units); }

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return static_cast<double>(m_units) / UnitsPerEuro; }
    /// The exact decimal text, e.g. "-12.3400".
    QString toDecimalText() const;

    /// value × factor (a rate, a count), rounded to the nearest 1/10000 half away from zero.
    Money multipliedBy(double factor) const;
    /// value × factor rounded to whole cents (half away from zero), e.g. for a VAT amount.
    Money multipliedByToCents(double factor) const;
    /// Rounded to whole cents, half away from zero.
    Money roundedToCents() const;

    /// Net, VAT and gross of one amount: see withVat().
    struct VatAmounts;
    /// The one computation of gross and VAT in the program: the net (this amount) rounded
    /// to cents, gross = net × (1 + rate / 100) rounded half up to cents (half away from
    /// zero for negative amounts, so a credit mirrors its invoice), VAT = gross − net. The
    /// three amounts therefore add up as printed. The rate is in percent and is taken to
    /// four decimals; the product is exact (no binary fractions). Throws DbError for a
    /// rate that is not a finite number or a result beyond the range.
    VatAmounts withVat(double ratePercent) const;
    /// The gross of withVat() for a stored net amount, as a calculated field shows it: a
    /// null value instead of an error when the amount or the rate is out of range.
    static QVariant grossOf(double net, double ratePercent);

    constexpr Money operator+(Money other) const { return Money(m_units + other.m_units); }
    constexpr Money operator-(Money other) const { return Money(m_units - other.m_units); }
    constexpr Money operator-() const { return Money(-m_units); }
    Money& operator+=(Money other) {
        m_units += other.m_units;
        return *this;
    }
    Money& operator-=(Money other) {
        m_units -= other.m_units;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

    /// Formatted with a number mask of the program ("#,##0.00 €"), from the exact value.
    QString format(const QString& mask = QStringLiteral("#,##0.00")) const;

private:
    constexpr explicit Money(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};

struct Money::VatAmounts {
    Money net;
    Money vat;
    Money gross;
};

} // namespace kilvaro
