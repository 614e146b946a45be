#include "BAS/DSOHandle.h"

#include "ProgramOutput.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <cstdio>
#include <string>

namespace {

namespace fs = boost::filesystem;

// What the probe program prints when it runs from the given place.
std::string probeOutputAt(const fs::path& executable)
{
    fs::create_directories(executable.parent_path());
    fs::copy_file(VARANTO_BUNDLE_PROBE, executable);
    return CV::BAS::TEST::programOutput("'" + executable.string() + "'");
}

TEST(DSOHandleTest, RunningCodeFindsTheBundleItRunsFrom)
{
    const CV::test::TemporaryFolder temporary("bundle");
    const fs::path scratch(temporary.string());
    struct Case {
        const char* label;
        fs::path executable;
        std::string printed;
    };
    const Case cases[] = {
        {"inside a bundle", scratch / "T.app/Contents/MacOS/probe", (scratch / "T.app").string() + "\n"},
        {"bundle name with blanks", scratch / "My Tool.app/Contents/MacOS/probe",
         (scratch / "My Tool.app").string() + "\n"},
        {"outside any bundle", scratch / "bin/probe", "none\n"},
        {"beside, not inside, the program folder", scratch / "U.app/Contents/probe", "none\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(probeOutputAt(c.executable), c.printed) << c.label;
}

TEST(DSOHandleTest, TestProgramOutsideABundleHasNone)
{
    EXPECT_EQ(CV::BAS::resolveCurrentDSOHandle(), nullptr);
    EXPECT_EQ(CV::BAS::getCurrentDSOHandle(), nullptr);
    CV::BAS::releaseCurrentDSOHandle(); // nothing cached: nothing happens
    EXPECT_EQ(CV::BAS::getCurrentDSOHandle(), nullptr);
}

} // namespace
