#include "platform/gtk/LaunchStartupId.h"

#include <cstdlib>

namespace platform::gtk {

namespace {

const char* const kVariable = "DESKTOP_STARTUP_ID";

} // namespace

std::string LaunchStartupId::takeFromEnvironment()
{
    const char* value = std::getenv(kVariable);
    std::string id = value != nullptr ? value : "";
    ::unsetenv(kVariable);
    return id;
}

} // namespace platform::gtk
