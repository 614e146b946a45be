#include "usx2/usb/linux/HIDRegistry.h"

namespace CV {
namespace USX2 {

namespace {

class NoHIDRegistry : public HIDRegistry {
public:
    std::vector<std::uint32_t> services() override { return {}; }
    std::optional<Properties> properties(std::uint32_t) override { return std::nullopt; }
};

} // namespace

HIDRegistry& HIDRegistry::system()
{
    static NoHIDRegistry registry;
    return registry;
}

} // namespace USX2
} // namespace CV
