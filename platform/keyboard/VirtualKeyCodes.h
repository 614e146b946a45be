#pragma once
// The platform's virtual key codes (0-127): one code per physical key
// position of the platform's keyboards, independent of the keyboard layout.
// Linux reports keys by their evdev codes (XKB key codes are evdev + 8);
// one table maps those positions into the platform's code space, so code
// above this layer sees only the platform's codes.
#include <cstdint>
#include <optional>

namespace platform::keyboard {

// Named positions, the ones the layer itself refers to; the table in
// VirtualKeyCodes.cpp holds the complete mapping.
enum VirtualKey : uint16_t {
    kVirtualKeyA = 0,
    kVirtualKeyQ = 12,
    kVirtualKeyReturn = 36,
    kVirtualKeyTab = 48,
    kVirtualKeySpace = 49,
    kVirtualKeyGrave = 50,
    kVirtualKeyBackspace = 51,
    kVirtualKeyEscape = 53,
    kVirtualKeyKeypadEnter = 76,
    kVirtualKeyForwardDelete = 117,
    kVirtualKeyF1 = 122,
    kVirtualKeyUpArrow = 126,
};

constexpr unsigned kVirtualKeyCount = 128;

// The virtual key of an evdev key code; nothing for keys the platform's
// keyboards do not have.
std::optional<uint16_t> virtualKeyFromEvdev(unsigned evdevCode);
// The evdev key code of a virtual key (the first physical key that maps to
// it); nothing for an unused code or one above 127.
std::optional<unsigned> evdevFromVirtualKey(unsigned virtualKey);

// XKB key codes are evdev codes offset by 8.
constexpr unsigned kXkbKeycodeOffset = 8;

} // namespace platform::keyboard
