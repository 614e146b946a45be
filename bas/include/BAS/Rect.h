#pragma once
#include <cstdint>

namespace CV {
namespace BAS {

// A rectangle in pixels, y growing downwards; right and bottom are exclusive.
// It is empty when left >= right or top >= bottom; computations store an
// empty result as all zeros.
struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

} // namespace BAS
} // namespace CV
