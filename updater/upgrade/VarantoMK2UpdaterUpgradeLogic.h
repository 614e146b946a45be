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
    // Asks a running worker to stop and waits for it to end, but no longer
    // than the worker's own deadline: the worker is never stopped inside a
    // write (that would leave the keyboard half-written), and every wait of
    // the write has a deadline. A worker that still runs then is left to end
    // by itself; it shares the device and the result cell with this object.
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
    template <class Window> void createDebugWindow(Window*) { }

    // Waits up to limit for the worker to end; true when no worker runs any
    // more. Shut-down calls it before the owner of the result integer goes;
    // the wait is finite because every wait of the DFU protocol is bounded.
    bool waitForWorker(boost::chrono::milliseconds limit);

    // The keyboard device, for tests.
    const USX2::DFUDevice& device() const { return *m_pDevice; }
    USX2::DFUDevice& device() { return *m_pDevice; }

    // When a worker started now would have ended at the latest: the longest
    // write of the device, the requests after it and the final pause.
    boost::chrono::steady_clock::time_point workerDeadlineFromNow() const;

    // What the last update's write came to once the worker got past it
    // (an UpdateResult); 0 while it writes or when no update was started.
    int lastWriteOutcome() const { return m_result ? m_result->writeOutcome() : 0; }

private:
    // What one update works with; the worker holds it for as long as it runs.
    struct Job {
        std::shared_ptr<USX2::DFUDevice> device;
        bool updateNeeded = false;
        boost::chrono::milliseconds finalPause;
        std::shared_ptr<UpdateResultCell> result;
    };

    void onDeviceFound(const USX2::USBDeviceOSHandle& handle, const USX2::USBDeviceFilter& filter);
    static void flashFirmwares(const Job& job);
    bool isConnectedInDFUMode() const;
    bool isReadyForUpdate() const;
    static bool mayWriteFirmware(const USX2::DFUDevice& device);
    static void logNoProductFirmware();
    bool tryJoinWorkerFor(boost::chrono::milliseconds limit);
    void detachCallerResult();

    std::shared_ptr<USX2::DFUDevice> m_pDevice;
    boost::thread m_worker;
    boost::chrono::steady_clock::time_point m_workerDeadline;
    std::atomic<bool> m_updateNeeded{false};
    boost::chrono::milliseconds m_finalPause;
    std::shared_ptr<UpdateResultCell> m_result;
};

} // namespace CV
