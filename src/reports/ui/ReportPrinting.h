#pragma once

#include "reports/ReportPages.h"

#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

namespace kilvaro {

class DialogService;
class Report;
struct ReportSettings;

/// Printing of rendered reports: the printer list, the print dialog and sending pages to a
/// printer with a progress window. Copies are laid out by the program (collated or not),
/// so the printer always receives one copy of the page sequence.
class ReportPrinting {
public:
    /// Names of the installed printers (empty when there is none).
    static QStringList printerNames();
    /// Replaces the system's printer list (tests); an empty function restores it.
    static void setPrinterListProvider(std::function<QStringList()> provider);
    /// Whether any printer, named or default, can be printed to.
    static bool hasPrinter();

    /// Prepares a printer from a report's settings: printer position (-1 or beyond the
    /// list: the system's default), copies, page range, collation, duplex; full-page mode.
    static void applySettings(QPrinter& printer, const ReportSettings& settings);
    /// The print dialog (printer, copies, page range 1 to pageCount, orientation, paper, bin,
    /// duplex, collation, quality) on `printer`. OK stores the choices in `settings` and
    /// returns true; Cancel changes nothing and returns false.
    static bool printDialog(QPrinter& printer, ReportSettings& settings, int pageCount,
                            QWidget* parent);
    /// Sends the chosen pages to the printer with a progress window ("Abbrechen" stops).
    /// False when cancelled or when the printer could not be opened (`errorText` then holds
    /// a German message; empty when the user cancelled).
    static bool print(const ReportPages& pages, QPrinter& printer, const OutputOptions& options,
                      QWidget* parent, QString* errorText = nullptr);

    /// Prints a report without preview: renders it, then (with `withDialog`) opens the print
    /// dialog, whose Cancel prints nothing, and sends the pages with the report's settings.
    /// No printer, a failed print or a report without pages: a German message through
    /// `dialogs` (no message for an empty report, which prints nothing). True when printed.
    static bool printReport(Report& report, bool withDialog, DialogService* dialogs,
                            QWidget* parent = nullptr);
    /// The message shown when no printer is set up.
    static QString noPrinterText();
};

} // namespace kilvaro
