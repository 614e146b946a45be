#pragma once
// Input as a peer delivers it: positions in the window's content
// coordinates (top-down points), the platform's modifier flags
// (keyboard/ModifierFlags.h) and virtual key codes (the GTK peer translates
// GDK's).
#include "platform/peer/Geometry.h"

#include <cstdint>
#include <string>

namespace platform::peer {

// Mouse buttons by the platform's button numbers.
enum MouseButton : int { kLeftButton = 0, kRightButton = 1, kMiddleButton = 2 };

struct MouseButtonInput {
    bool down = true;
    int button = kLeftButton; // 3 and up: further buttons
    Point location;
    std::uint64_t modifiers = 0;
    int clickCount = 1;
};

struct MouseMotionInput {
    Point location;
    std::uint64_t modifiers = 0;
    // Buttons held (bit n: button n); motion with a button held is a drag.
    unsigned buttons = 0;
    // Movement since the last motion, in points (relative mouse mode).
    double deltaX = 0;
    double deltaY = 0;
};

struct WheelInput {
    Point location;
    std::uint64_t modifiers = 0;
    // Positive: content moves right / down (the platform's sign).
    double deltaX = 0;
    double deltaY = 0;
    bool precise = false; // touchpad deltas in points rather than lines
};

struct KeyInput {
    bool down = true;
    unsigned short keyCode = 0;
    std::uint64_t modifiers = 0;
    std::string characters; // UTF-8, with modifiers applied
    std::string charactersIgnoringModifiers; // UTF-8
    bool repeat = false;
};

// Text from an input method: marked (composing) text or committed text.
struct TextInput {
    bool committed = true;
    std::string text; // UTF-8
    // Selection inside marked text, in UTF-16 units.
    std::size_t selectionStart = 0;
    std::size_t selectionLength = 0;
};

} // namespace platform::peer
