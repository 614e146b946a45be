#pragma once
// Processor identification through the CPUID instruction.
#include <cstdint>
#include <string>

namespace CV {
namespace BAS {
namespace IA32 {

struct CPUID {
    struct Standard {
        static uint32_t uMaxCall; // highest standard leaf
    };
    struct Extended {
        static uint32_t uMaxCall; // highest extended leaf (0x8000000n)
    };
};

// Vendor codes.
enum : uint32_t {
    eVendorUnknown = 0,
    eVendorIntel = 1,
    eVendorAMD = 2,
    eVendorCyrix = 5,
    eVendorTransmeta = 6,
};

// Vector extension bits of the SIMD set.
enum : uint32_t {
    eSIMD_MMX = 0x1,
    eSIMD_SSE = 0x2,
    eSIMD_3DNowExt = 0x4,
    eSIMD_SSE2 = 0x8,
    eSIMD_SSE3 = 0x10,
    eSIMD_SSSE3 = 0x20,
    eSIMD_SSE4A = 0x40,
    eSIMD_SSE41 = 0x80,
    eSIMD_SSE42 = 0x100,
    eSIMD_AVX = 0x200,
};

// Bits of the feature set.
enum : uint32_t {
    eFeatureHyperThreading = 0x1,
    eFeatureLongMode = 0x2,
    eFeatureNoExecute = 0x4,
    eFeatureMultiCore = 0x8,
    eFeatureCmpXchg16B = 0x10,
};

// Fills every output; cores per package and units per core are at least
// 1 unless the processor reports otherwise. The processor name is the
// brand text without leading blanks, or "<Unkown>" when there is none.
void getCPUCaps(uint32_t& simd, uint32_t& features, uint32_t& coresPerPackage, uint32_t& unitsPerCore, uint32_t& vendor,
                uint32_t& type, uint32_t& family, uint32_t& model, uint32_t& revision, std::string& name);

} // namespace IA32
} // namespace BAS
} // namespace CV
