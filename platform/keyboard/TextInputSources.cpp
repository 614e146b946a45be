#include "platform/keyboard/TextInputSources.h"

#include "platform/keyboard/ModifierFlags.h"

#include <glib.h>

#include <algorithm>
#include <optional>

namespace platform::keyboard {

namespace {

struct CurrentSource {
    bool chosen = false;
    std::shared_ptr<const KeyboardLayout> layout;
};

CurrentSource& currentSource()
{
    static CurrentSource source;
    return source;
}

const std::shared_ptr<const KeyboardLayout>& currentLayout()
{
    CurrentSource& source = currentSource();
    if (!source.chosen) {
        source.layout = KeyboardLayout::compile(LayoutNames::fromSystem());
        source.chosen = true;
    }
    return source.layout;
}

uint32_t modifierFlagsFromKeyState(UInt32 state)
{
    uint32_t flags = 0;
    if (state & 0x01)
        flags |= kModifierCommand;
    if (state & 0x02)
        flags |= kModifierShift;
    if (state & 0x04)
        flags |= kModifierCapsLock;
    if (state & 0x08)
        flags |= kModifierOption;
    if (state & 0x10)
        flags |= kModifierControl;
    return flags;
}

std::u16string utf16Of(char32_t cp)
{
    std::u16string out;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
    return out;
}

// The text of a key typed after a dead key: the composed letter, the
// spacing accent alone for the space bar, else the accent and the text.
std::u16string applyDeadKey(const KeyboardLayout::KeyText& dead, const std::u16string& text)
{
    if (text == u" ")
        return dead.text;
    if (text.size() == 1) {
        gunichar composed = 0;
        if (g_unichar_compose(text[0], dead.deadKeyAccent, &composed))
            return utf16Of(composed);
    }
    return dead.text + text;
}

} // namespace

KeyLayoutData::KeyLayoutData(std::shared_ptr<const KeyboardLayout> layout)
    : Object(cf::TypeId::KeyLayoutData)
    , m_layout(std::move(layout))
{
}

const UCKeyboardLayout* KeyLayoutData::layoutOf(CFTypeRef ref) noexcept
{
    const auto* data = fromRefOfType<KeyLayoutData>(ref, cf::TypeId::KeyLayoutData);
    return data ? data->layout() : nullptr;
}

InputSource::InputSource(std::shared_ptr<const KeyboardLayout> layout)
    : Object(cf::TypeId::InputSource)
    , m_layoutData(new KeyLayoutData(std::move(layout)))
{
}

InputSource::~InputSource()
{
    CFRelease(m_layoutData);
}

const InputSource* InputSource::fromRef(CFTypeRef ref) noexcept
{
    return fromRefOfType<InputSource>(ref, cf::TypeId::InputSource);
}

void InputSources::selectCurrent(std::shared_ptr<const KeyboardLayout> layout)
{
    currentSource().layout = std::move(layout);
    currentSource().chosen = true;
}

bool InputSources::selectCurrent(const LayoutNames& names)
{
    auto layout = KeyboardLayout::compile(names);
    if (!layout)
        return false;
    selectCurrent(std::move(layout));
    return true;
}

void InputSources::useSystemLayout()
{
    currentSource() = CurrentSource{};
}

} // namespace platform::keyboard

using platform::keyboard::InputSource;
using platform::keyboard::KeyboardLayout;

const CFStringRef kTISPropertyUnicodeKeyLayoutData =
    platform::cf::String::createFromUTF8("TISPropertyUnicodeKeyLayoutData");

TISInputSourceRef TISCopyCurrentKeyboardInputSource()
{
    const auto& layout = platform::keyboard::currentLayout();
    return layout ? new InputSource(layout) : nullptr;
}

void* TISGetInputSourceProperty(TISInputSourceRef source, CFStringRef propertyKey)
{
    if (!source || !CFEqual(propertyKey, kTISPropertyUnicodeKeyLayoutData))
        return nullptr;
    return const_cast<platform::keyboard::KeyLayoutData*>(source->layoutData());
}

UInt8 LMGetKbdType()
{
    return 40; // ANSI
}

OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, UInt16 virtualKeyCode, UInt16 keyAction,
                        UInt32 modifierKeyState, UInt32, OptionBits keyTranslateOptions, UInt32* deadKeyState,
                        UniCharCount maxStringLength, UniCharCount* actualStringLength, UniChar unicodeString[])
{
    if (!keyLayoutPtr || !deadKeyState || !actualStringLength || (maxStringLength > 0 && !unicodeString))
        return paramErr;
    *actualStringLength = 0;
    if (keyAction == kUCKeyActionUp)
        return noErr;

    const uint32_t flags = platform::keyboard::modifierFlagsFromKeyState(modifierKeyState);
    const KeyboardLayout::KeyText key = keyLayoutPtr->translate(virtualKeyCode, flags);
    std::u16string text = key.text;
    const bool processDeadKeys = !(keyTranslateOptions & kUCKeyTranslateNoDeadKeysMask);
    if (processDeadKeys && *deadKeyState != 0 && !text.empty()) {
        KeyboardLayout::KeyText pending;
        pending.deadKeyAccent = *deadKeyState;
        pending.text = std::u16string(1, platform::keyboard::spacingFormOfAccent(*deadKeyState));
        text = platform::keyboard::applyDeadKey(pending, text);
        *deadKeyState = 0;
    } else if (processDeadKeys && key.deadKeyAccent != 0) {
        *deadKeyState = key.deadKeyAccent;
        return noErr;
    }
    *actualStringLength = text.size();
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), maxStringLength), unicodeString);
    return noErr;
}
