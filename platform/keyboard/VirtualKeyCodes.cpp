#include "platform/keyboard/VirtualKeyCodes.h"

#include <linux/input-event-codes.h>

#include <array>
#include <iterator>

namespace platform::keyboard {

namespace {

struct Mapping {
    unsigned evdev;
    uint16_t virtualKey;
};

// Linux key positions -> the platform's. Where two Linux keys share one
// position of the platform's keyboards (F13 to F15 sit where Print,
// Scroll Lock and Pause are), the first row names the key the reverse
// lookup gives.
constexpr Mapping kMappings[] = {
    // Letters.
    {KEY_A, 0},
    {KEY_S, 1},
    {KEY_D, 2},
    {KEY_F, 3},
    {KEY_H, 4},
    {KEY_G, 5},
    {KEY_Z, 6},
    {KEY_X, 7},
    {KEY_C, 8},
    {KEY_V, 9},
    {KEY_B, 11},
    {KEY_Q, 12},
    {KEY_W, 13},
    {KEY_E, 14},
    {KEY_R, 15},
    {KEY_Y, 16},
    {KEY_T, 17},
    {KEY_O, 31},
    {KEY_U, 32},
    {KEY_I, 34},
    {KEY_P, 35},
    {KEY_L, 37},
    {KEY_J, 38},
    {KEY_K, 40},
    {KEY_N, 45},
    {KEY_M, 46},
    // Digit row.
    {KEY_1, 18},
    {KEY_2, 19},
    {KEY_3, 20},
    {KEY_4, 21},
    {KEY_6, 22},
    {KEY_5, 23},
    {KEY_9, 25},
    {KEY_7, 26},
    {KEY_8, 28},
    {KEY_0, 29},
    // Punctuation. The key beside the left Shift of ISO keyboards is the
    // section key (10); the key left of '1' is the grave key (50).
    {KEY_102ND, 10},
    {KEY_EQUAL, 24},
    {KEY_MINUS, 27},
    {KEY_RIGHTBRACE, 30},
    {KEY_LEFTBRACE, 33},
    {KEY_APOSTROPHE, 39},
    {KEY_SEMICOLON, 41},
    {KEY_BACKSLASH, 42},
    {KEY_COMMA, 43},
    {KEY_SLASH, 44},
    {KEY_DOT, 47},
    {KEY_GRAVE, 50},
    // Editing and control keys.
    {KEY_ENTER, 36},
    {KEY_TAB, 48},
    {KEY_SPACE, 49},
    {KEY_BACKSPACE, 51},
    {KEY_ESC, 53},
    {KEY_INSERT, 114},
    {KEY_HELP, 114},
    {KEY_HOME, 115},
    {KEY_PAGEUP, 116},
    {KEY_DELETE, 117},
    {KEY_END, 119},
    {KEY_PAGEDOWN, 121},
    {KEY_LEFT, 123},
    {KEY_RIGHT, 124},
    {KEY_DOWN, 125},
    {KEY_UP, 126},
    // Modifiers.
    {KEY_RIGHTMETA, 54},
    {KEY_LEFTMETA, 55},
    {KEY_LEFTSHIFT, 56},
    {KEY_CAPSLOCK, 57},
    {KEY_LEFTALT, 58},
    {KEY_LEFTCTRL, 59},
    {KEY_RIGHTSHIFT, 60},
    {KEY_RIGHTALT, 61},
    {KEY_RIGHTCTRL, 62},
    {KEY_FN, 63},
    // Keypad; Num Lock sits where the platform's keypad has Clear.
    {KEY_KPDOT, 65},
    {KEY_KPASTERISK, 67},
    {KEY_KPPLUS, 69},
    {KEY_NUMLOCK, 71},
    {KEY_KPSLASH, 75},
    {KEY_KPENTER, 76},
    {KEY_KPMINUS, 78},
    {KEY_KPEQUAL, 81},
    {KEY_KP0, 82},
    {KEY_KP1, 83},
    {KEY_KP2, 84},
    {KEY_KP3, 85},
    {KEY_KP4, 86},
    {KEY_KP5, 87},
    {KEY_KP6, 88},
    {KEY_KP7, 89},
    {KEY_KP8, 91},
    {KEY_KP9, 92},
    {KEY_KPCOMMA, 95},
    // Function keys.
    {KEY_F1, 122},
    {KEY_F2, 120},
    {KEY_F3, 99},
    {KEY_F4, 118},
    {KEY_F5, 96},
    {KEY_F6, 97},
    {KEY_F7, 98},
    {KEY_F8, 100},
    {KEY_F9, 101},
    {KEY_F10, 109},
    {KEY_F11, 103},
    {KEY_F12, 111},
    {KEY_F13, 105},
    {KEY_F14, 107},
    {KEY_F15, 113},
    {KEY_F16, 106},
    {KEY_F17, 64},
    {KEY_F18, 79},
    {KEY_F19, 80},
    {KEY_F20, 90},
    {KEY_SYSRQ, 105},
    {KEY_SCROLLLOCK, 107},
    {KEY_PAUSE, 113},
    // Volume keys.
    {KEY_VOLUMEUP, 72},
    {KEY_VOLUMEDOWN, 73},
    {KEY_MUTE, 74},
    // Japanese keyboards.
    {KEY_YEN, 93},
    {KEY_RO, 94},
    {KEY_MUHENKAN, 102},
    {KEY_HENKAN, 104},
};

constexpr unsigned kNoKey = 0xFFFF;
constexpr unsigned kEvdevTableSize = 0x200; // up to KEY_FN

struct Tables {
    std::array<uint16_t, kEvdevTableSize> fromEvdev;
    std::array<uint16_t, kVirtualKeyCount> toEvdev;

    Tables()
    {
        fromEvdev.fill(kNoKey);
        toEvdev.fill(kNoKey);
        for (const Mapping& m : kMappings) {
            if (fromEvdev[m.evdev] == kNoKey)
                fromEvdev[m.evdev] = m.virtualKey;
            if (toEvdev[m.virtualKey] == kNoKey)
                toEvdev[m.virtualKey] = static_cast<uint16_t>(m.evdev);
        }
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

} // namespace

std::optional<uint16_t> virtualKeyFromEvdev(unsigned evdevCode)
{
    if (evdevCode >= kEvdevTableSize || tables().fromEvdev[evdevCode] == kNoKey)
        return std::nullopt;
    return tables().fromEvdev[evdevCode];
}

std::optional<unsigned> evdevFromVirtualKey(unsigned virtualKey)
{
    if (virtualKey >= kVirtualKeyCount || tables().toEvdev[virtualKey] == kNoKey)
        return std::nullopt;
    return tables().toEvdev[virtualKey];
}

} // namespace platform::keyboard
