#pragma once

// A program folder with a fresh database, the general data module and the main window, as
// the master-data windows find them at run time.
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include "data/ProgramSetup.h"
#include "app/ui/TForm_Main.h"
#include "data/Daten_A.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace kilvaro::testing {

struct MasterDataWindowFixture {
    QTemporaryDir settings;
    TempProgramFolder folder;
    FakeDialogService dialogs;
    std::unique_ptr<TDaten_A> daten;
    std::unique_ptr<TForm_Main> main;

    MasterDataWindowFixture() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
        folder.makeCurrent();
        ProgramSetup::createDefaults(folder.path());
        daten = std::make_unique<TDaten_A>(folder.path(), &dialogs);
        daten->DataModuleCreate();
        AppContext context;
        context.programFolder = folder.path();
        context.dialogs = &dialogs;
        context.daten = daten.get();
        main = std::make_unique<TForm_Main>(context);
        main->resize(1280, 800);
        main->show();
    }
    ~MasterDataWindowFixture() {
        main->closeAllChildWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.reset();
        daten.reset();
    }

    Connection& db() { return *daten->Database; }

    void trigger(const char* actionName) {
        QAction* a = main->findChild<QAction*>(QLatin1String(actionName));
        QVERIFY2(a, actionName);
        a->trigger();
    }
    QList<QMdiSubWindow*> subWindows() const { return main->mdiArea()->subWindowList(); }
    QWidget* activeChild() const {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }
    /// Lets deferred deletes and queued calls run (closed windows are freed later).
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace kilvaro::testing
