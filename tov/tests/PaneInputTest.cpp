#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "RecordingWidget.h"
#include "TOV/WidgetMouseEvent.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

// A 100 x 60 pane whose root holds two buttons side by side:
// a at (10, 10) 30 x 20 and b at (50, 10) 30 x 20.
class PaneInputTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        pane = std::make_unique<Pane>();
        pane->setSize({100, 60});
        root = std::make_shared<RecordingWidget>("root", log);
        pane->setRoot(root, "root");
        a = addChild(root, "a", {10, 10}, {30, 20});
        b = addChild(root, "b", {50, 10}, {30, 20});
        update();
        log.clear();
    }

    std::shared_ptr<RecordingWidget> addChild(std::shared_ptr<RecordingWidget> const& parent, std::string const& name,
                                              BAS::Point pos, BAS::Point size)
    {
        auto child = std::make_shared<RecordingWidget>(name, log);
        parent->insertChildWidget(child, name);
        child->setNoAlign(true);
        child->setPos(pos);
        child->setSize(size);
        return child;
    }

    void button(int x, int y, int button, int state)
    {
        FEN::MouseButtonEventData data;
        data.position = {x, y};
        data.button = button;
        data.state = state;
        pane->onEvent(FEN::eMouseEvent::MouseButton, &data);
    }
    void mouse(unsigned code, int x, int y)
    {
        FEN::MouseEventData data;
        data.position = {x, y};
        pane->onEvent(code, &data);
    }

    Log log;
    std::shared_ptr<RecordingWidget> root, a, b;
};

constexpr int kDown = FEN::eMouseButtonState::Down, kUp = FEN::eMouseButtonState::Up,
              kDouble = FEN::eMouseButtonState::DoubleClick;

