#include "BAS/DSOHandle.h"

#include "ProgramOutput.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <cstdio>
#include <string>

namespace {

namespace fs = boost::filesystem;

// A scratch folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() : path_(fs::canonical(fs::temp_directory_path()) / fs::unique_path("bundle-%%%%-%%%%")) {}
    ~ScratchFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// What the probe program prints when it runs from the given place.
std::string probeOutputAt(const fs::path& executable)
{
    fs::create_directories(executable.parent_path());
    fs::copy_file(VARANTO_BUNDLE_PROBE, executable);
    return CV::BAS::TEST::programOutput("'" + executable.string() + "'");
}

TEST(DSOHandleTest, RunningCodeFindsTheBundleItRunsFrom)
{
    ScratchFolder scratch;
    struct Case {
        const char* label;
        fs::path executable;
        std::string printed;
    };
    const Case cases[] = {
        {"inside a bundle", scratch.path() / "T.app/Contents/MacOS/probe",
         (scratch.path() / "T.app").string() + "\n"},
        {"bundle name with blanks", scratch.path() / "My Tool.app/Contents/MacOS/probe",
         (scratch.path() / "My Tool.app").string() + "\n"},
        {"outside any bundle", scratch.path() / "bin/probe", "none\n"},
        {"beside, not inside, the program folder", scratch.path() / "U.app/Contents/probe", "none\n"},
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
