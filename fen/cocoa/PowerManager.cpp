#include "FEN/PowerManager.h"

#include "platform/backend/Backend.h"

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
    platform::Backend::current().power().setClient(this);
}

PowerManager::~PowerManager()
{
    // The callbacks may reach the object that made this manager.
    if (s_owner != this)
        return;
    platform::Backend::current().power().setClient(nullptr);
    s_onSleep = nullptr;
    s_onWake = nullptr;
    s_owner = nullptr;
}

void PowerManager::systemWillSleep()
{
    onSystemWillSleep();
    platform::Backend::current().power().allowSleep(m_bSleepAllowed);
}

void PowerManager::systemDidWake()
{
    onSystemHasPoweredOn();
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
