#include "BAS/DeviceNotification.h"

#include "BAS/CVDeviceNotificationListener.h"

#include "platform/objc/NSObject.h"

#include <algorithm>

namespace CV {
namespace BAS {

std::recursive_mutex deviceNotificationListenerMutex;

bool DeviceNotification::m_bInit = false;
std::vector<DeviceNotificationListener*> DeviceNotification::m_collListeners;

bool DeviceNotification::init()
{
    if (!m_bInit) {
        initOS();
        m_bInit = true;
    }
    return true;
}

void DeviceNotification::deInit()
{
    if (!m_bInit)
        return;
    deInitOS();
    m_bInit = false;
}

bool DeviceNotification::isInitialized()
{
    return m_bInit;
}

void DeviceNotification::addListener(DeviceNotificationListener* listener)
{
    std::lock_guard<std::recursive_mutex> lock(deviceNotificationListenerMutex);
    m_collListeners.push_back(listener);
}

void DeviceNotification::removeListener(DeviceNotificationListener* listener)
{
    std::lock_guard<std::recursive_mutex> lock(deviceNotificationListenerMutex);
    const auto found = std::find(m_collListeners.begin(), m_collListeners.end(), listener);
    if (found != m_collListeners.end())
        m_collListeners.erase(found);
}

void DeviceNotification::onVolumeChanged(DeviceNotificationListener::eState state, std::string const& name)
{
    std::lock_guard<std::recursive_mutex> lock(deviceNotificationListenerMutex);
    // Over a copy: a listener that leaves during its call must not make the
    // next one be skipped, and one removed meanwhile is not called.
    const std::vector<DeviceNotificationListener*> snapshot = m_collListeners;
    for (DeviceNotificationListener* listener : snapshot) {
        const bool stillListening =
            std::find(m_collListeners.begin(), m_collListeners.end(), listener) != m_collListeners.end();
        if (stillListening && listener)
            listener->onVolumeChanged(state, name);
    }
}

bool DeviceNotification::initOS()
{
    Class observerClass = CVDeviceNotificationListener::theClass;
    CVDeviceNotificationListener::s_pNSListener =
        observerClass ? platform::objc::NSObject::allocInit(observerClass) : nil;
    return true;
}

void DeviceNotification::deInitOS()
{
    platform::objc::NSObject::release(CVDeviceNotificationListener::s_pNSListener);
    CVDeviceNotificationListener::s_pNSListener = nil;
}

} // namespace BAS
} // namespace CV
