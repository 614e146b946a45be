#include "platform/headless/TestDriver.h"

namespace platform::headless {

TestDriver::TestDriver()
    : m_backend(&HeadlessBackend::select())
    , m_previousClock(MainLoop::instance().setClock(std::make_shared<VirtualClock>()))
    , m_start(MainLoop::instance().now())
{
}

TestDriver::~TestDriver()
{
    MainLoop::instance().setClock(m_previousClock);
}

Clock::Duration TestDriver::elapsed() const
{
    return MainLoop::instance().now() - m_start;
}

void TestDriver::advance(Clock::Duration duration)
{
    MainLoop::instance().advanceTime(duration);
}

void TestDriver::runPending()
{
    MainLoop::instance().runPending();
}

} // namespace platform::headless
