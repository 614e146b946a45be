#include "platform/objc/MessageSend.h"

#include <cstdio>
#include <cstdlib>

namespace platform::objc {

namespace {

bool isClassObject(id receiver)
{
    return class_isMetaClass(object_getClass(receiver));
}

[[noreturn]] void abortNotResponding(id receiver, Class searched, SEL selector)
{
    std::fprintf(stderr, "%c[%s %s]: unrecognised selector sent to %s %p (searched class %s)\n",
                 isClassObject(receiver) ? '+' : '-', object_getClassName(receiver), sel_getName(selector),
                 isClassObject(receiver) ? "class" : "instance", static_cast<void*>(receiver),
                 searched ? class_getName(searched) : "(none)");
    std::fflush(stderr);
    std::abort();
}

} // namespace

SEL selector(const char* name)
{
    return sel_registerName(name);
}

bool respondsTo(id receiver, SEL selector)
{
    return receiver != nil && class_respondsToSelector(object_getClass(receiver), selector);
}

IMP lookUpOrAbort(id receiver, SEL selector)
{
    Class cls = object_getClass(receiver);
    if (!class_respondsToSelector(cls, selector))
        abortNotResponding(receiver, cls, selector);
    return class_getMethodImplementation(cls, selector);
}

IMP lookUpSuperOrAbort(id receiver, Class cls, SEL selector)
{
    // For a class method the search starts at the superclass's metaclass.
    Class super = class_getSuperclass(cls);
    if (isClassObject(receiver) && super != Nil && !class_isMetaClass(super))
        super = object_getClass(reinterpret_cast<id>(super));
    if (super == Nil || !class_respondsToSelector(super, selector))
        abortNotResponding(receiver, super, selector);
    return class_getMethodImplementation(super, selector);
}

} // namespace platform::objc
