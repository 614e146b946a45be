#pragma once

#include "updater/upgrade/UpdateResultCell.h"
#include "usx2/dfu/DFUDevice.h"
#include "usx2/usb/USBDeviceFilter.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/USBDeviceOSHandle.h"
#include "usx2/util/Sleeper.h"

#include <boost/chrono.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <memory>
#include <string>

namespace CV {

// The engine behind the updater's wizard: finds one target keyboard, reports
// its firmware version against the newest firmware the program carries,
// switches it into DFU mode and writes the firmware on a worker thread.
//
// The wizard and the application reach it only through callbacks bound to
// the public operations below. Everything runs on the main thread except the
// worker; while the worker runs, the main thread only asks whether it is
// still running, asks it to stop, and reads the update result.
class VarantoMK2UpdaterUpgradeLogic {
public:
    // Values of the update result.
    enum UpdateResult : int {
        eUpdateRunning = 0,
        eUpdateFinished = 1,
        eNoUpdatePossible = -1,
        eWritingFailed = -2,
    };

    static constexpr boost::chrono::milliseconds kFinalPause{5000};
    static constexpr boost::chrono::milliseconds kWorkerWait{500};

    // sleeper: every wait of the keyboard's DFU protocol; finalPause: the
    // interruptible pause of the worker before it stores its result.
    explicit VarantoMK2UpdaterUpgradeLogic(USX2::Sleeper& sleeper = USX2::Sleeper::system(),
                                           boost::chrono::milliseconds finalPause = kFinalPause);
    // Asks a running worker to stop and waits for it to end: the worker uses
    // this object and its device until then.
    ~VarantoMK2UpdaterUpgradeLogic();
    VarantoMK2UpdaterUpgradeLogic(const VarantoMK2UpdaterUpgradeLogic&) = delete;
    VarantoMK2UpdaterUpgradeLogic& operator=(const VarantoMK2UpdaterUpgradeLogic&) = delete;

    bool connectInNormalMode();
    bool resetIntoUpdateMode();
    bool connectInUpdateMode();
    bool performUpdate(int& result);
    void getDeviceInfo(USX2::USBDeviceInfo& info, std::string& installedVersion, std::string& newestVersion,
                       bool& updateAvailable);
    bool isUpdateRunning();
    void applicationCloseRequest();

    // Kept for the debug build of the window; does nothing.
    template <class Window>
    void createDebugWindow(Window*)
    {
    }

    // Waits up to limit for the worker to end; true when no worker runs any
    // more. Shut-down calls it before the owner of the result integer goes;
    // the wait is finite because every wait of the DFU protocol is bounded.
    bool waitForWorker(boost::chrono::milliseconds limit);

    // The keyboard device, for tests.
    const USX2::DFUDevice& device() const { return m_device; }

private:
    void onDeviceFound(const USX2::USBDeviceOSHandle& handle, const USX2::USBDeviceFilter& filter);
    void flashFirmwares(const std::shared_ptr<UpdateResultCell>& result);
    bool isConnectedInDFUMode() const;
    bool hasUsableTransferSize() const;
    bool mayWriteFirmware() const;
    static void logNoProductFirmware();
    bool tryJoinWorkerFor(boost::chrono::milliseconds limit);
    void detachCallerResult();

    USX2::DFUDevice m_device;
    boost::thread m_worker;
    std::atomic<bool> m_updateNeeded{false};
    boost::chrono::milliseconds m_finalPause;
    std::shared_ptr<UpdateResultCell> m_result;
};

}  // namespace CV
