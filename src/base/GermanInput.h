#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace kilvaro {

/// The one reader of amounts and dates a user types, the German way, whatever window,
/// grid or input box they come from. No widgets, no machine locale, no clock: "today" is
/// always passed in.
class GermanInput {
public:
    struct Amount {
        bool ok = false;    ///< false: the text is no amount
        bool empty = false; ///< blanks only (ok is true, there is no value)
        double value = 0;
    };

    /// "1.500" -> 1500, "1.500,50" -> 1500.5, "12,5" -> 12.5, "1.000.000" -> 1000000,
    /// "12.5" -> 12.5, "-3", "1.500 €", "1.500 EUR". A point followed by exactly three
    /// digits separates thousands (and the groups must then be well formed); any other
    /// single point is a decimal point. Refused: "1.2.3", "1,2,3", "12,5.3", "1e5", "12.".
    static Amount amount(const QString& text);
    /// "'1.2.3' ist kein gültiger Betrag."
    static QString amountError(const QString& text);

    /// "d.m.yyyy" or "d.m.yy", optionally followed by a blank and "h:mm[:ss]". A two-digit
    /// year is the year ending in those digits that lies nearest to `today` (a tie goes to
    /// the past): 21 -> 2021, 99 -> 1999 in 2026. Invalid for anything else, also for an
    /// impossible date such as 31.02.
    static QDateTime dateTime(const QString& text, const QDate& today);
    /// The same for a date alone (no time may follow); invalid when the text is no date.
    static QDate date(const QString& text, const QDate& today);
    /// The full year for a two-digit year (0 to 99), nearest to today's year.
    static int fullYear(int twoDigitYear, const QDate& today);
    /// "'31.02.21' ist kein gültiges Datum."
    static QString dateError(const QString& text);
};

} // namespace kilvaro
