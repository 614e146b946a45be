#include "BAS/SystemInfo.h"
#include "BAS/SystemInfo2.h"
#include "bas/linux/HostOperatingSystem.h"
#include "bas/linux/HostProcessorFacts.h"

#include "platform/cpu/Cpuid.h"

#include "VarantoTest/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using CV::BAS::SystemInfo;
using CV::BAS::SystemInfo2;
using CV::BAS::LINUX::HostOperatingSystem;
using CV::BAS::LINUX::HostProcessorFacts;
using CV::BAS::LINUX::ProcessorTopology;

// One processor entry of the kernel's table.
std::string processorEntry(int index, const char* package, const char* core, const char* extra = "")
{
    std::string entry = "processor\t: " + std::to_string(index) + "\nvendor_id\t: GenuineIntel\n";
    if (package)
        entry += std::string("physical id\t: ") + package + "\n";
    if (core)
        entry += std::string("core id\t\t: ") + core + "\n";
    return entry + extra + "\n";
}

TEST(SystemInfoTest, ProcessorTableGivesCountsBrandAndSpeed)
{
    const std::string firstExtra = "model name\t:  Example CPU  @ 3.00GHz \ncpu MHz\t\t: 2999.998\ncpu cores\t: 2\n";
    struct Case {
        const char* label;
        std::string text;
        int32_t physical, logical, coresPerPackage;
        std::string brand;
        uint64_t hz;
    };
    const Case cases[] = {
        {"two packages, two cores each, two threads per core",
         processorEntry(0, "0", "0", firstExtra.c_str()) + processorEntry(1, "0", "0") + processorEntry(2, "0", "1") +
             processorEntry(3, "0", "1") + processorEntry(4, "1", "0") + processorEntry(5, "1", "0") +
             processorEntry(6, "1", "1") + processorEntry(7, "1", "1"),
         4, 8, 2, " Example CPU  @ 3.00GHz ", 2999998000u},
        // Without core ids (some virtual machines) the cores are unknown.
        {"core ids missing", processorEntry(0, "0", "0") + processorEntry(1, "0", nullptr), 0, 2, 0, "", 0},
        {"empty table", "", 0, 0, 0, "", 0},
    };
    for (const Case& c : cases) {
        const ProcessorTopology t = HostProcessorFacts::parseCpuInfo(c.text);
        EXPECT_EQ(t.physicalCores, c.physical) << c.label;
        EXPECT_EQ(t.logicalCpus, c.logical) << c.label;
        EXPECT_EQ(t.coresPerPackage, c.coresPerPackage) << c.label;
        EXPECT_EQ(t.brand, c.brand) << c.label;
        EXPECT_EQ(t.maxFrequencyHz, c.hz) << c.label;
    }
}

TEST(SystemInfoTest, KernelReleaseGivesTheVersion)
{
    struct Case {
        const char* release;
        int32_t major, minor, patch;
    };
    const Case cases[] = {
        {"6.1.0-18-amd64", 6, 1, 0},
        {"5.15.153.1-microsoft-standard-WSL2", 5, 15, 153},
        {"4.19", 4, 19, 0},
        {"6.18.44-fc-v1523", 6, 18, 44},
        {"", 0, 0, 0},
        {"x.1.2", 0, 0, 0},
        {"3.x.2", 3, 0, 0},
        {"99999999999.1.2", 2147483647, 1, 2},
    };
    for (const Case& c : cases) {
        const auto r = HostOperatingSystem::parseRelease(c.release);
        EXPECT_EQ(r.major, c.major) << c.release;
        EXPECT_EQ(r.minor, c.minor) << c.release;
        EXPECT_EQ(r.patch, c.patch) << c.release;
    }
}

TEST(SystemInfoTest, LocaleTextsGiveLanguageCodes)
{
    struct Case {
        const char* text;
        int32_t code;
    };
    const Case cases[] = {{"en_US", 0}, {"fr-CA", 1}, {"de", 2},  {"ja_JP", 3},    {"es_ES", 4},
                          {"it_IT", 6}, {"pt_BR", 5}, {"e", 5},   {"", 5},         {nullptr, 5},
                          {"EN_us", 5}, {"C", 5},     {"enx", 0}, {"\xC3\xA9n", 5}};
    for (const Case& c : cases) {
        CFStringRef locale = c.text ? CFStringCreateWithCString(nullptr, c.text, kCFStringEncodingUTF8) : nullptr;
        EXPECT_EQ(CV::BAS::convertMacLocaleToSystemLanguage(locale), c.code) << (c.text ? c.text : "(null)");
        if (locale)
            CFRelease(locale);
    }
}

// Sets the locale variables for one test and puts the old values back.
struct LocaleEnvironment {
    CV::test::ScopedEnvironmentVariable language, lcAll, lcMessages, lang;
};

