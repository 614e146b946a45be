#pragma once

#include "usx2/usb/DravikUSBDeviceInfo.h"
#include "usx2/usb/FX2Device.h"
#include "usx2/usb/linux/AudioDriverService.h"
#include "usx2/util/Sleeper.h"

#include <cstdint>

namespace CV {
namespace USX2 {

class FX2Device::OSImpl {
public:
    static constexpr unsigned kRetries = 3;
    static constexpr unsigned kRetryStepMs = 100;

    static bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings,
                                         AudioDriverService& driver, Sleeper& sleeper);

    // Asks the driver for the record. A record with version 0 is not ready
    // yet: asked again after 100, 200 and 300 ms, then taken as it is.
    static bool getDravikUSBDeviceInfo(std::uint32_t connection, DravikUSBDeviceInfo& record);
    static bool getDravikUSBDeviceInfo(std::uint32_t connection, DravikUSBDeviceInfo& record,
                                       AudioDriverService& driver, Sleeper& sleeper);
};

} // namespace USX2
} // namespace CV
