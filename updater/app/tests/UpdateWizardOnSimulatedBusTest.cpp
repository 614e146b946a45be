// The update wizard with the real upgrade logic, in process, on a simulated
// bus described as the simulation files describe keyboards: the demo
// keyboard, and the demo keyboard with one fault injected. The keyboard's
// waits and the wizard's reconnect pause run in virtual time; the worker is
// a real thread, polled tick by tick.
#include "WizardFixture.h"

#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"
#include "usx2/tests/SimulatedBusFixture.h"

#include <boost/bind/bind.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace CV::test {
namespace {

using namespace std::chrono_literals;

// The demo keyboard of usx2/sim/demo.sim: a Sela keyboard one version
// behind the newest firmware the updater carries.
const std::string kDemoKeyboard = R"([device]
model = sela
serial = DEMO-SELA-0001
bcdDevice = 0x0058
updatedBcdDevice = 0x0059
dfuAttributes = 0x0D
dfuTransferSize = 4096
dfuMode.bcdDevice = 0x0100
dfuMode.product = Varanto Sela MK2 Loader
detachDelay = 1s
returnDelay = 1s
busyTime = 5ms
busyPollTimeout = 5
manifestTime = 2s
)";

// A file of simulated keyboards that removes itself.
class SimulationFile {
public:
    explicit SimulationFile(std::string const& text)
        : m_path(testing::TempDir() + "wizard-" + std::to_string(getpid()) + ".sim")
    {
        std::ofstream(m_path) << text;
    }
    ~SimulationFile() { std::remove(m_path.c_str()); }
    std::string const& path() const { return m_path; }

private:
    std::string m_path;
};

class UpdateWizardOnSimulatedBus : public WizardFixture {
protected:
    ~UpdateWizardOnSimulatedBus() override
    {
        if (logic) {
            EXPECT_TRUE(logic->waitForWorker(boost::chrono::milliseconds(60000)));
        }
        pane.reset();
        wizard.reset();
        logic.reset();
    }

    // The wizard on a bus with the demo keyboard and the extra lines.
    void startOn(std::string const& extraLines)
    {
        SimulationFile const file(kDemoKeyboard + extraLines);
        std::string error;
        auto bus = USX2::SimulatedBus::fromFile(file.path(), error, clock);
        ASSERT_TRUE(bus) << error;
        m_host.replace(bus);
        // No final pause on the worker: the wizard's own pause is the one under test.
        logic = std::make_unique<VarantoMK2UpdaterUpgradeLogic>(*clock, boost::chrono::milliseconds(0));
        build();
        wizard->setPauseClock(*clock);
        VarantoMK2UpdaterUpgradeLogic* const l = logic.get();
        using namespace boost::placeholders;
        wizard->run(boost::bind(&VarantoMK2UpdaterUpgradeLogic::connectInNormalMode, l),
                    boost::bind(&VarantoMK2UpdaterUpgradeLogic::resetIntoUpdateMode, l),
                    boost::bind(&VarantoMK2UpdaterUpgradeLogic::connectInUpdateMode, l),
                    boost::bind(&VarantoMK2UpdaterUpgradeLogic::performUpdate, l, _1),
                    boost::bind(&VarantoMK2UpdaterUpgradeLogic::getDeviceInfo, l, _1, _2, _3, _4));
        update();
    }

    // Ticks until the page Updating ends: while the worker writes, real
    // time passes between ticks; once it stored its result, half a second
    // of virtual time passes per tick, as the keyboard comes back.
    void tickUntilTheUpdateEnds()
    {
        auto const deadline = std::chrono::steady_clock::now() + 60s;
        while (wizard->getPage() == ePageUpdating && std::chrono::steady_clock::now() < deadline) {
            if (wizard->getUpdateResult() == 0)
                std::this_thread::sleep_for(1ms);
            else
                clock->sleepFor(500ms);
            tick();
        }
    }

    std::shared_ptr<USX2::VirtualSleeper> clock = std::make_shared<USX2::VirtualSleeper>();
    std::unique_ptr<VarantoMK2UpdaterUpgradeLogic> logic;

private:
    USX2::ScopedUSBHost m_host{USX2::SimulatedBus::create()};
};

TEST_F(UpdateWizardOnSimulatedBus, EachKeyboardEndsOnItsPage)
{
    struct Case {
        const char* name;
        std::string faults;
        eWizardPage page;
        int error;
        std::string installedAfter;
    };
    Case const cases[] = {
        {"no fault", "", ePageUpdateSuccessful, 1, "0.5.9"},
        {"block 10 stalls", "stallAtBlock = 10\n", ePageUpdateFailed, -2, "0.5.8"},
        {"never back after the update", "noReturnAtSwitch = 2\n", ePageUpdateFailed, 1, "0.5.8"},
        {"back only after the second look", "returnDelay = 4s\n", ePageUpdateSuccessful, 1, "0.5.9"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        startOn(c.faults);
        ASSERT_EQ(wizard->getPage(), ePageUpdateAvailable);
        EXPECT_EQ(textOf(&widget("Value", "FirmwareUpdaterSerialNumberValue")), "DEMO-SELA-0001");
        EXPECT_EQ(textOf(&widget("Value", "FirmwareUpdaterInstalledFirmwareRevisionValue")), "0.5.8");
        EXPECT_EQ(textOf(&widget("Value", "FirmwareUpdaterNewestFirmwareRevisionValue")), "0.5.9");
        EXPECT_EQ(attributeOf(&widget("FirmwareUpdaterFirmwarePanelDeviceImage"), "product"), "SelaM2");

        click("FirmwareUpdaterButtonAction");
        ASSERT_EQ(wizard->getPage(), ePageUpdating);
        tickUntilTheUpdateEnds();
        EXPECT_EQ(wizard->getPage(), c.page);
        EXPECT_EQ(wizard->getUpdateResult(), c.error);
        if (c.page == ePageUpdateFailed) {
            EXPECT_NE(infoText().find("(error " + std::to_string(c.error) + ")"), std::string::npos) << infoText();
        }
        EXPECT_EQ(textOf(&widget("Value", "FirmwareUpdaterInstalledFirmwareRevisionValue")), c.installedAfter);
        ASSERT_TRUE(logic->waitForWorker(boost::chrono::milliseconds(60000)));
    }
}

} // namespace
} // namespace CV::test
