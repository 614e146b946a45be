#include "platform/cg/CGDisplay.h"

#include "platform/backend/Backend.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using Registration = std::pair<CGDisplayReconfigurationCallBack, void*>;

std::vector<Registration>& registrations()
{
    static std::vector<Registration> s_registrations;
    return s_registrations;
}

double s_deltaX = 0;
double s_deltaY = 0;

void onReconfiguration()
{
    const std::vector<platform::peer::ScreenInfo> screens = platform::Backend::current().screens().screens();
    // A callback may unregister itself: call a copy.
    const std::vector<Registration> current = registrations();
    for (const platform::peer::ScreenInfo& screen : screens)
        for (const Registration& r : current)
            r.first(screen.id, kCGDisplaySetModeFlag, r.second);
}

} // namespace

CGDirectDisplayID CGMainDisplayID()
{
    const std::vector<platform::peer::ScreenInfo> screens = platform::Backend::current().screens().screens();
    return screens.empty() ? 0 : screens.front().id;
}

CGColorSpaceRef CGDisplayCopyColorSpace(CGDirectDisplayID display)
{
    for (const platform::peer::ScreenInfo& screen : platform::Backend::current().screens().screens())
        if (screen.id == display)
            return CGColorSpaceCreateDeviceRGB();
    return nullptr;
}

CGError CGDisplayRegisterReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo)
{
    if (!callback)
        return 1;
    if (registrations().empty())
        platform::Backend::current().screens().setReconfigurationHandler(&onReconfiguration);
    registrations().emplace_back(callback, userInfo);
    return kCGErrorSuccess;
}

CGError CGDisplayRemoveReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo)
{
    std::vector<Registration>& all = registrations();
    auto it = std::find(all.begin(), all.end(), Registration{callback, userInfo});
    if (it == all.end())
        return 1;
    all.erase(it);
    if (all.empty())
        platform::Backend::current().screens().setReconfigurationHandler(nullptr);
    return kCGErrorSuccess;
}

CGError CGWarpMouseCursorPosition(CGPoint position)
{
    platform::Backend::current().cursor().warp(platform::peer::Point{position.x, position.y});
    return kCGErrorSuccess;
}

CGError CGAssociateMouseAndMouseCursorPosition(bool connected)
{
    platform::Backend::current().cursor().setAssociated(connected);
    return kCGErrorSuccess;
}

void CGGetLastMouseDelta(std::int32_t* deltaX, std::int32_t* deltaY)
{
    if (deltaX)
        *deltaX = std::int32_t(std::trunc(s_deltaX));
    if (deltaY)
        *deltaY = std::int32_t(std::trunc(s_deltaY));
}

namespace platform::cg {

void noteMouseDelta(double deltaX, double deltaY)
{
    s_deltaX = deltaX;
    s_deltaY = deltaY;
}

} // namespace platform::cg
