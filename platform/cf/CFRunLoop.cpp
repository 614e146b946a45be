#include "platform/cf/CFRunLoop.h"

#include "platform/runloop/MainLoop.h"

#include <chrono>

const CFStringRef kCFRunLoopDefaultMode = platform::cf::String::createFromUTF8("kCFRunLoopDefaultMode");
const CFStringRef kCFRunLoopCommonModes = platform::cf::String::createFromUTF8("kCFRunLoopCommonModes");

namespace platform::cf {

class RunLoopTimer : public Object {
public:
    RunLoopTimer(CFAbsoluteTime fireDate, CFTimeInterval interval, CFRunLoopTimerCallBack callout,
                 const CFRunLoopTimerContext* context)
        : Object(TypeId::RunLoopTimer)
        , fireDate(fireDate)
        , interval(interval)
        , callout(callout)
    {
        if (context) {
            this->context = *context;
            if (context->retain && context->info)
                this->context.info = const_cast<void*>(context->retain(context->info));
        }
    }
    ~RunLoopTimer() override
    {
        if (context.release && context.info)
            context.release(context.info);
    }

    CFAbsoluteTime fireDate;
    CFTimeInterval interval;
    CFRunLoopTimerCallBack callout;
    CFRunLoopTimerContext context{};
    bool valid = true;
    MainLoop::TimerId scheduled = 0;
    RunLoopModes modes = RunLoopMode::Default;
};

} // namespace platform::cf

namespace {

using platform::MainLoop;
using platform::cf::RunLoopTimer;

RunLoopTimer* mutableTimer(CFRunLoopTimerRef timer)
{
    return const_cast<RunLoopTimer*>(timer);
}

platform::RunLoopModes modesNamed(CFStringRef mode)
{
    const std::string name = mode ? mode->utf8() : std::string();
    if (name == "kCFRunLoopCommonModes")
        return platform::RunLoopModes::all();
    if (name == "NSModalPanelRunLoopMode")
        return platform::RunLoopMode::ModalPanel;
    if (name == "NSEventTrackingRunLoopMode")
        return platform::RunLoopMode::EventTracking;
    return platform::RunLoopMode::Default;
}

MainLoop::Duration secondsToDuration(double seconds)
{
    return std::chrono::duration_cast<MainLoop::Duration>(std::chrono::duration<double>(seconds > 0 ? seconds : 0));
}

void unschedule(RunLoopTimer* timer)
{
    if (!timer->scheduled)
        return;
    MainLoop::instance().cancelTimer(timer->scheduled);
    timer->scheduled = 0;
    CFRelease(timer); // the run loop's reference
}

void schedule(RunLoopTimer* timer);

void fire(RunLoopTimer* timer)
{
    CFRetain(timer);
    timer->scheduled = 0;
    if (timer->interval > 0) {
        timer->fireDate = CFAbsoluteTimeGetCurrent() + timer->interval;
        schedule(timer); // the run loop's reference passes on
    } else {
        timer->valid = false;
        CFRelease(timer); // the run loop's reference
    }
    if (timer->callout)
        timer->callout(timer, timer->context.info);
    CFRelease(timer);
}

void schedule(RunLoopTimer* timer)
{
    const double delay = timer->fireDate - CFAbsoluteTimeGetCurrent();
    timer->scheduled = MainLoop::instance().addTimer(
        secondsToDuration(delay), false, [timer] { fire(timer); }, timer->modes);
}

} // namespace

CFAbsoluteTime CFAbsoluteTimeGetCurrent()
{
    return std::chrono::duration<double>(MainLoop::instance().now().time_since_epoch()).count();
}

CFRunLoopRef CFRunLoopGetCurrent()
{
    static int s_mainLoop;
    return reinterpret_cast<CFRunLoopRef>(&s_mainLoop);
}

CFRunLoopRef CFRunLoopGetMain()
{
    return CFRunLoopGetCurrent();
}

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval, CFOptionFlags,
                                       CFIndex, CFRunLoopTimerCallBack callout, CFRunLoopTimerContext* context)
{
    return new RunLoopTimer(fireDate, interval, callout, context);
}

void CFRunLoopAddTimer(CFRunLoopRef, CFRunLoopTimerRef timer, CFStringRef mode)
{
    if (!timer || !timer->valid)
        return;
    RunLoopTimer* t = mutableTimer(timer);
    const platform::RunLoopModes modes = modesNamed(mode);
    if (t->scheduled) {
        MainLoop::instance().cancelTimer(t->scheduled);
        t->modes = t->modes | modes;
    } else {
        CFRetain(t);
        t->modes = modes;
    }
    schedule(t);
}

void CFRunLoopRemoveTimer(CFRunLoopRef, CFRunLoopTimerRef timer, CFStringRef)
{
    if (timer)
        unschedule(mutableTimer(timer));
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer)
{
    if (!timer || !timer->valid)
        return;
    mutableTimer(timer)->valid = false;
    unschedule(mutableTimer(timer));
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer)
{
    return timer && timer->valid;
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer)
{
    return timer ? timer->fireDate : 0;
}
