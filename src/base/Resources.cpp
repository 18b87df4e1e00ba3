#include "base/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerKilvaroResources() { Q_INIT_RESOURCE(resources); }

namespace kilvaro {

void initResources() {
    static const bool done = (registerKilvaroResources(), true);
    Q_UNUSED(done);
}

} // namespace kilvaro
