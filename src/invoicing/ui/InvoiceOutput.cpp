#include "invoicing/ui/InvoiceOutput.h"

#include "base/DialogService.h"
#include "base/DbError.h"
#include "data/Table.h"
#include "invoicing/Daten_R.h"
#include "invoicing/TRec_Dokument.h"
#include "reports/ui/ReportPrinting.h"
#include "reports/ui/TPrevForm.h"

namespace kilvaro {

namespace {

InvoiceOutput::PreviewHandler& previewHandler() {
    static InvoiceOutput::PreviewHandler handler;
    return handler;
}

InvoiceOutput::PrintHandler& printHandler() {
    static InvoiceOutput::PrintHandler handler;
    return handler;
}

void preview(TRec_Dokument& document, const AppContext& context) {
    if (previewHandler())
        previewHandler()(document, context);
    else
        TPrevForm::preview(document, context);
}

bool print(TRec_Dokument& document, bool withDialog, const AppContext& context) {
    if (printHandler())
        return printHandler()(document, withDialog, context);
    return ReportPrinting::printReport(document, withDialog, context.dialogs);
}

void requireOpenModule(const AppContext& context) {
    if (!context.datenR || !context.datenR->Rectab->isOpen())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
}

} // namespace

void InvoiceOutput::install(const AppContext& context) {
    if (!context.datenR)
        return;
    context.datenR->showInvoice = [context](int recNr, int posId, bool print) {
        showInvoice(context, recNr, posId, print);
    };
}

void InvoiceOutput::showInvoice(const AppContext& context, int recNr, int posId, bool printIt) {
    try {
        requireOpenModule(context);
        TRec_Dokument document(context.datenR, context.programFolder);
        document.RechnungVorbereiten(recNr, posId > 0 ? posId : -1);
        if (printIt)
            print(document, false, context);
        else
            preview(document, context);
    } catch (const DbError& e) {
        // Called after an invoice was stored: the invoice stays, only its document fails.
        if (context.dialogs)
            context.dialogs->error(e.message());
    }
}

int InvoiceOutput::outputRange(const AppContext& context, const QList<int>& numbers,
                               bool printIt) {
    requireOpenModule(context);
    int output = 0;
    try {
        TRec_Dokument document(context.datenR, context.programFolder);
        for (int recNr : numbers) {
            document.RechnungVorbereiten(recNr, -1);
            if (printIt)
                print(document, false, context);
            else
                preview(document, context);
            ++output;
        }
    } catch (const DbError& e) {
        if (context.dialogs)
            context.dialogs->error(e.message());
        return -1;
    }
    return output;
}

void InvoiceOutput::printBlankForm(const AppContext& context) {
    requireOpenModule(context);
    try {
        TRec_Dokument document(context.datenR, context.programFolder);
        document.RechnungVorbereiten(0, -1);
        document.hideCoverText();
        print(document, false, context);
    } catch (const DbError& e) {
        if (context.dialogs)
            context.dialogs->error(e.message());
    }
}

void InvoiceOutput::setPreviewHandler(PreviewHandler handler) {
    previewHandler() = std::move(handler);
}

void InvoiceOutput::setPrintHandler(PrintHandler handler) {
    printHandler() = std::move(handler);
}

} // namespace kilvaro
