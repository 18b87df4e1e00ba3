// Laying out text (reports, invoices) needs a GUI application (fonts). It must exist before
// any test creates a plain QCoreApplication (the database fixtures do), so every rule-test
// program makes it once before all its tests.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { kilvaro::ensureGuiApp(); }
};

[[maybe_unused]] ::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

} // namespace
