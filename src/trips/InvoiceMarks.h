#pragma once

#include <QString>
#include <QVariant>

namespace kilvaro {

class TDaten_A;
class TripRules;

/// The invoice number (`Rechnung`) of trips as the trip window shows, sets and clears it by
/// hand. Invoicing sets it otherwise; every store still runs the trip rules.
class InvoiceMarks {
public:
    InvoiceMarks(TDaten_A* daten, TripRules* rules);

    /// The current trip's invoice number; 0 when it has none.
    qint64 current() const;
    /// The current trip's invoice number as text to edit; empty when it has none.
    QString currentText() const;

    /// Stores the current trip with this mark: null clears it, a text must be a whole
    /// number. When the store is refused (the invoice is booked, the text is no number) the
    /// trip shows its mark again, other pending changes stay, and the error is thrown.
    void set(const QVariant& mark);
    void clear() { set(QVariant()); }

    /// Clears the invoice number of every trip of the current set: all or none.
    void clearAll();

private:
    TDaten_A* m_daten;
    TripRules* m_rules;
};

} // namespace kilvaro
