#include "usx2/usb/linux/AudioDriverService.h"

namespace CV {
namespace USX2 {

namespace {

constexpr std::uint32_t kUnsupported = 0xE00002C7;

// No audio driver of the maker exists here.
class NoAudioDriver : public AudioDriverService {
public:
    std::vector<std::uint32_t> services() override { return {}; }
    std::uint32_t open(std::uint32_t) override { return 0; }
    void close(std::uint32_t) override { }
    std::uint32_t callGetDeviceInfo(std::uint32_t, DravikUSBDeviceInfo&) override { return kUnsupported; }
};

} // namespace

AudioDriverService& AudioDriverService::system()
{
    static NoAudioDriver driver;
    return driver;
}

} // namespace USX2
} // namespace CV
