#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiAlphaComp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using platform::CpuidRegisters;

constexpr uint32_t bitOf(int n)
{
    return 1u << n;
}

// Leaf 1 words of a few processor generations.
constexpr uint32_t kEdxSse2 = bitOf(23) | bitOf(25) | bitOf(26);
constexpr uint32_t kEcxSse41 = bitOf(0) | bitOf(9) | bitOf(19);
constexpr uint32_t kEcxSse42 = kEcxSse41 | bitOf(20);
constexpr uint32_t kEcxAvx = kEcxSse42 | bitOf(27) | bitOf(28);
constexpr uint32_t kEcxAvx2 = kEcxAvx | bitOf(12);
constexpr uint32_t kEbx7Avx2 = bitOf(3) | bitOf(5) | bitOf(8);
constexpr uint32_t kEbx7Avx512Knl = kEbx7Avx2 | bitOf(16) | bitOf(26) | bitOf(27) | bitOf(28);
constexpr uint32_t kEbx7Avx512Server = kEbx7Avx2 | bitOf(16) | bitOf(17) | bitOf(28) | bitOf(30) | bitOf(31);

// "GenuineIntel" and "AuthenticAMD" in EBX, EDX, ECX.
CpuidRegisters intelLeaf0(uint32_t maxLeaf)
{
    return {maxLeaf, 0x756E6547u, 0x6C65746Eu, 0x49656E69u};
}
CpuidRegisters otherLeaf0(uint32_t maxLeaf)
{
    return {maxLeaf, 0x68747541u, 0x444D4163u, 0x69746E65u};
}

IppCpuWords words(CpuidRegisters leaf0, uint32_t ecx1, uint32_t ebx7, uint64_t xcr0, uint32_t eax1 = 0)
{
    IppCpuWords w;
    w.leaf0 = leaf0;
    w.leaf1 = {eax1, 0, ecx1, kEdxSse2};
    w.leaf7 = {0, ebx7, 0, 0};
    w.extLeaf0 = {0x80000008u, 0, 0, 0};
    w.extLeaf1 = {0, 0, bitOf(8), bitOf(29)};
    w.xcr0 = xcr0;
    return w;
}

struct FeatureCase {
    const char* name;
    IppCpuWords words;
    uint64_t expected;
};

TEST(CpuFeatures, FeatureWordFromProcessorWords)
{
    IppCpuWords noExtendedLeaf = words(intelLeaf0(1), kEcxSse42, 0, 0);
    noExtendedLeaf.extLeaf0.eax = 0x80000000u;
    const FeatureCase cases[] = {
        {"sse4.2", words(intelLeaf0(1), kEcxSse42, 0, 0), 0xDF | kCpuPrefetchw},
        {"leaf 7 ignored below max leaf 7", words(intelLeaf0(6), kEcxAvx2, kEbx7Avx2, 0x7), 0x3DF | kCpuPrefetchw},
        {"avx without OS state", words(intelLeaf0(7), kEcxAvx, 0, 0x3), 0x1DF | kCpuPrefetchw},
        {"avx2 class", words(intelLeaf0(7), kEcxAvx2, kEbx7Avx2, 0x7), 0x83DF | kCpuPrefetchw},
        {"avx2 class needs bmi2", words(intelLeaf0(7), kEcxAvx2, kEbx7Avx2 & ~bitOf(8), 0x7), 0x3DF | kCpuPrefetchw},
        {"avx2 class needs fma", words(intelLeaf0(7), kEcxAvx, kEbx7Avx2, 0x7), 0x3DF | kCpuPrefetchw},
        {"avx-512 server", words(intelLeaf0(0xD), kEcxAvx2, kEbx7Avx512Server, 0xE7),
         0x73083DF | kCpuAvx512OsEnabled | kCpuPrefetchw},
        {"avx-512 state needs xcr0 bits 5-7", words(intelLeaf0(0xD), kEcxAvx2, kEbx7Avx512Server, 0x67),
         0x73083DF | kCpuPrefetchw},
        {"many-core family 11 model 1", words(intelLeaf0(1), kEcxSse42, 0, 0, 0xB10),
         0xDF | kCpuManyCore | kCpuPrefetchw},
        {"prefetchw needs extended leaf 1", noExtendedLeaf, 0xDF},
    };
    for (const FeatureCase& c : cases)
        EXPECT_EQ(ownFeaturesFromWords(c.words), c.expected) << c.name;
}

