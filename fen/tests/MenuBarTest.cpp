#include "FrameworkTestSupport.h"

#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/HMenu.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSMenu.h"
#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::AttachedApplication;
namespace objc = platform::objc;

constexpr int32_t kAbout = 0x61626F75;
constexpr int32_t kQuit = 0x71756974;

// Records the command events that reach it; takes every CommandExecute
// (so Quit ends nothing) and leaves validation unhandled.
class RecordingApp : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eCommandEvent::CommandExecute) {
            events.emplace_back(code, static_cast<CommandEventData*>(data)->command);
            return true;
        }
        if (code == eCommandEvent::CommandValidate || code == eCommandEvent::MenuWillOpen) {
            events.emplace_back(code, static_cast<MenuEventData*>(data)->command);
            return false;
        }
        return Application::onEvent(code, data);
    }
    std::vector<std::pair<unsigned, int32_t>> events;
};

// The menu bar as the updater builds it, installed on a platform
// application and an attached framework application.
class UpdaterMenuTest : public ::testing::Test {
protected:
    UpdaterMenuTest()
    {
        objc::send<id>(platform::appkit::NSApplicationClass(), "sharedApplication");
        HMenuBar bar;
        bar.create();
        HPopupMenu help;
        help.create();
        help.insertCommandAt(-1, "Visit the Knowledge Base", 40000, 0, 0);
        help.insertCommandAt(-1, "Visit Calvarine on the web", 40001, 0, 0);
        bar.insertSubMenuAt(-1, "&Help", help);
        app->setMenu(bar);
        mainMenu = objc::send<id>(NSApp, "mainMenu");
    }
    ~UpdaterMenuTest() override { platform::appkit::NSApplication::resetForTesting(); }

    id itemAt(std::initializer_list<long> path)
    {
        id menu = mainMenu;
        id item = nil;
        for (long index : path) {
            item = objc::send<id>(menu, "itemAtIndex:", index);
            menu = objc::send<id>(item, "submenu");
        }
        return item;
    }

    platform::headless::TestDriver driver;
    AttachedApplication<RecordingApp> app;
    id mainMenu = nil;
};

TEST_F(UpdaterMenuTest, TreeHasTheApplicationMenuAndTheHelpMenu)
{
    EXPECT_EQ(platform::appkit::describeMenu(mainMenu),
              "Apple\n"
              "  About  #1633841013\n"
              "  ----\n"
              "  Services\n"
              "  ----\n"
              "  Hide  [Cmd+h]\n"
              "  Hide Others [Opt+Cmd+h]\n"
              "  Show All\n"
              "  ----\n"
              "  Quit  [Cmd+q] #1903520116\n"
              "Help\n"
              "  Visit the Knowledge Base #40000\n"
              "  Visit Calvarine on the web #40001\n");
    id help = objc::send<id>(itemAt({1}), "submenu");
    EXPECT_EQ(static_cast<CFStringRef>(objc::send<CFStringRef>(help, "title"))->utf8(), "Help");
    // Neither Help command has a shortcut, and Quit and About are no inserted commands.
    EXPECT_TRUE(HMenu::s_mapCommandShortcuts.empty());
    EXPECT_EQ(app->getAcceleratorManager().getCommand(0x20000051), 0);
}

TEST_F(UpdaterMenuTest, PreferencesGoIntoTheApplicationMenuAfterAbout)
{
    HPopupMenu other;
    other.create();
    EXPECT_EQ(other.insertCommandAt(-1, "&Settings", 0x70726566, 0, 0x20000050), 0);
    EXPECT_EQ(objc::send<long>(other.getPlatformMenu(), "numberOfItems"), 0);
    const std::string dump = platform::appkit::describeMenu(mainMenu);
    EXPECT_EQ(dump.substr(0, dump.find("  Services")),
              "Apple\n"
              "  About  #1633841013\n"
              "  ----\n"
              "  ----\n"
              "  Settings [Cmd+,] #1886545254\n");
    EXPECT_EQ(HMenu::s_mapCommandShortcuts, (std::map<uint32_t, int32_t>{{0x2000002C, 0x70726566}}));
    HMenu::s_mapCommandShortcuts.clear();
    objc::NSObject::release(other.getPlatformMenu());
}

TEST_F(UpdaterMenuTest, ChoosingOpeningAndValidatingReachTheApplication)
{
    using Event = std::pair<unsigned, int32_t>;
    auto& bar = driver.backend().menuBar();
    const auto has = [&](Event event) {
        return std::find(app->events.begin(), app->events.end(), event) != app->events.end();
    };
    ASSERT_TRUE(bar.pathOf("Help"));
    EXPECT_EQ(*bar.pathOf("Visit Calvarine on the web"), (platform::peer::MenuPath{1, 1}));

    app->events.clear();
    bar.open({1});
    ASSERT_FALSE(app->events.empty());
    EXPECT_EQ(app->events.front(), (Event{1202, -1}));
    EXPECT_TRUE(has({1201, 40000}) && has({1201, 40001}));
    // Nobody handled validation: the items show enabled.
    EXPECT_TRUE(bar.find({1, 1})->enabled);

    app->events.clear();
    EXPECT_TRUE(bar.choose({1, 1}));
    EXPECT_EQ(app->events.back(), (Event{1200, 40001}));

    app->events.clear();
    EXPECT_TRUE(bar.choose(*bar.pathOf("About ")));
    EXPECT_EQ(app->events.back(), (Event{1200, kAbout}));
    EXPECT_TRUE(platform::appkit::performKeyEquivalent(mainMenu, u"q", platform::keyboard::kModifierCommand));
    EXPECT_EQ(app->events.back(), (Event{1200, kQuit}));

    EXPECT_TRUE(bar.choose(*bar.pathOf("Hide ")));
    EXPECT_TRUE(objc::send<BOOL>(NSApp, "isHidden"));
    EXPECT_TRUE(bar.choose(*bar.pathOf("Show All")));
    EXPECT_FALSE(objc::send<BOOL>(NSApp, "isHidden"));
}

} // namespace
