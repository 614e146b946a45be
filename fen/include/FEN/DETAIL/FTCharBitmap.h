#pragma once
// One rendered glyph, copied out of the engine's glyph slot.
#include <cstdint>
#include <vector>

namespace CV {
namespace FEN {
namespace DETAIL {

struct FTCharBitmap {
    int32_t advance = 0; // 26.6 fixed point (1/64 pixel)
    int32_t top = 0; // rows from the baseline up to the first bitmap row
    int32_t left = 0; // pixels from the pen position to the first column
    int32_t width = 0;
    int32_t rows = 0;
    int32_t pitch = 0; // bytes per coverage row
    // 8-bit coverage, 0 empty to 255 full, rows times pitch bytes.
    std::vector<uint8_t> coverage;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
