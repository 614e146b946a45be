#include "platform/keyboard/KeyboardLayout.h"

#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/VirtualKeyCodes.h"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <fstream>
#include <map>

namespace platform::keyboard {

namespace {

struct ContextDeleter {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};

// One context for the process: it only caches the XKB data files. Names
// come from the caller, never from the environment behind its back.
xkb_context* sharedContext()
{
    static std::unique_ptr<xkb_context, ContextDeleter> context([] {
        xkb_context* c = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
        if (c)
            xkb_context_set_log_level(c, XKB_LOG_LEVEL_CRITICAL);
        return c;
    }());
    return context.get();
}

const char* nullIfEmpty(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// KEY="value" lines of a shell-style configuration file.
std::map<std::string, std::string> readAssignments(const char* path)
{
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        values[line.substr(0, equals)] = value;
    }
    return values;
}

// The platform's characters for keys whose keysym has none or another.
char16_t conventionalCharacter(xkb_keysym_t sym)
{
    if (sym >= XKB_KEY_F1 && sym <= XKB_KEY_F35)
        return 0x10;
    switch (sym) {
    case XKB_KEY_Return: return 0x0D;
    case XKB_KEY_KP_Enter: return 0x03;
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: return 0x09;
    case XKB_KEY_Escape: return 0x1B;
    case XKB_KEY_BackSpace: return 0x08;
    case XKB_KEY_Delete:
    case XKB_KEY_KP_Delete: return 0x7F;
    case XKB_KEY_Home: return 0x01;
    case XKB_KEY_End: return 0x04;
    case XKB_KEY_Prior: return 0x0B;
    case XKB_KEY_Next: return 0x0C;
    case XKB_KEY_Left: return 0x1C;
    case XKB_KEY_Right: return 0x1D;
    case XKB_KEY_Up: return 0x1E;
    case XKB_KEY_Down: return 0x1F;
    case XKB_KEY_Insert:
    case XKB_KEY_Help: return 0x05;
    case XKB_KEY_Num_Lock:
    case XKB_KEY_Clear: return 0x1B;
    default: return 0;
    }
}

struct DeadKey {
    xkb_keysym_t sym;
    char16_t spacing;
    char32_t combining;
};

constexpr DeadKey kDeadKeys[] = {
    {XKB_KEY_dead_grave, 0x60, 0x300},      {XKB_KEY_dead_acute, 0xB4, 0x301},
    {XKB_KEY_dead_circumflex, 0x5E, 0x302}, {XKB_KEY_dead_tilde, 0x7E, 0x303},
    {XKB_KEY_dead_macron, 0xAF, 0x304},     {XKB_KEY_dead_breve, 0x2D8, 0x306},
    {XKB_KEY_dead_abovedot, 0x2D9, 0x307},  {XKB_KEY_dead_diaeresis, 0xA8, 0x308},
    {XKB_KEY_dead_abovering, 0x2DA, 0x30A}, {XKB_KEY_dead_doubleacute, 0x2DD, 0x30B},
    {XKB_KEY_dead_caron, 0x2C7, 0x30C},     {XKB_KEY_dead_cedilla, 0xB8, 0x327},
    {XKB_KEY_dead_ogonek, 0x2DB, 0x328},
};

const DeadKey* findDeadKey(xkb_keysym_t sym)
{
    for (const DeadKey& d : kDeadKeys) {
        if (d.sym == sym)
            return &d;
    }
    return nullptr;
}

void appendUtf16(std::u16string& out, char32_t cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

struct StateDeleter {
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
};

xkb_mod_mask_t modMask(xkb_keymap* keymap, const char* name)
{
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
    return index == XKB_MOD_INVALID ? 0 : (xkb_mod_mask_t(1) << index);
}

} // namespace

char16_t spacingFormOfAccent(char32_t combining)
{
    for (const DeadKey& d : kDeadKeys) {
        if (d.combining == combining)
            return d.spacing;
    }
    return 0;
}

LayoutNames LayoutNames::fromSystem(const char* configurationFile)
{
    LayoutNames names;
    names.layout = environmentValue("XKB_DEFAULT_LAYOUT");
    if (!names.layout.empty()) {
        names.rules = environmentValue("XKB_DEFAULT_RULES");
        names.model = environmentValue("XKB_DEFAULT_MODEL");
        names.variant = environmentValue("XKB_DEFAULT_VARIANT");
        names.options = environmentValue("XKB_DEFAULT_OPTIONS");
        return names;
    }
    auto values = readAssignments(configurationFile);
    names.layout = values["XKBLAYOUT"];
    names.variant = values["XKBVARIANT"];
    names.model = values["XKBMODEL"];
    names.options = values["XKBOPTIONS"];
    return names;
}

std::shared_ptr<const KeyboardLayout> KeyboardLayout::compile(const LayoutNames& names)
{
    xkb_context* context = sharedContext();
    if (!context)
        return nullptr;
    const xkb_rule_names ruleNames{nullIfEmpty(names.rules), nullIfEmpty(names.model), nullIfEmpty(names.layout),
                                   nullIfEmpty(names.variant), nullIfEmpty(names.options)};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &ruleNames, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap)
        return nullptr;
    return std::shared_ptr<const KeyboardLayout>(new KeyboardLayout(names, keymap));
}

KeyboardLayout::KeyboardLayout(LayoutNames names, xkb_keymap* keymap)
    : m_names(std::move(names))
    , m_keymap(keymap)
{
}

KeyboardLayout::~KeyboardLayout()
{
    xkb_keymap_unref(m_keymap);
}

KeyboardLayout::KeyText KeyboardLayout::translate(unsigned virtualKey, uint32_t modifierFlags) const
{
    KeyText result;
    const auto evdev = evdevFromVirtualKey(virtualKey);
    if (!evdev)
        return result;
    const xkb_keycode_t keycode = *evdev + kXkbKeycodeOffset;

    std::unique_ptr<xkb_state, StateDeleter> state(xkb_state_new(m_keymap));
    if (!state)
        return result;
    xkb_mod_mask_t depressed = 0;
    if (modifierFlags & kModifierShift)
        depressed |= modMask(m_keymap, XKB_MOD_NAME_SHIFT);
    if (modifierFlags & kModifierControl)
        depressed |= modMask(m_keymap, XKB_MOD_NAME_CTRL);
    if (modifierFlags & kModifierOption)
        depressed |= modMask(m_keymap, "Mod5");
    xkb_mod_mask_t locked = modMask(m_keymap, XKB_MOD_NAME_NUM);
    if (modifierFlags & kModifierCapsLock)
        locked |= modMask(m_keymap, XKB_MOD_NAME_CAPS);
    xkb_state_update_mask(state.get(), depressed, 0, locked, 0, 0, 0);

    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state.get(), keycode);
    if (const char16_t c = conventionalCharacter(sym)) {
        result.text.push_back(c);
    } else if (const DeadKey* dead = findDeadKey(sym)) {
        result.text.push_back(dead->spacing);
        result.deadKeyAccent = dead->combining;
    } else if (const uint32_t cp = xkb_state_key_get_utf32(state.get(), keycode)) {
        appendUtf16(result.text, cp);
    }
    return result;
}

} // namespace platform::keyboard
