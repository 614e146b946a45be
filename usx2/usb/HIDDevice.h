#pragma once

namespace CV {
namespace USX2 {

// A HID device; its identity comes from the HID registry properties, cached
// per service by the platform part.
class HIDDevice {
public:
    class OSImpl;
};

} // namespace USX2
} // namespace CV
