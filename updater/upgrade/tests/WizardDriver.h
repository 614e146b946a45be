#pragma once

#include "UpdaterCallbacks.h"

#include "usx2/util/Sleeper.h"

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace CV {
namespace test {

// Drives the callbacks the way the wizard and the application object do:
// scan and show the keyboard, switch it into update mode, start the update,
// poll the result on a timer, scan again and show the new version; and the
// quit confirmation.
class WizardDriver {
public:
    // What the wizard's page shows about the keyboard.
    struct DeviceView {
        bool connected = false;
        USX2::USBDeviceInfo info;
        std::string installedVersion = "-";
        std::string newestVersion = "-";
        bool updateAvailable = false;
    };

    // The wizard's pages.
    enum class Page {
        NoDeviceConnected,
        NoUpdateAvailable,
        UpdateAvailable,
        Updating,
        NoUpdateMode,
        UpdateSuccessful,
        UpdateFailed,
    };

    // The pages one update showed, and the error number of the failure page
    // (the update result).
    struct Road {
        std::vector<Page> pages;
        int error = 0;
    };

    explicit WizardDriver(UpdaterCallbacks callbacks);

    // The whole road of the wizard: the first scan, UPDATE, RETRY once after
    // `retryAfter` when the keyboard did not enter update mode, the update
    // polled every `tick` for at most `limit`, the worker's final pause, and
    // the scan for the new version (again after 5 s when the keyboard is not
    // back yet). The waits of the keyboard's side go through `time`.
    Road runUpdateRoad(USX2::Sleeper& time, std::chrono::milliseconds retryAfter, std::chrono::milliseconds tick,
                       std::chrono::milliseconds limit);

    // connectInNormalMode, then getDeviceInfo with fresh values.
    DeviceView scan();
    // On UPDATE: resetIntoUpdateMode.
    bool enterUpdateMode();
    // The retry of a keyboard that did not enter update mode.
    bool retryUpdateMode();
    // performUpdate into the wizard's result integer, set to 0 first.
    bool startUpdate();
    // Reads the result on every tick until it is no longer 0 or the time is up.
    int pollResult(std::chrono::milliseconds tick, std::chrono::milliseconds limit);
    int result() const;
    // A quit request that the user confirms: true when the quit goes on.
    bool quit();

    UpdaterCallbacks& callbacks() { return m_callbacks; }
    int& resultCell() { return m_result; }

private:
    UpdaterCallbacks m_callbacks;
    int m_result = 0;
};

void PrintTo(WizardDriver::Page page, std::ostream* out);

} // namespace test
} // namespace CV
