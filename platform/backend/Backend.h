#pragma once
// Which backend serves the parts of the layer that show something:
// the desktop (GTK 3 on the main loop's context) or headless (nothing is
// shown; alerts go to standard error and answer with their default).
//
// Chosen once, at the first call: the environment variable
// VARANTO_PLATFORM_BACKEND ("headless" or "desktop") decides; otherwise the
// desktop when GTK can open a display, else headless. Tests and tools may
// select a backend before (or instead of) that choice.
namespace platform {

class Backend {
public:
    enum class Kind { Headless, Desktop };

    static Kind current();
    // Overrides the choice; selecting the desktop falls back to headless
    // when no display can be opened.
    static void select(Kind kind);
};

} // namespace platform
