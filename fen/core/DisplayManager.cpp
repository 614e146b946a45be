#include "FEN/DisplayManager.h"

#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "platform/cf/CFArray.h"
#include "platform/cf/CFRunLoop.h"
#include "platform/cg/CGDisplay.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/peer/Flip.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace CV {
namespace FEN {

namespace objc = platform::objc;

std::vector<Display> DisplayManager::s_collDisplays;
BAS::Rect DisplayManager::s_rectDisplayBounds{0, 0, 0, 0};
bool DisplayManager::s_bVerticalDisplays = false;
bool DisplayManager::s_bInited = false;

namespace {

// Changes that alter the arrangement: set main, set mode, added, removed,
// enabled, disabled, mirror, unmirror, desktop shape. The begin and moved
// notices alone do not.
constexpr CGDisplayChangeSummaryFlags kRelevantChanges = 0x1F3C;
constexpr CFTimeInterval kRefreshDelay = 1.0;

// The refreshes scheduled and not yet run.
std::set<CFRunLoopTimerRef> g_activeTimers;

BAS::Rect topDown(NSRect frame, double mainHeight)
{
    const int left = int(frame.origin.x);
    const int top = int(platform::peer::flipSpan(frame.origin.y, frame.size.height, mainHeight));
    return BAS::Rect{left, top, left + int(frame.size.width), top + int(frame.size.height)};
}

void extend(BAS::Rect& bounds, BAS::Rect const& frame)
{
    bounds.left = std::min(bounds.left, frame.left);
    bounds.top = std::min(bounds.top, frame.top);
    bounds.right = std::max(bounds.right, frame.right);
    bounds.bottom = std::max(bounds.bottom, frame.bottom);
}

// The platform's screens as displays, with the rectangle bounding them
// and (0, 0, 1, 1); one empty display when there is no screen. Whether
// there was a screen.
bool readDisplays(std::vector<Display>& displays, BAS::Rect& bounds)
{
    displays.clear();
    bounds = BAS::Rect{0, 0, 1, 1};
    objc::AutoreleasePool pool;
    Class screenClass = objc::ObjectRuntime::lookUpClass("NSScreen");
    auto screens = screenClass != Nil ? static_cast<CFArrayRef>(objc::send<const void*>(screenClass, "screens"))
                                      : CFArrayRef(nullptr);
    const CFIndex count = screens != nullptr ? CFArrayGetCount(screens) : 0;
    SEL scaleSelector = sel_registerName("backingScaleFactor");
    double mainHeight = 0;
    for (CFIndex i = 0; i < count; ++i) {
        id screen = reinterpret_cast<id>(const_cast<void*>(CFArrayGetValueAtIndex(screens, i)));
        NSRect frame = NSMakeRect(0, 0, 0, 0), visible = NSMakeRect(0, 0, 0, 0);
        double scale = 1.0;
        if (screen != nil) {
            frame = objc::send<NSRect>(screen, "frame");
            visible = objc::send<NSRect>(screen, "visibleFrame");
            if (class_respondsToSelector(object_getClass(screen), scaleSelector))
                scale = objc::send<double>(screen, "backingScaleFactor");
        }
        if (i == 0)
            mainHeight = frame.size.height;
        Display display;
        display.m_rectFrame = topDown(frame, mainHeight);
        display.m_rectVisibleFrame = topDown(visible, mainHeight);
        display.m_bRetina = std::fabs(scale - 1.0) > 0.001;
        display.m_bValid = true;
        displays.push_back(display);
        extend(bounds, display.m_rectFrame);
    }
    if (!displays.empty())
        return true;
    displays.push_back(Display());
    bounds = displays.front().m_rectFrame;
    return false;
}

} // namespace

namespace {

void timerFired(CFRunLoopTimerRef timer, void* info)
{
    DisplayManagerImpl::onTimerNotification(timer, info);
}

} // namespace

void DisplayManagerImpl::reconfigurationCallback(unsigned, unsigned flags, void*)
{
    if ((flags & kRelevantChanges) == 0)
        return;
    CFRunLoopTimerRef timer =
        CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + kRefreshDelay, 0, 0, 0, &timerFired, nullptr);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    g_activeTimers.insert(timer);
}

void DisplayManagerImpl::onTimerNotification(const void* handle, void*)
{
    auto timer = static_cast<CFRunLoopTimerRef>(handle);
    // Out of the set before anyone hears of the change: a receiver that
    // stops the manager must not release this timer a second time.
    if (g_activeTimers.erase(timer) == 0)
        return;
    DisplayManager::onDisplayChange();
    if (Application* application = Application::getApplication()) {
        EventData none;
        application->sendEvent(eApplicationEvent::DisplaysChanged, &none);
    }
    CFRelease(timer);
}

bool DisplayManager::init()
{
    if (!s_bInited) {
        s_bInited = true;
        CGDisplayRegisterReconfigurationCallback(&DisplayManagerImpl::reconfigurationCallback, nullptr);
        onDisplayChange();
    }
    return !s_collDisplays.empty();
}

void DisplayManager::deInit()
{
    if (!s_bInited)
        return;
    s_bInited = false;
    s_collDisplays.clear();
    CGDisplayRemoveReconfigurationCallback(&DisplayManagerImpl::reconfigurationCallback, nullptr);
    for (CFRunLoopTimerRef timer : g_activeTimers) {
        CFRunLoopRemoveTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
        CFRelease(timer);
    }
    g_activeTimers.clear();
}

void DisplayManager::onDisplayChange()
{
    if (!readDisplays(s_collDisplays, s_rectDisplayBounds))
        return;
    detectVerticalLayout();
    std::sort(s_collDisplays.begin(), s_collDisplays.end(), Display::tSorter(s_bVerticalDisplays));
}

void DisplayManager::detectVerticalLayout()
{
    s_bVerticalDisplays = false;
    bool havePrevious = false;
    int centre = 0;
    for (Display const& display : s_collDisplays) {
        BAS::Rect const& frame = display.m_rectFrame;
        if (havePrevious && frame.left <= centre && centre <= frame.right) {
            s_bVerticalDisplays = true;
            return;
        }
        centre = frame.left + ((frame.right - frame.left) >> 1);
        havePrevious = true;
    }
}

BAS::Rect DisplayManager::getDisplayBounds()
{
    if (s_bInited)
        return s_rectDisplayBounds;
    std::vector<Display> displays;
    BAS::Rect bounds;
    readDisplays(displays, bounds);
    return bounds;
}

} // namespace FEN
} // namespace CV
