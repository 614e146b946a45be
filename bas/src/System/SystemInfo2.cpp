#include "BAS/SystemInfo2.h"

#include "bas/linux/HostOperatingSystem.h"
#include "bas/linux/HostProcessorFacts.h"

namespace CV {
namespace BAS {

bool SystemInfo2::s_calledRetrieveCPUInfo = false;
int32_t SystemInfo2::s_numPhysicalCores = 0;
int32_t SystemInfo2::s_numLogicalCores = 0;
int32_t SystemInfo2::s_numProcessorPacks = 0;
std::string SystemInfo2::s_processorName;
int32_t SystemInfo2::s_processorSpeed = 0;
cv::commons::VersionNumber SystemInfo2::s_osVersion;
int32_t SystemInfo2::s_osTargetISA = 0;

namespace {

std::string trimmedAtBothEnds(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

void SystemInfo2::retrieveCPUInfo()
{
    if (s_calledRetrieveCPUInfo)
        return;
    s_calledRetrieveCPUInfo = true;

    const LINUX::ProcessorTopology topology = LINUX::HostProcessorFacts::readTopology();
    s_numPhysicalCores = topology.physicalCores;
    s_numLogicalCores = topology.logicalCpus;
    const int32_t coresPerPackage = topology.coresPerPackage;
    s_numProcessorPacks = coresPerPackage < 1 ? 1 : s_numPhysicalCores / coresPerPackage;
    s_processorName = trimmedAtBothEnds(topology.brand);
    s_processorSpeed = static_cast<int32_t>(topology.maxFrequencyHz / 1000000u);
}

void SystemInfo2::retrieveOSInfo()
{
    const LINUX::KernelRelease release = LINUX::HostOperatingSystem::kernelRelease();
    s_osVersion = cv::commons::VersionNumber(release.major, release.minor, release.patch, 0);
    s_osTargetISA = LINUX::HostOperatingSystem::machine() == "x86_64" ? 2 : 0;
}

} // namespace BAS
} // namespace CV
