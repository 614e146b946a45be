#pragma once
// The platform side of the event timers: one platform timer that ticks at
// the master period while any subscription exists.
#include <chrono>

namespace CV {
namespace FEN {

class EventTimerManager;

class AbstractEventTimerManagerOsBridge {
public:
    explicit AbstractEventTimerManagerOsBridge(EventTimerManager& manager)
        : m_manager(manager)
    {
    }
    AbstractEventTimerManagerOsBridge(AbstractEventTimerManagerOsBridge const&) = delete;
    AbstractEventTimerManagerOsBridge& operator=(AbstractEventTimerManagerOsBridge const&) = delete;
    virtual ~AbstractEventTimerManagerOsBridge() = default;

    // Starts ticking at period (nothing when already ticking).
    virtual void install(std::chrono::milliseconds period) = 0;
    virtual void deinstall() = 0;

    // One tick: the manager's notifySubscribers.
    void notifySubscribers();

protected:
    EventTimerManager& m_manager;
};

} // namespace FEN
} // namespace CV
