#include "platform/notifications/NotificationCenter.h"

#include "platform/notifications/Notification.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>
#include <memory>

namespace platform {

NotificationCenter::NotificationCenter()
    : m_self(std::make_shared<NotificationCenter*>(this))
{
}

NotificationCenter::~NotificationCenter()
{
    *m_self = nullptr;
}

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter s_center;
    return s_center;
}

void NotificationCenter::addObserver(id observer, SEL selector, const std::string& name, id object)
{
    if (observer == nil || selector == nullptr)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registrations.push_back(Registration{m_nextSerial++, observer, selector, name, object});
}

void NotificationCenter::removeObserver(id observer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(),
                                         [&](const Registration& r) { return r.observer == observer; }),
                          m_registrations.end());
}

void NotificationCenter::removeObserver(id observer, const std::string& name, id object)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(),
                                         [&](const Registration& r) {
                                             return r.observer == observer && (name.empty() || r.name == name) &&
                                                 (object == nil || r.object == object);
                                         }),
                          m_registrations.end());
}

void NotificationCenter::post(const std::string& name, id object, CFDictionaryRef userInfo)
{
    // Object and user info stay alive until the notification is delivered.
    if (userInfo)
        CFRetain(userInfo);
    objc::NSObject::retain(object);
    std::weak_ptr<NotificationCenter*> center = m_self;
    MainLoop::instance().post([center, name, object, userInfo] {
        if (auto self = center.lock(); self && *self)
            (*self)->postNow(name, object, userInfo);
        objc::NSObject::release(object);
        if (userInfo)
            CFRelease(userInfo);
    });
}

void NotificationCenter::postNow(const std::string& name, id object, CFDictionaryRef userInfo)
{
    std::vector<Registration> matching;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Registration& r : m_registrations)
            if ((r.name.empty() || r.name == name) && (r.object == nil || r.object == object))
                matching.push_back(r);
    }
    if (matching.empty())
        return;
    id notification = Notification::create(name, object, userInfo);
    for (const Registration& r : matching)
        if (isRegistered(r.serial)) // an earlier observer may have removed it
            objc::send<void>(r.observer, r.selector, notification);
    objc::NSObject::release(notification);
}

bool NotificationCenter::isRegistered(std::uint64_t serial) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_registrations.begin(), m_registrations.end(),
                       [&](const Registration& r) { return r.serial == serial; });
}

std::size_t NotificationCenter::observerCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_registrations.size();
}

} // namespace platform
