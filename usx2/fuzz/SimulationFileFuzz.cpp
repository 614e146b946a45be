// Fuzz target: arbitrary text read as a file of simulated devices. Parsing
// must end with devices or one error line; every device it accepts must
// give well-formed descriptors of bounded size.
#include "usx2/usb/linux/SimulatedDeviceFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace CV::USX2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<SimulatedDeviceDescription> devices;
    std::string error;
    if (!SimulatedDeviceFile::parse(text, devices, error)) {
        if (error.empty() || error.find('\n') != std::string::npos)
            std::abort(); // a refusal says why, in one line
        return 0;
    }
    if (devices.size() > SimulatedDeviceFile::kMaxDevices)
        std::abort();
    for (const SimulatedDeviceDescription& spec : devices) {
        const std::vector<std::uint8_t> device = spec.deviceDescriptor();
        const std::vector<std::uint8_t> configuration = spec.configurationDescriptor();
        if (device.size() != 18 || configuration.size() < 9 ||
            std::size_t(configuration[2] | configuration[3] << 8) != configuration.size())
            std::abort();
        for (unsigned index = 0; index < 4; ++index)
            spec.stringDescriptor(static_cast<std::uint8_t>(index));
        spec.inDFUMode().configurationDescriptor();
        spec.interfaceNumbers();
    }
    return 0;
}
