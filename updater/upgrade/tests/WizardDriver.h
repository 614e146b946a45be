#pragma once

#include "UpdaterCallbacks.h"

#include <chrono>
#include <string>

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

    explicit WizardDriver(UpdaterCallbacks callbacks);

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

}  // namespace test
}  // namespace CV
