// The staged updater as a user meets it, headless in a child process on a
// simulated bus: its start, its single instance and its quit.
#include "UpdaterProcess.h"

#include "BAS/FileName.h"
#include "FEN/ApplicationInstanceSingleton.h"
#include "VarantoTest/ScopedEnvironmentVariable.h"
#include "VarantoTest/TemporaryFolder.h"
#include "updater/app/ApplicationTexts.h"

#include <boost/filesystem/path.hpp>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace CV::test {
namespace {

using Seconds = std::chrono::seconds;

constexpr Seconds kStartLimit{60};
constexpr Seconds kExitLimit{60};
// The update itself: the switch into update mode, the write, the way back
// and the worker's final pause take about ten seconds.
constexpr Seconds kUpdateLimit{180};

// The wizard's pages.
enum Page { eNoDeviceConnected = 0, eUpdateAvailable = 2, eUpdating = 3, eUpdateSuccessful = 5 };

constexpr unsigned kAppActivated = 10000;
constexpr unsigned kOpenFile = 10003;

constexpr const char* kActionButton = "FirmwareUpdaterButtonAction";
constexpr const char* kQuitButton = "FirmwareUpdaterButtonQuit";
constexpr const char* kInfoLabel = "FirmwareUpdaterInfoPanelLabel";
constexpr const char* kInstalledRevision = "FirmwareUpdaterInstalledFirmwareRevisionValue";
constexpr const char* kNewestRevision = "FirmwareUpdaterNewestFirmwareRevisionValue";
constexpr const char* kSerialNumber = "FirmwareUpdaterSerialNumberValue";

constexpr const char* kQuitQuestion = "An update is currently in progress.";
constexpr const char* kWheel = "FirmwareUpdaterSpinningProgressWheel";
constexpr const char* kWaiting = "waiting for the firmware update to end";
constexpr const char* kKeyboardUpdated = "the firmware update ended: the keyboard took the new firmware";

// The step the spinning wheel shows in a state ("" without one).
std::string wheelStep(std::string const& state)
{
    std::string::size_type const wheel = state.find(std::string("\"id\":\"") + kWheel + "\"");
    std::string const key = "\"step\":\"";
    std::string::size_type const step = wheel == std::string::npos ? wheel : state.find(key, wheel);
    if (step == std::string::npos)
        return "";
    std::string::size_type const begin = step + key.size();
    return state.substr(begin, state.find('"', begin) - begin);
}

// A Sela keyboard one version behind, plugged in a second after the start;
// blockMilliseconds: how long each block of the firmware keeps it busy (the
// wait it announces).
std::string selaKeyboard(int blockMilliseconds = 5)
{
    return std::string("[device]\n"
                       "model = sela\n"
                       "serial = TEST-SELA-0042\n"
                       "bcdDevice = 0x0058\n"
                       "updatedBcdDevice = 0x0059\n"
                       "dfuAttributes = 0x0D\n"
                       "dfuTransferSize = 4096\n"
                       "dfuMode.bcdDevice = 0x0100\n"
                       "detachDelay = 200ms\n"
                       "returnDelay = 200ms\n"
                       "manifestTime = 200ms\n"
                       "arrivesAfter = 1s\n"
                       "busyTime = ") +
        std::to_string(blockMilliseconds) + "ms\nbusyPollTimeout = " + std::to_string(blockMilliseconds) + "\n";
}

class UpdaterProcessTest : public testing::Test {
protected:
    // A bus with the keyboards described (none by default).
    std::string simulation(std::string const& description = "")
    {
        std::string const path = folder.at("bus.sim");
        std::ofstream(path) << description;
        return path;
    }

    static bool hasRoot(std::string const& state)
    {
        return state.find("\"id\":\"FirmwareUpdaterMainWidget\"") != std::string::npos;
    }

    // RESCAN until the page that offers the update.
    static bool rescanUntilAKeyboardIsFound(UpdaterProcess& updater)
    {
        return updater.waitForState(
            [&updater](std::string const& state) {
                if (UpdaterProcess::pageOf(state) == eUpdateAvailable)
                    return true;
                updater.command(std::string("click ") + kActionButton);
                return false;
            },
            kStartLimit);
    }