TEST_F(PaneInputTest, PressAndReleaseSequences)
{
    struct Step {
        char kind;
        int x, y, button, state;
    };
    struct Case {
        char const* name;
        std::vector<Step> steps;
        Log expected;
    };
    Case const cases[] = {
        {"click", {{'b', 15, 12, 1, kDown}, {'b', 16, 13, 1, kUp}}, {"a down1 5,2", "a up1 6,3", "a click1 6,3"}},
        {"double click: no click after it",
         {{'b', 15, 12, 1, kDown}, {'b', 15, 12, 1, kUp}, {'b', 15, 12, 1, kDouble}, {'b', 15, 12, 1, kUp}},
         {"a down1 5,2", "a up1 5,2", "a click1 5,2", "a down1 5,2", "a double1 5,2", "a up1 5,2"}},
        {"released off the button: captured, no click",
         {{'b', 15, 12, 1, kDown}, {'d', 60, 15, 0, 0}, {'b', 60, 15, 1, kUp}},
         {"a down1 5,2", "a drag1 50,5", "a up1 50,5"}},
        {"two buttons: one release ends both",
         {{'b', 15, 12, 1, kDown}, {'b', 55, 12, 2, kDown}, {'b', 15, 12, 1, kUp}},
         {"a down1 5,2", "a down2 5,2", "a up1 5,2", "a click1 5,2", "a up2 5,2", "a click2 5,2"}},
        {"press outside every child goes to the root",
         {{'b', 90, 50, 1, kDown}, {'b', 90, 50, 1, kUp}},
         {"root down1 90,50", "root up1 90,50", "root click1 90,50"}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        for (Step const& s : c.steps) {
            if (s.kind == 'b')
                button(s.x, s.y, s.button, s.state);
            else
                mouse(FEN::eMouseEvent::MouseDrag, s.x, s.y);
        }
        EXPECT_EQ(log, c.expected);
        EXPECT_EQ(pane->getDown(), nullptr);
    }
}

TEST_F(PaneInputTest, HoverSendsEnterAndLeaveAndTheWheelTurnsItsSign)
{
    mouse(FEN::eMouseEvent::MouseMove, 12, 11);
    mouse(FEN::eMouseEvent::MouseMove, 52, 11);
    FEN::MouseWheelEventData wheel;
    wheel.position = {52, 11};
    wheel.delta = 3;
    wheel.axis = 1;
    pane->onEvent(FEN::eMouseEvent::MouseWheel, &wheel);
    mouse(FEN::eMouseEvent::MouseLeave, 0, 0);
    EXPECT_EQ(log,
              (Log{"a enter 2,1", "a move 2,1", "a leave 42,1", "b enter 2,1", "b move 2,1", "b wheel -3 axis 1",
                   "b leave -50,-10"}));
    EXPECT_EQ(pane->getOver(), nullptr);
}

TEST_F(PaneInputTest, TheTopmostOverlappingChildTakesTheHitAndOverlaysComeFirst)
{
    auto top = addChild(root, "top", {30, 10}, {30, 20}); // overlaps a and b, inserted last
    auto overlay = addChild(root, "overlay", {0, 0}, {20, 20});
    update();
    FEN::MouseEventData at;
    at.position = {35, 15};
    EXPECT_EQ(pane->filterMouseEventAndLocateTarget(FEN::eMouseEvent::MouseMove, &at).second, top);
    a->setZIndex(1); // a now lies above top
    update();
    EXPECT_EQ(pane->filterMouseEventAndLocateTarget(FEN::eMouseEvent::MouseMove, &at).second, a);
    pane->addOverlayWidget(overlay);
    at.position = {15, 15};
    EXPECT_EQ(pane->filterMouseEventAndLocateTarget(FEN::eMouseEvent::MouseMove, &at).second, overlay);
    overlay->setFlag(Widget::eEnabled, false);
    EXPECT_EQ(pane->filterMouseEventAndLocateTarget(FEN::eMouseEvent::MouseMove, &at).second, a);
}

TEST_F(PaneInputTest, AHandlerMayRemoveItsOwnWidget)
{
    RecordingWidget* const self = a.get();
    a->onMouseHook = [this, self](unsigned code) {
        if (code == eWidgetMouseEvent::WidgetMouseUp + 1)
            root->eraseChild(*self);
    };
    std::weak_ptr<RecordingWidget> gone = a;
    a.reset();
    button(15, 12, 1, kDown);
    button(15, 12, 1, kUp);
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(log, (Log{"a down1 5,2", "a up1 5,2"}));
    EXPECT_EQ(pane->getDown(), nullptr);
    EXPECT_EQ(pane->getOver(), nullptr);
}

TEST_F(PaneInputTest, KeysGoToTheInputWidgetFirstThenUpFromTheFocus)
{
    a->setFlag(Widget::eKeyFocusable, true);
    root->setFlag(Widget::eKeyFocusable, true);
    b->setFlag(Widget::eKeyInput, true);
    a->takesKey = 7;
    button(15, 12, 1, kDown); // focus moves to a
    button(15, 12, 1, kUp);
    EXPECT_EQ(pane->getFocus(), a.get());
    log.clear();
    FEN::KeyEventData key;
    key.key = 9;
    EXPECT_FALSE(pane->onEvent(FEN::eKeyEvent::KeyDown, &key));
    EXPECT_EQ(log, (Log{"a key 9", "root key 9"}));
    key.key = 7;
    EXPECT_TRUE(pane->onEvent(FEN::eKeyEvent::KeyDown, &key));
    pane->setInput(b); // the focus moves up from b to the root
    EXPECT_EQ(pane->getFocus(), root.get());
    b->takesKey = 5;
    log.clear();
    for (uint32_t k : {5u, 7u}) {
        key.key = k;
        pane->onEvent(FEN::eKeyEvent::KeyDown, &key);
    }
    EXPECT_EQ(log, (Log{"b key 5", "b key 7", "root key 7"}));
}

} // namespace
} // namespace CV::TOV::TEST

namespace CV::TOV::TEST {
namespace {

TEST_F(WidgetTest, InvalidationFromAnotherThreadWhileTheWidgetMovesBetweenPanes)
{
    auto root = makeRootInPane({40, 40});
    Pane other;
    other.setSize({40, 40});
    auto child = makeWidget();
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop.load())
            child->setInvalid(0);
    });
    for (int i = 0; i < 200; ++i) {
        root->insertChildWidget(child, "c");
        update();
        root->eraseChild(*child);
        other.setRoot(child, "moved");
        other.setRoot(nullptr, "");
    }
    stop = true;
    worker.join();
    EXPECT_EQ(child->getPane(), nullptr);
}

} // namespace
} // namespace CV::TOV::TEST
