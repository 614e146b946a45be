#pragma once
// Entry point for code that builds run-time classes on top of the stand-in
// classes: call ensureStandInClasses() before objc_getClass() of a stand-in
// superclass ("NSObject", ...). The classes are registered once, on the
// first call, and in any case before the program's ordinary static
// initialisers run.
#include <objc/runtime.h>

namespace platform::objc {

class ObjectRuntime {
public:
    static void ensureStandInClasses();
    // objc_getClass(name) after ensureStandInClasses().
    static Class lookUpClass(const char* name);
};

} // namespace platform::objc
