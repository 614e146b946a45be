#include "platform/runloop/MainLoop.h"

#include "platform/objc/AutoreleasePool.h"

#include <glib.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

namespace platform {

namespace {

// Static initialisation runs on the thread that started the program.
__attribute__((init_priority(101))) const std::thread::id s_mainThread = std::this_thread::get_id();

constexpr MainLoop::Duration kShortestRepeat = std::chrono::microseconds(100);

void requireMainThread(const char* operation)
{
    if (!MainLoop::isMainThread()) {
        std::fprintf(stderr, "MainLoop::%s called outside the main thread\n", operation);
        std::abort();
    }
}

void runInPool(const MainLoop::Callback& callback)
{
    objc::AutoreleasePool pool;
    callback();
}

// Milliseconds from now until when, rounded up so that the wait never ends
// before the time; for GLib's poll timeout.
int millisecondsUntil(Clock::TimePoint now, Clock::TimePoint when)
{
    if (when <= now)
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

} // namespace

struct MainLoop::Timer {
    TimerId id;
    Clock::TimePoint due;
    Duration interval;
    bool repeats;
    RunLoopModes modes;
    std::shared_ptr<const Callback> callback;
};

// The GLib source that fires the loop's timers: ready when a timer of the
// current mode is due; otherwise it bounds the poll by the next timer or
// the nearest deadline of a running runUntil.
struct TimerSource {
    GSource base;
    MainLoop* loop;

    static gboolean prepare(GSource* source, gint* timeout)
    {
        MainLoop& loop = *reinterpret_cast<TimerSource*>(source)->loop;
        const RunLoopMode mode = loop.currentMode();
        const Clock::TimePoint now = loop.now();
        const std::optional<Clock::TimePoint> due = loop.nextDue(mode);
        if (due && *due <= now)
            return TRUE;
        const std::optional<Clock::TimePoint> wake = loop.nextWake(mode);
        *timeout = wake && !loop.clock().isVirtual() ? millisecondsUntil(now, *wake) : -1;
        return FALSE;
    }

    static gboolean check(GSource* source)
    {
        MainLoop& loop = *reinterpret_cast<TimerSource*>(source)->loop;
        const std::optional<Clock::TimePoint> due = loop.nextDue(loop.currentMode());
        return due && *due <= loop.now();
    }

    static gboolean dispatch(GSource* source, GSourceFunc, gpointer)
    {
        reinterpret_cast<TimerSource*>(source)->loop->fireDueTimers();
        return G_SOURCE_CONTINUE;
    }
};

namespace {

GSourceFuncs s_timerSourceFuncs = {
    &TimerSource::prepare, &TimerSource::check, &TimerSource::dispatch, nullptr, nullptr, nullptr};

} // namespace

MainLoop& MainLoop::instance()
{
    static MainLoop s_loop;
    return s_loop;
}

MainLoop::MainLoop()
    : m_clock(std::make_shared<SystemClock>())
{
    GSource* source = g_source_new(&s_timerSourceFuncs, sizeof(TimerSource));
    reinterpret_cast<TimerSource*>(source)->loop = this;
    // Timers fire inside nested runs started from a timer's callback.
    g_source_set_can_recurse(source, TRUE);
    g_source_attach(source, g_main_context_default());
    m_source = source;
}

bool MainLoop::isMainThread()
{
    return std::this_thread::get_id() == s_mainThread;
}

int MainLoop::onPosted(void* data)
{
    auto* loop = static_cast<MainLoop*>(data);
    Callback callback;
    {
        std::lock_guard<std::mutex> lock(loop->m_postedMutex);
        if (loop->m_posted.empty())
            return G_SOURCE_REMOVE;
        callback = std::move(loop->m_posted.front());
        loop->m_posted.pop_front();
    }
    runInPool(callback);
    return G_SOURCE_REMOVE;
}

void MainLoop::post(Callback callback)
{
    {
        std::lock_guard<std::mutex> lock(m_postedMutex);
        m_posted.push_back(std::move(callback));
    }
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, &MainLoop::onPosted, this, nullptr);
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
}

void MainLoop::performAndWait(const Callback& callback)
{
    if (isMainThread()) {
        runInPool(callback);
        return;
    }
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    post([&] {
        callback();
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        done.notify_one();
    });
    std::unique_lock<std::mutex> lock(mutex);
    done.wait(lock, [&] { return finished; });
}

void MainLoop::wakeUp()
{
    g_main_context_wakeup(g_main_context_default());
}

MainLoop::TimerId MainLoop::addTimer(Duration interval, bool repeats, Callback callback, RunLoopModes modes)
{
    if (interval < Duration::zero())
        interval = Duration::zero();
    if (repeats && interval < kShortestRepeat)
        interval = kShortestRepeat;
    TimerId id;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        id = m_nextTimer++;
        m_timers[id] = std::make_shared<Timer>(Timer{id, m_clock->now() + interval, interval, repeats, modes,
                                                     std::make_shared<const Callback>(std::move(callback))});
    }
    wakeUp();
    return id;
}

void MainLoop::cancelTimer(TimerId timer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timers.erase(timer);
}

bool MainLoop::hasTimer(TimerId timer) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timers.count(timer) != 0;
}

std::optional<Clock::TimePoint> MainLoop::nextFireTime(TimerId timer) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_timers.find(timer);
    if (it == m_timers.end())
        return std::nullopt;
    return it->second->due;
}

