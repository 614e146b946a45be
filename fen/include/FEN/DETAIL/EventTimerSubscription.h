#pragma once
// One subscription of an event target to the master timer; HEventTimer
// points to it. The list is doubly linked and ordered by descending
// priority.
#include "FEN/Forward.h"

#include <cstdint>

namespace CV {
namespace FEN {
namespace DETAIL {

class EventTimerSubscription {
public:
    EventTimerSubscription* previous = nullptr;
    EventTimerSubscription* next = nullptr;
    int32_t interval = 0; // a whole multiple of the master period
    int32_t countdown = 0; // milliseconds to the next tick
    int32_t priority = 0;
    EventTarget* target = nullptr;
    int32_t busy = 0; // tick passes delivering to this record right now
    bool deleted = false; // killed while busy; freed when the last pass leaves
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
