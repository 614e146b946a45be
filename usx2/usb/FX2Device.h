#pragma once

#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/USBDeviceOSHandle.h"

namespace CV {
namespace USX2 {

// A device of the maker's USB audio driver, whose identity comes from the
// driver's information record rather than from the device descriptor.
class FX2Device {
public:
    class OSImpl;

    // The platform class name of the driver's devices.
    static constexpr const char* kDriverClassName = "com_varanto_driver_USBAudioMK2v1";

    static bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings);
};

} // namespace USX2
} // namespace CV
