#include "BAS/IA32.h"

#include "platform/cpu/Cpuid.h"

#include <cstring>

namespace CV {
namespace BAS {
namespace IA32 {

uint32_t CPUID::Standard::uMaxCall = 0;
uint32_t CPUID::Extended::uMaxCall = 0;

namespace {

constexpr uint32_t kExtendedBase = 0x80000000u;

bool bit(uint32_t word, unsigned index)
{
    return ((word >> index) & 1u) != 0;
}

uint32_t bits(uint32_t word, unsigned low, unsigned count)
{
    return (word >> low) & ((1u << count) - 1u);
}

uint32_t vendorCode(const platform::CpuidRegisters& leaf0)
{
    char text[13] = {};
    std::memcpy(text, &leaf0.ebx, 4);
    std::memcpy(text + 4, &leaf0.edx, 4);
    std::memcpy(text + 8, &leaf0.ecx, 4);
    struct Vendor {
        const char* text;
        uint32_t code;
    };
    static const Vendor vendors[] = {
        {"GenuineIntel", eVendorIntel},
        {"AuthenticAMD", eVendorAMD},
        {"CyrixInstead", eVendorCyrix},
        {"GenuineTMx86", eVendorTransmeta},
    };
    for (const Vendor& v : vendors)
        if (std::strcmp(text, v.text) == 0)
            return v.code;
    return eVendorUnknown;
}

uint32_t simdOfLeaf1(const platform::CpuidRegisters& leaf1)
{
    struct Source {
        bool inEdx;
        unsigned bit;
        uint32_t flag;
    };
    static const Source sources[] = {
        {true, 23, eSIMD_MMX},   {true, 25, eSIMD_SSE},    {true, 26, eSIMD_SSE2},   {false, 0, eSIMD_SSE3},
        {false, 9, eSIMD_SSSE3}, {false, 19, eSIMD_SSE41}, {false, 20, eSIMD_SSE42}, {false, 28, eSIMD_AVX},
    };
    uint32_t simd = 0;
    for (const Source& s : sources)
        if (bit(s.inEdx ? leaf1.edx : leaf1.ecx, s.bit))
            simd |= s.flag;
    return simd;
}

// The 48 characters of leaves 0x80000002..4, as far as the processor has
// them, up to the first NUL.
std::string brandText(uint32_t maxExtended)
{
    char text[49] = {};
    for (uint32_t i = 0; i < 3; ++i) {
        const uint32_t leaf = kExtendedBase + 2 + i;
        if (maxExtended < leaf)
            break;
        const platform::CpuidRegisters r = platform::cpuid(leaf, 0);
        const uint32_t words[] = {r.eax, r.ebx, r.ecx, r.edx};
        std::memcpy(text + 16 * i, words, 16);
    }
    return text;
}

std::string processorName(const std::string& brand)
{
    const std::size_t first = brand.find_first_not_of(' ');
    if (first == std::string::npos)
        return "<Unkown>";
    return brand.substr(first);
}

void identifyIntel(const platform::CpuidRegisters& leaf1, uint32_t family, uint32_t model, uint32_t& type,
                   uint32_t& features, uint32_t& coresPerPackage, uint32_t& unitsPerCore)
{
    if (family == 6)
        type = model <= 12 ? 1 : 3;
    else if (family == 15)
        type = 2;
    if (!bit(leaf1.edx, 28))
        return;
    unitsPerCore = bits(leaf1.ebx, 16, 8);
    if (CPUID::Standard::uMaxCall < 4)
        return;
    const platform::CpuidRegisters leaf4 = platform::cpuid(4, 0);
    coresPerPackage = bits(leaf4.eax, 26, 6) + 1;
    if (coresPerPackage > 1)
        features |= eFeatureMultiCore;
    unitsPerCore /= coresPerPackage;
    if (unitsPerCore >= 2)
        features |= eFeatureHyperThreading;
}

void identifyAMD(uint32_t family, const platform::CpuidRegisters& extended1, uint32_t& type, uint32_t& simd,
                 uint32_t& features, uint32_t& coresPerPackage)
{
    if (family == 6)
        type = 4;
    else if (family == 15)
        type = 5;
    if (bit(extended1.ecx, 6))
        simd |= eSIMD_SSE4A;
    if (bit(extended1.edx, 30))
        simd |= eSIMD_3DNowExt;
    if (CPUID::Extended::uMaxCall < kExtendedBase + 8)
        return;
    const platform::CpuidRegisters extended8 = platform::cpuid(kExtendedBase + 8, 0);
    const uint32_t coreIdSize = bits(extended8.ecx, 12, 4);
    coresPerPackage = coreIdSize != 0 ? 1u << coreIdSize : bits(extended8.ecx, 0, 8) + 1;
    if (coresPerPackage >= 2)
        features |= eFeatureMultiCore;
}

} // namespace

void getCPUCaps(uint32_t& simd, uint32_t& features, uint32_t& coresPerPackage, uint32_t& unitsPerCore, uint32_t& vendor,
                uint32_t& type, uint32_t& family, uint32_t& model, uint32_t& revision, std::string& name)
{
    simd = features = vendor = type = family = model = revision = 0;
    coresPerPackage = unitsPerCore = 1;

    const platform::CpuidRegisters leaf0 = platform::cpuid(0, 0);
    CPUID::Standard::uMaxCall = leaf0.eax;
    vendor = vendorCode(leaf0);
    platform::CpuidRegisters leaf1;
    if (CPUID::Standard::uMaxCall != 0) {
        leaf1 = platform::cpuid(1, 0);
        family = bits(leaf1.eax, 8, 4);
        model = bits(leaf1.eax, 4, 4);
        revision = bits(leaf1.eax, 0, 4);
        simd = simdOfLeaf1(leaf1);
        if (bit(leaf1.ecx, 13))
            features |= eFeatureCmpXchg16B;
    }

    CPUID::Extended::uMaxCall = platform::cpuid(kExtendedBase, 0).eax;
    platform::CpuidRegisters extended1;
    // Processors without extended leaves answer with other leaves' words:
    // only a value in the extended range names real extended leaves.
    if (CPUID::Extended::uMaxCall > kExtendedBase) {
        extended1 = platform::cpuid(kExtendedBase + 1, 0);
        if (bit(extended1.edx, 29))
            features |= eFeatureLongMode;
        if (bit(extended1.edx, 20))
            features |= eFeatureNoExecute;
    }
    name = processorName(brandText(CPUID::Extended::uMaxCall));

    if (vendor == eVendorIntel)
        identifyIntel(leaf1, family, model, type, features, coresPerPackage, unitsPerCore);
    else if (vendor == eVendorAMD)
        identifyAMD(family, extended1, type, simd, features, coresPerPackage);
}

} // namespace IA32
} // namespace BAS
} // namespace CV
