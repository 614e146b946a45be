#pragma once
// The process's main run loop: GLib's default main context, run on the
// main thread (the thread that started the program). Windows of the
// desktop backend run on the same context; a headless process uses it
// without them.
//
// Timers are kept by the loop itself and read the loop's clock (a system
// clock unless one is injected). With a virtual clock nothing ever sleeps:
// advanceTime() fires the timers due in order, each at its own time, and a
// run that would wait for a timer moves the clock to it instead.
//
// The loop runs in a mode (RunLoopMode.h); nested runs push their mode and
// timers fire only in the modes they were scheduled for. Every callback
// runs on the main thread inside its own autorelease pool.
#include "platform/runloop/Clock.h"
#include "platform/runloop/RunLoopMode.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace platform {

class MainLoop {
public:
    using Callback = std::function<void()>;
    using TimerId = std::uint64_t;
    using Duration = Clock::Duration;

    static MainLoop& instance();

    // Whether the calling thread is the main thread.
    static bool isMainThread();

    // Queues work for the main thread; callable from any thread. Queued
    // callbacks run in the order they were posted, in every mode.
    void post(Callback callback);
    // Runs the callback on the main thread and waits for it; runs it at
    // once when called on the main thread.
    void performAndWait(const Callback& callback);

    // A timer on the main loop: fires after interval (again and again when
    // repeats, keeping its phase; missed periods are skipped) while the loop
    // runs in one of modes. Callable from any thread; 0 is never a valid id.
    // A repeating timer's interval is at least 0.1 ms.
    TimerId addTimer(Duration interval, bool repeats, Callback callback, RunLoopModes modes = RunLoopModes::all());
    // Stops a timer; unknown or finished ids are ignored. A timer cancelled
    // from another thread may still fire once if it is firing right now.
    void cancelTimer(TimerId timer);
    bool hasTimer(TimerId timer) const;
    // When the timer fires next; none for unknown ids.
    std::optional<Clock::TimePoint> nextFireTime(TimerId timer) const;
    // Makes the timer fire as soon as the loop runs in one of its modes.
    void fireSoon(TimerId timer);

    // Runs until quit() (main thread), in the default mode.
    void run();
    // Makes run() return; callable from any thread.
    void quit();
    // Runs the loop in mode until done() is true or timeout passes on the
    // loop's clock; true when done() became true (main thread; for modal
    // waits and tests). Waits for the next event or the deadline, whichever
    // comes first.
    bool runUntil(const std::function<bool()>& done, Duration timeout, RunLoopMode mode = RunLoopMode::Default);
    // Runs whatever is ready without blocking (main thread).
    void runPending();

    // The mode of the innermost run (the default mode outside any run).
    RunLoopMode currentMode() const;
    // Runs the code inside it in another mode (main thread), as a nested
    // loop that something else drives does (a toolkit's modal dialog).
    class ModeScope {
    public:
        explicit ModeScope(RunLoopMode mode);
        ~ModeScope();
        ModeScope(const ModeScope&) = delete;
        ModeScope& operator=(const ModeScope&) = delete;
    };

    // The clock the timers read. Replacing it keeps every timer's remaining
    // time. Returns the clock that was in use.
    std::shared_ptr<Clock> setClock(std::shared_ptr<Clock> clock);
    Clock& clock() const;
    Clock::TimePoint now() const;
    // With a virtual clock: moves time forward by duration, firing the
    // timers of the current mode that fall due, in order, each at its own
    // time, and running posted work in between (main thread).
    void advanceTime(Duration duration);

private:
    MainLoop();
    struct Timer;
    friend struct TimerSource;
    static int onPosted(void* data);

    std::optional<Clock::TimePoint> nextDue(RunLoopMode mode) const;
    std::optional<Clock::TimePoint> nextWake(RunLoopMode mode) const;
    void fireDueTimers();
    void fire(TimerId id);
    void step(std::optional<Clock::TimePoint> deadline);
    void wakeUp();

    mutable std::mutex m_mutex;
    std::map<TimerId, std::shared_ptr<Timer>> m_timers;
    TimerId m_nextTimer = 1;
    std::shared_ptr<Clock> m_clock;
    std::vector<RunLoopMode> m_modes;
    std::multiset<Clock::TimePoint> m_deadlines;
    void* m_source = nullptr; // the GSource that fires the timers
    bool m_quit = false;
    // Work posted for the main thread, handed over under a mutex of our own
    // (GLib's locks are invisible to the thread sanitizer); each posted item
    // has one idle source that runs the oldest waiting item.
    std::mutex m_postedMutex;
    std::deque<Callback> m_posted;
};

} // namespace platform
