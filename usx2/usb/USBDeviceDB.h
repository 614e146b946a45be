#pragma once

#include "usx2/usb/USBDeviceFilter.h"
#include "usx2/usb/USBDeviceType.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// The process-wide device filters and the device table that groups them per
// product. Built once at start-up (GUID texts, then filters, then the table,
// all in one translation unit), never changed afterwards.
class USBDeviceDB {
public:
    // One row of the device table.
    struct Entry {
        std::vector<const char*> names; // display name, short id, further ids
        std::vector<USBDeviceFilter*> filters; // at least one, in order
        std::uint16_t productId = 0; // base product id; 0 in the generic rows
        std::uint16_t secondId = 0;
        const char* layout = nullptr;
        std::uint32_t value0 = 0;
        std::uint16_t value1 = 0;
        std::uint16_t value2 = 0;
        std::uint8_t value3 = 0;
        std::uint16_t value4 = 0;
        std::uint16_t value5 = 0;
        std::uint8_t value6 = 0;
    };

    static const std::string USBGUID;
    static const std::string HIDGUID;
    static const std::string CVDFUGUID;
    static const std::string CViAPGUID;
    static const std::string CVBulkDisplayGUID;

    static USBDeviceFilter USBDevices;
    static USBDeviceFilter HIDDevices;
    static USBDeviceFilter CVUSBDevices;
    static USBDeviceFilter CVHIDDevices;
    static USBDeviceFilter VarantoRovaMK2;
    static USBDeviceFilter VarantoRovaMK2DFU;
    static USBDeviceFilter VarantoSelaMK2;
    static USBDeviceFilter VarantoSelaMK2DFU;
    static USBDeviceFilter VarantoTumoMK2;
    static USBDeviceFilter VarantoTumoMK2DFU;

    static std::vector<Entry> devices;

    // The first filter of the given kind in the row of productId (kind 0: the
    // row's first filter, whatever its kind); null for product id 0 or when no
    // row has one.
    static USBDeviceFilter* getDeviceFilter(std::uint16_t productId, eUSBDeviceType kind);
    // The same, among the rows whose first filter carries vendorId; null when
    // either id is 0.
    static USBDeviceFilter* getDeviceFilter(std::uint16_t vendorId, std::uint16_t productId, eUSBDeviceType kind);
};

} // namespace USX2
} // namespace CV
