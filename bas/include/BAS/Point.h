#pragma once
#include <cstdint>

namespace CV {
namespace BAS {

// A position, size or offset in pixels.
struct Point {
    int32_t x;
    int32_t y;
};

} // namespace BAS
} // namespace CV
