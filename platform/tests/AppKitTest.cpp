#include "platform/appkit/AppKit.h"
#include "VarantoTest/AppKitWindowScenario.h"
#include "platform/cf/CFArray.h"
#include "platform/cf/CFURL.h"
#include "platform/cg/CGDisplay.h"
#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace platform;
using namespace std::chrono_literals;
using headless::HeadlessWindow;
using headless::TestDriver;
using objc::send;

using CV::test::RecordingView;

// The headless backend in virtual time: input from the test driver, paints
// into the window's framebuffer as the driver displays the window.
class HeadlessScenarioBackend {
public:
    HeadlessScenarioBackend() { m_driver.setScreens("1024x768"); }

    static std::string unavailable() { return {}; }
    static std::vector<double> scales() { return {1.0, 2.0}; }
    void useScale(double scale) { m_driver.setScreens("1024x768@" + std::to_string(scale)); }
    void opened(id window) { m_peer = &m_driver.peerOf(window); }

    // Runs what is ready and draws what is invalid, without moving time.
    bool waitUntil(const std::function<bool()>& done)
    {
        m_driver.display(*m_peer);
        return done();
    }

    int pixelWidth() const { return m_peer->pixelWidth(); }
    std::uint32_t pixel(int x, int y) const { return m_peer->pixel(x, y); }

    // Presses at one virtual time continue one series.
    void click(peer::Point at, int times)
    {
        for (int i = 0; i < times; ++i)
            m_driver.click(*m_peer, at);
    }
    void typeKey(unsigned short keyCode, const std::string& name) { m_driver.key(*m_peer, keyCode, name); }
    void resize(peer::Size content) { m_driver.resize(*m_peer, content); }
    void requestClose() { m_driver.close(*m_peer); }

private:
    TestDriver m_driver;
    HeadlessWindow* m_peer = nullptr;
};

} // namespace

namespace CV::test {
INSTANTIATE_TYPED_TEST_SUITE_P(HeadlessAppKitWindow, AppKitWindowScenario, ::HeadlessScenarioBackend);
} // namespace CV::test

