// GDK's input values in the platform's terms: no display needed.
#include "platform/gtk/GdkInputTranslation.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/peer/InputEvents.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

using namespace platform::gtk;
namespace peer = platform::peer;
namespace keyboard = platform::keyboard;

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
        {GDK_SCROLL_SMOOTH, 0, 1, false, {0, -1, false}}, // a wheel notch down, in lines
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
        {GDK_KEY_KP_Enter, "\x03", keyboard::kModifierNumericPad},
        {GDK_KEY_BackSpace, "\x7f", 0},
        {GDK_KEY_Escape, "\x1b", 0},
        {GDK_KEY_Tab, "\t", 0},
        {GDK_KEY_KP_5, "5", keyboard::kModifierNumericPad},
        {GDK_KEY_Up, "\xef\x9c\x80", keyboard::kModifierNumericPad | keyboard::kModifierFunction}, // U+F700
        {GDK_KEY_Right, "\xef\x9c\x83", keyboard::kModifierNumericPad | keyboard::kModifierFunction}, // U+F703
        {GDK_KEY_F1, "\xef\x9c\x84", keyboard::kModifierFunction}, // U+F704
        {GDK_KEY_F12, "\xef\x9c\x8f", keyboard::kModifierFunction}, // U+F70F
        {GDK_KEY_Delete, "\xef\x9c\xa8", keyboard::kModifierFunction}, // U+F728
        {GDK_KEY_Page_Down, "\xef\x9c\xad", keyboard::kModifierFunction}, // U+F72D
        {GDK_KEY_Shift_L, "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platformCharacters(c.keyval), c.characters) << std::hex << c.keyval;
        EXPECT_EQ(keyKindFlags(c.keyval), c.kind) << std::hex << c.keyval;
    }
}

TEST(GdkInputTranslation, ModifierKeysStandForThePlatformsModifiers)
{
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Control_L), std::uint64_t(keyboard::kModifierCommand));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Super_R), std::uint64_t(keyboard::kModifierControl));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Alt_L), std::uint64_t(keyboard::kModifierOption));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_ISO_Level3_Shift), std::uint64_t(keyboard::kModifierOption));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Shift_R), std::uint64_t(keyboard::kModifierShift));
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_Caps_Lock), 0u);
    EXPECT_EQ(modifierFlagOfKey(GDK_KEY_q), 0u);
}

} // namespace
