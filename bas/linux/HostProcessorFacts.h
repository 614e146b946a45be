#pragma once
// What the Linux host reports about its processors: the kernel's processor
// table (/proc/cpuinfo), the online processor count and the frequency limit
// in sysfs.
#include <cstdint>
#include <string>

namespace CV {
namespace BAS {
namespace LINUX {

// The counts the scheduler sees; the fallback when the topology below is
// missing or inconsistent.
struct HostProcessorCounts {
    uint32_t logical = 1;
    uint32_t physical = 1;
};

// Zero or empty wherever the host does not say.
struct ProcessorTopology {
    int32_t physicalCores = 0; // distinct (package, core) pairs
    int32_t logicalCpus = 0; // processor entries
    int32_t coresPerPackage = 0; // "cpu cores" of the first processor
    std::string brand; // "model name" of the first processor, as given
    uint64_t maxFrequencyHz = 0;
};

class HostProcessorFacts {
public:
    static HostProcessorCounts hostCounts();
    static ProcessorTopology readTopology();

    // The processor table in the kernel's text form; frequency from its
    // "cpu MHz" lines.
    static ProcessorTopology parseCpuInfo(const std::string& text);

    HostProcessorFacts() = delete;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