    // From the first page through RESCAN (until the keyboard is there) and
    // UPDATE to the page of the running update.
    static void startUpdate(UpdaterProcess& updater)
    {
        ASSERT_TRUE(updater.started());
        ASSERT_TRUE(updater.waitForPage(eNoDeviceConnected, kStartLimit)) << updater.standardError();
        ASSERT_TRUE(rescanUntilAKeyboardIsFound(updater)) << updater.state() << updater.standardError();
        ASSERT_TRUE(updater.command(std::string("click ") + kActionButton));
        ASSERT_TRUE(updater.waitForPage(eUpdating, kStartLimit)) << updater.state() << updater.standardError();
    }

    TemporaryFolder folder{"updater-process-test"};
    std::string const runtime = folder.folder("runtime");
};

TEST_F(UpdaterProcessTest, ASecondCopySaysTheUpdaterIsAlreadyRunningWhileTheFirstRunsUntilItIsAskedToQuit)
{
    UpdaterProcess first(simulation(), runtime);
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(first.waitForState(hasRoot, kStartLimit)) << first.standardError();

    UpdaterProcess second(simulation(), runtime);
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.waitForExit(kExitLimit), 0);
    EXPECT_EQ(second.standardError(), "Varanto MK2 Firmware Updater is already running.\n");
    EXPECT_TRUE(first.running());

    ASSERT_TRUE(first.command("quit"));
    EXPECT_EQ(first.waitForExit(kExitLimit), 0) << first.standardError();
}

// A copy that holds the updater's lock and takes no request: what may be
// at its activation socket.
enum class Listener { None, SocketLeftBehind, FullQueue };

void PrintTo(Listener listener, std::ostream* out)
{
    *out << (listener == Listener::None                   ? "nothing at the socket"
                 : listener == Listener::SocketLeftBehind ? "a socket no one reads any more"
                                                          : "a socket whose queue is full");
}

// Holds the single-instance lock of the updater whose runtime folder is
// given, and makes its socket as asked.
class SilentCopy {
public:
    SilentCopy(std::string const& runtime, Listener listener)
    {
        ScopedEnvironmentVariable const folder("XDG_RUNTIME_DIR", runtime.c_str());
        m_lock = ::open(FEN::ApplicationInstanceSingleton::lockFilePath(ApplicationTexts::kInstanceId).c_str(),
                        O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        m_locked = m_lock >= 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) == 0;
        if (listener != Listener::None)
            listen(FEN::ApplicationInstanceSingleton::channelPath(ApplicationTexts::kInstanceId),
                   listener == Listener::FullQueue);
    }
    ~SilentCopy()
    {
        if (m_socket >= 0)
            ::close(m_socket);
        if (m_lock >= 0)
            ::close(m_lock);
    }
    SilentCopy(SilentCopy const&) = delete;
    SilentCopy& operator=(SilentCopy const&) = delete;

    bool ready() const { return m_locked && m_ready; }

private:
    void listen(std::string const& path, bool keepOpen)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        m_socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        m_ready = m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (m_ready && keepOpen)
            m_ready = fill(address);
        if (!keepOpen && m_socket >= 0) {
            ::close(m_socket);
            m_socket = -1;
        }
    }

    // Requests until the socket takes no more.
    bool fill(sockaddr_un const& address)
    {
        int const sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        bool full = false;
        for (int sent = 0; sender >= 0 && !full && sent < 100000; ++sent)
            full = ::sendto(sender, "activate", 8, MSG_NOSIGNAL, reinterpret_cast<sockaddr const*>(&address),
                            sizeof address) < 0 &&
                errno == EAGAIN;
        if (sender >= 0)
            ::close(sender);
        return full;
    }

    int m_lock = -1;
    bool m_locked = false;
    int m_socket = -1;
    bool m_ready = true;
};

class UpdaterProcessSilentCopyTest : public UpdaterProcessTest, public testing::WithParamInterface<Listener> { };

// The second copy says that the updater runs and that it did not answer,
// once its wait for an answer is over, and ends as after a delivered
// request.
TEST_P(UpdaterProcessSilentCopyTest, ASecondCopySaysThatTheRunningCopyDidNotAnswer)
{
    SilentCopy const silent(runtime, GetParam());
    ASSERT_TRUE(silent.ready());

    UpdaterProcess second(simulation(), runtime);
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.waitForExit(kExitLimit), 0);
    EXPECT_EQ(second.standardError(),
              "Varanto MK2 Firmware Updater is already running.\n"
              "Varanto MK2 Firmware Updater is running but did not answer; its window was not brought forward.\n");
}

