#include "BAS/IA32.h"

#include "platform/cpu/Cpuid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <utility>

namespace {

namespace IA32 = CV::BAS::IA32;
using platform::CpuidRegisters;

// The words a fake processor answers, by (leaf, subleaf); unknown leaves
// give zeros.
using Leaves = std::map<std::pair<uint32_t, uint32_t>, CpuidRegisters>;
const Leaves* s_leaves = nullptr;

CpuidRegisters fakeCpuid(uint32_t leaf, uint32_t subleaf)
{
    const auto it = s_leaves->find({leaf, subleaf});
    return it == s_leaves->end() ? CpuidRegisters{} : it->second;
}

CpuidRegisters vendorLeaf(uint32_t maxLeaf, const char* vendor)
{
    CpuidRegisters r;
    r.eax = maxLeaf;
    std::memcpy(&r.ebx, vendor, 4);
    std::memcpy(&r.edx, vendor + 4, 4);
    std::memcpy(&r.ecx, vendor + 8, 4);
    return r;
}

// Leaves 0x80000002..4 holding text (at most 48 characters).
void addBrand(Leaves& leaves, const std::string& text)
{
    char padded[48] = {};
    std::memcpy(padded, text.data(), text.size());
    for (uint32_t i = 0; i < 3; ++i) {
        CpuidRegisters r;
        std::memcpy(&r, padded + 16 * i, 16);
        leaves[{0x80000002u + i, 0}] = r;
    }
}

uint32_t signature(uint32_t family, uint32_t model, uint32_t stepping)
{
    return family << 8 | model << 4 | stepping;
}

struct Caps {
    uint32_t simd, features, coresPerPackage, unitsPerCore, vendor, type, family, model, revision;
    std::string name;
};

struct Processor {
    const char* label;
    Leaves leaves;
    Caps expected;
};

Leaves intelQuadCoreWithHyperThreading()
{
    Leaves l;
    l[{0, 0}] = vendorLeaf(0xD, "GenuineIntel");
    // family 6 model 14; 8 logical units; MMX SSE SSE2 HTT; SSE3 SSSE3 CX16 SSE4.1 SSE4.2 AVX
    l[{1, 0}] = {signature(6, 14, 3), 8u << 16, 1u << 0 | 1u << 9 | 1u << 13 | 1u << 19 | 1u << 20 | 1u << 28,
                 1u << 23 | 1u << 25 | 1u << 26 | 1u << 28};
    l[{4, 0}] = {3u << 26 | 0x121, 0, 0, 0}; // four cores
    l[{0x80000000u, 0}] = {0x80000008u, 0, 0, 0};
    l[{0x80000001u, 0}] = {0, 0, 0, 1u << 29 | 1u << 20 | 1u << 30};
    addBrand(l, "   Intel(R) Core(TM) i7 CPU @ 2.80GHz");
    return l;
}

Leaves amdWithCoreIdSize()
{
    Leaves l;
    l[{0, 0}] = vendorLeaf(0x10, "AuthenticAMD");
    l[{1, 0}] = {signature(15, 1, 1), 16u << 16, 1u << 0, 1u << 23 | 1u << 26 | 1u << 28};
    l[{0x80000000u, 0}] = {0x80000008u, 0, 0, 0};
    // SSE4A, extended 3DNow!, long mode
    l[{0x80000001u, 0}] = {0, 0, 1u << 6, 1u << 30 | 1u << 29};
    l[{0x80000008u, 0}] = {0, 0, 4u << 12 | 7u, 0}; // 2^4 cores: bits 12-15 win over 0-7
    addBrand(l, "AMD EPYC 7B13 64-Core Processor");
    return l;
}

Leaves amdSingleCoreCount()
{
    Leaves l = amdWithCoreIdSize();
    l[{1, 0}].eax = signature(6, 8, 0);
    l[{0x80000008u, 0}] = {0, 0, 0, 0}; // bits 0-7 = 0: one core
    return l;
}

Leaves unknownVendorWithoutExtendedLeaves()
{
    Leaves l;
    l[{0, 0}] = vendorLeaf(1, "SomeVendorXY");
    l[{1, 0}] = {signature(5, 4, 2), 0, 0, 1u << 23 | 1u << 28};
    // Older processors repeat a standard leaf here: not an extended range.
    l[{0x80000000u, 0}] = {0x0000000Du, 0, 0, 0};
    l[{0x80000002u, 0}] = {0x41414141u, 0, 0, 0};
    return l;
}

Leaves nothingAtAll()
{
    Leaves l;
    l[{0, 0}] = vendorLeaf(0, "GenuineIntel");
    l[{1, 0}] = {signature(6, 1, 1), 0, ~0u, ~0u}; // must not be read
    return l;
}

void PrintTo(const Processor& processor, std::ostream* out)
{
    *out << processor.label;
}

class ProcessorIdentificationTest : public ::testing::TestWithParam<Processor> {
protected:
    void SetUp() override
    {
        s_leaves = &GetParam().leaves;
        previous_ = platform::setCpuidFunction(&fakeCpuid);
    }
    void TearDown() override { platform::setCpuidFunction(previous_); }

private:
    platform::CpuidFunction previous_ = nullptr;
};

TEST_P(ProcessorIdentificationTest, CapsFollowTheProcessorWords)
{
    Caps c{~0u, ~0u, ~0u, ~0u, ~0u, ~0u, ~0u, ~0u, ~0u, "stale"};
    IA32::getCPUCaps(c.simd, c.features, c.coresPerPackage, c.unitsPerCore, c.vendor, c.type, c.family, c.model,
                     c.revision, c.name);
    const Caps& e = GetParam().expected;
    EXPECT_EQ(c.simd, e.simd);
    EXPECT_EQ(c.features, e.features);
    EXPECT_EQ(c.coresPerPackage, e.coresPerPackage);
    EXPECT_EQ(c.unitsPerCore, e.unitsPerCore);
    EXPECT_EQ(c.vendor, e.vendor);
    EXPECT_EQ(c.type, e.type);
    EXPECT_EQ(c.family, e.family);
    EXPECT_EQ(c.model, e.model);
    EXPECT_EQ(c.revision, e.revision);
    EXPECT_EQ(c.name, e.name);
    EXPECT_EQ(IA32::CPUID::Standard::uMaxCall, GetParam().leaves.at({0, 0}).eax);
}

INSTANTIATE_TEST_SUITE_P(
    Processors, ProcessorIdentificationTest,
    ::testing::Values(
        Processor{"IntelQuadCoreHT",
                  intelQuadCoreWithHyperThreading(),
                  {IA32::eSIMD_MMX | IA32::eSIMD_SSE | IA32::eSIMD_SSE2 | IA32::eSIMD_SSE3 | IA32::eSIMD_SSSE3 |
                       IA32::eSIMD_SSE41 | IA32::eSIMD_SSE42 | IA32::eSIMD_AVX,
                   IA32::eFeatureHyperThreading | IA32::eFeatureLongMode | IA32::eFeatureNoExecute |
                       IA32::eFeatureMultiCore | IA32::eFeatureCmpXchg16B,
                   4, 2, IA32::eVendorIntel, 3, 6, 14, 3, "Intel(R) Core(TM) i7 CPU @ 2.80GHz"}},
        // Extended EDX bit 30 and ECX bit 6 count only for this vendor.
        Processor{"AmdCoreIdSize",
                  amdWithCoreIdSize(),
                  {IA32::eSIMD_MMX | IA32::eSIMD_SSE2 | IA32::eSIMD_SSE3 | IA32::eSIMD_3DNowExt | IA32::eSIMD_SSE4A,
                   IA32::eFeatureLongMode | IA32::eFeatureMultiCore, 16, 1, IA32::eVendorAMD, 5, 15, 1, 1,
                   "AMD EPYC 7B13 64-Core Processor"}},
        Processor{"AmdOneCore",
                  amdSingleCoreCount(),
                  {IA32::eSIMD_MMX | IA32::eSIMD_SSE2 | IA32::eSIMD_SSE3 | IA32::eSIMD_3DNowExt | IA32::eSIMD_SSE4A,
                   IA32::eFeatureLongMode, 1, 1, IA32::eVendorAMD, 4, 6, 8, 0, "AMD EPYC 7B13 64-Core Processor"}},
        Processor{"UnknownVendor",
                  unknownVendorWithoutExtendedLeaves(),
                  {IA32::eSIMD_MMX, 0, 1, 1, IA32::eVendorUnknown, 0, 5, 4, 2, "<Unkown>"}},
        Processor{"NoLeaves", nothingAtAll(), {0, 0, 1, 1, IA32::eVendorIntel, 0, 0, 0, 0, "<Unkown>"}}),
    [](const ::testing::TestParamInfo<Processor>& info) { return std::string(info.param.label); });

} // namespace
