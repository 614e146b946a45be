#pragma once
// Notification centres: observers are (object, selector) pairs registered
// for a notification name and/or a posting object. Posting is allowed from
// any thread; delivery always happens on the main loop, where each
// observer registered at delivery time receives
//   [observer selector:notification]
// Observers are not retained: remove an observer before it goes away.
#include "platform/cf/CFDictionary.h"

#include <objc/runtime.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class NotificationCenter {
public:
    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // The process's default centre.
    static NotificationCenter& defaultCenter();

    // name "" matches every name, object nil every poster.
    void addObserver(id observer, SEL selector, const std::string& name, id object);
    void removeObserver(id observer);
    void removeObserver(id observer, const std::string& name, id object);

    // Queues the notification for delivery on the main loop; object (an
    // object of the run time, or nil) and userInfo (or null) are retained
    // until then.
    void post(const std::string& name, id object, CFDictionaryRef userInfo);
    // Delivers at once on the calling thread (which must be the main thread).
    void postNow(const std::string& name, id object, CFDictionaryRef userInfo);

    std::size_t observerCount() const;

private:
    struct Registration {
        std::uint64_t serial;
        id observer;
        SEL selector;
        std::string name;
        id object;
    };
    bool isRegistered(std::uint64_t serial) const;

    mutable std::mutex m_mutex;
    std::vector<Registration> m_registrations;
    std::uint64_t m_nextSerial = 1;
    // Keeps pending deliveries from reaching a destroyed centre.
    std::shared_ptr<NotificationCenter*> m_self;
};

} // namespace platform
