#pragma once

#include "usx2/usb/DravikUSBDeviceInfo.h"

#include <cstdint>
#include <vector>

namespace CV {
namespace USX2 {

// The maker's audio driver as the USB layer reaches it: its devices, a
// connection per device and the method that fills the information record.
// There is no such driver on this platform: the system service has no
// devices and cannot be opened. Tests hand in their own.
class AudioDriverService {
public:
    virtual ~AudioDriverService() = default;

    virtual std::vector<std::uint32_t> services() = 0;
    // A connection to the driver for the service; 0 when it cannot be opened.
    virtual std::uint32_t open(std::uint32_t service) = 0;
    virtual void close(std::uint32_t connection) = 0;
    // The GetDeviceInfo method: 0, or the driver's error code.
    virtual std::uint32_t callGetDeviceInfo(std::uint32_t connection, DravikUSBDeviceInfo& record) = 0;

    static AudioDriverService& system();
};

} // namespace USX2
} // namespace CV
