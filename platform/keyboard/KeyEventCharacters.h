#pragma once
// The characters that key events carry for keys that type no text: the
// platform's function-key characters (private-use U+F700-U+F8FF) for
// arrows, function keys and the navigation block, and control characters
// for Backspace (0x7F), Tab (0x09; 0x19 with Shift), Return (0x0D), keypad
// Enter (0x03) and Escape (0x1B). The layout's own text stands for every
// other key.
#include <cstdint>
#include <optional>

namespace platform::keyboard {

// The character of a key event for the virtual key with the platform's
// modifier flags; nothing for keys whose text comes from the layout.
std::optional<char16_t> keyEventCharacter(unsigned virtualKey, std::uint64_t modifierFlags);

} // namespace platform::keyboard
