#include "platform/appkit/AppKit.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace platform;
using namespace std::chrono_literals;
using headless::HeadlessWindow;
using headless::TestDriver;
using objc::send;

constexpr std::uint32_t kRed = 0xFFFF0000;

std::vector<std::string> s_calls;

std::string pointText(NSPoint p)
{
    return std::to_string(long(p.x)) + "," + std::to_string(long(p.y));
}

// The overrides a framework's view class makes, recording what reaches them.
void viewMouseDown(id self, SEL, id event)
{
    const NSPoint p = send<NSPoint>(self, "convertPoint:fromView:", send<NSPoint>(event, "locationInWindow"), id(nil));
    s_calls.push_back("mouseDown: " + pointText(p) + " clicks " + std::to_string(send<long>(event, "clickCount")));
}

void viewMouseUp(id, SEL, id)
{
    s_calls.push_back("mouseUp:");
}

void viewKeyDown(id, SEL, id event)
{
    s_calls.push_back("keyDown: " + appkit::utf8(send<NSString*>(event, "characters")) + " code " +
                      std::to_string(send<unsigned short>(event, "keyCode")));
}

void viewSetFrameSize(id self, SEL sel, NSSize size)
{
    objc::sendSuper<void>(self, objc_getClass("TestFrameworkView"), sel, size);
    s_calls.push_back("setFrameSize: " + std::to_string(long(size.width)) + "x" + std::to_string(long(size.height)));
}

