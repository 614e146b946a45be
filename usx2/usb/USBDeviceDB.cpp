#include "usx2/usb/USBDeviceDB.h"

#include "usx2/usb/VarantoUSBIds.h"

namespace CV {
namespace USX2 {

namespace {
const char* const kUSBClass = "IOUSBDevice";
const char* const kHIDClass = "IOHIDDevice";
// Device-interface GUID of the keyboards' DFU filters; carried along, never matched.
const char* const kVarantoDFUGUID = "{6D3A1C52-8E0B-4F71-9A24-3B5C7E9F0D18}";

USBDeviceFilter* firstFilterOfKind(const USBDeviceDB::Entry& row, eUSBDeviceType kind)
{
    if (row.filters.empty())
        return nullptr;
    if (kind == eUSBDeviceType_USB)
        return row.filters.front();
    for (USBDeviceFilter* filter : row.filters)
        if (filter->type == kind)
            return filter;
    return nullptr;
}
} // namespace

const std::string USBDeviceDB::USBGUID = "usb-guid-magic";
const std::string USBDeviceDB::HIDGUID = "hid-guid-magic";
const std::string USBDeviceDB::CVDFUGUID = "cvdfu-guid-magic";
const std::string USBDeviceDB::CViAPGUID = "cviap-guid-magic";
const std::string USBDeviceDB::CVBulkDisplayGUID = "cvbd-guid-magic";

USBDeviceFilter USBDeviceDB::USBDevices(eUSBDeviceType_USB, USBGUID, kUSBClass, 0, 0);
USBDeviceFilter USBDeviceDB::HIDDevices(eUSBDeviceType_HID, HIDGUID, kHIDClass, 0, 0);
USBDeviceFilter USBDeviceDB::CVUSBDevices(eUSBDeviceType_USB, USBGUID, kUSBClass, Ids::kVendorId, 0);
USBDeviceFilter USBDeviceDB::CVHIDDevices(eUSBDeviceType_HID, HIDGUID, kHIDClass, Ids::kVendorId, 0);
USBDeviceFilter USBDeviceDB::VarantoRovaMK2(eUSBDeviceType_HID, HIDGUID, kHIDClass, Ids::kVendorId,
                                            Ids::kRovaMK2ProductId);
USBDeviceFilter USBDeviceDB::VarantoRovaMK2DFU(eUSBDeviceType_DFU, kVarantoDFUGUID, kUSBClass, Ids::kVendorId,
                                               Ids::kRovaMK2ProductId);
USBDeviceFilter USBDeviceDB::VarantoSelaMK2(eUSBDeviceType_HID, HIDGUID, kHIDClass, Ids::kVendorId,
                                            Ids::kSelaMK2ProductId);
USBDeviceFilter USBDeviceDB::VarantoSelaMK2DFU(eUSBDeviceType_DFU, kVarantoDFUGUID, kUSBClass, Ids::kVendorId,
                                               Ids::kSelaMK2ProductId);
USBDeviceFilter USBDeviceDB::VarantoTumoMK2(eUSBDeviceType_HID, HIDGUID, kHIDClass, Ids::kVendorId,
                                            Ids::kTumoMK2ProductId);
USBDeviceFilter USBDeviceDB::VarantoTumoMK2DFU(eUSBDeviceType_DFU, kVarantoDFUGUID, kUSBClass, Ids::kVendorId,
                                               Ids::kTumoMK2ProductId);

// The generic rows, then the keyboards. The DFU filter of a keyboard comes
// first, so a kind-0 lookup gives it.
std::vector<USBDeviceDB::Entry> USBDeviceDB::devices = {
    {{"USB Devices"}, {&USBDeviceDB::USBDevices}},
    {{"HID Devices"}, {&USBDeviceDB::HIDDevices}},
    {{"Varanto USB Devices"}, {&USBDeviceDB::CVUSBDevices}},
    {{"Varanto HID Devices"}, {&USBDeviceDB::CVHIDDevices}},
    {{"Varanto Rova MK2", "rova-mk2"},
     {&USBDeviceDB::VarantoRovaMK2DFU, &USBDeviceDB::VarantoRovaMK2},
     Ids::kRovaMK2ProductId},
    {{"Varanto Sela MK2", "sela-mk2"},
     {&USBDeviceDB::VarantoSelaMK2DFU, &USBDeviceDB::VarantoSelaMK2},
     Ids::kSelaMK2ProductId},
    {{"Varanto Tumo MK2", "tumo-mk2"},
     {&USBDeviceDB::VarantoTumoMK2DFU, &USBDeviceDB::VarantoTumoMK2},
     Ids::kTumoMK2ProductId},
};

USBDeviceFilter* USBDeviceDB::getDeviceFilter(std::uint16_t productId, eUSBDeviceType kind)
{
    if (productId == 0)
        return nullptr;
    for (const Entry& row : devices) {
        if (row.productId != productId)
            continue;
        if (USBDeviceFilter* filter = firstFilterOfKind(row, kind))
            return filter;
    }
    return nullptr;
}

USBDeviceFilter* USBDeviceDB::getDeviceFilter(std::uint16_t vendorId, std::uint16_t productId, eUSBDeviceType kind)
{
    if (vendorId == 0 || productId == 0)
        return nullptr;
    for (const Entry& row : devices) {
        if (row.productId != productId || row.filters.empty() || row.filters.front()->vendorId != vendorId)
            continue;
        if (USBDeviceFilter* filter = firstFilterOfKind(row, kind))
            return filter;
    }
    return nullptr;
}

} // namespace USX2
} // namespace CV
