#pragma once

#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"
#include "usx2/usb/USBDeviceInfo.h"

#include <boost/function.hpp>

#include <string>

namespace CV {
namespace test {

// The seven callbacks as the updater's configuration holds them: each a
// member operation of the one logic object, bound to its address, with the
// caller's arguments passed through.
struct UpdaterCallbacks {
    boost::function<bool()> connectInNormalMode;
    boost::function<bool()> resetIntoUpdateMode;
    boost::function<bool()> connectInUpdateMode;
    boost::function<bool(int&)> performUpdate;
    boost::function<void(USX2::USBDeviceInfo&, std::string&, std::string&, bool&)> getDeviceInfo;
    boost::function<bool()> isUpdateRunning;
    boost::function<void()> applicationCloseRequest;

    static UpdaterCallbacks bindTo(VarantoMK2UpdaterUpgradeLogic* logic);
};

} // namespace test
} // namespace CV
