#pragma once
// The platform's requests to terminate that come as signals: SIGTERM (the
// session ends, or kill), SIGINT (Ctrl+C in the terminal that started the
// program) and SIGHUP (that terminal closed).
//
// Once installed, each of them reaches the callback on the main loop, in
// whatever mode it runs, through GLib's Unix signal sources: nothing runs
// inside the signal handler itself. The sources stay for the rest of the
// process, so no further signal of the three ends it by itself.
#include <functional>

namespace platform {

class TerminationSignals {
public:
    using Callback = std::function<void(int signalNumber)>;

    // Replaces the callback of an earlier install (main thread).
    static void install(Callback callback);
    // Removes the sources; the signals end the process again (tests).
    static void uninstall();

    TerminationSignals() = delete;
};

} // namespace platform
