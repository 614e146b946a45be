#pragma once
// Selects the desktop backend on the X server DISPLAY names, as a program
// called programName; false (the current backend kept) when the toolkit
// cannot open the display. Whoever selected it selects the headless
// backend again when done.
#include "platform/backend/Backend.h"
#include "platform/gtk/GtkBackend.h"

#include <memory>
#include <string>

namespace desktop_test {

inline bool selectGtkBackend(std::string programName)
{
    char* arguments[] = {programName.data(), nullptr};
    int argc = 1;
    char** argv = arguments;
    std::unique_ptr<platform::gtk::GtkBackend> backend = platform::gtk::GtkBackend::create(argc, argv);
    if (!backend)
        return false;
    platform::Backend::select(std::move(backend));
    return true;
}

} // namespace desktop_test
