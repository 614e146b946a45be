// The texts of the wizard's pages with the keyboard's name filled in.

#include "updater/app/wizard/UpdateWizardPages.h"

#include <gtest/gtest.h>

namespace {

using namespace CV;

const std::string kDevice = "VARANTO Q-SERIES MK2 Keyboard";
const std::string kApp = "Varanto MK2 Firmware Updater";

TEST(UpdateWizardPages, InfoTextsNameTheKeyboardEverywhere)
{
    struct Case {
        eWizardPage page;
        int error;
        const char* text;
    };
    const Case cases[] = {
        {ePageNoDeviceConnected, 0, "Please connect your VARANTO Q-SERIES MK2 Keyboard and click RESCAN."},
        {ePageNoUpdateAvailable, 0, "Currently there is no newer firmware for your VARANTO Q-SERIES MK2 Keyboard."},
        {ePageUpdateAvailable, 0,
         "A firmware update is available for your VARANTO Q-SERIES MK2 Keyboard. To update the firmware now, close "
         "all internet browser software and click UPDATE. To update the firmware later, click QUIT."},
        {ePageUpdating, 0,
         "Please stand by while your VARANTO Q-SERIES MK2 Keyboard is being updated and do not disconnect it from "
         "USB."},
        {ePageNoUpdateMode, 0,
         "Your VARANTO Q-SERIES MK2 Keyboard failed to boot into firmware update mode and could not be properly "
         "updated. To boot your VARANTO Q-SERIES MK2 Keyboard into firmware update mode, please power-cycle it and "
         "click RETRY."},
        {ePageUpdateSuccessful, 0, "The firmware of your VARANTO Q-SERIES MK2 Keyboard was successfully updated."},
        {ePageUpdateFailed, -2,
         "An error occurred while updating your VARANTO Q-SERIES MK2 Keyboard (error -2). Please disconnect the "
         "VARANTO Q-SERIES MK2 Keyboard, unpower it and quit the Varanto MK2 Firmware Updater. Then reconnect the "
         "VARANTO Q-SERIES MK2 Keyboard, restart Varanto MK2 Firmware Updater and try performing the update again. "
         "Alternatively contact the CV Technical Support."},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(wizardInfoText(c.page, kDevice, c.error, kApp), c.text);
        EXPECT_EQ(wizardPageLook(c.page).page, c.page);
    }
}

TEST(UpdateWizardPages, FailureTextCarriesTheErrorNumberInDecimal)
{
    for (int error : {-1, 1, 12}) {
        std::string const text = wizardInfoText(ePageUpdateFailed, "K", error, "A");
        EXPECT_NE(text.find("(error " + std::to_string(error) + ")"), std::string::npos) << text;
    }
}

TEST(UpdateWizardPages, TextsWithFormatCharactersInTheNamesStayIntact)
{
    EXPECT_EQ(wizardInfoText(ePageNoDeviceConnected, "50% %1% Board", 0, kApp),
              "Please connect your 50% %1% Board and click RESCAN.");
}

} // namespace
