#pragma once

#include <QDate>
#include <QStringList>
#include <QString>
#include <QTextStream>

namespace kilvaro {

/// The command-line work that runs without a window. Each returns the exit code; results go
/// to `out`, errors (German) to `err`.
namespace BatchCommands {

/// Runs one statement in the old dialect against the folder's configured database and
/// prints a header line and the rows, fields separated by ";".
int runSql(const QString& programFolder, const QString& text, QTextStream& out, QTextStream& err);
/// Fills the folder's (empty) database with demonstration data; a folder without
/// kilvaro.ini is set up first.
int runDemo(const QString& programFolder, const QDate& today, QTextStream& out, QTextStream& err);

/// Renders a master-data report ("tarife", "ortsliste" or "preisliste", without regard to
/// case) over the folder's database into the PDF file `pdfFile`, without a window. The
/// title defaults to the one the print menu proposes. An unknown report, a missing file
/// name, a missing database or a file that cannot be written end with a German message
/// and exit code 1; the file is then not created (nor an existing one replaced). Needs a
/// QGuiApplication (fonts).
int runReport(const QString& programFolder, const QString& report, const QString* title,
              const QString& pdfFile, QTextStream& out, QTextStream& err);

/// --invoice N / --invoices FROM-TO with --pdf FILE: writes the invoice documents to one PDF
/// file, without a window. In a range, numbers without an invoice are left out (and named);
/// an unknown single number, a range without any invoice, a bad number or range, a missing
/// --pdf, a missing letterhead file and an unwritable file are refused with exit code 1 and
/// no file is written.
int runInvoicePdf(const QString& programFolder, const QString& invoices, bool range,
                  const QString& pdfFile, QTextStream& out, QTextStream& err);

/// What --invoice-list asks for, as typed (checked when the list runs).
struct InvoiceListJob {
    QString kind;      ///< alle, bezahlte, unbezahlte or ausgeblendete
    QString from, to;  ///< DD.MM.YYYY
    QString bestatter; ///< address ID of one funeral director; empty: all
    bool grouped = false;
    bool pagePerDirector = false; ///< a page per funeral director (implies grouped)
};

/// --invoice-list with --pdf FILE: the invoice list of the period as the menu item of that
/// kind makes it, written to a PDF file without a window. An unknown kind, a bad or
/// missing date, an empty period, an unknown funeral director, a period without invoices,
/// a missing database and an unwritable file are refused with exit code 1 and no file.
/// Needs a QGuiApplication (fonts).
int runInvoiceList(const QString& programFolder, const InvoiceListJob& job,
                   const QString& pdfFile, QTextStream& out, QTextStream& err);
/// The period and funeral director of a trip report, transfer evaluation or export, as
/// typed after --from, --to (DD.MM.YYYY) and --bestatter (address ID; may be empty).
struct BatchScope {
    QString from;
    QString to;
    QString bestatter;
};

/// The batch names of the trip reports and transfer evaluations.
QStringList tripReportNames();
/// Whether `report` names a trip report or transfer evaluation ("fahrten",
/// "offene-fahrten", "fahrtenliste", "ueberfuehrungen-personen",
/// "ueberfuehrungen-aktenzeichen", "ueberfuehrungen-datum"; without regard to case).
bool isTripReport(const QString& report);

/// Renders a trip report or transfer evaluation of the period into `pdfFile`. The trip
/// reports cover every funeral director unless --bestatter names one; the evaluations need
/// it. No trip in the period ("Keine Daten" for the trip reports), a bad date or address,
/// a missing database or an unwritable file end with a German message and exit code 1,
/// and no file is written. Needs a QGuiApplication.
int runTripReport(const QString& programFolder, const QString& report, const QString* title,
                  const BatchScope& scope, const QString& pdfFile, QTextStream& out,
                  QTextStream& err);

/// --export ueberfuehrungen|plz-statistik: writes "Ueberfuehrungen.csv", or
/// "PLZ-Statistik.csv" and "PLZ-Fehler.csv", of one funeral director's trips in the period
/// into `outFolder` (created when missing). No mailing program is started. An export
/// without transfers writes nothing and ends with its message and exit code 1.
int runExport(const QString& programFolder, const QString& name, const BatchScope& scope,
              const QString& outFolder, QTextStream& out, QTextStream& err);

/// --monthly-run YYYY-MM: the monthly invoices of that month, as the monthly invoices
/// window makes them; prints "12 Rechnungen (Nr. 4711–4722), Umsatz 15.230,00 €". A bad
/// month, a month already invoiced and a month without open trips are refused with a German
/// message and exit code 1, and nothing is written.
int runMonthlyRun(const QString& programFolder, const QString& month, QTextStream& out,
                  QTextStream& err);

/// One value as --sql prints it: dates dd.mm.yyyy (with the time when it is not midnight,
/// a time of day alone as hh:mm), numbers with a decimal comma, booleans true/false.
QString formatValue(const QVariant& value);

} // namespace BatchCommands
} // namespace kilvaro
