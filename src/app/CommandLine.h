#pragma once

#include "app/BatchCommands.h"

#include <QString>
#include <QStringList>

namespace kilvaro {

/// The program's command line: `kilvaro [--home DIR] [/800]` starts the program; the batch
/// commands --version, --sql, --demo, --invoice/--invoices, --report and --invoice-list
/// with --pdf do their work and end.
struct CommandLine {
    enum class Command {
        Gui, Version, Help, Sql, Demo, InvoicePdf, Report, InvoiceList, Export, MonthlyRun
    };
    Command command = Command::Gui;
    QString home;          ///< --home DIR (empty: KILVARO_HOME or the program's folder)
    QString sql;           ///< text of --sql
    QStringList guiArguments; ///< what the main window sees (e.g. "/800")
    QString error;         ///< German message for a command line that cannot be used
    /// --invoice N or --invoices FROM-TO: the number or range as given (checked when run).
    QString invoices;
    bool invoiceRange = false; ///< --invoices rather than --invoice
    QString pdf;               ///< --pdf FILE

    // A report to the --pdf file without a window.
    QString report;          ///< name after --report (checked when the report runs)
    QString title;           ///< text of --title
    bool titleGiven = false; ///< --title was given (an empty title is a title too)

    /// --invoice-list KIND with --from, --to, --bestatter, --gruppiert, --seite-pro-bestatter.
    BatchCommands::InvoiceListJob invoiceList;
    // The period and funeral director of the trip reports, evaluations and exports.
    QString from;       ///< --from DD.MM.YYYY (checked when the command runs)
    QString to;         ///< --to DD.MM.YYYY
    QString bestatter;  ///< --bestatter ID
    QString exportName; ///< name after --export
    QString out;        ///< --out DIR: folder of the export files
    QString monthlyRun; ///< the month of --monthly-run as given ("2026-03"; checked when run)

    static CommandLine parse(const QStringList& argumentsWithoutProgram);
    static QString usage();

private:
    /// --invoice, --invoices and --pdf; true when args[i] was one of them (i then points
    /// at its last argument).
    static bool parseInvoiceOption(const QStringList& args, int& i, CommandLine& c);
    /// Reads --report and --title at args[i] (moving i past a value); false when args[i]
    /// is neither of them.
    bool parseReportOption(const QStringList& args, int& i);
    /// --invoice-list and its options; true when args[i] was one of them.
    bool parseInvoiceListOption(const QStringList& args, int& i);
    /// --title belongs to --report, the list options to --invoice-list.
    void checkOutputOptions();

    QStringList m_listOptions; ///< options of --invoice-list given, to check they have it
    /// Reads --export, --from, --to, --bestatter and --out at args[i]; false when args[i] is
    /// none of them.
    bool parsePeriodOption(const QStringList& args, int& i);
    /// --from, --to and --bestatter belong to --report or --export, --out to --export.
    void checkPeriodOptions();
};

} // namespace kilvaro
