#pragma once

#include <chrono>

namespace CV {
namespace USX2 {

// Every wait of the USB layer goes through a sleeper. The system sleeper
// waits in real time; tests hand in a VirtualSleeper so that device
// protocols with long waits run in virtual time.
class Sleeper {
public:
    using Duration = std::chrono::milliseconds;

    virtual ~Sleeper() = default;

    virtual void sleepFor(Duration duration) = 0;

    // Monotonic time since an arbitrary origin.
    virtual Duration now() const = 0;

    // The process-wide real-time sleeper.
    static Sleeper& system();
};

} // namespace USX2
} // namespace CV
