// The staged updater's command line, in a child process: the questions it
// answers without starting, the options it refuses, and its start without
// a display.
#include "VarantoTest/ChildProcess.h"
#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace CV::test {
namespace {

struct Outcome {
    std::optional<int> status;
    std::string output;
    std::string errors;
};

using Environment = std::map<std::string, std::string>;

// The staged executable with these words, headless and without a display
// unless the changes say otherwise ("" removes a variable, emptyVariables
// are set to nothing); outputFile: where its standard output goes ("": a
// file of the test).
Outcome runUpdater(const std::vector<std::string>& arguments, const Environment& changes = {},
                   const std::string& outputFile = "", const std::vector<std::string>& emptyVariables = {})
{
    TemporaryFolder folder("updater-command-line");
    ChildProcess::Setup setup;
    setup.program = std::string(VARANTO_BUNDLE_DIR) + "/Contents/MacOS/" + VARANTO_APP_EXECUTABLE;
    setup.arguments = arguments;
    setup.workingFolder = folder.path().string();
    setup.environment = {{"VARANTO_PLATFORM_BACKEND", "headless"},
                         {"DISPLAY", ""},
                         {"WAYLAND_DISPLAY", ""},
                         {"VARANTO_USB_SIMULATION", folder.write("none.sim")},
                         {"XDG_RUNTIME_DIR", folder.folder("runtime")}};
    for (const auto& [name, value] : changes)
        setup.environment[name] = value;
    setup.emptyVariables = emptyVariables;
    setup.outputFile = outputFile.empty() ? folder.at("out.txt") : outputFile;
    setup.errorFile = folder.at("err.txt");
    ChildProcess process(setup);
    Outcome outcome;
    outcome.status = process.waitForExit(std::chrono::seconds(60));
    outcome.output = outputFile.empty() ? process.output() : "";
    outcome.errors = process.errors();
    return outcome;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(UpdaterCommandLine, QuestionsAreAnsweredAndMistakenOptionsRefused)
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
         {"Usage: varanto-mk2-firmware-updater [options] [--] [file...]\n", "--version", "--demo",
          "VARANTO_USB_SIMULATION", "VARANTO_PLATFORM_BACKEND=headless", "VARANTO_STATE_CHANNEL", "XKB_DEFAULT_LAYOUT",
          "\"skin\"", "Contents/Resources/skin", "Contents/Resources/udev/70-varanto-mk2.rules", "/rules.d/",
          "Contents/Resources/sim/demo.sim"},
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
        // A value-taking option of the toolkit with nothing to take.
        {{"--display"}, 2, {}, "varanto-mk2-firmware-updater: option '--display' needs a value (--display=<value>)\n"},
        {{"--display", "--"},
         2,
         {},
         "varanto-mk2-firmware-updater: option '--display' needs a value (--display=<value>)\n"},
        {{"--name="}, 2, {}, "varanto-mk2-firmware-updater: option '--name' needs a value (--name=<value>)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front() + " ... " + c.arguments.back());
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

// What an installed user reads stands on its own, in 80 columns.
TEST(UpdaterCommandLine, HelpFitsEightyColumnsAndPointsToNoSources)
{
    const Outcome outcome = runUpdater({"--help"});
    ASSERT_EQ(outcome.status, 0);
    for (const std::string& line : linesOf(outcome.output)) {
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_EQ(outcome.output.find("README"), std::string::npos) << outcome.output;
}

// Every toolkit option the help names is taken by the toolkit: without a
// display the start ends for want of one (1), never for an unknown option.
TEST(UpdaterCommandLine, TheToolkitTakesEveryOptionTheHelpNamesForIt)
{
    const std::vector<std::string> help = linesOf(runUpdater({"--help"}).output);
    std::vector<std::string> options;
    bool inToolkitSection = false;
    for (const std::string& line : help) {
        if (line.rfind("GTK's options", 0) == 0)
            inToolkitSection = true;
        else if (line.empty())
            inToolkitSection = false;
        else if (inToolkitSection && line.rfind("  --", 0) == 0)
            options.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    ASSERT_GE(options.size(), 2u);
    for (std::string option : options) {
        SCOPED_TRACE(option);
        const std::string::size_type placeholder = option.find("=<");
        if (placeholder != std::string::npos)
            option = option.substr(0, placeholder) + "=x";
        const Outcome outcome = runUpdater({option}, {{"VARANTO_PLATFORM_BACKEND", ""}});
        EXPECT_EQ(outcome.status, 1) << outcome.errors;
        EXPECT_NE(outcome.errors.find("the updater needs a desktop session"), std::string::npos) << outcome.errors;
    }
}

TEST(UpdaterCommandLine, AnAnswerThatCannotBeWrittenEndsWithStatusOne)
{
    for (const char* question : {"--help", "--version"}) {
        SCOPED_TRACE(question);
        const Outcome outcome = runUpdater({question}, {}, "/dev/full");
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.errors, "varanto-mk2-firmware-updater: cannot write to standard output\n");
    }
}

// Only the variable selects the headless backend: without it and without
// a display the updater says which display it tried and ends at once.
TEST(UpdaterWithoutDisplay, SaysWhichDisplayItTriedAndEndsWithStatusOne)
{
    const std::string needs = "; the updater needs a desktop session\n";
    struct Case {
        const char* name;
        Environment environment;
        std::vector<std::string> arguments;
        std::string error; // the whole of standard error
        std::vector<std::string> emptyVariables;
    } const cases[] = {
        {"DISPLAY unset", {}, {}, "no display to open (DISPLAY is not set)", {}},
        {"DISPLAY empty", {}, {}, "no display to open (DISPLAY is empty)", {"DISPLAY"}},
        {"DISPLAY naming nothing", {{"DISPLAY", ":nonexistent"}}, {}, "cannot open display ':nonexistent'", {}},
        {"--display", {{"DISPLAY", ":nonexistent"}}, {"--display=:99"}, "cannot open display ':99'", {}},
        {"--display and its value", {}, {"--display", ":98"}, "cannot open display ':98'", {}},
        {"--display over an empty DISPLAY", {}, {"--display=:97"}, "cannot open display ':97'", {"DISPLAY"}},
        {"the desktop asked for",
         {{"VARANTO_PLATFORM_BACKEND", "desktop"}},
         {},
         "no display to open (DISPLAY is not set)",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Environment environment = c.environment;
        environment.emplace("VARANTO_PLATFORM_BACKEND", "");
        const Outcome outcome = runUpdater(c.arguments, environment, "", c.emptyVariables);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.errors, "varanto-mk2-firmware-updater: " + c.error + needs);
        EXPECT_EQ(outcome.output, "");
    }
}

} // namespace
} // namespace CV::test
