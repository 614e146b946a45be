#include "FrameworkTestSupport.h"

#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/DeviceContext.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/Picture.h"
#include "FEN/StandaloneWindow.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::AttachedApplication;
using platform::headless::HeadlessWindow;
using platform::headless::TestDriver;

constexpr std::uint64_t kControl = 1u << 18;
constexpr std::uint64_t kShift = 1u << 17;

// Logs mouse events as "<code> x,y b<button> s<state> m<modifiers>" and
// paints a picture when asked to.
class RecordingWindow : public StandaloneWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (isMouseEvent(code)) {
            auto* mouse = static_cast<MouseEventData*>(data);
            std::ostringstream line;
            line << code << ' ' << mouse->position.x << ',' << mouse->position.y;
            if (code == eMouseEvent::MouseButton) {
                auto* button = static_cast<MouseButtonEventData*>(data);
                line << " b" << button->button << " s" << button->state;
            }
            if (code == eMouseEvent::MouseWheel) {
                auto* wheel = static_cast<MouseWheelEventData*>(data);
                line << " d" << wheel->delta << " a" << wheel->axis;
            }
            line << " m" << std::hex << mouse->modifiers;
            log.push_back(line.str());
            return true;
        }
        if (code == eWindowEvent::Paint && picture != nullptr) {
            static_cast<PaintEventData*>(data)->dc->updateFromPicture(*picture, false);
            return true;
        }
        return StandaloneWindow::onEvent(code, data);
    }
    std::vector<std::string> log;
    Picture const* picture = nullptr;
};

class ContentViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        Window::CreateData data;
        data.flags = 0x1 | 0x2 | 0x4;
        data.rect = {100, 100, 160, 140};
        ASSERT_TRUE(window.create(data));
        window.show(true);
        auto* impl = dynamic_cast<COCOA::WindowImplBase*>(window.getImpl());
        peer = &driver.peerOf(impl->getNativeWindow());
        window.log.clear();
    }
    void TearDown() override { window.destroy(); }

    TestDriver driver;
    AttachedApplication<Application> app;
    RecordingWindow window;
    HeadlessWindow* peer = nullptr;
};

TEST_F(ContentViewTest, ButtonsClickCountsControlClickAndTheWheel)
{
    driver.mouseDown(*peer, {10, 5}, 0, 0, 1);
    driver.mouseUp(*peer, {10, 5}, 0, 0, 1);
    driver.mouseDown(*peer, {10, 5}, 0, 0, 2); // double click
    driver.mouseDown(*peer, {10, 5}, 0, 0, 3); // a third click is a press again
    driver.mouseDown(*peer, {11, 6}, 0, kControl | kShift, 1);
    driver.mouseUp(*peer, {11, 6}, 0, kControl, 1);
    driver.mouseDown(*peer, {12, 7}, 2, 0, 1); // the middle button
    driver.scroll(*peer, {3, 4}, 1.5, 0.5);
    std::vector<std::string> const expected{
        "1000 10,5 b1 s1 m0", "1000 10,5 b1 s2 m0", "1000 10,5 b1 s3 m0", "1000 10,5 b1 s1 m0",
        // Control with the left button is the right button, without Control.
        "1000 11,6 b2 s1 m10000000", "1000 11,6 b2 s2 m0", "1000 12,7 b4 s1 m0",
        // Horizontal first; a vertical half step is sent with delta 0.
        "1003 3,4 d1 a0 m0", "1003 3,4 d0 a1 m0"};
    EXPECT_EQ(window.log, expected);
}

TEST_F(ContentViewTest, MotionDragsAndLeavingReachTheWindow)
{
    driver.moveMouse(*peer, {20, 10});
    driver.moveMouse(*peer, {25, 12}, 1u);
    driver.leave(*peer, {70, 12});
    ASSERT_GE(window.log.size(), 3u);
    EXPECT_EQ(window.log[window.log.size() - 3], "1002 20,10 m0");
    EXPECT_EQ(window.log[window.log.size() - 2], "1001 25,12 m0");
    EXPECT_EQ(window.log.back().substr(0, 4), "1005");
}

TEST_F(ContentViewTest, APaintCopiesThePictureIntoTheWindow)
{
    Picture picture;
    picture.setSize(60, 40, true);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            picture.getPixels()[y * 60 + x] = y < 20 ? 0xFFFF0000u : 0xFF0000FFu;
    window.picture = &picture;
    window.invalidate();
    driver.display(*peer);
    EXPECT_EQ(peer->pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(peer->pixel(5, 35) & 0xFFFFFF, 0x0000FFu);
}

} // namespace
