#pragma once
// The desktop's startup-notification id of this process's launch, as the
// launcher left it in DESKTOP_STARTUP_ID. Taken out of the environment, so
// that child processes do not take it for theirs, before the toolkit (or
// anything else) starts threads: changing the environment is unsafe while
// other threads may read it.
#include <string>

namespace platform::gtk {

class LaunchStartupId {
public:
    // The id (empty when there is none); the variable is gone afterwards.
    static std::string takeFromEnvironment();
};

} // namespace platform::gtk
