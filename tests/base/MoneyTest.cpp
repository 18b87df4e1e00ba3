#include "base/Money.h"
#include "base/DbError.h"

#include <gtest/gtest.h>
#include <limits>
#include <type_traits>

using namespace kilvaro;

// Only explicit construction: neither a double nor a count of units turns into Money.
static_assert(!std::is_convertible_v<double, Money>);
static_assert(!std::is_convertible_v<qint64, Money>);
static_assert(!std::is_constructible_v<Money, double>);
static_assert(!std::is_constructible_v<Money, qint64>);

namespace {

struct RoundRow {
    double value;
    qint64 units;
};

class MoneyFromDouble : public ::testing::TestWithParam<RoundRow> {};

} // namespace

TEST_P(MoneyFromDouble, RoundsHalfAwayFromZeroToTenThousandths) {
    EXPECT_EQ(Money::fromDouble(GetParam().value).units(), GetParam().units) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Rows, MoneyFromDouble,
                         ::testing::Values(RoundRow{0, 0}, RoundRow{1, 10000},
                                           RoundRow{2.67505, 26751}, // binary 2.675049999…
                                           RoundRow{0.00005, 1}, RoundRow{-0.00005, -1},
                                           RoundRow{0.000049999, 0}, RoundRow{1234.56789, 12345679},
                                           RoundRow{-1.23455, -12346}, RoundRow{0.1, 1000},
                                           RoundRow{19.99, 199900}, RoundRow{-0.00004, 0},
                                           RoundRow{123456789.12345, 1234567891235}));

TEST(Money, SumsDoNotDrift) {
    Money sum;
    double plain = 0;
    for (int i = 0; i < 10; ++i) {
        sum += Money::fromDouble(0.1);
        plain += 0.1;
    }
    EXPECT_NE(plain, 1.0); // what the fixed decimals are for
    EXPECT_EQ(sum, Money::fromUnits(10000));
    EXPECT_EQ(sum.toDouble(), 1.0);
    EXPECT_EQ((sum - Money::fromDouble(0.25)).units(), 7500);
    EXPECT_EQ((-sum).units(), -10000);
    sum -= Money::fromUnits(1);
    EXPECT_EQ(sum.units(), 9999);
}

TEST(Money, Comparison) {
    EXPECT_LT(Money::fromDouble(-1), Money());
    EXPECT_GT(Money::fromDouble(0.0001), Money());
    EXPECT_EQ(Money::fromDouble(12.5), Money::fromUnits(125000));
    EXPECT_NE(Money::fromDouble(12.5), Money::fromDouble(12.5001));
}

TEST(Money, MultiplicationRoundsExplicitly) {
    EXPECT_EQ(Money::fromDouble(100).multipliedBy(1.19).units(), 1190000);
    EXPECT_EQ(Money::fromDouble(33.33).multipliedBy(1.19).units(), 396627);
    EXPECT_EQ(Money::fromUnits(1).multipliedBy(0.5).units(), 1);
    EXPECT_EQ(Money::fromUnits(-1).multipliedBy(0.5).units(), -1);
    EXPECT_EQ(Money::fromUnits(3).multipliedBy(0.5).units(), 2);
    EXPECT_EQ(Money::fromDouble(12.34).multipliedByToCents(0.19).units(), 23400); // 2.3446
    EXPECT_EQ(Money::fromDouble(12.35).multipliedByToCents(0.19).units(), 23500); // 2.3465
    EXPECT_EQ(Money::fromDouble(-12.35).multipliedByToCents(0.19).units(), -23500);
    EXPECT_THROW(Money::fromUnits(std::numeric_limits<qint64>::max() / 2).multipliedBy(4), DbError);
}

