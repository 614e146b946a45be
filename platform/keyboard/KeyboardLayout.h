#pragma once
// A keyboard layout compiled by xkbcommon from the XKB rule names, without
// a display. Translates the platform's virtual key codes (through the evdev
// table) into text by the platform's character conventions: Return 0x0D,
// keypad Enter 0x03, Backspace 0x08, forward Delete 0x7F, arrows
// 0x1C-0x1F, Home 0x01, End 0x04, Page Up 0x0B, Page Down 0x0C,
// Insert/Help 0x05, function keys 0x10, keypad Clear 0x1B. The keypad
// always gives its digits (the platform's keyboards have no Num Lock).
#include <memory>
#include <string>

struct xkb_keymap;

namespace platform::keyboard {

// The XKB rule names of a layout; empty fields take xkbcommon's defaults
// ("evdev", "pc105", "us", no variant, no options).
struct LayoutNames {
    std::string rules;
    std::string model;
    std::string layout;
    std::string variant;
    std::string options;

    // The names the user has chosen: the XKB_DEFAULT_RULES, _MODEL, _LAYOUT,
    // _VARIANT and _OPTIONS variables when XKB_DEFAULT_LAYOUT is set,
    // otherwise the system's keyboard configuration file (XKBLAYOUT,
    // XKBVARIANT, XKBMODEL, XKBOPTIONS), otherwise the defaults.
    static LayoutNames fromSystem(const char* configurationFile = "/etc/default/keyboard");
};

class KeyboardLayout {
public:
    // Null when the names do not compile (unknown layout, no XKB data).
    static std::shared_ptr<const KeyboardLayout> compile(const LayoutNames& names);
    ~KeyboardLayout();
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    const LayoutNames& names() const noexcept { return m_names; }

    struct KeyText {
        // The text in UTF-16; for a dead key its spacing form (for example
        // '^' for a dead circumflex).
        std::u16string text;
        // For a dead key, the combining character it puts on the next one.
        char32_t deadKeyAccent = 0;
    };
    // The text of a key pressed with the platform's modifier flags (Shift,
    // Caps Lock, Option as the third level, Control; Command is ignored).
    // Empty text for keys that give none and for codes that name no key.
    KeyText translate(unsigned virtualKey, uint32_t modifierFlags) const;

private:
    KeyboardLayout(LayoutNames names, xkb_keymap* keymap);

    LayoutNames m_names;
    xkb_keymap* m_keymap;
};

// The spacing form of a dead key's combining accent (U+0302 gives '^');
// 0 for a character that is no dead key's accent.
char16_t spacingFormOfAccent(char32_t combining);

} // namespace platform::keyboard
