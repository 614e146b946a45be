#include "ShownWindowFixture.h"

#include "BAS/Region.h"
#include "FEN/COCOA/ContentView.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/ClipBoardFormat.h"
#include "FEN/CursorManager.h"
#include "FEN/DeviceContext.h"
#include "FEN/DragDropManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/ExchangeData.h"
#include "FEN/Lib.h"
#include "FEN/Picture.h"
#include "FEN/StandaloneWindow.h"
#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::createDataAt;
using CV::FEN::TEST::implOf;
using CV::FEN::TEST::ShownWindowFixture;
using platform::headless::HeadlessWindow;

using platform::keyboard::kModifierControl;
using platform::keyboard::kModifierShift;

namespace objc = platform::objc;

// Logs mouse events as "<code> x,y b<button> s<state> m<modifiers>", frame,
// scale and close events by code, drag events with what they carry, and
// paints a picture when asked to.
class RecordingWindow : public StandaloneWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eWindowEvent::SizeChanged || code == eWindowEvent::Moved || code == eWindowEvent::Closed) {
            log.push_back(std::to_string(code));
            return StandaloneWindow::onEvent(code, data);
        }
        if (code == eWindowEvent::BackingScaleChanged) {
            log.push_back(std::to_string(code) + " x" + std::to_string(int(static_cast<ScaleEventData*>(data)->scale)));
            return true;
        }
        if (code == eDragDropEvent::DragRequest || code == eDragDropEvent::DragDrop)
            return onDrag(code, static_cast<DragEventData*>(data));
        if (code == eDragDropEvent::DragLeave || code == eDragDropEvent::DragFinished) {
            std::string line = std::to_string(code);
            if (code == eDragDropEvent::DragFinished)
                line += " r" + std::to_string(static_cast<DragDropResultEventData*>(data)->result);
            log.push_back(line);
            return true;
        }
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
    // "<code> x,y e<effects> m<modifiers> '<text>'": the allowed effects of
    // a request, the effect of a drop. Requests are taken with acceptEffect
    // when it is not negative.
    bool onDrag(unsigned code, DragEventData* drag)
    {
        std::ostringstream line;
        line << code << ' ' << drag->position.x << ',' << drag->position.y << " e";
        if (code == eDragDropEvent::DragRequest)
            line << static_cast<DragDropRequestEventData*>(drag)->allowedEffects;
        else
            line << drag->dropEffect;
        TextClipBoardFormat text;
        line << " m" << std::hex << drag->modifiers << " '" << (drag->data->getFormat(text) ? text.getValue() : "")
             << "'";
        log.push_back(line.str());
        if (code == eDragDropEvent::DragDrop)
            return true;
        if (acceptEffect < 0)
            return false;
        auto* request = static_cast<DragDropRequestEventData*>(drag);
        request->dropEffect = acceptEffect;
        request->acceptingTarget = this;
        return true;
    }

    std::vector<std::string> log;
    Picture const* picture = nullptr;
    int acceptEffect = -1;
};

class ContentViewTest : public ShownWindowFixture<RecordingWindow> {
protected:
    void SetUp() override { showWindow(); }
    id view() { return implOf(window)->getContentView(); }
    void TearDown() override { window.destroy(); }
};

