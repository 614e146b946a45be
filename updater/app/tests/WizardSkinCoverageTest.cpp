// The shipped style sheet styles everything the wizard can be selected by:
// the wizard is driven through every page, every keyboard model, every step
// of the wheel and the about box, and every id, style name and attribute
// value its widgets carry on the way must be selected by a rule of the
// sheet that applies to that widget.
#include "ScriptedLogic.h"
#include "WizardFixture.h"

#include "TOV/StyleSheet.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace CV::test {
namespace {

class WizardSkinCoverage : public WizardFixture {
protected:
    void SetUp() override
    {
        for (auto const& [property, rules] : container().getStyleSheetManager().getDefaultSheet().getRules())
            for (auto const& rule : rules)
                selectors.push_back(&rule.first);
    }

    // Writes down what every widget of the tree carries now, and whether a
    // rule selects the widget by it.
    void record() { recordBelow(*wizard); }

    void recordBelow(TOV::Widget const& parent)
    {
        for (auto const& child : parent.getChildren()) {
            recordWidget(*child);
            recordBelow(*child);
        }
    }

    void recordWidget(TOV::Widget const& widget)
    {
        if (!widget.getId().empty())
            note("id " + widget.getId(),
                 selectsBy(widget, [&](TOV::Selector const& s) { return s.m_id == widget.getIdSymbol(); }));
        if (!widget.getStyle().empty())
            note("style " + widget.getStyle(),
                 selectsBy(widget, [&](TOV::Selector const& s) { return s.m_style == widget.getStyleSymbol(); }));
        for (auto const& [name, value] : widget.getAttributes())
            note("attribute " + widget.getId() + "[" + name.string() + "=" + value + "]",
                 selectsBy(widget, [&, name = name](TOV::Selector const& s) {
                     return s.m_attributes.m_attributes.count(name) > 0;
                 }));
    }

    // A selector of the sheet that names the thing and applies to the widget.
    template <class Names> bool selectsBy(TOV::Widget const& widget, Names names) const
    {
        for (TOV::Selector const* selector : selectors)
            if (names(*selector) && selector->doesWidgetApply(widget, true))
                return true;
        return false;
    }

    void note(std::string const& what, bool selected) { covered[what] = covered[what] || selected; }

    // The wizard with the title, started on the scripted logic.
    void start(std::string const& title = kTitle)
    {
        build(title);
        logic.runIn(*wizard);
        update();
        record();
    }

    void step(std::function<void()> const& action)
    {
        action();
        update();
        record();
    }

    ScriptedLogic logic;
    std::vector<TOV::Selector const*> selectors;
    std::map<std::string, bool> covered;
};

TEST_F(WizardSkinCoverage, EveryIdStyleNameAndAttributeValueIsSelectedByARule)
{
    // No keyboard, the about box, a long title.
    start(std::string(40, 'T'));
    step([this] { wizard->showAbout(); });

    // Each model: found, updated, polled through every step of the wheel.
    for (uint16_t const model :
         {USX2::Ids::kRovaMK2ProductId, USX2::Ids::kSelaMK2ProductId, USX2::Ids::kTumoMK2ProductId}) {
        logic = ScriptedLogic();
        logic.normalMode = {true};
        logic.reset = {true};
        logic.info.productId = model;
        start();
        step([this] { wizard->onAction(); });
        for (int tick = 0; tick < 24; ++tick)
            step([this] { pane->executeTimers(); });
        step([this] {
            logic.normalMode = {true};
            logic.installed = logic.newest;
            logic.finish(1);
            pane->executeTimers();
        });
    }

    // No update needed; update mode refused; writing failed.
    logic = ScriptedLogic();
    logic.normalMode = {true};
    logic.updateNeeded = false;
    start();
    logic = ScriptedLogic();
    logic.normalMode = {true};
    start();
    step([this] { wizard->onAction(); });
    logic = ScriptedLogic();
    logic.normalMode = {true};
    logic.reset = {true};
    start();
    step([this] {
        wizard->onAction();
        logic.finish(-2);
        pane->executeTimers();
    });

    // The drive reached what it is meant to reach.
    for (const char* expected : {"attribute FirmwareUpdaterSpinningProgressWheel[step=S11]",
                                 "attribute FirmwareUpdaterSpinningProgressWheel[step=S0]",
                                 "attribute FirmwareUpdaterFirmwarePanelDeviceImage[product=VarantoMK2]",
                                 "attribute FirmwareUpdaterFirmwarePanelDeviceImage[product=RovaM2]",
                                 "attribute FirmwareUpdaterFirmwarePanelDeviceImage[product=SelaM2]",
                                 "attribute FirmwareUpdaterFirmwarePanelDeviceImage[product=TumoM2]",
                                 "attribute Value[state=success]",
                                 "attribute Value[state=fail]",
                                 "attribute Value[state=neutral]",
                                 "attribute FirmwareUpdaterInfoPanel[background=info]",
                                 "attribute FirmwareUpdaterInfoPanel[background=ok]",
                                 "attribute FirmwareUpdaterInfoPanel[background=error]",
                                 "attribute FirmwareUpdaterInfoPanelIcon[icon=ok]",
                                 "attribute FirmwareUpdaterInfoPanelIcon[icon=error]",
                                 "attribute FirmwareUpdaterButtonAction[hasFocus=true]",
                                 "attribute FirmwareUpdaterButtonAction[hasFocus=false]",
                                 "attribute FirmwareUpdaterButtonQuit[hasFocus=true]",
                                 "attribute FirmwareUpdaterButtonQuit[hasFocus=false]",
                                 "attribute FirmwareUpdaterAboutTitle[titleLength=large]",
                                 "id FirmwareUpdaterOverlay",
                                 "style FirmwareUpdaterInstalledFirmwareRevisionValue",
                                 "style Panel"})
        EXPECT_EQ(covered.count(expected), 1u) << expected;

    std::vector<std::string> unselected;
    for (auto const& [what, selected] : covered)
        if (!selected)
            unselected.push_back(what);
    EXPECT_EQ(unselected, std::vector<std::string>());
    EXPECT_GT(covered.size(), 60u);
    EXPECT_EQ(log, Lines());
}

} // namespace
} // namespace CV::test
