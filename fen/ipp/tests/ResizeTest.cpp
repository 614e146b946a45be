#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiResize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct ResizeBuild {
    const char* name;
    int32_t index;
    decltype(&n8_ippiResizeGetSize_8u) getSize;
    decltype(&n8_ippiResizeGetBufferSize_8u) getBufferSize;
    decltype(&n8_ippiResizeNearestInit_8u) init;
    decltype(&n8_ippiResizeNearest_8u_C4R) resize;
    bool forceGather;
};

void PrintTo(const ResizeBuild& build, std::ostream* os)
{
    *os << build.name;
}

#define FEN_IPP_RESIZE_BUILD(prefix, index, gather)                                                                    \
    ResizeBuild                                                                                                        \
    {                                                                                                                  \
#prefix, index, &prefix##_ippiResizeGetSize_8u, &prefix##_ippiResizeGetBufferSize_8u,                          \
            &prefix##_ippiResizeNearestInit_8u, &prefix##_ippiResizeNearest_8u_C4R, gather                             \
    }

const ResizeBuild kResizeBuilds[] = {
    FEN_IPP_RESIZE_BUILD(n8, 0, false), FEN_IPP_RESIZE_BUILD(y8, 1, false), FEN_IPP_RESIZE_BUILD(e9, 2, false),
    FEN_IPP_RESIZE_BUILD(l9, 3, false), FEN_IPP_RESIZE_BUILD(k0, 4, false),
};
const ResizeBuild kGatherBuilds[] = {
    FEN_IPP_RESIZE_BUILD(l9, 3, true),
    FEN_IPP_RESIZE_BUILD(k0, 4, true),
};

bool hostRuns(int32_t index)
{
    return ownBuildIsUsable(index,
                            ownFeaturesFromWords(ownReadCpuWords(&platform::hardwareCpuid, &platform::hardwareXgetbv)));
}

// The source index of destination index k, as a plain model.
int32_t modelIndex(int k, int srcLength, int dstLength)
{
    const double ratio = double(srcLength) / double(dstLength);
    return int32_t((k + 0.5) * ratio - 1e-10);
}

std::vector<uint32_t> numberedPixels(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(i * 2654435761u) ^ 0xA5000000u; // every byte differs, alpha included
    return pixels;
}

// Record, work buffer and the calls in the documented order.
class Resizer {
public:
    Resizer(const ResizeBuild& build, IppiSize src, IppiSize dst)
        : m_build(build)
    {
        int32_t specSize = 0, initSize = 0;
        EXPECT_EQ(build.getSize(src, dst, kInterpolationNearest, 0, &specSize, &initSize), kStsOk);
        m_spec.assign(size_t(specSize), 0);
        EXPECT_EQ(build.init(src, dst, m_spec.data()), kStsOk);
        int32_t bufferSize = 0;
        EXPECT_EQ(build.getBufferSize(m_spec.data(), dst, 4, &bufferSize), kStsOk);
        m_buffer.assign(size_t(bufferSize), 0);
    }

    IppStatus resize(const uint32_t* src, int srcWidth, uint32_t* dst, int dstWidth, IppiPoint offset, IppiSize size)
    {
        return m_build.resize(reinterpret_cast<const Ipp8u*>(src), srcWidth * 4, reinterpret_cast<Ipp8u*>(dst),
                              dstWidth * 4, offset, size, m_spec.data(), m_buffer.data());
    }

    const IppiResizeSpec& record() const { return *reinterpret_cast<const IppiResizeSpec*>(aligned()); }
    const int32_t* columns() const
    {
        return reinterpret_cast<const int32_t*>(aligned() + record().horizontal.tableOffset);
    }
    std::vector<Ipp8u>& specBuffer() { return m_spec; }
    std::vector<Ipp8u>& workBuffer() { return m_buffer; }

private:
    const Ipp8u* aligned() const
    {
        const uintptr_t address = reinterpret_cast<uintptr_t>(m_spec.data());
        return m_spec.data() + ((64 - address % 64) % 64);
    }

