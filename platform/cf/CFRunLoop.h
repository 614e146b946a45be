#pragma once
// Run-loop timers of the C interface over the main loop (one run loop: the
// main thread's). Absolute times are seconds on the main loop's clock (its
// monotonic time, virtual in tests), not wall-clock time.
//
// CFRunLoopTimerCreate makes a timer that fires at fireDate and then, with
// an interval above 0, every interval seconds; CFRunLoopAddTimer schedules
// it in a mode (the run loop keeps a reference until it is invalidated or
// removed); a timer without an interval is invalidated once it fired.
#include "platform/cf/CFString.h"
#include "platform/cf/CFType.h"

typedef double CFAbsoluteTime;
typedef double CFTimeInterval;

namespace platform::cf {
class RunLoopTimer;
} // namespace platform::cf

struct __CFRunLoop;
typedef struct __CFRunLoop* CFRunLoopRef;
typedef const platform::cf::RunLoopTimer* CFRunLoopTimerRef;
typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* info);

struct CFRunLoopTimerContext {
    CFIndex version;
    void* info;
    const void* (*retain)(const void* info);
    void (*release)(const void* info);
    CFStringRef (*copyDescription)(const void* info);
};

extern const CFStringRef kCFRunLoopDefaultMode;
extern const CFStringRef kCFRunLoopCommonModes;

CFAbsoluteTime CFAbsoluteTimeGetCurrent();
CFRunLoopRef CFRunLoopGetCurrent();
CFRunLoopRef CFRunLoopGetMain();

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef allocator, CFAbsoluteTime fireDate, CFTimeInterval interval,
                                       CFOptionFlags flags, CFIndex order, CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext* context);
void CFRunLoopAddTimer(CFRunLoopRef loop, CFRunLoopTimerRef timer, CFStringRef mode);
void CFRunLoopRemoveTimer(CFRunLoopRef loop, CFRunLoopTimerRef timer, CFStringRef mode);
void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer);
