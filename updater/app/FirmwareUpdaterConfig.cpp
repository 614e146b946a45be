#include "updater/app/FirmwareUpdaterConfig.h"

#include "FEN/AppModule.h"

namespace CV {

FirmwareUpdaterConfig::FirmwareUpdaterConfig(
    std::string deviceName, std::string productName, std::string appName, std::string title,
    std::string rightsNotice, std::string version, std::string contributors1, std::string contributors2,
    std::string contributors3, std::string contributors4, std::string contributors5, std::string instanceId,
    ConnectFunction connectInNormalMode, ConnectFunction resetIntoUpdateMode, ConnectFunction connectInUpdateMode,
    PerformUpdateFunction performUpdate, GetDeviceInfoFunction getDeviceInfo, IsUpdateRunningFunction isUpdateRunning,
    CloseRequestFunction applicationCloseRequest)
    : m_strDeviceName(std::move(deviceName))
    , m_strProductName(std::move(productName))
    , m_strAppName(std::move(appName))
    , m_strTitle(std::move(title))
    , m_strRightsNotice(std::move(rightsNotice))
    , m_strVersion(std::move(version))
    , m_strContributors1(std::move(contributors1))
    , m_strContributors2(std::move(contributors2))
    , m_strContributors3(std::move(contributors3))
    , m_strContributors4(std::move(contributors4))
    , m_strContributors5(std::move(contributors5))
    , m_strInstanceId(std::move(instanceId))
    , m_fnConnectInNormalMode(std::move(connectInNormalMode))
    , m_fnResetIntoUpdateMode(std::move(resetIntoUpdateMode))
    , m_fnConnectInUpdateMode(std::move(connectInUpdateMode))
    , m_fnPerformUpdate(std::move(performUpdate))
    , m_fnGetDeviceInfo(std::move(getDeviceInfo))
    , m_fnIsUpdateRunning(std::move(isUpdateRunning))
    , m_fnApplicationCloseRequest(std::move(applicationCloseRequest))
{
    m_strWindowTitle += m_strAppName;
    // The placeholder the call writes on failure is not wanted.
    std::string bundleVersion;
    if (FEN::AppModule::getVersionInfo(bundleVersion))
        m_strVersion = bundleVersion;
}

} // namespace CV
