#pragma once

#include <QString>
#include <QStringList>

namespace kilvaro {

/// The program's command line: `kilvaro [--home DIR] [/800]` starts the program; the batch
/// commands --version, --sql and --demo do their work and end.
struct CommandLine {
    enum class Command { Gui, Version, Help, Sql, Demo };
    Command command = Command::Gui;
    QString home;          ///< --home DIR (empty: KILVARO_HOME or the program's folder)
    QString sql;           ///< text of --sql
    QStringList guiArguments; ///< what the main window sees (e.g. "/800")
    QString error;         ///< German message for a command line that cannot be used

    static CommandLine parse(const QStringList& argumentsWithoutProgram);
    static QString usage();
};

} // namespace kilvaro
