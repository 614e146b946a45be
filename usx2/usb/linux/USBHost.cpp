#include "usx2/usb/linux/USBHost.h"

#include "usx2/usb/linux/LibusbHost.h"
#include "usx2/usb/linux/SimulatedBus.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace CV {
namespace USX2 {

namespace {
std::mutex& hostMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<USBHost>& hostSlot()
{
    static std::shared_ptr<USBHost> host;
    return host;
}

std::shared_ptr<USBHost> hostFromEnvironment()
{
    const char* simulationFile = std::getenv(USBHost::kSimulationVariable);
    if (!simulationFile || !*simulationFile)
        return std::make_shared<LibusbHost>();
    std::string error;
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::fromFile(simulationFile, error);
    if (!bus) {
        std::fprintf(stderr, "%s: %s; the simulated bus stays empty\n", USBHost::kSimulationVariable, error.c_str());
        bus = SimulatedBus::create();
    }
    return bus;
}
} // namespace

std::shared_ptr<USBHost> USBHost::current()
{
    std::lock_guard<std::mutex> lock(hostMutex());
    std::shared_ptr<USBHost>& host = hostSlot();
    if (!host)
        host = hostFromEnvironment();
    return host;
}

std::shared_ptr<USBHost> USBHost::setCurrent(std::shared_ptr<USBHost> host)
{
    std::lock_guard<std::mutex> lock(hostMutex());
    std::shared_ptr<USBHost> previous = std::move(hostSlot());
    hostSlot() = std::move(host);
    return previous;
}

} // namespace USX2
} // namespace CV