namespace {

// The scenario's window with its recording view, and its headless peer.
struct FrameworkWindow : test::StandInWindow {
    explicit FrameworkWindow(TestDriver& driver)
        : StandInWindow(RecordingView::windowSpec())
        , peer(&driver.peerOf(window))
    {
    }
    HeadlessWindow* peer;
};

// While the delegate finishes its work at termination the main loop may
// still run: input reaches no window any more.
TEST(AppKitStandIns, OnceTheTerminationHasBegunNoInputReachesAWindow)
{
    TestDriver driver;
    FrameworkWindow fw(driver);
    send<id>(objc_getClass("NSApplication"), "sharedApplication");
    std::vector<int> exits;
    appkit::NSApplication::setProcessExit([&exits](int status) { exits.push_back(status); });
    RecordingView::forget();
    driver.click(*fw.peer, {10, 20});
    ASSERT_EQ(RecordingView::calls().size(), 2u);

    send<void>(NSApp, "terminate:", id(nil));
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(appkit::NSApplication::isTerminating());
    driver.click(*fw.peer, {10, 20});
    driver.key(*fw.peer, headless::kVK_ANSI_A, "a");
    EXPECT_EQ(RecordingView::calls().size(), 2u);

    appkit::NSApplication::resetForTesting();
    appkit::NSApplication::setProcessExit(nullptr);
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
    id panel =
        send<id>(objc::NSObject::alloc(objc_getClass("NSPanel")),
                 "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 200, 100), 3ul, 2ul, BOOL(YES));
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

namespace {

using namespace platform;
using headless::TestDriver;
using objc::send;

TEST(AppKitStandIns, OpenPanelReturnsTheScriptedAnswerGivenWhileItRuns)
{
    TestDriver driver;
    id panel = send<id>(objc_getClass("NSOpenPanel"), "openPanel");
    NSString* prompt = appkit::makeString("Choose");
    send<void>(panel, "setPrompt:", prompt);
    send<void>(panel, "setAllowsMultipleSelection:", BOOL(YES));
    // The answer comes from a timer of the modal-panel mode, 2 s into the run.
    driver.loop().addTimer(
        2s, false,
        [&] {
            driver.answerPanel(true, {"/tmp/a.png", "/tmp/b.png"});
        },
        RunLoopMode::ModalPanel);
    EXPECT_EQ(send<long>(panel, "runModal"), appkit::NSModalResponseOK);
    EXPECT_EQ(driver.elapsed(), 2s);
    ASSERT_EQ(driver.panelsShown().size(), 1u);
    EXPECT_EQ(driver.panelsShown()[0].prompt, "Choose");
    EXPECT_TRUE(driver.panelsShown()[0].allowsMultipleSelection);
    EXPECT_FALSE(driver.panelsShown()[0].save);
    CFArrayRef urls = send<CFArrayRef>(panel, "URLs");
    ASSERT_EQ(CFArrayGetCount(urls), 2);
    CFStringRef path =
        CFURLCopyFileSystemPath(static_cast<CFURLRef>(CFArrayGetValueAtIndex(urls, 1)), kCFURLPOSIXPathStyle);
    EXPECT_EQ(appkit::utf8(path), "/tmp/b.png");
    CFRelease(path);
    // Without an answer the panel gives up after its timeout: Cancel.
    EXPECT_EQ(send<long>(panel, "runModal"), appkit::NSModalResponseCancel);
    EXPECT_EQ(send<CFArrayRef>(panel, "URLs"), nullptr);
    CFRelease(prompt);
}

TEST(AppKitStandIns, CursorsReachTheBackendAsShapesOrPixels)
{
    TestDriver driver;
    send<void>(send<id>(objc_getClass("NSCursor"), "IBeamCursor"), "set");
    EXPECT_EQ(driver.cursor().cursor().shape, "ibeam");

    id image = send<id>(objc::NSObject::alloc(objc_getClass("NSImage")), "initWithSize:", NSMakeSize(4, 2));
    send<void>(image, "lockFocus");
    CGContextRef cg = send<CGContextRef>(send<id>(objc_getClass("NSGraphicsContext"), "currentContext"), "CGContext");
    CGContextSetRGBFillColor(cg, 0, 0, 1, 1);
    CGContextFillRect(cg, CGRectMake(0, 1, 1, 1)); // the top-left pixel (bottom-up user space)
    send<void>(image, "unlockFocus");
    id cursor =
        send<id>(objc::NSObject::alloc(objc_getClass("NSCursor")), "initWithImage:hotSpot:", image, NSMakePoint(1, 0));
    send<void>(cursor, "set");
    const peer::CursorImage& shown = driver.cursor().cursor();
    EXPECT_EQ(shown.shape, "");
    ASSERT_EQ(shown.width, 4);
    EXPECT_EQ(shown.pixels, (std::vector<std::uint32_t>{0xFF0000FF, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(shown.hotSpot, (peer::Point{1, 0}));
    send<void>(objc_getClass("NSCursor"), "hide");
    EXPECT_TRUE(driver.cursor().isHidden());
    objc::NSObject::release(cursor);
    objc::NSObject::release(image);
}

std::vector<std::string> s_actions;

void onAction(id, SEL, id item)
{
    s_actions.push_back(appkit::utf8(send<CFStringRef>(item, "title")));
}

TEST(AppKitStandIns, MainMenuIsChosenFromTheMenuBarAndByItsKeyEquivalents)
{
    TestDriver driver;
    Class targetClass = objc::StandInClass("TestMenuTarget", objc::ObjectRuntime::lookUpClass("NSObject"))
                            .method("onAction:", &onAction)
                            .registerClass();
    id target = objc::NSObject::allocInit(targetClass);
    auto text = [](const char* s) { return appkit::makeString(s); };
    NSString* fileTitle = text("File");
    NSString* openTitle = text("Open");
    NSString* key = text("o");
    NSString* empty = text("");
    id mainMenu = send<id>(objc::NSObject::alloc(objc_getClass("NSMenu")), "initWithTitle:", empty);
    id fileMenu = send<id>(objc::NSObject::alloc(objc_getClass("NSMenu")), "initWithTitle:", fileTitle);
    id fileItem = send<id>(objc::NSObject::alloc(objc_getClass("NSMenuItem")),
                           "initWithTitle:action:keyEquivalent:", fileTitle, SEL(nullptr), empty);
    id openItem = send<id>(objc::NSObject::alloc(objc_getClass("NSMenuItem")),
                           "initWithTitle:action:keyEquivalent:", openTitle, objc::selector("onAction:"), key);
    send<void>(openItem, "setTarget:", target);
    send<void>(fileMenu, "addItem:", openItem);
    send<void>(fileItem, "setSubmenu:", fileMenu);
    send<void>(mainMenu, "addItem:", fileItem);
    send<id>(objc_getClass("NSApplication"), "sharedApplication");
    send<void>(NSApp, "setMainMenu:", mainMenu);

    s_actions.clear();
    EXPECT_TRUE(driver.chooseMenuItem({"File", "Open"}));
    EXPECT_FALSE(driver.chooseMenuItem({"File", "Close"}));
    // Command-O in a window reaches the item through the application.
    id window =
        send<id>(objc::NSObject::alloc(objc_getClass("NSWindow")),
                 "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 100, 100), 15ul, 2ul, BOOL(YES));
    send<void>(window, "makeKeyAndOrderFront:", id(nil));
    driver.key(driver.peerOf(window), 31, "o", keyboard::kModifierCommand);
    EXPECT_EQ(s_actions, (std::vector<std::string>{"Open", "Open"}));
    EXPECT_EQ(driver.menuBar().tree().children.at(0).children.at(0).keyEquivalent, "o");

    send<void>(window, "close");
    send<void>(NSApp, "setMainMenu:", id(nil));
    for (id object : {openItem, fileItem, fileMenu, mainMenu, target})
        objc::NSObject::release(object);
    for (NSString* s : {fileTitle, openTitle, key, empty})
        CFRelease(s);
}

} // namespace

namespace {

using namespace platform;
using headless::TestDriver;
using objc::send;

void countReconfiguration(CGDirectDisplayID display, CGDisplayChangeSummaryFlags, void* count)
{
    static_cast<std::vector<CGDirectDisplayID>*>(count)->push_back(display);
}

TEST(CGDisplay, ScreensCursorAndMouseDeltasGoThroughTheBackend)
{
    TestDriver driver;
    std::vector<CGDirectDisplayID> reported;
    ASSERT_EQ(CGDisplayRegisterReconfigurationCallback(&countReconfiguration, &reported), kCGErrorSuccess);
    driver.setScreens("1280x800@2,1920x1080");
    EXPECT_EQ(reported, (std::vector<CGDirectDisplayID>{1, 2}));
    EXPECT_EQ(CGMainDisplayID(), 1u);
    CGColorSpaceRef space = CGDisplayCopyColorSpace(CGMainDisplayID());
    EXPECT_NE(space, nullptr);
    CGColorSpaceRelease(space);
    EXPECT_EQ(CGDisplayCopyColorSpace(7), nullptr);
    EXPECT_EQ(CGDisplayRemoveReconfigurationCallback(&countReconfiguration, &reported), kCGErrorSuccess);
    driver.setScreens("1920x1080");
    EXPECT_EQ(reported.size(), 2u);

    CGWarpMouseCursorPosition(CGPointMake(30, 40));
    EXPECT_EQ(driver.cursor().location(), (peer::Point{30, 40}));
    CGAssociateMouseAndMouseCursorPosition(false);
    EXPECT_FALSE(driver.cursor().isAssociated());

    id window =
        send<id>(objc::NSObject::alloc(objc_getClass("NSWindow")),
                 "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 100, 100), 15ul, 2ul, BOOL(YES));
    send<void>(window, "orderFront:", id(nil));
    driver.moveMouseBy(driver.peerOf(window), {50, 50}, 3.7, -2.2);
    std::int32_t dx = 0, dy = 0;
    CGGetLastMouseDelta(&dx, &dy);
    EXPECT_EQ(dx, 3);
    EXPECT_EQ(dy, -2);
    send<void>(window, "close");
}

} // namespace

namespace {

using namespace platform;
using headless::TestDriver;
using objc::send;

std::vector<std::string> s_drags;

unsigned long dragEntered(id, SEL, id info)
{
    const NSPoint p = send<NSPoint>(info, "draggingLocation");
    s_drags.push_back("entered " + std::to_string(long(p.x)) + "," + std::to_string(long(p.y)) + " mask " +
                      std::to_string(send<unsigned long>(info, "draggingSourceOperationMask")));
    return 1; // copy
}

unsigned long dragUpdatedAt(id, SEL, id)
{
    s_drags.push_back("updated");
    return 16; // move
}

BOOL performDrag(id, SEL, id info)
{
    s_drags.push_back("perform " + appkit::utf8(send<NSString*>(send<id>(info, "draggingPasteboard"), "name")));
    return YES;
}

unsigned long sourceMask(id, SEL, BOOL)
{
    return 1 | 16;
}

void draggedImageEnded(id, SEL, id, NSPoint, unsigned long operation)
{
    s_drags.push_back("ended " + std::to_string(operation));
}

TEST(AppKitStandIns, DragsReachRegisteredViewsAndSourcesLearnTheOutcome)
{
    TestDriver driver;
    Class viewClass = objc::StandInClass("TestDropView", objc::ObjectRuntime::lookUpClass("NSView"))
                          .method("draggingEntered:", &dragEntered)
                          .method("draggingUpdated:", &dragUpdatedAt)
                          .method("performDragOperation:", &performDrag)
                          .method("draggingSourceOperationMaskForLocal:", &sourceMask)
                          .method("draggedImage:endedAt:operation:", &draggedImageEnded)
                          .registerClass();
    id window =
        send<id>(objc::NSObject::alloc(objc_getClass("NSWindow")),
                 "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 200, 100), 15ul, 2ul, BOOL(YES));
    id view = send<id>(objc::NSObject::alloc(viewClass), "initWithFrame:", NSMakeRect(0, 0, 100, 100));
    const void* types[] = {NSStringPboardType};
    CFArrayRef typeList = CFArrayCreate(nullptr, types, 1, &kCFTypeArrayCallBacks);
    send<void>(view, "registerForDraggedTypes:", typeList);
    send<void>(send<id>(window, "contentView"), "addSubview:", view);
    send<void>(window, "orderFront:", id(nil));
    HeadlessWindow& peer = driver.peerOf(window);

    s_drags.clear();
    EXPECT_EQ(driver.dragOver(peer, {150, 50}, "drag", 17), 0u); // outside the view
    EXPECT_EQ(driver.dragOver(peer, {10, 20}, "drag", 17), 1u);
    EXPECT_EQ(driver.dragOver(peer, {12, 20}, "drag", 17), 16u);
    EXPECT_TRUE(driver.drop(peer, {12, 20}, "drag", 17));

    id pasteboard = send<id>(objc_getClass("NSPasteboard"), "pasteboardWithName:", NSDragPboard);
    send<void>(view, "dragImage:at:offset:event:pasteboard:source:slideBack:", id(nil), NSMakePoint(5, 5),
               NSMakeSize(0, 0), id(nil), pasteboard, view, BOOL(YES));
    ASSERT_TRUE(driver.drag().isDragging());
    EXPECT_EQ(driver.drag().allowedOperations(), 17u);
    EXPECT_EQ(driver.drag().pasteboard(), "Apple CFPasteboard drag");
    driver.drag().finish({0, 0}, 16);

    const std::vector<std::string> expected = {"entered 10,80 mask 17", "updated", "perform drag", "ended 16"};
    EXPECT_EQ(s_drags, expected);
    send<void>(window, "close");
    objc::NSObject::release(view);
    CFRelease(typeList);
}

} // namespace

namespace {

using namespace platform;
using headless::TestDriver;
using objc::send;

// What the application tells its delegate, in order.
std::vector<std::string> s_heard;

Class listeningDelegateClass()
{
    static Class s_class = objc::StandInClass("ListeningAppDelegate", objc::NSObject::rootClass())
                               .method(
                                   "applicationDidBecomeActive:", +[](id, SEL, id) { s_heard.push_back("active"); })
                               .method(
                                   "applicationDidResignActive:", +[](id, SEL, id) { s_heard.push_back("inactive"); })
                               .method(
                                   "application:openFile:",
                                   +[](id, SEL, id, CFStringRef path) -> BOOL {
                                       char text[512] = {};
                                       CFStringGetCString(path, text, sizeof text, kCFStringEncodingUTF8);
                                       s_heard.push_back(std::string("open ") + text);
                                       return YES;
                                   })
                               .method(
                                   "applicationDidFinishLaunching:",
                                   +[](id, SEL, id) {
                                       s_heard.push_back("launched");
                                       send<void>(NSApp, "stop:", id(nil));
                                   })
                               .registerClass();
    return s_class;
}

TEST(AppKitStandIns, TheDelegateHearsOfTheLaunchDocumentsOnceAndOfTheFocusComingAndGoing)
{
    TestDriver driver;
    s_heard.clear();
    id delegate = objc::NSObject::allocInit(listeningDelegateClass());
    id application = send<id>(appkit::NSApplicationClass(), "sharedApplication");
    send<void>(application, "setDelegate:", delegate);
    const char* arguments[] = {"updater", "--demo", "", "/tmp/a b.fw", "notes.txt", "-", "--", "--", "-x.fw"};
    appkit::NSApplication::setLaunchArguments(9, const_cast<char**>(arguments));
    send<void>(application, "run");
    send<void>(application, "run");
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(s_heard,
              (std::vector<std::string>{"open /tmp/a b.fw", "open " + here + "/notes.txt", "open " + here + "/-",
                                        "open " + here + "/--", "open " + here + "/-x.fw", "launched"}));

    s_heard.clear();
    {
        test::StandInWindow first(RecordingView::windowSpec());
        driver.runPending();
        test::StandInWindow second(RecordingView::windowSpec()); // takes the focus from the first
        driver.runPending();
        EXPECT_EQ(s_heard, std::vector<std::string>{"active"});
        driver.focus(nullptr);
        driver.runPending();
        driver.focus(&driver.peerOf(first.window));
        driver.runPending();
        driver.focus(&driver.peerOf(second.window));
        driver.runPending();
        EXPECT_EQ(s_heard, (std::vector<std::string>{"active", "inactive", "active"}));
    }
    appkit::NSApplication::resetForTesting();
    objc::NSObject::release(delegate);
}

// A later launch of the program brings a minimised window back with the
// focus; the application's own activation leaves it minimised.
TEST(AppKitStandIns, ALaterLaunchRestoresAMinimisedWindowWithTheFocus)
{
    TestDriver driver;
    send<id>(appkit::NSApplicationClass(), "sharedApplication");
    {
        test::StandInWindow window(RecordingView::windowSpec());
        HeadlessWindow& peer = driver.peerOf(window.window);
        send<void>(window.window, "miniaturize:", id(nil));
        driver.runPending();
        ASSERT_TRUE(peer.isMinimized());
        ASSERT_FALSE(peer.hasFocus());

        send<void>(NSApp, "activateIgnoringOtherApps:", BOOL(YES));
        driver.runPending();
        EXPECT_TRUE(peer.isMinimized());

        appkit::NSApplication::activateForLaunch("");
        driver.runPending();
        EXPECT_FALSE(send<BOOL>(window.window, "isMiniaturized"));
        EXPECT_TRUE(peer.isVisible());
        EXPECT_TRUE(peer.hasFocus());
        EXPECT_TRUE(send<BOOL>(window.window, "isKeyWindow"));
    }
    appkit::NSApplication::resetForTesting();
}

} // namespace
