#include "base/Format.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

using namespace kilvaro;

namespace {

struct NumberRow {
    double value;
    const char* mask;
    const char* expected;
};

class FormatNumber : public ::testing::TestWithParam<NumberRow> {};

} // namespace

TEST_P(FormatNumber, Row) {
    const NumberRow& r = GetParam();
    EXPECT_EQ(Format::number(r.value, QString::fromUtf8(r.mask)), QString::fromUtf8(r.expected))
        << r.value << " with " << r.mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, FormatNumber,
    ::testing::Values(NumberRow{1234.5, "#,##0.00 €", "1.234,50 €"},
                      NumberRow{0, "#,##0.00 €", "0,00 €"},
                      NumberRow{-1234.5, "#,##0.00 €", "-1.234,50 €"},
                      NumberRow{1234567.891, "#,##0.00", "1.234.567,89"},
                      NumberRow{999.995, "#,##0.00", "1.000,00"},
                      NumberRow{123, "#,##0.00", "123,00"}, NumberRow{0.5, "#,###.00", ",50"},
                      NumberRow{0, "#,###.00", ",00"}, NumberRow{1234.5, "#,###.00", "1.234,50"},
                      NumberRow{1234.5, "#,##0", "1.235"}, NumberRow{-1234.5, "#,##0", "-1.235"},
                      NumberRow{12.345, "0.00", "12,35"}, NumberRow{5, "0.##", "5"},
                      NumberRow{5.1, "0.##", "5,1"}, NumberRow{7, "000", "007"},
                      NumberRow{5, "€ #,##0.00", "€ 5,00"}, NumberRow{19, "0\" %\"", "19 %"},
                      NumberRow{1e15, "#,##0", "1.000.000.000.000.000"},
                      NumberRow{123456789012.345, "#,##0.00", "123.456.789.012,35"},
                      NumberRow{1234.5, "", "1234,5"}));

INSTANTIATE_TEST_SUITE_P(
    // Half away from zero on the decimal value, not on the binary double below it.
    Rounding, FormatNumber,
    ::testing::Values(NumberRow{2.675, "0.00", "2,68"}, NumberRow{-2.675, "0.00", "-2,68"},
                      NumberRow{1.005, "0.00", "1,01"}, NumberRow{0.125, "#,##0.00", "0,13"},
                      NumberRow{0.1 + 0.2, "0.00", "0,30"}, NumberRow{19.99 * 3, "0.00", "59,97"},
                      NumberRow{1.0049, "0.00", "1,00"}, NumberRow{2.5, "0", "3"},
                      NumberRow{-2.5, "0", "-3"}, NumberRow{-0.004, "0.00", "0,00"},
                      NumberRow{1.15 * 100, "0", "115"}));

INSTANTIATE_TEST_SUITE_P(Sections, FormatNumber,
                         ::testing::Values(NumberRow{12.5, "0.00;(0.00);'null'", "12,50"},
                                           NumberRow{-12.5, "0.00;(0.00);'null'", "(12,50)"},
                                           NumberRow{0, "0.00;(0.00);'null'", "null"},
                                           NumberRow{-0.001, "0.00;(0.00);'null'", "null"},
                                           NumberRow{-3, "0.00;;'null'", "-3,00"}));

TEST(Format, NotANumber) {
    EXPECT_EQ(Format::number(std::numeric_limits<double>::quiet_NaN(), QStringLiteral("0.00")),
              QStringLiteral("NAN"));
    EXPECT_EQ(Format::number(-std::numeric_limits<double>::infinity(), QStringLiteral("0.00")),
              QStringLiteral("-INF"));
}

