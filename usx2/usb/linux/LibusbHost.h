#pragma once

#include "usx2/usb/linux/USBHost.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

struct libusb_context;
struct libusb_device;

namespace CV {
namespace USX2 {

// The USB host through libusb-1.0: one context for the process; the ids of a
// device come from its cached device descriptor (no bus traffic); each device
// gets a handle from a counter the first time it is seen and keeps it while it
// stays on the bus. A machine without USB access enumerates nothing.
class LibusbHost : public USBHost {
public:
    LibusbHost();
    ~LibusbHost() override;

    std::vector<DeviceEntry> enumerate() override;
    std::unique_ptr<USBHostDevice> open(std::uint32_t handle, Status& status) override;

    // The layer's status for a libusb error code.
    static Status statusFromLibusb(int error);

private:
    struct KnownDevice {
        libusb_device* device = nullptr;  // referenced while known
        USBHostDeviceIds ids;
    };

    class Context;

    void refreshDevices();

    std::mutex m_mutex;
    // Shared with the open devices, which may outlive the host.
    std::shared_ptr<Context> m_pContext;
    std::uint32_t m_lastHandle = 0;
    std::map<std::uint32_t, KnownDevice> m_devices;
};

} // namespace USX2
} // namespace CV
