#include "usx2/usb/linux/LibusbHost.h"

#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace CV {
namespace USX2 {

// The process's libusb context; null when libusb cannot start (no USB here).
class LibusbHost::Context {
public:
    Context()
    {
        if (libusb_init(&m_pContext) != LIBUSB_SUCCESS)
            m_pContext = nullptr;
    }
    ~Context()
    {
        if (m_pContext)
            libusb_exit(m_pContext);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    libusb_context* get() const { return m_pContext; }

private:
    libusb_context* m_pContext = nullptr;
};

namespace {

// An open libusb device; kernel drivers are detached while an interface is
// claimed and given back when it is released.
class LibusbHostDevice : public USBHostDevice {
public:
    LibusbHostDevice(std::shared_ptr<const void> context, libusb_device_handle* handle, USBHostDeviceIds ids)
        : m_pContext(std::move(context))
        , m_pHandle(handle)
        , m_ids(ids)
    {
        libusb_set_auto_detach_kernel_driver(m_pHandle, 1);
    }

    ~LibusbHostDevice() override
    {
        for (std::uint8_t interfaceNumber : m_claimed)
            libusb_release_interface(m_pHandle, interfaceNumber);
        libusb_close(m_pHandle);
    }

    USBHostDeviceIds ids() const override { return m_ids; }

    Status controlTransfer(const USBSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred) override
    {
        if (setup.wLength != 0 && !data)
            return USBStatus::kBadArgument;
        const int result = libusb_control_transfer(m_pHandle, setup.bmRequestType, setup.bRequest, setup.wValue,
                                                   setup.wIndex, data, setup.wLength, kControlTimeoutMs);
        if (result < 0)
            return LibusbHost::statusFromLibusb(result);
        transferred = static_cast<std::uint32_t>(result);
        return USBStatus::kSuccess;
    }

    Status claimInterface(std::uint8_t interfaceNumber) override
    {
        if (isClaimed(interfaceNumber))
            return USBStatus::kSuccess;
        const int result = libusb_claim_interface(m_pHandle, interfaceNumber);
        if (result < 0)
            return LibusbHost::statusFromLibusb(result);
        m_claimed.push_back(interfaceNumber);
        return USBStatus::kSuccess;
    }

    Status releaseInterface(std::uint8_t interfaceNumber) override
    {
        auto found = std::find(m_claimed.begin(), m_claimed.end(), interfaceNumber);
        if (found == m_claimed.end())
            return USBStatus::kSuccess;
        m_claimed.erase(found);
        const int result = libusb_release_interface(m_pHandle, interfaceNumber);
        // A device that has left the bus has released everything already.
        if (result < 0 && result != LIBUSB_ERROR_NO_DEVICE && result != LIBUSB_ERROR_NOT_FOUND)
            return LibusbHost::statusFromLibusb(result);
        return USBStatus::kSuccess;
    }

private:
    bool isClaimed(std::uint8_t interfaceNumber) const
    {
        return std::find(m_claimed.begin(), m_claimed.end(), interfaceNumber) != m_claimed.end();
    }

    std::shared_ptr<const void> m_pContext; // kept until the handle is closed
    libusb_device_handle* m_pHandle;
    USBHostDeviceIds m_ids;
    std::vector<std::uint8_t> m_claimed;
};

int LIBUSB_CALL onHotplug(libusb_context*, libusb_device*, libusb_hotplug_event, void* changes)
{
    static_cast<const DeviceChangeSignal*>(changes)->notify();
    return 0; // stay registered
}

} // namespace

LibusbHost::LibusbHost()
    : m_pContext(std::make_shared<Context>())
{
}

LibusbHost::~LibusbHost()
{
    stopHotplug();
    for (auto& entry : m_devices)
        libusb_unref_device(entry.second.device);
    m_devices.clear();
}

void LibusbHost::refreshDevices()
{
    if (!m_pContext->get())
        return;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(m_pContext->get(), &list);
    if (count < 0)
        return;
    std::vector<libusb_device*> present(list, list + count);

    // Forget devices that have left; their handles are never given again.
    for (auto it = m_devices.begin(); it != m_devices.end();) {
        if (std::find(present.begin(), present.end(), it->second.device) == present.end()) {
            libusb_unref_device(it->second.device);
            it = m_devices.erase(it);
        } else {
            ++it;
        }
    }
    for (libusb_device* device : present) {
        const bool known = std::any_of(m_devices.begin(), m_devices.end(),
                                       [device](const auto& entry) { return entry.second.device == device; });
        if (known)
            continue;
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS)
            continue;
        KnownDevice known_device;
        known_device.device = libusb_ref_device(device);
        known_device.ids = {descriptor.idVendor, descriptor.idProduct, descriptor.bcdDevice};
        m_devices.emplace(++m_lastHandle, known_device);
    }
    libusb_free_device_list(list, 1);
}

std::vector<USBHost::DeviceEntry> LibusbHost::enumerate()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    refreshDevices();
    std::vector<DeviceEntry> entries;
    for (const auto& entry : m_devices)
        entries.push_back({entry.first, entry.second.ids});
    return entries;
}

