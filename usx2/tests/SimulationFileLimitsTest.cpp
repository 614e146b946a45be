// A simulation file is named by an environment variable, so it may be
// anything: only a small regular file describing a bounded number of devices
// is read, and a refusal says why in one line.
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDeviceFile.h"

#include "SimulatedBusFixture.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace CV {
namespace USX2 {
namespace {

std::string devices(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "[device]\nmodel = sela\nserial = S" + std::to_string(i) + "\n";
    return text;
}

TEST(SimulationFile, OnlySmallRegularFilesWithBoundedDevicesAreRead)
{
    const CV::test::TemporaryFolder folder("usx2-sim");
    const std::size_t most = SimulatedDeviceFile::kMaxDevices;
    const std::string huge = std::string(SimulatedDeviceFile::kMaxFileBytes - 1, '#') + "\n\n";
    struct Case {
        std::string path;
        std::string error; // empty: read
    } const cases[] = {
        {folder.write("most.sim", devices(most)), ""},
        {folder.write("more.sim", devices(most + 1)),
         folder.string() + "/more.sim: line " + std::to_string(3 * most + 1) + ": more than " + std::to_string(most) +
             " devices"},
        {folder.write("huge.sim", huge),
         "cannot read " + folder.string() + "/huge.sim: larger than " +
             std::to_string(SimulatedDeviceFile::kMaxFileBytes) + " bytes"},
        {folder.path(), "cannot read " + folder.string() + ": not a regular file"},
        {"/dev/zero", "cannot read /dev/zero: not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        const std::shared_ptr<SimulatedBus> bus = SimulatedBus::fromFile(c.path, error);
        EXPECT_EQ(error, c.error);
        if (c.error.empty())
            EXPECT_EQ(bus->enumerate().size(), most);
        else
            EXPECT_EQ(bus, nullptr);
    }
}

TEST(SimulationFile, ARefusedFileLeavesTheBusEmptyWithOneLine)
{
    ScopedUSBHost none(nullptr);
    ::setenv(USBHost::kSimulationVariable, "/dev/zero", 1);
    testing::internal::CaptureStderr();
    const std::shared_ptr<USBHost> chosen = USBHost::current();
    const std::string said = testing::internal::GetCapturedStderr();
    ::unsetenv(USBHost::kSimulationVariable);
    EXPECT_FALSE(chosen->reachesRealDevices());
    EXPECT_TRUE(chosen->enumerate().empty());
    EXPECT_EQ(said,
              std::string(USBHost::kSimulationVariable) +
                  ": cannot read /dev/zero: not a regular file; the simulated bus stays empty\n");
}

} // namespace
} // namespace USX2
} // namespace CV
