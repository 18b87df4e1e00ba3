#pragma once

#include "base/AppContext.h"
#include "data/ProgramSetup.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include <functional>
#include <memory>

namespace kilvaro::testing {

/// A program folder set up as on a first start, its database filled by `seed` (when given),
/// and the general data module opened on it with a scripted dialog service.
class SeededProgram {
public:
    explicit SeededProgram(const std::function<void(Connection&)>& seed = {}) {
        ProgramSetup::createDefaults(folder.path());
        if (seed) {
            Connection c;
            c.open(ProgramSetup::databasePath(folder.path()));
            seed(c);
            c.close();
        }
        daten = std::make_unique<TDaten_A>(folder.path(), &dialogs);
        daten->DataModuleCreate();
    }

    /// What a window of this program run gets.
    AppContext context() {
        AppContext c;
        c.programFolder = folder.path();
        c.dialogs = &dialogs;
        c.daten = daten.get();
        return c;
    }

    TempProgramFolder folder;
    FakeDialogService dialogs;
    std::unique_ptr<TDaten_A> daten;
};

} // namespace kilvaro::testing