struct SelectionCase {
    const char* name;
    uint64_t request;
    uint64_t detected;
    int32_t index;
    IppStatus status;
    uint64_t mask;
};

TEST(CpuFeatures, SelectionTable)
{
    constexpr uint64_t avx2 = 0x83DF;
    constexpr uint64_t server = 0x73083DF | kCpuAvx512OsEnabled;
    constexpr uint64_t knl = 0xF083DF | kCpuAvx512OsEnabled;
    const SelectionCase cases[] = {
        {"avx2 class selects l9", avx2, avx2, 3, kStsOk, avx2},
        {"avx-512 F CD BW DQ VL selects k0", server, server, 4, kStsOk, server},
        {"avx-512 F CD ER PF selects l9", knl, knl, 3, kStsOk, knl},
        {"avx selects e9", 0x3DF, 0x3DF, 2, kStsOk, 0x3DF},
        {"avx without OS state falls to y8", 0x1DF, 0x1DF, 1, kStsFeatureNotAvailable, 0xDF},
        {"avx-512 without OS state falls to l9", server & ~kCpuAvx512OsEnabled, server & ~kCpuAvx512OsEnabled, 3,
         kStsFeatureNotAvailable, avx2},
        {"sse4.2 selects y8", 0xDF, 0xDF, 1, kStsOk, 0xDF},
        {"sse4.1 without sse4.2 selects n8", 0x5F, 0x5F, 0, kStsOk, 0x5F},
        {"sse2 only", 0x7, 0x7, 0, kStsOk, 0x7},
        {"sse without sse2 is not supported", 0x3, 0x3, 0, kStsCpuNotSupported, 0x3},
        {"nothing at all", 0x0, 0x0, 0, kStsCpuNotSupported, 0x1},
        {"request lacking its class bits", 0x40, 0x5F, 0, kStsFeaturesMissing, 0x5F},
        {"request beyond the processor", avx2, 0x3DF, 3, kStsFeatureNotAvailable, avx2},
        {"unknown bits are also missing ones", 0xDF | 0x400000000ull, 0xDF, 1, kStsFeatureNotAvailable,
         0xDF | 0x400000000ull},
        {"unchecked request is taken as it is", avx2 | kCpuRequestUnchecked, 0x7, 3, kStsOk, avx2},
    };
    for (const SelectionCase& c : cases) {
        const IppSelection s = ownSelectBuild(c.request, c.detected);
        EXPECT_EQ(s.index, c.index) << c.name;
        EXPECT_EQ(s.status, c.status) << c.name;
        EXPECT_EQ(s.mask, c.mask) << c.name;
    }
}

struct InitCase {
    const char* name;
    IppCpuWords words;
    int32_t index;
    IppStatus status;
};

TEST(CpuFeatures, InitSelectsByFeaturesWhateverTheVendor)
{
    const InitCase cases[] = {
        {"intel avx2", words(intelLeaf0(0xD), kEcxAvx2, kEbx7Avx2, 0x7), 3, kStsOk},
        {"other vendor avx2", words(otherLeaf0(0xD), kEcxAvx2, kEbx7Avx2, 0x7), 3, kStsNotGenuineIntel},
        {"avx not saved by the OS", words(intelLeaf0(0xD), kEcxAvx2, kEbx7Avx2, 0x3), 1, kStsFeatureNotAvailable},
        {"avx-512 server", words(intelLeaf0(0xD), kEcxAvx2, kEbx7Avx512Server, 0xE7), 4, kStsOk},
        {"avx-512 many-core", words(intelLeaf0(0xD), kEcxAvx2, kEbx7Avx512Knl, 0xE7), 3, kStsOk},
        {"sse4.1 only", words(intelLeaf0(1), kEcxSse41, 0, 0), 0, kStsOk},
    };
    for (const InitCase& c : cases) {
        const IppSelection s = ownInitSelection(c.words);
        EXPECT_EQ(s.index, c.index) << c.name;
        EXPECT_EQ(s.status, c.status) << c.name;
    }
}

