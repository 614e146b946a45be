#include "platform/gtk/LaunchStartupId.h"

#include "VarantoTest/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using platform::gtk::LaunchStartupId;

TEST(LaunchStartupId, IsTakenOnceAndLeavesTheEnvironment)
{
    struct Case {
        const char* variable; // null: not set
        const char* taken;
    } const cases[] = {{"launcher-42_TIME1234", "launcher-42_TIME1234"}, {"", ""}, {nullptr, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable ? c.variable : "(unset)");
        CV::test::ScopedEnvironmentVariable variable("DESKTOP_STARTUP_ID", c.variable);
        EXPECT_EQ(LaunchStartupId::takeFromEnvironment(), c.taken);
        EXPECT_EQ(std::getenv("DESKTOP_STARTUP_ID"), nullptr);
        EXPECT_EQ(LaunchStartupId::takeFromEnvironment(), "");
    }
}

} // namespace
