#include "platform/objc/NSObject.h"

#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/Protocols.h"
#include "platform/objc/StandInClass.h"
#include "platform/runloop/MainLoop.h"

#include <chrono>
#include <cmath>

#include <climits>
#include <cstddef>

namespace platform::objc {

namespace {

const char* const kRetainCountIvar = "_retainCount";

long* retainCountSlot(id self)
{
    static const ptrdiff_t s_offset =
        ivar_getOffset(class_getInstanceVariable(NSObject::rootClass(), kRetainCountIvar));
    return reinterpret_cast<long*>(reinterpret_cast<char*>(self) + s_offset);
}

id classAlloc(id self, SEL)
{
    return class_createInstance(reinterpret_cast<Class>(self), 0);
}

id classNew(id self, SEL)
{
    return send<id>(send<id>(self, "alloc"), "init");
}

id classSelf(id self, SEL)
{
    return self;
}

void classRelease(id, SEL) { }

long classRetainCount(id, SEL)
{
    return LONG_MAX;
}

id instanceInit(id self, SEL)
{
    return self;
}

void instanceDealloc(id self, SEL)
{
    object_dispose(self);
}

id instanceRetain(id self, SEL)
{
    __atomic_add_fetch(retainCountSlot(self), 1, __ATOMIC_RELAXED);
    return self;
}

void instanceRelease(id self, SEL)
{
    if (__atomic_fetch_sub(retainCountSlot(self), 1, __ATOMIC_ACQ_REL) == 0)
        send<void>(self, "dealloc");
}

id instanceAutorelease(id self, SEL)
{
    AutoreleasePool::add(self);
    return self;
}

long instanceRetainCount(id self, SEL)
{
    return __atomic_load_n(retainCountSlot(self), __ATOMIC_RELAXED) + 1;
}

Class instanceClass(id self, SEL)
{
    return object_getClass(self);
}

Class instanceSuperclass(id self, SEL)
{
    return class_getSuperclass(object_getClass(self));
}

BOOL instanceIsEqual(id self, SEL, id other)
{
    return self == other ? YES : NO;
}

unsigned long instanceHash(id self, SEL)
{
    return reinterpret_cast<unsigned long>(self);
}

BOOL instanceRespondsToSelector(id self, SEL, SEL selector)
{
    return respondsTo(self, selector) ? YES : NO;
}

BOOL instanceIsKindOfClass(id self, SEL, Class cls)
{
    for (Class c = object_getClass(self); c != Nil; c = class_getSuperclass(c))
        if (c == cls)
            return YES;
    return NO;
}

BOOL instanceConformsToProtocol(id self, SEL, Protocol* protocol)
{
    return Protocols::conforms(object_getClass(self), protocol) ? YES : NO;
}

BOOL classConformsToProtocol(id self, SEL, Protocol* protocol)
{
    return Protocols::conforms(reinterpret_cast<Class>(self), protocol) ? YES : NO;
}

id instancePerform(id self, SEL, SEL selector)
{
    return send<id>(self, selector);
}

id instancePerformWith(id self, SEL, SEL selector, id object)
{
    return send<id>(self, selector, object);
}

id instancePerformWithWith(id self, SEL, SEL selector, id object1, id object2)
{
    return send<id>(self, selector, object1, object2);
}

// Receiver and argument stay retained until the message is delivered.
void deliverLater(id self, SEL selector, id object, const std::function<void(MainLoop::Callback)>& schedule)
{
    NSObject::retain(self);
    NSObject::retain(object);
    schedule([self, selector, object] {
        send<void>(self, selector, object);
        NSObject::release(object);
        NSObject::release(self);
    });
}

void instancePerformOnMainThread(id self, SEL, SEL selector, id object, BOOL wait)
{
    if (wait) {
        NSObject::retain(self);
        NSObject::retain(object);
        MainLoop::instance().performAndWait([self, selector, object] { send<void>(self, selector, object); });
        NSObject::release(object);
        NSObject::release(self);
        return;
    }
    deliverLater(self, selector, object,
                 [](MainLoop::Callback callback) { MainLoop::instance().post(std::move(callback)); });
}

void instancePerformAfterDelay(id self, SEL, SEL selector, id object, double seconds)
{
    const auto delay = std::chrono::milliseconds(seconds > 0 ? std::llround(seconds * 1000.0) : 0);
    deliverLater(self, selector, object, [delay](MainLoop::Callback callback) {
        MainLoop::instance().addTimer(delay, false, std::move(callback));
    });
}

Class registerRootClass()
{
    // The root metaclass inherits the instance methods; classes are not
    // reference counted, so the counting methods are overridden there.
    return StandInClass("NSObject", static_cast<Class>(Nil))
        .ivar<Class>("isa")
        .ivar<long>(kRetainCountIvar)
        .method("init", instanceInit)
        .method("dealloc", instanceDealloc)
        .method("retain", instanceRetain)
        .method("release", instanceRelease)
        .method("autorelease", instanceAutorelease)
        .method("retainCount", instanceRetainCount)
        .method("self", classSelf)
        .method("class", instanceClass)
        .method("superclass", instanceSuperclass)
        .method("isEqual:", instanceIsEqual)
        .method("hash", instanceHash)
        .method("respondsToSelector:", instanceRespondsToSelector)
        .method("isKindOfClass:", instanceIsKindOfClass)
        .method("conformsToProtocol:", instanceConformsToProtocol)
        .method("performSelector:", instancePerform)
        .method("performSelector:withObject:", instancePerformWith)
        .method("performSelector:withObject:withObject:", instancePerformWithWith)
        .method("performSelectorOnMainThread:withObject:waitUntilDone:", instancePerformOnMainThread)
        .method("performSelector:withObject:afterDelay:", instancePerformAfterDelay)
        .classMethod("alloc", classAlloc)
        .classMethod("new", classNew)
        .classMethod("class", classSelf)
        .classMethod("conformsToProtocol:", classConformsToProtocol)
        .classMethod("retain", classSelf)
        .classMethod("release", classRelease)
        .classMethod("autorelease", classSelf)
        .classMethod("retainCount", classRetainCount)
        .registerClass();
}

// Registered before the ordinary static initialisers, so that a class
// factory running in one of them finds its superclass.
__attribute__((constructor(101))) void registerRootClassEarly()
{
    NSObject::rootClass();
}

} // namespace

Class NSObject::rootClass()
{
    static Class s_root = registerRootClass();
    return s_root;
}

id NSObject::alloc(Class cls)
{
    return send<id>(cls, "alloc");
}

id NSObject::allocInit(Class cls)
{
    return send<id>(alloc(cls), "init");
}

id NSObject::retain(id object)
{
    return send<id>(object, "retain");
}

void NSObject::release(id object)
{
    send<void>(object, "release");
}

id NSObject::autorelease(id object)
{
    return send<id>(object, "autorelease");
}

long NSObject::retainCount(id object)
{
    return send<long>(object, "retainCount");
}

} // namespace platform::objc
