#pragma once

#include <QDate>
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
