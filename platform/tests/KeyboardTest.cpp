#include "platform/keyboard/KeyboardLayout.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/TextInputSources.h"
#include "platform/keyboard/VirtualKeyCodes.h"
#include "platform/tests/TestSupport.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <fstream>

using namespace platform::keyboard;
using namespace platform::test;

namespace {

TEST(VirtualKeyCodes, LinuxKeysLandOnThePlatformPositions)
{
    struct Case {
        unsigned evdev;
        unsigned virtualKey;
    };
    const Case cases[] = {
        {KEY_A, 0},         {KEY_Q, 12},         {KEY_M, 46},       {KEY_1, 18},         {KEY_0, 29},
        {KEY_GRAVE, 50},    {KEY_102ND, 10},     {KEY_ENTER, 36},   {KEY_BACKSPACE, 51}, {KEY_ESC, 53},
        {KEY_DELETE, 117},  {KEY_INSERT, 114},   {KEY_KPENTER, 76}, {KEY_KPDOT, 65},     {KEY_KP7, 89},
        {KEY_KP8, 91},      {KEY_NUMLOCK, 71},   {KEY_F1, 122},     {KEY_F12, 111},      {KEY_SYSRQ, 105},
        {KEY_LEFTMETA, 55}, {KEY_RIGHTCTRL, 62}, {KEY_UP, 126},     {KEY_FN, 63},
    };
    for (const Case& c : cases)
        EXPECT_EQ(virtualKeyFromEvdev(c.evdev), std::optional<uint16_t>(c.virtualKey)) << "evdev " << c.evdev;
    EXPECT_FALSE(virtualKeyFromEvdev(KEY_POWER));
    EXPECT_FALSE(virtualKeyFromEvdev(100000));
}

TEST(VirtualKeyCodes, EveryVirtualKeyLeadsBackToALinuxKeyOfThatPosition)
{
    for (unsigned vkey = 0; vkey < kVirtualKeyCount; ++vkey) {
        const auto evdev = evdevFromVirtualKey(vkey);
        if (evdev) {
            EXPECT_EQ(virtualKeyFromEvdev(*evdev), std::optional<uint16_t>(vkey)) << "vkey " << vkey;
        }
    }
    // Shared positions lead back to the function key.
    EXPECT_EQ(evdevFromVirtualKey(105), std::optional<unsigned>(KEY_F13));
    EXPECT_EQ(evdevFromVirtualKey(113), std::optional<unsigned>(KEY_F15));
    EXPECT_FALSE(evdevFromVirtualKey(52));
    EXPECT_FALSE(evdevFromVirtualKey(128));
}

TEST(ModifierFlags, LinuxModifiersFollowTheDesktopsShortcutKeys)
{
    struct Case {
        unsigned x11;
        uint32_t flags;
    };
    const Case cases[] = {
        {0x0, 0},
        {0x1, kModifierShift},
        {0x2, kModifierCapsLock},
        {0x4, kModifierCommand},
        {0x8, kModifierOption},
        {0x80, kModifierOption},
        {0x40, kModifierControl},
        {0x4000000, kModifierControl},
        {0x10, 0}, // Num Lock
        {0x1 | 0x4 | 0x8, kModifierShift | kModifierCommand | kModifierOption},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modifierFlagsFromX11State(c.x11), c.flags) << std::hex << c.x11;
}

TEST(ModifierFlags, StateKeepsOnlyTheDeviceIndependentBits)
{
    ModifierState::set(kModifierShift | kModifierCommand | 0x1234);
    EXPECT_EQ(ModifierState::current(), kModifierShift | kModifierCommand);
    ModifierState::set(0);
    EXPECT_EQ(ModifierState::current(), 0u);
}

std::shared_ptr<const KeyboardLayout> layoutNamed(const char* layout)
{
    LayoutNames names;
    names.layout = layout;
    auto compiled = KeyboardLayout::compile(names);
    EXPECT_TRUE(compiled) << layout;
    return compiled;
}

TEST(KeyboardLayout, TranslatesKeysByLayoutAndModifiers)
{
    const auto us = layoutNamed("us");
    const auto fr = layoutNamed("fr");
    ASSERT_TRUE(us && fr);
    struct Case {
        const KeyboardLayout* layout;
        unsigned vkey;
        uint32_t flags;
        std::u16string text;
    };
    const Case cases[] = {
        {us.get(), 0, 0, u"a"},
        {us.get(), 0, kModifierShift, u"A"},
        {us.get(), 0, kModifierCapsLock, u"A"},
        {us.get(), 0, kModifierControl, u"\x01"},
        {us.get(), 0, kModifierCommand, u"a"},
        {us.get(), 50, 0, u"`"},
        {us.get(), 18, kModifierShift, u"!"},
        {us.get(), 49, 0, u" "},
        {us.get(), 36, 0, u"\r"},
        {us.get(), 76, 0, u"\x03"},
        {us.get(), 48, 0, u"\t"},
        {us.get(), 53, 0, u"\x1B"},
        {us.get(), 51, 0, u"\x08"},
        {us.get(), 117, 0, u"\x7F"},
        {us.get(), 123, 0, u"\x1C"},
        {us.get(), 126, 0, u"\x1E"},
        {us.get(), 115, 0, u"\x01"},
        {us.get(), 119, 0, u"\x04"},
        {us.get(), 116, 0, u"\x0B"},
        {us.get(), 121, 0, u"\x0C"},
        {us.get(), 114, 0, u"\x05"},
        {us.get(), 122, 0, u"\x10"},
        {us.get(), 71, 0, u"\x1B"},
        {us.get(), 89, 0, u"7"}, // keypad digits without Num Lock
        {us.get(), 65, 0, u"."},
        {us.get(), 56, 0, u""}, // Shift itself
        {us.get(), 52, 0, u""}, // no key
        {fr.get(), 12, 0, u"a"},
        {fr.get(), 0, 0, u"q"},
        {fr.get(), 46, 0, u","},
        {fr.get(), 39, 0, u"\u00F9"},
        {fr.get(), 19, 0, u"\u00E9"},
        {fr.get(), 19, kModifierShift, u"2"},
        {fr.get(), 29, kModifierOption, u"@"},
        {fr.get(), 14, kModifierOption, u"\u20AC"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.layout->translate(c.vkey, c.flags).text, c.text)
            << c.layout->names().layout << " vkey " << c.vkey << " flags " << std::hex << c.flags;
    }
    const auto dead = fr->translate(33, 0);
    EXPECT_EQ(dead.text, u"^");
    EXPECT_EQ(dead.deadKeyAccent, U'\u0302');
}

TEST(KeyboardLayout, UnknownLayoutDoesNotCompile)
{
    LayoutNames names;
    names.layout = "no-such-layout";
    EXPECT_FALSE(KeyboardLayout::compile(names));
}

TEST(KeyboardLayout, SystemNamesComeFromTheEnvironmentElseTheConfigurationFile)
{
    TempFolder folder;
    const std::string file = (folder.path() / "keyboard").string();
    std::ofstream(file) << "# comment\nXKBMODEL=\"pc105\"\nXKBLAYOUT=\"fr\"\nXKBVARIANT=\"oss\"\nXKBOPTIONS=\"\"\n";
    {
        ScopedEnv unset("XKB_DEFAULT_LAYOUT", nullptr);
        const LayoutNames names = LayoutNames::fromSystem(file.c_str());
        EXPECT_EQ(names.layout, "fr");
        EXPECT_EQ(names.variant, "oss");
        EXPECT_EQ(names.model, "pc105");
        EXPECT_EQ(LayoutNames::fromSystem("/nonexistent/keyboard").layout, "");
    }
    ScopedEnv layout("XKB_DEFAULT_LAYOUT", "de");
    ScopedEnv variant("XKB_DEFAULT_VARIANT", "nodeadkeys");
    const LayoutNames names = LayoutNames::fromSystem(file.c_str());
    EXPECT_EQ(names.layout, "de");
    EXPECT_EQ(names.variant, "nodeadkeys");
    EXPECT_EQ(names.model, "");
}

class TextInputSourcesTest : public ::testing::Test {
protected:
    void TearDown() override { InputSources::useSystemLayout(); }

