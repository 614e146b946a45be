#include "fen/ipp/IppCore.h"

#include <atomic>
#include <climits>

namespace {

// Process-wide state. Every field is atomic: concurrent first calls may
// compute the same values twice, but nobody reads a half-written state.
std::atomic<int32_t> ippJumpIndexForMergedLibs{-1};
std::atomic<uint64_t> ownFeatures{0};
std::atomic<int32_t> ownFeaturesAreValid{0};
std::atomic<uint64_t> ownFeaturesMask{kCpuMmx | kCpuSse | kCpuSse2};
std::atomic<int32_t> szCacheMax{-1};
std::atomic<int32_t> szCacheLine{-1};
std::atomic<int32_t> ownStatus{1};

constexpr uint64_t kUnknownFeatureBits = 0x7FFFFFFC00000000ull;
constexpr uint64_t kAvx512Bits = 0x6FF00000ull;
constexpr uint64_t kGetInfoRequest = 0x616F666E69746567ull; // "getinfoa"

bool bit(uint32_t word, int n)
{
    return ((word >> n) & 1u) != 0;
}

bool avxStateEnabled(const platform::CpuidRegisters& leaf1, uint64_t xcr0)
{
    return bit(leaf1.ecx, 27) && bit(leaf1.ecx, 28) && (xcr0 & 0x6) == 0x6;
}

bool avx512StateEnabled(const platform::CpuidRegisters& leaf1, uint64_t xcr0)
{
    return bit(leaf1.ecx, 27) && (xcr0 & 0xE0) == 0xE0;
}

struct BitRule {
    int bitIndex;
    uint64_t feature;
};

uint64_t collect(uint32_t word, const BitRule* rules, int count)
{
    uint64_t features = 0;
    for (int i = 0; i < count; ++i)
        if (bit(word, rules[i].bitIndex))
            features |= rules[i].feature;
    return features;
}

uint64_t leaf1Features(const platform::CpuidRegisters& leaf1)
{
    static const BitRule edx[] = {{23, kCpuMmx}, {25, kCpuSse}, {26, kCpuSse2}};
    static const BitRule ecx[] = {{0, kCpuSse3}, {9, kCpuSsse3}, {22, kCpuMovbe},    {19, kCpuSse41},  {20, kCpuSse42},
                                  {28, kCpuAvx}, {25, kCpuAes},  {1, kCpuPclmulqdq}, {30, kCpuRdrand}, {29, kCpuF16c}};
    uint64_t features = collect(leaf1.edx, edx, 3) | collect(leaf1.ecx, ecx, 10);
    if (((leaf1.eax >> 4) & 0xFF) == 0xB1)
        features |= kCpuManyCore;
    return features;
}

uint64_t leaf7Features(const platform::CpuidRegisters& leaf1, const platform::CpuidRegisters& leaf7)
{
    static const BitRule ebx[] = {{19, kCpuAdx},      {18, kCpuRdseed},   {29, kCpuSha},      {16, kCpuAvx512F},
                                  {28, kCpuAvx512Cd}, {27, kCpuAvx512Er}, {26, kCpuAvx512Pf}, {30, kCpuAvx512Bw},
                                  {17, kCpuAvx512Dq}, {31, kCpuAvx512Vl}, {14, kCpuMpx},      {21, kCpuAvx512Ifma}};
    static const BitRule ecx[] = {{1, kCpuAvx512Vbmi}};
    static const BitRule edx[] = {{3, kCpuAvx5124Fmaps}, {2, kCpuAvx5124Vnniw}};
    uint64_t features = collect(leaf7.ebx, ebx, 12) | collect(leaf7.ecx, ecx, 1) | collect(leaf7.edx, edx, 2);
    if (bit(leaf1.ecx, 12) && bit(leaf7.ebx, 5) && bit(leaf7.ebx, 3) && bit(leaf7.ebx, 8))
        features |= kCpuAvx2Class;
    return features;
}

// One row of the selection table: the first row whose bits the request
// holds gives the index and the class bits.
struct ClassRow {
    uint64_t required;
    int32_t index;
    uint64_t classBits;
};

const ClassRow kClassRows[] = {
    {0x7300000, 4, 0x73081DF},
    {0xF00000, 3, 0xF081DF},
    {0x8000, 3, 0x81DF},
    {0x100, 2, 0x1DF},
    {0x80, 1, 0xDF},
    {0x40, 0, 0x5F},
    {0x20, 0, 0x3F},
    {0x10, 0, 0x1F},
    {0x8, 0, 0xF},
    {0x4, 0, 0x7},
    {0x2, 0, 0x3},
    {0x0, 0, 0x1},
};
constexpr int kClassRowCount = sizeof(kClassRows) / sizeof(kClassRows[0]);

IppCpuWords readHardwareWords()
{
    return ownReadCpuWords(&platform::cpuid, &platform::xgetbv);
}

void storeSelection(const IppSelection& selection)
{
    ippSetCpuFeaturesMask(selection.mask);
    ippJumpIndexForMergedLibs.store(selection.index, std::memory_order_release);
}

void ensureCacheQueried()
{
    if (szCacheMax.load(std::memory_order_acquire) >= 0 || ownStatus.load(std::memory_order_acquire) != 1)
        return;
    const IppCacheInfo info = ownQueryCache(&platform::cpuid);
    // Line and status first, size last: a reader that sees the size or a
    // final status sees the rest too.
    szCacheLine.store(info.lineSize, std::memory_order_relaxed);
    ownStatus.store(info.status, std::memory_order_release);
    szCacheMax.store(info.size, std::memory_order_release);
}

} // namespace

