#pragma once
// The base of everything that receives events: the application, windows,
// widgets. An event is a code (EventCodes.h) and a pointer to the payload
// record that the code designates (EventData.h); the sender owns the
// payload, which lives only for the duration of the call.
//
// sendEvent and onEvent answer whether a receiver handled the event; false
// lets the caller go on (bubble, try the next receiver, or leave the
// platform its default).
#include "FEN/Forward.h"

namespace CV {
namespace FEN {

class EventTarget {
public:
    EventTarget() = default;
    EventTarget(EventTarget const&) = delete;
    EventTarget& operator=(EventTarget const&) = delete;
    virtual ~EventTarget();

    // Delivers one event: onEvent's answer.
    virtual bool sendEvent(unsigned code, EventData* data);
    // Tells this target about an event whose real receiver is another one.
    virtual void sendObserverEvent(unsigned code, EventData* data);
    virtual bool onEvent(unsigned code, EventData* data);
    virtual void onObserverEvent(unsigned code, EventData* data);

    // Subscribes this target to the master timer: TimerTick every
    // intervalMs (rounded to the master period), higher priorities served
    // first. Null while no application (and so no timer manager) exists.
    HEventTimer setEventTimer(int intervalMs, int priority);
    // Ends one of this target's subscriptions; false for a null handle, a
    // handle that is not a live subscription of this target, or no manager.
    bool killEventTimer(HEventTimer timer);
};

} // namespace FEN
} // namespace CV
