#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"

#include "BAS/FormatHelper.h"
#include "updater/upgrade/DeviceFW.h"
#include "updater/upgrade/FirmwareImages.h"
#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/USBDeviceFactory.h"
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

} // namespace

constexpr boost::chrono::milliseconds VarantoMK2UpdaterUpgradeLogic::kFinalPause;
constexpr boost::chrono::milliseconds VarantoMK2UpdaterUpgradeLogic::kWorkerWait;

VarantoMK2UpdaterUpgradeLogic::VarantoMK2UpdaterUpgradeLogic(USX2::Sleeper& sleeper,
                                                             boost::chrono::milliseconds finalPause)
    : m_pDevice(std::make_shared<USX2::DFUDevice>())
    , m_finalPause(finalPause)
{
    m_pDevice->setSleeper(sleeper);
}

VarantoMK2UpdaterUpgradeLogic::~VarantoMK2UpdaterUpgradeLogic()
{
    if (!m_worker.joinable())
        return;
    // Only the final pause is an interruption point: a write goes on.
    m_worker.interrupt();
    if (!m_worker.try_join_until(m_workerDeadline))
        m_worker.detach();
    detachCallerResult();
}

boost::chrono::steady_clock::time_point VarantoMK2UpdaterUpgradeLogic::workerDeadlineFromNow() const
{
    // After the write: an abort and the request back to normal mode.
    const auto afterWrite = 2 * USX2::DFUDevice::kRequestTimeout;
    const auto longest = m_pDevice->longestWrite() + afterWrite;
    return boost::chrono::steady_clock::now() + boost::chrono::milliseconds(longest.count()) + m_finalPause;
}

bool VarantoMK2UpdaterUpgradeLogic::connectInNormalMode()
{
    USX2::USBDeviceFilter filter = USX2::USBDeviceDB::VarantoRovaMK2DFU;
    filter.productId = 0; // every device of the maker's vendor id

    USX2::USBDeviceFactory factory;
    factory.setCallbacks([this](const USX2::USBDeviceOSHandle& handle,
                                const USX2::USBDeviceFilter& found) { onDeviceFound(handle, found); },
                         nullptr);
    factory.initWithDeviceFilter(filter, false);
    factory.deInit();
    return m_pDevice->isConnected();
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
        m_pDevice->connect(handle);
}

// Each road into update mode ends with the transfer-size check: a keyboard
// whose blocks the client cannot send is refused here, before the update.
bool VarantoMK2UpdaterUpgradeLogic::resetIntoUpdateMode()
{
    if (!m_pDevice->isConnected())
        return false;
    if (m_pDevice->getMode() == kDFUMode)
        return m_pDevice->checkTransferSize();
    return m_pDevice->sendDFUDetach() && m_pDevice->reconnectInDFUMode() && m_pDevice->checkTransferSize();
}

bool VarantoMK2UpdaterUpgradeLogic::connectInUpdateMode()
{
    if (isConnectedInDFUMode())
        return m_pDevice->checkTransferSize();
    return m_pDevice->reconnectInDFUMode() && m_pDevice->checkTransferSize();
}

bool VarantoMK2UpdaterUpgradeLogic::performUpdate(int& result)
{
    // A worker that has not ended still uses the device: no second one.
    if (!isReadyForUpdate() || !tryJoinWorkerFor(boost::chrono::milliseconds(0))) {
        __atomic_store_n(&result, static_cast<int>(eNoUpdatePossible), __ATOMIC_SEQ_CST);
        return false;
    }
    __atomic_store_n(&result, static_cast<int>(eUpdateRunning), __ATOMIC_SEQ_CST);
    Job job{m_pDevice, m_updateNeeded.load(), m_finalPause, std::make_shared<UpdateResultCell>(result)};
    const auto deadline = workerDeadlineFromNow();
    try {
        m_worker = boost::thread([job] { flashFirmwares(job); });
    } catch (const boost::thread_resource_error&) {
        throw boost::thread_resource_error(EAGAIN, "boost::thread_resource_error");
    }
    m_workerDeadline = deadline;
    m_result = std::move(job.result);
    return true;
}

void VarantoMK2UpdaterUpgradeLogic::flashFirmwares(const Job& job)
{
    USX2::DFUDevice& device = *job.device;
    const bool inDFUMode = device.isConnected() && device.getMode() == kDFUMode;
    const FW::DeviceFW* row = inDFUMode ? FW::findDeviceFW(device.getDeviceInfo().productId) : nullptr;
    if (!row) {
        job.result->store(eNoUpdatePossible);
        return;
    }

    int outcome = eUpdateFinished;
    if (job.updateNeeded) {
        if (!mayWriteFirmware(device)) {
            logNoProductFirmware();
            outcome = eNoUpdatePossible;
        } else {
            USX2::DFU::GetStatus status{};
            if (!device.writeImage(row->main.data, row->main.size, status)) {
                device.sendDFUAbort();
                outcome = eWritingFailed;
            }
        }
    }
    device.returnToAPPMode();
    device.disconnect();
    job.result->noteWriteOutcome(outcome);

    boost::this_thread::sleep_for(job.finalPause); // an interruption point: ends without a result
    job.result->store(outcome);
}

void VarantoMK2UpdaterUpgradeLogic::getDeviceInfo(USX2::USBDeviceInfo& info, std::string& installedVersion,
                                                  std::string& newestVersion, bool& updateAvailable)
{
    if (!m_pDevice->isConnected()) {
        newestVersion = versionText(0, 5, 9);
        info.bcdDevice = 0;
        updateAvailable = false;
        return;
    }

    info = m_pDevice->getDeviceInfo();
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
    return m_pDevice->isConnected() && m_pDevice->getMode() == kDFUMode;
}

bool VarantoMK2UpdaterUpgradeLogic::isReadyForUpdate() const
{
    return isConnectedInDFUMode() && m_pDevice->checkTransferSize();
}

bool VarantoMK2UpdaterUpgradeLogic::mayWriteFirmware(const USX2::DFUDevice& device)
{
    // Stand-in images go to simulated keyboards only, never to real ones; the
    // host the keyboard was opened through knows which it is.
    return FW::carriesProductFirmware() || !device.reachesRealDevice();
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

} // namespace CV
