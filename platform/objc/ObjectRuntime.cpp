#include "platform/objc/ObjectRuntime.h"

#include "platform/appkit/AppKit.h"
#include "platform/objc/NSObject.h"

namespace platform::objc {

void ObjectRuntime::ensureStandInClasses()
{
    NSObject::rootClass();
    // Registering a class may look its superclass up by name and come back
    // here: the classes registered so far serve that lookup.
    static bool s_registering = false;
    static bool s_registered = false;
    if (s_registered || s_registering)
        return;
    s_registering = true;
    appkit::registerAppKitClasses();
    s_registering = false;
    s_registered = true;
}

Class ObjectRuntime::lookUpClass(const char* name)
{
    ensureStandInClasses();
    return objc_getClass(name);
}

} // namespace platform::objc

namespace platform::objc {

namespace {

// Registered before the ordinary static initialisers, so that class
// factories running in them, and objc_getClass, find every stand-in.
__attribute__((constructor(103))) void registerStandInClassesEarly()
{
    ObjectRuntime::ensureStandInClasses();
}

} // namespace

} // namespace platform::objc