const IppCacheDescriptor tableCache[] = {
    {0xEC, 24u << 20},  {0xEB, 18u << 20},  {0x4D, 16u << 20},  {0xEA, 12u << 20},
    {0x4C, 12u << 20},  {0xE4, 8u << 20},   {0xDE, 8u << 20},   {0x4B, 8u << 20},
    {0x47, 8u << 20},   {0x4E, 6u << 20},   {0x4A, 6u << 20},   {0xE3, 4u << 20},
    {0xDD, 4u << 20},   {0xD8, 4u << 20},   {0x49, 4u << 20},   {0x29, 4u << 20},
    {0x46, 4u << 20},   {0x48, 3u << 20},   {0xE2, 2u << 20},   {0xDC, 2u << 20},
    {0xD7, 2u << 20},   {0xD2, 2u << 20},   {0x25, 2u << 20},   {0x7D, 2u << 20},
    {0x85, 2u << 20},   {0x45, 2u << 20},   {0xD6, 1u << 20},   {0xD1, 1u << 20},
    {0x23, 1u << 20},   {0x87, 1u << 20},   {0x7C, 1u << 20},   {0x78, 1u << 20},
    {0x84, 1u << 20},   {0x44, 1u << 20},   {0xD0, 512u << 10}, {0x22, 512u << 10},
    {0x7B, 512u << 10}, {0x80, 512u << 10}, {0x86, 512u << 10}, {0x3E, 512u << 10},
    {0x7F, 512u << 10}, {0x83, 512u << 10}, {0x43, 512u << 10}, {0x3D, 384u << 10},
    {0x21, 256u << 10}, {0x7A, 256u << 10}, {0x82, 256u << 10}, {0x3C, 256u << 10},
    {0x3F, 256u << 10}, {0x42, 256u << 10}, {0x3A, 192u << 10}, {0x79, 128u << 10},
    {0x39, 128u << 10}, {0x3B, 128u << 10}, {0x41, 128u << 10}, {0, 0},
};

