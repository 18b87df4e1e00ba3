#pragma once

#include "app/DemoData.h"
#include "data/Connection.h"
#include "data/ProgramSetup.h"
#include "support/TestSupport.h"

#include <QDate>

namespace kilvaro {

/// Sets `folder` up as a first start does and fills its database with the demonstration
/// data of `today`, as "--demo" does.
inline DemoData::Summary fillWithDemoData(const TempProgramFolder& folder, const QDate& today) {
    ProgramSetup::createDefaults(folder.path());
    Connection c;
    c.open(ProgramSetup::databasePath(folder.path()));
    const DemoData::Summary summary = DemoData::fill(c, today);
    c.close();
    return summary;
}

} // namespace kilvaro
