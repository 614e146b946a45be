#pragma once

#include "usx2/dfu/DFUProtocol.h"

#include <cstdint>

namespace CV {
namespace USX2 {
namespace DFU {

// The six bytes of a DFU_GETSTATUS reply; also the result record of a
// download.
struct GetStatus {
    std::uint8_t bStatus = 0;
    std::uint8_t bwPollTimeout[3] = {0, 0, 0}; // milliseconds, little-endian
    std::uint8_t bState = 0;
    std::uint8_t iString = 0;

    std::uint32_t pollTimeout() const
    {
        return bwPollTimeout[0] | std::uint32_t(bwPollTimeout[1]) << 8 | std::uint32_t(bwPollTimeout[2]) << 16;
    }
};
static_assert(sizeof(GetStatus) == 6, "a DFU_GETSTATUS reply is six bytes");

} // namespace DFU
} // namespace USX2
} // namespace CV