INSTANTIATE_TEST_SUITE_P(Listeners, UpdaterProcessSilentCopyTest,
                         testing::Values(Listener::None, Listener::SocketLeftBehind, Listener::FullQueue));

TEST_F(UpdaterProcessTest, StartsOnTheFirstPageWhenNoKeyboardIsConnected)
{
    UpdaterProcess updater(simulation(), runtime);
    ASSERT_TRUE(updater.started());
    ASSERT_TRUE(updater.waitForPage(eNoDeviceConnected, kStartLimit)) << updater.standardError();
    std::string const state = updater.state();
    EXPECT_EQ(UpdaterProcess::textOf(state, kInfoLabel),
              "Please connect your VARANTO Q-SERIES MK2 Keyboard and click RESCAN.");
    EXPECT_EQ(UpdaterProcess::textOf(state, kActionButton), "RESCAN");
    EXPECT_EQ(UpdaterProcess::textOf(state, kInstalledRevision), "-");
    EXPECT_EQ(UpdaterProcess::textOf(state, kSerialNumber), "-");
    EXPECT_EQ(UpdaterProcess::textOf(state, kNewestRevision), "0.5.9");

    ASSERT_TRUE(updater.command("quit"));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
    EXPECT_EQ(updater.standardError().find(kQuitQuestion), std::string::npos) << "no question without an update";
}

TEST_F(UpdaterProcessTest, RescanFindsTheKeyboardAndUpdateBringsItToTheNewestVersion)
{
    UpdaterProcess updater(simulation(selaKeyboard()), runtime);
    startUpdate(updater);
    ASSERT_TRUE(updater.waitForPage(eUpdateSuccessful, kUpdateLimit)) << updater.state() << updater.standardError();
    std::string const state = updater.state();
    EXPECT_EQ(UpdaterProcess::textOf(state, kInfoLabel),
              "The firmware of your VARANTO Q-SERIES MK2 Keyboard was successfully updated.");
    EXPECT_EQ(UpdaterProcess::textOf(state, kInstalledRevision), "0.5.9");
    EXPECT_EQ(UpdaterProcess::textOf(state, kSerialNumber), "TEST-SELA-0042");
    EXPECT_EQ(UpdaterProcess::textOf(state, kQuitButton), "FINISH");

    ASSERT_TRUE(updater.command(std::string("click ") + kQuitButton));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
}

TEST_F(UpdaterProcessTest, AQuitDuringTheUpdateAnsweredNoKeepsTheUpdateGoing)
{
    UpdaterProcess updater(simulation(selaKeyboard(50)), runtime);
    startUpdate(updater);
    ASSERT_TRUE(updater.command("answer No"));
    ASSERT_TRUE(updater.command("quit"));
    ASSERT_TRUE(updater.waitForState(
        [&updater](std::string const&) { return updater.standardError().find(kQuitQuestion) != std::string::npos; },
        kStartLimit));
    EXPECT_TRUE(updater.running());
    ASSERT_TRUE(updater.waitForPage(eUpdateSuccessful, kUpdateLimit)) << updater.state() << updater.standardError();
    EXPECT_EQ(UpdaterProcess::textOf(updater.state(), kInstalledRevision), "0.5.9");
    ASSERT_TRUE(updater.command("quit"));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
}

// The worker is still writing when the user insists: the process waits for
// it to end before the windows and the logic go.
TEST_F(UpdaterProcessTest, AQuitDuringTheUpdateAnsweredYesEndsTheProcessOnlyAfterTheWorker)
{
    UpdaterProcess updater(simulation(selaKeyboard(50)), runtime);
    startUpdate(updater);
    ASSERT_TRUE(updater.command("answer Yes"));
    ASSERT_TRUE(updater.command("quit"));
    EXPECT_EQ(updater.waitForExit(kUpdateLimit), 0) << updater.standardError();
    std::string const errors = updater.standardError();
    std::string::size_type const question = errors.find(kQuitQuestion);
    std::string::size_type const waiting = errors.find("waiting for the firmware update to end");
    std::string::size_type const ended = errors.find("the firmware update ended");
    ASSERT_NE(question, std::string::npos) << errors;
    ASSERT_NE(waiting, std::string::npos) << errors;
    ASSERT_NE(ended, std::string::npos) << errors;
    EXPECT_LT(question, waiting);
    EXPECT_LT(waiting, ended);
    EXPECT_EQ(errors.find("did not end in time"), std::string::npos) << errors;
}