TEST(Money, RoundedToCents) {
    EXPECT_EQ(Money::fromDouble(1.235).roundedToCents().units(), 12400);
    EXPECT_EQ(Money::fromDouble(-1.235).roundedToCents().units(), -12400);
    EXPECT_EQ(Money::fromDouble(1.2349).roundedToCents().units(), 12300);
    EXPECT_EQ(Money::fromDouble(0.0049).roundedToCents().units(), 0);
}

TEST(Money, TextAndFormat) {
    EXPECT_EQ(Money::fromDouble(-0.5).toDecimalText(), QStringLiteral("-0.5000"));
    EXPECT_EQ(Money::fromDouble(1234.5678).toDecimalText(), QStringLiteral("1234.5678"));
    EXPECT_EQ(Money::fromDouble(1234.5678).format(QStringLiteral("#,##0.00 €")),
              QStringLiteral("1.234,57 €"));
    EXPECT_EQ(Money::fromDouble(-1234.5).format(), QStringLiteral("-1.234,50"));
    EXPECT_EQ(Money::fromDouble(0.005).format(), QStringLiteral("0,01"));
    EXPECT_EQ(Money::fromDouble(-0.0049).format(), QStringLiteral("0,00"));
    // Exact beyond what a double holds to the ten-thousandth.
    EXPECT_EQ(Money::fromUnits(99999999999999995).format(QStringLiteral("0.00")),
              QStringLiteral("10000000000000,00"));
}

TEST(Money, RefusesWhatIsNoAmount) {
    EXPECT_THROW(Money::fromDouble(std::numeric_limits<double>::quiet_NaN()), DbError);
    EXPECT_THROW(Money::fromDouble(std::numeric_limits<double>::infinity()), DbError);
    EXPECT_THROW(Money::fromDouble(1e15), DbError);
    EXPECT_NO_THROW(Money::fromDouble(9e14));
}

namespace {

struct VatRow {
    double net;
    double rate;
    qint64 netUnits, vatUnits, grossUnits;
};

class MoneyWithVat : public ::testing::TestWithParam<VatRow> {};

} // namespace

// The one gross and VAT computation: net to cents, gross half up to cents, VAT the
// difference, so the three printed amounts always add up.
TEST_P(MoneyWithVat, GrossHalfUpToCentsAndVatAsTheDifference) {
    const VatRow& row = GetParam();
    const Money::VatAmounts a = Money::fromDouble(row.net).withVat(row.rate);
    EXPECT_EQ(a.net.units(), row.netUnits) << row.net << " @ " << row.rate;
    EXPECT_EQ(a.vat.units(), row.vatUnits) << row.net << " @ " << row.rate;
    EXPECT_EQ(a.gross.units(), row.grossUnits) << row.net << " @ " << row.rate;
    EXPECT_EQ(a.net + a.vat, a.gross);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MoneyWithVat,
    ::testing::Values(VatRow{100, 19, 1000000, 190000, 1190000},
                      VatRow{2.5, 19, 25000, 4800, 29800},   // 2.975: binary 2.97499…
                      VatRow{6.68, 19, 66800, 12700, 79500}, // 7.9492
                      VatRow{0.5, 7, 5000, 400, 5400},       // 0.535: the half goes up
                      VatRow{-0.5, 7, -5000, -400, -5400},   // a credit mirrors it
                      VatRow{3.335, 19, 33400, 6300, 39700}, // net as printed: 3,34
                      VatRow{12.34, 0, 123400, 0, 123400}, VatRow{10, 7.7, 100000, 7700, 107700},
                      VatRow{0, 19, 0, 0, 0},
                      VatRow{123456789.99, 19, 1234567899900, 234567901000, 1469135800900}));

TEST(Money, WithVatRefusesWhatIsNoRate) {
    EXPECT_THROW(Money::fromDouble(1).withVat(std::numeric_limits<double>::quiet_NaN()), DbError);
    EXPECT_TRUE(Money::grossOf(1e300, 19).isNull()) << "a calculated field shows nothing";
    EXPECT_DOUBLE_EQ(Money::grossOf(80, 19).toDouble(), 95.2);
}