std::unique_ptr<USBHostDevice> LibusbHost::open(std::uint32_t handle, Status& status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_devices.find(handle);
    if (found == m_devices.end()) {
        status = USBStatus::kNoDevice;
        return nullptr;
    }
    libusb_device_handle* deviceHandle = nullptr;
    const int result = libusb_open(found->second.device, &deviceHandle);
    if (result != LIBUSB_SUCCESS) {
        if (result == LIBUSB_ERROR_ACCESS)
            reportNoAccess(handle, found->second.ids);
        status = statusFromLibusb(result);
        return nullptr;
    }
    status = USBStatus::kSuccess;
    return std::make_unique<LibusbHostDevice>(m_pContext, deviceHandle, found->second.ids);
}

void LibusbHost::reportNoAccess(std::uint32_t handle, const USBHostDeviceIds& ids)
{
    if (!m_noAccessReported.insert(handle).second)
        return;
    const std::string line = noAccessLine(ids, udevRuleFile());
    if (!line.empty())
        std::fputs(line.c_str(), stderr);
}

std::string LibusbHost::noAccessLine(const USBHostDeviceIds& ids, const std::string& ruleFile)
{
    const std::uint16_t base = Ids::baseProductId(ids.productId);
    const bool keyboard = ids.vendorId == Ids::kVendorId &&
        (base == Ids::kRovaMK2ProductId || base == Ids::kSelaMK2ProductId || base == Ids::kTumoMK2ProductId);
    if (!keyboard)
        return std::string();
    char idText[16];
    std::snprintf(idText, sizeof idText, "%04x:%04x", ids.vendorId, ids.productId);
    return std::string("Varanto MK2 keyboard ") + idText +
        " found, but this user may not open it: install the udev rule " + ruleFile +
        " into /etc/udev/rules.d/ and re-plug the keyboard\n";
}

std::string LibusbHost::udevRuleFile()
{
    namespace fs = std::filesystem;
    constexpr const char* kRuleName = "70-varanto-mk2.rules";
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path rule = executable.parent_path().parent_path() / "Resources" / "udev" / kRuleName;
        if (fs::is_regular_file(rule, error))
            return rule.string();
    }
    return kRuleName;
}

DeviceChangeSignal::Token LibusbHost::watchChanges(DeviceChangeSignal::Listener changed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!armHotplug())
        return nullptr;
    return m_changes.connect(std::move(changed));
}

bool LibusbHost::armHotplug()
{
    if (m_bHotplugArmed)
        return true;
    if (!m_pContext->get() || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return false;
    libusb_hotplug_callback_handle handle = 0;
    const int result = libusb_hotplug_register_callback(
        m_pContext->get(),
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_NO_FLAGS, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        onHotplug, &m_changes, &handle);
    if (result != LIBUSB_SUCCESS)
        return false;
    m_hotplugHandle = handle;
    m_bHotplugArmed = true;
    m_eventThread = std::thread([this] { handleEvents(); });
    return true;
}

// libusb calls the hotplug callbacks from inside its event handling, here.
void LibusbHost::handleEvents()
{
    while (!m_bStopEvents.load())
        libusb_handle_events(m_pContext->get());
}

void LibusbHost::stopHotplug()
{
    if (!m_bHotplugArmed)
        return;
    m_bStopEvents.store(true);
    libusb_hotplug_deregister_callback(m_pContext->get(), m_hotplugHandle);
    libusb_interrupt_event_handler(m_pContext->get());
    m_eventThread.join();
    m_bHotplugArmed = false;
}

USBHost::Status LibusbHost::statusFromLibusb(int error)
{
    switch (error) {
    case LIBUSB_SUCCESS: return USBStatus::kSuccess;
    case LIBUSB_ERROR_PIPE: return USBStatus::kPipeStalled;
    case LIBUSB_ERROR_TIMEOUT: return USBStatus::kTransactionTimedOut;
    case LIBUSB_ERROR_NO_DEVICE: return USBStatus::kNoDevice;
    case LIBUSB_ERROR_ACCESS: return USBStatus::kNotPrivileged;
    case LIBUSB_ERROR_BUSY: return USBStatus::kBusy;
    case LIBUSB_ERROR_OVERFLOW: return USBStatus::kOverrun;
    case LIBUSB_ERROR_IO: return USBStatus::kIOError;
    case LIBUSB_ERROR_INVALID_PARAM: return USBStatus::kBadArgument;
    case LIBUSB_ERROR_NO_MEM: return USBStatus::kNoMemory;
    case LIBUSB_ERROR_NOT_SUPPORTED: return USBStatus::kUnsupported;
    case LIBUSB_ERROR_INTERRUPTED: return USBStatus::kAborted;
    case LIBUSB_ERROR_NOT_FOUND: return USBStatus::kNotFound;
    default: return USBStatus::kError;
    }
}

} // namespace USX2
} // namespace CV
