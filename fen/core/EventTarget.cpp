#include "FEN/EventTarget.h"

#include "FEN/DragDropManager.h"
#include "FEN/EventTimerManager.h"

namespace CV {
namespace FEN {

EventTarget::~EventTarget()
{
    // No drag keeps pointing at a target that is gone.
    DragDropManager::forgetTarget(this);
}

bool EventTarget::sendEvent(unsigned code, EventData* data)
{
    return onEvent(code, data);
}

void EventTarget::sendObserverEvent(unsigned code, EventData* data)
{
    onObserverEvent(code, data);
}

bool EventTarget::onEvent(unsigned, EventData*)
{
    return false;
}

void EventTarget::onObserverEvent(unsigned, EventData*) { }

HEventTimer EventTarget::setEventTimer(int intervalMs, int priority)
{
    EventTimerManager* manager = EventTimerManager::getSingleton();
    return manager != nullptr ? manager->subscribe(this, intervalMs, priority) : nullptr;
}

bool EventTarget::killEventTimer(HEventTimer timer)
{
    EventTimerManager* manager = EventTimerManager::getSingleton();
    return manager != nullptr && manager->unsubscribe(this, timer);
}

} // namespace FEN
} // namespace CV
