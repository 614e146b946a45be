#pragma once
// The seven pages of the update wizard: what each one shows in the info
// panel, on the two buttons and on the firmware panel. The wizard widget
// applies a page; the style sheet selects colours and pictures by the
// attribute values named here.
#include <cstdint>
#include <string>

namespace CV {

enum eWizardPage : int32_t {
    ePageNoDeviceConnected = 0,
    ePageNoUpdateAvailable = 1,
    ePageUpdateAvailable = 2,
    ePageUpdating = 3,
    ePageNoUpdateMode = 4,
    ePageUpdateSuccessful = 5,
    ePageUpdateFailed = 6,
};

// The look of the info panel: its "background" attribute and the info icon's "icon".
struct WizardInfoVariant {
    const char* background;
    const char* icon;
};

// Which button shows the focus ("hasFocus" = "true").
enum class eWizardFocus { unchanged, action, quit };

struct WizardPageLook {
    eWizardPage page;
    const char* infoFormat; // "%1%": the keyboard's name
    WizardInfoVariant infoVariant;
    const char* actionText;
    bool actionActive;
    bool quitActive;
    const char* quitText; // null: unchanged
    const char* revisionState; // "state" of the installed revision; null: unchanged
    bool hideDeviceImageOverlay;
    eWizardFocus focus;
};

// The look of a page.
WizardPageLook const& wizardPageLook(eWizardPage page);

// The info text of a page for the keyboard `deviceName`; the failure page
// also names the error number and the application.
std::string wizardInfoText(eWizardPage page, std::string const& deviceName, int errorNumber,
                           std::string const& appName);

} // namespace CV
