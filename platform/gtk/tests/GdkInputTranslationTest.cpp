// GDK's input values in the platform's terms, and click counting: no
// display needed.
#include "platform/gtk/ClickCounter.h"
#include "platform/gtk/GdkInputTranslation.h"
#include "platform/peer/InputEvents.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

using namespace platform::gtk;
namespace peer = platform::peer;

TEST(ClickCounter, ContinuesASeriesOnlyForTheSameButtonInTimeAndPlace)
{
    struct Case {
        const char* what;
        int button;
        std::uint32_t time;
        double x, y;
        int expected;
    };
    // Each case is the second press after a first press of button 0 at
    // (10, 10), time 1000; the limits are 400 ms and 5 points.
    const Case cases[] = {
        {"same place, in time", 0, 1300, 10, 10, 2},
        {"at the time limit", 0, 1400, 10, 10, 2},
        {"too late", 0, 1401, 10, 10, 1},
        {"within the distance", 0, 1100, 15, 5, 2},
        {"too far", 0, 1100, 16, 10, 1},
        {"another button", 1, 1100, 10, 10, 1},
    };
    for (const Case& c : cases) {
        ClickCounter clicks;
        clicks.setLimits(400, 5);
        EXPECT_EQ(clicks.press(0, 1000, 10, 10), 1);
        EXPECT_EQ(clicks.press(c.button, c.time, c.x, c.y), c.expected) << c.what;
        EXPECT_EQ(clicks.current(), c.expected) << c.what;
    }
}

TEST(ClickCounter, CountsOnPastTwoAcrossTheWrapOfEventTimesAndStartsAgainAfterAReset)
{
    ClickCounter clicks;
    clicks.setLimits(400, 5);
    EXPECT_EQ(clicks.press(0, 0xFFFFFF00u, 0, 0), 1);
    EXPECT_EQ(clicks.press(0, 0xFFFFFFF0u, 0, 0), 2);
    EXPECT_EQ(clicks.press(0, 0x00000050u, 0, 0), 3); // the clock wrapped
    EXPECT_EQ(clicks.press(0, 0x00000060u, 0, 0), 4);
    clicks.reset();
    EXPECT_EQ(clicks.press(0, 0x00000070u, 0, 0), 1);
}

TEST(GdkInputTranslation, ButtonsTakeThePlatformsNumbersAndTheWheelButtonsNone)
{
    EXPECT_EQ(platformButton(1), std::optional<int>(peer::kLeftButton));
    EXPECT_EQ(platformButton(2), std::optional<int>(peer::kMiddleButton));
    EXPECT_EQ(platformButton(3), std::optional<int>(peer::kRightButton));
    for (unsigned wheel = 4; wheel <= 7; ++wheel)
        EXPECT_FALSE(platformButton(wheel)) << wheel;
    EXPECT_EQ(platformButton(8), std::optional<int>(3));
    EXPECT_EQ(platformButton(9), std::optional<int>(4));
    EXPECT_EQ(platformButtonsHeld(GDK_BUTTON1_MASK | GDK_BUTTON3_MASK | GDK_SHIFT_MASK), 0b011u);
    EXPECT_EQ(platformButtonsHeld(GDK_BUTTON2_MASK), 0b100u);
}

TEST(GdkInputTranslation, WheelDeltasHaveThePlatformsSignAndTouchpadsArePrecise)
{
    struct Case {
        GdkScrollDirection direction;
        double dx, dy;
        bool touchpad;
        WheelDeltas expected;
    };
    const Case cases[] = {
        {GDK_SCROLL_UP, 0, 0, false, {0, 1, false}},
        {GDK_SCROLL_DOWN, 0, 0, false, {0, -1, false}},
        {GDK_SCROLL_LEFT, 0, 0, false, {1, 0, false}},
        {GDK_SCROLL_RIGHT, 0, 0, false, {-1, 0, false}},
        {GDK_SCROLL_SMOOTH, 0, 1, false, {0, -1, false}},   // a wheel notch down, in lines
        {GDK_SCROLL_SMOOTH, -0.5, 0.25, true, {5, -2.5, true}}, // touchpad, in points
    };
    for (const Case& c : cases) {
        GdkEventScroll scroll{};
        scroll.direction = c.direction;
        scroll.delta_x = c.dx;
        scroll.delta_y = c.dy;
        const std::optional<WheelDeltas> deltas = wheelDeltas(scroll, c.touchpad);
        ASSERT_TRUE(deltas) << c.direction;
        EXPECT_DOUBLE_EQ(deltas->x, c.expected.x) << c.direction;
        EXPECT_DOUBLE_EQ(deltas->y, c.expected.y) << c.direction;
        EXPECT_EQ(deltas->precise, c.expected.precise) << c.direction;
    }
    GdkEventScroll stop{};
    stop.direction = GDK_SCROLL_SMOOTH; // the end of a touchpad series moves nothing
    EXPECT_FALSE(wheelDeltas(stop, true));
}

TEST(GdkInputTranslation, KeysGiveThePlatformsCharactersAndKinds)
{
    struct Case {
        unsigned keyval;
        const char* characters;
        std::uint64_t kind;
    };
    const Case cases[] = {
        {GDK_KEY_a, "a", 0},
        {GDK_KEY_A, "A", 0},
        {GDK_KEY_adiaeresis, "\xc3\xa4", 0},
        {GDK_KEY_Return, "\r", 0},
        {GDK_KEY_KP_Enter, "\x03", peer::kNumericPadKey},
        {GDK_KEY_BackSpace, "\x7f", 0},
        {GDK_KEY_Escape, "\x1b", 0},
        {GDK_KEY_Tab, "\t", 0},
        {GDK_KEY_KP_5, "5", peer::kNumericPadKey},
        {GDK_KEY_Up, "\xef\x9c\x80", peer::kNumericPadKey | peer::kFunctionKey},     // U+F700
        {GDK_KEY_Right, "\xef\x9c\x83", peer::kNumericPadKey | peer::kFunctionKey},  // U+F703
        {GDK_KEY_F1, "\xef\x9c\x84", peer::kFunctionKey},                            // U+F704
        {GDK_KEY_F12, "\xef\x9c\x8f", peer::kFunctionKey},                           // U+F70F
        {GDK_KEY_Delete, "\xef\x9c\xa8", peer::kFunctionKey},                        // U+F728
        {GDK_KEY_Page_Down, "\xef\x9c\xad", peer::kFunctionKey},                     // U+F72D
        {GDK_KEY_Shift_L, "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platformCharacters(c.keyval), c.characters) << std::hex << c.keyval;
        EXPECT_EQ(keyKindFlags(c.keyval), c.kind) << std::hex << c.keyval;
    }
}

TEST(GdkInputTranslation, ModifierKeysStandForThePlatformsModifiers)
{
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Control_L), std::uint64_t(peer::kCommandKey));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Super_R), std::uint64_t(peer::kControlKey));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Alt_L), std::uint64_t(peer::kOptionKey));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_ISO_Level3_Shift), std::uint64_t(peer::kOptionKey));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Shift_R), std::uint64_t(peer::kShiftKey));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Caps_Lock), 0u);
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_q), 0u);
}

} // namespace
