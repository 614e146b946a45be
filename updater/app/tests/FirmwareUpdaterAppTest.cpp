// The application object on the headless platform: its window and menus,
// the quit confirmation and the Help and About commands, with callbacks of
// its own in place of the upgrade logic.
#include "updater/app/FirmwareUpdaterApp.h"

#include "BAS/Lib.h"
#include "BAS/Message.h"
#include "FEN/AppModule.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/Lib.h"
#include "FEN/StandaloneWindow.h"
#include "FEN/Window.h"
#include "TOV/Lib.h"
#include "TOV/Widget.h"
#include "TOV/Window.h"
#include "VarantoTest/TemporaryFolder.h"
#include "fen/tests/FrameworkTestSupport.h"
#include "platform/appkit/NSApplication.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"
#include "updater/app/ApplicationTexts.h"
#include "updater/app/CVCocoaStandaloneApplication.h"
#include "updater/app/FirmwareUpdaterConfig.h"
#include "updater/app/probe/StateProbe.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace CV::test {
namespace {

using platform::headless::TestDriver;

using FEN::TEST::TestModule;

// What the application asked of the logic and of the user.
struct Calls {
    bool updateRunning = false;
    int closeRequests = 0;
    BAS::Message::eButton answer = BAS::Message::eButtonNo;
    std::vector<std::string> questions;
};

std::unique_ptr<FirmwareUpdaterConfig> makeConfig(Calls& calls)
{
    auto never = [] { return false; };
    return std::make_unique<FirmwareUpdaterConfig>(
        ApplicationTexts::wizardTexts(), ApplicationTexts::kInstanceId, never, never, never, [](int&) { return false; },
        [](USX2::USBDeviceInfo&, std::string&, std::string&, bool& update) { update = false; },
        [&calls] { return calls.updateRunning; }, [&calls] { ++calls.closeRequests; });
}

class FirmwareUpdaterAppTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_RUNTIME_DIR", runtime.string().c_str(), 1);
        ASSERT_TRUE(BAS::Lib::init(BAS::makeFileTypeMacMagic('Q', 'V', 'T', '2'), ApplicationTexts::kTitle,
                                   BAS::Lib::kVersion, BAS::Lib::kFlavour));
        ASSERT_TRUE(FEN::Lib::init(FEN::Lib::kVersion, FEN::Lib::kFlavour));
        ASSERT_TRUE(TOV::Lib::init());
        BAS::Message::s_showMessageFunctor = [this](BAS::CharSequence<char> const& text, BAS::Message::eType type,
                                                    BAS::Message::eButton defaultButton, BAS::Message::eIcon icon,
                                                    const char* title) {
            EXPECT_EQ(type, BAS::Message::eTypeYesNo);
            EXPECT_EQ(defaultButton, BAS::Message::eButtonNo);
            EXPECT_EQ(icon, BAS::Message::eIconInformation);
            EXPECT_EQ(title, nullptr);
            calls.questions.push_back(text.str());
            return calls.answer;
        };
        platform::appkit::NSApplication::setProcessExit([](int) { ADD_FAILURE() << "the process would end"; });
        platform::objc::send<id>(CVCocoaStandaloneApplication::theClass(), "sharedApplication");
        config = makeConfig(calls);
        app = new FirmwareUpdaterApp(*config);
        ASSERT_TRUE(TestModule::instance().attachApplication(app));
    }
    void TearDown() override
    {
        FEN::Application::destroyAllWindows();
        TestModule::instance().destroyApplication();
        config.reset();
        BAS::Message::s_showMessageFunctor = nullptr;
        TOV::Lib::deInit();
        FEN::Lib::deInit();
        BAS::Lib::deInit();
        platform::appkit::NSApplication::resetForTesting();
        platform::appkit::NSApplication::setProcessExit(nullptr);
        ::unsetenv("XDG_RUNTIME_DIR");
    }

    // MayQuit as the framework asks it: whether the quit may go on.
    bool mayQuit()
    {
        FEN::AnswerEventData answer;
        app->sendEvent(FEN::eApplicationEvent::MayQuit, &answer);
        return answer.answer;
    }

    TemporaryFolder runtime{"updater-app-runtime"};
    TestDriver driver;
    Calls calls;
    std::unique_ptr<FirmwareUpdaterConfig> config;
    FirmwareUpdaterApp* app = nullptr;
};

