#pragma once
// The root class "NSObject" of the stand-in classes, registered in the
// object run time (libobjc) on first use and, at the latest, before the
// program's ordinary static initialisers run.
//
// Instance layout: the class pointer "isa" first, then "_retainCount" (the
// number of extra references; 0 means one owner). Subclasses made with
// objc_allocateClassPair add their instance variables after these.
//
// Class methods: alloc, new, class, retain/release/autorelease (no-ops).
// Instance methods: init, dealloc, retain, release, autorelease,
// retainCount, self, class, superclass, isEqual:, hash,
// respondsToSelector:, isKindOfClass:, conformsToProtocol: (also a class
// method; Protocols.h), performSelector:,
// performSelector:withObject:, performSelector:withObject:withObject:,
// performSelectorOnMainThread:withObject:waitUntilDone: (queued on the main
// loop, or run and waited for) and performSelector:withObject:afterDelay:
// (a one-shot main-loop timer); both keep receiver and argument retained
// until delivery.
#include <objc/runtime.h>

namespace platform::objc {

class NSObject {
public:
    // The registered root class; registers it on the first call.
    static Class rootClass();

    // Convenience calls through the run time (so overrides take effect).
    static id alloc(Class cls);
    static id allocInit(Class cls);
    static id retain(id object);
    static void release(id object);
    static id autorelease(id object);
    static long retainCount(id object);
};

} // namespace platform::objc
