#pragma once

#include "usx2/usb/linux/DeviceChangeSignal.h"
#include "usx2/usb/linux/USBHostDevice.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace CV {
namespace USX2 {

// The USB host as the USB layer sees it on this platform: the devices present
// now, each under a 32-bit handle that is never given to another device, and
// opening a device by its handle.
//
// Two backends implement it: LibusbHost (real devices) and SimulatedBus
// (simulated keyboards, for tests and for running the updater without
// hardware). The process uses one of them, chosen when it is first needed: the
// environment variable VARANTO_USB_SIMULATION, when set, names a file of
// simulated devices and selects the simulated bus; otherwise libusb is used.
// Tests install their own bus with setCurrent().
class USBHost {
public:
    using Status = std::uint32_t;

    struct DeviceEntry {
        std::uint32_t handle = 0;
        USBHostDeviceIds ids;
    };

    static constexpr const char* kSimulationVariable = "VARANTO_USB_SIMULATION";

    virtual ~USBHost() = default;

    // The devices present now, with the ids of their device descriptors.
    virtual std::vector<DeviceEntry> enumerate() = 0;

    // Opens the device for control transfers: no exclusive access, no
    // configuration set. Null with `status` set when the device is gone or
    // cannot be opened.
    virtual std::unique_ptr<USBHostDevice> open(std::uint32_t handle, Status& status) = 0;

    // Calls `changed` (on any thread) whenever a device may have arrived or
    // left, while the returned token lives. Null when this host cannot tell.
    virtual DeviceChangeSignal::Token watchChanges(DeviceChangeSignal::Listener changed)
    {
        (void)changed;
        return nullptr;
    }

    // Whether the devices behind this host are real hardware. A host says so
    // unless it is a simulation.
    virtual bool reachesRealDevices() const { return true; }

    // The host the process uses (created on first use, see above).
    static std::shared_ptr<USBHost> current();
    // Replaces the process's host (null: back to the choice by environment on
    // next use); returns the previous one.
    static std::shared_ptr<USBHost> setCurrent(std::shared_ptr<USBHost> host);
};

} // namespace USX2
} // namespace CV
