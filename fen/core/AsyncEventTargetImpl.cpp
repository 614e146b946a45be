#include "FEN/AsyncEventTargetImpl.h"

#include "FEN/COCOA/AsyncNotificationDispatcher.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"

namespace CV {
namespace FEN {

std::recursive_mutex AsyncEventTargetImpl::s_mutex;
std::map<unsigned, EventTarget*> AsyncEventTargetImpl::s_targets;
unsigned AsyncEventTargetImpl::s_nextHandle = 1;

bool AsyncEventTargetImpl::init(bool noDispatcher)
{
    if (!noDispatcher && !COCOA::AsyncNotificationDispatcher::isStarted())
        COCOA::AsyncNotificationDispatcher::start();
    return true;
}

void AsyncEventTargetImpl::deInit()
{
    COCOA::AsyncNotificationDispatcher::stop();
}

bool AsyncEventTargetImpl::dispatchEvent(unsigned code, unsigned handle)
{
    // Held during the delivery: a target may use the table from its handler.
    std::lock_guard<std::recursive_mutex> lock(s_mutex);
    auto found = s_targets.find(handle);
    if (found == s_targets.end())
        return false;
    EventData scratch;
    return found->second->sendEvent(code, &scratch);
}

unsigned AsyncEventTargetImpl::registerTarget(EventTarget* target)
{
    if (target == nullptr)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(s_mutex);
    unsigned handle = s_nextHandle++;
    if (s_nextHandle == 0)
        s_nextHandle = 1;
    s_targets[handle] = target;
    return handle;
}

bool AsyncEventTargetImpl::unregisterTarget(unsigned handle)
{
    std::lock_guard<std::recursive_mutex> lock(s_mutex);
    return s_targets.erase(handle) > 0;
}

} // namespace FEN
} // namespace CV
