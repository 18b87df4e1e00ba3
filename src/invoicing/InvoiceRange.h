#pragma once

#include <QList>
#include <QString>

namespace kilvaro {

class Connection;

/// The range of invoice numbers of the invoice print selection: the range used last (kept
/// in the settings file), the numbers of a range that exist, and the closing message.
namespace InvoiceRange {

struct Range {
    int from = 0;
    int to = 0;
};

/// The range last used ("druckvon", "druckbis" of section "Rechnung"; 0 when missing).
Range lastUsed(const QString& programFolder);
/// Keeps the range for the next opening, also after a restart. Throws DbError when the
/// settings file cannot be written.
void remember(const QString& programFolder, const Range& range);

/// The invoice numbers from `from` to `to` that exist, ascending (none when `to` < `from`).
QList<int> existing(Connection& connection, const Range& range);
/// The numbers of the range that have no invoice, ascending.
QList<int> missing(const Range& range, const QList<int>& existing);

/// "1, 3–5, 9": numbers with runs of three or more joined by a dash.
QString compact(const QList<int>& numbers);

/// The closing message: "%d Rechnungen gedruckt." (or "angezeigt." after a preview),
/// followed by the numbers of the range that have no invoice and were skipped.
QString outcome(int output, const QList<int>& missing, bool printed);

} // namespace InvoiceRange
} // namespace kilvaro
