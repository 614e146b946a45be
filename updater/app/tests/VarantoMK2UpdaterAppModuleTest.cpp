// The module's start and shut-down, each case in a fresh child process: the
// libraries in order, stopping at the first failure, and what a failed
// start leaves for the shut-down.
#include "updater/app/VarantoMK2UpdaterAppModule.h"

#include "BAS/Message.h"
#include "FEN/ApplicationInstanceSingleton.h"
#include "VarantoTest/TemporaryFolder.h"
#include "updater/app/FirmwareUpdaterConfig.h"
#include "usx2/usb/USBDeviceInfo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace CV::test {
namespace {

using Library = VarantoMK2UpdaterAppModule::Library;

void say(std::string const& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void showBoxesOnStandardError()
{
    BAS::Message::s_showMessageFunctor = [](BAS::CharSequence<char> const& text, BAS::Message::eType,
                                            BAS::Message::eButton, BAS::Message::eIcon, const char*) {
        say("[box] " + text.str() + "|");
        return BAS::Message::eButtonOK;
    };
}

Library library(std::string name, bool starts)
{
    return Library{"", [name, starts] {
                       say("start " + name);
                       return starts;
                   },
                   [name] { say("stop " + name); }};
}

// The standard libraries, each start and stop said on standard error.
std::vector<Library> tracedStandardLibraries()
{
    std::vector<Library> libraries = VarantoMK2UpdaterAppModule::standardLibraries();
    for (Library& entry : libraries) {
        std::string const name = entry.name;
        entry.init = [name, init = entry.init] {
            say("start " + name);
            return init();
        };
        entry.deInit = [name, deInit = entry.deInit] {
            say("stop " + name);
            deInit();
        };
    }
    return libraries;
}

class VarantoMK2UpdaterAppModuleDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void startWithAFailingSecondLibrary()
{
    showBoxesOnStandardError();
    std::vector<Library> libraries{library("first", true), library("second", false), library("third", true)};
    libraries[1].name = "second library";
    VarantoMK2UpdaterAppModule module(std::move(libraries));
    module.init();
    say("went on");
}

// The updater's lock is held elsewhere: the application's start fails.
void startAsASecondCopyAndShutDown(std::string const& runtime)
{
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("VARANTO_USB_SIMULATION", "/dev/null", 1);
    std::string const lock =
        FEN::ApplicationInstanceSingleton::lockFilePath("VarantoMK2Updater-5C1E7A93-2B4D-4F60-9A8E-13D7C2B6F048");
    int const first = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (first < 0 || ::flock(first, LOCK_EX | LOCK_NB) != 0)
        std::exit(3);
    VarantoMK2UpdaterAppModule module(tracedStandardLibraries());
    say(module.init() ? "started" : "not started");
    FirmwareUpdaterConfig const* config = module.getConfig();
    say(config->m_strWindowTitle + " | " + config->m_strVersion);
    USX2::USBDeviceInfo info;
    std::string installed = "-", newest;
    bool available = true;
    config->m_fnGetDeviceInfo(info, installed, newest, available);
    say("newest " + newest + (available ? " available" : " not available"));
    say(config->m_fnIsUpdateRunning() ? "running" : "idle");
    module.deInit(false);
    say(module.getConfig() == nullptr && module.getUpgradeLogic() == nullptr ? "all gone" : "left over");
    std::exit(0);
}

TEST_F(VarantoMK2UpdaterAppModuleDeathTest, AFailingLibraryStopsTheStartUndoesTheOthersAndEndsWithItsMessage)
{
    EXPECT_EXIT(startWithAFailingSecondLibrary(), testing::ExitedWithCode(1),
        "^start first\nstart second\nstop first\n\\[box\\] Error updater/app/VarantoMK2UpdaterAppModule:[0-9]+\n\n"
        "The second library could not be started\\.\\|\n");
}

// A second copy: the application's start fails, the configuration and the
// logic exist until the shut-down, which stops the libraries in reverse.
TEST_F(VarantoMK2UpdaterAppModuleDeathTest, AFailedApplicationStartLeavesAConfigurationBoundToTheLogicForTheShutDown)
{
    TemporaryFolder runtime{"updater-module-runtime"};
    EXPECT_EXIT(startAsASecondCopyAndShutDown(runtime.string()), testing::ExitedWithCode(0),
        "^start core library\nstart application framework\nstart widget library\nnot started\n"
        "Varanto MK2 Firmware Updater \\| 1\\.4\\.0 \\(R205\\)\nnewest 0\\.5\\.9 not available\nidle\n"
        "stop widget library\nstop application framework\nstop core library\nall gone\n");
}

} // namespace
} // namespace CV::test
