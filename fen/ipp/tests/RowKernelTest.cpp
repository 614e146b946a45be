// Filling, blending by alpha, blending a colour through coverage and the row
// kernels handed out per build.
#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiAlphaComp.h"
#include "fen/ipp/IppiBlendCoverage.h"
#include "fen/ipp/IppiSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using SetFunction = IppStatus (*)(Ipp32u, Ipp32u*, int32_t, IppiSize);

struct Build {
    const char* name;
    int32_t index;
    SetFunction set;
    IppiBlendRow blend;
    IppiAlphaCompRow over;
    IppiBlendCoverageRow coverage;
};

void PrintTo(const Build& build, std::ostream* os)
{
    *os << build.name;
}

const Build kBuilds[] = {
    {"n8", 0, &n8_ippiSet_32u_C1R, &n8_ippi_BlendByAlpha_AC4S_8u, &n8_ippi_AlphaCompOver_AC4S_8u,
     &n8_ippi_BlendCoverage_C4S_8u},
    {"y8", 1, &y8_ippiSet_32u_C1R, &y8_ippi_BlendByAlpha_AC4S_8u, &y8_ippi_AlphaCompOver_AC4S_8u,
     &y8_ippi_BlendCoverage_C4S_8u},
    {"e9", 2, &e9_ippiSet_32u_C1R, &e9_ippi_BlendByAlpha_AC4S_8u, &e9_ippi_AlphaCompOver_AC4S_8u,
     &e9_ippi_BlendCoverage_C4S_8u},
    {"l9", 3, &l9_ippiSet_32u_C1R, &l9_ippi_BlendByAlpha_AC4S_8u, &l9_ippi_AlphaCompOver_AC4S_8u,
     &l9_ippi_BlendCoverage_C4S_8u},
    {"k0", 4, &k0_ippiSet_32u_C1R, &k0_ippi_BlendByAlpha_AC4S_8u, &k0_ippi_AlphaCompOver_AC4S_8u,
     &k0_ippi_BlendCoverage_C4S_8u},
};

bool hostRuns(int32_t index)
{
    return ownBuildIsUsable(index,
                            ownFeaturesFromWords(ownReadCpuWords(&platform::hardwareCpuid, &platform::hardwareXgetbv)));
}

uint32_t noise(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

uint32_t divideShift255(uint32_t x)
{
    return (x + (x >> 8) + 1) >> 8;
}

// The blend of one pixel, channel by channel.
uint32_t blendOne(uint32_t target, uint32_t source)
{
    uint32_t const t = divideShift255((source >> 24) * (target >> 24));
    uint32_t result = target & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t const d = (target >> shift) & 0xFF, s = (source >> shift) & 0xFF;
        result |= divideShift255(d * (255 - t) + s * t) << shift;
    }
    return result;
}

// A colour through one pixel's coverage, channel by channel.
uint32_t coverOne(uint32_t target, uint8_t coverage, uint32_t colour)
{
    uint32_t const a = coverage * (colour >> 24) / 255;
    uint32_t result = std::min(255u, (target >> 24) + a) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t const d = (target >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
        result |= ((d * (256 - a) + c * a) >> 8) << shift;
    }
    return result;
}

class RowKernelBuild : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override
    {
        if (!hostRuns(GetParam().index))
            GTEST_SKIP() << "this processor cannot run the " << GetParam().name << " build";
    }
};

// Every width and start alignment of a short row, and rows a step apart:
// the rectangle is filled and nothing around it.
TEST_P(RowKernelBuild, SetFillsExactlyTheRectangle)
{
    constexpr uint32_t kAround = 0x11223344u, kValue = 0xCAFEF00Du;
    constexpr int kStride = 96;
    for (int width = 1; width <= 70; ++width)
        for (int offset = 0; offset < 16; ++offset) {
            std::vector<uint32_t> pixels(kStride * 3, kAround);
            ASSERT_EQ(GetParam().set(kValue, pixels.data() + offset + kStride / 2, kStride * 4, {width, 2}), kStsOk);
            for (int i = 0; i < int(pixels.size()); ++i) {
                int const row = (i - kStride / 2) / kStride, column = (i - kStride / 2) % kStride;
                bool const inside = i >= kStride / 2 && row < 2 && column >= offset && column < offset + width;
                ASSERT_EQ(pixels[i], inside ? kValue : kAround)
                    << "width " << width << " offset " << offset << " pixel " << i;
            }
        }
}

TEST_P(RowKernelBuild, SetRefusesNullAndEmptyRectangles)
{
    uint32_t pixel = 7;
    EXPECT_EQ(GetParam().set(1, nullptr, 4, {1, 1}), kStsNullPtrErr);
    EXPECT_EQ(GetParam().set(1, &pixel, 4, {0, 1}), kStsSizeErr);
    EXPECT_EQ(GetParam().set(1, &pixel, 4, {1, -1}), kStsSizeErr);
    EXPECT_EQ(pixel, 7u);
}