// A scripted processor for the cache queries.
struct FakeProcessor {
    CpuidRegisters leaf0;
    CpuidRegisters leaf2;
    std::vector<CpuidRegisters> leaf4;
    int calls = 0;
};
FakeProcessor* g_processor = nullptr;

CpuidRegisters fakeCpuid(uint32_t leaf, uint32_t subleaf)
{
    ++g_processor->calls;
    if (leaf == 0)
        return g_processor->leaf0;
    if (leaf == 2)
        return g_processor->leaf2;
    if (leaf == 4)
        return subleaf < g_processor->leaf4.size() ? g_processor->leaf4[subleaf] : CpuidRegisters{};
    return {leaf, subleaf, 0xC0FFEEu, 0xBEEFu};
}

// Leaf 4 word of a cache: type, ways, line, sets.
CpuidRegisters cacheLeaf(uint32_t type, uint32_t ways, uint32_t line, uint32_t sets)
{
    return {type, ((ways - 1) << 22) | (line - 1), sets - 1, 0};
}

struct CacheCase {
    const char* name;
    FakeProcessor processor;
    IppCacheInfo expected;
};

TEST(CpuCache, QueryTable)
{
    const CacheCase cases[] = {
        {"other vendor", {otherLeaf0(0xD), {}, {}}, {kStsCpuNotSupported, -1, 0}},
        {"no leaf 2", {intelLeaf0(1), {}, {}}, {kStsCpuNotSupported, -1, 0}},
        {"descriptors: largest listed first wins",
         {intelLeaf0(3), {0x2C000001u, 0x00004978u, 0, 0}, {}},
         {kStsOk, 4 << 20, 0}},
        {"register with bit 31 holds no descriptors",
         {intelLeaf0(3), {0x00000001u, 0x80000049u, 0, 0}, {}},
         {kStsCacheSizeUnknown, 0, 0}},
        {"leaf 2 not ready", {intelLeaf0(3), {0x49000002u, 0, 0, 0}, {}}, {kStsCacheSizeUnknown, 0, 0}},
        {"deterministic leaf 4, instruction cache skipped",
         {intelLeaf0(0xD),
          {},
          {cacheLeaf(1, 8, 64, 64), cacheLeaf(2, 8, 64, 8192), cacheLeaf(3, 4, 64, 1024), cacheLeaf(3, 16, 128, 4096)}},
         {kStsOk, 16 * 128 * 4096, 128}},
        {"no cache in leaf 4", {intelLeaf0(0xD), {}, {}}, {kStsCacheSizeUnknown, 0, 0}},
    };
    for (const CacheCase& c : cases) {
        FakeProcessor processor = c.processor;
        g_processor = &processor;
        const IppCacheInfo info = ownQueryCache(&fakeCpuid);
        EXPECT_EQ(info.status, c.expected.status) << c.name;
        EXPECT_EQ(info.size, c.expected.size) << c.name;
        EXPECT_EQ(info.lineSize, c.expected.lineSize) << c.name;
    }
    g_processor = nullptr;
}

class FakeCpuidScope {
public:
    explicit FakeCpuidScope(FakeProcessor& processor)
    {
        g_processor = &processor;
        m_previous = platform::setCpuidFunction(&fakeCpuid);
    }
    ~FakeCpuidScope()
    {
        platform::setCpuidFunction(m_previous);
        g_processor = nullptr;
    }

private:
    platform::CpuidFunction m_previous;
};

