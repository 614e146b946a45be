#include "updater/app/FirmwareUpdaterConfig.h"

#include "FEN/AppModule.h"

namespace CV {

FirmwareUpdaterConfig::FirmwareUpdaterConfig(WizardTexts const& texts, std::string instanceId,
                                             ConnectFunction connectInNormalMode, ConnectFunction resetIntoUpdateMode,
                                             ConnectFunction connectInUpdateMode, PerformUpdateFunction performUpdate,
                                             GetDeviceInfoFunction getDeviceInfo,
                                             IsUpdateRunningFunction isUpdateRunning,
                                             CloseRequestFunction applicationCloseRequest)
    : m_strDeviceName(texts.deviceName)
    , m_strProductName(texts.productName)
    , m_strAppName(texts.appName)
    , m_strTitle(texts.title)
    , m_strRightsNotice(texts.rightsNotice)
    , m_strVersion(texts.version)
    , m_strContributors1(texts.contributors1)
    , m_strContributors2(texts.contributors2)
    , m_strContributors3(texts.contributors3)
    , m_strContributors4(texts.contributors4)
    , m_strContributors5(texts.contributors5)
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

WizardTexts FirmwareUpdaterConfig::wizardTexts() const
{
    return WizardTexts{m_strDeviceName,    m_strProductName,   m_strAppName,       m_strTitle,
                       m_strRightsNotice,  m_strVersion,       m_strContributors1, m_strContributors2,
                       m_strContributors3, m_strContributors4, m_strContributors5};
}

} // namespace CV
