#pragma once
// System sleep and wake (logind's PrepareForSleep over GDBus on the
// desktop; scripted headless).
#include <functional>

namespace platform::peer {

class PowerClient {
public:
    virtual ~PowerClient() = default;
    // The system is about to sleep; the client answers once, now or later,
    // with PowerPeer::allowSleep (holding up sleep only for a short while).
    virtual void systemWillSleep() = 0;
    virtual void systemDidWake() = 0;
};

class PowerPeer {
public:
    virtual ~PowerPeer() = default;
    // Null stops the notifications.
    virtual void setClient(PowerClient* client) = 0;
    // The answer to systemWillSleep: whether the client lets the system
    // sleep now (false asks to cancel, where the system allows it).
    virtual void allowSleep(bool allow) = 0;
};

} // namespace platform::peer