    static const UCKeyboardLayout* currentLayout(TISInputSourceRef& source)
    {
        source = TISCopyCurrentKeyboardInputSource();
        return source ? KeyLayoutData::layoutOf(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData))
                      : nullptr;
    }

    static std::u16string translate(const UCKeyboardLayout* layout, UInt16 vkey, UInt32 state, OptionBits options,
                                    UInt32& dead, UInt16 action = kUCKeyActionDown)
    {
        UniChar buffer[10];
        UniCharCount length = 99;
        EXPECT_EQ(UCKeyTranslate(layout, vkey, action, state, LMGetKbdType(), options, &dead, 10, &length, buffer),
                  noErr);
        return std::u16string(buffer, std::min<UniCharCount>(length, 10));
    }
};

TEST_F(TextInputSourcesTest, CurrentSourceCarriesTheSelectedLayout)
{
    LayoutNames fr;
    fr.layout = "fr";
    ASSERT_TRUE(InputSources::selectCurrent(fr));
    TISInputSourceRef source = nullptr;
    const UCKeyboardLayout* layout = currentLayout(source);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->names().layout, "fr");
    Owned<CFStringRef> other(CFStringCreateWithCString(kCFAllocatorDefault, "other", kCFStringEncodingUTF8));
    EXPECT_EQ(TISGetInputSourceProperty(source, other.get()), nullptr);
    CFRelease(source);

    LayoutNames bad;
    bad.layout = "no-such-layout";
    EXPECT_FALSE(InputSources::selectCurrent(bad));
    layout = currentLayout(source);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->names().layout, "fr");
    CFRelease(source);

    InputSources::selectCurrent(std::shared_ptr<const KeyboardLayout>());
    EXPECT_EQ(TISCopyCurrentKeyboardInputSource(), nullptr);
}

