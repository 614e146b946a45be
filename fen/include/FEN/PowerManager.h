#pragma once
// System sleep and wake: the callbacks run on the main thread when the
// system is about to sleep and when it has woken up. A later power manager
// replaces the callbacks of an earlier one.
#include <functional>
#include <memory>

namespace platform {
class SystemPowerWatch;
}

namespace CV {
namespace FEN {

class PowerManager {
public:
    using Callback = std::function<void()>;

    PowerManager(Callback onSleep, Callback onWake);
    ~PowerManager();
    PowerManager(PowerManager const&) = delete;
    PowerManager& operator=(PowerManager const&) = delete;

    // Whether the platform reports sleep and wake to this process.
    bool isRegistered() const;
    bool isSleepAllowed() const { return m_bSleepAllowed; }

    // What the platform reports (also the tests' entry).
    static void onSystemWillSleep();
    static void onSystemHasPoweredOn();

private:
    std::unique_ptr<platform::SystemPowerWatch> m_watch;
    bool m_bSleepAllowed = true;
};

} // namespace FEN
} // namespace CV
