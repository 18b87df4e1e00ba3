#pragma once

#include <QString>

namespace kilvaro {

class Table;

/// The trip window's month filter: the trips dated in one month of one year, as a filter
/// text of the old dialect on the trip table.
class MonthFilter {
public:
    /// "Datum >= #mm/01/yyyy# and Datum < #mm/01/yyyy#" from the first day of the month at
    /// `monthIndex` (0 = January) of the year typed as `yearText` to the first day of the
    /// following month. A position outside 0 to 11 (a month text not in the list) counts as
    /// January, and its following month as January too, so the range is empty. Throws
    /// DbError with the conversion message when the year text is no whole number.
    static QString text(int monthIndex, const QString& yearText);

    /// Filters the trips by `filter` (a text of text()); nothing happens when exactly that
    /// filter is on already. A refused filter leaves the table's filter as it was.
    static void apply(Table& trips, const QString& filter);
    /// All trips again: the filter text is cleared and filtering switched off.
    static void clear(Table& trips);
};

} // namespace kilvaro
