// Report tests lay out text, which needs a GUI application (fonts). It must exist before
// any test creates a plain QCoreApplication (the database fixtures do), so it is made once
// before all tests of this program.
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