// While it waits for the worker after a Yes, the main loop goes on: the
// wizard's ticks turn the wheel and the state keeps being published.
TEST_F(UpdaterProcessTest, WhileAQuitWaitsForTheWorkerTheWheelKeepsTurning)
{
    UpdaterProcess updater(simulation(selaKeyboard(50)), runtime);
    startUpdate(updater);
    ASSERT_TRUE(updater.command("answer Yes"));
    ASSERT_TRUE(updater.command("quit"));
    ASSERT_TRUE(updater.waitForState(
        [&updater](std::string const&) { return updater.standardError().find(kWaiting) != std::string::npos; },
        kStartLimit))
        << updater.standardError();
    std::string const stepWhenTheWaitBegan = wheelStep(updater.state());
    ASSERT_NE(stepWhenTheWaitBegan, "") << updater.state();
    EXPECT_TRUE(updater.waitForState(
        [&](std::string const& state) { return updater.running() && wheelStep(state) != stepWhenTheWaitBegan; },
        kUpdateLimit))
        << updater.standardError();
    EXPECT_EQ(updater.waitForExit(kUpdateLimit), 0) << updater.standardError();
    EXPECT_NE(updater.standardError().find(kKeyboardUpdated), std::string::npos) << updater.standardError();
}

// --demo puts the bundle's demo keyboard on the bus, in place of the bus the
// simulation variable names (an empty one here).
TEST_F(UpdaterProcessTest, DemoFindsTheBundlesDemoKeyboardWhateverTheSimulationVariableSays)
{
    UpdaterProcess updater(simulation(), runtime, {"--demo"});
    ASSERT_TRUE(updater.started());
    ASSERT_TRUE(updater.waitForState(hasRoot, kStartLimit)) << updater.standardError();
    ASSERT_TRUE(rescanUntilAKeyboardIsFound(updater)) << updater.state() << updater.standardError();
    EXPECT_EQ(UpdaterProcess::textOf(updater.state(), kSerialNumber), "DEMO-SELA-0001");

    ASSERT_TRUE(updater.command("quit"));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
}

// A document named on the command line (a launcher's file argument)
// reaches the application object once, during the launch, which then
// activates the application (its window takes the focus).
TEST_F(UpdaterProcessTest, AFileArgumentReachesTheApplicationOnceAsOpenFile)
{
    std::ofstream(folder.at("notes.txt")) << "notes";
    UpdaterProcess updater(simulation(), runtime, {folder.at("notes.txt")});
    ASSERT_TRUE(updater.started());
    // The launch ends before the first state goes out.
    ASSERT_TRUE(updater.waitForState(hasRoot, kStartLimit)) << updater.standardError();
    EXPECT_EQ(UpdaterProcess::applicationEventsOf(updater.state()).at(0), kOpenFile);
    EXPECT_TRUE(updater.waitForState(
        [](std::string const& state) {
            return UpdaterProcess::applicationEventsOf(state) == std::vector<unsigned>{kOpenFile, kAppActivated};
        },
        kStartLimit))
        << updater.state();

    ASSERT_TRUE(updater.command("quit"));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
}

// SIGTERM, SIGINT and SIGHUP are the platform's request to terminate: the
// updater asks nothing, and a running write is let end first.
class UpdaterProcessSignalTest : public UpdaterProcessTest, public testing::WithParamInterface<int> { };

TEST_P(UpdaterProcessSignalTest, DuringTheWriteEndsTheProcessOnlyOnceTheKeyboardHasTheWholeImage)
{
    UpdaterProcess updater(simulation(selaKeyboard(50)), runtime);
    startUpdate(updater);
    ASSERT_TRUE(updater.signal(GetParam()));
    ASSERT_TRUE(updater.waitForState(
        [&updater](std::string const&) { return updater.standardError().find(kWaiting) != std::string::npos; },
        kStartLimit))
        << updater.standardError();
    ASSERT_TRUE(updater.signal(GetParam())); // changes nothing
    EXPECT_EQ(updater.waitForExit(kUpdateLimit), 0) << updater.standardError();
    std::string const errors = updater.standardError();
    EXPECT_EQ(errors.find(kQuitQuestion), std::string::npos) << errors;
    std::string::size_type const waiting = errors.find(kWaiting);
    std::string::size_type const ended = errors.find(kKeyboardUpdated);
    ASSERT_NE(ended, std::string::npos) << errors;
    EXPECT_LT(waiting, ended);
}

