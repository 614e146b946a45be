#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/KeyCodes.h"
#include "StagedBundle.h"
#include "StyleFixture.h"
#include "TOV/Button.h"

namespace CV::TOV::TEST {
namespace {

using Log = std::vector<std::string>;

std::string describe(ButtonImpl::tSignalData const* data)
{
    char text[64];
    std::snprintf(text, sizeof text, "d%d r%d m%x", int(data->bDoubleClick), int(data->bNotRepeat),
                  unsigned(data->uModifiers));
    return text;
}

// A button that can take the key focus, as the focus route asks for.
class FocusableButton : public Button {
public:
    FocusableButton() { setFlag(eKeyFocusable, true); }
};

// A 200 x 100 pane whose root holds one button at (10, 10), 60 x 20, with
// every signal written into the log.
class ButtonTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        StyledWidgetTest::SetUp();
        useSheet(nullptr);
        button = std::make_shared<FocusableButton>();
        root->insertChildWidget(button, "button");
        button->setNoAlign(true);
        button->setPos({10, 10});
        button->setSize({60, 20});
        button->style("OK", nullptr);
        update();
        record(*button, log);
    }
    void TearDown() override
    {
        button.reset();
        StyledWidgetTest::TearDown();
    }

    static void record(Button& b, Log& log)
    {
        b.m_sigPress.connect([&log](ButtonImpl::tSignalData const* d, BAS::Point const& p) {
            log.push_back("press " + describe(d) + " @" + std::to_string(p.x) + "," + std::to_string(p.y));
        });
        b.m_sigClick.connect([&log](ButtonImpl::tSignalData const* d) { log.push_back("click " + describe(d)); });
        b.m_sigDoubleClick.connect(
            [&log](ButtonImpl::tSignalData const* d) { log.push_back("double " + describe(d)); });
        b.m_sigMouseEnter.connect([&log] { log.push_back("enter"); });
        b.m_sigRightClick.connect([&log](FEN::MouseEventData const* d) {
            log.push_back("right @" + std::to_string(d->position.x) + "," + std::to_string(d->position.y));
        });
        b.m_sigRepeat.connect([&log] { log.push_back("repeat"); });
        b.m_sigHoverEnd.connect([&log] { log.push_back("hover end"); });
        b.m_sigMouseLeave.connect([&log] { log.push_back("leave"); });
        b.m_sigRelease.connect([&log] { log.push_back("release"); });
    }

    void mouseButton(int which, int state, BAS::Point at = {15, 12}, uint32_t modifiers = 0)
    {
        FEN::MouseButtonEventData data;
        data.position = at;
        data.modifiers = modifiers;
        data.button = which;
        data.state = state;
        pane->onEvent(FEN::eMouseEvent::MouseButton, &data);
    }
    void move(BAS::Point at)
    {
        FEN::MouseEventData data;
        data.position = at;
        pane->onEvent(FEN::eMouseEvent::MouseMove, &data);
    }
    void drag(BAS::Point at)
    {
        FEN::MouseEventData data;
        data.position = at;
        pane->onEvent(FEN::eMouseEvent::MouseDrag, &data);
    }
    bool key(uint32_t word, bool notRepeat = true, unsigned code = FEN::eKeyEvent::KeyDown)
    {
        FEN::KeyEventData data;
        data.key = word;
        data.notRepeat = notRepeat;
        return pane->onEvent(code, &data);
    }
    // One tick of the window's timer.
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            pane->executeTimers();
    }

    StagedBundle bundle;
    std::shared_ptr<FocusableButton> button;
    Log log;
};

constexpr int kLeft = FEN::eMouseButton::Left, kRight = FEN::eMouseButton::Right;
constexpr int kDown = FEN::eMouseButtonState::Down, kUp = FEN::eMouseButtonState::Up,
              kDouble = FEN::eMouseButtonState::DoubleClick;

TEST_F(ButtonTest, StyleTracksHoverAndSetsTheTextAfterTheStyleName)
{
    EXPECT_EQ(button->getClass().string(), "Button");
    EXPECT_TRUE(button->getFlags() & Widget::eCanOver);
    EXPECT_EQ(button->getText(), "OK");
    Button& same = button->style("Quit", "big");
    EXPECT_EQ(&same, button.get());
    EXPECT_EQ(button->getText(), "Quit");
    EXPECT_EQ(button->getStyle(), "big");
    button->style("Quit", nullptr);
    EXPECT_EQ(button->getStyle(), "big") << "a null style name keeps the current one";
}

