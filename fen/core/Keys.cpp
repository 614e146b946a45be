#include "FEN/DETAIL/Keys.h"

#include "FEN/KeyCodes.h"
#include "platform/cf/CFLocale.h"
#include "platform/keyboard/TextInputSources.h"

#include <algorithm>
#include <iterator>

namespace CV {
namespace FEN {
namespace DETAIL {

int32_t Keys::s_VKeyToFEN[256];
int32_t Keys::s_VKeyToFENScan[256];
std::map<uint32_t, uint32_t> Keys::s_FENToVKey;
bool Keys::s_bInit = false;

namespace {

struct FixedKey {
    uint8_t vkey;
    uint32_t code;
};

constexpr uint32_t kKeypad = eKeyModifierKeypad;

// Keys whose code does not depend on the layout; their scan code is their
// key code.
constexpr FixedKey kFixedKeys[] = {
    {53, eKeyEscape},
    {51, eKeyBackspace},
    {48, eKeyTab},
    {36, eKeyReturn},
    {117, eKeyDelete},
    {115, eKeyHome},
    {119, eKeyEnd},
    {116, eKeyPageUp},
    {121, eKeyPageDown},
    {71, eKeyClear},
    {126, eKeyUp},
    {125, eKeyDown},
    {123, eKeyLeft},
    {124, eKeyRight},
    // Keypad operators; the decimal key is the keypad's ','.
    {75, kKeypad | '/'},
    {67, kKeypad | '*'},
    {78, kKeypad | '-'},
    {69, kKeypad | '+'},
    {65, kKeypad | ','},
    {76, kKeypad | eKeyReturn},
    {81, kKeypad | '='},
    // Digit row.
    {29, '0'},
    {18, '1'},
    {19, '2'},
    {20, '3'},
    {21, '4'},
    {23, '5'},
    {22, '6'},
    {26, '7'},
    {28, '8'},
    {25, '9'},
    // Keypad digits.
    {82, kKeypad | '0'},
    {83, kKeypad | '1'},
    {84, kKeypad | '2'},
    {85, kKeypad | '3'},
    {86, kKeypad | '4'},
    {87, kKeypad | '5'},
    {88, kKeypad | '6'},
    {89, kKeypad | '7'},
    {91, kKeypad | '8'},
    {92, kKeypad | '9'},
    // F1 to F12.
    {122, eKeyF1},
    {120, eKeyF1 + 1},
    {99, eKeyF1 + 2},
    {118, eKeyF1 + 3},
    {96, eKeyF1 + 4},
    {97, eKeyF1 + 5},
    {98, eKeyF1 + 6},
    {100, eKeyF1 + 7},
    {101, eKeyF1 + 8},
    {109, eKeyF1 + 9},
    {103, eKeyF1 + 10},
    {111, eKeyF12},
};

// Keys whose code comes from the layout: the scan code names the position
// by the character of the US layout (upper case).
constexpr FixedKey kScanOnlyKeys[] = {
    {0, 'A'},  {1, 'S'},  {2, 'D'},  {3, 'F'},   {4, 'H'},  {5, 'G'},  {6, 'Z'},  {7, 'X'},  {8, 'C'},  {9, 'V'},
    {10, '~'}, {11, 'B'}, {12, 'Q'}, {13, 'W'},  {14, 'E'}, {15, 'R'}, {16, 'Y'}, {17, 'T'}, {24, '='}, {27, '-'},
    {30, ']'}, {33, '['}, {39, '"'}, {31, 'O'},  {32, 'U'}, {34, 'I'}, {35, 'P'}, {37, 'L'}, {38, 'J'}, {40, 'K'},
    {45, 'N'}, {46, 'M'}, {41, ';'}, {42, '\\'}, {43, ','}, {44, '/'}, {47, '.'}, {49, ' '},
};

constexpr unsigned kLayoutKeyCount = 128;
constexpr UniCharCount kMaxUnits = 10;

// The one unit capitalised by the system locale's rules.
UniChar capitalise(UniChar unit)
{
    CFStringRef text = CFStringCreateWithCharacters(kCFAllocatorDefault, &unit, 1);
    CFMutableStringRef copy = CFStringCreateMutableCopy(kCFAllocatorDefault, 0, text);
    CFLocaleRef locale = CFLocaleCopyCurrent();
    CFStringCapitalize(copy, locale);
    UniChar result = unit;
    if (CFStringGetLength(copy) >= 1)
        CFStringGetCharacters(copy, CFRangeMake(0, 1), &result);
    CFRelease(locale);
    CFRelease(copy);
    CFRelease(text);
    return result;
}

} // namespace

bool Keys::init()
{
    if (s_bInit)
        return true;
    std::fill(std::begin(s_VKeyToFEN), std::end(s_VKeyToFEN), 0);
    std::fill(std::begin(s_VKeyToFENScan), std::end(s_VKeyToFENScan), 0);
    enterFixedKeys();
    enterLayoutKeys();
    s_bInit = true;
    return true;
}

void Keys::enterFixedKeys()
{
    for (const FixedKey& key : kFixedKeys) {
        s_VKeyToFEN[key.vkey] = static_cast<int32_t>(key.code);
        s_VKeyToFENScan[key.vkey] = static_cast<int32_t>(key.code);
        s_FENToVKey.emplace(key.code, key.vkey);
    }
    for (const FixedKey& key : kScanOnlyKeys)
        s_VKeyToFENScan[key.vkey] = static_cast<int32_t>(key.code);
}

void Keys::enterLayoutKeys()
{
    TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    const UCKeyboardLayout* layout = platform::keyboard::KeyLayoutData::layoutOf(
        source ? TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData) : nullptr);
    if (layout) {
        for (unsigned vkey = 0; vkey < kLayoutKeyCount; ++vkey) {
            if (s_VKeyToFEN[vkey] != 0)
                continue;
            UInt32 deadKeyState = 0;
            UniChar units[kMaxUnits];
            UniCharCount length = 0;
            const OSStatus status =
                UCKeyTranslate(layout, static_cast<UInt16>(vkey), kUCKeyActionDisplay, 0, LMGetKbdType(),
                               kUCKeyTranslateNoDeadKeysMask, &deadKeyState, kMaxUnits, &length, units);
            if (status != noErr || length != 1 || units[0] < 0x20)
                continue;
            const uint32_t code = capitalise(units[0]);
            s_VKeyToFEN[vkey] = static_cast<int32_t>(code);
            s_FENToVKey.emplace(code, vkey);
        }
    }
    if (source)
        CFRelease(source);
}

unsigned Keys::macOSToFEN(unsigned vkey, unsigned& scan)
{
    scan = static_cast<unsigned>(s_VKeyToFENScan[vkey]);
    return static_cast<unsigned>(s_VKeyToFEN[vkey]);
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
