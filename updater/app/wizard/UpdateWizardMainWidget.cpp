#include "updater/app/wizard/UpdateWizardMainWidget.h"

#include "BAS/FormatHelper.h"
#include "FEN/Application.h"
#include "TOV/Button.h"
#include "TOV/Label.h"
#include "TOV/MultilineLabel.h"
#include "updater/app/wizard/ControlWithLabel.h"
#include "updater/app/wizard/SpinningProgressWheel.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <boost/format.hpp>
#include <boost/thread/exceptions.hpp>

namespace CV {

namespace {

constexpr const char* kProductAttribute = "product";
constexpr const char* kFocusAttribute = "hasFocus";

// The model names the style sheet picks the keyboard's picture by.
const char* productPictureName(uint16_t productId)
{
    switch (USX2::Ids::baseProductId(productId)) {
    case USX2::Ids::kRovaMK2ProductId: return "RovaM2";
    case USX2::Ids::kSelaMK2ProductId: return "SelaM2";
    case USX2::Ids::kTumoMK2ProductId: return "TumoM2";
    default: return nullptr;
    }
}

// A child made, inserted under the id and returned for styling.
template <class T> T& addChild(TOV::Widget& parent, std::shared_ptr<T>& field, const char* id)
{
    field = std::make_shared<T>();
    parent.insertChildWidget(field, id);
    return *field;
}

template <class T> T& addChild(TOV::Widget& parent, const char* id)
{
    std::shared_ptr<T> child;
    return addChild(parent, child, id);
}

int floorHalf(int value)
{
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

} // namespace

UpdateWizardMainWidget::UpdateWizardMainWidget(WizardTexts const& texts)
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
    , m_pPauseClock(&USX2::Sleeper::system())
{
    style(TOV::eAlignTopToBottom, "FirmwareUpdaterMainWidget");
    buildTitle();
    buildBody();
    buildAboutOverlay();
}

UpdateWizardMainWidget::~UpdateWizardMainWidget() = default;

// ---- the widget tree ----------------------------------------------------------------

void UpdateWizardMainWidget::buildTitle()
{
    addChild(*this, m_pTitlePanel, "FirmwareUpdaterTitlePanel")
        .style(TOV::eAlignRightToLeft, "FirmwareUpdaterTitlePanel");
    auto& headline = addChild<TOV::Label>(*m_pTitlePanel, "FirmwareUpdaterTitlePanelHeadline");
    headline.style(m_strTitle, nullptr);
    addChild(headline, m_pAboutButton, "FirmwareUpdaterTitlePanelAbout")
        .style("About", "FirmwareUpdaterTitlePanelAbout");
    m_pAboutButton->m_sigClick.connect([this](auto const*) { showAbout(); });
}

void UpdateWizardMainWidget::buildBody()
{
    addChild(*this, m_pBodyPanel, "FirmwareUpdaterBodyPanel").style(TOV::eAlignTopToBottom, "FirmwareUpdaterBodyPanel");
    buildFirmwarePanel(*m_pBodyPanel);
    buildInfoPanel(*m_pBodyPanel);
    buildButtonPanel(*m_pBodyPanel);
}

void UpdateWizardMainWidget::buildFirmwarePanel(TOV::Bar& body)
{
    addChild(body, m_pFirmwarePanel, "FirmwareUpdaterFirmwarePanel")
        .style(TOV::eAlignTopToBottom, "FirmwareUpdaterFirmwarePanel");
    auto& panelBody = addChild<TOV::Bar>(*m_pFirmwarePanel, "FirmwareUpdaterFirmwarePanelBody");
    panelBody.style(TOV::eAlignLeftToRight, "FirmwareUpdaterFirmwarePanelBody");

    auto& revisions = addChild<TOV::Bar>(panelBody, "FirmwareUpdaterFirmwarePanelRevisions");
    revisions.style(TOV::eAlignTopToBottom, "FirmwareUpdaterFirmwarePanelRevisions");
    constexpr const char* kRowId = "FirmwareUpdaterFirmwarePanelRevisionsRow";
    revisions.insertChildWidget(
        GUI::createControlWithLabel(m_pNewestRevision, "FirmwareUpdaterNewestFirmwareRevisionValue",
                                    "FirmwareUpdaterNewestFirmwareRevisionLabel", "Updater Firmware"),
        kRowId);
    revisions.insertChildWidget(
        GUI::createControlWithLabel(m_pInstalledRevision, "FirmwareUpdaterInstalledFirmwareRevisionValue",
                                    "FirmwareUpdaterInstalledFirmwareRevisionLabel", "Installed Firmware"),
        kRowId);
    revisions.insertChildWidget(GUI::createControlWithLabel(m_pSerialNumber, "FirmwareUpdaterSerialNumberValue",
                                                            "FirmwareUpdaterSerialNumberLabel", "Serial Number"),
                                kRowId);

    addChild(panelBody, m_pDeviceImage, "FirmwareUpdaterFirmwarePanelDeviceImage")
        .style(TOV::eAlignTopToBottom, "FirmwareUpdaterFirmwarePanelDeviceImage");
    m_pDeviceImage->setAttribute(kProductAttribute, m_strProductName);
    addChild(*m_pDeviceImage, m_pDeviceImageOverlay, "FirmwareUpdaterFirmwarePanelDeviceImageOverlay")
        .style("", nullptr);
}

void UpdateWizardMainWidget::buildInfoPanel(TOV::Bar& body)
{
    addChild(body, m_pInfoPanel, "FirmwareUpdaterInfoPanel").style(TOV::eAlignLeftToRight, "Panel");
    addChild(*m_pInfoPanel, m_pInfoIcon, "FirmwareUpdaterInfoPanelIcon").style("", nullptr);
    m_pInfoIcon->setActive(true);

    m_pProgressWheel = std::make_shared<SpinningProgressWheel>();
    m_pProgressWheel->setActive(false);
    m_pInfoPanel->insertChildWidget(m_pProgressWheel, "FirmwareUpdaterSpinningProgressWheel");
    m_pProgressWheel->style(TOV::eAlignLeftToRight, "Panel");

    auto labelBar = std::make_shared<TOV::Bar>();
    labelBar->setBreadthMax();
    labelBar->setActive(true);
    m_pInfoPanel->insertChildWidget(labelBar, "FirmwareUpdaterInfoPanelLabelBar");
    addChild(*labelBar, m_pInfoLabel, "FirmwareUpdaterInfoPanelLabel").setAutoResize(true);
}

void UpdateWizardMainWidget::buildButtonPanel(TOV::Bar& body)
{
    addChild(body, m_pButtonPanel, "FirmwareUpdaterButtonPanel").style(TOV::eAlignRightToLeft, "Panel");
    addChild(*m_pButtonPanel, m_pButtonAction, "FirmwareUpdaterButtonAction").style("?ACTION?", nullptr);
    m_pButtonAction->m_sigClick.connect([this](auto const*) { onAction(); });
    addChild(*m_pButtonPanel, m_pButtonQuit, "FirmwareUpdaterButtonQuit").style("QUIT", nullptr);
    m_pButtonQuit->m_sigClick.connect([this](auto const*) { onQuit(); });
}

void UpdateWizardMainWidget::buildAboutOverlay()
{
    addChild(*this, m_pOverlay, "FirmwareUpdaterOverlay").style("", nullptr);
    m_pOverlay->setNoAlign(true);
    m_pOverlay->setActive(false);
    m_pOverlay->m_sigClick.connect([this](auto const*) { hideAbout(); });

    addChild(*m_pOverlay, m_pOverlayPanel, "FirmwareUpdaterOverlayPanel").style(TOV::eAlignTopToBottom, "Panel");
    m_pOverlayPanel->setEnabled(false);

    addChild(*m_pOverlayPanel, m_pAboutTitle, "FirmwareUpdaterAboutTitle").style(m_strTitle, nullptr);
    m_pAboutTitle->setEnabled(false);
    if (m_strTitle.size() > kLongTitleBytes)
        m_pAboutTitle->setAttribute("titleLength", "large");

    addChild(*m_pOverlayPanel, m_pAboutInfos, "FirmwareUpdaterAboutInfos").style(TOV::eAlignLeftToRight, "Panel");
    m_pAboutInfos->setEnabled(false);
    addChild(*m_pAboutInfos, m_pAboutVersion, "FirmwareUpdaterAboutVersion")
        .style(BAS::DETAIL::FormatApply<char>::apply(boost::format("%1% %2%"), m_strAppName, m_strVersion), nullptr);
    m_pAboutVersion->setEnabled(false);
    addChild(*m_pAboutInfos, m_pAboutRights, "FirmwareUpdaterAboutCopyright").style(m_strRightsNotice, nullptr);
    m_pAboutRights->setEnabled(false);

    addChild(*m_pOverlayPanel, m_pAboutFirmwareRevision, "FirmwareUpdaterAboutFirmwareRevision").style("", nullptr);
    m_pAboutFirmwareRevision->setEnabled(false);

    auto& contributors = addChild<TOV::Bar>(*m_pOverlayPanel, "FirmwareUpdaterAboutContributors");
    contributors.style(TOV::eAlignTopToBottom, "Panel");
    for (std::string const* line :
         {&m_strContributors1, &m_strContributors2, &m_strContributors3, &m_strContributors4, &m_strContributors5}) {
        auto& label = addChild<TOV::Label>(contributors, "FirmwareUpdaterAboutContributorsLine");
        label.style(*line, nullptr);
        label.setEnabled(false);
    }
}

// ---- layout ---------------------------------------------------------------------------

void UpdateWizardMainWidget::onChildsAligned()
{
    TOV::Bar::onChildsAligned();
    int const labelHeight = m_pInfoLabel->getSize().y;
    if (labelHeight == 0)
        return;
    int const y = floorHalf(m_pInfoPanel->getSize().y - labelHeight) - m_pInfoLabel->getMargin().top;
    m_pInfoLabel->setPos({0, y});
}

void UpdateWizardMainWidget::showAbout()
{
    m_pOverlay->setPos(getPos());
    m_pOverlay->setSize(getSize());
    int const dx = m_pOverlay->getSize().x - kAboutWidth;
    int const dy = m_pOverlay->getSize().y - kAboutHeight;
    m_pOverlay->setMargin({dx / 2, dy / 2, dx - dx / 2, dy - dy / 2});
    m_pOverlay->arrangeChilds(TOV::eAlignLeftToRight, 0);
    m_pOverlay->setActive(true);
}

void UpdateWizardMainWidget::hideAbout()
{
    m_pOverlay->setActive(false);
}

// ---- pages -------------------------------------------------------------------------------

int UpdateWizardMainWidget::getUpdateResult() const
{
    return __atomic_load_n(&m_iUpdateResult, __ATOMIC_SEQ_CST);
}

void UpdateWizardMainWidget::storeUpdateResult(int value)
{
    __atomic_store_n(&m_iUpdateResult, value, __ATOMIC_SEQ_CST);
}

void UpdateWizardMainWidget::showPageNoDeviceConnected()
{
    resetRevisionLabels();
    showPage(ePageNoDeviceConnected);
}

void UpdateWizardMainWidget::showPageNoUpdateAvailable()
{
    showPage(ePageNoUpdateAvailable);
}

void UpdateWizardMainWidget::showPageUpdateAvailable()
{
    showPage(ePageUpdateAvailable);
}

void UpdateWizardMainWidget::showPageUpdating()
{
    showPage(ePageUpdating);
}

void UpdateWizardMainWidget::showPageNoUpdateMode()
{
    showPage(ePageNoUpdateMode);
}

void UpdateWizardMainWidget::showPageUpdateSuccessful()
{
    showPage(ePageUpdateSuccessful);
}

void UpdateWizardMainWidget::showPageUpdateFailed()
{
    showPage(ePageUpdateFailed);
}

void UpdateWizardMainWidget::showPage(eWizardPage page)
{
    WizardPageLook const& look = wizardPageLook(page);
    m_iPage = page;
    showInfo(look.infoVariant, wizardInfoText(page, m_strDeviceName, getUpdateResult(), m_strAppName));
    m_pButtonAction->setText(look.actionText);
    m_pButtonAction->setActive(look.actionActive);
    m_pButtonQuit->setActive(look.quitActive);
    if (look.quitText)
        m_pButtonQuit->setText(look.quitText);
    if (look.revisionState)
        m_pInstalledRevision->setAttribute("state", look.revisionState);
    if (look.hideDeviceImageOverlay)
        m_pDeviceImageOverlay->setActive(false);
    if (page == ePageUpdating) {
        m_pInfoIcon->setActive(false);
        m_pProgressWheel->start();
    } else {
        m_pInfoIcon->setActive(true);
        m_pProgressWheel->stop();
    }
    showFocus(look.focus);
}

void UpdateWizardMainWidget::showInfo(WizardInfoVariant const& variant, std::string const& text)
{
    m_pInfoPanel->setAttribute("background", variant.background);
    m_pInfoIcon->setAttribute("icon", variant.icon);
    m_pInfoLabel->setText(text);
}

// Focus is only a look: no keyboard focus moves, so Return reaches the
// application, not a button.
void UpdateWizardMainWidget::showFocus(eWizardFocus focus)
{
    if (focus == eWizardFocus::unchanged)
        return;
    bool const action = focus == eWizardFocus::action;
    m_pButtonAction->setAttribute(kFocusAttribute, action ? "true" : "false");
    m_pButtonQuit->setAttribute(kFocusAttribute, action ? "false" : "true");
}

UpdateWizardMainWidget::DeviceReport UpdateWizardMainWidget::readDeviceInfo() const
{
    DeviceReport report;
    m_fnGetDeviceInfo(report.info, report.installed, report.newest, report.update);
    return report;
}

void UpdateWizardMainWidget::resetRevisionLabels()
{
    DeviceReport const report = readDeviceInfo();
    m_pInstalledRevision->setText("-");
    m_pSerialNumber->setText("-");
    m_pNewestRevision->setText(report.newest);
}

void UpdateWizardMainWidget::showDeviceInfo(DeviceReport const& report)
{
    m_pSerialNumber->setText(report.info.serialNumber);
    m_pInstalledRevision->setText(report.installed);
    m_pNewestRevision->setText(report.newest);
}

void UpdateWizardMainWidget::showProduct(uint16_t productId)
{
    if (!m_pDeviceImage)
        return;
    if (const char* name = productPictureName(productId))
        m_pDeviceImage->setAttribute(kProductAttribute, name);
}

// ---- the state machine ----------------------------------------------------------------

void UpdateWizardMainWidget::run(ConnectFunction connectInNormalMode, ConnectFunction resetIntoUpdateMode,
                                 ConnectFunction connectInUpdateMode, PerformUpdateFunction performUpdate,
                                 GetDeviceInfoFunction getDeviceInfo)
{
    m_fnConnectInNormalMode = std::move(connectInNormalMode);
    m_fnResetIntoUpdateMode = std::move(resetIntoUpdateMode);
    m_fnConnectInUpdateMode = std::move(connectInUpdateMode);
    m_fnPerformUpdate = std::move(performUpdate);
    m_fnGetDeviceInfo = std::move(getDeviceInfo);
    showPageNoDeviceConnected();
    onAction();
}

void UpdateWizardMainWidget::onAction()
{
    switch (m_iPage) {
    case ePageNoDeviceConnected: scanForKeyboard(); break;
    case ePageUpdateAvailable: enterUpdateMode(); break;
    case ePageUpdating: startUpdate(); break;
    case ePageNoUpdateMode: retryUpdateMode(); break;
    default: break; // the action button is hidden
    }
}

void UpdateWizardMainWidget::onQuit()
{
    if (m_iPage == ePageUpdating)
        return;
    if (FEN::Application* application = FEN::Application::getApplication())
        application->postQuit();
}

void UpdateWizardMainWidget::scanForKeyboard()
{
    if (!m_fnConnectInNormalMode())
        return;
    DeviceReport const report = readDeviceInfo();
    showDeviceInfo(report);
    showProduct(report.info.productId);
    if (report.update)
        showPageUpdateAvailable();
    else
        showPageNoUpdateAvailable();
}

void UpdateWizardMainWidget::enterUpdateMode()
{
    if (m_fnResetIntoUpdateMode())
        goToUpdating();
    else
        showPageNoUpdateMode();
}

void UpdateWizardMainWidget::retryUpdateMode()
{
    if (m_fnConnectInUpdateMode() || (m_fnConnectInNormalMode() && m_fnResetIntoUpdateMode()))
        goToUpdating();
}

void UpdateWizardMainWidget::goToUpdating()
{
    m_bReconnectPending = false;
    showPageUpdating();
    onAction();
}

void UpdateWizardMainWidget::startUpdate()
{
    storeUpdateResult(0);
    bool started = false;
    try {
        started = m_fnPerformUpdate(m_iUpdateResult);
    } catch (boost::thread_resource_error const&) {
        // No thread for the worker: nothing was written.
        storeUpdateResult(-1);
    }
    if (started)
        setTimer(1);
    else
        showPageUpdateFailed();
}

void UpdateWizardMainWidget::onTimer()
{
    if (m_iPage != ePageUpdating)
        return;
    if (m_bReconnectPending)
        continueReconnectPause();
    else
        pollUpdate();
}

void UpdateWizardMainWidget::pollUpdate()
{
    int const result = getUpdateResult();
    if (result == 0) {
        m_pProgressWheel->onTimer();
        setTimer(1);
    } else if (result < 0) {
        showPageUpdateFailed();
    } else if (m_fnConnectInNormalMode()) {
        checkUpdatedKeyboard();
    } else {
        // Not back in normal mode yet: one more try after the pause.
        m_bReconnectPending = true;
        m_reconnectAt = m_pPauseClock->now() + kReconnectPause;
        m_pProgressWheel->onTimer();
        setTimer(1);
    }
}

void UpdateWizardMainWidget::continueReconnectPause()
{
    if (m_pPauseClock->now() < m_reconnectAt) {
        m_pProgressWheel->onTimer();
        setTimer(1);
        return;
    }
    m_bReconnectPending = false;
    if (m_fnConnectInNormalMode())
        checkUpdatedKeyboard();
    else
        showPageUpdateFailed();
}

void UpdateWizardMainWidget::checkUpdatedKeyboard()
{
    DeviceReport const report = readDeviceInfo();
    showDeviceInfo(report);
    if (report.installed == report.newest)
        showPageUpdateSuccessful();
    else
        showPageUpdateFailed();
}

} // namespace CV