// Random pixels with every row length up to a few blocks, so that the
// vector builds' tails are covered; pixels after the row stay.
TEST_P(RowKernelBuild, BlendMatchesTheChannelFormula)
{
    for (int width = 1; width <= 70; ++width) {
        std::vector<uint32_t> source(width + 1), target(width + 1);
        for (int i = 0; i <= width; ++i) {
            source[i] = noise(uint32_t(width * 977 + i));
            target[i] = noise(uint32_t(width * 977 + i) ^ 0x5A5A5A5Au);
        }
        std::vector<uint32_t> expected = target;
        for (int i = 0; i < width; ++i)
            expected[i] = blendOne(target[i], source[i]);
        GetParam().blend(reinterpret_cast<const Ipp8u*>(source.data()), reinterpret_cast<Ipp8u*>(target.data()), width);
        ASSERT_EQ(target, expected) << "width " << width;
    }
}

// Every source and target alpha with fixed colours, the corners of the
// weight arithmetic.
TEST_P(RowKernelBuild, BlendCoversEveryPairOfAlphas)
{
    std::vector<uint32_t> source(256), target(256);
    for (uint32_t sa = 0; sa < 256; ++sa) {
        for (uint32_t ta = 0; ta < 256; ++ta) {
            source[ta] = sa << 24 | 0x00FF7F00u;
            target[ta] = ta << 24 | 0x0000FF80u;
        }
        std::vector<uint32_t> expected(256);
        for (int i = 0; i < 256; ++i)
            expected[i] = blendOne(target[i], source[i]);
        GetParam().blend(reinterpret_cast<const Ipp8u*>(source.data()), reinterpret_cast<Ipp8u*>(target.data()), 256);
        ASSERT_EQ(target, expected) << "source alpha " << sa;
    }
}

// Every coverage under every colour alpha, over pixels of every alpha, in
// rows of every length up to a few blocks: the weight's division, the
// channel mix and the alpha's saturation at their corners, and the tails.
// Pixels after the row stay.
TEST_P(RowKernelBuild, CoverageBlendMatchesTheChannelFormula)
{
    for (uint32_t colourAlpha = 0; colourAlpha < 256; ++colourAlpha) {
        uint32_t const colour = colourAlpha << 24 | (noise(colourAlpha) & 0x00FFFFFFu);
        int const width = 1 + int(colourAlpha % 70);
        for (uint32_t first = 0; first < 256; first += uint32_t(width)) {
            std::vector<uint8_t> coverage(width + 1);
            std::vector<uint32_t> target(width + 1);
            for (int i = 0; i <= width; ++i) {
                coverage[i] = uint8_t(first + uint32_t(i));
                target[i] = noise(colourAlpha * 4099 + first * 31 + uint32_t(i));
            }
            std::vector<uint32_t> expected = target;
            for (int i = 0; i < width; ++i)
                expected[i] = coverOne(target[i], coverage[i], colour);
            GetParam().coverage(coverage.data(), target.data(), width, colour);
            ASSERT_EQ(target, expected) << "colour " << std::hex << colour << std::dec << " width " << width
                                        << " first coverage " << first;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, RowKernelBuild, ::testing::ValuesIn(kBuilds),
                         [](const ::testing::TestParamInfo<Build>& info) { return std::string(info.param.name); });

// The row kernels handed out are those of the selected build, and the
// dispatched fill goes to it as well.
TEST(RowKernelDispatch, KernelsOfTheSelectedBuild)
{
    for (const Build& build : kBuilds) {
        if (!hostRuns(build.index))
            continue;
        ownForceJumpIndex(build.index);
        EXPECT_EQ(ippiAlphaCompRowKernel(kAlphaOver), build.over) << build.name;
        EXPECT_EQ(ippiAlphaCompRowKernel(kAlphaOverPremul), build.over) << build.name;
        EXPECT_EQ(ippiBlendByAlphaRowKernel(), build.blend) << build.name;
        EXPECT_EQ(ippiBlendCoverageRowKernel(), build.coverage) << build.name;
        uint32_t pixels[3] = {1, 2, 3};
        EXPECT_EQ(ippiSet_32u_C1R(9, pixels, 12, {2, 1}), kStsOk);
        EXPECT_EQ(pixels[0] + pixels[1] + pixels[2], 21u) << build.name;
    }
    ownForceJumpIndex(-1);
    EXPECT_NE(ippiBlendByAlphaRowKernel(), nullptr) << "the first use selects a build";
    EXPECT_GE(ippGetJumpIndex(), 0);
}

} // namespace