NSSize viewWillResize(id, SEL, id, NSSize proposed)
{
    s_calls.push_back("windowWillResize:toSize:");
    return NSMakeSize(std::max(proposed.width, 300.0), proposed.height);
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

// Paints the top-left 20 x 10 points red (the view is flipped).
void viewDrawRect(id, SEL, NSRect)
{
    id context = send<id>(objc_getClass("NSGraphicsContext"), "currentContext");
    CGContextRef cg = send<CGContextRef>(context, "CGContext");
    CGContextSetRGBFillColor(cg, 1, 0, 0, 1);
    CGContextFillRect(cg, CGRectMake(0, 0, 20, 10));
}

Class frameworkViewClass()
{
    static Class s_class = objc::StandInClass("TestFrameworkView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("mouseDown:", &viewMouseDown)
                               .method("mouseUp:", &viewMouseUp)
                               .method("keyDown:", &viewKeyDown)
                               .method("setFrameSize:", &viewSetFrameSize)
                               .method("windowWillResize:toSize:", &viewWillResize)
                               .method("windowShouldClose:", &viewShouldClose)
                               .method("isFlipped", &yes)
                               .method("acceptsFirstResponder", &yes)
                               .method("drawRect:", &viewDrawRect)
                               .registerClass();
    return s_class;
}

Class frameworkWindowClass()
{
    static Class s_class = objc::StandInClass("TestFrameworkWindow", objc::ObjectRuntime::lookUpClass("NSWindow"))
                               .method("canBecomeKeyWindow", &yes)
                               .registerClass();
    return s_class;
}

// A window of 400 x 300 points whose top-left is 100 points right of and
// below the first screen's, holding one framework view as its delegate.
struct FrameworkWindow {
    explicit FrameworkWindow(TestDriver& driver)
    {
        const double top = 1080;
        window = send<id>(objc::NSObject::alloc(frameworkWindowClass()), "initWithContentRect:styleMask:backing:defer:",
                          NSMakeRect(100, top - 100 - 300, 400, 300), 15ul, 2ul, BOOL(YES));
        view = send<id>(objc::NSObject::alloc(frameworkViewClass()), "initWithFrame:", NSMakeRect(0, 0, 400, 300));
        send<void>(view, "setAutoresizingMask:", 18ul);
        send<void>(send<id>(window, "contentView"), "addSubview:", view);
        send<void>(window, "setDelegate:", view);
        send<BOOL>(window, "makeFirstResponder:", view);
        send<void>(window, "setReleasedWhenClosed:", BOOL(NO));
        send<void>(window, "makeKeyAndOrderFront:", id(nil));
        peer = &driver.peerOf(window);
    }
    ~FrameworkWindow()
    {
        send<void>(window, "close");
        objc::NSObject::release(view);
        objc::NSObject::release(window);
    }
    id window;
    id view;
    HeadlessWindow* peer;
};

TEST(AppKitStandIns, RunTimeSubclassesGetInputResizeAndCloseInOrder)
{
    TestDriver driver;
    FrameworkWindow fw(driver);
    EXPECT_EQ(fw.peer->contentFrame(), (peer::Rect{100, 100, 400, 300}));
    EXPECT_TRUE(send<BOOL>(fw.window, "isKeyWindow"));
    s_calls.clear();

    driver.click(*fw.peer, {10, 20});
    driver.key(*fw.peer, headless::kVK_ANSI_A, "a");
    driver.resize(*fw.peer, {200, 250}); // the delegate keeps the width at least 300
    EXPECT_FALSE(driver.close(*fw.peer));

    const std::vector<std::string> expected = {
        "mouseDown: 10,20 clicks 1", "mouseUp:", "keyDown: a code 0", "windowWillResize:toSize:",
        "setFrameSize: 300x250",     "windowShouldClose:",
    };
    EXPECT_EQ(s_calls, expected);
    EXPECT_EQ(fw.peer->contentFrame(), (peer::Rect{100, 100, 300, 250}));
    EXPECT_TRUE(fw.peer->isVisible());
}

TEST(AppKitStandIns, DrawRectPaintsIntoTheFramebufferAtTheBackingScale)
{
    TestDriver driver;
    for (double scale : {1.0, 2.0}) {
        driver.setScreens("1920x1080@" + std::to_string(scale));
        FrameworkWindow fw(driver);
        driver.display(*fw.peer);
        ASSERT_EQ(fw.peer->pixelWidth(), int(400 * scale));
        EXPECT_EQ(fw.peer->pixel(int(19 * scale), int(9 * scale)), kRed) << scale;
        EXPECT_EQ(fw.peer->pixel(int(21 * scale), int(5 * scale)), 0u) << scale;
        EXPECT_EQ(fw.peer->pixel(int(5 * scale), int(11 * scale)), 0u) << scale;
    }
}

// A timer target that stops the modal run when it fires.
std::vector<std::pair<std::string, long>> s_ticks;

void tick(id self, SEL, id timer)
{
    const std::string name = appkit::utf8(objc::ivar<NSString*>(self, "_name"));
    s_ticks.emplace_back(name, long(send<double>(timer, "timeInterval") * 1000));
    if (name == "common")
        send<void>(NSApp, "stopModal");
}

TEST(AppKitStandIns, TimerInTheCommonModesFiresDuringAModalPanelInVirtualTime)
{
    TestDriver driver;
    Class targetClass = objc::StandInClass("TestTimerTarget", objc::ObjectRuntime::lookUpClass("NSObject"))
                            .ivar<NSString*>("_name")
                            .method("tick:", &tick)
                            .registerClass();
    send<id>(objc_getClass("NSApplication"), "sharedApplication");
    id runLoop = send<id>(objc_getClass("NSRunLoop"), "currentRunLoop");
    std::vector<id> targets;
    for (auto [name, mode] : {std::pair{"common", NSRunLoopCommonModes}, std::pair{"default", NSDefaultRunLoopMode}}) {
        id target = objc::NSObject::allocInit(targetClass);
        objc::ivar<NSString*>(target, "_name") = appkit::makeString(name);
        targets.push_back(target);
        id timer = send<id>(objc_getClass("NSTimer"), "timerWithTimeInterval:target:selector:userInfo:repeats:", 0.5,
                            target, objc::selector("tick:"), id(nil), BOOL(NO));
        send<void>(runLoop, "addTimer:forMode:", timer, mode);
    }
    id panel = send<id>(objc::NSObject::alloc(objc_getClass("NSPanel")), "initWithContentRect:styleMask:backing:defer:",
                        NSMakeRect(0, 0, 200, 100), 3ul, 2ul, BOOL(YES));
    s_ticks.clear();
    EXPECT_EQ(send<long>(NSApp, "runModalForWindow:", panel), appkit::NSModalResponseStop);
    EXPECT_EQ(s_ticks, (std::vector<std::pair<std::string, long>>{{"common", 500}}));
    EXPECT_EQ(driver.elapsed(), 500ms);
    driver.advance(0ms); // back in the default mode
    EXPECT_EQ(s_ticks.size(), 2u);
    send<void>(panel, "close");
    for (id target : targets) {
        CFRelease(objc::ivar<NSString*>(target, "_name"));
        objc::NSObject::release(target);
    }
}

} // namespace
