#include "platform/keyboard/ModifierFlags.h"

namespace platform::keyboard {

namespace {

constexpr unsigned kX11Shift = 0x1;
constexpr unsigned kX11Lock = 0x2;
constexpr unsigned kX11Control = 0x4;
constexpr unsigned kX11Mod1 = 0x8;
constexpr unsigned kX11Mod4 = 0x40;
constexpr unsigned kX11Mod5 = 0x80;
constexpr unsigned kX11Super = 0x4000000;

uint32_t s_currentFlags = 0;

} // namespace

uint32_t modifierFlagsFromX11State(unsigned state)
{
    uint32_t flags = 0;
    if (state & kX11Shift)
        flags |= kModifierShift;
    if (state & kX11Lock)
        flags |= kModifierCapsLock;
    if (state & kX11Control)
        flags |= kModifierCommand;
    if (state & (kX11Mod4 | kX11Super))
        flags |= kModifierControl;
    if (state & (kX11Mod1 | kX11Mod5))
        flags |= kModifierOption;
    return flags;
}

uint32_t ModifierState::current()
{
    return s_currentFlags;
}

void ModifierState::set(uint32_t flags)
{
    s_currentFlags = flags & kModifierDeviceIndependentMask;
}

} // namespace platform::keyboard
