#pragma once
// The platform side of asynchronous events: the run-time classes
// "ComCalvarineAsyncNotification" (carrier of one event: "theCode",
// "theDest", "initWithCode:andDest:") and
// "ComCalvarineAsyncNotificationDispatcher" (observer of the notification
// named after it, "receiveEvent:", and "dispatchEvent:" on the main
// thread), both registered at static initialisation.
#include <objc/runtime.h>

#include <string>

namespace CV {
namespace FEN {
namespace COCOA {

class AsyncNotificationDispatcher {
public:
    // Creates the dispatcher object and observes the notification.
    static void start();
    // Stops observing and releases the dispatcher object.
    static void stop();
    // Readable from any thread.
    static bool isStarted();

    static Class notificationClass();
    static Class dispatcherClass();
    // The dispatcher class's name followed by "Notification".
    static std::string notificationName();

    AsyncNotificationDispatcher() = delete;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
