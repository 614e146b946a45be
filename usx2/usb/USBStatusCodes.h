#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {

// Status values of the USB layer that the code names. Every value has a text
// in USBDevice::statusAsString.
namespace USBStatus {

constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kNotConnected = 0x0BADBABE; // the layer's own value
constexpr std::uint32_t kError = 0xE00002BC; // general error
constexpr std::uint32_t kNoMemory = 0xE00002BD;
constexpr std::uint32_t kNoDevice = 0xE00002C0;
constexpr std::uint32_t kNotPrivileged = 0xE00002C1;
constexpr std::uint32_t kBadArgument = 0xE00002C2;
constexpr std::uint32_t kUnsupported = 0xE00002C7;
constexpr std::uint32_t kIOError = 0xE00002CA;
constexpr std::uint32_t kBusy = 0xE00002D5;
constexpr std::uint32_t kOverrun = 0xE00002E8;
constexpr std::uint32_t kAborted = 0xE00002EB;
constexpr std::uint32_t kNotFound = 0xE00002F0;
constexpr std::uint32_t kPipeStalled = 0xE000404F;
constexpr std::uint32_t kTransactionTimedOut = 0xE0004051;

} // namespace USBStatus
} // namespace USX2
} // namespace CV
