#pragma once
// The desktop backend: GTK 3 windows and dialogs on the main loop's
// context (GLib's default context).
#include "platform/backend/Backend.h"

namespace platform::gtk {

class GtkBackend : public Backend {
public:
    // Initialises GTK with the program's arguments (it removes the options
    // it understands); null when no display can be opened.
    static std::unique_ptr<GtkBackend> create(int& argc, char**& argv);

    const char* name() const override { return "gtk"; }
    std::unique_ptr<AlertPresenter> createAlertPresenter() override;

private:
    GtkBackend() = default;
};

// The start-up choice of an application (main thread, before any window):
// VARANTO_PLATFORM_BACKEND=headless selects the headless backend; otherwise
// (or with "desktop") the desktop when GTK can open a display, else headless.
Backend& selectBackendAtStart(int& argc, char**& argv);

} // namespace platform::gtk
