#pragma once

#include <cstdint>
#include <vector>

namespace CV {
namespace FW {

// One row of the firmware table: a keyboard model, keyed by its base product
// id (low four bits clear), with its three images.
struct DeviceFW {
    struct Image {
        const unsigned char* data;
        std::uint32_t size;
        std::uint32_t version; // shown as high byte, nibble, nibble
    };

    std::uint16_t productId;
    Image main;
    Image atmel;
    Image pic;
};

// The firmware table, one row per model in the order Rova, Sela, Tumo; built
// before any scan can run and never changed afterwards.
extern const std::vector<DeviceFW> vecFW;

// The first row whose product id equals productId AND 0xFFF0, or null.
const DeviceFW* findDeviceFW(std::uint16_t productId);

} // namespace FW
} // namespace CV
