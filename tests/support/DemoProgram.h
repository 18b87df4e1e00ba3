#pragma once

#include "app/ui/ProgramRun.h"
#include "support/DemoFolder.h"
#include "trips/TripRules.h"

#include <QDate>
#include <QDateTime>
#include <memory>

namespace kilvaro {

/// The program started on the demonstration data of `today` as a user starts it (the folder
/// is made current), with the invoice module's day and the trip rules' clock (9:30) fixed
/// to that day; nullptr when the demonstration data could not be made.
inline std::unique_ptr<ProgramRun> startOnDemoData(const TempProgramFolder& folder,
                                                   DialogService* dialogs, const QDate& today) {
    folder.makeCurrent();
    if (fillWithDemoData(folder, today).trips <= 0)
        return nullptr;
    auto run = std::make_unique<ProgramRun>(folder.path(), dialogs);
    run->datenR().today = [today] { return today; };
    run->start(today)->setClock([today] { return QDateTime(today, QTime(9, 30)); });
    return run;
}

} // namespace kilvaro
