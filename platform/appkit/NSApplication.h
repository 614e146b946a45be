#pragma once
// The process's application object, "NSApplication" (superclass
// "NSResponder"):
//
//   +sharedApplication: the one instance, made on the first call as an
//   instance of the receiving class (a subclass asked first makes a
//   subclass instance); it becomes the receiver of menu actions sent to a
//   nil target. setDelegate: / delegate (not retained).
//   -run: sends the delegate applicationWillFinishLaunching: and
//   applicationDidFinishLaunching:, then activates the application as a
//   launch by the user does (unless one of its windows is key already, its
//   front window becomes key: the desktop is asked to focus it, with the
//   launch's startup notification) and runs the main loop until stop:.
//   -terminate: asks the delegate applicationShouldTerminate: (1 now, 0
//   cancel); on 1 sends applicationWillTerminate: and ends the process with
//   status 0. It works before run as well (a failed start-up), and once the
//   termination has begun a further terminate: does nothing and no event
//   reaches a window any more (the main loop may still run while the
//   delegate finishes its work).
//   -setMainMenu: / mainMenu (the main menu goes to the backend's menu
//   bar), keyWindow, mainWindow, currentEvent, isRunning, stop:.
//   -sendEvent: runs the local event monitors, offers a key with Command
//   or Control held to the key window's performKeyEquivalent: and the main
//   menu's key equivalents, then hands the event to its window's
//   sendEvent:. While a modal window runs, events of other windows (except
//   panels that work when modal) are dropped.
//   -runModalForWindow: shows the window and runs the main loop in the
//   modal-panel mode until stopModal, stopModalWithCode: or abortModal;
//   modalWindow.
//   -hide:, unhide:, unhideAllApplications: (order the windows out and
//   in), isHidden; hideOtherApplications:, setAppleMenu:, setWindowsMenu:,
//   setServicesMenu: (nothing); activateIgnoringOtherApps: (the key window,
//   else the first shown window that can become key, is brought to the
//   front and the desktop asked to focus it); isActive (a window is key).
//   The delegate hears applicationDidBecomeActive: when one of the windows
//   takes the keyboard focus while none had it, and
//   applicationDidResignActive: when the focus has left them all; both once
//   the main loop is idle, so the focus passing between the application's
//   own windows tells nothing. Between applicationWillFinishLaunching: and
//   applicationDidFinishLaunching:, each document of the launch arguments
//   goes to application:openFile: once, as an absolute path.
//
// "NSUserDefaults": +standardUserDefaults, -registerDefaults: (accepted;
// nothing is stored).
#include <functional>
#include <objc/runtime.h>
#include <string>

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
    // Whether terminate: has been answered with terminate now.
    static bool isTerminating();
    // The launch arguments after the backend took its own: every argument
    // that is not an option names a document. Options start with '-' ("-"
    // alone is not one) and end at "--".
    static void setLaunchArguments(int argc, char** argv);
    // Activates the application as activateIgnoringOtherApps: does, for a
    // launch of the program that found this process running: startupId is
    // that launch's startup notification (completed; empty when none). When
    // no window is shown, a minimised one is restored and takes the focus.
    static void activateForLaunch(const std::string& startupId);
    // A window took or lost the keyboard focus.
    static void keyWindowChanged();
    // Forgets the shared application and the termination state (tests).
    static void resetForTesting();
};

// What applicationShouldTerminate: answers.
enum : unsigned long { NSTerminateCancel = 0, NSTerminateNow = 1 };

// What runModalForWindow: returns.
enum : long {
    NSModalResponseStop = -1000,
    NSModalResponseAbort = -1001,
};

} // namespace platform::appkit
