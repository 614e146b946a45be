// Click counting, by itself and as the headless window counts presses in
// virtual time.
#include "platform/peer/ClickCounter.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/StandInClass.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using namespace platform;
using peer::ClickCounter;

TEST(ClickCounter, ContinuesASeriesOnlyForTheSameButtonInTimeAndPlace)
{
    struct Case {
        const char* what;
        int button;
        std::uint32_t time;
        double x, y;
        int expected;
    };
    // Each case is the second press after a first press of button 0 at
    // (10, 10), time 1000; the limits are 400 ms and 5 points.
    const Case cases[] = {
        {"same place, in time", 0, 1300, 10, 10, 2},
        {"at the time limit", 0, 1400, 10, 10, 2},
        {"too late", 0, 1401, 10, 10, 1},
        {"within the distance", 0, 1100, 15, 5, 2},
        {"too far", 0, 1100, 16, 10, 1},
        {"another button", 1, 1100, 10, 10, 1},
    };
    for (const Case& c : cases) {
        ClickCounter clicks;
        clicks.setLimits(400, 5);
        EXPECT_EQ(clicks.press(0, 1000, 10, 10), 1);
        EXPECT_EQ(clicks.press(c.button, c.time, c.x, c.y), c.expected) << c.what;
        EXPECT_EQ(clicks.current(), c.expected) << c.what;
    }
}

TEST(ClickCounter, CountsOnPastTwoAcrossTheWrapOfEventTimesAndStartsAgainAfterAReset)
{
    ClickCounter clicks;
    clicks.setLimits(400, 5);
    EXPECT_EQ(clicks.press(0, 0xFFFFFF00u, 0, 0), 1);
    EXPECT_EQ(clicks.press(0, 0xFFFFFFF0u, 0, 0), 2);
    EXPECT_EQ(clicks.press(0, 0x00000050u, 0, 0), 3); // the clock wrapped
    EXPECT_EQ(clicks.press(0, 0x00000060u, 0, 0), 4);
    clicks.reset();
    EXPECT_EQ(clicks.press(0, 0x00000070u, 0, 0), 1);
}

std::vector<long> s_clickCounts;

void recordMouseDown(id, SEL, id event)
{
    s_clickCounts.push_back(objc::send<long>(event, "clickCount"));
}

Class clickRecordingView()
{
    static Class s_class = objc::StandInClass("ClickRecordingView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("mouseDown:", &recordMouseDown)
                               .method("rightMouseDown:", &recordMouseDown)
                               .registerClass();
    return s_class;
}

TEST(HeadlessClickCounting, PressesContinueASeriesOnlyWithinTheDoubleClickTimeOnTheMainLoopsClock)
{
    struct Press {
        int afterMs;
        peer::Point at;
        int button;
    };
    struct Case {
        const char* what;
        std::vector<Press> presses; // after a first left press at (10, 10)
        std::vector<long> expected; // the click counts of all presses
    };
    const Case cases[] = {
        {"a quick second press", {{100, {10, 10}, 0}}, {1, 2}},
        {"at the time limit", {{400, {10, 10}, 0}}, {1, 2}},
        {"too late", {{401, {10, 10}, 0}}, {1, 1}},
        {"a third and a fourth", {{150, {11, 11}, 0}, {150, {12, 10}, 0}, {150, {12, 10}, 0}}, {1, 2, 3, 4}},
        {"each press measured from the last", {{300, {10, 10}, 0}, {300, {10, 10}, 0}}, {1, 2, 3}},
        {"too far", {{100, {16, 10}, 0}}, {1, 1}},
        {"another button", {{100, {10, 10}, 1}}, {1, 1}},
    };
    for (const Case& c : cases) {
        headless::TestDriver driver;
        test::StandInWindow::Spec spec;
        spec.windowClass = test::StandInWindow::keyWindowClass();
        spec.viewClass = clickRecordingView();
        test::StandInWindow window(spec);
        headless::HeadlessWindow& peer = driver.peerOf(window.window);
        s_clickCounts.clear();
        driver.click(peer, {10, 10});
        for (const Press& press : c.presses) {
            driver.advance(std::chrono::milliseconds(press.afterMs));
            driver.click(peer, press.at, press.button);
        }
        EXPECT_EQ(s_clickCounts, c.expected) << c.what;
    }
}

TEST(HeadlessClickCounting, LeavingTheContentOrLosingTheFocusEndsASeries)
{
    headless::TestDriver driver;
    test::StandInWindow::Spec spec;
    spec.windowClass = test::StandInWindow::keyWindowClass();
    spec.viewClass = clickRecordingView();
    test::StandInWindow window(spec);
    test::StandInWindow other(spec);
    headless::HeadlessWindow& peer = driver.peerOf(window.window);
    s_clickCounts.clear();
    driver.click(peer, {10, 10});
    driver.leave(peer, {500, 10});
    driver.click(peer, {10, 10});
    objc::send<void>(other.window, "makeKeyAndOrderFront:", id(nil));
    objc::send<void>(window.window, "makeKeyAndOrderFront:", id(nil));
    driver.click(peer, {10, 10});
    driver.click(peer, {10, 10});
    EXPECT_EQ(s_clickCounts, (std::vector<long>{1, 1, 1, 2}));
}

} // namespace
