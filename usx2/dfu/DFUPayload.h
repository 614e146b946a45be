#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {
namespace DFUClient {

// One download block. Transfer sizes above 8191 are refused, so a block
// always fits.
struct Payload {
    static constexpr std::uint16_t kCapacity = 8192;

    std::uint16_t blockNumber = 0;
    std::uint16_t length = 0;
    std::uint8_t data[kCapacity];
};

} // namespace DFUClient
} // namespace USX2
} // namespace CV
