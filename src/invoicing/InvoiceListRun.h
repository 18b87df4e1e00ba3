#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kilvaro {

class DialogService;
class TBericht_Rechnung;
class TDaten_R;

/// The four invoice lists of the menu "Berichte".
enum class InvoiceListKind { Alle, Bezahlte, Unbezahlte, Ausgeblendete };

/// Title and filter suffix of an invoice list, as its menu item sets them.
struct InvoiceListPreset {
    QString title;
    QString filterSuffix;
};
InvoiceListPreset invoiceListPreset(InvoiceListKind kind);
/// "alle", "bezahlte", "unbezahlte", "ausgeblendete" (without regard to case).
std::optional<InvoiceListKind> invoiceListKindByName(const QString& name);

/// What the user chose for an invoice list (in the report data filter dialog or on the
/// command line), as plain values.
struct InvoiceListChoice {
    QString title;                      ///< report title
    QString periodText;                 ///< heading of the period (Zeittext)
    QString dateFilter;                 ///< condition on DATUM in the old dialect (Datumfilter)
    std::optional<int> funeralDirector; ///< only this address ID
    bool byFuneralDirector = false;     ///< heading and subtotals per funeral director
    bool pagePerFuneralDirector = false;
    int copies = 1;
};

/// One run of an invoice list after its dialog: restricts the filter suffix to one funeral
/// director if chosen (the daten module's InvoiceFilter keeps that condition afterwards),
/// filters Rectab by period and suffix, orders it by funeral director, builds the list and
/// hands it to `output` (preview, print or PDF). Afterwards - also when the list fails -
/// Rectab is ordered by number again and its filter is switched off and cleared.
///
/// The window and the batch command both run the list through this class.
class InvoiceListRun {
public:
    /// `dialogs` may be null (batch): the empty-selection message is then not shown.
    InvoiceListRun(TDaten_R* daten, DialogService* dialogs);

    /// False, with the message "Im angegebenen Zeitraum sind keine Rechnungen vorhanden"
    /// (caption "Bericht Rechnung"), when no invoice matches: nothing is output. Throws
    /// DbError when the invoice table is not open or a filter cannot be used.
    bool run(const InvoiceListChoice& choice,
             const std::function<void(TBericht_Rechnung& report)>& output);

    /// Invoices the last run listed.
    int invoiceCount() const { return m_count; }

    static QString emptyCaption() { return QStringLiteral("Bericht Rechnung"); }
    static QString emptyText() {
        return QStringLiteral("Im angegebenen Zeitraum sind keine Rechnungen vorhanden");
    }

private:
    TDaten_R* m_daten;
    DialogService* m_dialogs;
    int m_count = 0;
};

} // namespace kilvaro
