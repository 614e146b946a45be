#pragma once

#include <cstdint>

namespace CV {
namespace FW {

constexpr std::uint32_t kMainImageSize = 378048;
constexpr std::uint32_t kAtmelImageSize = 17784;
constexpr std::uint32_t kPICImageSize = 16384;

constexpr std::uint32_t kMainImageVersion = 0x59;
constexpr std::uint32_t kAtmelImageVersion = 0x06;
constexpr std::uint32_t kPICImageVersion = 0x05;

// The nine images, opaque read-only data embedded by the build. Only the main
// images are ever sent to a keyboard.
extern const unsigned char VarantoRovaMK2[kMainImageSize] __asm__("varanto_firmware_rova_main");
extern const unsigned char VarantoRovaMK2Atmel[kAtmelImageSize] __asm__("varanto_firmware_rova_atmel");
extern const unsigned char VarantoRovaMK2PIC[kPICImageSize] __asm__("varanto_firmware_rova_pic");
extern const unsigned char VarantoSelaMK2[kMainImageSize] __asm__("varanto_firmware_sela_main");
extern const unsigned char VarantoSelaMK2Atmel[kAtmelImageSize] __asm__("varanto_firmware_sela_atmel");
extern const unsigned char VarantoSelaMK2PIC[kPICImageSize] __asm__("varanto_firmware_sela_pic");
extern const unsigned char VarantoTumoMK2[kMainImageSize] __asm__("varanto_firmware_tumo_main");
extern const unsigned char VarantoTumoMK2Atmel[kAtmelImageSize] __asm__("varanto_firmware_tumo_atmel");
extern const unsigned char VarantoTumoMK2PIC[kPICImageSize] __asm__("varanto_firmware_tumo_pic");

// True when the build embeds the product's own images; false when it carries
// the generated stand-ins, which must never be written to a real keyboard.
bool carriesProductFirmware();

} // namespace FW
} // namespace CV
