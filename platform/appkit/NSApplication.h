#pragma once
// The process's application object, "NSApplication":
//
//   +sharedApplication: the one instance, made on the first call as an
//   instance of the receiving class (a subclass asked first makes a
//   subclass instance); setDelegate: / delegate (not retained).
//   -run: sends the delegate applicationWillFinishLaunching: and
//   applicationDidFinishLaunching:, then runs the main loop until stop:.
//   -terminate: asks the delegate applicationShouldTerminate: (1 now, 0
//   cancel); on 1 sends applicationWillTerminate: and ends the process with
//   status 0. It works before run as well (a failed start-up), and once the
//   termination has begun a further terminate: does nothing.
//   -setMainMenu: / mainMenu, keyWindow, sendEvent:, isRunning, stop:.
//
// "NSUserDefaults": +standardUserDefaults, -registerDefaults: (accepted;
// nothing is stored).
#include <functional>
#include <objc/runtime.h>

// The shared application object; nil until sharedApplication.
extern id NSApp;

namespace platform::appkit {

Class NSApplicationClass();

class NSApplication {
public:
    static Class userDefaultsClass();

    // How terminate: ends the process (std::exit by default); tests
    // replace it to watch the termination.
    static void setProcessExit(std::function<void(int)> exitFunction);
    // Forgets the shared application and the termination state (tests).
    static void resetForTesting();
};

// What applicationShouldTerminate: answers.
enum : unsigned long { NSTerminateCancel = 0, NSTerminateNow = 1 };

} // namespace platform::appkit
