#pragma once

#include "app/ui/TForm_Main.h"
#include "base/AppContext.h"
#include "data/Daten_A.h"
#include "invoicing/Daten_R.h"
#include "reports/ui/TDruckfilterform.h"

#include <QDate>

namespace kilvaro {

class TripRules;

/// One run of the program's windows: the data modules, the report filter dialog and the main
/// window, made and filled in the start-up order. The program, the window tests and the
/// start-up benchmark all start through it, so the order is written down once.
///
/// The data modules and the filter dialog are made first (none opens anything yet) so that
/// the main window's copy of the context reaches them and they outlive the main window and
/// its child windows.
class ProgramRun {
public:
    ProgramRun(const QString& programFolder, DialogService* dialogs,
               const QStringList& arguments = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    /// Opens the database and the data modules (a failing invoice module is reported, the
    /// program goes on without it), fills the filter dialog for `today` and installs the
    /// trip rules, which it returns.
    TripRules* start(const QDate& today);

    const AppContext& context() const { return m_context; }
    TDaten_A& daten() { return m_daten; }
    TDaten_R& datenR() { return m_datenR; }
    TDruckfilterform& filter() { return m_filter; }
    TForm_Main& mainWindow() { return m_main; }

private:
    static AppContext makeContext(const QString& folder, DialogService* dialogs,
                                  const QStringList& arguments);
    AppContext& withModules();

    AppContext m_context;
    TDaten_A m_daten;
    TDaten_R m_datenR;
    TDruckfilterform m_filter;
    TForm_Main m_main;
};

} // namespace kilvaro
