#include "platform/objc/ObjectRuntime.h"

#include "platform/appkit/AppKit.h"
#include "platform/objc/NSObject.h"

namespace platform::objc {

void ObjectRuntime::ensureStandInClasses()
{
    NSObject::rootClass();
    static const bool s_appKit = (appkit::registerAppKitClasses(), true);
    (void)s_appKit;
}

Class ObjectRuntime::lookUpClass(const char* name)
{
    ensureStandInClasses();
    return objc_getClass(name);
}

} // namespace platform::objc
