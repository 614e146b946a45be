#include "platform/objc/ObjectRuntime.h"

#include "platform/objc/NSObject.h"

namespace platform::objc {

void ObjectRuntime::ensureStandInClasses()
{
    NSObject::rootClass();
}

Class ObjectRuntime::lookUpClass(const char* name)
{
    ensureStandInClasses();
    return objc_getClass(name);
}

} // namespace platform::objc