    ResizeBuild m_build;
    std::vector<Ipp8u> m_spec;
    std::vector<Ipp8u> m_buffer;
};

class ResizeBuildTest : public ::testing::TestWithParam<ResizeBuild> {
protected:
    void SetUp() override
    {
        if (!hostRuns(GetParam().index))
            GTEST_SKIP() << "this processor cannot run the " << GetParam().name << " build";
        m_savedMask = 0;
        if (GetParam().forceGather) {
            ippInit();
            uint64_t features = 0;
            ippGetCpuFeatures(&features, nullptr);
            // The mask normally holds the detected features; add the pair
            // that switches the wide builds to their gather loop.
            ownSetFeatureMask(features | kCpuAvx2Class | kCpuMpx);
            m_savedMask = features;
        }
    }
    void TearDown() override
    {
        if (GetParam().forceGather && m_savedMask)
            ownSetFeatureMask(m_savedMask);
    }

private:
    uint64_t m_savedMask = 0;
};

struct MappingCase {
    int src;
    int dst;
    std::vector<int32_t> columns;
};

TEST_P(ResizeBuildTest, ColumnMapping)
{
    const MappingCase cases[] = {
        {2, 4, {0, 0, 1, 1}}, {4, 2, {0, 2}}, {3, 2, {0, 2}}, {2, 3, {0, 0, 1}}, {5, 5, {0, 1, 2, 3, 4}},
    };
    for (const MappingCase& c : cases) {
        Resizer resizer(GetParam(), {c.src, 1}, {c.dst, 1});
        EXPECT_EQ(std::vector<int32_t>(resizer.columns(), resizer.columns() + c.dst), c.columns)
            << c.src << " to " << c.dst;
        const std::vector<uint32_t> src = numberedPixels(c.src, 1);
        std::vector<uint32_t> dst(c.dst, 0);
        ASSERT_EQ(resizer.resize(src.data(), c.src, dst.data(), c.dst, {0, 0}, {c.dst, 1}), kStsOk);
        for (int j = 0; j < c.dst; ++j)
            EXPECT_EQ(dst[j], src[c.columns[j]]) << c.src << " to " << c.dst << " column " << j;
    }
}

// Whole pictures against the plain model, up and down and in between.
TEST_P(ResizeBuildTest, WholePictureMatchesModel)
{
    const std::pair<IppiSize, IppiSize> cases[] = {
        {{37, 23}, {80, 45}},    {{80, 45}, {37, 23}},  {{64, 64}, {64, 64}},
        {{100, 50}, {200, 100}}, {{300, 7}, {1001, 9}}, {{1001, 9}, {300, 7}},
    };
    for (const auto& c : cases) {
        const IppiSize s = c.first, d = c.second;
        Resizer resizer(GetParam(), s, d);
        const std::vector<uint32_t> src = numberedPixels(s.width, s.height);
        std::vector<uint32_t> dst(size_t(d.width) * d.height, 0);
        ASSERT_EQ(resizer.resize(src.data(), s.width, dst.data(), d.width, {0, 0}, d), kStsOk);
        int mismatches = 0;
        for (int i = 0; i < d.height; ++i)
            for (int j = 0; j < d.width; ++j) {
                const uint32_t want =
                    src[size_t(modelIndex(i, s.height, d.height)) * s.width + modelIndex(j, s.width, d.width)];
                mismatches += dst[size_t(i) * d.width + j] != want;
            }
        EXPECT_EQ(mismatches, 0) << s.width << "x" << s.height << " to " << d.width << "x" << d.height;
    }
}

