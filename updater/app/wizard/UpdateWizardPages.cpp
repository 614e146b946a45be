#include "updater/app/wizard/UpdateWizardPages.h"

#include "BAS/FormatHelper.h"

#include <boost/format.hpp>

namespace CV {

namespace {

constexpr WizardInfoVariant kInfo{"info", "error"};
constexpr WizardInfoVariant kSuccess{"ok", "ok"};
constexpr WizardInfoVariant kFailure{"error", "error"};

constexpr const char* kDisabled = "<disabled>";

// In the order of the page values.
const WizardPageLook kPages[] = {
    {ePageNoDeviceConnected, "Please connect your %1% and click RESCAN.", kInfo, "RESCAN", true, true, nullptr, nullptr,
     false, eWizardFocus::action},
    {ePageNoUpdateAvailable, "Currently there is no newer firmware for your %1%.", kSuccess, kDisabled, false, true,
     nullptr, "success", true, eWizardFocus::quit},
    {ePageUpdateAvailable,
     "A firmware update is available for your %1%. To update the firmware now, close all internet browser software "
     "and click UPDATE. To update the firmware later, click QUIT.",
     kInfo, "UPDATE", true, true, nullptr, "fail", true, eWizardFocus::action},
    {ePageUpdating, "Please stand by while your %1% is being updated and do not disconnect it from USB.", kInfo,
     kDisabled, false, false, nullptr, "neutral", false, eWizardFocus::unchanged},
    {ePageNoUpdateMode,
     "Your %1% failed to boot into firmware update mode and could not be properly updated. To boot your %1% into "
     "firmware update mode, please power-cycle it and click RETRY.",
     kFailure, "RETRY", true, true, nullptr, "neutral", false, eWizardFocus::action},
    {ePageUpdateSuccessful, "The firmware of your %1% was successfully updated.", kSuccess, kDisabled, false, true,
     "FINISH", "success", false, eWizardFocus::quit},
    {ePageUpdateFailed,
     "An error occurred while updating your %1% (error %2%). Please disconnect the %1%, unpower it and quit the %3%. "
     "Then reconnect the %1%, restart %3% and try performing the update again. Alternatively contact the CV "
     "Technical Support.",
     kFailure, kDisabled, false, true, nullptr, nullptr, false, eWizardFocus::quit},
};

} // namespace

WizardPageLook const& wizardPageLook(eWizardPage page)
{
    return kPages[page];
}

std::string wizardInfoText(eWizardPage page, std::string const& deviceName, int errorNumber, std::string const& appName)
{
    char const* format = wizardPageLook(page).infoFormat;
    if (page == ePageUpdateFailed)
        return BAS::DETAIL::FormatApply<char>::apply(boost::format(format), deviceName, errorNumber, appName);
    return BAS::DETAIL::BasicFormat<char, std::string>(format, deviceName);
}

} // namespace CV
