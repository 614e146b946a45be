#pragma once
// System sleep and wake: the callbacks run on the main thread when the
// system is about to sleep and when it has woken up; the platform is then
// told whether sleep is allowed (always, in this system). A later power
// manager replaces the callbacks of an earlier one.
#include "platform/peer/PowerPeer.h"

#include <functional>

namespace CV {
namespace FEN {

class PowerManager : private platform::peer::PowerClient {
public:
    using Callback = std::function<void()>;

    PowerManager(Callback onSleep, Callback onWake);
    ~PowerManager() override;
    PowerManager(PowerManager const&) = delete;
    PowerManager& operator=(PowerManager const&) = delete;

    bool isSleepAllowed() const { return m_bSleepAllowed; }

    // What the platform reports.
    static void onSystemWillSleep();
    static void onSystemHasPoweredOn();

private:
    void systemWillSleep() override;
    void systemDidWake() override;

    bool m_bSleepAllowed = true;
};

} // namespace FEN
} // namespace CV
