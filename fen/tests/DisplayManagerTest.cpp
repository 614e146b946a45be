#include "FrameworkTestSupport.h"

#include "FEN/DisplayManager.h"
#include "FEN/EventCodes.h"
#include "platform/cg/CGDisplay.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::BAS::Rect;
using CV::FEN::TEST::AttachedApplication;
using platform::headless::TestDriver;
using platform::peer::ScreenInfo;
using std::chrono::milliseconds;

// Screens in top-down points relative to the first screen's top-left.
ScreenInfo screen(unsigned id, double x, double y, double w, double h, double scale = 1, double menuBar = 0)
{
    return ScreenInfo{id, {x, y, w, h}, {x, y + menuBar, w, h - menuBar}, scale};
}

struct Arrangement {
    const char* name;
    std::vector<ScreenInfo> screens;
    std::vector<Rect> frames; // in the sorted order
    std::vector<Rect> visibleFrames;
    std::vector<bool> retina;
    bool vertical;
    Rect bounds;
};

bool sameRect(Rect const& a, Rect const& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DisplayManager, ArrangementsGiveFramesBoundsScalesAndLayout)
{
    const std::vector<Arrangement> table = {
        {"one screen with a menu bar",
         {screen(1, 0, 0, 1920, 1080, 1, 25)},
         {{0, 0, 1920, 1080}},
         {{0, 25, 1920, 1080}},
         {false},
         false,
         {0, 0, 1920, 1080}},
        {"second screen to the right, high resolution",
         {screen(1, 0, 0, 1920, 1080), screen(2, 1920, 0, 2560, 1440, 2)},
         {{0, 0, 1920, 1080}, {1920, 0, 4480, 1440}},
         {{0, 0, 1920, 1080}, {1920, 0, 4480, 1440}},
         {false, true},
         false,
         {0, 0, 4480, 1440}},
        {"second screen to the left is listed first",
         {screen(1, 0, 0, 1920, 1080), screen(2, -1280, 100, 1280, 1024)},
         {{-1280, 100, 0, 1124}, {0, 0, 1920, 1080}},
         {{-1280, 100, 0, 1124}, {0, 0, 1920, 1080}},
         {false, false},
         false,
         {-1280, 0, 1920, 1124}},
        {"second screen above the main one's centre: stacked, upper first",
         {screen(1, 0, 0, 1920, 1080), screen(2, 400, -1440, 2560, 1440, 1.0005)},
         {{400, -1440, 2960, 0}, {0, 0, 1920, 1080}},
         {{400, -1440, 2960, 0}, {0, 0, 1920, 1080}},
         {false, false},
         true,
         {0, -1440, 2960, 1080}},
        {"a small screen beside the bounds still counts the origin pixel",
         {screen(1, 10, 10, 100, 50)},
         {{10, 0, 110, 50}},
         {{10, 0, 110, 50}},
         {false},
         false,
         {0, 0, 110, 50}},
    };
    for (Arrangement const& row : table) {
        TestDriver driver;
        driver.backend().desktop().setScreens(row.screens);
        ASSERT_TRUE(DisplayManager::init()) << row.name;
        ASSERT_EQ(DisplayManager::s_collDisplays.size(), row.frames.size()) << row.name;
        for (std::size_t i = 0; i < row.frames.size(); ++i) {
            Display const& display = DisplayManager::s_collDisplays[i];
            EXPECT_TRUE(sameRect(display.m_rectFrame, row.frames[i])) << row.name << " #" << i;
            EXPECT_TRUE(sameRect(display.m_rectVisibleFrame, row.visibleFrames[i])) << row.name << " #" << i;
            EXPECT_EQ(display.m_bRetina, row.retina[i]) << row.name << " #" << i;
            EXPECT_TRUE(display.m_bValid);
        }
        EXPECT_EQ(DisplayManager::s_bVerticalDisplays, row.vertical) << row.name;
        EXPECT_TRUE(sameRect(DisplayManager::s_rectDisplayBounds, row.bounds)) << row.name;
        EXPECT_TRUE(sameRect(DisplayManager::getDisplayBounds(), row.bounds)) << row.name;
        DisplayManager::deInit();
        EXPECT_TRUE(DisplayManager::s_collDisplays.empty());
    }
}

TEST(DisplayManager, NoScreenGivesOneEmptyDisplay)
{
    TestDriver driver;
    driver.backend().desktop().setScreens({});
    ASSERT_TRUE(DisplayManager::init());
    ASSERT_EQ(DisplayManager::s_collDisplays.size(), 1u);
    EXPECT_TRUE(sameRect(DisplayManager::s_collDisplays[0].m_rectFrame, Rect{0, 0, 0, 0}));
    EXPECT_TRUE(sameRect(DisplayManager::s_rectDisplayBounds, Rect{0, 0, 0, 0}));
    DisplayManager::deInit();
}

// Counts DisplaysChanged and runs a hook with each.
class DisplayApp : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eApplicationEvent::DisplaysChanged) {
            ++changes;
            if (onChange)
                onChange();
            return true;
        }
        return Application::onEvent(code, data);
    }
    int changes = 0;
    std::function<void()> onChange;
};

TEST(DisplayManager, ReconfigurationRefreshesOneSecondLaterOncePerReport)
{
    TestDriver driver;
    AttachedApplication<DisplayApp> app;
    ASSERT_TRUE(DisplayManager::init());
    // Two screens: the platform reports each, so two refreshes follow.
    driver.setScreens("1920x1080,1280x1024@2");
    driver.advance(milliseconds(999));
    EXPECT_EQ(app->changes, 0);
    EXPECT_EQ(DisplayManager::s_collDisplays.size(), 1u); // not yet refreshed
    driver.advance(milliseconds(1));
    EXPECT_EQ(app->changes, 2);
    ASSERT_EQ(DisplayManager::s_collDisplays.size(), 2u);
    EXPECT_TRUE(DisplayManager::s_collDisplays[1].m_bRetina);

    // The begin and moved notices alone schedule nothing.
    DisplayManagerImpl::reconfigurationCallback(1, kCGDisplayBeginConfigurationFlag | kCGDisplayMovedFlag, nullptr);
    driver.advance(milliseconds(2000));
    EXPECT_EQ(app->changes, 2);
    DisplayManager::deInit();
}

TEST(DisplayManager, StoppingCancelsPendingRefreshesEvenFromTheChangeHandler)
{
    TestDriver driver;
    AttachedApplication<DisplayApp> app;
    ASSERT_TRUE(DisplayManager::init());
    DisplayManager::deInit();
    DisplayManager::init();
    DisplayManagerImpl::reconfigurationCallback(1, kCGDisplaySetModeFlag, nullptr);
    DisplayManager::deInit();
    driver.advance(milliseconds(2000));
    EXPECT_EQ(app->changes, 0);

    // A receiver that stops the manager while two refreshes are pending:
    // the one being delivered is released once, the other cancelled.
    DisplayManager::init();
    app->onChange = [] { DisplayManager::deInit(); };
    DisplayManagerImpl::reconfigurationCallback(1, kCGDisplayAddFlag, nullptr);
    DisplayManagerImpl::reconfigurationCallback(2, kCGDisplayAddFlag, nullptr);
    driver.advance(milliseconds(1500));
    EXPECT_EQ(app->changes, 1);
    EXPECT_FALSE(DisplayManager::s_bInited);
}

} // namespace
