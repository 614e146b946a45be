#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {

// The USB ids of the keyboards. These are placeholders chosen for this
// project, not ids assigned to any maker. Everything that needs the ids (the
// device table, the simulated keyboards, the tests and the udev rule that
// CMake generates from this file) derives them from here.
//
// A model's base product id has its low four bits 0; the keyboard reports the
// base id in application mode and the base id + 2 in DFU mode. The base ids
// ascend Rova < Sela < Tumo.
namespace Ids {

constexpr std::uint16_t kVendorId = 0xF5A7;

constexpr std::uint16_t kRovaMK2ProductId = 0x5A10;
constexpr std::uint16_t kSelaMK2ProductId = 0x5A20;
constexpr std::uint16_t kTumoMK2ProductId = 0x5A30;

constexpr std::uint16_t kBaseProductIdMask = 0xFFF0;
constexpr std::uint16_t kDFUModeOffset = 2;

constexpr std::uint16_t baseProductId(std::uint16_t productId) { return productId & kBaseProductIdMask; }
constexpr std::uint16_t dfuModeProductId(std::uint16_t productId)
{
    return static_cast<std::uint16_t>(baseProductId(productId) | kDFUModeOffset);
}

static_assert((kRovaMK2ProductId & 0xF) == 0 && (kSelaMK2ProductId & 0xF) == 0 && (kTumoMK2ProductId & 0xF) == 0,
              "base product ids have their low four bits 0");
static_assert(kRovaMK2ProductId < kSelaMK2ProductId && kSelaMK2ProductId < kTumoMK2ProductId,
              "base product ids ascend Rova < Sela < Tumo");

} // namespace Ids
} // namespace USX2
} // namespace CV
