#pragma once
// The update wizard as the application builds it, root of a 627 x 335 pane
// styled by the shipped skin, with helpers that find its widgets by id and read what they show, and an
// application object that records quit requests.
#include "SkinFixture.h"
#include "fen/tests/FrameworkTestSupport.h"

#include "updater/app/wizard/UpdateWizardMainWidget.h"

#include "FEN/AppModule.h"
#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "TOV/Button.h"
#include "TOV/Label.h"
#include "TOV/MultilineLabel.h"
#include "TOV/Pane.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CV::test {

inline const std::string kDeviceName = "VARANTO Q-SERIES MK2 Keyboard";
inline const std::string kProductName = "VarantoMK2";
inline const std::string kAppName = "Varanto MK2 Firmware Updater";
inline const std::string kTitle = "VARANTO MK2 FIRMWARE UPDATER";
inline const std::string kRightsNotice = "(c) 2026 Calvarine. All rights reserved.";
inline const std::string kVersion = "1.4.0 (R205)";
inline const std::vector<std::string> kContributors = {"Ada Brenner, Ilka Sommer", "Jonas Veit, Marta Quell",
                                                       "Nils Aaberg, Oona Pietilä", "Rosa Imhof, Teo Varga", ""};
constexpr BAS::Point kWindowSize{627, 335};

inline std::shared_ptr<UpdateWizardMainWidget> makeWizard(std::string const& title = kTitle)
{
    return std::make_shared<UpdateWizardMainWidget>(
        WizardTexts{kDeviceName, kProductName, kAppName, title, kRightsNotice, kVersion, kContributors[0],
                    kContributors[1], kContributors[2], kContributors[3], kContributors[4]});
}

// The first widget with the id below root, depth first; with a style name
// given, the first with both.
inline TOV::Widget* findWidget(TOV::Widget const& root, std::string const& id, std::string const& style = "")
{
    for (auto const& child : root.getChildren()) {
        if (child->getId() == id && (style.empty() || child->getStyle() == style))
            return child.get();
        if (TOV::Widget* found = findWidget(*child, id, style))
            return found;
    }
    return nullptr;
}

// The text a label, button or multi-line label shows.
inline std::string textOf(TOV::Widget const* widget)
{
    if (auto const* label = dynamic_cast<TOV::Label const*>(widget))
        return label->getText();
    if (auto const* button = dynamic_cast<TOV::Button const*>(widget))
        return button->getText();
    if (auto const* lines = dynamic_cast<TOV::MultilineLabel const*>(widget))
        return lines->getText();
    return "<no text>";
}

// The attribute's value; "<none>" when the widget does not carry it.
inline std::string attributeOf(TOV::Widget const* widget, const char* name)
{
    auto const it = widget->getAttributes().find(cv::symbol(std::string(name)));
    return it == widget->getAttributes().end() ? std::string("<none>") : it->second;
}

// An application object that only counts quit requests.
class QuitRecorder : public FEN::Application {
public:
    bool init() override { return true; }
    void deInit(bool) override { }
    void postQuit() override { ++quits; }
    int quits = 0;
};

class WizardFixture : public SkinFixture {
protected:
    WizardFixture() { loadShippedSheet(); }
    ~WizardFixture() override
    {
        pane.reset();
        wizard.reset();
        if (m_module && application)
            m_module->destroyApplication();
    }

    // The wizard as the root of a window-sized pane, aligned once.
    UpdateWizardMainWidget& build(std::string const& title = kTitle, float scale = 1.0f)
    {
        wizard = makeWizard(title);
        pane = std::make_unique<TOV::Pane>();
        pane->setBackingScaleFactor(scale);
        pane->setSize(kWindowSize);
        pane->setRoot(wizard, "FirmwareUpdaterMainWidget");
        update();
        return *wizard;
    }

    void update()
    {
        BAS::Region invalid;
        pane->update(invalid);
        invalid.clear();
    }

    // One tick of the window's timer: the widget timers, then the layout.
    void tick()
    {
        pane->executeTimers();
        update();
    }

    // An application that records quit requests, attached to the test module.
    void attachQuitRecorder()
    {
        m_module = &FEN::TEST::TestModule::instance();
        application = new QuitRecorder;
        ASSERT_TRUE(m_module->attachApplication(application));
    }

    TOV::Widget& widget(std::string const& id, std::string const& style = "") const
    {
        TOV::Widget* found = findWidget(*wizard, id, style);
        if (!found)
            throw std::runtime_error("no widget " + id + " " + style);
        return *found;
    }
    TOV::Button& button(std::string const& id) const { return dynamic_cast<TOV::Button&>(widget(id)); }
    TOV::Widget& value(std::string const& style) const { return widget("Value", style); }
    std::string infoText() const { return textOf(&widget("FirmwareUpdaterInfoPanelLabel")); }

    void click(std::string const& id) const
    {
        TOV::ButtonImpl::tSignalData const data{};
        button(id).m_sigClick(&data);
    }

    // A left click at the middle of the widget, through the pane.
    void clickInWindow(TOV::Widget const& target)
    {
        BAS::Rect const r = target.getRect();
        ASSERT_LT(r.left, r.right);
        for (int const state : {FEN::eMouseButtonState::Down, FEN::eMouseButtonState::Up}) {
            FEN::MouseButtonEventData data;
            data.position = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            data.button = FEN::eMouseButton::Left;
            data.state = state;
            pane->onEvent(FEN::eMouseEvent::MouseButton, &data);
        }
        update();
    }

    std::shared_ptr<UpdateWizardMainWidget> wizard;
    std::unique_ptr<TOV::Pane> pane;
    QuitRecorder* application = nullptr;

private:
    FEN::AppModule* m_module = nullptr;
};

} // namespace CV::test
