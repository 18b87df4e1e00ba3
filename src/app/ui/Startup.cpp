#include "app/ui/Startup.h"

#include "app/AppContext.h"
#include "app/BatchCommands.h"
#include "app/ProgramSetup.h"
#include "app/Utils.h"
#include "app/ui/TForm_Main.h"
#include "app/ui/QtDialogService.h"
#include "app/ui/TfStart.h"
#include "data/Daten_A.h"
#include "data/DbError.h"

#include <QApplication>
#include <QDate>
#include <QTextStream>
#include <cstdio>

namespace kilvaro {

int runGui(const CommandLine& commandLine) {
    QApplication::setApplicationDisplayName(QStringLiteral("Das Kilvaro"));
    const QString folder =
        ProgramSetup::resolveProgramFolder(commandLine.home, QCoreApplication::applicationDirPath());
    setProgramFolder(folder);

    QtDialogService dialogs;
    TfStart splash;
    splash.showSplash();

    if (ProgramSetup::isFirstStart(folder)) {
        try {
            ProgramSetup::createDefaults(folder);
        } catch (const DbError& e) {
            dialogs.error(e.message());
        }
    }

    AppContext context;
    context.programFolder = folder;
    context.arguments = commandLine.guiArguments;
    context.dialogs = &dialogs;

    TForm_Main mainWindow(context);
    TDaten_A daten(folder, &dialogs);
    context.daten = &daten;
    daten.DataModuleCreate();

    splash.finish();
    mainWindow.show();
    const int rc = QApplication::exec();
    if (!mainWindow.endedByUpdate())
        daten.DatenDestroy();
    return rc;
}

int runProgram(int& argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = CommandLine::parse(args);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!cl.error.isEmpty()) {
        err << cl.error << "\n\n" << CommandLine::usage();
        return 2;
    }
    switch (cl.command) {
    case CommandLine::Command::Version:
        out << "Kilvaro " << KILVARO_VERSION << '\n';
        return 0;
    case CommandLine::Command::Help:
        out << CommandLine::usage();
        return 0;
    case CommandLine::Command::Sql:
    case CommandLine::Command::Demo: {
        QCoreApplication app(argc, argv);
        const QString folder =
            ProgramSetup::resolveProgramFolder(cl.home, QCoreApplication::applicationDirPath());
        if (cl.command == CommandLine::Command::Sql)
            return BatchCommands::runSql(folder, cl.sql, out, err);
        return BatchCommands::runDemo(folder, QDate::currentDate(), out, err);
    }
    case CommandLine::Command::Gui:
        break;
    }
    QApplication app(argc, argv);
    return runGui(cl);
}

} // namespace kilvaro
