#include "usx2/usb/linux/RunLoopHandOver.h"

#include "platform/runloop/MainLoop.h"

namespace CV {
namespace USX2 {

void RunLoopHandOver::post(Work work)
{
    platform::MainLoop::instance().post(std::move(work));
}

RunLoopHandOver::TimerId RunLoopHandOver::runAfter(std::chrono::nanoseconds delay, Work work)
{
    return platform::MainLoop::instance().addTimer(delay, false, std::move(work));
}

void RunLoopHandOver::cancel(TimerId timer)
{
    platform::MainLoop::instance().cancelTimer(timer);
}

} // namespace USX2
} // namespace CV
