#include "bas/linux/HostProcessorFacts.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

namespace CV {
namespace BAS {
namespace LINUX {

namespace {

std::string readWholeFile(const char* path)
{
    std::ifstream in(path);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// One "key : value" line of the processor table.
bool splitField(const std::string& line, std::string& key, std::string& value)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos)
        return false;
    key = trimmed(line.substr(0, colon));
    value = line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ')
        value.erase(0, 1);
    return true;
}

// Every field parses as a non-negative number or is missing.
long numberOrMinusOne(const std::string& value)
{
    char* end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    return end == value.c_str() || number < 0 ? -1 : number;
}

} // namespace

HostProcessorCounts HostProcessorFacts::hostCounts()
{
    HostProcessorCounts counts;
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    if (online > 0) {
        counts.logical = static_cast<uint32_t>(online);
        counts.physical = counts.logical;
    }
    return counts;
}

ProcessorTopology HostProcessorFacts::parseCpuInfo(const std::string& text)
{
    ProcessorTopology topology;
    std::set<std::pair<long, long>> cores;
    bool everyCoreKnown = true;
    bool inProcessor = false;
    long package = -1;
    long core = -1;
    double firstMHz = 0;

    auto closeProcessor = [&] {
        if (!inProcessor)
            return;
        if (package < 0 || core < 0)
            everyCoreKnown = false;
        else
            cores.emplace(package, core);
        inProcessor = false;
    };

    std::istringstream lines(text);
    std::string line, key, value;
    while (std::getline(lines, line)) {
        if (!splitField(line, key, value))
            continue;
        if (key == "processor") {
            closeProcessor();
            inProcessor = true;
            package = core = -1;
            ++topology.logicalCpus;
        } else if (key == "physical id") {
            package = numberOrMinusOne(value);
        } else if (key == "core id") {
            core = numberOrMinusOne(value);
        } else if (topology.logicalCpus == 1 && key == "cpu cores") {
            topology.coresPerPackage = static_cast<int32_t>(std::max(0L, numberOrMinusOne(value)));
        } else if (topology.logicalCpus == 1 && key == "model name") {
            topology.brand = value;
        } else if (topology.logicalCpus == 1 && key == "cpu MHz") {
            firstMHz = std::strtod(value.c_str(), nullptr);
        }
    }
    closeProcessor();

    if (everyCoreKnown)
        topology.physicalCores = static_cast<int32_t>(cores.size());
    if (firstMHz > 0)
        topology.maxFrequencyHz = static_cast<uint64_t>(firstMHz * 1e6);
    return topology;
}

ProcessorTopology HostProcessorFacts::readTopology()
{
    ProcessorTopology topology = parseCpuInfo(readWholeFile("/proc/cpuinfo"));
    // The frequency limit, in kHz, where the kernel drives the frequency;
    // otherwise the table's current frequency stands.
    const std::string maxKHz = trimmed(readWholeFile("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"));
    const long kHz = maxKHz.empty() ? -1 : numberOrMinusOne(maxKHz);
    if (kHz > 0)
        topology.maxFrequencyHz = static_cast<uint64_t>(kHz) * 1000u;
    return topology;
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
