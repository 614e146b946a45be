#include "FrameworkTestSupport.h"

#include "FEN/COCOA/ContentView.h"
#include "FEN/COCOA/StandaloneWindowImpl.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/StandaloneWindow.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::BAS::Point;
using CV::BAS::Rect;
using CV::FEN::TEST::AttachedApplication;
using platform::headless::TestDriver;
namespace objc = platform::objc;

class CountingApp : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eApplicationEvent::MayQuit) {
            static_cast<AnswerEventData*>(data)->answer = mayQuit;
            return true;
        }
        return Application::onEvent(code, data);
    }
    void postQuit() override
    {
        ++quits;
        Application::postQuit();
    }
    bool mayQuit = true;
    int quits = 0;
};

// A window that logs the window events it gets.
class LoggingWindow : public StandaloneWindow {
public:
    explicit LoggingWindow(bool* deleted = nullptr)
        : m_deleted(deleted)
    {
    }
    ~LoggingWindow() override
    {
        if (m_deleted != nullptr)
            *m_deleted = true;
    }
    bool onEvent(unsigned code, EventData* data) override
    {
        events.push_back(code);
        if (code == eWindowEvent::Closed && onClosed)
            onClosed();
        return StandaloneWindow::onEvent(code, data);
    }
    std::vector<unsigned> events;
    std::function<void()> onClosed;

private:
    bool* m_deleted;
};

constexpr uint32_t kSizeAndPosition = Window::CreateData::SizeFromRect | Window::CreateData::PositionFromRect;

Window::CreateData dataFor(uint32_t flags, uint32_t style, Rect rect = Rect{0, 0, 0, 0})
{
    Window::CreateData data;
    data.flags = flags;
    data.style = style;
    data.rect = rect;
    return data;
}

id nativeWindowOf(WindowBase const& window)
{
    auto* impl = dynamic_cast<COCOA::WindowImplBase*>(window.getImpl());
    return impl != nullptr ? impl->getNativeWindow() : nil;
}

class WindowTest : public testing::Test {
protected:
    TestDriver driver;
    AttachedApplication<CountingApp> app;
};

