#pragma once
// The whole content of the updater's window and the place where the update
// is driven: a title bar with an About button, the firmware panel
// (revisions, serial number, a picture of the keyboard), the info panel
// (icon, progress wheel, message), the action and quit buttons, and an about
// overlay over the whole window.
//
// A state machine of seven pages (UpdateWizardPages.h) moves on with the
// action button. It reaches the upgrade logic only through five callbacks;
// while the logic's worker writes the firmware, a one-tick widget timer
// polls the result integer the worker stores into. The wizard draws nothing
// itself: every look comes from the style sheet, selected by the ids, style
// names and attribute values set here.
#include "TOV/Bar.h"
#include "updater/app/wizard/UpdateWizardPages.h"
#include "updater/app/wizard/WizardTexts.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/util/Sleeper.h"

#include <boost/function.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace CV {

namespace TOV {
class Button;
class Label;
class MultilineLabel;
} // namespace TOV

class SpinningProgressWheel;

class UpdateWizardMainWidget : public TOV::Bar {
public:
    using ConnectFunction = boost::function<bool()>;
    using PerformUpdateFunction = boost::function<bool(int&)>;
    using GetDeviceInfoFunction = boost::function<void(USX2::USBDeviceInfo&, std::string&, std::string&, bool&)>;

    // The pause before the second try to find the keyboard back in normal
    // mode after the worker finished.
    static constexpr std::chrono::milliseconds kReconnectPause{5000};
    // The about box's size; the overlay's margins centre it in the window.
    static constexpr int kAboutWidth = 450;
    static constexpr int kAboutHeight = 274;
    // Longer titles than this get the attribute titleLength=large.
    static constexpr size_t kLongTitleBytes = 36;

    explicit UpdateWizardMainWidget(WizardTexts const& texts);
    ~UpdateWizardMainWidget() override;

    // Keeps the callbacks, shows the first page and scans once for a keyboard.
    void run(ConnectFunction connectInNormalMode, ConnectFunction resetIntoUpdateMode,
             ConnectFunction connectInUpdateMode, PerformUpdateFunction performUpdate,
             GetDeviceInfoFunction getDeviceInfo);

    // The action and quit buttons.
    void onAction();
    void onQuit();
    // Polls the update result while the page Updating is shown.
    void onTimer() override;
    // Centres the message vertically in the info panel.
    void onChildsAligned() override;

    // The about box in the middle of the window; a click anywhere hides it.
    void showAbout();
    void hideAbout();

    void showPageNoDeviceConnected();
    void showPageNoUpdateAvailable();
    void showPageUpdateAvailable();
    void showPageUpdating();
    void showPageNoUpdateMode();
    void showPageUpdateSuccessful();
    void showPageUpdateFailed();

    // The clock of the reconnect pause: the upgrade logic's sleeper (the
    // system's by default). The pause never blocks the event loop: the
    // timer keeps polling until the clock has passed it.
    void setPauseClock(USX2::Sleeper& clock) { m_pPauseClock = &clock; }

    eWizardPage getPage() const { return static_cast<eWizardPage>(m_iPage); }
    // The result the worker stored last, read atomically.
    int getUpdateResult() const;

private:
    // What the logic reports about the keyboard.
    struct DeviceReport {
        USX2::USBDeviceInfo info;
        std::string installed;
        std::string newest;
        bool update = false;
    };

    void buildTitle();
    void buildBody();
    void buildFirmwarePanel(TOV::Bar& body);
    void buildInfoPanel(TOV::Bar& body);
    void buildButtonPanel(TOV::Bar& body);
    void buildAboutOverlay();

    void showPage(eWizardPage page);
    void showInfo(WizardInfoVariant const& variant, std::string const& text);
    void showFocus(eWizardFocus focus);
    // The logic's report, asked with fresh values.
    DeviceReport readDeviceInfo() const;
    void resetRevisionLabels();
    void showDeviceInfo(DeviceReport const& report);
    void showProduct(uint16_t productId);

    void scanForKeyboard();
    void enterUpdateMode();
    void retryUpdateMode();
    void goToUpdating();
    void startUpdate();
    void pollUpdate();
    void continueReconnectPause();
    void checkUpdatedKeyboard();
    void storeUpdateResult(int value);

    // Texts of the configuration.
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

    // The widget tree.
    std::shared_ptr<TOV::Bar> m_pTitlePanel;
    std::shared_ptr<TOV::Button> m_pAboutButton;
    std::shared_ptr<TOV::Bar> m_pBodyPanel;
    std::shared_ptr<TOV::Bar> m_pFirmwarePanel;
    std::shared_ptr<TOV::Bar> m_pDeviceImage;
    std::shared_ptr<TOV::Label> m_pDeviceImageOverlay;
    std::shared_ptr<TOV::Label> m_pNewestRevision;
    std::shared_ptr<TOV::Label> m_pInstalledRevision;
    std::shared_ptr<TOV::Label> m_pSerialNumber;
    std::shared_ptr<TOV::Bar> m_pInfoPanel;
    std::shared_ptr<TOV::Label> m_pInfoIcon;
    std::shared_ptr<TOV::MultilineLabel> m_pInfoLabel;
    std::shared_ptr<TOV::Bar> m_pButtonPanel;
    std::shared_ptr<TOV::Button> m_pButtonAction;
    std::shared_ptr<TOV::Button> m_pButtonQuit;
    std::shared_ptr<TOV::Button> m_pOverlay;
    std::shared_ptr<TOV::Bar> m_pOverlayPanel;
    std::shared_ptr<TOV::Bar> m_pAboutInfos;
    std::shared_ptr<TOV::Label> m_pAboutTitle;
    std::shared_ptr<TOV::Label> m_pAboutVersion;
    std::shared_ptr<TOV::Label> m_pAboutRights;
    std::shared_ptr<TOV::Label> m_pAboutFirmwareRevision;
    std::shared_ptr<SpinningProgressWheel> m_pProgressWheel;

    // The upgrade logic's operations.
    ConnectFunction m_fnConnectInNormalMode;
    ConnectFunction m_fnResetIntoUpdateMode;
    ConnectFunction m_fnConnectInUpdateMode;
    PerformUpdateFunction m_fnPerformUpdate;
    GetDeviceInfoFunction m_fnGetDeviceInfo;

    int32_t m_iPage = ePageNoDeviceConnected;
    // Written by the logic's worker while the timer reads it: every access
    // is atomic.
    int32_t m_iUpdateResult = 0;

    USX2::Sleeper* m_pPauseClock;
    bool m_bReconnectPending = false;
    USX2::Sleeper::Duration m_reconnectAt{0};
};

} // namespace CV
