#include "usx2/usb/linux/HIDRegistry.h"

#include <mutex>

namespace CV {
namespace USX2 {

namespace {

class NoHIDRegistry : public HIDRegistry {
public:
    std::vector<std::uint32_t> services() override { return {}; }
    std::optional<Properties> properties(std::uint32_t) override { return std::nullopt; }
};

std::mutex& installedMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<HIDRegistry>& installedRegistry()
{
    static std::shared_ptr<HIDRegistry> registry;
    return registry;
}

} // namespace

HIDRegistry& HIDRegistry::system()
{
    static NoHIDRegistry none;
    std::lock_guard<std::mutex> lock(installedMutex());
    if (installedRegistry())
        return *installedRegistry();
    return none;
}

std::shared_ptr<HIDRegistry> HIDRegistry::setSystem(std::shared_ptr<HIDRegistry> registry)
{
    std::lock_guard<std::mutex> lock(installedMutex());
    std::shared_ptr<HIDRegistry> previous = std::move(installedRegistry());
    installedRegistry() = std::move(registry);
    return previous;
}

} // namespace USX2
} // namespace CV
