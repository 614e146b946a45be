#include "platform/backend/Backend.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

std::mutex s_mutex;
bool s_chosen = false;
Backend::Kind s_kind = Backend::Kind::Headless;

Backend::Kind desktopIfDisplay()
{
    return gtk_init_check(nullptr, nullptr) ? Backend::Kind::Desktop : Backend::Kind::Headless;
}

Backend::Kind choose()
{
    const char* requested = std::getenv("VARANTO_PLATFORM_BACKEND");
    if (requested && std::strcmp(requested, "headless") == 0)
        return Backend::Kind::Headless;
    return desktopIfDisplay();
}

} // namespace

Backend::Kind Backend::current()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (!s_chosen) {
        s_kind = choose();
        s_chosen = true;
    }
    return s_kind;
}

void Backend::select(Kind kind)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_kind = kind == Kind::Desktop ? desktopIfDisplay() : Kind::Headless;
    s_chosen = true;
}

} // namespace platform
