// A window of the stand-in's classes on the desktop backend, as the
// framework makes one: its view's drawRect: is on the screen, xdotool's
// clicks and keys reach the view's overrides, and a close request asks the
// delegate.
#include "DesktopBackendSession.h"

#include "platform/appkit/AppKit.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace {

using namespace platform;
using desktop_test::DesktopBackendSession;
using desktop_test::pumpUntil;
using desktop_test::Screenshot;
using desktop_test::sendCloseRequest;
using objc::send;

std::vector<std::string> s_calls;

void viewMouseDown(id, SEL, id event)
{
    s_calls.push_back("mouseDown: clicks " + std::to_string(send<long>(event, "clickCount")));
}

void viewMouseUp(id, SEL, id)
{
    s_calls.push_back("mouseUp:");
}

void viewKeyDown(id, SEL, id event)
{
    s_calls.push_back("keyDown: " + appkit::utf8(send<NSString*>(event, "characters")) + " code "
                      + std::to_string(send<unsigned short>(event, "keyCode")));
}

BOOL viewShouldClose(id, SEL, id)
{
    s_calls.push_back("windowShouldClose:");
    return NO;
}

BOOL yes(id, SEL)
{
    return YES;
}

// The top-left 20 x 10 points red (the view is flipped), the rest blue.
void viewDrawRect(id, SEL, NSRect)
{
    CGContextRef cg = send<CGContextRef>(send<id>(objc_getClass("NSGraphicsContext"), "currentContext"), "CGContext");
    CGContextSetRGBFillColor(cg, 0, 0, 1, 1);
    CGContextFillRect(cg, CGRectMake(0, 0, 400, 300));
    CGContextSetRGBFillColor(cg, 1, 0, 0, 1);
    CGContextFillRect(cg, CGRectMake(0, 0, 20, 10));
    s_calls.push_back("drawRect:");
}

Class desktopViewClass()
{
    static Class s_class = objc::StandInClass("DesktopTestView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("mouseDown:", &viewMouseDown)
                               .method("mouseUp:", &viewMouseUp)
                               .method("keyDown:", &viewKeyDown)
                               .method("windowShouldClose:", &viewShouldClose)
                               .method("isFlipped", &yes)
                               .method("acceptsFirstResponder", &yes)
                               .method("drawRect:", &viewDrawRect)
                               .registerClass();
    return s_class;
}

std::size_t count(const std::string& call)
{
    std::size_t n = 0;
    for (const std::string& c : s_calls)
        n += c == call;
    return n;
}

TEST(GtkAppKitWindow, TheViewDrawsOnTheScreenAndGetsClicksKeysAndTheCloseQuestion)
{
    if (!DesktopBackendSession::instance().ready())
        VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackendSession::instance().failure();
    objc::AutoreleasePool pool;
    s_calls.clear();

    // 400 x 300 points, the top-left at (100, 100) of the 1024 x 768 screen.
    test::StandInWindow::Spec spec;
    spec.windowClass = test::StandInWindow::keyWindowClass();
    spec.viewClass = desktopViewClass();
    spec.screenHeight = 768;
    test::StandInWindow standIn(spec);
    id window = standIn.window;
    auto& peer = dynamic_cast<gtk::GtkWindowPeer&>(*appkit::windowPeer(window));
    ASSERT_TRUE(pumpUntil([&] { return count("drawRect:") > 0 && send<BOOL>(window, "isKeyWindow"); }));
    gdk_display_sync(gdk_display_get_default());

    Screenshot shot(100, 100, 400, 300);
    ASSERT_TRUE(shot.valid());
    EXPECT_EQ(shot.pixel(19, 9), 0xFF0000u);
    EXPECT_EQ(shot.pixel(20, 9), 0x0000FFu);
    EXPECT_EQ(shot.pixel(19, 10), 0x0000FFu);

    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", 5000, nullptr);
    const auto& server = DesktopBackendSession::instance().server();
    namespace xdotool = CV::test::xdotool;
    ASSERT_EQ(server.run(xdotool::command({xdotool::moveTo(150, 150), xdotool::click(1, 2), xdotool::keys("a")})), 0);
    ASSERT_TRUE(pumpUntil([] { return count("keyDown: a code 0") > 0; }));
    const std::vector<std::string> input(s_calls.end() - 5, s_calls.end());
    EXPECT_EQ(input, (std::vector<std::string>{"mouseDown: clicks 1", "mouseUp:", "mouseDown: clicks 2", "mouseUp:",
                                               "keyDown: a code 0"}));

    sendCloseRequest(peer.window());
    ASSERT_TRUE(pumpUntil([] { return count("windowShouldClose:") > 0; }));
    EXPECT_TRUE(send<BOOL>(window, "isVisible"));

}

} // namespace
