#pragma once
// Builds one class of the object run time (libobjc) and registers it:
//
//   static Class s_class = objc::StandInClass("NSNotification", "NSObject")
//                              .ivar<CFStringRef>("_name")
//                              .method("name", &nameOf)
//                              .classMethod("notificationWithName:object:", &make)
//                              .registerClass();
//
// Method type strings are derived from the C++ signature (R (*)(id, SEL,
// Args...)); the overloads with a type string take it as given. A class of
// that name that is registered already is returned as it is and the builder
// adds nothing. A superclass name that the run time does not know, or a
// class the run time refuses, ends the process with a message: the stand-in
// classes are fixed at build time.
//
// ivar<T>(object, "name") reads and writes an instance variable by name.
#include "platform/objc/MessageSend.h"
#include "platform/objc/TypeEncoding.h"

#include <objc/runtime.h>

#include <cstddef>
#include <string>

namespace platform::objc {

class StandInClass {
public:
    // superclassName null: a root class.
    StandInClass(const char* name, const char* superclassName);
    StandInClass(const char* name, Class superclass);
    StandInClass(const StandInClass&) = delete;
    StandInClass& operator=(const StandInClass&) = delete;
    ~StandInClass();

    template <typename T> StandInClass& ivar(const char* name)
    {
        return addIvar(name, sizeof(T), alignof(T), TypeEncoding<T>::get());
    }
    StandInClass& addIvar(const char* name, std::size_t size, std::size_t alignment, const std::string& types);

    template <typename R, typename... Args>
    StandInClass& method(const char* selectorName, R (*function)(id, SEL, Args...))
    {
        return method(selectorName, function, methodEncoding<R, Args...>().c_str());
    }
    template <typename F> StandInClass& method(const char* selectorName, F function, const char* types)
    {
        return addMethod(false, selectorName, toIMP(function), types);
    }
    template <typename R, typename... Args>
    StandInClass& classMethod(const char* selectorName, R (*function)(id, SEL, Args...))
    {
        return classMethod(selectorName, function, methodEncoding<R, Args...>().c_str());
    }
    template <typename F> StandInClass& classMethod(const char* selectorName, F function, const char* types)
    {
        return addMethod(true, selectorName, toIMP(function), types);
    }

    // Registers the class (once) and returns it.
    Class registerClass();

private:
    StandInClass& addMethod(bool onClass, const char* selectorName, IMP implementation, const char* types);

    std::string m_name;
    Class m_class = Nil;
    bool m_existed = false;
    bool m_registered = false;
};

// The instance variable name of object (by the object's class).
template <typename T> T& ivar(id object, const char* name)
{
    Ivar variable = class_getInstanceVariable(object_getClass(object), name);
    return *reinterpret_cast<T*>(reinterpret_cast<char*>(object) + ivar_getOffset(variable));
}

} // namespace platform::objc