// A tile at (x, y) with the source pointer at (x0, y0) writes what the whole
// resize writes there; a tile reaching past the record is cut and reported.
TEST_P(ResizeBuildTest, TilesMatchWholeResize)
{
    const IppiSize s{45, 31}, d{97, 70};
    Resizer resizer(GetParam(), s, d);
    const std::vector<uint32_t> src = numberedPixels(s.width, s.height);
    std::vector<uint32_t> whole(size_t(d.width) * d.height, 0);
    ASSERT_EQ(resizer.resize(src.data(), s.width, whole.data(), d.width, {0, 0}, d), kStsOk);

    const IppiResizeSpec& record = resizer.record();
    const double rx = double(record.horizontal.srcReduced) / record.horizontal.dstReduced;
    const double ry = double(record.vertical.srcReduced) / record.vertical.dstReduced;
    struct Tile {
        IppiPoint offset;
        IppiSize size;
        IppStatus status;
    };
    const Tile tiles[] = {{{10, 20}, {33, 17}, kStsOk},
                          {{90, 60}, {40, 40}, kStsOk},
                          {{0, 0}, {120, 70}, kStsSizeLimited}};
    for (const Tile& t : tiles) {
        const int x0 = int(std::floor(t.offset.x * rx)), y0 = int(std::floor(t.offset.y * ry));
        std::vector<uint32_t> tile(size_t(d.width) * d.height, 0);
        uint32_t* out = &tile[size_t(t.offset.y) * d.width + t.offset.x];
        ASSERT_EQ(resizer.resize(&src[size_t(y0) * s.width + x0], s.width, out, d.width, t.offset, t.size), t.status);
        for (int i = 0; i < d.height; ++i)
            for (int j = 0; j < d.width; ++j) {
                const bool inside = i >= t.offset.y && i < t.offset.y + t.size.height && j >= t.offset.x &&
                    j < t.offset.x + t.size.width;
                const uint32_t want = inside ? whole[size_t(i) * d.width + j] : 0;
                ASSERT_EQ(tile[size_t(i) * d.width + j], want) << "tile at " << t.offset.x << "," << t.offset.y;
            }
    }
}

TEST_P(ResizeBuildTest, SizeQueries)
{
    struct SizeCase {
        const char* name;
        IppiSize src, dst;
        int32_t type;
        uint32_t antialiasing;
        IppStatus status;
        int32_t specSize, initSize;
    };
    const SizeCase cases[] = {
        {"nearest", {100, 50}, {200, 100}, 1, 0, kStsOk, 1712, 64},
        {"nearest, antialiasing ignored", {100, 50}, {200, 100}, 1, 1, kStsAntialiasIgnored, 1712, 64},
        {"cubic", {100, 50}, {200, 100}, 6, 0, kStsOk, 7344, 1472},
        {"linear antialiased, enlarging", {100, 50}, {200, 100}, 2, 1, kStsOk, 4912, 2880},
        {"super-sampling", {100, 50}, {40, 20}, 8, 0, kStsOk, 608, 64},
        {"super-sampling cannot enlarge", {100, 50}, {200, 100}, 8, 0, kStsSizeErr, -1, -1},
        {"linear needs two source columns", {1, 50}, {200, 100}, 2, 0, kStsSizeErr, -1, -1},
        {"type 0", {100, 50}, {200, 100}, 0, 0, kStsModeErr, -1, -1},
        {"type 3", {100, 50}, {200, 100}, 3, 0, kStsInterpolationErr, -1, -1},
        {"zero width", {0, 50}, {200, 100}, 3, 0, kStsNothingToDo, -1, -1},
        {"negative width", {-5, 50}, {200, 100}, 1, 0, kStsSizeErr, -1, -1},
        {"too large", {100, 50}, {0x7FFFFF00, 100}, 1, 0, kStsSizeOverflowErr, -1, -1},
    };
    for (const SizeCase& c : cases) {
        int32_t spec = -1, init = -1;
        EXPECT_EQ(GetParam().getSize(c.src, c.dst, c.type, c.antialiasing, &spec, &init), c.status) << c.name;
        EXPECT_EQ(spec, c.specSize) << c.name;
        EXPECT_EQ(init, c.initSize) << c.name;
    }
    int32_t spec = 0;
    EXPECT_EQ(GetParam().getSize({1, 1}, {1, 1}, 1, 0, &spec, nullptr), kStsNullPtrErr);
}

