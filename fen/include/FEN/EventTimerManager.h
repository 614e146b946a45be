#pragma once
// All periodic work runs on event timers: subscriptions of event targets to
// one master timer. On each master tick every subscription is counted down
// and the targets whose interval has elapsed receive TimerTick (code 2)
// with a TimerEventData.
//
// The manager belongs to the application object and is reached process-wide
// through the singleton pointer, which EventTarget::setEventTimer and
// killEventTimer use. Main thread only; a target may subscribe or kill
// (itself or others) inside its TimerTick, and a tick may nest inside a
// delivery that runs an event loop.
#include "FEN/AbstractEventTimerManagerOsBridge.h"
#include "FEN/DETAIL/EventTimerSubscription.h"
#include "FEN/Forward.h"

#include <chrono>
#include <functional>
#include <memory>

namespace CV {
namespace FEN {

class EventTimerManager {
public:
    static constexpr unsigned kDefaultMasterPeriodMs = 40;

    using BridgeFactory = std::function<std::unique_ptr<AbstractEventTimerManagerOsBridge>(EventTimerManager&)>;

    // With the platform's timer bridge.
    EventTimerManager();
    // With a bridge of the caller's making (tests).
    explicit EventTimerManager(BridgeFactory const& makeBridge);
    // Stops the platform timer, clears the singleton and frees the remaining
    // subscriptions without telling their targets.
    ~EventTimerManager();
    EventTimerManager(EventTimerManager const&) = delete;
    EventTimerManager& operator=(EventTimerManager const&) = delete;

    static EventTimerManager* getSingleton();
    static void setSingleton(EventTimerManager* manager);

    // intervalMs rounded to the nearest multiple of the master period (at
    // least one period); equal priorities keep the order of subscription.
    HEventTimer subscribe(EventTarget* target, int intervalMs, int priority);
    // false unless timer is a live subscription of target.
    bool unsubscribe(EventTarget* target, HEventTimer timer);
    // Whether timer is a live subscription (not killed).
    bool isLive(HEventTimer timer) const;

    unsigned getMasterTimerTimeout() const { return m_masterPeriodMs; }
    // Ignored for 0 and while any subscription exists.
    void setMasterTimerTimeout(unsigned ms);

    // One master tick.
    void notifySubscribers();

    std::chrono::system_clock::time_point getLastTickTime() const { return m_lastTick; }
    // The interval a subscription of intervalMs gets with the current period.
    int roundInterval(int intervalMs) const;

private:
    void insert(DETAIL::EventTimerSubscription* record);
    void unlinkAndFree(DETAIL::EventTimerSubscription* record);
    void tick(DETAIL::EventTimerSubscription* record);

    std::unique_ptr<AbstractEventTimerManagerOsBridge> m_bridge;
    unsigned m_masterPeriodMs = kDefaultMasterPeriodMs;
    std::chrono::system_clock::time_point m_lastTick;
    DETAIL::EventTimerSubscription* m_first = nullptr;
    DETAIL::EventTimerSubscription* m_last = nullptr;
};

extern EventTimerManager* gEventTimerManagerSingleton;

} // namespace FEN
} // namespace CV