std::vector<std::string> titlesOf(platform::peer::MenuNode const& menu)
{
    std::vector<std::string> titles;
    for (auto const& child : menu.children)
        titles.push_back(child.title);
    return titles;
}

TEST_F(FirmwareUpdaterAppTest, InitShowsOneFixedWindowWithTheWizardAndAddsTheHelpMenu)
{
    EXPECT_EQ(app->getApplicationTitle(), "VARANTO MK2 FIRMWARE UPDATER");
    auto const windows = driver.windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->title(), "Varanto MK2 Firmware Updater");
    EXPECT_EQ(windows[0]->contentFrame().width, 627);
    EXPECT_EQ(windows[0]->contentFrame().height, 335);
    EXPECT_FALSE(windows[0]->spec().resizable);

    auto const& bar = driver.menuBar().tree();
    ASSERT_FALSE(bar.children.empty());
    EXPECT_EQ(bar.children.back().title, "Help");
    EXPECT_EQ(titlesOf(bar.children.back()),
              (std::vector<std::string>{"Visit the Knowledge Base", "Visit Calvarine on the web"}));
}

struct QuitCase {
    const char* name;
    bool updateRunning;
    BAS::Message::eButton answer;
    bool quitGoesOn;
    int questions;
    int closeRequests;
    bool fromOutside = false; // a signal: nobody may be there to answer
};

class FirmwareUpdaterAppQuitTest : public FirmwareUpdaterAppTest, public testing::WithParamInterface<QuitCase> { };

