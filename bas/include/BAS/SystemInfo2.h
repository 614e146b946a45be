#pragma once
// Processor counts, brand and speed as the host reports them, and the
// operating-system version.
#include "cv/VersionNumber.h"

#include <cstdint>
#include <string>

namespace CV {
namespace BAS {

class SystemInfo2 {
public:
    // Runs once; later calls do nothing.
    static void retrieveCPUInfo();
    static void retrieveOSInfo();

    static bool s_calledRetrieveCPUInfo;
    static int32_t s_numPhysicalCores;
    static int32_t s_numLogicalCores;
    static int32_t s_numProcessorPacks;
    static std::string s_processorName;
    static int32_t s_processorSpeed; // MHz
    static cv::commons::VersionNumber s_osVersion; // kernel release, fourth part 0
    static int32_t s_osTargetISA; // 2 on x86_64, else 0

    SystemInfo2() = delete;
};

} // namespace BAS
} // namespace CV