TEST_F(ContentViewTest, ButtonsClickCountsControlClickAndTheWheel)
{
    driver.mouseDown(*peer, {10, 5});
    driver.mouseUp(*peer, {10, 5});
    driver.mouseDown(*peer, {10, 5}); // double click
    driver.mouseDown(*peer, {10, 5}); // a third click is a press again
    driver.advance(std::chrono::seconds(1)); // past the double-click time: single clicks again
    driver.mouseDown(*peer, {11, 6}, 0, kModifierControl | kModifierShift);
    driver.mouseUp(*peer, {11, 6}, 0, kModifierControl);
    driver.mouseDown(*peer, {12, 7}, 2, 0); // the middle button
    driver.mouseDown(*peer, {12, 7}, 3, 0); // no further buttons
    driver.mouseDown(*peer, {13, 8}, 1, kModifierControl);
    driver.mouseUp(*peer, {13, 8}, 1, kModifierControl);
    driver.scroll(*peer, {3, 4}, 1.5, 0.5);
    std::vector<std::string> const expected{"1000 10,5 b1 s1 m0", "1000 10,5 b1 s2 m0", "1000 10,5 b1 s3 m0",
                                            "1000 10,5 b1 s1 m0",
                                            // Control with the left button is the right button, without Control.
                                            "1000 11,6 b2 s1 m10000000", "1000 11,6 b2 s2 m0", "1000 12,7 b4 s1 m0",
                                            // The right button keeps Control.
                                            "1000 13,8 b2 s1 m40000000", "1000 13,8 b2 s2 m40000000",
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

TEST_F(ContentViewTest, OnePaintPerDrawnRectangleWhenTheDirtyAreaIsNotPaintedWhole)
{
    EXPECT_TRUE(objc::send<BOOL>(view(), "wantsDefaultClipping"));
    Picture picture;
    picture.setSize(60, 40, true);
    std::fill_n(picture.getPixels(), 60 * 40, 0xFF00FF00u);
    window.picture = &picture;
    Lib::s_bCocoaDrawRectUnion = false;
    bool const clipsByItself = objc::send<BOOL>(view(), "wantsDefaultClipping");
    window.invalidate();
    driver.display(*peer);
    Lib::s_bCocoaDrawRectUnion = true;
    EXPECT_FALSE(clipsByItself);
    EXPECT_EQ(peer->pixel(30, 20) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(ContentViewTest, AnInvalidRegionReachesThePeerAsItsRectangles)
{
    driver.display(*peer);
    CV::BAS::Region::init();
    {
        CV::BAS::Region region;
        region.addFast(CV::BAS::Rect{0, 0, 10, 10});
        region.addFast(CV::BAS::Rect{50, 30, 60, 40});
        window.invalidateRegion(region);
    }
    CV::BAS::Region::deInit();
    using platform::peer::Rect;
    EXPECT_EQ(peer->markedRegion(), (std::vector<Rect>{Rect{0, 0, 10, 10}, Rect{50, 30, 10, 10}}));
}

TEST_F(ContentViewTest, FrameChangesAreReportedByTheCallAndByTheNotification)
{
    driver.resize(*peer, {200, 150});
    EXPECT_EQ(window.log, (std::vector<std::string>{"1000003", "1000003"}));
    window.log.clear();
    objc::send<void>(view(), "setFrameOrigin:", NSMakePoint(0, 1));
    EXPECT_EQ(window.log, (std::vector<std::string>{"1000003", "1000004"}));
}

TEST_F(ContentViewTest, BackingScaleChangesAreReportedWhenDrawingAtHighResolution)
{
    driver.setScreens("1920x1080@2");
    EXPECT_TRUE(window.log.empty());
    app->setHighResolution(true);
    driver.setScreens("1920x1080@1");
    driver.setScreens("1920x1080@2");
    EXPECT_EQ(window.log, (std::vector<std::string>{"1000015 x1", "1000015 x2"}));
}

TEST_F(ContentViewTest, EnteringTheViewShowsTheWindowsOwnCursor)
{
    id ibeam = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSCursor"), "IBeamCursor");
    window.setCursor(ibeam);
    CursorManager::resetSystemCursor();
    driver.moveMouse(*peer, {20, 10});
    EXPECT_EQ(driver.cursor().cursor().shape, "ibeam");

    // Without a cursor of its own the view leaves the system cursor alone.
    window.resetCursor();
    CursorManager::setSystemCursor(ibeam);
    driver.leave(*peer, {70, 10});
    driver.moveMouse(*peer, {20, 10});
    EXPECT_EQ(driver.cursor().cursor().shape, "ibeam");
}

TEST_F(ContentViewTest, TheGlobalMouseMonitorTakesTheClicksOfOtherWindows)
{
    RecordingWindow other;
    ASSERT_TRUE(other.create(createDataAt(400, 100)));
    other.show(true);
    HeadlessWindow& otherPeer = driver.peerOf(implOf(other)->getNativeWindow());
    implOf(window)->setTrackMouseGlobal(true);
    implOf(window)->setTrackMouseGlobal(true); // a second monitor is not installed
    window.log.clear();
    other.log.clear();

    driver.click(otherPeer, {5, 5});
    driver.click(otherPeer, {5, 5}, 1, kModifierShift);
    driver.scroll(otherPeer, {5, 5}, 0, 2);
    driver.click(*peer, {7, 8}); // the window's own clicks go their normal way
    std::vector<std::string> const expected{"1000 -1,-1 b1 s1 m0",        "1000 -1,-1 b1 s2 m0",
                                            "1000 -1,-1 b2 s1 m10000000", "1000 -1,-1 b2 s2 m10000000",
                                            "1000 7,8 b1 s1 m0",          "1000 7,8 b1 s2 m0"};
    EXPECT_EQ(window.log, expected);
    EXPECT_TRUE(other.log.empty());

    implOf(window)->setTrackMouseGlobal(false);
    driver.click(otherPeer, {5, 5});
    EXPECT_EQ(other.log, (std::vector<std::string>{"1000 5,5 b1 s1 m0", "1000 5,5 b1 s2 m0"}));

    // A window that goes while it watches leaves the other windows' clicks
    // alone.
    implOf(window)->setTrackMouseGlobal(true);
    window.destroy();
    other.log.clear();
    driver.advance(std::chrono::seconds(1)); // a click of its own, not a double click
    driver.click(otherPeer, {6, 6});
    EXPECT_EQ(other.log, (std::vector<std::string>{"1000 6,6 b1 s1 m0", "1000 6,6 b1 s2 m0"}));
    other.destroy();
}

TEST_F(ContentViewTest, DragsFromElsewhereAreOfferedToTheWindowAndDropped)
{
    std::string const text = "carried";
    driver.pasteboard("drag").put(0, "public.utf8-plain-text", {text.begin(), text.end()});
    driver.modifiers(*peer, kModifierShift);
    // Nothing taken: no operation.
    EXPECT_EQ(driver.dragOver(*peer, {30, 20}, "drag", 1 | 16 | 2), 0u);
    struct Case {
        int effect;
        unsigned operation;
    };
    for (Case c : {Case{1, 1u}, Case{2, 16u}, Case{4, 2u}, Case{3, 0u}, Case{0, 0u}}) {
        window.acceptEffect = c.effect;
        EXPECT_EQ(driver.dragOver(*peer, {31, 21}, "drag", 1 | 16), c.operation) << c.effect;
    }
    window.acceptEffect = 2;
    EXPECT_EQ(driver.dragOver(*peer, {32, 22}, "drag", 16), 16u);
    EXPECT_TRUE(driver.drop(*peer, {33, 23}, "drag", 16));
    driver.modifiers(*peer, 0);
    ASSERT_GE(window.log.size(), 3u);
    EXPECT_EQ(window.log[0], "1300 30,20 e7 m10000000 'carried'");
    EXPECT_EQ(window.log[1], "1300 31,21 e3 m10000000 'carried'");
    std::vector<std::string> const end(window.log.end() - 3, window.log.end());
    EXPECT_EQ(
        end,
        (std::vector<std::string>{"1300 32,22 e2 m10000000 'carried'", "1301 33,23 e2 m10000000 'carried'", "1303"}));

    // Leaving tells the window that took the drag.
    window.log.clear();
    driver.dragOver(*peer, {30, 20}, "drag", 16);
    driver.dragLeave(*peer);
    EXPECT_EQ(window.log.back(), "1303");
}

TEST_F(ContentViewTest, ADragStartedInTheViewReportsHowItEnded)
{
    driver.mouseDown(*peer, {10, 12});
    bool ignoresModifiers = false;
    driver.loop().addTimer(std::chrono::milliseconds(100), false, [&] {
        ignoresModifiers = objc::send<BOOL>(view(), "ignoreModifierKeysWhileDragging") != NO;
        window.log.clear();
        driver.leave(*peer, {70, 12}); // no leave while the drag runs
        driver.drag().finish({0, 0}, 1);
    });
    TextClipBoardFormat text;
    text.setValue("dragged");
    DragDropManager::DoDragWithCallback(&window, text, 1, nullptr);
    EXPECT_TRUE(ignoresModifiers);
    EXPECT_EQ(driver.drag().allowedOperations(), 1u);
    EXPECT_EQ(window.log, std::vector<std::string>{"1304 r1"});
}

TEST_F(ContentViewTest, ADetachedViewSendsNothing)
{
    implOf(window)->setTrackMouseGlobal(true);
    COCOA::ContentView::detach(view());
    driver.click(*peer, {10, 5});
    driver.moveMouse(*peer, {20, 10});
    driver.scroll(*peer, {3, 4}, 0, 2);
    driver.resize(*peer, {180, 150});
    EXPECT_EQ(driver.dragOver(*peer, {30, 20}, "drag", 1), 0u);
    EXPECT_FALSE(driver.drop(*peer, {30, 20}, "drag", 1));
    EXPECT_TRUE(window.log.empty());
}

TEST_F(ContentViewTest, AViewThatGoesWhileAttachedClosesItsWindow)
{
    id native = implOf(window)->getNativeWindow();
    objc::send<void>(view(), "removeFromSuperview"); // the last reference
    EXPECT_EQ(window.getImpl(), nullptr);
    EXPECT_EQ(window.log, std::vector<std::string>{"1000001"});
    EXPECT_EQ(objc::send<id>(native, "delegate"), nil);
    objc::send<void>(native, "close");
}

} // namespace
