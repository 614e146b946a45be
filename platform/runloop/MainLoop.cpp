#include "platform/runloop/MainLoop.h"

#include "platform/objc/AutoreleasePool.h"

#include <glib.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace platform {

namespace {

// Static initialisation runs on the thread that started the program.
__attribute__((init_priority(101))) const std::thread::id s_mainThread = std::this_thread::get_id();

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

} // namespace

struct MainLoop::Timer {
    MainLoop* loop;
    TimerId id;
    bool repeats;
    Callback callback;
    guint sourceId = 0;
};

MainLoop& MainLoop::instance()
{
    static MainLoop s_loop;
    return s_loop;
}

MainLoop::MainLoop() = default;

bool MainLoop::isMainThread()
{
    return std::this_thread::get_id() == s_mainThread;
}

int MainLoop::onPosted(void* data)
{
    auto* callback = static_cast<Callback*>(data);
    runInPool(*callback);
    delete callback;
    return G_SOURCE_REMOVE;
}

void MainLoop::post(Callback callback)
{
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, &MainLoop::onPosted, new Callback(std::move(callback)), nullptr);
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

int MainLoop::onTimer(void* data)
{
    auto* timer = static_cast<Timer*>(data);
    MainLoop* loop = timer->loop;
    const TimerId id = timer->id;
    const bool repeats = timer->repeats;
    // The callback may cancel this timer (or others); copy it first.
    const Callback callback = timer->callback;
    if (!repeats)
        loop->forgetTimer(id);
    runInPool(callback);
    if (!repeats)
        return G_SOURCE_REMOVE;
    std::lock_guard<std::mutex> lock(loop->m_mutex);
    return loop->m_timers.count(id) ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

MainLoop::TimerId MainLoop::addTimer(std::chrono::milliseconds interval, bool repeats, Callback callback)
{
    auto* timer = new Timer{this, 0, repeats, std::move(callback)};
    std::lock_guard<std::mutex> lock(m_mutex);
    timer->id = m_nextTimer++;
    const guint ms = interval.count() < 0 ? 0 : static_cast<guint>(interval.count());
    GSource* source = g_timeout_source_new(ms);
    g_source_set_callback(source, &MainLoop::onTimer, timer, [](void* data) { delete static_cast<Timer*>(data); });
    timer->sourceId = g_source_attach(source, g_main_context_default());
    g_source_unref(source);
    m_timers[timer->id] = timer;
    return timer->id;
}

void MainLoop::forgetTimer(TimerId timer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timers.erase(timer);
}

void MainLoop::cancelTimer(TimerId timer)
{
    guint sourceId = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_timers.find(timer);
        if (it == m_timers.end())
            return;
        sourceId = it->second->sourceId;
        m_timers.erase(it);
    }
    // Destroying the source frees the timer record through its destroy notify.
    if (GSource* source = g_main_context_find_source_by_id(g_main_context_default(), sourceId))
        g_source_destroy(source);
}

bool MainLoop::hasTimer(TimerId timer) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timers.count(timer) != 0;
}

void MainLoop::run()
{
    requireMainThread("run");
    m_quit = false;
    while (!m_quit)
        g_main_context_iteration(g_main_context_default(), TRUE);
}

void MainLoop::quit()
{
    post([this] { m_quit = true; });
}

bool MainLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    requireMainThread("runUntil");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // A wake-up timer keeps the blocking iteration from outliving the deadline.
    const TimerId wakeUp = addTimer(std::chrono::milliseconds(10), true, [] {});
    bool result = done();
    while (!result && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(g_main_context_default(), TRUE);
        result = done();
    }
    cancelTimer(wakeUp);
    return result;
}

void MainLoop::runPending()
{
    requireMainThread("runPending");
    while (g_main_context_iteration(g_main_context_default(), FALSE)) {
    }
}

} // namespace platform
