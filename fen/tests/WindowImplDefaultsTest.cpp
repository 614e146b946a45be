#include "FrameworkTestSupport.h"

#include "BAS/Region.h"
#include "FEN/DETAIL/WindowImpl.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/MainWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace CV::FEN;
using CV::BAS::Point;
using CV::BAS::Rect;
using CV::FEN::TEST::AttachedApplication;

// A platform side that keeps a rectangle and records invalidations; the
// rest comes from the portable defaults.
class RecordingImpl : public DETAIL::WindowImpl {
public:
    using DETAIL::WindowImpl::WindowImpl;
    bool updateOffscreenPicture(Picture const&) override { return false; }
    bool isVisible() const override { return true; }
    void setTitle(const char*) override { }
    void setMenu(HMenuBar const&) override { }
    void setWindowIcon(AppModule*, int) override { }
    void setCursor(void*) override { }
    void resetCursor() override { }
    void show(bool) override { }
    void activate() override { }
    void destroy() override { }
    bool isMinimized() const override { return minimized; }
    void invalidate() override { }
    void invalidateRect(Rect const& rect) override { invalidated.push_back(rect); }
    void update() override { }
    void getRect(Rect& r, bool) const override { r = rect; }
    void setRect(Rect const& r, bool) override { rect = r; }
    void getState(WindowState&) override { }
    void restoreState(WindowState const&) override { }
    void toScreen(Point&) const override { }
    void toScreen(Rect&) const override { }
    void fromScreen(Point&) const override { }
    void setKeyFocus() override { }
    bool releaseKeyFocus() override { return true; }
    void setModified(bool) override { }

    Rect rect{10, 20, 110, 70};
    bool minimized = false;
    std::vector<Rect> invalidated;
};

// Handles what it is told to and answers IdealSize with its ideal.
class Target : public MainWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        received.push_back(code);
        if (code == eWindowEvent::IdealSize && ideal.x > 0) {
            static_cast<SizeEventData*>(data)->size = ideal;
            return true;
        }
        return false;
    }
    Point ideal{0, 0};
    std::vector<unsigned> received;
};

class Recorder : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        received.push_back(code);
        return Application::onEvent(code, data);
    }
    std::vector<unsigned> received;
};

TEST(WindowImplDefaults, UnhandledEventsBubbleToTheApplicationOnlyWhenAsked)
{
    AttachedApplication<Recorder> app;
    Target window;
    RecordingImpl impl(window);
    KeyEventData key;
    MouseButtonEventData mouse;
    EXPECT_FALSE(impl.sendEvent(eKeyEvent::KeyDown, &key, true));
    EXPECT_FALSE(impl.sendEvent(eMouseEvent::MouseButton, &mouse, false));
    EXPECT_EQ(window.received, (std::vector<unsigned>{1100, 1000}));
    EXPECT_EQ(app->received, (std::vector<unsigned>{1100}));
}

TEST(WindowImplDefaults, GeometryThroughGetRectAndSetRect)
{
    Target window;
    RecordingImpl impl(window);
    EXPECT_EQ(impl.getPosition(true).x, 10);
    EXPECT_EQ(impl.getSize(true).y, 50);
    impl.setPosition(Point{-5, 7}, true);
    EXPECT_EQ(impl.rect.left, -5);
    EXPECT_EQ(impl.rect.bottom, 57);
    impl.setSize(Point{30, 40}, false);
    EXPECT_EQ(impl.rect.right, 25);
    EXPECT_EQ(impl.rect.bottom, 47);
    EXPECT_EQ(impl.getBackingScaleFactor(), 1.0f);
    EXPECT_TRUE(impl.isCocoa());
}

TEST(WindowImplDefaults, IdealSizeAskedOnlyInNormalSize)
{
    Target window;
    RecordingImpl impl(window);
    EXPECT_TRUE(impl.isIdealSize()); // nobody answers
    window.ideal = Point{100, 50};
    EXPECT_TRUE(impl.isIdealSize());
    window.ideal = Point{200, 80};
    EXPECT_FALSE(impl.isIdealSize());
    impl.idealSize();
    EXPECT_EQ(impl.getSize(true).x, 200);
    EXPECT_EQ(impl.getSize(true).y, 80);
    impl.minimized = true;
    window.received.clear();
    EXPECT_FALSE(impl.isIdealSize());
    impl.idealSize();
    EXPECT_TRUE(window.received.empty());
}

TEST(WindowImplDefaults, RegionsAreInvalidatedRectangleByRectangle)
{
    CV::BAS::Region::init();
    Target window;
    RecordingImpl impl(window);
    CV::BAS::Region region;
    impl.invalidateRegion(region);
    EXPECT_TRUE(impl.invalidated.empty());
    region.addFast(Rect{0, 0, 10, 10});
    region.addFast(Rect{20, 20, 30, 30});
    impl.invalidateRegion(region);
    ASSERT_EQ(impl.invalidated.size(), 2u);
    EXPECT_EQ(impl.invalidated[1].left, 20);
    region.clear();
    CV::BAS::Region::deInit();
}

} // namespace
