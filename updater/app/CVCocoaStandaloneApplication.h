#pragma once
// The process's platform application object, "CVCocoaStandaloneApplication"
// (superclass "NSApplication"): a key released with the Command key held
// goes straight to the key window (the platform would otherwise keep it
// from the window); buttonPressed: does nothing. Built with the object run
// time's class builder.
#include <objc/runtime.h>

namespace CV {

class CVCocoaStandaloneApplication {
public:
    static Class theClass();

    CVCocoaStandaloneApplication() = delete;
};

} // namespace CV
