#pragma once

#include "usx2/usb/linux/SimulatedDeviceDescription.h"

#include <cstddef>
#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// Reads descriptions of simulated devices from a small text file:
//
//   # a Sela keyboard in application mode
//   [device]
//   model = sela
//   serial = SIM-0001
//   bcdDevice = 0x0102
//
// Each [device] starts a device. Keys (case-insensitive):
//   model             rova, sela or tumo: the maker's vendor id, the model's
//                     base product id, texts and two HID interfaces
//   mode              application (default) or dfu: product id base + 2 and
//                     only the DFU interface, with protocol 2
//   serial, manufacturer, product    the device's strings
//   vendorId, productId              override the model's ids
//   bcdDevice, maxPacketSize0, hidInterfaces, dfu (yes or no), dfuProtocol,
//   dfuAttributes, dfuDetachTimeout, dfuTransferSize
//   updatedBcdDevice                 the version after a firmware download
// Numbers are decimal or 0x-hexadecimal; "#" starts a comment. Errors name
// the line. A device with a DFU interface is a DFU keyboard
// (SimulatedDFUKeyboard) that takes any image.
class SimulatedDeviceFile {
public:
    // A file is read only when it is a regular file of at most kMaxFileBytes
    // and describes at most kMaxDevices devices; errors say why in one line.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;
    static constexpr std::size_t kMaxDevices = 64;

    static bool parse(const std::string& text, std::vector<SimulatedDeviceDescription>& devices, std::string& error);
    static bool read(const std::string& path, std::vector<SimulatedDeviceDescription>& devices, std::string& error);
};

} // namespace USX2
} // namespace CV
