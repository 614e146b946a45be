#include "usx2/usb/linux/HIDDeviceOSImpl.h"

namespace CV {
namespace USX2 {

std::map<std::uint32_t, USBDeviceInfo> s_mapHIDDeviceInfos;
std::mutex s_csHIDDeviceInfos;

namespace {

bool cachedHIDDeviceInfo(std::uint32_t service, USBDeviceInfo& info)
{
    std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
    const auto found = s_mapHIDDeviceInfos.find(service);
    if (found == s_mapHIDDeviceInfos.end())
        return false;
    info = found->second;
    return true;
}

void readNumber(const HIDRegistry::Properties& properties, const char* key, std::uint16_t& field)
{
    const auto found = properties.find(key);
    if (found != properties.end())
        if (const auto* number = std::get_if<std::int64_t>(&found->second))
            field = static_cast<std::uint16_t>(*number);
}

void readText(const HIDRegistry::Properties& properties, const char* key, std::string& field)
{
    const auto found = properties.find(key);
    if (found != properties.end())
        if (const auto* text = std::get_if<std::string>(&found->second))
            field = *text;
}

} // namespace

bool HIDDevice::OSImpl::getHIDDeviceInfo(std::uint32_t service, USBDeviceInfo& info, bool withStrings)
{
    return getHIDDeviceInfo(service, info, withStrings, HIDRegistry::system());
}

bool HIDDevice::OSImpl::getHIDDeviceInfo(std::uint32_t service, USBDeviceInfo& info, bool, HIDRegistry& registry)
{
    if (cachedHIDDeviceInfo(service, info))
        return true;
    const auto properties = registry.properties(service);
    if (!properties)
        return false;
    readNumber(*properties, "VendorID", info.vendorId);
    readNumber(*properties, "ProductID", info.productId);
    readNumber(*properties, "VersionNumber", info.bcdDevice);
    readText(*properties, "Manufacturer", info.manufacturer);
    readText(*properties, "Product", info.product);
    readText(*properties, "SerialNumber", info.serialNumber);
    std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
    s_mapHIDDeviceInfos[service] = info;
    return true;
}

void HIDDevice::OSImpl::forgetHIDDeviceInfo(std::uint32_t service)
{
    std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
    s_mapHIDDeviceInfos.erase(service);
}

} // namespace USX2
} // namespace CV
