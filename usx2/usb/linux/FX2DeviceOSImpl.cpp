#include "usx2/usb/linux/FX2DeviceOSImpl.h"

#include "usx2/util/Logging.h"

#include <chrono>

namespace CV {
namespace USX2 {

namespace {

constexpr const char* kCategory = "FX2Device";

bool reportsDriverMessages()
{
    return Logging::wouldReport(Logging::eLevelInfo, kCategory);
}

bool callGetDeviceInfo(AudioDriverService& driver, std::uint32_t connection, DravikUSBDeviceInfo& record)
{
    const std::uint32_t error = driver.callGetDeviceInfo(connection, record);
    if (error == 0)
        return true;
    if (reportsDriverMessages())
        Logging::detail::__trace__msg(Logging::eLevelInfo, "%s: IOConnectCallMethod(GetDeviceInfo) failed with 0x%x\n",
                                      kCategory, error);
    return false;
}

} // namespace

bool FX2Device::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings)
{
    return OSImpl::getDeviceInfoForOSHandle(handle, info, withStrings, AudioDriverService::system(), Sleeper::system());
}

bool FX2Device::OSImpl::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings,
                                                 AudioDriverService& driver, Sleeper& sleeper)
{
    const std::uint32_t connection = driver.open(handle.service);
    if (connection == 0)
        return false;
    DravikUSBDeviceInfo record;
    const bool read = getDravikUSBDeviceInfo(connection, record, driver, sleeper);
    if (read) {
        info.vendorId = record.vendorId();
        info.productId = record.productId();
        info.bcdDevice = record.version();
        if (withStrings) {
            info.manufacturer = record.manufacturer();
            info.product = record.productName();
            info.serialNumber = record.serialNumber();
        }
    }
    driver.close(connection);
    return read;
}

bool FX2Device::OSImpl::getDravikUSBDeviceInfo(std::uint32_t connection, DravikUSBDeviceInfo& record)
{
    return getDravikUSBDeviceInfo(connection, record, AudioDriverService::system(), Sleeper::system());
}

bool FX2Device::OSImpl::getDravikUSBDeviceInfo(std::uint32_t connection, DravikUSBDeviceInfo& record,
                                               AudioDriverService& driver, Sleeper& sleeper)
{
    record.setVersion(0);
    if (!callGetDeviceInfo(driver, connection, record))
        return false;
    for (unsigned retry = 1; record.version() == 0; ++retry) {
        if (retry > kRetries) {
            if (reportsDriverMessages())
                Logging::detail::__trace__msg(Logging::eLevelInfo,
                                              "%s: IOConnectCallMethod(GetDeviceInfo) timed out %d times -> gave up\n",
                                              kCategory, static_cast<int>(kRetries));
            return true;
        }
        const unsigned waitMs = kRetryStepMs * retry;
        if (reportsDriverMessages())
            Logging::detail::__trace__msg(Logging::eLevelInfo,
                                          "%s: IOConnectCallMethod(GetDeviceInfo) timed out -> sleeping for %d ms\n",
                                          kCategory, static_cast<int>(waitMs));
        sleeper.sleepFor(std::chrono::milliseconds(waitMs));
        if (!callGetDeviceInfo(driver, connection, record))
            return false;
    }
    return true;
}

} // namespace USX2
} // namespace CV
