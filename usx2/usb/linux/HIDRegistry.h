#pragma once

#include "usx2/usb/linux/DeviceChangeSignal.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace CV {
namespace USX2 {

// The registry of HID devices as the USB layer reads it: the HID services
// present and the properties of each ("VendorID", "ProductID",
// "VersionNumber" as numbers; "Manufacturer", "Product", "SerialNumber" as
// texts). The system registry of this platform reports no HID services: the
// updater never scans for HID devices. Tests hand in their own.
class HIDRegistry {
public:
    using Value = std::variant<std::int64_t, std::string>;
    using Properties = std::map<std::string, Value>;

    virtual ~HIDRegistry() = default;

    virtual std::vector<std::uint32_t> services() = 0;
    // All properties of a service; none when it cannot be read.
    virtual std::optional<Properties> properties(std::uint32_t service) = 0;
    // Calls `changed` (on any thread) whenever a service may have arrived or
    // gone, while the returned token lives. Null when the registry cannot
    // tell.
    virtual DeviceChangeSignal::Token watchChanges(DeviceChangeSignal::Listener changed)
    {
        (void)changed;
        return nullptr;
    }

    // The registry the USB layer reads: the platform's, or the one a test
    // installed with setSystem (null: back to the platform's), which returns
    // the previous one.
    static HIDRegistry& system();
    static std::shared_ptr<HIDRegistry> setSystem(std::shared_ptr<HIDRegistry> registry);
};

} // namespace USX2
} // namespace CV