TEST_F(TextInputSourcesTest, DeadKeysComposeOrGiveTheirAccent)
{
    const auto fr = layoutNamed("fr");
    ASSERT_TRUE(fr);
    const UInt16 circumflex = 33, e = 14, x = 7, space = 49, shift = 56;
    UInt32 dead = 0;
    EXPECT_EQ(translate(fr.get(), circumflex, 0, kUCKeyTranslateNoDeadKeysMask, dead), u"^");
    EXPECT_EQ(dead, 0u);

    struct Case {
        UInt16 second;
        UInt32 state;
        std::u16string text;
    };
    const Case cases[] = {
        {e, 0, u"\u00EA"},
        {e, 0x02, u"\u00CA"},
        {space, 0, u"^"},
        {x, 0, u"^x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(translate(fr.get(), circumflex, 0, 0, dead), u"");
        EXPECT_NE(dead, 0u);
        EXPECT_EQ(translate(fr.get(), shift, 0x02, 0, dead), u""); // a modifier keeps it pending
        EXPECT_EQ(translate(fr.get(), c.second, c.state, 0, dead), c.text) << c.second;
        EXPECT_EQ(dead, 0u);
    }
}

TEST_F(TextInputSourcesTest, TranslateChecksItsArgumentsAndTellsTheFullLength)
{
    const auto us = layoutNamed("us");
    ASSERT_TRUE(us);
    UInt32 dead = 0;
    UniCharCount length = 0;
    UniChar buffer[1] = {0};
    EXPECT_EQ(UCKeyTranslate(nullptr, 0, kUCKeyActionDown, 0, 0, 0, &dead, 1, &length, buffer), paramErr);
    EXPECT_EQ(UCKeyTranslate(us.get(), 0, kUCKeyActionDown, 0, 0, 0, nullptr, 1, &length, buffer), paramErr);
    EXPECT_EQ(UCKeyTranslate(us.get(), 0, kUCKeyActionDown, 0, 0, 0, &dead, 1, nullptr, buffer), paramErr);
    EXPECT_EQ(UCKeyTranslate(us.get(), 0, kUCKeyActionDown, 0, 0, 0, &dead, 0, &length, nullptr), noErr);
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(translate(us.get(), 0, 0, 0, dead, kUCKeyActionUp), u"");
    EXPECT_EQ(translate(us.get(), 0, 0x02, 0, dead, kUCKeyActionDisplay), u"A");
    EXPECT_EQ(translate(us.get(), 0, 0x04, 0, dead, kUCKeyActionAutoKey), u"A");
}

} // namespace
