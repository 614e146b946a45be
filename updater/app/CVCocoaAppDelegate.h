#pragma once
// The delegate of the platform's application object, "CVCocoaAppDelegate"
// (superclass "NSObject", one BOOL "isInitialized"): turns the launch into
// the framework's module start-up, activation changes and files to open
// into application events, and a termination request into the quit
// command; at termination it waits for a running update (the main loop
// keeps running meanwhile), then destroys the windows and shuts the module
// down. Built with the object run time's
// class builder.
//
// init makes the process's application object a CVCocoaStandaloneApplication
// and installs the new delegate in it.
#include <objc/runtime.h>

namespace CV {

class CVCocoaAppDelegate {
public:
    static Class theClass();
    // A new delegate installed in the application object (retain count one).
    static id create();

    // A request to terminate from outside the program (a signal): the
    // application quits as on its Quit command but asks nothing; a running
    // update is let end first, as after a Yes to the quit question. Nothing
    // happens once the termination has begun.
    static void terminateWithoutQuestion();

    CVCocoaAppDelegate() = delete;
};

} // namespace CV
