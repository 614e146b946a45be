// The update wizard against scripted callbacks: the widget tree, the about
// box, every page and every transition of its state machine.
#include "ScriptedLogic.h"
#include "WizardFixture.h"

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/KeyCodes.h"
#include "updater/app/wizard/SpinningProgressWheel.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/util/VirtualSleeper.h"

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace CV::test {
namespace {

// What a page shows.
struct PageView {
    eWizardPage page;
    std::string text;
    std::string action; // text, or "-" when hidden
    std::string quit; // text, or "-" when hidden
    std::string background;
    std::string icon; // the info icon's attribute, or "-" when the wheel replaces the icon
    std::string state; // the installed revision's attribute
    std::string focus; // "action", "quit" or "<none>"

    bool operator==(PageView const& o) const
    {
        return page == o.page && text == o.text && action == o.action && quit == o.quit && background == o.background &&
            icon == o.icon && state == o.state && focus == o.focus;
    }
    friend std::ostream& operator<<(std::ostream& out, PageView const& v)
    {
        return out << "{page " << v.page << ", \"" << v.text << "\", action " << v.action << ", quit " << v.quit
                   << ", background " << v.background << ", icon " << v.icon << ", state " << v.state << ", focus "
                   << v.focus << "}";
    }
};

std::string withDevice(const char* format)
{
    std::string text = format;
    for (size_t at; (at = text.find("%1%")) != std::string::npos;)
        text.replace(at, 3, kDeviceName);
    return text;
}

std::string failureText(int error)
{
    return "An error occurred while updating your " + kDeviceName + " (error " + std::to_string(error) +
        "). Please disconnect the " + kDeviceName + ", unpower it and quit the " + kAppName + ". Then reconnect the " +
        kDeviceName + ", restart " + kAppName +
        " and try performing the update again. Alternatively contact the CV Technical Support.";
}

const std::string kUpdatingText =
    withDevice("Please stand by while your %1% is being updated and do not disconnect it from USB.");

class UpdateWizardTest : public WizardFixture {
protected:
    UpdateWizardMainWidget& start()
    {
        build();
        logic.runIn(*wizard);
        wizard->setPauseClock(clock);
        update();
        return *wizard;
    }

    // From the first scan to the running update.
    void startUpdating()
    {
        logic.normalMode = {true};
        logic.reset = {true};
        start();
        click("FirmwareUpdaterButtonAction");
        ASSERT_EQ(wizard->getPage(), ePageUpdating);
    }

    PageView view() const
    {
        auto shown = [](TOV::Widget const& w, std::string const& text) { return w.isActive() ? text : "-"; };
        TOV::Button const& action = button("FirmwareUpdaterButtonAction");
        TOV::Button const& quit = button("FirmwareUpdaterButtonQuit");
        std::string focus = "<none>";
        if (attributeOf(&action, "hasFocus") == "true" && attributeOf(&quit, "hasFocus") == "false")
            focus = "action";
        else if (attributeOf(&action, "hasFocus") == "false" && attributeOf(&quit, "hasFocus") == "true")
            focus = "quit";
        TOV::Widget const& icon = widget("FirmwareUpdaterInfoPanelIcon");
        TOV::Widget const& wheel = widget("FirmwareUpdaterSpinningProgressWheel");
        EXPECT_NE(icon.isActive(), wheel.isActive()) << "the icon or the wheel";
        return {wizard->getPage(),
                infoText(),
                shown(action, action.getText()),
                shown(quit, quit.getText()),
                attributeOf(&widget("FirmwareUpdaterInfoPanel"), "background"),
                shown(icon, attributeOf(&icon, "icon")),
                attributeOf(&value("FirmwareUpdaterInstalledFirmwareRevisionValue"), "state"),
                focus};
    }

    std::string revisions() const
    {
        return textOf(&value("FirmwareUpdaterNewestFirmwareRevisionValue")) + " " +
            textOf(&value("FirmwareUpdaterInstalledFirmwareRevisionValue")) + " " +
            textOf(&value("FirmwareUpdaterSerialNumberValue"));
    }

    SpinningProgressWheel& wheel() const
    {
        return dynamic_cast<SpinningProgressWheel&>(widget("FirmwareUpdaterSpinningProgressWheel"));
    }

    ScriptedLogic logic;
    USX2::VirtualSleeper clock;
};

// ---- the tree ------------------------------------------------------------------------

struct TreeEntry {
    std::string path;
    std::string cls;
    std::string style;
};

void collectTree(TOV::Widget const& widget, std::string const& path, std::vector<std::string>& out)
{
    for (auto const& child : widget.getChildren()) {
        std::string const childPath = path + "/" + child->getId();
        out.push_back(childPath + " " + child->getClass().string() + " " + child->getStyle());
        collectTree(*child, childPath, out);
    }
}

TEST_F(UpdateWizardTest, TreeHasItsIdsClassesAndStyleNamesInOrder)
{
    build();
    EXPECT_EQ(wizard->getStyle(), "FirmwareUpdaterMainWidget");
    EXPECT_EQ(wizard->getAlignment(), TOV::eAlignTopToBottom);
    std::vector<std::string> tree;
    collectTree(*wizard, "", tree);
    std::string const t = "/FirmwareUpdaterTitlePanel";
    std::string const b = "/FirmwareUpdaterBodyPanel";
    std::string const f = b + "/FirmwareUpdaterFirmwarePanel/FirmwareUpdaterFirmwarePanelBody";
    std::string const r = f + "/FirmwareUpdaterFirmwarePanelRevisions/FirmwareUpdaterFirmwarePanelRevisionsRow";
    std::string const i = b + "/FirmwareUpdaterInfoPanel";
    std::string const o = "/FirmwareUpdaterOverlay/FirmwareUpdaterOverlayPanel";
    std::vector<std::string> const expected = {
        t + " Bar FirmwareUpdaterTitlePanel",
        t + "/FirmwareUpdaterTitlePanelHeadline Label ",
        t + "/FirmwareUpdaterTitlePanelHeadline/FirmwareUpdaterTitlePanelAbout Button FirmwareUpdaterTitlePanelAbout",
        b + " Bar FirmwareUpdaterBodyPanel",
        b + "/FirmwareUpdaterFirmwarePanel Bar FirmwareUpdaterFirmwarePanel",
        f + " Bar FirmwareUpdaterFirmwarePanelBody",
        f + "/FirmwareUpdaterFirmwarePanelRevisions Bar FirmwareUpdaterFirmwarePanelRevisions",
        r + " Bar ",
        r + "/Value Label FirmwareUpdaterNewestFirmwareRevisionValue",
        r + "/Label Label FirmwareUpdaterNewestFirmwareRevisionLabel",
        r + " Bar ",
        r + "/Value Label FirmwareUpdaterInstalledFirmwareRevisionValue",
        r + "/Label Label FirmwareUpdaterInstalledFirmwareRevisionLabel",
        r + " Bar ",
        r + "/Value Label FirmwareUpdaterSerialNumberValue",
        r + "/Label Label FirmwareUpdaterSerialNumberLabel",
        f + "/FirmwareUpdaterFirmwarePanelDeviceImage Bar FirmwareUpdaterFirmwarePanelDeviceImage",
        f + "/FirmwareUpdaterFirmwarePanelDeviceImage/FirmwareUpdaterFirmwarePanelDeviceImageOverlay Label ",
        i + " Bar Panel",
        i + "/FirmwareUpdaterInfoPanelIcon Label ",
        i + "/FirmwareUpdaterSpinningProgressWheel Bar Panel",
        i + "/FirmwareUpdaterInfoPanelLabelBar Bar ",
        i + "/FirmwareUpdaterInfoPanelLabelBar/FirmwareUpdaterInfoPanelLabel MultilineLabel ",
        b + "/FirmwareUpdaterButtonPanel Bar Panel",
        b + "/FirmwareUpdaterButtonPanel/FirmwareUpdaterButtonAction Button ",
        b + "/FirmwareUpdaterButtonPanel/FirmwareUpdaterButtonQuit Button ",
        "/FirmwareUpdaterOverlay Button ",
        o + " Bar Panel",
        o + "/FirmwareUpdaterAboutTitle Label ",
        o + "/FirmwareUpdaterAboutInfos Bar Panel",
        o + "/FirmwareUpdaterAboutInfos/FirmwareUpdaterAboutVersion Label ",
        o + "/FirmwareUpdaterAboutInfos/FirmwareUpdaterAboutCopyright Label ",
        o + "/FirmwareUpdaterAboutFirmwareRevision Label ",
        o + "/FirmwareUpdaterAboutContributors Bar Panel",
        o + "/FirmwareUpdaterAboutContributors/FirmwareUpdaterAboutContributorsLine Label ",
        o + "/FirmwareUpdaterAboutContributors/FirmwareUpdaterAboutContributorsLine Label ",
        o + "/FirmwareUpdaterAboutContributors/FirmwareUpdaterAboutContributorsLine Label ",
        o + "/FirmwareUpdaterAboutContributors/FirmwareUpdaterAboutContributorsLine Label ",
        o + "/FirmwareUpdaterAboutContributors/FirmwareUpdaterAboutContributorsLine Label ",
    };
    EXPECT_EQ(tree, expected);

    // The containers' directions.
    auto alignmentOf = [this](std::string const& id) { return dynamic_cast<TOV::Bar&>(widget(id)).getAlignment(); };
    EXPECT_EQ(alignmentOf("FirmwareUpdaterTitlePanel"), TOV::eAlignRightToLeft);
    EXPECT_EQ(alignmentOf("FirmwareUpdaterFirmwarePanelBody"), TOV::eAlignLeftToRight);
    EXPECT_EQ(alignmentOf("FirmwareUpdaterFirmwarePanelRevisionsRow"), TOV::eAlignLeftToRight);
    EXPECT_EQ(alignmentOf("FirmwareUpdaterInfoPanel"), TOV::eAlignLeftToRight);
    EXPECT_EQ(alignmentOf("FirmwareUpdaterButtonPanel"), TOV::eAlignRightToLeft);
    EXPECT_EQ(alignmentOf("FirmwareUpdaterAboutInfos"), TOV::eAlignLeftToRight);
    EXPECT_EQ(alignmentOf("FirmwareUpdaterAboutContributors"), TOV::eAlignTopToBottom);

    // Before any page: the wheel and the overlay are hidden, the overlay
    // keeps out of the layout, and the about box takes no input.
    EXPECT_FALSE(widget("FirmwareUpdaterSpinningProgressWheel").isActive());
    EXPECT_TRUE(widget("FirmwareUpdaterInfoPanelIcon").isActive());
    EXPECT_FALSE(widget("FirmwareUpdaterOverlay").isActive());
    EXPECT_TRUE(widget("FirmwareUpdaterOverlay").isNoAlign());
    EXPECT_FALSE(widget("FirmwareUpdaterOverlayPanel").isEnabled());
    EXPECT_FALSE(widget("FirmwareUpdaterAboutContributorsLine").isEnabled());
    EXPECT_EQ(textOf(&button("FirmwareUpdaterButtonAction")), "?ACTION?");
    EXPECT_EQ(textOf(&button("FirmwareUpdaterButtonQuit")), "QUIT");
    EXPECT_EQ(textOf(&button("FirmwareUpdaterTitlePanelAbout")), "About");
    EXPECT_EQ(textOf(&widget("FirmwareUpdaterTitlePanelHeadline")), kTitle);
    EXPECT_EQ(attributeOf(&widget("FirmwareUpdaterFirmwarePanelDeviceImage"), "product"), "VarantoMK2");
    EXPECT_EQ(textOf(&widget("Label", "FirmwareUpdaterNewestFirmwareRevisionLabel")), "Updater Firmware");
    EXPECT_EQ(textOf(&widget("Label", "FirmwareUpdaterInstalledFirmwareRevisionLabel")), "Installed Firmware");
    EXPECT_EQ(textOf(&widget("Label", "FirmwareUpdaterSerialNumberLabel")), "Serial Number");
    EXPECT_TRUE(dynamic_cast<TOV::MultilineLabel&>(widget("FirmwareUpdaterInfoPanelLabel")).isAutoResize());
}

// ---- the about box --------------------------------------------------------------------

TEST_F(UpdateWizardTest, AboutBoxShowsTitleVersionRightsAndContributors)
{
    build();
    EXPECT_EQ(textOf(&widget("FirmwareUpdaterAboutTitle")), kTitle);
    EXPECT_EQ(textOf(&widget("FirmwareUpdaterAboutVersion")), "Varanto MK2 Firmware Updater 1.4.0 (R205)");
    EXPECT_EQ(textOf(&widget("FirmwareUpdaterAboutCopyright")), kRightsNotice);
    EXPECT_EQ(textOf(&widget("FirmwareUpdaterAboutFirmwareRevision")), "");
    std::vector<std::string> lines;
    for (auto const& line : widget("FirmwareUpdaterAboutContributors").getChildren())
        lines.push_back(textOf(line.get()));
    EXPECT_EQ(lines, kContributors);
}

TEST_F(UpdateWizardTest, OnlyTitlesLongerThan36BytesAreMarkedLarge)
{
    struct Case {
        std::string title;
        const char* attribute;
    };
    Case const cases[] = {
        {kTitle, "<none>"},
        {std::string(36, 'T'), "<none>"},
        {std::string(37, 'T'), "large"},
        {"% %1% keeps its percent signs", "<none>"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.title);
        build(c.title);
        EXPECT_EQ(attributeOf(&widget("FirmwareUpdaterAboutTitle"), "titleLength"), c.attribute);
        EXPECT_EQ(textOf(&widget("FirmwareUpdaterAboutTitle")), c.title);
    }
}

TEST_F(UpdateWizardTest, AboutOverlayCoversTheWindowWithTheBoxInTheMiddleUntilClicked)
{
    start();
    TOV::Widget& overlay = widget("FirmwareUpdaterOverlay");
    click("FirmwareUpdaterTitlePanelAbout");
    EXPECT_TRUE(overlay.isActive());
    EXPECT_EQ(overlay.getPos().x, 0);
    EXPECT_EQ(overlay.getPos().y, 0);
    EXPECT_EQ(overlay.getSize().x, 627);
    EXPECT_EQ(overlay.getSize().y, 335);
    EXPECT_EQ(overlay.getMargin(), (TOV::Margin{88, 30, 89, 31}));
    update();
    EXPECT_EQ(overlay.getMargin(), (TOV::Margin{88, 30, 89, 31})) << "the layout keeps the margins";

    click("FirmwareUpdaterOverlay");
    EXPECT_FALSE(overlay.isActive());
    wizard->showAbout();
    EXPECT_TRUE(overlay.isActive());
    wizard->hideAbout();
    EXPECT_FALSE(overlay.isActive());
    EXPECT_EQ(logic.calls, (Calls{"info", "normal"})) << "the about box does not reach the logic";
}

TEST_F(UpdateWizardTest, MessageSitsInTheMiddleOfTheInfoPanelWhateverItsLength)
{
    logic.normalMode = {true};
    logic.reset = {true};
    start();
    auto const& panel = widget("FirmwareUpdaterInfoPanel");
    auto const& label = widget("FirmwareUpdaterInfoPanelLabel");
    auto centreOffset = [&] {
        int const panelMiddle = 2 * panel.getAbsPos().y + panel.getSize().y;
        int const labelMiddle = 2 * label.getAbsPos().y + label.getSize().y;
        return std::abs(panelMiddle - labelMiddle);
    };
    ASSERT_GT(label.getSize().y, 0);
    int const threeLines = label.getSize().y;
    EXPECT_LE(centreOffset(), 2);

    click("FirmwareUpdaterButtonAction");
    logic.finish(-2);
    tick();
    update();
    ASSERT_EQ(wizard->getPage(), ePageUpdateFailed);
    EXPECT_GT(label.getSize().y, threeLines) << "the label follows its lines";
    EXPECT_LE(centreOffset(), 2);
}

TEST_F(UpdateWizardTest, ButtonsAnswerClicksWhereTheWindowShowsThem)
{
    logic.normalMode = {true};
    logic.reset = {true};
    start();
    clickInWindow(button("FirmwareUpdaterTitlePanelAbout"));
    EXPECT_TRUE(widget("FirmwareUpdaterOverlay").isActive());
    clickInWindow(button("FirmwareUpdaterButtonAction"));
    EXPECT_FALSE(widget("FirmwareUpdaterOverlay").isActive()) << "the overlay takes the click and closes";
    EXPECT_EQ(wizard->getPage(), ePageUpdateAvailable);

    clickInWindow(button("FirmwareUpdaterButtonAction"));
    EXPECT_EQ(wizard->getPage(), ePageUpdating);
}

// ---- pages ---------------------------------------------------------------------------------

TEST_F(UpdateWizardTest, StartWithoutKeyboardAsksForOneAndRescansOnTheActionButton)
{
    start();
    EXPECT_EQ(logic.calls, (Calls{"info", "normal"})) << "the revisions reset, then the first scan";
    EXPECT_EQ(view(),
              (PageView{ePageNoDeviceConnected, withDevice("Please connect your %1% and click RESCAN."), "RESCAN",
                        "QUIT", "info", "error", "<none>", "action"}));
    EXPECT_EQ(revisions(), "0.5.9 - -") << "the logic's fallback version as the newest";
    EXPECT_TRUE(widget("FirmwareUpdaterFirmwarePanelDeviceImageOverlay").isActive());
    EXPECT_FALSE(wheel().isActive());

    click("FirmwareUpdaterButtonAction");
    EXPECT_EQ(wizard->getPage(), ePageNoDeviceConnected);
    EXPECT_EQ(logic.calls, (Calls{"info", "normal", "normal"}));
    EXPECT_EQ(revisions(), "0.5.9 - -");
}

TEST_F(UpdateWizardTest, AKeyboardFoundShowsItsRevisionsAndWhetherAnUpdateIsDue)
{
    struct Case {
        bool updateNeeded;
        std::string installed;
        PageView page;
    };
    Case const cases[] = {
        {true,
         "0.5.8",
         {ePageUpdateAvailable,
          withDevice("A firmware update is available for your %1%. To update the firmware now, close all internet "
                     "browser software and click UPDATE. To update the firmware later, click QUIT."),
          "UPDATE", "QUIT", "info", "error", "fail", "action"}},
        {false,
         "0.5.9",
         {ePageNoUpdateAvailable, withDevice("Currently there is no newer firmware for your %1%."), "-", "QUIT", "ok",
          "ok", "success", "quit"}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.installed);
        logic = ScriptedLogic();
        logic.normalMode = {true};
        logic.updateNeeded = c.updateNeeded;
        logic.installed = c.installed;
        start();
        EXPECT_EQ(view(), c.page);
        EXPECT_EQ(revisions(), "0.5.9 " + c.installed + " SELA-0042");
        EXPECT_EQ(attributeOf(&widget("FirmwareUpdaterFirmwarePanelDeviceImage"), "product"), "SelaM2");
        EXPECT_FALSE(widget("FirmwareUpdaterFirmwarePanelDeviceImageOverlay").isActive());
        EXPECT_EQ(logic.calls, (Calls{"info", "normal", "info"}));
    }
}

TEST_F(UpdateWizardTest, TheKeyboardsModelPicksItsPicture)
{
    struct Case {
        uint16_t productId;
        const char* product;
    };
    Case const cases[] = {
        {USX2::Ids::kRovaMK2ProductId, "RovaM2"},
        {USX2::Ids::kSelaMK2ProductId, "SelaM2"},
        {USX2::Ids::kTumoMK2ProductId, "TumoM2"},
        {USX2::Ids::dfuModeProductId(USX2::Ids::kTumoMK2ProductId), "TumoM2"},
        {static_cast<uint16_t>(USX2::Ids::kRovaMK2ProductId | 0xF), "RovaM2"},
        {0x1234, "VarantoMK2"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.productId);
        logic = ScriptedLogic();
        logic.normalMode = {true};
        logic.info.productId = c.productId;
        start();
        EXPECT_EQ(attributeOf(&widget("FirmwareUpdaterFirmwarePanelDeviceImage"), "product"), c.product);
    }
}

TEST_F(UpdateWizardTest, PagesWithoutAnActionIgnoreIt)
{
    logic.normalMode = {true};
    logic.updateNeeded = false;
    start();
    ASSERT_EQ(wizard->getPage(), ePageNoUpdateAvailable);
    Calls const before = logic.calls;
    wizard->onAction();
    EXPECT_EQ(logic.calls, before);
    EXPECT_EQ(wizard->getPage(), ePageNoUpdateAvailable);

    wizard->showPageUpdateSuccessful();
    wizard->onAction();
    wizard->showPageUpdateFailed();
    wizard->onAction();
    EXPECT_EQ(logic.calls, before);
}

// ---- the update -----------------------------------------------------------------------

TEST_F(UpdateWizardTest, UpdateSwitchesIntoUpdateModeAndStartsTheWorkerWithTheWheelTurning)
{
    startUpdating();
    EXPECT_EQ(logic.calls, (Calls{"info", "normal", "info", "reset", "perform"}));
    EXPECT_EQ(view(), (PageView{ePageUpdating, kUpdatingText, "-", "-", "info", "-", "neutral", "action"}));
    EXPECT_TRUE(wheel().isRunning());
    EXPECT_EQ(pane->getTimerTicks(*wizard), 1) << "polled on the next tick";

    // A result of 0: the worker still writes; the wheel steps every second tick.
    std::vector<std::string> steps;
    for (int tick = 1; tick <= 24; ++tick) {
        this->tick();
        if (tick % 2 == 0)
            steps.push_back(attributeOf(&wheel(), "step"));
    }
    EXPECT_EQ(steps,
              (std::vector<std::string>{"S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S10", "S11", "S0"}));
    EXPECT_EQ(wizard->getPage(), ePageUpdating);
    EXPECT_EQ(logic.calls.size(), 5u) << "polling reads the result only";
}

TEST_F(UpdateWizardTest, QuitIsIgnoredWhileUpdatingAndAsksTheApplicationOtherwise)
{
    attachQuitRecorder();
    startUpdating();
    wizard->onQuit();
    EXPECT_EQ(application->quits, 0);

    logic.normalMode = {true};
    logic.installed = logic.newest;
    logic.finish(1);
    tick();
    ASSERT_EQ(wizard->getPage(), ePageUpdateSuccessful);
    click("FirmwareUpdaterButtonQuit");
    EXPECT_EQ(application->quits, 1);
}

TEST_F(UpdateWizardTest, ReturnIsLeftToTheApplicationAlsoAfterAClickOnAButton)
{
    attachQuitRecorder();
    startUpdating();
    logic.normalMode = {true};
    logic.installed = logic.newest;
    logic.finish(1);
    tick();
    ASSERT_EQ(wizard->getPage(), ePageUpdateSuccessful);
    clickInWindow(button("FirmwareUpdaterButtonQuit"));
    EXPECT_EQ(application->quits, 1);
    Calls const before = logic.calls;
    FEN::KeyEventData key;
    key.key = FEN::eKeyReturn;
    EXPECT_FALSE(pane->onKey(FEN::eKeyEvent::KeyDown, &key));
    EXPECT_EQ(logic.calls, before);
    EXPECT_EQ(wizard->getPage(), ePageUpdateSuccessful);
    EXPECT_EQ(application->quits, 1);
}

// What happens after UPDATE on a keyboard that needs an update.
struct Road {
    const char* name;
    std::function<void(ScriptedLogic&)> script; // before UPDATE
    std::function<void(ScriptedLogic&)> finish; // when the update runs: the worker's result and what follows
    PageView page;
    Calls calls; // from UPDATE on
    std::string revisions;
};

TEST_F(UpdateWizardTest, EveryRoadFromUpdateEndsOnItsPageWithItsErrorNumber)
{
    auto keep = [](ScriptedLogic&) {};
    // The worker stores the result; the keyboard comes back with the version.
    auto worker = [](int result, std::deque<bool> reconnects, std::string installed) {
        return [=](ScriptedLogic& logic) {
            logic.normalMode = reconnects;
            logic.installed = installed;
            logic.finish(result);
        };
    };
    std::string const noUpdateMode = withDevice(
        "Your %1% failed to boot into firmware update mode and could not be properly updated. To boot your %1% into "
        "firmware update mode, please power-cycle it and click RETRY.");
    std::string const success = withDevice("The firmware of your %1% was successfully updated.");
    auto failed = [](int error) {
        return PageView{ePageUpdateFailed, failureText(error), "-", "QUIT", "error", "error", "neutral", "quit"};
    };
    std::string const before = "0.5.9 0.5.8 SELA-0042";
    Road const roads[] = {
        {"the switch into update mode fails",
         [](ScriptedLogic& l) { l.reset = {false}; },
         keep,
         {ePageNoUpdateMode, noUpdateMode, "RETRY", "QUIT", "error", "error", "neutral", "action"},
         {"reset"},
         before},
        {"the worker is refused",
         [](ScriptedLogic& l) { l.performStarts = false; },
         keep,
         failed(-1),
         {"reset", "perform"},
         before},
        {"no thread for the worker",
         [](ScriptedLogic& l) { l.performThrows = true; },
         keep,
         failed(-1),
         {"reset", "perform"},
         before},
        {"writing fails", keep, worker(-2, {}, "0.5.8"), failed(-2), {"reset", "perform"}, before},
        {"no keyboard in update mode for the worker",
         keep,
         worker(-1, {}, "0.5.8"),
         failed(-1),
         {"reset", "perform"},
         before},
        {"written and back with the newest version",
         keep,
         worker(1, {true}, "0.5.9"),
         {ePageUpdateSuccessful, success, "-", "FINISH", "ok", "ok", "success", "quit"},
         {"reset", "perform", "normal", "info"},
         "0.5.9 0.5.9 SELA-0042"},
        {"written but back with another version",
         keep,
         worker(1, {true}, "0.5.7"),
         failed(1),
         {"reset", "perform", "normal", "info"},
         "0.5.9 0.5.7 SELA-0042"},
    };
    for (Road const& road : roads) {
        SCOPED_TRACE(road.name);
        logic = ScriptedLogic();
        logic.normalMode = {true};
        logic.reset = {true};
        road.script(logic);
        start();
        ASSERT_EQ(wizard->getPage(), ePageUpdateAvailable);
        logic.calls.clear();
        click("FirmwareUpdaterButtonAction");
        if (wizard->getPage() == ePageUpdating) {
            road.finish(logic);
            tick();
        }
        EXPECT_EQ(view(), road.page);
        EXPECT_EQ(logic.calls, road.calls);
        EXPECT_EQ(revisions(), road.revisions);
        EXPECT_FALSE(wheel().isRunning());
        EXPECT_EQ(pane->getTimerTicks(*wizard) > 0, false) << "no more polling";
    }
}

TEST_F(UpdateWizardTest, RetryStartsTheUpdateOnceTheKeyboardIsInUpdateMode)
{
    struct Case {
        const char* name;
        std::deque<bool> updateMode, normalMode, reset;
        eWizardPage page;
        Calls calls;
    };
    Case const cases[] = {
        {"already in update mode", {true}, {}, {}, ePageUpdating, {"updateMode", "perform"}},
        {"found again and switched",
         {false},
         {true},
         {true},
         ePageUpdating,
         {"updateMode", "normal", "reset", "perform"}},
        {"found again, the switch fails",
         {false},
         {true},
         {false},
         ePageNoUpdateMode,
         {"updateMode", "normal", "reset"}},
        {"not found", {false}, {false}, {}, ePageNoUpdateMode, {"updateMode", "normal"}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        logic = ScriptedLogic();
        logic.normalMode = {true};
        logic.reset = {false};
        start();
        click("FirmwareUpdaterButtonAction");
        ASSERT_EQ(wizard->getPage(), ePageNoUpdateMode);
        logic.calls.clear();
        logic.updateMode = c.updateMode;
        logic.normalMode = c.normalMode;
        logic.reset = c.reset;
        click("FirmwareUpdaterButtonAction");
        EXPECT_EQ(wizard->getPage(), c.page);
        EXPECT_EQ(logic.calls, c.calls);
        EXPECT_EQ(wheel().isRunning(), c.page == ePageUpdating);
    }
}

TEST_F(UpdateWizardTest, AKeyboardNotBackAfterTheUpdateGetsASecondChanceFiveSecondsLaterWithoutBlocking)
{
    for (bool const backLater : {true, false}) {
        SCOPED_TRACE(backLater ? "back later" : "never back");
        logic = ScriptedLogic();
        startUpdating();
        logic.calls.clear();
        logic.normalMode = {false, backLater};
        logic.installed = "0.5.9";
        logic.finish(1);
        tick();
        EXPECT_EQ(logic.calls, (Calls{"normal"}));
        EXPECT_EQ(wizard->getPage(), ePageUpdating);

        // The loop goes on: every tick returns at once and the wheel turns.
        uint32_t const ticksBefore = wheel().getTickCount();
        for (int i = 0; i < 10; ++i)
            tick();
        clock.sleepFor(std::chrono::milliseconds(4999));
        tick();
        EXPECT_EQ(logic.calls, (Calls{"normal"})) << "not before 5 s";
        EXPECT_EQ(wheel().getTickCount(), ticksBefore + 11);

        clock.sleepFor(std::chrono::milliseconds(1));
        tick();
        if (backLater) {
            EXPECT_EQ(logic.calls, (Calls{"normal", "normal", "info"}));
            EXPECT_EQ(wizard->getPage(), ePageUpdateSuccessful);
        } else {
            EXPECT_EQ(logic.calls, (Calls{"normal", "normal"}));
            EXPECT_EQ(wizard->getPage(), ePageUpdateFailed);
            EXPECT_EQ(infoText(), failureText(1));
        }
        tick();
        EXPECT_EQ(logic.calls.size(), backLater ? 3u : 2u) << "the ticks end with the page";
    }
}

} // namespace
} // namespace CV::test
