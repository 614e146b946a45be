#include "platform/gtk/GdkInputTranslation.h"
#include "platform/keyboard/ModifierFlags.h"

#include "platform/peer/InputEvents.h"

#include <glib.h>

namespace platform::gtk {

namespace {

// The platform's function-key characters.
enum : char32_t {
    kUpArrowCharacter = 0xF700,
    kDownArrowCharacter = 0xF701,
    kLeftArrowCharacter = 0xF702,
    kRightArrowCharacter = 0xF703,
    kF1Character = 0xF704,
    kInsertCharacter = 0xF727,
    kDeleteCharacter = 0xF728,
    kHomeCharacter = 0xF729,
    kEndCharacter = 0xF72B,
    kPageUpCharacter = 0xF72C,
    kPageDownCharacter = 0xF72D,
    kClearLineCharacter = 0xF739,
    kHelpCharacter = 0xF746,
};

char32_t namedKeyCharacter(unsigned keyval)
{
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F35)
        return kF1Character + (keyval - GDK_KEY_F1);
    switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_ISO_Enter: return 0x0D;
    case GDK_KEY_KP_Enter: return 0x03;
    case GDK_KEY_BackSpace: return 0x7F;
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab: return 0x09;
    case GDK_KEY_ISO_Left_Tab: return 0x19;
    case GDK_KEY_Escape: return 0x1B;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return kUpArrowCharacter;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return kDownArrowCharacter;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left: return kLeftArrowCharacter;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right: return kRightArrowCharacter;
    case GDK_KEY_Insert:
    case GDK_KEY_KP_Insert: return kInsertCharacter;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete: return kDeleteCharacter;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home: return kHomeCharacter;
    case GDK_KEY_End:
    case GDK_KEY_KP_End: return kEndCharacter;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up: return kPageUpCharacter;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down: return kPageDownCharacter;
    case GDK_KEY_Clear:
    case GDK_KEY_KP_Begin: return kClearLineCharacter;
    case GDK_KEY_Help: return kHelpCharacter;
    default: return 0;
    }
}

std::string utf8(char32_t character)
{
    char buffer[8];
    const int length = g_unichar_to_utf8(gunichar(character), buffer);
    return std::string(buffer, std::size_t(length));
}

bool isKeypadKey(unsigned keyval)
{
    return keyval >= GDK_KEY_KP_Space && keyval <= GDK_KEY_KP_9;
}

bool isArrowKey(unsigned keyval)
{
    return (keyval >= GDK_KEY_Left && keyval <= GDK_KEY_Down) ||
        (keyval >= GDK_KEY_KP_Left && keyval <= GDK_KEY_KP_Down);
}

} // namespace

std::optional<int> platformButton(unsigned gdkButton)
{
    switch (gdkButton) {
    case 1: return peer::kLeftButton;
    case 2: return peer::kMiddleButton;
    case 3: return peer::kRightButton;
    default: break;
    }
    if (gdkButton >= 8)
        return int(gdkButton) - 5;
    return std::nullopt;
}

unsigned platformButtonsHeld(unsigned gdkState)
{
    unsigned buttons = 0;
    if (gdkState & GDK_BUTTON1_MASK)
        buttons |= 1u << peer::kLeftButton;
    if (gdkState & GDK_BUTTON3_MASK)
        buttons |= 1u << peer::kRightButton;
    if (gdkState & GDK_BUTTON2_MASK)
        buttons |= 1u << peer::kMiddleButton;
    return buttons;
}

std::optional<WheelDeltas> wheelDeltas(const GdkEventScroll& scroll, bool fromTouchpad)
{
    WheelDeltas deltas;
    switch (scroll.direction) {
    case GDK_SCROLL_UP: deltas.y = 1; break;
    case GDK_SCROLL_DOWN: deltas.y = -1; break;
    case GDK_SCROLL_LEFT: deltas.x = 1; break;
    case GDK_SCROLL_RIGHT: deltas.x = -1; break;
    case GDK_SCROLL_SMOOTH: {
        // GDK's smooth deltas grow as the content moves up or left.
        const double factor = fromTouchpad ? kPointsPerSmoothUnit : 1.0;
        deltas.x = -scroll.delta_x * factor;
        deltas.y = -scroll.delta_y * factor;
        deltas.precise = fromTouchpad;
        break;
    }
    }
    if (deltas.x == 0 && deltas.y == 0)
        return std::nullopt;
    return deltas;
}

std::string platformCharacters(unsigned keyval)
{
    if (const char32_t named = namedKeyCharacter(keyval))
        return utf8(named);
    const gunichar character = gdk_keyval_to_unicode(keyval);
    if (character == 0)
        return {};
    return utf8(character);
}

std::uint64_t keyKindFlags(unsigned keyval)
{
    std::uint64_t flags = 0;
    if (isKeypadKey(keyval) || isArrowKey(keyval))
        flags |= keyboard::kModifierNumericPad;
    if (namedKeyCharacter(keyval) >= kUpArrowCharacter)
        flags |= keyboard::kModifierFunction;
    return flags;
}

bool isComposingKey(unsigned keyval)
{
    return (keyval >= GDK_KEY_dead_grave && keyval <= GDK_KEY_dead_greek) || keyval == GDK_KEY_Multi_key;
}

std::uint64_t modifierFlagOfKey(unsigned keyval)
{
    switch (keyval) {
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R: return keyboard::kModifierShift;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R: return keyboard::kModifierCommand;
    case GDK_KEY_Super_L:
    case GDK_KEY_Super_R:
    case GDK_KEY_Hyper_L:
    case GDK_KEY_Hyper_R: return keyboard::kModifierControl;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
    case GDK_KEY_Meta_L:
    case GDK_KEY_Meta_R:
    case GDK_KEY_ISO_Level3_Shift:
    case GDK_KEY_Mode_switch: return keyboard::kModifierOption;
    default: return 0;
    }
}

} // namespace platform::gtk
