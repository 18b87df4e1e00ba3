#pragma once

#include "reports/Report.h"
#include "reports/TableRecordSource.h"

#include <QString>

namespace kilvaro {

class TDaten_R;

/// The invoice list "Bericht Rechnungen": the invoices of `Rectab` as the table is filtered
/// and ordered while the list runs, one line each with net and gross amount, payment state,
/// part payment and payment type. Grouped by funeral director (a heading and subtotals per
/// director, optionally a page each) or not (totals and the number of invoices at the end).
///
/// Bands: title, column header (every page), group `GruppeBestatter` with its footer
/// `gruppefuss`, detail, summary `Abschluss`, page footer with the page number.
///
/// The payment date, payment type and status columns are left out for the whole list when
/// the daten module's InvoiceFilter excludes paid invoices (the lists of unpaid and hidden
/// invoices); the lists of all and of paid invoices show them.
class TBericht_Rechnung : public Report {
public:
    explicit TBericht_Rechnung(TDaten_R* daten);

    /// The period heading under the title (the filter dialog's Zeittext).
    void setPeriodText(const QString& zeit);
    /// A heading and subtotals per funeral director instead of the totals at the end;
    /// `pagePerDirector` starts each director on a new page (only with grouping).
    void setGrouping(bool byDirector, bool pagePerDirector);

    /// Whether a list with this filter suffix shows the payment columns: not when the
    /// suffix excludes paid invoices ("not (bezahlt)").
    static bool showsPaymentColumns(const QString& invoiceFilter);

    /// The status text of an invoice: empty when paid, "angezahlt" with a part payment,
    /// "nicht bezahlt" otherwise.
    static QString statusText(bool paid, double partPayment);

protected:
    /// BerichtBeforePrint: which columns the list shows.
    void beforePrint() override;

private:
    void DetailBeforePrint(ReportBand& band, bool& printIt);

    TDaten_R* m_daten;
    TableRecordSource m_source;
    bool m_showPayment = true;
};

} // namespace kilvaro
