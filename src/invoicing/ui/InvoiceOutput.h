#pragma once

#include "base/AppContext.h"

#include <QList>
#include <functional>

namespace kilvaro {

class TRec_Dokument;

/// Shows and prints the invoice document for the windows: installs the invoice module's
/// hook `showInvoice` (the new-invoice dialog and the overview call it) and prints the blank
/// form of the main menu. The preview and print steps can be replaced, so tests check what
/// would be shown or printed without a screen or a printer.
class InvoiceOutput {
public:
    /// Receives the prepared document; the default opens the preview window and returns
    /// when it has been closed.
    using PreviewHandler = std::function<void(TRec_Dokument& document, const AppContext& context)>;
    /// Receives the prepared document to print; the default prints without preview
    /// (`withDialog`: with the print dialog first). True when printed.
    using PrintHandler =
        std::function<bool(TRec_Dokument& document, bool withDialog, const AppContext& context)>;

    /// Sets context.datenR->showInvoice to showInvoice() on this context.
    static void install(const AppContext& context);

    /// Creates the document, prepares it for `recNr` with all positions (`posId` 0 or -1) or
    /// one position, previews or prints it and closes it. A document that cannot be created
    /// (a missing letterhead file) or prepared is reported as a German error message;
    /// nothing is shown then.
    static void showInvoice(const AppContext& context, int recNr, int posId, bool print);

    /// The documents of `numbers` (existing invoices, ascending) in one document run, each
    /// printed or previewed (a preview returns when its window has been closed). Returns how
    /// many were output, or -1 when the document failed (the reason has been shown).
    static int outputRange(const AppContext& context, const QList<int>& numbers, bool print);

    /// "&Blanko-Rechnung": the document for number 0 without cover text, printed directly.
    /// Throws DbError when no database is open; other failures are reported as messages.
    static void printBlankForm(const AppContext& context);

    /// Replaces the preview step (empty function: the preview window again).
    static void setPreviewHandler(PreviewHandler handler);
    /// Replaces the print step (empty function: the printer again).
    static void setPrintHandler(PrintHandler handler);
};

} // namespace kilvaro
