#pragma once
// Keyboard input sources and key translation with the C-style calls of the
// platform: the current keyboard input source carries its key-layout data,
// and UCKeyTranslate turns a virtual key code with a modifier state into
// UTF-16 text through that layout.
//
// The current source is the layout the user has chosen on this system
// (KeyboardLayout::LayoutNames::fromSystem), compiled on first use; the
// backend or a test may select another one. Main thread only.
#include "platform/cf/CFString.h"
#include "platform/keyboard/KeyboardLayout.h"

#include <memory>

typedef int32_t OSStatus;
typedef uint16_t UInt16;
typedef uint32_t UInt32;
typedef uint32_t OptionBits;
typedef unsigned long UniCharCount;
typedef platform::keyboard::KeyboardLayout UCKeyboardLayout;

enum : OSStatus { noErr = 0, paramErr = -50 };

namespace platform::keyboard {

// The key-layout data of an input source (its value for
// kTISPropertyUnicodeKeyLayoutData).
class KeyLayoutData : public cf::Object {
public:
    explicit KeyLayoutData(std::shared_ptr<const KeyboardLayout> layout);
    const UCKeyboardLayout* layout() const noexcept { return m_layout.get(); }
    // The layout behind a property value; null when ref is not layout data.
    static const UCKeyboardLayout* layoutOf(CFTypeRef ref) noexcept;

private:
    std::shared_ptr<const KeyboardLayout> m_layout;
};

class InputSource : public cf::Object {
public:
    explicit InputSource(std::shared_ptr<const KeyboardLayout> layout);
    ~InputSource() override;
    const KeyLayoutData* layoutData() const noexcept { return m_layoutData; }
    static const InputSource* fromRef(CFTypeRef ref) noexcept;

private:
    const KeyLayoutData* m_layoutData;
};

class InputSources {
public:
    // Makes the layout the current source; null means none (the current
    // source is then null too).
    static void selectCurrent(std::shared_ptr<const KeyboardLayout> layout);
    // Compiles the names and makes them current; false (and nothing
    // changed) when they do not compile.
    static bool selectCurrent(const LayoutNames& names);
    // Back to the system's layout, compiled again at the next use.
    static void useSystemLayout();
};

} // namespace platform::keyboard

typedef const platform::keyboard::InputSource* TISInputSourceRef;

extern const CFStringRef kTISPropertyUnicodeKeyLayoutData;

// The current keyboard input source (one reference for the caller), or
// null when no keyboard layout can be had.
TISInputSourceRef TISCopyCurrentKeyboardInputSource();
// The value of a property (not transferred); null for an unknown key.
void* TISGetInputSourceProperty(TISInputSourceRef source, CFStringRef propertyKey);

// The keyboard type of the current keyboard; translation does not depend on it.
UInt8 LMGetKbdType();

enum : UInt16 { kUCKeyActionDown = 0, kUCKeyActionUp = 1, kUCKeyActionAutoKey = 2, kUCKeyActionDisplay = 3 };
enum : OptionBits { kUCKeyTranslateNoDeadKeysMask = 1 };

// Translates a key with modifierKeyState = the modifier bits shifted right
// by 8 (0x01 Command, 0x02 Shift, 0x04 Caps Lock, 0x08 Option, 0x10
// Control). Without kUCKeyTranslateNoDeadKeysMask a dead key gives no text
// and is remembered in *deadKeyState; the next key then gives its letter
// with the accent (or, when there is no such letter, the accent followed by
// its own text) and clears the state. With the mask, a dead key gives its
// spacing accent. A key that gives no text, an up action or an unknown code
// gives length 0. paramErr for null pointers; at most maxStringLength units
// are written, actualStringLength tells how many the text has.
OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, UInt16 virtualKeyCode, UInt16 keyAction,
                        UInt32 modifierKeyState, UInt32 keyboardType, OptionBits keyTranslateOptions,
                        UInt32* deadKeyState, UniCharCount maxStringLength, UniCharCount* actualStringLength,
                        UniChar unicodeString[]);
