#pragma once
// The platform's timer bridge: an object of the run-time class
// "ComCalvarineCocoaNSTimerCallback" (registered at static initialisation)
// owns a one-shot platform timer in all run-loop modes and re-arms it on
// every tick before the subscribers run, so a tick that outlasts the
// period does not pile up a backlog.
#include "FEN/AbstractEventTimerManagerOsBridge.h"

#include <objc/runtime.h>

namespace CV {
namespace FEN {
namespace COCOA {

class EventTimerManagerMacosBridge : public AbstractEventTimerManagerOsBridge {
public:
    explicit EventTimerManagerMacosBridge(EventTimerManager& manager);
    ~EventTimerManagerMacosBridge() override;

    void install(std::chrono::milliseconds period) override;
    void deinstall() override;

    // The timer-callback object; nil while not installed.
    id getTimerObject() const { return m_timerObject; }
    static Class timerCallbackClass();

private:
    id m_timerObject = nil;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
