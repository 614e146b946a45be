#include "usx2/usb/USBDeviceFilter.h"

namespace CV {
namespace USX2 {

namespace {
std::string textOrEmpty(const char* text)
{
    return text ? std::string(text) : std::string();
}
} // namespace

USBDeviceFilter::USBDeviceFilter(eUSBDeviceType kind, const char* guidText, const char* classNameText,
                                 std::uint16_t vendor, std::uint16_t product)
    : type(kind)
    , guid(textOrEmpty(guidText))
    , className(textOrEmpty(classNameText))
    , vendorId(vendor)
    , productId(product)
{
}

USBDeviceFilter::USBDeviceFilter(eUSBDeviceType kind, const std::string& guidText, const char* classNameText,
                                 std::uint16_t vendor, std::uint16_t product)
    : type(kind)
    , guid(guidText)
    , className(textOrEmpty(classNameText))
    , vendorId(vendor)
    , productId(product)
{
}

} // namespace USX2
} // namespace CV