TEST(WindowStyle, StyleBitsGiveMaskAndLevel)
{
    using COCOA::WindowImplBase;
    struct Case {
        uint32_t style;
        WindowImplBase::eWindowClass cls;
        unsigned long mask;
        long level;
    };
    const Case cases[] = {
        {0x0, WindowImplBase::eNormal, 15, 0},
        {0x1, WindowImplBase::eNormal, 7, 0},
        {0x1 | 0x2, WindowImplBase::eNormal, 15, 0},
        {0x8, WindowImplBase::eNormal, 14, 0},
        {0x20, WindowImplBase::eNormal, 13, 0},
        {0x80 | 0x1 | 0x8, WindowImplBase::eNormal, 0, 0},
        {0x80 | 0x200, WindowImplBase::eNormal, 128, 0},
        {0x100, WindowImplBase::eNormal, 15, 3},
        {0x100 | 0x800, WindowImplBase::eNormal, 15, 101},
        {0x100 | 0x2000, WindowImplBase::eNormal, 15, 1000},
        {0x2000, WindowImplBase::eNormal, 15, 1000},
        {0x0, WindowImplBase::ePanel, 31, 3},
        {0x800 | 0x200, WindowImplBase::ePanel, 159, 101},
        {0x80, WindowImplBase::eOverlayPanel, 16, 3},
        {0x0, WindowImplBase::ePlain, 1, 0},
        {0x10 | 0x2, WindowImplBase::ePlain, 11, 0},
        {0x8 | 0x10, WindowImplBase::ePlain, 0, 0},
        {0x80 | 0x2, WindowImplBase::ePlain, 8, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(COCOA::WindowImpl::styleMaskFor(c.style, c.cls), c.mask) << std::hex << c.style << " " << c.cls;
        EXPECT_EQ(COCOA::WindowImpl::levelFor(c.style, c.cls), c.level) << std::hex << c.style << " " << c.cls;
    }
}

TEST_F(WindowTest, StandaloneWindowsGetTheirMaskLevelAndFullScreenBehaviour)
{
    struct Case {
        uint32_t style;
        unsigned long mask;
        long level;
        unsigned long behaviour;
    };
    const Case cases[] = {
        {0x0, 15, 0, 128},
        {0x1, 7, 0, 0},
        {0x1 | 0x2, 15, 0, 0},
        {0x100 | 0x800, 15, 101, 128},
    };
    for (const Case& c : cases) {
        LoggingWindow window;
        ASSERT_TRUE(window.create(dataFor(0, c.style)));
        id native = nativeWindowOf(window);
        EXPECT_STREQ(class_getName(object_getClass(native)), "CVCocoaWindow");
        EXPECT_EQ(objc::send<unsigned long>(native, "styleMask"), c.mask) << std::hex << c.style;
        EXPECT_EQ(objc::send<long>(native, "level"), c.level) << std::hex << c.style;
        EXPECT_EQ(objc::send<unsigned long>(native, "collectionBehavior"), c.behaviour) << std::hex << c.style;
        EXPECT_EQ(window.events, std::vector<unsigned>{eWindowEvent::Created});
        window.destroy();
    }
}

TEST_F(WindowTest, DefaultAndUpdaterShapedWindowsArePlacedInFrameworkCoordinates)
{
    LoggingWindow plain;
    ASSERT_TRUE(plain.create(dataFor(0, 0)));
    Rect rect{};
    plain.getRect(rect, true);
    EXPECT_EQ(rect.right - rect.left, 400);
    EXPECT_EQ(rect.bottom - rect.top, 300);
    plain.getRect(rect, false);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(app->getMainWindow(), &plain);

    LoggingWindow updater;
    Window::CreateData data = dataFor(kSizeAndPosition | Window::CreateData::Reserved, eWindowStyle::NotResizable,
                                      Rect{200, 150, 200 + 627, 150 + 335});
    data.setTitle("Updater");
    ASSERT_TRUE(updater.create(data));
    updater.getRect(rect, true);
    EXPECT_EQ(rect.right - rect.left, 627);
    EXPECT_EQ(rect.bottom - rect.top, 335);
    updater.getRect(rect, false);
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.top, 150);
    id native = nativeWindowOf(updater);
    EXPECT_EQ(objc::send<unsigned long>(native, "styleMask") & 8, 0u); // not resizable
    EXPECT_EQ(objc::send<unsigned long>(native, "collectionBehavior"), 0u);
    EXPECT_EQ(driver.peerOf(native).title(), "Updater");
    EXPECT_EQ(app->getMainWindow(), &updater);
    EXPECT_EQ(Application::getWindows(), (std::list<Window*>{&plain, &updater}));

    // Shown on request, with AboutToShow only while hidden.
    updater.show(true);
    updater.show(true);
    updater.show(false);
    EXPECT_EQ(std::count(updater.events.begin(), updater.events.end(), eWindowEvent::AboutToShow), 1);
    Application::destroyAllWindows();
    EXPECT_EQ(updater.getImpl(), nullptr);
    EXPECT_EQ(plain.getImpl(), nullptr);
}

TEST_F(WindowTest, CoordinatesRoundTripOnTwoScreens)
{
    driver.setScreens("1920x1080,1280x1024@2");
    LoggingWindow window;
    ASSERT_TRUE(window.create(dataFor(kSizeAndPosition, 0, Rect{2000, 300, 2300, 500})));
    Rect rect{};
    window.getRect(rect, true);
    EXPECT_EQ(rect.left, 2000);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);

    Point origin{0, 0};
    window.toScreen(origin);
    EXPECT_EQ(origin.x, rect.left);
    EXPECT_EQ(origin.y, rect.top);
    window.fromScreen(origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    Point inside{17, 23};
    window.toScreen(inside);
    window.fromScreen(inside);
    EXPECT_EQ(inside.x, 17);
    EXPECT_EQ(inside.y, 23);

    // Setting a rectangle and reading it back, frame and content.
    for (bool content : {true, false}) {
        const Rect wanted{-50, 40, 350, 440};
        window.setRect(wanted, content);
        window.getRect(rect, content);
        EXPECT_EQ(rect.left, wanted.left) << content;
        EXPECT_EQ(rect.top, wanted.top) << content;
        EXPECT_EQ(rect.right, wanted.right) << content;
        EXPECT_EQ(rect.bottom, wanted.bottom) << content;
    }
    // A new size keeps the top edge.
    window.getRect(rect, true);
    window.getImpl()->setSize(Point{120, 90}, true);
    Rect resized{};
    window.getRect(resized, true);
    EXPECT_EQ(resized.top, rect.top);
    EXPECT_EQ(resized.right - resized.left, 120);
    EXPECT_EQ(resized.bottom - resized.top, 90);
    window.getImpl()->setPosition(Point{10, 20}, false);
    window.getRect(rect, false);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    window.destroy();
}

