#include "app/ui/ProgramRun.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "trips/TripRules.h"

namespace kilvaro {

ProgramRun::ProgramRun(const QString& programFolder, DialogService* dialogs,
                       const QStringList& arguments)
    : m_context(makeContext(programFolder, dialogs, arguments)),
      m_daten(programFolder, dialogs), m_datenR(&m_daten, programFolder, dialogs),
      m_filter(withModules()), m_main(m_context) {
    m_main.setReportFilter(&m_filter);
    m_filter.setHelpHandler([this](int topic) { m_main.ShowHelp(topic); });
}

ProgramRun::~ProgramRun() = default;

AppContext ProgramRun::makeContext(const QString& folder, DialogService* dialogs,
                                   const QStringList& arguments) {
    AppContext c;
    c.programFolder = folder;
    c.arguments = arguments;
    c.dialogs = dialogs;
    return c;
}

AppContext& ProgramRun::withModules() {
    m_context.daten = &m_daten;
    m_context.datenR = &m_datenR;
    return m_context;
}

TripRules* ProgramRun::start(const QDate& today) {
    m_daten.DataModuleCreate();
    try {
        m_datenR.RechnungsmodulCreate();
    } catch (const DbError& e) {
        if (m_context.dialogs)
            m_context.dialogs->error(e.message());
    }
    m_filter.FormCreate(today);
    return TripRules::install(&m_daten, m_context.dialogs);
}

} // namespace kilvaro