TEST_P(ResizeBuildTest, WorkBufferSizes)
{
    Resizer resizer(GetParam(), {100, 50}, {200, 100});
    const Ipp8u* spec = resizer.specBuffer().data();
    int32_t size = 0;
    for (uint32_t channels : {1u, 3u, 4u}) {
        EXPECT_EQ(GetParam().getBufferSize(spec, {200, 100}, channels, &size), kStsOk);
        EXPECT_EQ(size, 1280) << channels;
    }
    EXPECT_EQ(GetParam().getBufferSize(spec, {200, 100}, 2, &size), kStsChannelErr);
    EXPECT_EQ(GetParam().getBufferSize(spec, {300, 100}, 4, &size), kStsSizeLimited);
    EXPECT_EQ(size, 1280);
    EXPECT_EQ(GetParam().getBufferSize(spec, {0, 100}, 4, &size), kStsNothingToDo);
    EXPECT_EQ(GetParam().getBufferSize(nullptr, {200, 100}, 4, &size), kStsNullPtrErr);
}

TEST_P(ResizeBuildTest, ResizeErrorsTouchNothing)
{
    Resizer resizer(GetParam(), {8, 8}, {16, 16});
    const std::vector<uint32_t> src = numberedPixels(8, 8);
    std::vector<uint32_t> dst(16 * 16, 7);
    struct ErrorCase {
        const char* name;
        IppiPoint offset;
        IppiSize size;
        bool nullSource;
        IppStatus status;
    };
    const ErrorCase cases[] = {
        {"null source", {0, 0}, {16, 16}, true, kStsNullPtrErr},
        {"zero width", {0, 0}, {0, 16}, false, kStsNothingToDo},
        {"negative height", {0, 0}, {16, -1}, false, kStsSizeErr},
        {"negative offset", {-1, 0}, {16, 16}, false, kStsOutOfRangeErr},
        {"offset past the record", {0, 16}, {16, 16}, false, kStsOutOfRangeErr},
    };
    for (const ErrorCase& c : cases) {
        EXPECT_EQ(GetParam().resize(c.nullSource ? nullptr : reinterpret_cast<const Ipp8u*>(src.data()), 32,
                                    reinterpret_cast<Ipp8u*>(dst.data()), 64, c.offset, c.size,
                                    resizer.specBuffer().data(), resizer.workBuffer().data()),
                  c.status)
            << c.name;
    }
    // The record is only valid where it was made: one byte further on, the
    // 64-byte boundary falls elsewhere.
    std::vector<Ipp8u> moved(resizer.specBuffer().size() + 64, 0);
    std::memcpy(moved.data() + 1, resizer.specBuffer().data(), resizer.specBuffer().size());
    EXPECT_EQ(GetParam().resize(reinterpret_cast<const Ipp8u*>(src.data()), 32, reinterpret_cast<Ipp8u*>(dst.data()),
                                64, {0, 0}, {16, 16}, moved.data() + 1, resizer.workBuffer().data()),
              kStsContextMatchErr);
    EXPECT_EQ(dst, std::vector<uint32_t>(16 * 16, 7));
}

INSTANTIATE_TEST_SUITE_P(Builds, ResizeBuildTest, ::testing::ValuesIn(kResizeBuilds),
                         [](const ::testing::TestParamInfo<ResizeBuild>& info) {
                             return std::string(info.param.name);
                         });
INSTANTIATE_TEST_SUITE_P(Gather, ResizeBuildTest, ::testing::ValuesIn(kGatherBuilds),
                         [](const ::testing::TestParamInfo<ResizeBuild>& info) {
                             return std::string(info.param.name);
                         });