TEST_F(WindowTest, UserCloseAsksMayQuitThenClosesOnceAndQuitsOnce)
{
    bool deleted = false;
    auto* window = new LoggingWindow(&deleted);
    window->setAutoDelete(true);
    ASSERT_TRUE(window->create(dataFor(0, 0)));
    window->show(true);
    auto& peer = driver.peerOf(nativeWindowOf(*window));

    app->mayQuit = false;
    EXPECT_FALSE(driver.close(peer));
    EXPECT_FALSE(deleted);
    EXPECT_EQ(app->quits, 0);

    app->mayQuit = true;
    EXPECT_TRUE(driver.close(peer));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(app->quits, 1);
    EXPECT_TRUE(app->isQuitting());
    // The application forgot its main window with the object.
    EXPECT_EQ(app->getMainWindow(), nullptr);
    EXPECT_TRUE(Application::getWindows().empty());
}

TEST_F(WindowTest, ClosedArrivesOnceAndDestroyAfterCloseDoesNothing)
{
    LoggingWindow window;
    ASSERT_TRUE(window.create(dataFor(0, 0)));
    id view =
        window.getImpl() != nullptr ? dynamic_cast<COCOA::WindowImplBase*>(window.getImpl())->getContentView() : nil;
    // The platform reports the close twice.
    objc::send<void>(view, "windowWillClose:", id(nil));
    objc::send<void>(view, "windowWillClose:", id(nil));
    EXPECT_EQ(std::count(window.events.begin(), window.events.end(), eWindowEvent::Closed), 1);
    EXPECT_EQ(window.getImpl(), nullptr);
    EXPECT_EQ(app->quits, 1);
    window.destroy();
    EXPECT_EQ(std::count(window.events.begin(), window.events.end(), eWindowEvent::Closed), 1);
    // Closing while the application quits posts nothing more.
    LoggingWindow second;
    ASSERT_TRUE(second.create(dataFor(0, 0)));
    second.destroy();
    EXPECT_EQ(app->quits, 1);
}

TEST_F(WindowTest, ClosingOneWindowMayDestroyAnotherInsideItsClosedEvent)
{
    LoggingWindow first, second;
    ASSERT_TRUE(first.create(dataFor(0, 0)));
    ASSERT_TRUE(second.create(dataFor(0, 0)));
    first.onClosed = [&] { second.destroy(); };
    first.show(true);
    EXPECT_TRUE(driver.close(driver.peerOf(nativeWindowOf(first))));
    EXPECT_EQ(std::count(second.events.begin(), second.events.end(), eWindowEvent::Closed), 1);
    EXPECT_EQ(first.getImpl(), nullptr);
    EXPECT_EQ(second.getImpl(), nullptr);
}

TEST_F(WindowTest, ResignOrderOfTheContentViewAndOfTheWindowDelegate)
{
    LoggingWindow viewed;
    ASSERT_TRUE(viewed.create(dataFor(0, 0)));
    id view = dynamic_cast<COCOA::WindowImplBase*>(viewed.getImpl())->getContentView();
    viewed.events.clear();
    for (const char* notification :
         {"windowDidBecomeKey:", "windowDidBecomeMain:", "windowDidResignMain:", "windowDidResignKey:"})
        objc::send<void>(view, notification, id(nil));
    EXPECT_EQ(viewed.events,
              (std::vector<unsigned>{eWindowEvent::BecameKey, eWindowEvent::BecameMain, eWindowEvent::ResignedMain,
                                     eWindowEvent::ResignedKey, eWindowEvent::CaptureLost}));

    // A window made without a view has the delegate object.
    // Closing the native window deletes the implementation.
    LoggingWindow bare;
    auto* impl = new COCOA::WindowImpl(bare);
    ASSERT_TRUE(impl->createWindow(dataFor(0, 0), COCOA::WindowImplBase::eNormal, false));
    id native = impl->getNativeWindow();
    id delegate = objc::send<id>(native, "delegate");
    EXPECT_STREQ(class_getName(object_getClass(delegate)), "CVCocoaWindowDelegateClass");
    bare.events.clear();
    objc::send<void>(delegate, "windowDidResignKey:", id(nil));
    objc::send<void>(native, "close");
    EXPECT_EQ(bare.events,
              (std::vector<unsigned>{eWindowEvent::CaptureLost, eWindowEvent::ResignedKey, eWindowEvent::Closed}));
}