TEST_P(FirmwareUpdaterAppQuitTest, AsksOnlyWhileAnUpdateRunsAndLetsTheWorkerEndWhenTheUserInsists)
{
    QuitCase const& c = GetParam();
    calls.updateRunning = c.updateRunning;
    calls.answer = c.answer;
    if (c.fromOutside)
        app->quitWithoutQuestion();
    EXPECT_EQ(mayQuit(), c.quitGoesOn);
    ASSERT_EQ(static_cast<int>(calls.questions.size()), c.questions);
    if (c.questions > 0) {
        EXPECT_EQ(calls.questions[0],
                  "An update is currently in progress. Interrupting the update process may damage "
                  "the device.\nDo you really want to quit ?");
    }
    EXPECT_EQ(calls.closeRequests, c.closeRequests);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FirmwareUpdaterAppQuitTest,
    testing::Values(QuitCase{"NoUpdate", false, BAS::Message::eButtonNo, true, 0, 0},
                    QuitCase{"UpdateAnsweredNo", true, BAS::Message::eButtonNo, false, 1, 0},
                    QuitCase{"UpdateAnsweredYes", true, BAS::Message::eButtonYes, true, 1, 1},
                    QuitCase{"NoUpdateFromOutside", false, BAS::Message::eButtonNo, true, 0, 0, true},
                    QuitCase{"UpdateFromOutside", true, BAS::Message::eButtonNo, true, 0, 1, true}),
    [](testing::TestParamInfo<QuitCase> const& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdaterAppTest, TheQuitCommandDuringAnUpdateAnsweredNoLeavesTheApplicationRunning)
{
    calls.updateRunning = true;
    FEN::CommandEventData quit(FEN::eStdCommand::Quit);
    EXPECT_TRUE(app->sendEvent(FEN::eCommandEvent::CommandExecute, &quit));
    EXPECT_FALSE(app->isQuitting());
    EXPECT_EQ(calls.questions.size(), 1u);
}

// The desktop's URL handler, replaced by a script that notes what it was
// asked to open.
class UrlHandler {
public:
    UrlHandler()
    {
        std::string const script = folder.at("xdg-open");
        std::ofstream(script) << "#!/bin/sh\necho \"$1\" >> '" << folder.at("opened") << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        m_path = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", folder.string().c_str(), 1);
    }
    ~UrlHandler() { ::setenv("PATH", m_path.c_str(), 1); }

    // The URLs opened, waiting up to a few seconds for the handler to run.
    std::vector<std::string> opened(std::size_t expected) const
    {
        std::vector<std::string> lines;
        for (int attempt = 0; attempt < 500 && lines.size() < expected; ++attempt) {
            lines.clear();
            std::ifstream in(folder.at("opened"));
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() < expected)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return lines;
    }

    TemporaryFolder folder{"updater-url-handler"};

private:
    std::string m_path;
};

TEST_F(FirmwareUpdaterAppTest, HelpItemsOpenTheirPagesAndAreHandledEvenWithoutABrowser)
{
    {
        UrlHandler handler;
        EXPECT_TRUE(driver.chooseMenuItem({"Help", "Visit the Knowledge Base"}));
        EXPECT_TRUE(driver.chooseMenuItem({"Help", "Visit Calvarine on the web"}));
        // The two handlers run side by side: their lines may come in either order.
        std::vector<std::string> opened = handler.opened(2);
        std::sort(opened.begin(), opened.end());
        std::vector<std::string> expected{ApplicationTexts::kKnowledgeBaseUrl, ApplicationTexts::kHomePageUrl};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(opened, expected);
    }
    TemporaryFolder empty{"updater-no-browser"};
    std::string const path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", empty.string().c_str(), 1);
    for (int command : {FirmwareUpdaterApp::eCommandKnowledgeBase, FirmwareUpdaterApp::eCommandHomePage}) {
        FEN::CommandEventData data(command);
        EXPECT_TRUE(app->sendEvent(FEN::eCommandEvent::CommandExecute, &data)) << command;
    }
    ::setenv("PATH", path.c_str(), 1);
}

// The wizard is the root of the main window's pane.
TOV::Widget& wizardOf(FEN::Window* window)
{
    auto* pane = dynamic_cast<TOV::Window<FEN::StandaloneWindow>*>(window);
    EXPECT_NE(pane, nullptr);
    EXPECT_EQ(pane->getRoot()->getId(), "FirmwareUpdaterMainWidget");
    return *pane->getRoot();
}

TEST_F(FirmwareUpdaterAppTest, TheAboutItemShowsTheWizardsAboutBox)
{
    ASSERT_EQ(FEN::Application::getWindows().size(), 1u);
    TOV::Widget& wizard = wizardOf(FEN::Application::getWindows().front());
    TOV::Widget* overlay = StateProbe::findWidget(wizard, "FirmwareUpdaterOverlay");
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(overlay->isActive());
    FEN::CommandEventData about(FirmwareUpdaterApp::kCommandAbout);
    EXPECT_TRUE(app->sendEvent(FEN::eCommandEvent::CommandExecute, &about));
    EXPECT_TRUE(overlay->isActive());
    FEN::CommandEventData other(0x6f746872);
    EXPECT_FALSE(app->sendEvent(FEN::eCommandEvent::CommandExecute, &other));
}

// Once the quit goes on, the process only waits for the update to end: the
// About item no longer reaches the wizard, and closing the window is
// refused so that it stays on the screen.
TEST_F(FirmwareUpdaterAppTest, OnceItQuitsCommandsAndCloseRequestsNoLongerReachTheWizard)
{
    std::vector<int> exits;
    platform::appkit::NSApplication::setProcessExit([&exits](int status) { exits.push_back(status); });
    calls.updateRunning = true;
    calls.answer = BAS::Message::eButtonYes;
    FEN::CommandEventData quit(FEN::eStdCommand::Quit);
    EXPECT_TRUE(app->sendEvent(FEN::eCommandEvent::CommandExecute, &quit));
    ASSERT_TRUE(app->isQuitting());
    driver.advance(std::chrono::milliseconds(0)); // the termination runs
    EXPECT_EQ(exits, std::vector<int>{0});

    TOV::Widget* overlay =
        StateProbe::findWidget(wizardOf(FEN::Application::getWindows().front()), "FirmwareUpdaterOverlay");
    ASSERT_NE(overlay, nullptr);
    FEN::CommandEventData about(FirmwareUpdaterApp::kCommandAbout);
    EXPECT_TRUE(app->sendEvent(FEN::eCommandEvent::CommandExecute, &about));
    EXPECT_FALSE(overlay->isActive());
    EXPECT_FALSE(mayQuit());
    EXPECT_EQ(calls.questions.size(), 1u);
    EXPECT_EQ(calls.closeRequests, 1);
}

} // namespace
} // namespace CV::test
