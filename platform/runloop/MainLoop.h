#pragma once
// The process's main run loop: GLib's default main context, run on the
// main thread (the thread that started the program). Windows of the
// desktop backend run on the same context; a headless process uses it
// without them.
//
// Every callback runs on the main thread inside its own autorelease pool.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace platform {

class MainLoop {
public:
    using Callback = std::function<void()>;
    using TimerId = std::uint64_t;

    static MainLoop& instance();

    // Whether the calling thread is the main thread.
    static bool isMainThread();

    // Queues work for the main thread; callable from any thread. Queued
    // callbacks run in the order they were posted.
    void post(Callback callback);
    // Runs the callback on the main thread and waits for it; runs it at
    // once when called on the main thread.
    void performAndWait(const Callback& callback);

    // A timer on the main loop: fires after interval (again and again when
    // repeats). Callable from any thread; 0 is never a valid id.
    TimerId addTimer(std::chrono::milliseconds interval, bool repeats, Callback callback);
    // Stops a timer; unknown or finished ids are ignored. A timer cancelled
    // from another thread may still fire once if it is firing right now.
    void cancelTimer(TimerId timer);
    bool hasTimer(TimerId timer) const;

    // Runs until quit() (main thread).
    void run();
    // Makes run() return; callable from any thread.
    void quit();
    // Runs the loop until done() is true or timeout passes; true when
    // done() became true (main thread; for modal waits and tests).
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs whatever is ready without blocking (main thread).
    void runPending();

private:
    MainLoop();
    struct Timer;
    static int onTimer(void* data);
    static int onPosted(void* data);
    void forgetTimer(TimerId timer);

    mutable std::mutex m_mutex;
    std::map<TimerId, Timer*> m_timers;
    TimerId m_nextTimer = 1;
    bool m_quit = false;
};

} // namespace platform
