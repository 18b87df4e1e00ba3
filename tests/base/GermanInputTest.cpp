#include "base/GermanInput.h"

#include <gtest/gtest.h>

using namespace kilvaro;

namespace {

constexpr double kRefused = -999999.25; // marks a text that must be refused

} // namespace

// Every way an amount is typed, and what is stored for it.
TEST(GermanInput, AmountsAreReadTheGermanWay) {
    const struct {
        const char* typed;
        double stored;
    } cases[] = {
        {"1.500", 1500},
        {"1.500,50", 1500.5},
        {"12,5", 12.5},
        {"1.000.000", 1000000},
        {"12.5", 12.5},
        {"12.50", 12.5},
        {"1.5000", 1.5},
        {"1.500 €", 1500},
        {"1.500,00 €", 1500},
        {"1500€", 1500},
        {"250 EUR", 250},
        {"-1.500,5", -1500.5},
        {"- 3", -3},
        {"+2,25", 2.25},
        {" 7 ", 7},
        {",5", 0.5},
        {".5", 0.5},
        {"12,", 12},
        {"0,01", 0.01},
        {"1.2.3", kRefused},
        {"1,2,3", kRefused},
        {"12,5.3", kRefused},
        {"1.50,5", kRefused},
        {"0.500", kRefused},
        {"1234.567", kRefused},
        {"12.", kRefused},
        {"1 500", kRefused},
        {"1e5", kRefused},
        {"nan", kRefused},
        {"--1", kRefused},
        {"€", kRefused},
        {"-", kRefused},
        {"zwölf", kRefused},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const GermanInput::Amount a = GermanInput::amount(typed);
        EXPECT_FALSE(a.empty) << c.typed;
        if (c.stored == kRefused) {
            EXPECT_FALSE(a.ok) << c.typed << " gave " << a.value;
        } else {
            EXPECT_TRUE(a.ok) << c.typed;
            EXPECT_DOUBLE_EQ(a.value, c.stored) << c.typed;
        }
    }
    for (const char* blank : {"", "   "}) {
        const GermanInput::Amount a = GermanInput::amount(QString::fromLatin1(blank));
        EXPECT_TRUE(a.ok && a.empty) << '"' << blank << '"';
    }
    EXPECT_EQ(GermanInput::amountError(QStringLiteral(" 1.2.3 ")),
              QStringLiteral("'1.2.3' ist kein gültiger Betrag."));
}

// Two-digit years are the nearest year ending in those digits, seen from the given today.
TEST(GermanInput, TypedDatesWithTwoAndFourDigitYears) {
    const QDate today(2026, 12, 8);
    const struct {
        const char* typed;
        QDate today;
        QDateTime read; // invalid: refused
    } cases[] = {
        {"1.3.21", today, QDateTime(QDate(2021, 3, 1), QTime(0, 0))},
        {"01.03.21", today, QDateTime(QDate(2021, 3, 1), QTime(0, 0))},
        {"31.12.99", today, QDateTime(QDate(1999, 12, 31), QTime(0, 0))},
        {"1.1.00", today, QDateTime(QDate(2000, 1, 1), QTime(0, 0))},
        {"1.1.75", today, QDateTime(QDate(2075, 1, 1), QTime(0, 0))},
        {"1.1.76", today, QDateTime(QDate(1976, 1, 1), QTime(0, 0))}, // equally far: the past
        {"1.1.05", QDate(2094, 6, 1), QDateTime(QDate(2105, 1, 1), QTime(0, 0))},
        {"1.1.99", QDate(2001, 6, 1), QDateTime(QDate(1999, 1, 1), QTime(0, 0))},
        {"15.03.2021", today, QDateTime(QDate(2021, 3, 15), QTime(0, 0))},
        {" 15.3.2021 9:05 ", today, QDateTime(QDate(2021, 3, 15), QTime(9, 5))},
        {"15.03.21 10:30:15", today, QDateTime(QDate(2021, 3, 15), QTime(10, 30, 15))},
        {"29.02.24", today, QDateTime(QDate(2024, 2, 29), QTime(0, 0))},
        {"29.02.23", today, QDateTime()},
        {"31.02.2021", today, QDateTime()},
        {"1.3.", today, QDateTime()},
        {"1.3.021", today, QDateTime()},
        {"2021-03-01", today, QDateTime()},
        {"15.03.2021 25:00", today, QDateTime()},
        {"abc", today, QDateTime()},
        {"", today, QDateTime()},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(GermanInput::dateTime(typed, c.today), c.read) << c.typed;
        // A date alone: the same day, but no time may follow.
        const bool hasTime = typed.contains(QLatin1Char(':'));
        EXPECT_EQ(GermanInput::date(typed, c.today), hasTime ? QDate() : c.read.date()) << c.typed;
    }
}
