#include "reports/ui/ReportPrinting.h"

#include "base/DialogService.h"
#include "reports/Report.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

namespace kilvaro {

namespace {
std::function<QStringList()>& provider() {
    static std::function<QStringList()> p;
    return p;
}
} // namespace

QStringList ReportPrinting::printerNames() {
    return provider() ? provider()() : QPrinterInfo::availablePrinterNames();
}

void ReportPrinting::setPrinterListProvider(std::function<QStringList()> p) {
    provider() = std::move(p);
}

bool ReportPrinting::hasPrinter() {
    return !printerNames().isEmpty() || !QPrinterInfo::defaultPrinterName().isEmpty();
}

void ReportPrinting::applySettings(QPrinter& printer, const ReportSettings& settings) {
    const QStringList names = printerNames();
    if (settings.printerIndex >= 0 && settings.printerIndex < names.size())
        printer.setPrinterName(names.at(settings.printerIndex));
    printer.setFullPage(true);
    printer.setCopyCount(std::max(1, settings.copies));
    printer.setCollateCopies(settings.collate);
    if (settings.firstPage > 0 || settings.lastPage > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(std::max(1, settings.firstPage),
                          std::max(settings.firstPage, settings.lastPage));
    }
    if (settings.duplex)
        printer.setDuplex(QPrinter::DuplexAuto);
    printer.setDocName(settings.title);
}

bool ReportPrinting::printDialog(QPrinter& printer, ReportSettings& settings, int pageCount,
                                 QWidget* parent) {
    applySettings(printer, settings);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(1, pageCount));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings.printerIndex = printerNames().indexOf(printer.printerName());
    settings.copies = std::max(1, printer.copyCount());
    settings.collate = printer.collateCopies();
    settings.duplex = printer.duplex() != QPrinter::DuplexNone;
    if (printer.printRange() == QPrinter::PageRange) {
        settings.firstPage = printer.fromPage();
        settings.lastPage = printer.toPage();
    } else {
        settings.firstPage = 0;
        settings.lastPage = 0;
    }
    return true;
}

bool ReportPrinting::print(const ReportPages& pages, QPrinter& printer,
                           const OutputOptions& options, QWidget* parent, QString* errorText) {
    if (errorText)
        errorText->clear();
    // The program lays out the copies itself.
    printer.setCopyCount(1);
    printer.setFullPage(true);
    printer.setPrintRange(QPrinter::AllPages);
    const int total = int(pages.outputSequence(options).size());
    if (total == 0) {
        if (errorText)
            *errorText = QObject::tr("Der gewählte Seitenbereich enthält keine Seiten.");
        return false;
    }
    QProgressDialog progress(QObject::tr("Drucke Seiten …"), QObject::tr("Abbrechen"), 0, total,
                             parent);
    progress.setObjectName(QStringLiteral("Druckfortschritt"));
    progress.setWindowTitle(pages.title());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    bool cancelled = false;
    const bool ok = pages.paintTo(printer, options, [&](int done, int all) {
        progress.setValue(done);
        progress.setLabelText(
            QObject::tr("Drucke Seite %1 von %2 …").arg(std::min(done + 1, all)).arg(all));
        QApplication::processEvents();
        cancelled = progress.wasCanceled();
        return !cancelled;
    });
    progress.reset();
    if (!ok && !cancelled && errorText)
        *errorText = QObject::tr("Der Bericht konnte nicht gedruckt werden: Der Drucker \"%1\" "
                                 "ist nicht bereit.")
                         .arg(printer.printerName());
    return ok;
}

QString ReportPrinting::noPrinterText() {
    return QObject::tr("Es ist kein Drucker eingerichtet. Der Bericht kann nicht gedruckt "
                       "werden; er lässt sich in der Vorschau als PDF speichern.");
}

bool ReportPrinting::printReport(Report& report, bool withDialog, DialogService* dialogs,
                                 QWidget* parent) {
    if (!hasPrinter()) {
        if (dialogs)
            dialogs->warning(noPrinterText());
        return false;
    }
    auto pages = report.render();
    if (pages->pageCount() == 0)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    if (withDialog) {
        if (!printDialog(printer, report.settings(), pages->pageCount(), parent))
            return false;
    } else {
        applySettings(printer, report.settings());
    }
    QString error;
    if (!print(*pages, printer, report.outputOptions(), parent, &error)) {
        if (!error.isEmpty() && dialogs)
            dialogs->error(error);
        return false;
    }
    return true;
}

} // namespace kilvaro
