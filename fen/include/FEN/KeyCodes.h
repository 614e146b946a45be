#pragma once
// The key word: one 32-bit description of a key that does not depend on the
// platform, used by key events, menu shortcuts and the accelerator table.
// Bits 0-16 hold the key code (eKeyCode); modifier bits (eKeyModifier) sit
// above. Mouse and drag records carry the modifier bits alone.
//
// A key that gives a printable character has that character's upper-case
// code (ASCII, or the capitalised UTF-16 unit on other layouts); a key of
// the numeric keypad has eKeyModifierKeypad plus its character (keypad
// Enter: Keypad plus eKeyReturn). Codes 4, 6 and 7 are not used.
#include <cstdint>

namespace CV {
namespace FEN {

enum eKeyCode : uint32_t {
    eKeyEscape = 1,
    eKeyBackspace = 2,
    eKeyTab = 3,
    eKeyReturn = 5,
    eKeyInsert = 8,
    eKeyDelete = 9,
    eKeyHome = 10,
    eKeyEnd = 11,
    eKeyPageUp = 12,
    eKeyPageDown = 13,
    eKeyUp = 14,
    eKeyDown = 15,
    eKeyLeft = 16,
    eKeyRight = 17,
    eKeyClear = 18,
    eKeyF1 = 0x10001,
    eKeyF12 = 0x1000C,
    eKeyCodeMask = 0x1FFFF,
};

enum eKeyModifier : uint32_t {
    eKeyModifierKeypad = 0x00800000,
    eKeyModifierCapsLock = 0x02000000,
    eKeyModifierShift = 0x10000000,
    eKeyModifierCommand = 0x20000000,
    eKeyModifierControl = 0x40000000,
    eKeyModifierOption = 0x80000000,
};

} // namespace FEN
} // namespace CV
