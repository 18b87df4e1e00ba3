#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace kilvaro {

/// The one formatter for the program's number and date masks, always German (decimal
/// comma, thousands point, German month names) whatever the machine's locale is.
///
/// Number masks: '0' is a digit that is always shown, '#' a digit shown when needed, the
/// first '.' the decimal point, a ',' before it switches on thousands grouping; text before
/// the first and after the last placeholder is printed as it stands (quotes may enclose
/// it). Up to three sections separated by ';' format positive, negative (without a sign of
/// its own) and zero values. A value is rounded half away from zero on its decimal value of
/// 15 significant digits, so 2.675 (stored as 2.67499999…) prints as "2,68".
///
/// Date masks: d dd ddd dddd, m mm mmm mmmm (month; minutes directly after an hour token),
/// yy yyyy, h hh, n nn (minutes), s ss, z zzz, '/' as the date separator '.', quoted text.
class Format {
public:
    static QString number(double value, const QString& mask);
    /// Formats a decimal text ("-1234.5678") exactly, without going through a double.
    static QString decimal(const QString& decimalText, const QString& mask);

    static QString date(const QDate& date, const QString& mask);
    static QString time(const QTime& time, const QString& mask);
    /// An invalid or null date gives an empty text.
    static QString dateTime(const QDateTime& dateTime, const QString& mask);

    /// "Januar" … "Dezember"; empty outside 1 to 12.
    static QString monthName(int month);

    /// A typed amount read by GermanInput::amount ("1.234,50", "1.500", "12.5", "50 €").
    /// ok is false (and 0 returned) for an empty text and for anything that is no amount.
    static double parseGermanNumber(const QString& text, bool* ok = nullptr);

    /// The value's decimal text with 15 significant digits, plain notation ("2.675", "-0.1").
    static QString decimalText(double value);
    /// A decimal text rounded half away from zero to the given number of decimals, as
    /// decimal text with exactly that many decimals ("2.675", 2 -> "2.68").
    static QString roundDecimal(const QString& decimalText, int decimals);
};

} // namespace kilvaro
