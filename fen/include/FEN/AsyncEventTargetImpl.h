#pragma once
// Asynchronous events: code on any thread delivers an event code to a
// target on the main thread, naming the target by a handle. The code
// travels in a notification of the platform's default centre that the
// dispatcher (COCOA::AsyncNotificationDispatcher) forwards to the main
// thread, where dispatchEvent delivers it.
//
// Posting from any thread: create an instance of the notification class
// with "initWithCode:andDest:" (its one reference is the receiver's share)
// and post it as the object of a notification named
// COCOA::AsyncNotificationDispatcher::notificationName() to the default
// centre. The receiver releases that share exactly once, whether the event
// is delivered, dropped for an unknown handle or ignored because the
// dispatcher stopped.
#include "FEN/Forward.h"

#include <map>
#include <mutex>

namespace CV {
namespace FEN {

class AsyncEventTargetImpl {
public:
    // With false: starts the dispatcher; with true: does nothing. True.
    static bool init(bool noDispatcher);
    // Stops the dispatcher when it runs.
    static void deInit();

    // Delivers code to the target registered under handle (main thread);
    // false for an unknown handle, else the target's handled flag.
    static bool dispatchEvent(unsigned code, unsigned handle);

    // A new handle (never 0) naming target until it is unregistered.
    static unsigned registerTarget(EventTarget* target);
    // false when the handle was not registered.
    static bool unregisterTarget(unsigned handle);

    AsyncEventTargetImpl() = delete;

private:
    static std::recursive_mutex s_mutex;
    static std::map<unsigned, EventTarget*> s_targets;
    static unsigned s_nextHandle;
};

} // namespace FEN
} // namespace CV
