#pragma once

#include "base/Money.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kilvaro {

class DialogService;
class TDaten_R;
class Table;

/// What the invoice overview does with the current invoice of `Rectab`, apart from showing
/// it: the month and status filter texts, payments and part payments with the payment-notes
/// file per invoice, cancelling, recomputing the net sum.
class InvoiceOverviewRules {
public:
    InvoiceOverviewRules(TDaten_R& daten, DialogService& dialogs);

    /// Puts a text on the clipboard (the window sets the real clipboard).
    std::function<void(const QString&)> copyToClipboard;

    // --- filters --------------------------------------------------------------------------
    /// "Datum >= #mm/01/yyyy# and Datum <= #mm/dd/yyyy#" for the month at list position
    /// `monthIndex` (outside 0 to 11 it counts as January). Throws DbError for a year text
    /// that gives no date.
    static QString monthCondition(int monthIndex, const QString& yearText);
    /// The status suffix of the status filter's item (0 to 3).
    static QString statusSuffix(int item);
    /// Month condition + suffix; without month condition the suffix loses its leading
    /// " and ".
    static QString filterText(const QString& monthCondition, const QString& suffix);
    /// FilterAnwenden: sets the filter of Rectab and switches it on when the text is not
    /// empty, off otherwise.
    static void applyFilter(Table& rectab, const QString& monthCondition, const QString& suffix);

    // --- payment notes --------------------------------------------------------------------
    /// DatenPath() + the number, without extension.
    static QString notesPath(int recNr);
    /// The file's text; empty when there is none.
    static QString loadNotes(int recNr);
    /// Writes the text (Windows-1252, CR LF). Throws DbError when it cannot be written.
    static void saveNotes(int recNr, const QString& text);

    // --- amounts --------------------------------------------------------------------------
    /// "Restbetrag": "..." without part payment, else gross minus part payments as a plain
    /// number ("71,4").
    QString remainingText() const;
    /// Gross of the positions, rounded to cents as the invoice prints it, minus the part
    /// payments so far.
    Money openAmount() const;
    /// A number without fixed decimals, German style ("71,4", "-3").
    static QString plainNumber(double value);

    // --- actions on the current invoice -----------------------------------------------------
    /// "Die Rechnung ist bezahlt": Bezahlt true, part payment and its date emptied.
    void markPaid();
    /// "Die Rechnung ist angezahlt": Bezahlt false, way and date of payment emptied.
    void markNotPaid();

    enum class PaymentOutcome { Cancelled, PartPaid, Overpaid };
    struct PaymentResult {
        PaymentOutcome outcome = PaymentOutcome::Cancelled;
        QString overpayment; ///< plain number, for Overpaid
    };
    /// The button "Anzahlung": asks for the amount; an amount up to the open amount is
    /// added to the part payments and noted in the notes file, a larger one marks the
    /// invoice paid and puts the overpayment on the clipboard. An entry that is no number
    /// or not above 0, or a notes file that cannot be written, throws DbError and changes
    /// nothing.
    PaymentResult Anzahlung();

    /// "&Stornieren": asks whether to free the trips, then whether to cancel. Only a booked
    /// invoice that is not cancelled yet can be cancelled. True when it was cancelled.
    bool RecStorno();

    /// "&Buchen": booking cannot be undone, so the user confirms first; then the current
    /// invoice (with any pending edit stored) is booked. True when it was booked.
    bool RecBuchen();

    /// Netto of the current invoice := sum of its positions, stored.
    void getnetto();

private:
    TDaten_R& m_daten;
    DialogService& m_dialogs;
};

} // namespace kilvaro