TEST_P(UpdaterProcessSignalTest, BeforeAnUpdateEndsTheProcessAtOnce)
{
    UpdaterProcess updater(simulation(), runtime);
    ASSERT_TRUE(updater.started());
    ASSERT_TRUE(updater.waitForPage(eNoDeviceConnected, kStartLimit)) << updater.standardError();
    ASSERT_TRUE(updater.signal(GetParam()));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
    EXPECT_EQ(updater.standardError(), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, UpdaterProcessSignalTest, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](testing::TestParamInfo<int> const& info) {
                             return std::string(info.param == SIGTERM      ? "SIGTERM"
                                                    : info.param == SIGINT ? "SIGINT"
                                                                           : "SIGHUP");
                         });

// A skin in the working folder whose sheet imports fifos, one as an item of a
// container file and one by its absolute colon path: the start reads past
// them, says each once, and a signal ends the process as at any other time,
// also one that came while the skin was being read.
class UpdaterProcessSkinTest : public UpdaterProcessTest, public testing::WithParamInterface<int> {
protected:
    // The bundle's skin with the two imports; returns the working folder.
    std::string workWithFifosInTheSkin()
    {
        std::string const work = folder.folder("work");
        std::filesystem::copy(VARANTO_BUNDLE_DIR "/Contents/Resources/skin", work + "/skin",
                              std::filesystem::copy_options::recursive);
        EXPECT_EQ(::mkfifo((work + "/skin/stylesheets/part.txt").c_str(), 0644), 0);
        EXPECT_EQ(::mkfifo(elsewhere.c_str(), 0644), 0);
        std::string const sheet = work + "/skin/stylesheets/FirmwareUpdaterStyles.txt";
        std::ifstream read(sheet);
        importLine = 2 + unsigned(std::count(std::istreambuf_iterator<char>(read), {}, '\n'));
        std::ofstream(sheet, std::ios::app)
            << "\n@import url(\"part.txt<x\");\n@import url(\"" << colonPathOf(elsewhere) << "\");\n";
        return work;
    }

    static std::string colonPathOf(std::string const& path)
    {
        return BAS::FileName(boost::filesystem::path(path)).full;
    }

    static bool saysItUsesTheSkin(UpdaterProcess& updater)
    {
        return updater.waitForState(
            [&updater](std::string const&) {
                return updater.standardError().find("skin: using the skin folder") != std::string::npos;
            },
            kStartLimit);
    }

    std::string const elsewhere = folder.at("elsewhere.txt");
    unsigned importLine = 0; // of the first import added
};

TEST_P(UpdaterProcessSkinTest, FifosImportedByTheSkinAreSaidOnceAndTheStartGoesOn)
{
    UpdaterProcess updater(simulation(), runtime, {}, workWithFifosInTheSkin());
    ASSERT_TRUE(updater.started());
    ASSERT_TRUE(updater.waitForPage(eNoDeviceConnected, kStartLimit)) << updater.standardError();
    ASSERT_TRUE(updater.signal(GetParam()));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
    std::string const work = folder.at("work");
    std::string const importer = " of FirmwareUpdaterStyles.txt names no readable file (";
    EXPECT_EQ(updater.standardError(),
              "skin: using the skin folder " + work +
                  "/skin in place of the bundle's skin\n"
                  "skin file refused: style sheet part.txt<x imported at line " +
                  std::to_string(importLine) + importer + work +
                  "/skin/stylesheets/part.txt: not a regular file)\n"
                  "skin file refused: style sheet " +
                  colonPathOf(elsewhere) + " imported at line " + std::to_string(importLine + 1) + importer +
                  elsewhere + ": not a regular file)\n");
}

TEST_P(UpdaterProcessSkinTest, ASignalWhileTheSkinIsReadEndsTheProcessOnceTheStartIsDone)
{
    UpdaterProcess updater(simulation(), runtime, {}, workWithFifosInTheSkin());
    ASSERT_TRUE(updater.started());
    ASSERT_TRUE(saysItUsesTheSkin(updater)) << updater.standardError();
    ASSERT_TRUE(updater.signal(GetParam()));
    EXPECT_EQ(updater.waitForExit(kExitLimit), 0) << updater.standardError();
}

INSTANTIATE_TEST_SUITE_P(Signals, UpdaterProcessSkinTest, testing::Values(SIGTERM, SIGINT),
                         [](testing::TestParamInfo<int> const& info) {
                             return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGINT");
                         });

} // namespace
} // namespace CV::test
