#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {
namespace DFU {

// DFU 1.1 device states.
enum eState : std::uint8_t {
    appIDLE = 0,
    appDETACH = 1,
    dfuIDLE = 2,
    dfuDNLOAD_SYNC = 3,
    dfuDNBUSY = 4,
    dfuDNLOAD_IDLE = 5,
    dfuMANIFEST_SYNC = 6,
    dfuMANIFEST = 7,
    dfuMANIFEST_WAIT_RESET = 8,
    eStateNone = 10,  // the client's own value: no state known
};

// DFU 1.1 status codes that the client stores itself when a step fails here.
enum eStatus : std::uint8_t {
    OK = 0x00,
    errTARGET = 0x01,
    errWRITE = 0x03,
    errUNKNOWN = 0x0E,
};

// The six bytes of a DFU_GETSTATUS reply; also the result record of a
// download.
struct GetStatus {
    std::uint8_t bStatus = 0;
    std::uint8_t bwPollTimeout[3] = {0, 0, 0};  // milliseconds, little-endian
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
