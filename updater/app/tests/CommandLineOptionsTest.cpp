// The staged updater's command line, in a child process: the questions it
// answers without starting, and the options it refuses.
#include "VarantoTest/ChildProcess.h"
#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace CV::test {
namespace {

struct Outcome {
    std::optional<int> status;
    std::string output;
    std::string errors;
};

// The staged executable with these words, without a display.
Outcome runUpdater(const std::vector<std::string>& arguments)
{
    TemporaryFolder folder("updater-command-line");
    ChildProcess::Setup setup;
    setup.program = std::string(VARANTO_BUNDLE_DIR) + "/Contents/MacOS/" + VARANTO_APP_EXECUTABLE;
    setup.arguments = arguments;
    setup.workingFolder = folder.path().string();
    setup.environment = {{"VARANTO_PLATFORM_BACKEND", "headless"},
                         {"DISPLAY", ""},
                         {"VARANTO_USB_SIMULATION", folder.write("none.sim")}};
    setup.outputFile = folder.at("out.txt");
    setup.errorFile = folder.at("err.txt");
    ChildProcess process(setup);
    Outcome outcome;
    outcome.status = process.waitForExit(std::chrono::seconds(60));
    outcome.output = process.output();
    outcome.errors = process.errors();
    return outcome;
}

TEST(UpdaterCommandLine, QuestionsAreAnsweredAndUnknownOptionsRefused)
{
    const std::string version = std::string("Varanto MK2 Firmware Updater ") + VARANTO_APP_VERSION + "\n";
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> outputHolds; // empty: no output at all
        std::string error; // the whole of standard error
    } cases[] = {
        {{"--help"},
         0,
         {"Usage: varanto-mk2-firmware-updater [options]\n", "--version", "VARANTO_USB_SIMULATION",
          "VARANTO_STATE_CHANNEL", "XKB_DEFAULT_LAYOUT", "README.md"},
         ""},
        {{"a-file.txt", "-h"}, 0, {"Usage: "}, ""},
        {{"--version"}, 0, {version}, ""},
        {{"--frobnicate"},
         2,
         {},
         "varanto-mk2-firmware-updater: unknown option '--frobnicate' (--help lists the options)\n"},
        {{"a-file.txt", "-x", "--also-unknown"},
         2,
         {},
         "varanto-mk2-firmware-updater: unknown option '-x' (--help lists the options)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const Outcome outcome = runUpdater(c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.errors, c.error);
        for (const std::string& part : c.outputHolds) {
            EXPECT_NE(outcome.output.find(part), std::string::npos) << part << " in:\n" << outcome.output;
        }
        if (c.outputHolds.empty()) {
            EXPECT_EQ(outcome.output, "");
        }
    }
    EXPECT_EQ(runUpdater({"--version"}).output, version);
}

} // namespace
} // namespace CV::test
