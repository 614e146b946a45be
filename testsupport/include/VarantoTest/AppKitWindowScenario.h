#pragma once
// One window of run-time subclasses of the stand-in's classes, made as the
// framework makes one, met as a user meets it on a backend: shown as the
// key window, painted by its view's drawRect:, clicked twice, typed into,
// resized and asked to close. The view records what reaches its overrides.
//
// A test program runs the scenario on its backend with a backend type:
//
//   namespace CV::test {
//   INSTANTIATE_TYPED_TEST_SUITE_P(HeadlessAppKitWindow, AppKitWindowScenario, ::HeadlessScenarioBackend);
//   }
//
// The backend type is made for each test that can run here and gives:
//   static std::string unavailable();       why it cannot run here; empty when it can
//   static std::vector<double> scales();    the backing scales it paints at
//   void useScale(double scale);            the scale of the windows opened next
//   void opened(id window);                 a window was made and shown
//   bool waitUntil(std::function<bool()>);  lets the window system work (and paint)
//                                           until the condition holds; whether it did
//   int pixelWidth();                       the content's width in device pixels
//   std::uint32_t pixel(int x, int y);      0xAARRGGBB of the content's device pixel
//   void click(peer::Point at, int times);  left clicks in one series at a content point
//   void typeKey(unsigned short keyCode, const std::string& name);
//                                           a letter key: the platform's code, its name
//   void resize(peer::Size content);        the user resizes the window
//   void requestClose();                    the close button
//
// The screen of the scenario is 1024 x 768 points; the window's content is
// 400 x 300 points with its top-left at (100, 100).
#include "VarantoTest/DesktopUnavailable.h"
#include "platform/appkit/AppKit.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"
#include "platform/peer/Geometry.h"
#include "platform/peer/WindowPeer.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace CV::test {

namespace objc = platform::objc;

// The overrides a framework's view class makes. Input, resizes and the
// close question are recorded in order; paints are counted apart, as the
// window system paints when it likes.
class RecordingView {
public:
    static std::vector<std::string>& calls()
    {
        static std::vector<std::string> s_calls;
        return s_calls;
    }
    static int& draws()
    {
        static int s_draws = 0;
        return s_draws;
    }
    static void forget()
    {
        calls().clear();
        draws() = 0;
    }
    static bool heard(const std::string& call)
    {
        return std::find(calls().begin(), calls().end(), call) != calls().end();
    }

    // Blue, with the top-left 20 x 10 points red (the view is flipped).
    static constexpr std::uint32_t kBlue = 0xFF0000FF;
    static constexpr std::uint32_t kRed = 0xFFFF0000;

    static Class viewClass()
    {
        static Class s_class = objc::StandInClass("TestFrameworkView", objc::ObjectRuntime::lookUpClass("NSView"))
                                   .method("mouseDown:", &mouseDown)
                                   .method("mouseUp:", &mouseUp)
                                   .method("keyDown:", &keyDown)
                                   .method("setFrameSize:", &setFrameSize)
                                   .method("windowWillResize:toSize:", &willResize)
                                   .method("windowShouldClose:", &shouldClose)
                                   .method("isFlipped", &yes)
                                   .method("acceptsFirstResponder", &yes)
                                   .method("drawRect:", &drawRect)
                                   .registerClass();
        return s_class;
    }

    // The scenario's window: the view fills the content and follows its
    // size, and is the window's delegate and first responder.
    static platform::test::StandInWindow::Spec windowSpec()
    {
        platform::test::StandInWindow::Spec spec;
        spec.windowClass = platform::test::StandInWindow::keyWindowClass();
        spec.viewClass = viewClass();
        spec.viewAutoresizingMask = 18; // width and height sizable
        spec.screenHeight = 768;
        return spec;
    }

private:
    static std::string pointText(NSPoint p) { return std::to_string(long(p.x)) + "," + std::to_string(long(p.y)); }

    static void mouseDown(id self, SEL, id event)
    {
        using objc::send;
        const NSPoint p =
            send<NSPoint>(self, "convertPoint:fromView:", send<NSPoint>(event, "locationInWindow"), id(nil));
        calls().push_back("mouseDown: " + pointText(p) + " clicks " + std::to_string(send<long>(event, "clickCount")));
    }

    static void mouseUp(id, SEL, id) { calls().push_back("mouseUp:"); }

    static void keyDown(id, SEL, id event)
    {
        using objc::send;
        calls().push_back("keyDown: " + platform::appkit::utf8(send<NSString*>(event, "characters")) + " code " +
                          std::to_string(send<unsigned short>(event, "keyCode")));
    }

    static void setFrameSize(id self, SEL sel, NSSize size)
    {
        objc::sendSuper<void>(self, objc_getClass("TestFrameworkView"), sel, size);
        calls().push_back("setFrameSize: " + std::to_string(long(size.width)) + "x" +
                          std::to_string(long(size.height)));
    }

    // Keeps the width at least 300 points.
    static NSSize willResize(id, SEL, id, NSSize proposed)
    {
        calls().push_back("windowWillResize:toSize:");
        return NSMakeSize(std::max(proposed.width, 300.0), proposed.height);
    }

