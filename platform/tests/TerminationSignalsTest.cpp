#include "platform/runloop/TerminationSignals.h"

#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <vector>

using platform::MainLoop;
using platform::TerminationSignals;
using namespace std::chrono_literals;

namespace {

// Each signal, twice: it reaches the callback on the main loop, outside the
// signal handler, and the process lives on.
TEST(TerminationSignals, EachSignalReachesTheCallbackOnTheMainLoopAsOftenAsItComes)
{
    std::vector<int> received;
    bool onMainThread = true;
    TerminationSignals::install([&](int signalNumber) {
        onMainThread = onMainThread && MainLoop::isMainThread();
        received.push_back(signalNumber);
    });
    MainLoop& loop = MainLoop::instance();
    std::vector<int> sent;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP, SIGTERM}) {
        ASSERT_EQ(::raise(signalNumber), 0);
        sent.push_back(signalNumber);
        EXPECT_TRUE(loop.runUntil([&] { return received.size() == sent.size(); }, 30s)) << signalNumber;
    }
    TerminationSignals::uninstall();
    EXPECT_EQ(received, sent);
    EXPECT_TRUE(onMainThread);
}

} // namespace
