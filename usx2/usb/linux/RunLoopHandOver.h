#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace CV {
namespace USX2 {

// Where armed device notifications are delivered: the run loop of the thread
// that started the scan. This platform has one run loop, the main thread's
// (platform::MainLoop), so work handed over from any thread runs there.
class RunLoopHandOver {
public:
    using Work = std::function<void()>;
    using TimerId = std::uint64_t;

    // Queues work for the run loop; callable from any thread.
    static void post(Work work);
    // Runs work once on the run loop after `delay` of the loop's clock; 0 is
    // never a valid id. Callable from any thread.
    static TimerId runAfter(std::chrono::nanoseconds delay, Work work);
    // Unknown or finished ids are ignored.
    static void cancel(TimerId timer);

    RunLoopHandOver() = delete;
};

} // namespace USX2
} // namespace CV
