#pragma once
// Typed message sending from C++ into the object run time.
//
//   id window = platform::objc::send<id>(cls, "alloc");
//   platform::objc::send<void>(window, "setTitle:", title);
//
// The implementation is looked up on the receiver's class (its metaclass
// for a class receiver) and called with the receiver, the selector and the
// arguments. A message to nil does nothing and returns a zero value. A
// receiver that does not respond to the selector ends the process with a
// message naming class and selector: a silent fallback would hide a wrong
// selector or type string.
#include <objc/runtime.h>

#include <type_traits>

namespace platform::objc {

// The implementation of selector for receiver's class; aborts when the
// class does not respond.
IMP lookUpOrAbort(id receiver, SEL selector);
// The implementation of selector as seen from the superclass of cls.
IMP lookUpSuperOrAbort(id receiver, Class cls, SEL selector);

SEL selector(const char* name);

// A C++ function as a method implementation (class_addMethod), and back.
template <typename F> IMP toIMP(F function)
{
    return reinterpret_cast<IMP>(reinterpret_cast<void (*)()>(function));
}

template <typename F> F fromIMP(IMP implementation)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(implementation));
}

template <typename R, typename... Args> R send(id receiver, SEL sel, Args... args)
{
    if (receiver == nil) {
        if constexpr (std::is_void_v<R>)
            return;
        else
            return R{};
    }
    using Function = R (*)(id, SEL, Args...);
    return fromIMP<Function>(lookUpOrAbort(receiver, sel))(receiver, sel, args...);
}

template <typename R, typename... Args> R send(id receiver, const char* selectorName, Args... args)
{
    return send<R, Args...>(receiver, selector(selectorName), args...);
}

template <typename R, typename... Args> R send(Class receiver, const char* selectorName, Args... args)
{
    return send<R, Args...>(reinterpret_cast<id>(receiver), selector(selectorName), args...);
}

// [super selector ...] from a method of cls: the superclass's implementation
// runs with the same receiver.
template <typename R, typename... Args> R sendSuper(id receiver, Class cls, SEL sel, Args... args)
{
    if (receiver == nil) {
        if constexpr (std::is_void_v<R>)
            return;
        else
            return R{};
    }
    using Function = R (*)(id, SEL, Args...);
    return fromIMP<Function>(lookUpSuperOrAbort(receiver, cls, sel))(receiver, sel, args...);
}

template <typename R, typename... Args> R sendSuper(id receiver, Class cls, const char* selectorName, Args... args)
{
    return sendSuper<R, Args...>(receiver, cls, selector(selectorName), args...);
}

// Whether receiver (an object or a class) responds to selector.
bool respondsTo(id receiver, SEL selector);

} // namespace platform::objc
