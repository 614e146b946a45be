#pragma once
// The platform's modifier flags (the device-independent bits of an event's
// modifier word) and the application-wide modifier state that the backend
// keeps up to date as input arrives.
#include <cstdint>

namespace platform::keyboard {

enum ModifierFlag : uint32_t {
    kModifierCapsLock = 0x10000,
    kModifierShift = 0x20000,
    kModifierControl = 0x40000,
    kModifierOption = 0x80000,
    kModifierCommand = 0x100000,
    kModifierNumericPad = 0x200000,
    kModifierHelp = 0x400000,
    kModifierFunction = 0x800000,
    kModifierDeviceIndependentMask = 0xFFFF0000,
};

// Linux keyboards have Ctrl where the platform's shortcuts expect Command:
// Ctrl gives Command (so Ctrl+Q quits and Ctrl+C copies, as on the Linux
// desktop), the Super key gives Control, Alt and AltGr give Option, Shift
// and Caps Lock keep their meaning. The argument is an X11/GDK modifier
// state word (Shift 0x1, Lock 0x2, Control 0x4, Mod1 0x8, Mod4 0x40,
// Mod5 0x80, Super 0x4000000).
uint32_t modifierFlagsFromX11State(unsigned state);

// The modifier flags at this moment, application-wide (not those of an
// event). Main thread only.
class ModifierState {
public:
    static uint32_t current();
    // Called by the backend (and the headless test driver) whenever the
    // modifier keys change.
    static void set(uint32_t flags);
};

} // namespace platform::keyboard