TEST_F(ButtonTest, MouseInputEmitsTheSignalsInOrder)
{
    constexpr uint32_t kShift = FEN::eKeyModifierShift;
    struct Press {
        int which, state;
        uint32_t modifiers;
    };
    struct Case {
        char const* name;
        std::vector<Press> presses;
        Log expected;
    };
    Case const cases[] = {
        {"single click", {{kLeft, kDown, 0}, {kLeft, kUp, 0}}, {"press d0 r1 m0 @5,2", "release", "click d0 r1 m0"}},
        {"double click",
         {{kLeft, kDown, 0}, {kLeft, kUp, 0}, {kLeft, kDouble, 0}, {kLeft, kUp, 0}},
         {"press d0 r1 m0 @5,2", "release", "click d0 r1 m0", "press d0 r1 m0 @5,2", "press d1 r1 m0 @5,2",
          "click d1 r1 m0", "release"}},
        {"click with Shift carries the bit",
         {{kLeft, kDown, kShift}, {kLeft, kUp, kShift}},
         {"press d0 r1 m10000000 @5,2", "release", "click d0 r1 m10000000"}},
        {"right click: only the right-click signal", {{kRight, kDown, 0}, {kRight, kUp, 0}}, {"right @5,2"}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        move({15, 12});
        EXPECT_EQ(log, Log{"enter"});
        log.clear();
        for (Press const& p : c.presses)
            mouseButton(p.which, p.state, {15, 12}, p.modifiers);
        EXPECT_EQ(log, c.expected);
        log.clear();
        move({150, 80});
        EXPECT_EQ(log, Log{"leave"});
        log.clear();
    }
}

TEST_F(ButtonTest, SeparateDoubleClicksEmitTheDoubleClickSignal)
{
    button->setSeparateDoubleClick(true);
    for (int state : {kDown, kUp, kDouble, kUp})
        mouseButton(kLeft, state);
    EXPECT_EQ(log,
              (Log{"press d0 r1 m0 @5,2", "release", "click d0 r1 m0", "press d0 r1 m0 @5,2", "press d1 r1 m0 @5,2",
                   "double d1 r1 m0", "release"}));
}

TEST_F(ButtonTest, HoldingTheLeftButtonRepeatsUntilTheRelease)
{
    int const delay = pane->getCommonTimeInterval(Pane::eAutoRepeatDelay);
    int const interval = pane->getCommonTimeInterval(Pane::eAutoRepeatInterval);
    ASSERT_EQ(delay, 5);
    ASSERT_EQ(interval, 1);

    mouseButton(kLeft, kDown);
    log.clear();
    tick(delay - 1);
    EXPECT_TRUE(log.empty()) << "no repeat before the delay";
    tick();
    EXPECT_EQ(log, Log{"repeat"});
    tick(3 * interval);
    EXPECT_EQ(log, (Log{"repeat", "repeat", "repeat", "repeat"}));

    log.clear();
    drag({150, 80}); // dragged off the button, the repeat goes on
    tick();
    EXPECT_EQ(log, Log{"repeat"});

    log.clear();
    mouseButton(kLeft, kUp, {150, 80});
    tick(2 * delay);
    EXPECT_EQ(log, Log{"release"}) << "released off the button: no click and no more repeats";
}

TEST_F(ButtonTest, AClickEndsTheRepeat)
{
    mouseButton(kLeft, kDown);
    tick(5);
    mouseButton(kLeft, kUp);
    log.clear();
    tick(20);
    EXPECT_TRUE(log.empty());
}

TEST_F(ButtonTest, HoverPeriodEndsOnItsTimerOrOnAPress)
{
    button->setHoverTicks(3);
    move({15, 12});
    tick(2);
    EXPECT_EQ(log, Log{"enter"});
    tick();
    EXPECT_EQ(log, (Log{"enter", "hover end"}));
    tick(10);
    EXPECT_EQ(log, (Log{"enter", "hover end"})) << "the hover timer does not turn into a repeat";

    move({150, 80});
    log.clear();
    move({15, 12});
    mouseButton(kLeft, kDown);
    EXPECT_EQ(log, (Log{"enter", "hover end", "press d0 r1 m0 @5,2"}));
    tick(5);
    EXPECT_EQ(log.back(), "repeat") << "the press armed the repeat in place of the hover period";
    mouseButton(kLeft, kUp);

    log.clear();
    move({150, 80});
    move({15, 12});
    move({150, 80});
    tick(10);
    EXPECT_EQ(log, (Log{"leave", "enter", "leave"})) << "leaving cancels the hover period silently";
}

TEST_F(ButtonTest, ReturnOnTheFocusedButton)
{
    using FEN::eKeyReturn;
    constexpr uint32_t kShift = FEN::eKeyModifierShift, kKeypad = FEN::eKeyModifierKeypad,
                       kCaps = FEN::eKeyModifierCapsLock;
    struct Case {
        char const* name;
        int mode;
        uint32_t word;
        bool notRepeat;
        unsigned code;
        bool handled;
        Log expected;
    };
    Case const cases[] = {
        {"mode 0 consumes Return silently", 0, eKeyReturn, true, FEN::eKeyEvent::KeyDown, true, {}},
        {"mode 1 clicks", 1, eKeyReturn, true, FEN::eKeyEvent::KeyDown, true, {"click d0 r1 m0"}},
        {"a repeated Return is marked", 1, eKeyReturn, false, FEN::eKeyEvent::KeyDown, true, {"click d0 r0 m0"}},
        {"keypad Enter acts as Return, without the keypad bit",
         1,
         eKeyReturn | kKeypad,
         true,
         FEN::eKeyEvent::KeyDown,
         true,
         {"click d0 r1 m0"}},
        {"modifiers are carried",
         1,
         eKeyReturn | kShift | kCaps,
         true,
         FEN::eKeyEvent::KeyDown,
         true,
         {"click d0 r1 m12000000"}},
        {"mode 2 double-clicks", 2, eKeyReturn, true, FEN::eKeyEvent::KeyDown, true, {"double d0 r1 m0"}},
        {"other keys travel on", 1, FEN::eKeyEscape, true, FEN::eKeyEvent::KeyDown, false, {}},
        {"a key code above Return's bits is another key",
         1,
         eKeyReturn | 0x10000,
         true,
         FEN::eKeyEvent::KeyDown,
         false,
         {}},
        {"Return released is not handled", 1, eKeyReturn, true, FEN::eKeyEvent::KeyUp, false, {}},
    };
    button->setFocus();
    ASSERT_EQ(pane->getFocus(), button.get());
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        button->setReturnKeyMode(c.mode);
        EXPECT_EQ(key(c.word, c.notRepeat, c.code), c.handled);
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(ButtonTest, SlotsMayChangeConnectionsAndRemoveTheButton)
{
    Log order;
    SignalConnection second;
    button->m_sigClick.connect([&](ButtonImpl::tSignalData const*) {
        order.push_back("first");
        second.disconnect();
        button->m_sigClick.connect([&](ButtonImpl::tSignalData const*) { order.push_back("added"); });
    });
    second = button->m_sigClick.connect([&](ButtonImpl::tSignalData const*) { order.push_back("second"); });
    mouseButton(kLeft, kDown);
    mouseButton(kLeft, kUp);
    EXPECT_EQ(order, (Log{"first", "second"})) << "changes take effect from the next emission";
    order.clear();
    button->m_sigClick.disconnectAll();
    std::weak_ptr<Button> const weak = button;
    button->m_sigClick.connect([&](ButtonImpl::tSignalData const*) {
        root->eraseChild(*button);
        button.reset();
        order.push_back("removed");
    });
    mouseButton(kLeft, kDown);
    mouseButton(kLeft, kUp);
    EXPECT_EQ(order, Log{"removed"});
    EXPECT_TRUE(weak.expired());
}

TEST_F(ButtonTest, ARepeatSlotMayRemoveTheHeldButton)
{
    std::weak_ptr<Button> const weak = button;
    int repeats = 0;
    button->m_sigRepeat.connect([&] {
        ++repeats;
        root->eraseChild(*button);
        button.reset();
    });
    mouseButton(kLeft, kDown);
    tick(20);
    EXPECT_EQ(repeats, 1);
    EXPECT_TRUE(weak.expired());
    mouseButton(kLeft, kUp);
    EXPECT_EQ(pane->getDown(), nullptr);
}

} // namespace
} // namespace CV::TOV::TEST