IppCpuWords ownReadCpuWords(platform::CpuidFunction cpuid, platform::XgetbvFunction xgetbv)
{
    IppCpuWords words;
    words.leaf0 = cpuid(0, 0);
    words.leaf1 = cpuid(1, 0);
    if (words.leaf0.eax >= 7)
        words.leaf7 = cpuid(7, 0);
    words.extLeaf0 = cpuid(0x80000000u, 0);
    if (words.extLeaf0.eax >= 0x80000001u)
        words.extLeaf1 = cpuid(0x80000001u, 0);
    if (bit(words.leaf1.ecx, 27))
        words.xcr0 = xgetbv(0);
    return words;
}

uint64_t ownFeaturesFromWords(const IppCpuWords& words)
{
    uint64_t features = leaf1Features(words.leaf1);
    if (avxStateEnabled(words.leaf1, words.xcr0))
        features |= kCpuAvxOsEnabled;
    if (avx512StateEnabled(words.leaf1, words.xcr0))
        features |= kCpuAvx512OsEnabled;
    if (words.leaf0.eax >= 7)
        features |= leaf7Features(words.leaf1, words.leaf7);
    if (words.extLeaf0.eax >= 0x80000001u && bit(words.extLeaf1.ecx, 8))
        features |= kCpuPrefetchw;
    return features;
}

bool ownVendorIsGenuineIntel(const platform::CpuidRegisters& leaf0)
{
    // "Genu" "ineI" "ntel" in EBX, EDX, ECX.
    return leaf0.ebx == 0x756E6547u && leaf0.edx == 0x49656E69u && leaf0.ecx == 0x6C65746Eu;
}

IppSelection ownSelectBuild(uint64_t request, uint64_t detected)
{
    IppStatus warning = kStsOk;
    uint64_t r = request;
    if (r & kCpuRequestUnchecked) {
        r &= ~uint64_t(kCpuRequestUnchecked);
    } else {
        if (r & kUnknownFeatureBits)
            warning = kStsUnknownFeature;
        if ((r & (kCpuAvx | kCpuAvx2Class)) && !(detected & kCpuAvxOsEnabled)) {
            r &= ~uint64_t(kCpuAvx | kCpuAvx2Class);
            warning = kStsFeatureNotAvailable;
        }
        if ((r & kAvx512Bits) && !(detected & kCpuAvx512OsEnabled)) {
            r &= ~kAvx512Bits;
            warning = kStsFeatureNotAvailable;
        }
        if (r & ~detected)
            warning = kStsFeatureNotAvailable;
    }
    int row = 0;
    while (row < kClassRowCount - 1 && (r & kClassRows[row].required) != kClassRows[row].required)
        ++row;
    const ClassRow& chosen = kClassRows[row];
    IppSelection selection{kStsOk, chosen.index, r | chosen.classBits};
    if (warning != kStsOk)
        selection.status = warning;
    else if (row >= kClassRowCount - 2)
        selection.status = kStsCpuNotSupported;
    else if ((r & chosen.classBits) != chosen.classBits)
        selection.status = kStsFeaturesMissing;
    return selection;
}

IppSelection ownInitSelection(const IppCpuWords& words)
{
    const uint64_t detected = ownFeaturesFromWords(words);
    IppSelection selection = ownSelectBuild(detected, detected);
    if (!ownVendorIsGenuineIntel(words.leaf0))
        selection.status = kStsNotGenuineIntel;
    return selection;
}

bool ownBuildIsUsable(int32_t index, uint64_t features)
{
    static const uint64_t kRequired[kIppBuildCount] = {
        0,
        0xDF,
        0x1DF | kCpuAvxOsEnabled,
        0x81DF | kCpuAvxOsEnabled,
        0x73081DF | kCpuAvxOsEnabled | kCpuAvx512OsEnabled,
    };
    if (index < 0 || index >= kIppBuildCount)
        return false;
    return (features & kRequired[index]) == kRequired[index];
}