TEST(CpuCache, QueriedOncePerProcess)
{
    EXPECT_EQ(ippGetMaxCacheSizeB(nullptr), kStsNullPtrErr);
    FakeProcessor processor{otherLeaf0(0xD), {}, {}};
    FakeCpuidScope scope(processor);
    int32_t first = 0, second = 0;
    const IppStatus firstStatus = ippGetMaxCacheSizeB(&first);
    const int callsAfterFirst = processor.calls;
    const IppStatus secondStatus = ippGetMaxCacheSizeB(&second);
    int32_t line = -5;
    ipp_get_cache_line_size(&line);
    EXPECT_EQ(secondStatus, firstStatus);
    EXPECT_EQ(second, first);
    EXPECT_EQ(processor.calls, callsAfterFirst);
    EXPECT_GE(line, 0);
}

TEST(CpuFeatures, GetCpuFeaturesFillsRegisters)
{
    EXPECT_EQ(ippGetCpuFeatures(nullptr, nullptr), kStsNullPtrErr); // also detects the real processor
    FakeProcessor processor{intelLeaf0(0xD), {}, {}};
    FakeCpuidScope scope(processor);

    uint64_t features = 0;
    uint32_t regs[4] = {7, 0, 3, 0};
    ASSERT_EQ(ippGetCpuFeatures(&features, regs), kStsOk);
    EXPECT_EQ(regs[0], 1u) << "leaf 1 unless the word asks otherwise";
    EXPECT_EQ(regs[1], 0u);

    features = 0x616F666E69746567ull; // "getinfoa"
    uint32_t asked[4] = {7, 0, 3, 0};
    ASSERT_EQ(ippGetCpuFeatures(&features, asked), kStsOk);
    EXPECT_EQ(asked[0], 7u);
    EXPECT_EQ(asked[1], 3u);
    EXPECT_EQ(asked[2], 0xC0FFEEu);
    EXPECT_NE(features, 0x616F666E69746567ull);
}

TEST(CpuFeatures, MaskAnswersFeatureQueries)
{
    ippSetCpuFeaturesMask(kCpuSse2 | kCpuAvx2Class);
    EXPECT_EQ(ownGetFeature(kCpuAvx2Class), 1);
    EXPECT_EQ(ownGetFeature(kCpuAvx2Class | kCpuMpx), 0);
    ownSetFeatureMask(kCpuAvx2Class | kCpuMpx);
    EXPECT_EQ(ownGetFeature(kCpuAvx2Class | kCpuMpx), 1);
}

// The first kernel call initialises the dispatch; racing first calls from
// several threads all see one consistent selection.
TEST(Dispatch, FirstCallsInitialiseConsistently)
{
    ownForceJumpIndex(-1);
    constexpr int kThreads = 8;
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    std::vector<std::vector<Ipp8u>> results(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::vector<Ipp8u> src(64 * 4), dst(64 * 4);
            for (size_t i = 0; i < src.size(); ++i) {
                src[i] = static_cast<Ipp8u>(i * 7 + 3);
                dst[i] = static_cast<Ipp8u>(i * 13 + 1);
            }
            ready.fetch_add(1);
            while (ready.load() < kThreads) { }
            EXPECT_EQ(ippiAlphaComp_8u_AC4IR(src.data(), 256, dst.data(), 256, {64, 1}, kAlphaOver), kStsOk);
            results[t] = dst;
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int t = 1; t < kThreads; ++t)
        EXPECT_EQ(results[t], results[0]);

    const IppSelection expected =
        ownInitSelection(ownReadCpuWords(&platform::hardwareCpuid, &platform::hardwareXgetbv));
    EXPECT_EQ(ippGetJumpIndex(), expected.index);
    EXPECT_EQ(ippInit(), expected.status);
    EXPECT_TRUE(ownBuildIsUsable(
        ippGetJumpIndex(), ownFeaturesFromWords(ownReadCpuWords(&platform::hardwareCpuid, &platform::hardwareXgetbv))));
}

} // namespace
