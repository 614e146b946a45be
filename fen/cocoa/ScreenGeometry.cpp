// The first screen's top edge, the reference of the framework's top-down
// screen coordinates.
#include "FEN/COCOA/WindowImplBase.h"

#include "platform/cf/CFArray.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"

namespace CV {
namespace FEN {
namespace COCOA {

double WindowImplBase::firstScreenTop()
{
    namespace objc = platform::objc;
    Class screenClass = objc::ObjectRuntime::lookUpClass("NSScreen");
    if (screenClass == Nil)
        return 0;
    auto screens = static_cast<CFArrayRef>(objc::send<const void*>(screenClass, "screens"));
    if (screens == nullptr || CFArrayGetCount(screens) == 0)
        return 0;
    id first = reinterpret_cast<id>(const_cast<void*>(CFArrayGetValueAtIndex(screens, 0)));
    const NSRect frame = objc::send<NSRect>(first, "frame");
    // In single precision, as the window system computes it.
    return double(float(frame.origin.y) + float(frame.size.height));
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