int32_t ownCacheSizeFromDescriptors(const IppCacheDescriptor* table, const platform::CpuidRegisters& leaf2)
{
    if ((leaf2.eax & 0xFF) != 1)
        return -1;
    uint8_t bytes[16];
    int count = 0;
    const uint32_t registers[4] = {leaf2.eax & 0xFFFFFF00u, leaf2.ebx, leaf2.ecx, leaf2.edx};
    for (uint32_t reg : registers) {
        if (reg & 0x80000000u)
            continue;
        for (int b = 0; b < 4; ++b) {
            const uint8_t value = static_cast<uint8_t>(reg >> (8 * b));
            if (value != 0)
                bytes[count++] = value;
        }
    }
    for (const IppCacheDescriptor* entry = table; entry->descriptor != 0; ++entry)
        for (int i = 0; i < count; ++i)
            if (bytes[i] == entry->descriptor)
                return static_cast<int32_t>(entry->size);
    return -1;
}

IppCacheInfo ownQueryCache(platform::CpuidFunction cpuid)
{
    const platform::CpuidRegisters leaf0 = cpuid(0, 0);
    if (leaf0.eax < 2 || !ownVendorIsGenuineIntel(leaf0))
        return {kStsCpuNotSupported, -1, 0};
    if (leaf0.eax < 4) {
        const int32_t size = ownCacheSizeFromDescriptors(tableCache, cpuid(2, 0));
        if (size < 0)
            return {kStsCacheSizeUnknown, 0, 0};
        return {kStsOk, size, 0};
    }
    int64_t largest = 0;
    int32_t line = 0;
    for (uint32_t subleaf = 0; subleaf < 32; ++subleaf) {
        const platform::CpuidRegisters leaf4 = cpuid(4, subleaf);
        const uint32_t type = leaf4.eax & 0x1F;
        if (type == 0)
            break;
        if (type == 2)
            continue;
        const int64_t ways = ((leaf4.ebx >> 22) & 0x3FF) + 1;
        const int64_t partitions = ((leaf4.ebx >> 12) & 0x3FF) + 1;
        const int64_t lineSize = (leaf4.ebx & 0xFFF) + 1;
        const int64_t sets = int64_t(leaf4.ecx) + 1;
        int64_t size = ways * partitions * lineSize * sets;
        if (size > INT32_MAX)
            size = INT32_MAX;
        if (size > largest) {
            largest = size;
            line = static_cast<int32_t>(lineSize);
        }
    }
    if (largest == 0)
        return {kStsCacheSizeUnknown, 0, 0};
    return {kStsOk, static_cast<int32_t>(largest), line};
}

int32_t ippGetJumpIndex()
{
    return ippJumpIndexForMergedLibs.load(std::memory_order_acquire);
}

int32_t ownForceJumpIndex(int32_t index)
{
    if (index < -1 || index >= kIppBuildCount)
        index = -1;
    return ippJumpIndexForMergedLibs.exchange(index, std::memory_order_acq_rel);
}

IppStatus ippInit()
{
    uint64_t detected = 0;
    if (!ownGetMaskFeatures(&detected)) {
        storeSelection({kStsCpuNotSupported, 0, kCpuMmx | kCpuSse | kCpuSse2});
        return kStsCpuNotSupported;
    }
    int32_t index = 0;
    IppStatus status = ownSetCpuFeaturesAndIdx(detected, &index);
    ippJumpIndexForMergedLibs.store(index, std::memory_order_release);
    if (!ipp_is_GenuineIntel())
        status = kStsNotGenuineIntel;
    return status;
}

IppStatus ippSafeInit()
{
    return ippInit();
}

IppStatus ippGetCpuFeatures(uint64_t* pFeatures, uint32_t* pCpuidRegs)
{
    uint64_t detected = 0;
    if (!ownGetMaskFeatures(&detected))
        return kStsCpuNotSupported;
    if (!pFeatures)
        return kStsNullPtrErr;
    const uint64_t prior = *pFeatures;
    *pFeatures = detected;
    if (pCpuidRegs) {
        const platform::CpuidRegisters r =
            prior == kGetInfoRequest ? platform::cpuid(pCpuidRegs[0], pCpuidRegs[2]) : platform::cpuid(1, 0);
        pCpuidRegs[0] = r.eax;
        pCpuidRegs[1] = r.ebx;
        pCpuidRegs[2] = r.ecx;
        pCpuidRegs[3] = r.edx;
    }
    return kStsOk;
}

