#include "FrameworkTestSupport.h"

#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/CursorManager.h"
#include "FEN/StandaloneWindow.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::AttachedApplication;
using platform::headless::TestDriver;

// Starts the cursors for one test and stops them after.
class CursorTest : public testing::Test {
protected:
    CursorTest() { CursorManager::init(); }
    ~CursorTest() override { CursorManager::deInit(); }
    TestDriver driver;
};

TEST_F(CursorTest, TableSharesTheStandardCursorsAndOwnsAnInvisibleOne)
{
    void** table = CursorManager::s_hStdCursors;
    for (int i = 0; i < CursorManager::kStdCursorCount; ++i)
        EXPECT_NE(table[i], nullptr) << i;
    EXPECT_EQ(table[1], table[5]);
    EXPECT_EQ(table[1], table[6]);
    EXPECT_EQ(table[1], table[8]);
    EXPECT_EQ(table[0], table[11]);

    // Each entry sets the shape its number stands for.
    const std::pair<int, const char*> shapes[] = {
        {0, "arrow"},
        {1, "crosshair"},
        {2, "open-hand"},
        {3, "ibeam"},
        {4, "not-allowed"},
        {7, "resize-up-down"},
        {9, "resize-left-right"},
        {10, "resize-up"},
        {13, "pointing-hand"},
        {14, "closed-hand"},
        {15, "copy"},
        {16, "alias"},
    };
    for (auto const& [index, shape] : shapes) {
        CursorManager::setSystemCursor(table[index]);
        EXPECT_EQ(driver.cursor().cursor().shape, shape) << index;
    }

    // The invisible cursor: 16 x 16 transparent pixels, hot spot at the corner.
    CursorManager::setSystemCursor(table[CursorManager::kInvisibleCursor]);
    auto const& invisible = driver.cursor().cursor();
    EXPECT_TRUE(invisible.shape.empty());
    EXPECT_EQ(invisible.width, 16);
    EXPECT_EQ(invisible.height, 16);
    ASSERT_EQ(invisible.pixels.size(), 256u);
    EXPECT_TRUE(std::all_of(invisible.pixels.begin(), invisible.pixels.end(), [](uint32_t p) { return p == 0; }));
    EXPECT_EQ(invisible.hotSpot.x, 0);
    EXPECT_EQ(invisible.hotSpot.y, 0);

    CursorManager::setSystemCursor(nullptr);
    EXPECT_EQ(driver.cursor().cursor().shape, "arrow");
    CursorManager::setSystemCursor(table[3]);
    CursorManager::resetSystemCursor();
    EXPECT_EQ(driver.cursor().cursor().shape, "arrow");
}

TEST_F(CursorTest, SecondStartChangesNothingAndStopUndoesTheRegistration)
{
    void* invisible = CursorManager::s_hStdCursors[CursorManager::kInvisibleCursor];
    const int64_t registration = CursorManager::s_hStdRegistration;
    const int32_t count = CursorManager::s_nRegistrationCount;
    EXPECT_NE(registration, -1);
    EXPECT_EQ(CursorManager::s_nCurrentRegistrationPos, -1);
    CursorManager::init();
    EXPECT_EQ(CursorManager::s_hStdCursors[CursorManager::kInvisibleCursor], invisible);
    EXPECT_EQ(CursorManager::s_hStdRegistration, registration);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, count);

    CursorManager::deInit();
    EXPECT_FALSE(CursorManager::s_bInit);
    EXPECT_EQ(CursorManager::s_hStdRegistration, -1);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, count - 1);
    EXPECT_EQ(CursorManager::s_hStdCursors[CursorManager::kInvisibleCursor], nullptr);
    CursorManager::init(); // for the fixture's stop
}

TEST_F(CursorTest, WindowsShowingTheInvisibleCursorDropItWhenItIsReleased)
{
    AttachedApplication<Application> app;
    StandaloneWindow window;
    Window::CreateData data;
    ASSERT_TRUE(window.create(data));
    auto* impl = dynamic_cast<COCOA::WindowImplBase*>(window.getImpl());
    ASSERT_NE(impl, nullptr);
    window.setCursor(CursorManager::s_hStdCursors[CursorManager::kInvisibleCursor]);
    EXPECT_NE(impl->getCurrentCursor(), nullptr);

    CursorManager::deInit();
    EXPECT_EQ(impl->getCurrentCursor(), nullptr);
    EXPECT_EQ(driver.cursor().cursor().shape, "arrow");
    window.destroy();
    CursorManager::init();
}

TEST_F(CursorTest, PointerMovesToGlobalPositions)
{
    CursorManager::setCursorPos(CV::BAS::Point{300, 200});
    EXPECT_EQ(driver.cursor().location().x, 300);
    EXPECT_EQ(driver.cursor().location().y, 200);
}

} // namespace
