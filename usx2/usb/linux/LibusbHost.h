#pragma once

#include "usx2/usb/linux/USBHost.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

struct libusb_context;
struct libusb_device;

namespace CV {
namespace USX2 {

// The USB host through libusb-1.0: one context for the process; the ids of a
// device come from its cached device descriptor (no bus traffic); each device
// gets a handle from a counter the first time it is seen and keeps it while it
// stays on the bus. A machine without USB access enumerates nothing.
// Changes are watched through libusb's hotplug callbacks where the library
// supports them: the first watch registers for them and starts a thread that
// handles libusb's events, and the callbacks only tell the watchers.
class LibusbHost : public USBHost {
public:
    LibusbHost();
    ~LibusbHost() override;

    std::vector<DeviceEntry> enumerate() override;
    std::unique_ptr<USBHostDevice> open(std::uint32_t handle, Status& status) override;
    DeviceChangeSignal::Token watchChanges(DeviceChangeSignal::Listener changed) override;

    // The layer's status for a libusb error code.
    static Status statusFromLibusb(int error);

    // The line written to standard error, once per device, when a keyboard
    // cannot be opened for want of rights: it names the udev rule to
    // install. Empty for devices that are not keyboards.
    static std::string noAccessLine(const USBHostDeviceIds& ids, const std::string& ruleFile);
    // The udev rule in the bundle of the running program, else its name.
    static std::string udevRuleFile();

private:
    struct KnownDevice {
        libusb_device* device = nullptr; // referenced while known
        USBHostDeviceIds ids;
    };

    class Context;

    void refreshDevices();
    void reportNoAccess(std::uint32_t handle, const USBHostDeviceIds& ids);
    bool armHotplug();
    void stopHotplug();
    void handleEvents();

    std::mutex m_mutex;
    // Shared with the open devices, which may outlive the host.
    std::shared_ptr<Context> m_pContext;
    std::uint32_t m_lastHandle = 0;
    std::map<std::uint32_t, KnownDevice> m_devices;
    std::set<std::uint32_t> m_noAccessReported;
    DeviceChangeSignal m_changes;
    bool m_bHotplugArmed = false;
    int m_hotplugHandle = 0;
    std::atomic<bool> m_bStopEvents{false};
    std::thread m_eventThread;
};

} // namespace USX2
} // namespace CV
