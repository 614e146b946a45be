#include "platform/gtk/GtkBackend.h"

#include "VarantoTest/ScopedEnvironmentVariable.h"

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

using ScopedEnv = CV::test::ScopedEnvironmentVariable;

TEST(GtkBackend, StartUpChoiceIsTheDesktopOrNothingUnlessTheVariableAsksForHeadless)
{
    // The toolkit keeps a display for the life of the process: after a
    // desktop test in the same program there is no start without one.
    if (gdk_display_get_default())
        GTEST_SKIP() << "a display is open in this process already";
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    char name[] = "test";
    char* arguments[] = {name, nullptr};
    struct Case {
        const char* requested;
        const char* selected; // null: none
    } const cases[] = {{"headless", "headless"}, {"desktop", nullptr}, {nullptr, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested ? c.requested : "(unset)");
        ScopedEnv variable("VARANTO_PLATFORM_BACKEND", c.requested);
        int argc = 1;
        char** argv = arguments;
        platform::Backend* backend = platform::gtk::selectBackendAtStart(argc, argv);
        if (c.selected) {
            ASSERT_NE(backend, nullptr);
            EXPECT_STREQ(backend->name(), c.selected);
        } else {
            EXPECT_EQ(backend, nullptr);
            EXPECT_EQ(platform::gtk::displayTriedAtStart(), "");
        }
    }
}

// The launch's startup id leaves the environment before the toolkit starts
// (and may start threads): also when it then opens no display.
TEST(GtkBackend, TheLaunchsStartupIdLeavesTheEnvironmentBeforeTheToolkitStarts)
{
    if (gdk_display_get_default())
        GTEST_SKIP() << "a display is open in this process already";
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv startupId("DESKTOP_STARTUP_ID", "launcher-7_TIME99");
    char name[] = "test";
    char* arguments[] = {name, nullptr};
    int argc = 1;
    char** argv = arguments;
    EXPECT_FALSE(platform::gtk::GtkBackend::create(argc, argv));
    EXPECT_EQ(std::getenv("DESKTOP_STARTUP_ID"), nullptr);
}

} // namespace
