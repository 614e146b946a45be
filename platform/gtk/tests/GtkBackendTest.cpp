#include "platform/gtk/GtkBackend.h"

#include "VarantoTest/ScopedEnvironmentVariable.h"

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

using ScopedEnv = CV::test::ScopedEnvironmentVariable;

TEST(GtkBackend, StartUpChoiceFallsBackToHeadlessAndHonoursTheVariable)
{
    // The toolkit keeps a display for the life of the process: after a
    // desktop test in the same program there is no start without one.
    if (gdk_display_get_default())
        GTEST_SKIP() << "a display is open in this process already";
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    char name[] = "test";
    char* arguments[] = {name, nullptr};
    for (const char* requested : {"headless", "desktop", static_cast<const char*>(nullptr)}) {
        ScopedEnv variable("VARANTO_PLATFORM_BACKEND", requested);
        int argc = 1;
        char** argv = arguments;
        EXPECT_STREQ(platform::gtk::selectBackendAtStart(argc, argv).name(), "headless")
            << (requested ? requested : "(unset)");
        EXPECT_STREQ(platform::Backend::current().name(), "headless");
    }
}

} // namespace
