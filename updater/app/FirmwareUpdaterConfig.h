#pragma once
// What the user interface knows of the updater: its texts and the seven
// callbacks that reach the upgrade logic. The module fills it; the
// application object and the wizard read the fields directly and call the
// logic only through the callbacks.
#include "updater/app/wizard/WizardTexts.h"
#include "usx2/usb/USBDeviceInfo.h"

#include <boost/function.hpp>

#include <string>

namespace CV {

class FirmwareUpdaterConfig {
public:
    using ConnectFunction = boost::function<bool()>;
    using PerformUpdateFunction = boost::function<bool(int& result)>;
    using GetDeviceInfoFunction =
        boost::function<void(USX2::USBDeviceInfo& info, std::string& installed, std::string& newest, bool& update)>;
    using IsUpdateRunningFunction = boost::function<bool()>;
    using CloseRequestFunction = boost::function<void()>;

    // The window title becomes a copy of the application name; the version
    // becomes the bundle's when the bundle has one.
    FirmwareUpdaterConfig(WizardTexts const& texts, std::string instanceId, ConnectFunction connectInNormalMode,
                          ConnectFunction resetIntoUpdateMode, ConnectFunction connectInUpdateMode,
                          PerformUpdateFunction performUpdate, GetDeviceInfoFunction getDeviceInfo,
                          IsUpdateRunningFunction isUpdateRunning, CloseRequestFunction applicationCloseRequest);
    FirmwareUpdaterConfig(FirmwareUpdaterConfig const&) = delete;
    FirmwareUpdaterConfig& operator=(FirmwareUpdaterConfig const&) = delete;

    // The wizard's texts as they stand in the fields below.
    WizardTexts wizardTexts() const;

    std::string m_strDeviceName;
    std::string m_strProductName;
    std::string m_strAppName;
    std::string m_strTitle;
    std::string m_strRightsNotice;
    std::string m_strVersion;
    std::string m_strContributors1;
    std::string m_strContributors2;
    std::string m_strContributors3;
    std::string m_strContributors4;
    std::string m_strContributors5;
    std::string m_strWindowTitle;
    std::string m_strInstanceId;

    ConnectFunction m_fnConnectInNormalMode;
    ConnectFunction m_fnResetIntoUpdateMode;
    ConnectFunction m_fnConnectInUpdateMode;
    PerformUpdateFunction m_fnPerformUpdate;
    GetDeviceInfoFunction m_fnGetDeviceInfo;
    IsUpdateRunningFunction m_fnIsUpdateRunning;
    CloseRequestFunction m_fnApplicationCloseRequest;
};

} // namespace CV
