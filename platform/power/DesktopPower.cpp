#include "platform/power/DesktopPower.h"

namespace platform {

void DesktopPower::setClient(peer::PowerClient* client)
{
    m_client = client;
    if (client == nullptr)
        m_watch.reset();
    else if (!m_watch)
        m_watch = std::make_unique<SystemPowerWatch>([this](bool sleeping) { report(sleeping); }, m_bus);
}

void DesktopPower::report(bool sleeping)
{
    if (m_client == nullptr)
        return;
    if (sleeping)
        m_client->systemWillSleep();
    else
        m_client->systemDidWake();
}

} // namespace platform