void MainLoop::fireSoon(TimerId timer)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_timers.find(timer);
        if (it == m_timers.end())
            return;
        it->second->due = std::min(it->second->due, m_clock->now());
    }
    wakeUp();
}

std::optional<Clock::TimePoint> MainLoop::nextDue(RunLoopMode mode) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<Clock::TimePoint> earliest;
    for (const auto& [id, timer] : m_timers)
        if (timer->modes.contains(mode) && (!earliest || timer->due < *earliest))
            earliest = timer->due;
    return earliest;
}

std::optional<Clock::TimePoint> MainLoop::nextWake(RunLoopMode mode) const
{
    std::optional<Clock::TimePoint> wake = nextDue(mode);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_deadlines.empty() && (!wake || *m_deadlines.begin() < *wake))
        wake = *m_deadlines.begin();
    return wake;
}

void MainLoop::fireDueTimers()
{
    // Each timer that is due now fires once, earliest first (ties in the
    // order they were made); what they schedule waits for the next round.
    const RunLoopMode mode = currentMode();
    std::vector<std::pair<Clock::TimePoint, TimerId>> due;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const Clock::TimePoint now = m_clock->now();
        for (const auto& [id, timer] : m_timers)
            if (timer->modes.contains(mode) && timer->due <= now)
                due.emplace_back(timer->due, id);
    }
    std::sort(due.begin(), due.end());
    for (const auto& [when, id] : due)
        fire(id);
}

void MainLoop::fire(TimerId id)
{
    std::shared_ptr<const Callback> callback;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_timers.find(id);
        if (it == m_timers.end()) // cancelled by an earlier callback
            return;
        Timer& timer = *it->second;
        callback = timer.callback;
        if (timer.repeats) {
            const Clock::TimePoint now = m_clock->now();
            timer.due += timer.interval;
            if (timer.due <= now)
                timer.due += ((now - timer.due) / timer.interval + 1) * timer.interval;
        } else {
            m_timers.erase(it);
        }
    }
    runInPool(*callback);
}

RunLoopMode MainLoop::currentMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_modes.empty() ? RunLoopMode::Default : m_modes.back();
}

MainLoop::ModeScope::ModeScope(RunLoopMode mode)
{
    requireMainThread("ModeScope");
    MainLoop& loop = instance();
    std::lock_guard<std::mutex> lock(loop.m_mutex);
    loop.m_modes.push_back(mode);
}

MainLoop::ModeScope::~ModeScope()
{
    MainLoop& loop = instance();
    std::lock_guard<std::mutex> lock(loop.m_mutex);
    loop.m_modes.pop_back();
}

std::shared_ptr<Clock> MainLoop::setClock(std::shared_ptr<Clock> clock)
{
    if (!clock)
        clock = std::make_shared<SystemClock>();
    std::shared_ptr<Clock> previous;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const Clock::TimePoint oldNow = m_clock->now();
        const Clock::TimePoint newNow = clock->now();
        for (auto& [id, timer] : m_timers)
            timer->due = newNow + (timer->due - oldNow);
        previous = std::exchange(m_clock, std::move(clock));
    }
    wakeUp();
    return previous;
}

Clock& MainLoop::clock() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return *m_clock;
}

Clock::TimePoint MainLoop::now() const
{
    return clock().now();
}

void MainLoop::advanceTime(Duration duration)
{
    requireMainThread("advanceTime");
    const Clock::TimePoint target = now() + duration;
    for (;;) {
        runPending();
        const std::optional<Clock::TimePoint> due = nextDue(currentMode());
        if (!due || *due > target)
            break;
        clock().advanceTo(*due);
    }
    clock().advanceTo(target);
    runPending();
}

void MainLoop::step(std::optional<Clock::TimePoint> deadline)
{
    // What handlers of this pass autorelease (toolkit events included, not
    // only our own timers and posted work) goes when the pass ends.
    objc::AutoreleasePool pool;
    GMainContext* context = g_main_context_default();
    if (!clock().isVirtual()) {
        g_main_context_iteration(context, TRUE);
        return;
    }
    // Virtual time: run what is ready; with nothing ready, move the clock
    // to the next timer of this mode (or the deadline) rather than wait.
    if (g_main_context_iteration(context, FALSE))
        return;
    std::optional<Clock::TimePoint> next = nextDue(currentMode());
    if (deadline && (!next || *deadline < *next))
        next = deadline;
    if (next)
        clock().advanceTo(*next);
    else
        g_main_context_iteration(context, TRUE); // only other threads can wake us
}

void MainLoop::run()
{
    requireMainThread("run");
    ModeScope scope(RunLoopMode::Default);
    m_quit = false;
    while (!m_quit)
        step(std::nullopt);
}

void MainLoop::quit()
{
    post([this] { m_quit = true; });
}

bool MainLoop::runUntil(const std::function<bool()>& done, Duration timeout, RunLoopMode mode)
{
    requireMainThread("runUntil");
    ModeScope scope(mode);
    const Clock::TimePoint deadline = now() + timeout;
    std::multiset<Clock::TimePoint>::iterator registered;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        registered = m_deadlines.insert(deadline);
    }
    bool result = done();
    while (!result && now() < deadline) {
        step(deadline);
        result = done();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deadlines.erase(registered);
    return result;
}

void MainLoop::runPending()
{
    requireMainThread("runPending");
    for (;;) {
        objc::AutoreleasePool pool;
        if (!g_main_context_iteration(g_main_context_default(), FALSE))
            break;
    }
}

} // namespace platform
