#pragma once
// Processor feature detection, build selection, cache-size queries and the
// process-wide dispatch index of the image kernels.
//
// The kernels exist in five builds, one per class of processor:
//   index 0 n8 (below SSE4.2, also the fallback), 1 y8 (SSE4.2),
//   2 e9 (AVX), 3 l9 (AVX2 class), 4 k0 (AVX-512 F/CD/BW/DQ/VL).
// Detection and selection are pure functions of the processor's
// identification words; the stateful entries feed them the words read
// through platform::cpuid and platform::xgetbv.
#include "fen/ipp/IppTypes.h"
#include "platform/cpu/Cpuid.h"

// Feature word bits.
enum IppCpuFeature : uint64_t {
    kCpuMmx = 0x1,
    kCpuSse = 0x2,
    kCpuSse2 = 0x4,
    kCpuSse3 = 0x8,
    kCpuSsse3 = 0x10,
    kCpuMovbe = 0x20,
    kCpuSse41 = 0x40,
    kCpuSse42 = 0x80,
    kCpuAvx = 0x100,
    kCpuAvxOsEnabled = 0x200,
    kCpuAes = 0x400,
    kCpuPclmulqdq = 0x800,
    kCpuRdrand = 0x2000,
    kCpuF16c = 0x4000,
    kCpuAvx2Class = 0x8000,
    kCpuAdx = 0x10000,
    kCpuRdseed = 0x20000,
    kCpuPrefetchw = 0x40000,
    kCpuSha = 0x80000,
    kCpuAvx512F = 0x100000,
    kCpuAvx512Cd = 0x200000,
    kCpuAvx512Er = 0x400000,
    kCpuAvx512Pf = 0x800000,
    kCpuAvx512Bw = 0x1000000,
    kCpuAvx512Dq = 0x2000000,
    kCpuAvx512Vl = 0x4000000,
    kCpuAvx512Vbmi = 0x8000000,
    kCpuMpx = 0x10000000,
    kCpuAvx5124Fmaps = 0x20000000,
    kCpuAvx5124Vnniw = 0x40000000,
    kCpuManyCore = 0x80000000,
    kCpuAvx512Ifma = 0x100000000,
    kCpuAvx512OsEnabled = 0x200000000,
    kCpuRequestUnchecked = 0x8000000000000000,
};

constexpr int32_t kIppBuildCount = 5;

// The identification words that feature detection reads.
struct IppCpuWords {
    platform::CpuidRegisters leaf0; // highest standard leaf, vendor
    platform::CpuidRegisters leaf1;
    platform::CpuidRegisters leaf7; // sub-leaf 0
    platform::CpuidRegisters extLeaf0; // leaf 0x80000000
    platform::CpuidRegisters extLeaf1; // leaf 0x80000001
    uint64_t xcr0 = 0;
};

struct IppSelection {
    IppStatus status;
    int32_t index;
    uint64_t mask;
};

struct IppCacheInfo {
    IppStatus status; // 0, 36 or 37
    int32_t size; // bytes of the largest data or unified cache, -1 when unknown
    int32_t lineSize; // its line size, 0 when not determined
};

// Pure functions.
IppCpuWords ownReadCpuWords(platform::CpuidFunction cpuid, platform::XgetbvFunction xgetbv);
uint64_t ownFeaturesFromWords(const IppCpuWords& words);
bool ownVendorIsGenuineIntel(const platform::CpuidRegisters& leaf0);
// Validates a request against the detected word and picks the build; a
// request with kCpuRequestUnchecked is taken as it is.
IppSelection ownSelectBuild(uint64_t request, uint64_t detected);
// What ippInit decides for a processor: index, mask and status.
IppSelection ownInitSelection(const IppCpuWords& words);
// True when the code of build `index` can run on a processor with these features.
bool ownBuildIsUsable(int32_t index, uint64_t features);
// Cache descriptors of leaf 2 with their sizes, largest first, ended by a
// zero descriptor.
struct IppCacheDescriptor {
    uint32_t descriptor;
    uint32_t size;
};
extern const IppCacheDescriptor tableCache[];
// Size of the first table entry found among the leaf 2 descriptors, or -1.
int32_t ownCacheSizeFromDescriptors(const IppCacheDescriptor* table, const platform::CpuidRegisters& leaf2);
IppCacheInfo ownQueryCache(platform::CpuidFunction cpuid);

// Dispatch state.
int32_t ippGetJumpIndex(); // -1 until initialised
int32_t ownForceJumpIndex(int32_t index); // forces a build (-1 re-arms); returns the previous index
IppStatus ippInit();
IppStatus ippSafeInit();

// Features.
IppStatus ippGetCpuFeatures(uint64_t* pFeatures, uint32_t* pCpuidRegs);
IppStatus ippSetCpuFeaturesMask(uint64_t mask);
int32_t ownGetMaskFeatures(uint64_t* pFeatures);
IppStatus ownSetCpuFeaturesAndIdx(uint64_t request, int32_t* pIndex);
int32_t ownGetFeature(uint64_t features);
int32_t ownSetFeatureMask(uint64_t mask);
void ownMaskIsFeatures();
void ownGetReg(uint32_t* pRegs, uint32_t leaf, uint32_t subleaf);
uint32_t ipp_max_cpuid_input();
int32_t ipp_has_cpuid();
int32_t ipp_is_GenuineIntel();
int32_t ipp_is_avx_extension();
int32_t ipp_is_avx512_extension();

// Cache sizes (queried once per process).
IppStatus ippGetMaxCacheSizeB(int32_t* pSize);
void ipp_get_cache_line_size(int32_t* pLineSize);
int32_t ownGetCacheSize(const IppCacheDescriptor* table);
