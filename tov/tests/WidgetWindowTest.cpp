#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "BAS/Message.h"
#include "FEN/AppModule.h"
#include "FEN/Application.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/DragDropSupport.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/Picture.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/Lib.h"
#include "TOV/Window.h"
#include "WidgetFixture.h"
#include "WidgetWindowFixture.h"
#include "platform/headless/TestDriver.h"

namespace CV::TOV::TEST {
namespace {

using platform::headless::TestDriver;

class WidgetWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Lib::init());
        application = new FEN::Application;
        FEN::TEST::TestModule::instance().attachApplication(application);
    }
    void TearDown() override
    {
        FEN::TEST::TestModule::instance().destroyApplication();
        Lib::deInit();
    }

    static unsigned pixel(FEN::Picture const& picture, int x, int y)
    {
        return picture.getPixels()[y * picture.getWidth() + x];
    }

    TestDriver driver;
    FEN::Application* application = nullptr;
};

TEST_F(WidgetWindowTest, TicksAlignAndPaintTheTreeIntoTheCanvasUntilTheWindowCloses)
{
    auto window = std::make_unique<CountingWindow>();
    auto root = makeWidget();
    root->fill = 0xFF2040A0;
    auto child = makeWidget();
    child->setNoAlign(true);
    root->insertChildWidget(child, "child");
    window->setRoot(root, "root");
    ASSERT_TRUE(window->create(windowData(64, 48)));
    EXPECT_TRUE(window->hasEventTimer());
    EXPECT_EQ(window->Pane::getSize(), (BAS::Point{64, 48}));
    FEN::Picture const& picture = window->getCanvas().getPicture();
    ASSERT_EQ(picture.getWidth(), 64);
    EXPECT_EQ(pixel(picture, 10, 10), 0xFF2040A0u); // painted at creation

    child->setPos({4, 4});
    child->setSize({8, 8});
    child->fill = 0xFF00FF00;
    child->setInvalid(0);
    int const paintsBefore = root->paintCount;
    driver.advance(std::chrono::milliseconds(100));
    EXPECT_GE(window->ticks, 2);
    EXPECT_EQ(pixel(picture, 6, 6), 0xFF00FF00u);
    EXPECT_GT(root->paintCount, paintsBefore);

    // The platform's paint copies the canvas into the window.
    window->show(true);
    auto* impl = dynamic_cast<FEN::COCOA::WindowImplBase*>(window->getImpl());
    ASSERT_NE(impl, nullptr);
    auto& peer = driver.peerOf(impl->getNativeWindow());
    driver.display(peer);
    EXPECT_EQ(peer.pixel(20, 20) & 0xFFFFFF, 0x2040A0u);
    EXPECT_EQ(peer.pixel(6, 6) & 0xFFFFFF, 0x00FF00u);

    // An idle tick paints nothing.
    int const idlePaints = root->paintCount;
    driver.advance(std::chrono::milliseconds(100));
    EXPECT_EQ(root->paintCount, idlePaints);

    window->destroy();
    EXPECT_FALSE(window->hasEventTimer());
    int const ticksAtClose = window->ticks;
    driver.advance(std::chrono::milliseconds(200));
    EXPECT_EQ(window->ticks, ticksAtClose);
}

TEST_F(WidgetWindowTest, LostCaptureAndResignedKeyForgetTheMouseAndFocusWidgets)
{
    auto window = std::make_unique<CountingWindow>();
    auto root = makeWidget();
    root->setFlag(Widget::eKeyFocusable, true);
    window->setRoot(root, "root");
    ASSERT_TRUE(window->create(windowData(40, 30)));
    FEN::MouseButtonEventData press;
    press.position = {5, 5};
    press.button = 1;
    press.state = FEN::eMouseButtonState::Down;
    window->onEvent(FEN::eMouseEvent::MouseButton, &press);
    EXPECT_EQ(window->getDown(), root.get());
    EXPECT_EQ(window->getFocus(), root.get());
    EXPECT_TRUE(window->onEvent(FEN::eWindowEvent::CaptureLost, nullptr));
    EXPECT_EQ(window->getDown(), nullptr);
    EXPECT_EQ(window->getOver(), nullptr);
    EXPECT_TRUE(window->onEvent(FEN::eWindowEvent::ResignedKey, nullptr));
    EXPECT_EQ(window->getFocus(), nullptr);
    window->destroy();
}

// A handler that takes drags as copies and counts its drops.
class CopyHandler : public DragDropEventTarget::RequestDropHandler {
public:
    CopyHandler()
        : RequestDropHandler([](FEN::DragDropRequestEventData* request) {
            request->dropEffect = FEN::DragDropSupport::eDropEffectCopy;
            return true;
        })
    {
    }
    bool drop(FEN::EventData*) override { return ++drops > 0; }
    int drops = 0;
};

TEST_F(WidgetWindowTest, ADragFromTheDesktopReachesTheWidgetUnderIt)
{
    auto window = std::make_unique<CountingWindow>();
    auto root = makeWidget();
    auto target = makeWidget();
    target->setNoAlign(true);
    target->setPos({20, 0});
    target->setSize({20, 30});
    root->insertChildWidget(target, "target");
    auto const handler = std::make_shared<CopyHandler>();
    target->addDropHandler(handler);
    window->setRoot(root, "root");
    ASSERT_TRUE(window->create(windowData(40, 30)));
    window->show(true);
    auto* impl = dynamic_cast<FEN::COCOA::WindowImplBase*>(window->getImpl());
    ASSERT_NE(impl, nullptr);
    auto& peer = driver.peerOf(impl->getNativeWindow());

    EXPECT_EQ(driver.dragOver(peer, {5, 5}, "desktop drag", 1 | 16), 0u); // over the root
    EXPECT_EQ(driver.dragOver(peer, {25, 5}, "desktop drag", 1 | 16), 1u);
    EXPECT_TRUE(driver.drop(peer, {25, 5}, "desktop drag", 1 | 16));
    EXPECT_EQ(handler->drops, 1);
    EXPECT_EQ(target->getCurrentDropHandler(), nullptr); // the drop ends with a leave
    window->destroy();
}

TEST(WidgetLibTest, DeInitWithoutInitDoesNothingAndInitStartsTheResourceManager)
{
    Lib::deInit();
    EXPECT_FALSE(Lib::isInitialized());
    ASSERT_TRUE(Lib::init());
    EXPECT_NE(Lib::s_managerContainer, nullptr);
    Lib::deInit();
    EXPECT_EQ(Lib::s_managerContainer, nullptr);
    EXPECT_FALSE(Lib::isInitialized());
}

TEST(WidgetLibDeathTest, ASecondInitIsAFatalError)
{
    EXPECT_EXIT(
        {
            BAS::Message::s_showMessageFunctor = [](BAS::CharSequence<char> const& text, BAS::Message::eType,
                                                    BAS::Message::eButton, BAS::Message::eIcon, const char*) {
                std::fprintf(stderr, "[box] %s|\n", text.str().c_str());
                std::fflush(stderr);
                return BAS::Message::eButtonOK;
            };
            Lib::init();
            Lib::init();
        },
        testing::ExitedWithCode(1), "\\[box\\] Error tov/Core/src/Init_TOV:27\\|");
}

} // namespace
} // namespace CV::TOV::TEST
