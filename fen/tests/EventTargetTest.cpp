#include "FEN/EventTarget.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

using namespace CV::FEN;

// Address of a member relative to its record: field order is what the
// senders and receivers agree on.
template <typename Record, typename Field> std::ptrdiff_t offsetIn(Record const& record, Field const& field)
{
    return reinterpret_cast<const char*>(&field) - reinterpret_cast<const char*>(&record);
}

TEST(EventTarget, PlainTargetHandlesNothing)
{
    EventTarget target;
    const unsigned codes[] = {eTimerEvent::TimerTick,
                              eMouseEvent::MouseButton,
                              eKeyEvent::KeyDown,
                              eCommandEvent::CommandExecute,
                              eDragDropEvent::DragDrop,
                              eApplicationEvent::MayQuit,
                              eWindowEvent::Closed,
                              0u,
                              0xFFFFFFFFu};
    for (unsigned code : codes) {
        EventData data;
        EXPECT_FALSE(target.sendEvent(code, &data)) << code;
        EXPECT_FALSE(target.sendEvent(code, nullptr)) << code;
        target.sendObserverEvent(code, &data);
    }
}

TEST(EventTarget, SendEventGoesThroughOnEventAndObserverEventsThroughOnObserverEvent)
{
    struct Recorder : EventTarget {
        unsigned handled = 0, observed = 0;
        bool onEvent(unsigned code, EventData*) override
        {
            handled = code;
            return code == eKeyEvent::KeyDown;
        }
        void onObserverEvent(unsigned code, EventData*) override { observed = code; }
    } target;
    EXPECT_TRUE(target.sendEvent(eKeyEvent::KeyDown, nullptr));
    EXPECT_FALSE(target.sendEvent(eKeyEvent::KeyUp, nullptr));
    EXPECT_EQ(target.handled, unsigned(eKeyEvent::KeyUp));
    target.sendObserverEvent(eDragDropEvent::DragRequest, nullptr);
    EXPECT_EQ(target.observed, unsigned(eDragDropEvent::DragRequest));
    EXPECT_EQ(target.handled, unsigned(eKeyEvent::KeyUp));
}

TEST(EventCodes, TableValuesAndRanges)
{
    struct Case {
        unsigned code;
        unsigned expected;
    };
    const Case cases[] = {
        {eTimerEvent::TimerTick, 2},
        {eMouseEvent::MouseButton, 1000},
        {eMouseEvent::MouseRelativeMove, 1006},
        {eKeyEvent::KeyDown, 1100},
        {eKeyEvent::TextCommand, 1105},
        {eCommandEvent::CommandExecute, 1200},
        {eCommandEvent::MenuWillOpen, 1202},
        {eDragDropEvent::DragRequest, 1300},
        {eDragDropEvent::DragLeave, 1303},
        {eDragDropEvent::DragFinished, 1304},
        {eApplicationEvent::AppActivated, 10000},
        {eApplicationEvent::MayQuit, 10002},
        {eApplicationEvent::OpenFile, 10003},
        {eApplicationEvent::DisplaysChanged, 10005},
        {eWindowEvent::Created, 1000000},
        {eWindowEvent::ShouldClose, 1000012},
        {eWindowEvent::AboutToShow, 1000013},
        {eWindowEvent::BackingScaleChanged, 1000015},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.code, c.expected);
    EXPECT_EQ(int32_t(eStdCommand::Quit), int32_t('q') << 24 | int32_t('u') << 16 | int32_t('i') << 8 | 't');

    EXPECT_TRUE(isMouseEvent(1099) && !isMouseEvent(1100) && !isMouseEvent(999));
    EXPECT_TRUE(isKeyEvent(1100) && isKeyEvent(1199) && !isKeyEvent(1200));
    EXPECT_TRUE(isCommandEvent(1200) && isCommandEvent(1299) && !isCommandEvent(1300));
    EXPECT_TRUE(isDragDropEvent(1300) && isDragDropEvent(1399) && !isDragDropEvent(1400));
}

TEST(EventData, RecordsKeepTheirFieldOrderAndPresets)
{
    MouseButtonEventData button;
    EXPECT_LT(offsetIn(button, button.position), offsetIn(button, button.modifiers));
    EXPECT_LT(offsetIn(button, button.modifiers), offsetIn(button, button.button));
    EXPECT_LT(offsetIn(button, button.button), offsetIn(button, button.state));
    EXPECT_EQ(offsetIn(button, button.position), offsetIn(button, static_cast<MouseEventData&>(button).position));

    MouseWheelEventData wheel;
    EXPECT_LT(offsetIn(wheel, wheel.modifiers), offsetIn(wheel, wheel.delta));
    EXPECT_LT(offsetIn(wheel, wheel.delta), offsetIn(wheel, wheel.axis));
    EXPECT_EQ(MouseWheelEventData::getDeltaUnit(), 1);

    KeyEventData key;
    EXPECT_LT(offsetIn(key, key.key), offsetIn(key, key.scanCode));
    EXPECT_LT(offsetIn(key, key.scanCode), offsetIn(key, key.notRepeat));

    DragDropRequestEventData request;
    EXPECT_LT(offsetIn(request, request.data), offsetIn(request, request.dropEffect));
    EXPECT_LT(offsetIn(request, request.dropEffect), offsetIn(request, request.allowedEffects));
    EXPECT_LT(offsetIn(request, request.allowedEffects), offsetIn(request, request.observers));
    EXPECT_LT(offsetIn(request, request.observers), offsetIn(request, request.acceptingTarget));
    EXPECT_EQ(request.dropEffect, 0);
    EXPECT_EQ(request.acceptingTarget, nullptr);

    ResizeLimitsEventData limits;
    EXPECT_LT(offsetIn(limits, limits.flags), offsetIn(limits, limits.minimum));
    EXPECT_LT(offsetIn(limits, limits.minimum), offsetIn(limits, limits.maximum));
    EXPECT_EQ(limits.flags, 0u);
    EXPECT_EQ(limits.minimum.x | limits.minimum.y | limits.maximum.x | limits.maximum.y, 0);

    // Questions are preset to yes, sizes to zero, menus to the whole menu.
    EXPECT_TRUE(AnswerEventData().answer);
    EXPECT_EQ(SizeEventData().size.x | SizeEventData().size.y, 0);
    EXPECT_EQ(MenuEventData().command, -1);
    EXPECT_EQ(CommandEventData(eStdCommand::Quit).command, 0x71756974);

    TimerEventData timer;
    EXPECT_LT(offsetIn(timer, timer.timer), offsetIn(timer, timer.interval));
}

} // namespace
