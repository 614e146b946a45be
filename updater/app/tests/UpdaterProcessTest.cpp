// The staged updater as a user meets it, headless in a child process on a
// simulated bus: its start, its single instance and its quit.
#include "UpdaterProcess.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace CV::test {
namespace {

using Seconds = std::chrono::seconds;

constexpr Seconds kStartLimit{60};
constexpr Seconds kExitLimit{60};

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

    TemporaryFolder folder{"updater-process-test"};
    std::string const runtime = folder.folder("runtime");
};

TEST_F(UpdaterProcessTest, ASecondCopyEndsQuietlyWhileTheFirstRunsUntilItIsAskedToQuit)
{
    UpdaterProcess first(simulation(), runtime);
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(first.waitForState(hasRoot, kStartLimit)) << first.standardError();

    UpdaterProcess second(simulation(), runtime);
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.waitForExit(kExitLimit), 0);
    EXPECT_EQ(second.standardError(), "");
    EXPECT_TRUE(first.running());

    ASSERT_TRUE(first.command("quit"));
    EXPECT_EQ(first.waitForExit(kExitLimit), 0) << first.standardError();
}

} // namespace
} // namespace CV::test
