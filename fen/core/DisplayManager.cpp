#include "FEN/DisplayManager.h"

#include "FEN/COCOA/WindowImplBase.h"
#include "platform/cf/CFArray.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"

#include <algorithm>
#include <vector>

namespace CV {
namespace FEN {

bool DisplayManager::s_bInited = false;

bool DisplayManager::init()
{
    s_bInited = true;
    return true;
}

BAS::Rect DisplayManager::getDisplayBounds()
{
    namespace objc = platform::objc;
    BAS::Rect bounds{0, 0, 0, 0};
    Class screenClass = objc::ObjectRuntime::lookUpClass("NSScreen");
    // The list lives until the next "screens": read every frame first.
    auto screens = static_cast<CFArrayRef>(objc::send<const void*>(screenClass, "screens"));
    std::vector<NSRect> frames;
    for (CFIndex i = 0; i < CFArrayGetCount(screens); ++i)
        frames.push_back(objc::send<NSRect>(reinterpret_cast<id>(const_cast<void*>(CFArrayGetValueAtIndex(screens, i))),
                                            "frame"));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const BAS::Rect frame = COCOA::WindowImplBase::toFramework(frames[i]);
        if (i == 0) {
            bounds = frame;
            continue;
        }
        bounds.left = std::min(bounds.left, frame.left);
        bounds.top = std::min(bounds.top, frame.top);
        bounds.right = std::max(bounds.right, frame.right);
        bounds.bottom = std::max(bounds.bottom, frame.bottom);
    }
    return bounds;
}

void DisplayManager::deInit()
{
    s_bInited = false;
}

} // namespace FEN
} // namespace CV