    static BOOL shouldClose(id, SEL, id)
    {
        calls().push_back("windowShouldClose:");
        return NO;
    }

    static BOOL yes(id, SEL) { return YES; }

    static void drawRect(id, SEL, NSRect)
    {
        using objc::send;
        CGContextRef cg =
            send<CGContextRef>(send<id>(objc_getClass("NSGraphicsContext"), "currentContext"), "CGContext");
        CGContextSetRGBFillColor(cg, 0, 0, 1, 1);
        CGContextFillRect(cg, CGRectMake(0, 0, 400, 300));
        CGContextSetRGBFillColor(cg, 1, 0, 0, 1);
        CGContextFillRect(cg, CGRectMake(0, 0, 20, 10));
        ++draws();
    }
};

template <typename Backend> class AppKitWindowScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string unavailable = Backend::unavailable();
        if (!unavailable.empty())
            VARANTO_DESKTOP_UNAVAILABLE() << unavailable;
        m_backend = std::make_unique<Backend>();
        RecordingView::forget();
    }

    // Makes and shows the scenario's window; waits until it is painted and
    // the key window.
    std::unique_ptr<platform::test::StandInWindow> open()
    {
        auto window = std::make_unique<platform::test::StandInWindow>(RecordingView::windowSpec());
        m_backend->opened(window->window);
        const bool shown = m_backend->waitUntil(
            [&] { return RecordingView::draws() > 0 && objc::send<BOOL>(window->window, "isKeyWindow"); });
        EXPECT_TRUE(shown) << "draws " << RecordingView::draws();
        return window;
    }

    std::unique_ptr<Backend> m_backend;
};

TYPED_TEST_SUITE_P(AppKitWindowScenario);

TYPED_TEST_P(AppKitWindowScenario, TheViewIsShownAsTheKeyWindowAndPaintsItsPixelsAtTheBackingScale)
{
    for (double scale : TypeParam::scales()) {
        this->m_backend->useScale(scale);
        auto window = this->open();
        EXPECT_EQ(platform::appkit::windowPeer(window->window)->contentFrame(),
                  (platform::peer::Rect{100, 100, 400, 300}));
        EXPECT_TRUE(objc::send<BOOL>(window->window, "isKeyWindow"));

        const int s = int(scale);
        ASSERT_EQ(this->m_backend->pixelWidth(), 400 * s) << scale;
        struct Probe {
            int x, y; // points
            std::uint32_t expected;
        };
        // The red rectangle's last pixel and the blue just beyond its edges.
        const Probe probes[] = {
            {19, 9, RecordingView::kRed},  {20, 9, RecordingView::kBlue}, {19, 10, RecordingView::kBlue},
            {21, 5, RecordingView::kBlue}, {5, 11, RecordingView::kBlue},
        };
        for (const Probe& p : probes) {
            // The point's first and last device pixels.
            for (int corner : {0, s - 1})
                EXPECT_EQ(this->m_backend->pixel(p.x * s + corner, p.y * s + corner), p.expected)
                    << "point " << p.x << "," << p.y << " at scale " << scale;
        }
    }
}

TYPED_TEST_P(AppKitWindowScenario, ADoubleClickAKeyAResizeAndTheCloseQuestionReachTheViewInOrder)
{
    auto window = this->open();
    RecordingView::forget();
    TypeParam& backend = *this->m_backend;
    auto count = [](const std::string& call) {
        return std::count(RecordingView::calls().begin(), RecordingView::calls().end(), call);
    };

    backend.click({10, 20}, 2);
    ASSERT_TRUE(backend.waitUntil([&] { return count("mouseUp:") == 2; }));
    backend.typeKey(0, "a"); // the A key
    ASSERT_TRUE(backend.waitUntil([] { return RecordingView::heard("keyDown: a code 0"); }));
    backend.resize({200, 250}); // the delegate keeps the width at least 300
    ASSERT_TRUE(backend.waitUntil([] { return RecordingView::heard("setFrameSize: 300x250"); }));
    backend.requestClose();
    ASSERT_TRUE(backend.waitUntil([] { return RecordingView::heard("windowShouldClose:"); }));

    const std::vector<std::string> expected = {
        "mouseDown: 10,20 clicks 1", "mouseUp:",
        "mouseDown: 10,20 clicks 2", "mouseUp:",
        "keyDown: a code 0",         "windowWillResize:toSize:",
        "setFrameSize: 300x250",     "windowShouldClose:",
    };
    EXPECT_EQ(RecordingView::calls(), expected);
    platform::peer::WindowPeer* peer = platform::appkit::windowPeer(window->window);
    EXPECT_EQ(peer->contentFrame(), (platform::peer::Rect{100, 100, 300, 250}));
    EXPECT_TRUE(peer->isVisible());
    EXPECT_TRUE(objc::send<BOOL>(window->window, "isVisible"));
}

REGISTER_TYPED_TEST_SUITE_P(AppKitWindowScenario, TheViewIsShownAsTheKeyWindowAndPaintsItsPixelsAtTheBackingScale,
                            ADoubleClickAKeyAResizeAndTheCloseQuestionReachTheViewInOrder);

} // namespace CV::test