TEST(SystemInfoTest, LanguageAndLocaleComeFromTheEnvironment)
{
    struct Case {
        const char *language, *lcAll, *lcMessages, *lang;
        int32_t osLanguage, osLocale;
    };
    const Case cases[] = {
        {"fr_FR:de", nullptr, nullptr, "it_IT.UTF-8", 1, 6},
        {nullptr, nullptr, "ja_JP.UTF-8", "de_DE.UTF-8", 3, 3},
        {nullptr, "es_ES.UTF-8", "ja_JP.UTF-8", "de_DE.UTF-8", 4, 4},
        {nullptr, nullptr, nullptr, "pt_BR.UTF-8", 5, 5},
    };
    for (const Case& c : cases) {
        LocaleEnvironment environment{{"LANGUAGE", c.language},
                                      {"LC_ALL", c.lcAll},
                                      {"LC_MESSAGES", c.lcMessages},
                                      {"LANG", c.lang}};
        SystemInfo::init();
        EXPECT_EQ(SystemInfo::s_eOSLanguage, c.osLanguage) << (c.language ? c.language : "") << " " << c.lang;
        EXPECT_EQ(SystemInfo::s_eOSLocale, c.osLocale) << (c.language ? c.language : "") << " " << c.lang;
    }
}

// An Intel processor that reports 64 cores and 128 logical units per
// package, named "Fake CPU".
platform::CpuidRegisters bigPackageCpuid(uint32_t leaf, uint32_t)
{
    switch (leaf) {
    case 0: return {4, 0x756E6547u, 0x6C65746Eu, 0x49656E69u}; // "GenuineIntel"
    case 1: return {0x6A0, 128u << 16, 0, 1u << 28};
    case 4: return {63u << 26, 0, 0, 0};
    case 0x80000000u: return {0x80000004u, 0, 0, 0};
    case 0x80000002u: return {0x656B6146u, 0x55504320u, 0, 0}; // "Fake CPU"
    default: return {};
    }
}

TEST(SystemInfoTest, HostCountsAreTrustedOnlyWhenConsistent)
{
    struct Case {
        const char* label;
        int32_t physical, logical, packages;
        std::string hostBrand;
        bool trusted;
        uint32_t coresPerPackage, unitsPerCore; // when trusted
        std::string name;
    };
    const Case cases[] = {
        {"two packages of two cores with two threads", 4, 8, 2, "Host CPU", true, 2, 2, "Host CPU"},
        {"host names no model", 4, 4, 1, "", true, 4, 1, "Fake CPU"},
        {"no cores known", 0, 8, 1, "Host CPU", false, 0, 0, "Fake CPU"},
        {"more packages than cores", 2, 8, 4, "Host CPU", false, 0, 0, "Fake CPU"},
        {"more cores than logical units", 8, 4, 1, "Host CPU", false, 0, 0, "Fake CPU"},
    };
    const platform::CpuidFunction previous = platform::setCpuidFunction(&bigPackageCpuid);
    for (const Case& c : cases) {
        SystemInfo2::s_calledRetrieveCPUInfo = true; // keep the injected counts
        SystemInfo2::s_numPhysicalCores = c.physical;
        SystemInfo2::s_numLogicalCores = c.logical;
        SystemInfo2::s_numProcessorPacks = c.packages;
        SystemInfo2::s_processorName = c.hostBrand;
        SystemInfo::init();
        EXPECT_EQ(SystemInfo::s_strProcessorName, c.name) << c.label;
        if (c.trusted) {
            EXPECT_EQ(SystemInfo::s_uNumberOfCores, static_cast<uint32_t>(c.physical)) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfProcessingUnits, static_cast<uint32_t>(c.logical)) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfPackages, static_cast<uint32_t>(c.packages)) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfCoresPerPackage, c.coresPerPackage) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfUnitsPerCore, c.unitsPerCore) << c.label;
        } else {
            // The scheduler's counts, and the processor's own topology.
            const auto host = HostProcessorFacts::hostCounts();
            EXPECT_EQ(SystemInfo::s_uNumberOfCores, host.physical) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfProcessingUnits, host.logical) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfCoresPerPackage, 64u) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfUnitsPerCore, 2u) << c.label;
            EXPECT_EQ(SystemInfo::s_uNumberOfPackages, std::max(1u, host.physical / 64)) << c.label;
        }
    }
    platform::setCpuidFunction(previous);
    SystemInfo2::s_calledRetrieveCPUInfo = false; // the next init reads the host again
}

TEST(SystemInfoTest, InitTakesAConsistentSnapshotOfThisHost)
{
    ASSERT_TRUE(SystemInfo::init());
    EXPECT_TRUE(SystemInfo2::s_calledRetrieveCPUInfo);
    EXPECT_GE(SystemInfo::s_uNumberOfCores, 1u);
    EXPECT_GE(SystemInfo::s_uNumberOfProcessingUnits, SystemInfo::s_uNumberOfCores);
    EXPECT_GE(SystemInfo::s_uNumberOfPackages, 1u);
    EXPECT_GE(SystemInfo::s_uNumberOfCoresPerPackage, 1u);
    EXPECT_FALSE(SystemInfo::s_strProcessorName.empty());
    EXPECT_EQ(SystemInfo::s_eOSType, 4);
    EXPECT_GT(SystemInfo::s_uMajorVersion, 0u);
    const auto release = HostOperatingSystem::kernelRelease();
    EXPECT_EQ(SystemInfo2::s_osVersion, cv::commons::VersionNumber(release.major, release.minor, release.patch, 0));
    EXPECT_EQ(SystemInfo::s_uMinorVersion, static_cast<uint32_t>(release.minor));
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(SystemInfo::s_strComputerName, host);
#if defined(__x86_64__)
    EXPECT_EQ(SystemInfo2::s_osTargetISA, 2);
    EXPECT_NE(SystemInfo::s_eSIMDSupport & 0x8u, 0u); // every x86-64 processor has SSE2
#endif
    EXPECT_TRUE(SystemInfo::deInit());
}

} // namespace