TEST(ResizeFloor, Table)
{
    struct Case {
        double value;
        double floor;
    };
    const Case cases[] = {
        {2.7, 2.0}, {-2.5, -3.0}, {-0.25, -1.0}, {5.0, 5.0}, {4503599627370497.0, 4503599627370497.0}, {-1e300, -1e300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ippsFloorOne(c.value), c.floor) << c.value;
    EXPECT_TRUE(std::signbit(ippsFloorOne(-0.0)));
    EXPECT_TRUE(std::isnan(ippsFloorOne(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(n8_ownsFloorOneF(-0.5f), -1.0f);
}

// The dispatched calls, with a zero dimension as picture scaling may pass it.
TEST(ResizeDispatch, DispatchedCallsInOrder)
{
    int32_t specSize = -1, initSize = -1;
    EXPECT_EQ(ippiResizeGetSize_8u({0, 10}, {0, 20}, kInterpolationNearest, 0, &specSize, &initSize), kStsNothingToDo);
    EXPECT_EQ(specSize, -1);
    ASSERT_EQ(ippiResizeGetSize_8u({3, 2}, {6, 4}, kInterpolationNearest, 0, &specSize, &initSize), kStsOk);
    std::vector<Ipp8u> spec(size_t(specSize), 0);
    ASSERT_EQ(ippiResizeNearestInit_8u({3, 2}, {6, 4}, spec.data()), kStsOk);
    int32_t bufferSize = 0;
    ASSERT_EQ(ippiResizeGetBufferSize_8u(spec.data(), {6, 4}, 4, &bufferSize), kStsOk);
    std::vector<Ipp8u> buffer(size_t(bufferSize), 0);
    const std::vector<uint32_t> src = numberedPixels(3, 2);
    std::vector<uint32_t> dst(24, 0);
    ASSERT_EQ(ippiResizeNearest_8u_C4R(reinterpret_cast<const Ipp8u*>(src.data()), 12,
                                       reinterpret_cast<Ipp8u*>(dst.data()), 24, {0, 0}, {6, 4}, spec.data(),
                                       buffer.data()),
              kStsOk);
    EXPECT_EQ(dst[0], src[0]);
    EXPECT_EQ(dst[23], src[5]);
}

} // namespace

namespace {

// An Intel processor with one small data cache: large resizes of the wide
// builds then write the destination with streaming stores.
platform::CpuidRegisters smallCacheCpuid(uint32_t leaf, uint32_t subleaf)
{
    if (leaf == 0)
        return {0xD, 0x756E6547u, 0x6C65746Eu, 0x49656E69u};
    if (leaf == 4 && subleaf == 0)
        return {1, (1u << 22) | 63u, 31, 0}; // 2 ways x 64-byte lines x 32 sets
    return platform::hardwareCpuid(leaf, subleaf);
}

TEST(ResizeStreaming, StreamingStoresWriteTheSamePixels)
{
    ippInit();
    uint64_t features = 0;
    ippGetCpuFeatures(&features, nullptr);
    const platform::CpuidFunction previous = platform::setCpuidFunction(&smallCacheCpuid);
    int32_t cacheSize = 0;
    const bool streamingPossible = ippGetMaxCacheSizeB(&cacheSize) == kStsOk && cacheSize == 4096;
    ownSetFeatureMask(features | kCpuAvx2Class | kCpuMpx);
    for (const ResizeBuild& build : kGatherBuilds) {
        if (!hostRuns(build.index))
            continue;
        const IppiSize s{200, 60}, d{333, 97};
        Resizer resizer(build, s, d);
        const std::vector<uint32_t> src = numberedPixels(s.width, s.height);
        // Rows of an odd pixel count, starting at every offset in a cache line.
        const int stride = d.width + 2;
        std::vector<uint32_t> dst(size_t(stride) * d.height + 16, 0);
        ASSERT_EQ(resizer.resize(src.data(), s.width, dst.data() + 1, stride, {0, 0}, d), kStsOk);
        for (int i = 0; i < d.height; ++i)
            for (int j = 0; j < d.width; ++j)
                ASSERT_EQ(dst[1 + size_t(i) * stride + j],
                          src[size_t(modelIndex(i, s.height, d.height)) * s.width + modelIndex(j, s.width, d.width)])
                    << build.name << " row " << i << " column " << j;
    }
    ownSetFeatureMask(features);
    platform::setCpuidFunction(previous);
    if (!streamingPossible)
        GTEST_SKIP() << "the cache was queried before this test; the streaming stores were not taken";
}

} // namespace