TEST_F(WindowTest, UserResizeIsClampedToTheLimitsAHandlerGives)
{
    struct Limited : LoggingWindow {
        bool onEvent(unsigned code, EventData* data) override
        {
            if (code != eWindowEvent::WillResize)
                return LoggingWindow::onEvent(code, data);
            *static_cast<ResizeLimitsEventData*>(data) = limits;
            return true;
        }
        ResizeLimitsEventData limits;
    } window;
    ASSERT_TRUE(window.create(dataFor(0, 0)));
    auto& peer = driver.peerOf(nativeWindowOf(window));
    struct Case {
        uint32_t flags;
        platform::peer::Size proposed;
        Point expected;
    };
    const Case cases[] = {
        {0, {90, 700}, {90, 700}}, // handled without limits: as proposed
        {1, {90, 700}, {200, 700}},
        {2, {90, 700}, {90, 500}},
        {3, {900, 10}, {600, 150}},
    };
    for (const Case& c : cases) {
        window.limits.flags = c.flags;
        window.limits.minimum = Point{200, 150};
        window.limits.maximum = Point{600, 500};
        driver.resize(peer, c.proposed);
        EXPECT_EQ(window.getSize(true).x, c.expected.x) << c.flags;
        EXPECT_EQ(window.getSize(true).y, c.expected.y) << c.flags;
    }
    window.destroy();
}

TEST_F(WindowTest, StateIsSavedAndRestoredWithinTheDisplays)
{
    driver.setScreens("1920x1080,1280x1024@2");
    driver.advance(std::chrono::seconds(1)); // the display list follows a second later
    LoggingWindow window;
    ASSERT_TRUE(window.create(dataFor(0, 0)));
    window.show(true);
    WindowState state;
    window.getImpl()->getState(state);
    EXPECT_EQ(state.showState, 1);
    EXPECT_EQ(state.position.x, 100);
    EXPECT_EQ(state.position.y, 100);
    EXPECT_EQ(state.size.x, 400);
    EXPECT_EQ(state.size.y, 300);
    EXPECT_EQ(state.kind, 3);

    struct Case {
        Point size;
        Point expected;
    };
    const Case cases[] = {
        {{640, 480}, {640, 480}},
        {{3200, 1000}, {3200, 1000}}, // both screens together
        {{3300, 1000}, {3200, 1000}}, // wider than all displays: the size stays
    };
    for (const Case& c : cases) {
        WindowState saved = state;
        saved.size = c.size;
        saved.position = Point{30, 40};
        window.getImpl()->restoreState(saved);
        EXPECT_EQ(window.getSize(true).x, c.expected.x) << c.size.x;
        EXPECT_EQ(window.getSize(true).y, c.expected.y) << c.size.x;
    }
    EXPECT_EQ(WindowBase::fixupWindowState(WindowState{1, {0, 0}, {-1, 5}, 3}).size.y, 0);
    WindowState hidden = state;
    hidden.showState = 0;
    window.getImpl()->restoreState(hidden);
    EXPECT_FALSE(window.isVisible());
    window.destroy();
}

TEST_F(WindowTest, FullScreenTogglesOnceAndReportsTheSizeChange)
{
    LoggingWindow window;
    ASSERT_TRUE(window.create(dataFor(0, 0)));
    window.events.clear();
    const Point unused{0, 0};
    window.setFullScreenMode(unused);
    window.setFullScreenMode(unused);
    EXPECT_TRUE(window.isFullScreenMode());
    window.resetFullScreenMode();
    window.resetFullScreenMode();
    EXPECT_FALSE(window.isFullScreenMode());
    // Each toggle: the content view reports its new frame (from setFrameSize:
    // and from its frame-changed notification), then the window its size
    // change.
    EXPECT_EQ(window.events, std::vector<unsigned>(6, eWindowEvent::SizeChanged));
    window.destroy();
}

TEST_F(WindowTest, GuardedCallsWithoutViewOrTitle)
{
    LoggingWindow window;
    EXPECT_EQ(window.getBackingScaleFactor(), 1.0f);
    window.textInputResetMarkedRange();
    ASSERT_TRUE(window.create(dataFor(0, 0)));
    window.setTitle(nullptr);
    EXPECT_EQ(driver.peerOf(nativeWindowOf(window)).title(), "");
    EXPECT_EQ(window.getBackingScaleFactor(), 1.0f);
    window.textInputResetMarkedRange();
    window.destroy();
    EXPECT_EQ(window.getBackingScaleFactor(), 1.0f);
}

} // namespace
