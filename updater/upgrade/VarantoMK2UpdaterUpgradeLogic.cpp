#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"

#include "BAS/FormatHelper.h"
#include "updater/upgrade/DeviceFW.h"
#include "updater/upgrade/FirmwareImages.h"
#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/USBHost.h"
#include "usx2/util/Logging.h"

#include <boost/format.hpp>
#include <boost/thread/exceptions.hpp>

#include <cerrno>
#include <thread>

namespace CV {

namespace {

constexpr std::uint8_t kDFUMode = USX2::DFUDevice::eModeDFU;
constexpr const char* kCategory = "UpgradeLogic";

std::string versionText(unsigned major, unsigned minor, unsigned patch)
{
    return BAS::DETAIL::FormatApply<char>::apply(boost::format("%d.%d.%d"), major, minor, patch);
}

std::string versionText(std::uint32_t version)
{
    return versionText(version >> 8, (version >> 4) & 15, version & 15);
}

}  // namespace

constexpr boost::chrono::milliseconds VarantoMK2UpdaterUpgradeLogic::kFinalPause;
constexpr boost::chrono::milliseconds VarantoMK2UpdaterUpgradeLogic::kWorkerWait;

VarantoMK2UpdaterUpgradeLogic::VarantoMK2UpdaterUpgradeLogic(USX2::Sleeper& sleeper,
                                                             boost::chrono::milliseconds finalPause)
    : m_finalPause(finalPause)
{
    m_device.setSleeper(sleeper);
}

VarantoMK2UpdaterUpgradeLogic::~VarantoMK2UpdaterUpgradeLogic()
{
    if (m_worker.joinable()) {
        m_worker.interrupt();
        m_worker.join();
    }
}

bool VarantoMK2UpdaterUpgradeLogic::connectInNormalMode()
{
    USX2::USBDeviceFilter filter = USX2::USBDeviceDB::VarantoRovaMK2DFU;
    filter.productId = 0;  // every device of the maker's vendor id

    USX2::USBDeviceFactory factory;
    factory.setCallbacks(
        [this](const USX2::USBDeviceOSHandle& handle, const USX2::USBDeviceFilter& found) {
            onDeviceFound(handle, found);
        },
        nullptr);
    factory.initWithDeviceFilter(filter, false);
    factory.deInit();
    return m_device.isConnected();
}

void VarantoMK2UpdaterUpgradeLogic::onDeviceFound(const USX2::USBDeviceOSHandle& handle,
                                                  const USX2::USBDeviceFilter& filter)
{
    USX2::USBDeviceInfo info;
    if (!USX2::USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(handle, filter, info, false))
        return;
    if (!FW::findDeviceFW(info.productId))
        return;
    bool hasDFUInterface = false;
    {
        USX2::DFUDevice probe;
        hasDFUInterface = probe.connect(handle);
    }
    if (hasDFUInterface)
        m_device.connect(handle);
}

bool VarantoMK2UpdaterUpgradeLogic::resetIntoUpdateMode()
{
    if (!m_device.isConnected())
        return false;
    if (m_device.getMode() == kDFUMode)
        return true;
    return m_device.sendDFUDetach() && m_device.reconnectInDFUMode() && hasUsableTransferSize();
}

bool VarantoMK2UpdaterUpgradeLogic::connectInUpdateMode()
{
    if (isConnectedInDFUMode())
        return true;
    return m_device.reconnectInDFUMode() && hasUsableTransferSize();
}

bool VarantoMK2UpdaterUpgradeLogic::performUpdate(int& result)
{
    // A worker that has not ended still uses the device: no second one.
    if (!isConnectedInDFUMode() || !tryJoinWorkerFor(boost::chrono::milliseconds(0))) {
        __atomic_store_n(&result, static_cast<int>(eNoUpdatePossible), __ATOMIC_SEQ_CST);
        return false;
    }
    __atomic_store_n(&result, static_cast<int>(eUpdateRunning), __ATOMIC_SEQ_CST);
    auto cell = std::make_shared<UpdateResultCell>(result);
    try {
        m_worker = boost::thread([this, cell] { flashFirmwares(cell); });
    } catch (const boost::thread_resource_error&) {
        throw boost::thread_resource_error(EAGAIN, "boost::thread_resource_error");
    }
    m_result = std::move(cell);
    return true;
}

void VarantoMK2UpdaterUpgradeLogic::flashFirmwares(const std::shared_ptr<UpdateResultCell>& result)
{
    const FW::DeviceFW* row = isConnectedInDFUMode() ? FW::findDeviceFW(m_device.getDeviceInfo().productId) : nullptr;
    if (!row) {
        result->store(eNoUpdatePossible);
        return;
    }

    int outcome = eUpdateFinished;
    if (m_updateNeeded) {
        if (!mayWriteFirmware()) {
            logNoProductFirmware();
            outcome = eNoUpdatePossible;
        } else {
            USX2::DFU::GetStatus status{};
            if (!m_device.writeImage(row->main.data, row->main.size, status)) {
                m_device.sendDFUAbort();
                outcome = eWritingFailed;
            }
        }
    }
    m_device.returnToAPPMode();
    m_device.disconnect();

    boost::this_thread::sleep_for(m_finalPause);  // an interruption point: ends without a result
    result->store(outcome);
}

void VarantoMK2UpdaterUpgradeLogic::getDeviceInfo(USX2::USBDeviceInfo& info, std::string& installedVersion,
                                                  std::string& newestVersion, bool& updateAvailable)
{
    if (!m_device.isConnected()) {
        newestVersion = versionText(0, 5, 9);
        info.bcdDevice = 0;
        updateAvailable = false;
        return;
    }

    info = m_device.getDeviceInfo();
    installedVersion = versionText(info.bcdDevice);

    const FW::DeviceFW* row = FW::findDeviceFW(info.productId);
    if (!row)
        return;
    newestVersion = versionText(row->main.version);
    updateAvailable = row->main.version > info.bcdDevice;
    m_updateNeeded = updateAvailable;
}

bool VarantoMK2UpdaterUpgradeLogic::isUpdateRunning()
{
    if (!m_worker.joinable())
        return false;
    return !tryJoinWorkerFor(kWorkerWait);
}

void VarantoMK2UpdaterUpgradeLogic::applicationCloseRequest()
{
    const auto deadline = boost::chrono::steady_clock::now() + kWorkerWait;
    if (m_worker.joinable()) {
        if (!m_worker.try_join_until(deadline))
            m_worker.interrupt();
    } else {
        // No worker: the wait still takes its full time, as a join that cannot succeed would.
        std::this_thread::sleep_for(std::chrono::milliseconds(kWorkerWait.count()));
    }
    // The application is about to quit: whoever asked for the update goes away.
    detachCallerResult();
}

bool VarantoMK2UpdaterUpgradeLogic::waitForWorker(boost::chrono::milliseconds limit)
{
    const bool ended = tryJoinWorkerFor(limit);
    detachCallerResult();
    return ended;
}

bool VarantoMK2UpdaterUpgradeLogic::isConnectedInDFUMode() const
{
    return m_device.isConnected() && m_device.getMode() == kDFUMode;
}

bool VarantoMK2UpdaterUpgradeLogic::hasUsableTransferSize() const
{
    return m_device.getTransferSize() != 0;
}

bool VarantoMK2UpdaterUpgradeLogic::mayWriteFirmware() const
{
    // Stand-in images go to simulated keyboards only, never to real ones.
    return FW::carriesProductFirmware()
        || std::dynamic_pointer_cast<USX2::SimulatedBus>(USX2::USBHost::current()) != nullptr;
}

void VarantoMK2UpdaterUpgradeLogic::logNoProductFirmware()
{
    if (USX2::Logging::wouldReport(USX2::Logging::eLevelError, kCategory))
        USX2::Logging::detail::__trace__msg(USX2::Logging::eLevelError,
                                            "%s: this build carries no product firmware; the keyboard is not written\n",
                                            kCategory);
}

bool VarantoMK2UpdaterUpgradeLogic::tryJoinWorkerFor(boost::chrono::milliseconds limit)
{
    if (!m_worker.joinable())
        return true;
    return m_worker.try_join_for(limit);
}

void VarantoMK2UpdaterUpgradeLogic::detachCallerResult()
{
    if (m_result)
        m_result->detachCaller();
}

}  // namespace CV
