#include "app/ui/Startup.h"

#include "app/BatchCommands.h"
#include "data/ProgramSetup.h"
#include "base/Utils.h"
#include "base/ui/QtDialogService.h"
#include "app/ui/ProgramRun.h"
#include "app/ui/TfStart.h"
#include "base/DbError.h"

#include <QApplication>
#include <QDate>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QTextStream>
#include <cstdio>
#include <functional>

namespace kilvaro {

namespace {

/// Qt's own dialogs (file dialogs, standard buttons, context menus) speak German like the
/// rest of the program, whatever the machine's locale.
void installGermanQtTexts(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_de", "qt_de"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), folder))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}

/// The start-up window stays on top; a message shown during start-up would hide behind it,
/// so the first message takes it away.
class StartupDialogs : public DialogService {
public:
    StartupDialogs(DialogService& inner, TfStart& splash) : m_inner(inner), m_splash(splash) {}
    MsgResult message(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& title) override {
        m_splash.finish();
        return m_inner.message(text, icon, buttons, title);
    }
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial) override {
        m_splash.finish();
        return m_inner.inputText(title, prompt, initial);
    }
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override {
        m_splash.finish();
        return m_inner.openFileName(title, folder, filter);
    }
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override {
        m_splash.finish();
        return m_inner.saveFileName(title, folder, filter);
    }
    std::optional<QDate> pickDate(const QDate& initial) override {
        m_splash.finish();
        return m_inner.pickDate(initial);
    }

private:
    DialogService& m_inner;
    TfStart& m_splash;
};

/// The PDF batch commands: laying out text needs a GUI application, but no window and no
/// display, so the platform without a screen is chosen unless one was named.
int runPdfBatch(const CommandLine& cl, int& argc, char** argv,
                const std::function<int(const QString& folder)>& command) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return command(
        ProgramSetup::resolveProgramFolder(cl.home, QCoreApplication::applicationDirPath()));
}

} // namespace

int runGui(const CommandLine& commandLine) {
    QApplication::setApplicationDisplayName(QStringLiteral("Das Kilvaro"));
    const QString folder = ProgramSetup::resolveProgramFolder(
        commandLine.home, QCoreApplication::applicationDirPath());
    setProgramFolder(folder);

    QtDialogService qtDialogs;
    TfStart splash;
    splash.showSplash();
    StartupDialogs dialogs(qtDialogs, splash);

    if (ProgramSetup::isFirstStart(folder)) {
        try {
            ProgramSetup::createDefaults(folder);
        } catch (const DbError& e) {
            dialogs.error(e.message());
        }
    }

    ProgramRun run(folder, &dialogs, commandLine.guiArguments);
    run.start(QDate::currentDate());

    splash.finish();
    run.mainWindow().show();
    run.daten().startIntegrityCheck();
    const int rc = QApplication::exec();
    if (!run.mainWindow().endedByUpdate())
        run.daten().DatenDestroy();
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
    case CommandLine::Command::MonthlyRun: {
        QCoreApplication app(argc, argv);
        return BatchCommands::runMonthlyRun(
            ProgramSetup::resolveProgramFolder(cl.home, QCoreApplication::applicationDirPath()),
            cl.monthlyRun, out, err);
    }
    case CommandLine::Command::Sql:
    case CommandLine::Command::Demo: {
        QCoreApplication app(argc, argv);
        const QString folder =
            ProgramSetup::resolveProgramFolder(cl.home, QCoreApplication::applicationDirPath());
        if (cl.command == CommandLine::Command::Sql)
            return BatchCommands::runSql(folder, cl.sql, out, err);
        return BatchCommands::runDemo(folder, QDate::currentDate(), out, err);
    }
    case CommandLine::Command::Report:
        return runPdfBatch(cl, argc, argv, [&](const QString& folder) {
            if (BatchCommands::isTripReport(cl.report))
                return BatchCommands::runTripReport(folder, cl.report,
                                                    cl.titleGiven ? &cl.title : nullptr,
                                                    {cl.from, cl.to, cl.bestatter}, cl.pdf, out,
                                                    err);
            return BatchCommands::runReport(folder, cl.report, cl.titleGiven ? &cl.title : nullptr,
                                            cl.pdf, out, err);
        });
    case CommandLine::Command::Export: {
        QCoreApplication app(argc, argv);
        const QString folder =
            ProgramSetup::resolveProgramFolder(cl.home, QCoreApplication::applicationDirPath());
        return BatchCommands::runExport(folder, cl.exportName, {cl.from, cl.to, cl.bestatter},
                                        cl.out, out, err);
    }
    case CommandLine::Command::InvoicePdf:
        return runPdfBatch(cl, argc, argv, [&](const QString& folder) {
            return BatchCommands::runInvoicePdf(folder, cl.invoices, cl.invoiceRange, cl.pdf, out,
                                                err);
        });
    case CommandLine::Command::InvoiceList:
        return runPdfBatch(cl, argc, argv, [&](const QString& folder) {
            return BatchCommands::runInvoiceList(folder, cl.invoiceList, cl.pdf, out, err);
        });
    case CommandLine::Command::Gui:
        break;
    }
    QApplication app(argc, argv);
    installGermanQtTexts(app);
    return runGui(cl);
}

} // namespace kilvaro
