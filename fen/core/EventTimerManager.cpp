#include "FEN/EventTimerManager.h"

#include "FEN/COCOA/EventTimerManagerMacosBridge.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"

namespace CV {
namespace FEN {

using DETAIL::EventTimerSubscription;

EventTimerManager* gEventTimerManagerSingleton = nullptr;

void AbstractEventTimerManagerOsBridge::notifySubscribers()
{
    m_manager.notifySubscribers();
}

EventTimerManager::EventTimerManager()
    : EventTimerManager(
          [](EventTimerManager& manager) { return std::make_unique<COCOA::EventTimerManagerMacosBridge>(manager); })
{
}

EventTimerManager::EventTimerManager(BridgeFactory const& makeBridge)
{
    m_bridge = makeBridge(*this);
    setSingleton(this);
}

EventTimerManager::~EventTimerManager()
{
    if (m_first != nullptr && m_bridge)
        m_bridge->deinstall();
    if (gEventTimerManagerSingleton == this)
        setSingleton(nullptr);
    while (m_first != nullptr) {
        EventTimerSubscription* next = m_first->next;
        delete m_first;
        m_first = next;
    }
    m_last = nullptr;
    m_bridge.reset();
}

EventTimerManager* EventTimerManager::getSingleton()
{
    return gEventTimerManagerSingleton;
}

void EventTimerManager::setSingleton(EventTimerManager* manager)
{
    gEventTimerManagerSingleton = manager;
}

int EventTimerManager::roundInterval(int intervalMs) const
{
    const int master = int(m_masterPeriodMs);
    if (intervalMs <= master)
        return master;
    const int rest = intervalMs % master;
    return intervalMs - rest + (rest > master / 2 ? master : 0);
}

HEventTimer EventTimerManager::subscribe(EventTarget* target, int intervalMs, int priority)
{
    auto* record = new EventTimerSubscription;
    record->interval = roundInterval(intervalMs);
    record->countdown = record->interval;
    record->priority = priority;
    record->target = target;
    const bool wasEmpty = m_first == nullptr;
    insert(record);
    if (wasEmpty && m_bridge)
        m_bridge->install(std::chrono::milliseconds(m_masterPeriodMs));
    return record;
}

void EventTimerManager::insert(EventTimerSubscription* record)
{
    EventTimerSubscription* before = m_first;
    while (before != nullptr && before->priority >= record->priority)
        before = before->next;
    record->next = before;
    record->previous = before != nullptr ? before->previous : m_last;
    if (record->previous != nullptr)
        record->previous->next = record;
    else
        m_first = record;
    if (before != nullptr)
        before->previous = record;
    else
        m_last = record;
}

bool EventTimerManager::isLive(HEventTimer timer) const
{
    if (timer == nullptr)
        return false;
    for (const EventTimerSubscription* record = m_first; record != nullptr; record = record->next)
        if (record == timer)
            return !record->deleted;
    return false;
}

bool EventTimerManager::unsubscribe(EventTarget* target, HEventTimer timer)
{
    // Only handles found in the list are read: a stale one may point to
    // freed memory.
    if (!isLive(timer) || timer->target != target)
        return false;
    if (timer->busy > 0) {
        timer->deleted = true;
        return true;
    }
    unlinkAndFree(timer);
    return true;
}

void EventTimerManager::unlinkAndFree(EventTimerSubscription* record)
{
    if (record->previous != nullptr)
        record->previous->next = record->next;
    else
        m_first = record->next;
    if (record->next != nullptr)
        record->next->previous = record->previous;
    else
        m_last = record->previous;
    delete record;
    if (m_first == nullptr && m_bridge)
        m_bridge->deinstall();
}

void EventTimerManager::setMasterTimerTimeout(unsigned ms)
{
    if (ms == 0 || m_first != nullptr)
        return;
    m_masterPeriodMs = ms;
}

void EventTimerManager::notifySubscribers()
{
    m_lastTick = std::chrono::system_clock::now();
    EventTimerSubscription* record = m_first;
    while (record != nullptr) {
        ++record->busy;
        tick(record);
        --record->busy;
        // Read after the delivery: records inserted behind this one during
        // it take part in this pass.
        EventTimerSubscription* next = record->next;
        if (record->deleted && record->busy == 0)
            unlinkAndFree(record);
        record = next;
    }
}

void EventTimerManager::tick(EventTimerSubscription* record)
{
    if (record->deleted)
        return;
    const int master = int(m_masterPeriodMs);
    record->countdown -= master;
    if (record->countdown > 0)
        return;
    if (-2 * record->countdown > master) {
        // Too late for this tick: skip it.
        record->countdown += record->interval;
        if (record->countdown == 0)
            record->countdown = record->interval;
        return;
    }
    record->countdown = record->interval;
    TimerEventData data;
    data.timer = record;
    data.interval = record->interval;
    if (record->target != nullptr)
        record->target->sendEvent(eTimerEvent::TimerTick, &data);
}

} // namespace FEN
} // namespace CV
