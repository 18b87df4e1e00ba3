#pragma once

#include <QString>
#include <QStringList>

namespace kilvaro {

/// The program's command line: `kilvaro [--home DIR] [/800]` starts the program; the batch
/// commands --version, --sql, --demo and --report do their work and end.
struct CommandLine {
    enum class Command { Gui, Version, Help, Sql, Demo, Report };
    Command command = Command::Gui;
    QString home;          ///< --home DIR (empty: KILVARO_HOME or the program's folder)
    QString sql;           ///< text of --sql
    QStringList guiArguments; ///< what the main window sees (e.g. "/800")
    QString error;         ///< German message for a command line that cannot be used

    // Output to a file without a window.
    QString report;          ///< name after --report (checked when the report runs)
    QString title;           ///< text of --title
    bool titleGiven = false; ///< --title was given (an empty title is a title too)
    QString pdf;             ///< file of --pdf

    static CommandLine parse(const QStringList& argumentsWithoutProgram);
    static QString usage();

private:
    /// Reads --report, --title and --pdf at args[i] (moving i past a value); false when
    /// args[i] is none of them.
    bool parseReportOption(const QStringList& args, int& i);
    /// --title and --pdf belong to an output command.
    void checkOutputOptions();
};

} // namespace kilvaro
