#include "FEN/PowerManager.h"

#include "platform/power/SystemPowerWatch.h"

namespace CV {
namespace FEN {

namespace {

// The callbacks of the latest power manager.
PowerManager::Callback s_onSleep;
PowerManager::Callback s_onWake;
const PowerManager* s_owner = nullptr;

} // namespace

PowerManager::PowerManager(Callback onSleep, Callback onWake)
{
    s_onSleep = std::move(onSleep);
    s_onWake = std::move(onWake);
    s_owner = this;
    m_watch = std::make_unique<platform::SystemPowerWatch>([](bool sleeping) {
        if (sleeping)
            onSystemWillSleep();
        else
            onSystemHasPoweredOn();
    });
}

PowerManager::~PowerManager()
{
    m_watch.reset();
    // The callbacks may reach the object that made this manager.
    if (s_owner == this) {
        s_onSleep = nullptr;
        s_onWake = nullptr;
        s_owner = nullptr;
    }
}

bool PowerManager::isRegistered() const
{
    return m_watch && m_watch->isActive();
}

void PowerManager::onSystemWillSleep()
{
    if (s_onSleep)
        s_onSleep();
}

void PowerManager::onSystemHasPoweredOn()
{
    if (s_onWake)
        s_onWake();
}

} // namespace FEN
} // namespace CV
