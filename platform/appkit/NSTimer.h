#pragma once
// Timers and the main thread's run loop:
//
//   "NSTimer": timerWithTimeInterval:target:selector:userInfo:repeats:
//   (not scheduled yet), scheduledTimerWithTimeInterval:... (scheduled in
//   the default mode); invalidate, isValid, fire, timeInterval, userInfo.
//   A timer retains its target and user info until it is invalidated; a
//   scheduled timer is retained by the run loop until then. The action is
//   sent as [target selector:timer]; a one-shot timer invalidates itself
//   after firing.
//
//   "NSRunLoop": currentRunLoop / mainRunLoop (the main loop; there is no
//   run loop of other threads), addTimer:forMode:, currentMode.
//
// Mode names are the platform strings below; the common modes are every
// mode, so a timer in them also fires inside modal panels and event
// tracking.
#include "platform/cf/CFString.h"
#include "platform/runloop/RunLoopMode.h"

#include <objc/runtime.h>

extern const CFStringRef NSDefaultRunLoopMode;
extern const CFStringRef NSRunLoopCommonModes;
extern const CFStringRef NSModalPanelRunLoopMode;
extern const CFStringRef NSEventTrackingRunLoopMode;

namespace platform::appkit {

class NSTimer {
public:
    static Class timerClass();
    static Class runLoopClass();
    // The modes a mode name stands for; the default mode for unknown names.
    static RunLoopModes modesNamed(CFStringRef name);
};

} // namespace platform::appkit
