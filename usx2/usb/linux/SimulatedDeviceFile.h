#pragma once

#include "usx2/usb/linux/SimulatedDeviceSpec.h"

#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// Reads descriptions of simulated devices from a small text file:
//
//   # a Sela keyboard in application mode
//   [device]
//   model = sela              rova, sela or tumo: the maker's vendor id, the model's base product id and texts
//   mode = application       or dfu (product id base + 2, only the DFU interface)
//   serial = SIM-0001
//   bcdDevice = 0x0102
//   manufacturer = ...        product = ...
//   vendorId = 0x....         productId = 0x....   (override the model's ids)
//   hidInterfaces = 2         dfu = yes|no          dfuProtocol = 1
//   dfuAttributes = 0x0D      dfuDetachTimeout = 1000   dfuTransferSize = 2048
//
// Each [device] starts a device; numbers are decimal or 0x-hexadecimal;
// "#" starts a comment.
class SimulatedDeviceFile {
public:
    static bool parse(const std::string& text, std::vector<SimulatedDeviceSpec>& devices, std::string& error);
    static bool read(const std::string& path, std::vector<SimulatedDeviceSpec>& devices, std::string& error);
};

} // namespace USX2
} // namespace CV