IppStatus ippSetCpuFeaturesMask(uint64_t mask)
{
    ownFeaturesMask.store(mask, std::memory_order_release);
    return kStsOk;
}

int32_t ownGetMaskFeatures(uint64_t* pFeatures)
{
    uint64_t features;
    if (ownFeaturesAreValid.load(std::memory_order_acquire)) {
        features = ownFeatures.load(std::memory_order_relaxed);
    } else {
        features = ownFeaturesFromWords(readHardwareWords());
        ownFeatures.store(features, std::memory_order_relaxed);
        ownFeaturesAreValid.store(1, std::memory_order_release);
    }
    if (pFeatures)
        *pFeatures = features;
    return 1;
}

IppStatus ownSetCpuFeaturesAndIdx(uint64_t request, int32_t* pIndex)
{
    uint64_t detected = 0;
    if (request & kCpuRequestUnchecked)
        ownMaskIsFeatures();
    else
        ownGetMaskFeatures(&detected);
    const IppSelection selection = ownSelectBuild(request, detected);
    ippSetCpuFeaturesMask(selection.mask);
    if (pIndex)
        *pIndex = selection.index;
    return selection.status;
}

int32_t ownGetFeature(uint64_t features)
{
    return (ownFeaturesMask.load(std::memory_order_acquire) & features) == features ? 1 : 0;
}

int32_t ownSetFeatureMask(uint64_t mask)
{
    ownFeaturesMask.store(mask, std::memory_order_release);
    return 1;
}

void ownMaskIsFeatures()
{
    ownFeatures.store(ownFeaturesMask.load(std::memory_order_acquire), std::memory_order_relaxed);
    ownFeaturesAreValid.store(1, std::memory_order_release);
}

void ownGetReg(uint32_t* pRegs, uint32_t leaf, uint32_t subleaf)
{
    const platform::CpuidRegisters r = platform::cpuid(leaf, subleaf);
    pRegs[0] = r.eax;
    pRegs[1] = r.ebx;
    pRegs[2] = r.ecx;
    pRegs[3] = r.edx;
}

uint32_t ipp_max_cpuid_input()
{
    return platform::cpuid(0, 0).eax;
}

int32_t ipp_has_cpuid()
{
    return 1;
}

int32_t ipp_is_GenuineIntel()
{
    return ownVendorIsGenuineIntel(platform::cpuid(0, 0)) ? 1 : 0;
}

int32_t ipp_is_avx_extension()
{
    const platform::CpuidRegisters leaf1 = platform::cpuid(1, 0);
    return bit(leaf1.ecx, 27) && avxStateEnabled(leaf1, platform::xgetbv(0)) ? 1 : 0;
}

int32_t ipp_is_avx512_extension()
{
    const platform::CpuidRegisters leaf1 = platform::cpuid(1, 0);
    return bit(leaf1.ecx, 27) && avx512StateEnabled(leaf1, platform::xgetbv(0)) ? 1 : 0;
}

IppStatus ippGetMaxCacheSizeB(int32_t* pSize)
{
    if (!pSize)
        return kStsNullPtrErr;
    ensureCacheQueried();
    *pSize = szCacheMax.load(std::memory_order_acquire);
    return ownStatus.load(std::memory_order_acquire);
}

void ipp_get_cache_line_size(int32_t* pLineSize)
{
    ensureCacheQueried();
    if (pLineSize) {
        const int32_t line = szCacheLine.load(std::memory_order_acquire);
        *pLineSize = line < 0 ? 0 : line;
    }
}

int32_t ownGetCacheSize(const IppCacheDescriptor* table)
{
    return ownCacheSizeFromDescriptors(table, platform::cpuid(2, 0));
}
