#pragma once
// The tables that turn the platform's virtual key codes into framework key
// codes (FEN/KeyCodes.h) and scan codes, and the conversion of the
// platform's modifier flags into key-word modifier bits.
//
// The scan code names a physical key position independently of the layout.
// Named keys, the digit row and the keypad are fixed; the other keys take
// their key code from the keyboard layout current when the tables are
// filled (once, at framework start), and keep it when the user switches
// layouts later. Main thread only.
#include <cstdint>
#include <map>

namespace CV {
namespace FEN {
namespace DETAIL {

class Keys {
public:
    // Fills the tables on the first call; later calls return true at once.
    static bool init();
    // The key code of a virtual key and, in scan, its scan code; 0 when the
    // key has none. The caller guarantees vkey <= 255.
    static unsigned macOSToFEN(unsigned vkey, unsigned& scan);
    // Caps Lock, Shift, Control, Option and Command of the platform's
    // modifier flags as eKeyModifier bits; every other flag is dropped.
    static uint32_t macOSModifiersToFEN(uint32_t flags)
    {
        return ((flags << 9) & 0x22000000) | ((flags << 11) & 0x10000000) | ((flags << 12) & 0xC0000000);
    }

    // Empties the key code -> virtual key map (the other tables stay).
    static void clearReverseMap() { s_FENToVKey.clear(); }

    static int32_t s_VKeyToFEN[256];
    static int32_t s_VKeyToFENScan[256];
    // Key code -> virtual key; the first virtual key entered for a code wins.
    static std::map<uint32_t, uint32_t> s_FENToVKey;
    static bool s_bInit;

    Keys() = delete;

private:
    static void enterFixedKeys();
    static void enterLayoutKeys();
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
