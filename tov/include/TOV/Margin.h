#pragma once
#include <cstdint>

namespace CV::TOV {

// Four sides of a margin in pixels.
struct Margin {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    friend bool operator==(Margin const& a, Margin const& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(Margin const& a, Margin const& b) { return !(a == b); }
};

} // namespace CV::TOV
