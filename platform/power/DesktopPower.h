#pragma once
// System sleep and wake on the desktop: logind's PrepareForSleep signal
// turned into the power client's calls, watched while a client is set.
#include "platform/peer/PowerPeer.h"
#include "platform/power/SystemPowerWatch.h"

#include <memory>

namespace platform {

class DesktopPower : public peer::PowerPeer {
public:
    explicit DesktopPower(SystemPowerWatch::Bus bus = SystemPowerWatch::Bus::System)
        : m_bus(bus)
    {
    }

    void setClient(peer::PowerClient* client) override;
    // logind lets only holders of an inhibitor lock delay or refuse sleep;
    // the updater takes none, so the answer changes nothing.
    void allowSleep(bool) override { }

private:
    void report(bool sleeping);

    SystemPowerWatch::Bus m_bus;
    peer::PowerClient* m_client = nullptr;
    std::unique_ptr<SystemPowerWatch> m_watch;
};

} // namespace platform
