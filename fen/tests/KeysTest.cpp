#include "FEN/DETAIL/Keys.h"
#include "FEN/AcceleratorManager.h"
#include "FEN/InputState.h"
#include "FEN/KeyCodes.h"
#include "platform/appkit/NSEvent.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/TextInputSources.h"

#include <gtest/gtest.h>

using CV::FEN::DETAIL::Keys;
using namespace CV::FEN;

namespace {

TEST(KeyModifiers, PlatformFlagsBecomeKeyWordBits)
{
    struct Case {
        uint32_t platform;
        uint32_t fen;
    };
    const Case cases[] = {
        {0x10000, eKeyModifierCapsLock},
        {0x20000, eKeyModifierShift},
        {0x40000, eKeyModifierControl},
        {0x80000, eKeyModifierOption},
        {0x100000, eKeyModifierCommand},
        {0x200000 | 0x400000 | 0x800000 | 0xFFFF, 0}, // numeric pad, help, function, device bits
        {0x1F0000,
         eKeyModifierCapsLock | eKeyModifierShift | eKeyModifierControl | eKeyModifierOption | eKeyModifierCommand},
        {0xFFFFFFFF,
         eKeyModifierCapsLock | eKeyModifierShift | eKeyModifierControl | eKeyModifierOption | eKeyModifierCommand},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Keys::macOSModifiersToFEN(c.platform), c.fen) << std::hex << c.platform;
}

// Fills the key tables afresh with the named layout current; "" stands for
// a system without any keyboard layout.
class KeyTablesTest : public ::testing::Test {
protected:
    void fillWithLayout(const char* layout)
    {
        if (*layout) {
            platform::keyboard::LayoutNames names;
            names.layout = layout;
            ASSERT_TRUE(platform::keyboard::InputSources::selectCurrent(names)) << layout;
        } else {
            platform::keyboard::InputSources::selectCurrent(nullptr);
        }
        Keys::s_bInit = false;
        Keys::clearReverseMap();
        ASSERT_TRUE(Keys::init());
    }
    void TearDown() override
    {
        platform::keyboard::InputSources::useSystemLayout();
        Keys::s_bInit = false;
        Keys::clearReverseMap();
    }

    struct Case {
        unsigned vkey;
        unsigned code;
        unsigned scan;
    };
    void expectKeys(const std::vector<Case>& cases, const char* layout)
    {
        for (const Case& c : cases) {
            unsigned scan = 12345;
            EXPECT_EQ(Keys::macOSToFEN(c.vkey, scan), c.code) << layout << " vkey " << c.vkey;
            EXPECT_EQ(scan, c.scan) << layout << " vkey " << c.vkey;
        }
    }
    // Keys that do not depend on the layout.
    const std::vector<Case> fixedKeys = {
        {36, 5, 5},
        {53, 1, 1},
        {51, 2, 2},
        {48, 3, 3},
        {117, 9, 9},
        {121, 13, 13},
        {71, 18, 18},
        {126, 14, 14},
        {123, 16, 16},
        {76, 0x800005, 0x800005},
        {65, 0x80002C, 0x80002C},
        {81, 0x80003D, 0x80003D},
        {91, 0x800038, 0x800038},
        {18, '1', '1'},
        {29, '0', '0'},
        {122, 0x10001, 0x10001},
        {111, 0x1000C, 0x1000C},
        {114, 0, 0}, // Insert has no key
        {52, 0, 0},
        {200, 0, 0},
    };
};

TEST_F(KeyTablesTest, UsLayoutGivesCapitalLettersAndPunctuation)
{
    fillWithLayout("us");
    expectKeys(fixedKeys, "us");
    expectKeys({{0, 'A', 'A'},
                {12, 'Q', 'Q'},
                {50, '`', 0},
                {10, '<', '~'},
                {39, '\'', '"'},
                {42, '\\', '\\'},
                {24, '=', '='},
                {49, ' ', ' '},
                {47, '.', '.'}},
               "us");
    EXPECT_EQ(Keys::s_FENToVKey.at(eKeyReturn), 36u);
    EXPECT_EQ(Keys::s_FENToVKey.at('A'), 0u);
    EXPECT_EQ(Keys::s_FENToVKey.at(0x800005), 76u);
}

TEST_F(KeyTablesTest, FrenchLayoutMovesLettersButNotScanCodesOrDigits)
{
    fillWithLayout("fr");
    expectKeys(fixedKeys, "fr");
    expectKeys({{12, 'A', 'Q'},
                {0, 'Q', 'A'},
                {13, 'Z', 'W'},
                {46, ',', 'M'},
                {41, 'M', ';'},
                {39, 0xD9, '"'}, // ù capitalised
                {33, '^', '['}, // dead key, taken as its accent
                {19, '2', '2'}}, // é on the key, the digit in the table
               "fr");
}

TEST_F(KeyTablesTest, WithoutALayoutOnlyTheFixedKeysHaveCodes)
{
    fillWithLayout("");
    expectKeys(fixedKeys, "none");
    expectKeys({{0, 0, 'A'}, {50, 0, 0}}, "none");
}

TEST_F(KeyTablesTest, TablesAreFilledOnceAndKeepTheirLayout)
{
    fillWithLayout("us");
    platform::keyboard::LayoutNames fr;
    fr.layout = "fr";
    ASSERT_TRUE(platform::keyboard::InputSources::selectCurrent(fr));
    EXPECT_TRUE(Keys::init());
    unsigned scan = 0;
    EXPECT_EQ(Keys::macOSToFEN(12, scan), unsigned('Q'));
}

TEST(Accelerators, KeypadFallsBackToTheMainKeyboardAndCapsLockTakesPart)
{
    AcceleratorManager accelerators;
    accelerators.add(0x2000002B, 10); // Command '+'
    accelerators.add(0x20800031, 11); // Command keypad '1'
    accelerators.add(0x20000051, 12); // Command 'Q'
    accelerators.add(0x10000 | 5, 13); // F5
    struct Case {
        unsigned key;
        int command;
    };
    const Case cases[] = {
        {0x2000002B, 10}, {0x2080002B, 10}, // keypad '+' finds the main keyboard's
        {0x20800031, 11}, {0x20000031, 0}, // main keyboard does not find the keypad's
        {0x20000051, 12}, {0x22000051, 0}, // with Caps Lock on
        {0x30000051, 0}, // with Shift
        {0x00000051, 0},  {0x10005, 13},    {0x810005, 13}, {0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(accelerators.getCommand(c.key), c.command) << std::hex << c.key;

    accelerators.add(0x20000051, 20);
    EXPECT_EQ(accelerators.getCommand(0x20000051), 20);
    accelerators.removeAll();
    EXPECT_EQ(accelerators.getCommand(0x20000051), 0);
}

TEST(InputState, ModifierKeysAreReadFromThePlatformAtTheMomentOfTheCall)
{
    // As the platform notes them when it delivers an event.
    platform::appkit::noteInputState(platform::keyboard::kModifierShift | platform::keyboard::kModifierCommand | 0x1,
                                     0);
    EXPECT_EQ(InputState::getSyncModifierKeys(), uint32_t(eKeyModifierShift | eKeyModifierCommand));
    platform::keyboard::ModifierState::set(platform::keyboard::kModifierNumericPad);
    EXPECT_EQ(InputState::getSyncModifierKeys(), 0u);

    EXPECT_FALSE(InputState::getModalKeyInput());
    InputState::setModalKeyInput(true);
    EXPECT_TRUE(InputState::getModalKeyInput());
    InputState::setModalKeyInput(false);
}

} // namespace
