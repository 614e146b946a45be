#pragma once

#include "usx2/usb/VarantoUSBIdValues.h"

#include <cstdint>

namespace CV {
namespace USX2 {

// The USB ids of the keyboards, as configured: VARANTO_USB_VENDOR_ID and
// VARANTO_USB_PRODUCT_IDS (cmake/VarantoUSBIds.cmake checks them and writes
// VarantoUSBIdValues.h and the udev rule). The defaults are placeholders
// chosen for this project, not ids assigned to any maker. Everything that
// needs the ids (the device table, the firmware table, the simulated
// keyboards, the tests) derives them from here.
//
// A model's base product id has its low four bits 0; the keyboard reports the
// base id in application mode and the base id + 2 in DFU mode.
namespace Ids {

constexpr std::uint16_t kVendorId = VARANTO_USB_VENDOR_ID_VALUE;

constexpr std::uint16_t kRovaMK2ProductId = VARANTO_USB_ROVA_ID_VALUE;
constexpr std::uint16_t kSelaMK2ProductId = VARANTO_USB_SELA_ID_VALUE;
constexpr std::uint16_t kTumoMK2ProductId = VARANTO_USB_TUMO_ID_VALUE;

constexpr std::uint16_t kBaseProductIdMask = 0xFFF0;
constexpr std::uint16_t kDFUModeOffset = 2;

constexpr std::uint16_t baseProductId(std::uint16_t productId)
{
    return productId & kBaseProductIdMask;
}
constexpr std::uint16_t dfuModeProductId(std::uint16_t productId)
{
    return static_cast<std::uint16_t>(baseProductId(productId) | kDFUModeOffset);
}

static_assert((kRovaMK2ProductId & 0xF) == 0 && (kSelaMK2ProductId & 0xF) == 0 && (kTumoMK2ProductId & 0xF) == 0,
              "base product ids have their low four bits 0");
static_assert(kRovaMK2ProductId != kSelaMK2ProductId && kSelaMK2ProductId != kTumoMK2ProductId &&
                  kRovaMK2ProductId != kTumoMK2ProductId,
              "the three models have different base product ids");

} // namespace Ids
} // namespace USX2
} // namespace CV