TEST(Format, DecimalTextAndRounding) {
    EXPECT_EQ(Format::decimalText(2.675), QStringLiteral("2.675"));
    EXPECT_EQ(Format::decimalText(-0.1), QStringLiteral("-0.1"));
    EXPECT_EQ(Format::decimalText(1e-5), QStringLiteral("0.00001"));
    EXPECT_EQ(Format::decimalText(1e20), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(Format::decimalText(0), QStringLiteral("0"));
    EXPECT_EQ(Format::roundDecimal(QStringLiteral("2.675"), 2), QStringLiteral("2.68"));
    EXPECT_EQ(Format::roundDecimal(QStringLiteral("9.995"), 2), QStringLiteral("10.00"));
    EXPECT_EQ(Format::roundDecimal(QStringLiteral("-0.004"), 2), QStringLiteral("0.00"));
    EXPECT_EQ(Format::roundDecimal(QStringLiteral("12"), 2), QStringLiteral("12.00"));
    EXPECT_EQ(Format::roundDecimal(QStringLiteral("-1.5"), 0), QStringLiteral("-2"));
    EXPECT_EQ(Format::roundDecimal(QStringLiteral("abc"), 2), QString());
    EXPECT_EQ(Format::decimal(QStringLiteral("-1234.5678"), QStringLiteral("#,##0.00")),
              QStringLiteral("-1.234,57"));
}

TEST(Format, DateMasks) {
    const QDateTime t(QDate(2021, 3, 5), QTime(14, 7, 9));
    const auto f = [&](const char* mask) { return Format::dateTime(t, QString::fromUtf8(mask)); };
    EXPECT_EQ(f("dd.mm.yyyy"), QStringLiteral("05.03.2021"));
    EXPECT_EQ(f("dd.mm.yy"), QStringLiteral("05.03.21"));
    // "mm" after "hh" means minutes, elsewhere the month.
    EXPECT_EQ(f("dd.mm.yy hh:mm"), QStringLiteral("05.03.21 14:07"));
    EXPECT_EQ(f("hh:mm"), QStringLiteral("14:07"));
    EXPECT_EQ(f("hh:nn:ss"), QStringLiteral("14:07:09"));
    EXPECT_EQ(f("mmmm yyyy"), QStringLiteral("März 2021"));
    EXPECT_EQ(f("mmm yy"), QStringLiteral("Mär 21"));
    EXPECT_EQ(f("d.m.yyyy h:n"), QStringLiteral("5.3.2021 14:7"));
    EXPECT_EQ(f("dddd, d. mmmm"), QStringLiteral("Freitag, 5. März"));
    EXPECT_EQ(f("ddd dd/mm/yyyy"), QStringLiteral("Fr 05.03.2021"));
    EXPECT_EQ(f("'Stand:' dd.mm.yyyy"), QStringLiteral("Stand: 05.03.2021"));
    EXPECT_EQ(Format::date(QDate(2021, 12, 24), QStringLiteral("dd.mm.yyyy hh:mm")),
              QStringLiteral("24.12.2021 00:00"));
    EXPECT_EQ(Format::time(QTime(8, 5), QStringLiteral("hh:mm")), QStringLiteral("08:05"));
    EXPECT_EQ(Format::date(QDate(), QStringLiteral("dd.mm.yyyy")), QString());
    EXPECT_EQ(Format::time(QTime(), QStringLiteral("hh:mm")), QString());
}

TEST(Format, MonthNames) {
    const QStringList expected{
        QStringLiteral("Januar"),  QStringLiteral("Februar"),  QStringLiteral("März"),
        QStringLiteral("April"),   QStringLiteral("Mai"),      QStringLiteral("Juni"),
        QStringLiteral("Juli"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("Oktober"), QStringLiteral("November"), QStringLiteral("Dezember")};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(Format::monthName(m), expected.at(m - 1));
        EXPECT_EQ(Format::date(QDate(2022, m, 1), QStringLiteral("mmmm")), expected.at(m - 1));
    }
    EXPECT_EQ(Format::monthName(0), QString());
}

TEST(Format, IndependentOfTheMachineLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString number = Format::number(1234.5, QStringLiteral("#,##0.00 €"));
    const QString month = Format::date(QDate(2021, 3, 1), QStringLiteral("mmmm"));
    const double parsed = Format::parseGermanNumber(QStringLiteral("1.234,5"));
    QLocale::setDefault(saved);
    EXPECT_EQ(number, QStringLiteral("1.234,50 €"));
    EXPECT_EQ(month, QStringLiteral("März"));
    EXPECT_DOUBLE_EQ(parsed, 1234.5);
}

TEST(Format, ParseGermanNumber) {
    const struct {
        const char* text;
        double value;
    } good[] = {{"1.234,50", 1234.5},
                {"12,5", 12.5},
                {"12.5", 12.5},
                {"1.234", 1234},
                {"-3", -3},
                {" 7 ", 7},
                {"1.234.567,8", 1234567.8},
                {"50,00 €", 50},
                {",5", 0.5},
                {"+2,25", 2.25},
                {"-0,01", -0.01},
                {"12,", 12},
                {"0.5", 0.5},
                {"1234", 1234}};
    for (const auto& g : good) {
        bool ok = false;
        EXPECT_DOUBLE_EQ(Format::parseGermanNumber(QString::fromUtf8(g.text), &ok), g.value)
            << g.text;
        EXPECT_TRUE(ok) << g.text;
    }
    for (const char* bad :
         {"", "abc", "1,2,3", "12.34.5", "1.23,4", "12.", "1 234", "--1", "1e5", "12,5x"}) {
        bool ok = true;
        EXPECT_EQ(Format::parseGermanNumber(QString::fromUtf8(bad), &ok), 0) << bad;
        EXPECT_FALSE(ok) << bad;
    }
}
