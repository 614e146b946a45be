// The test-only state channel: off without its variable, one JSON document
// per change, written whole, texts escaped.
#include "updater/app/probe/StateChannel.h"

#include "BAS/Region.h"
#include "TOV/Bar.h"
#include "TOV/Button.h"
#include "TOV/Label.h"
#include "TOV/Pane.h"

#include <VarantoTest/TemporaryFolder.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace CV::test {
namespace {

std::string contentOf(std::string const& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class StateChannelTest : public testing::Test {
protected:
    StateChannelTest()
    {
        BAS::Region::init();
        root = std::make_shared<TOV::Bar>();
        label = std::make_shared<TOV::Label>();
        hidden = std::make_shared<TOV::Label>();
        root->insertChildWidget(label, "Caption");
        label->insertChildWidget(hidden, "Inner");
        label->style("Say \"hi\"\n\tnow\\", nullptr);
        label->setAttribute("state", "fail");
        label->setSize({40, 12});
        label->setActive(false);
        pane = std::make_unique<TOV::Pane>();
        pane->setSize({100, 50});
        pane->setRoot(root, "Root");
        BAS::Region invalid;
        pane->update(invalid);
        invalid.clear();
    }
    ~StateChannelTest() override
    {
        pane.reset();
        root.reset();
        label.reset();
        hidden.reset();
        BAS::Region::deInit();
    }

    // A folder of each test's own: the tests of this fixture run side by side.
    TemporaryFolder const scratch{"varanto-state-channel-test"};
    std::string const folder = scratch.string();
    std::shared_ptr<TOV::Bar> root;
    std::shared_ptr<TOV::Label> label, hidden;
    std::unique_ptr<TOV::Pane> pane;
};

TEST_F(StateChannelTest, OffUnlessTheVariableNamesAFile)
{
    ::unsetenv(StateChannel::kEnvironmentVariable);
    EXPECT_EQ(StateChannel::fromEnvironment(), nullptr);
    ::setenv(StateChannel::kEnvironmentVariable, "", 1);
    EXPECT_EQ(StateChannel::fromEnvironment(), nullptr);
    ::setenv(StateChannel::kEnvironmentVariable, "/tmp/state.json", 1);
    auto channel = StateChannel::fromEnvironment();
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->getPath(), "/tmp/state.json");
    ::unsetenv(StateChannel::kEnvironmentVariable);
}

TEST_F(StateChannelTest, DescribesEveryWidgetWithPathTextAttributesAndRectangle)
{
    std::string const text = StateChannel::describe(*root, 4);
    EXPECT_EQ(text.rfind("{\"page\":4,\"widgets\":[", 0), 0u) << text;
    EXPECT_NE(text.find("{\"path\":\"Root\",\"id\":\"Root\",\"class\":\"Bar\",\"style\":\"\",\"shown\":true"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"path\":\"Root/Caption\",\"id\":\"Caption\",\"class\":\"Label\""), std::string::npos);
    EXPECT_NE(text.find("\"text\":\"Say \\\"hi\\\"\\n\\tnow\\\\\""), std::string::npos) << "escaped text";
    EXPECT_NE(text.find("\"attributes\":{\"state\":\"fail\"}"), std::string::npos);
    EXPECT_NE(text.find("\"path\":\"Root/Caption/Inner\",\"id\":\"Inner\",\"class\":\"Label\",\"style\":\"\","
                        "\"shown\":false"),
              std::string::npos)
        << "a widget under an inactive one is not shown";
    EXPECT_NE(text.find("\"rect\":[0,0,100,50]"), std::string::npos) << "the root fills the pane";
}

TEST_F(StateChannelTest, ButtonsShowTheirTexts)
{
    auto button = std::make_shared<TOV::Button>();
    button->style("RESCAN", nullptr);
    root->insertChildWidget(button, "Action");
    std::string const text = StateChannel::describe(*root, 0);
    EXPECT_NE(text.find("\"id\":\"Action\",\"class\":\"Button\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"text\":\"RESCAN\""), std::string::npos) << text;
}

TEST_F(StateChannelTest, ListsTheApplicationEventsInTheOrderReceived)
{
    EXPECT_NE(StateChannel::describe(*root, 0).find("\"applicationEvents\":[]}"), std::string::npos);
    std::string const text = StateChannel::describe(*root, 0, {10003, 10000, 10001});
    EXPECT_NE(text.find("\"applicationEvents\":[10003,10000,10001]}"), std::string::npos) << text;
}

TEST_F(StateChannelTest, PublishesWholeDocumentsOnlyWhenTheStateChanges)
{
    std::string const path = folder + "/state.json";
    StateChannel channel(path);
    channel.publish(*root, 0);
    EXPECT_EQ(contentOf(path), StateChannel::describe(*root, 0));

    std::filesystem::remove(path);
    channel.publish(*root, 0);
    EXPECT_FALSE(std::filesystem::exists(path)) << "unchanged: nothing written";

    channel.publish(*root, 1);
    EXPECT_EQ(contentOf(path), StateChannel::describe(*root, 1));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(StateChannelTest, NeverWritesThroughALinkLeftAtItsScratchFile)
{
    std::string const path = folder + "/state.json";
    std::string const victim = folder + "/victim";
    std::ofstream(victim) << "keep";
    std::filesystem::create_symlink(victim, path + ".tmp");
    StateChannel(path).publish(*root, 2);
    EXPECT_EQ(contentOf(victim), "keep");
    EXPECT_EQ(contentOf(path), StateChannel::describe(*root, 2));
}

} // namespace
} // namespace CV::test
