#include "updater/upgrade/DeviceFW.h"

#include "updater/upgrade/FirmwareImages.h"
#include "usx2/usb/VarantoUSBIds.h"

namespace CV {
namespace FW {

namespace {

DeviceFW makeRow(std::uint16_t productId, const unsigned char* main, const unsigned char* atmel,
                 const unsigned char* pic)
{
    return DeviceFW{productId,
                    {main, kMainImageSize, kMainImageVersion},
                    {atmel, kAtmelImageSize, kAtmelImageVersion},
                    {pic, kPICImageSize, kPICImageVersion}};
}

} // namespace

const std::vector<DeviceFW> vecFW = {
    makeRow(USX2::Ids::kRovaMK2ProductId, VarantoRovaMK2, VarantoRovaMK2Atmel, VarantoRovaMK2PIC),
    makeRow(USX2::Ids::kSelaMK2ProductId, VarantoSelaMK2, VarantoSelaMK2Atmel, VarantoSelaMK2PIC),
    makeRow(USX2::Ids::kTumoMK2ProductId, VarantoTumoMK2, VarantoTumoMK2Atmel, VarantoTumoMK2PIC),
};

const DeviceFW* findDeviceFW(std::uint16_t productId)
{
    const std::uint16_t baseId = USX2::Ids::baseProductId(productId);
    for (const DeviceFW& row : vecFW) {
        if (row.productId == baseId)
            return &row;
    }
    return nullptr;
}

} // namespace FW
} // namespace CV
