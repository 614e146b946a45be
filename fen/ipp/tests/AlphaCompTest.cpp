#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiAlphaComp.h"
#include "fen/ipp/tests/AlphaReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using alpharef::Pixel;

using InPlaceFunction = IppStatus (*)(const Ipp8u*, int32_t, Ipp8u*, int32_t, IppiSize, int32_t);
using TwoSourceFunction = IppStatus (*)(const Ipp8u*, int32_t, const Ipp8u*, int32_t, Ipp8u*, int32_t, IppiSize,
                                        int32_t);

struct Build {
    const char* name;
    int32_t index;
    InPlaceFunction inPlace;
    TwoSourceFunction twoSource;
};

void PrintTo(const Build& build, std::ostream* os)
{
    *os << build.name;
}

const Build kBuilds[] = {
    {"n8", 0, &n8_ippiAlphaComp_8u_AC4IR, &n8_ippiAlphaComp_8u_AC4R},
    {"y8", 1, &y8_ippiAlphaComp_8u_AC4IR, &y8_ippiAlphaComp_8u_AC4R},
    {"e9", 2, &e9_ippiAlphaComp_8u_AC4IR, &e9_ippiAlphaComp_8u_AC4R},
    {"l9", 3, &l9_ippiAlphaComp_8u_AC4IR, &l9_ippiAlphaComp_8u_AC4R},
    {"k0", 4, &k0_ippiAlphaComp_8u_AC4IR, &k0_ippiAlphaComp_8u_AC4R},
};

bool hostRuns(int32_t index)
{
    return ownBuildIsUsable(index,
                            ownFeaturesFromWords(ownReadCpuWords(&platform::hardwareCpuid, &platform::hardwareXgetbv)));
}

uint32_t mix(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

std::vector<Ipp8u> noise(size_t bytes, uint32_t seed)
{
    std::vector<Ipp8u> v(bytes);
    for (size_t i = 0; i < bytes; ++i)
        v[i] = static_cast<Ipp8u>(mix(static_cast<uint32_t>(i) * 2654435761u + seed));
    return v;
}

Pixel pixelAt(const std::vector<Ipp8u>& v, size_t i)
{
    return {v[4 * i], v[4 * i + 1], v[4 * i + 2], v[4 * i + 3]};
}

std::string show(const Pixel& p)
{
    return "(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
        std::to_string(p[3]) + ")";
}

// ---- n8 expectations where it computes in single precision ---------------

bool isN8RoundedType(int type)
{
    return type >= 1 && type <= 4;
}

// The straight In, Out, Atop and Xor of n8: rounded to nearest instead of Q.
// Atop and Xor numerators 32,513 above a multiple of 65,025 from 8,355,713 on
// may come out one lower; `lowerAllowed` reports such a channel.
Pixel roundedModel(int type, const Pixel& A, const Pixel& B, bool* lowerAllowed)
{
    Pixel out = alpharef::compose(type, A, B);
    const int64_t a = A[3], b = B[3];
    *lowerAllowed = false;
    for (int i = 0; i < 3; ++i) {
        const int64_t Ac = A[i], Bc = B[i];
        int64_t X = 0;
        switch (type) {
        case 1: X = Ac * a * b; break;
        case 2: X = Ac * a * (255 - b); break;
        case 3: X = Ac * a * b + Bc * b * (255 - a); break;
        case 4: X = Ac * a * (255 - b) + Bc * b * (255 - a); break;
        }
        out[i] = static_cast<uint8_t>(alpharef::roundDiv(X, 65025));
        if (type >= 3 && X % 65025 == 32513 && X >= 8355713)
            *lowerAllowed = true;
    }
    if (type == 1)
        out[3] = static_cast<uint8_t>(alpharef::D(a * b));
    if (type == 2)
        out[3] = static_cast<uint8_t>(alpharef::D(a * (255 - b)));
    if (type == 4)
        out[3] = static_cast<uint8_t>(alpharef::roundDiv(a * (255 - b) + b * (255 - a), 255));
    return out;
}

class AlphaCompBuild : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override
    {
        if (!hostRuns(GetParam().index))
            GTEST_SKIP() << "this processor cannot run the " << GetParam().name << " build";
    }

    Pixel composeOne(int type, const Pixel& A, const Pixel& B) const
    {
        Pixel out{};
        EXPECT_EQ(GetParam().twoSource(A.data(), 4, B.data(), 4, out.data(), 4, {1, 1}, type), kStsOk);
        return out;
    }

    bool isN8() const { return GetParam().index == 0; }
};

struct Example {
    const char* name;
    int type;
    Pixel A;
    Pixel B;
    Pixel expected;
    Pixel expectedN8;
};

TEST_P(AlphaCompBuild, WorkedExamples)
{
    const Example examples[] = {
        {"over, opaque source",
         kAlphaOver,
         {10, 20, 30, 255},
         {200, 100, 50, 128},
         {10, 20, 30, 255},
         {10, 20, 30, 255}},
        {"over, transparent source premultiplies the background",
         kAlphaOver,
         {1, 2, 3, 0},
         {200, 100, 50, 128},
         {100, 50, 25, 128},
         {100, 50, 25, 128}},
        {"over, opaque background",
         kAlphaOver,
         {100, 150, 200, 128},
         {10, 20, 30, 255},
         {55, 85, 115, 255},
         {55, 85, 115, 255}},
        {"over, quotient 37.499992",
         kAlphaOver,
         {37, 37, 37, 1},
         {73, 73, 73, 131},
         {37, 37, 37, 131},
         {38, 38, 38, 131}},
        {"in, both opaque", kAlphaIn, {12, 34, 56, 255}, {1, 2, 3, 255}, {12, 34, 56, 255}, {12, 34, 56, 255}},
        {"in, Q(162567)", kAlphaIn, {243, 243, 243, 3}, {0, 0, 0, 223}, {2, 2, 2, 3}, {3, 3, 3, 3}},
        {"in, Q(4194048)", kAlphaIn, {128, 128, 128, 254}, {0, 0, 0, 129}, {65, 65, 65, 128}, {64, 64, 64, 128}},
        {"atop keeps the background alpha",
         kAlphaAtop,
         {200, 100, 50, 255},
         {9, 9, 9, 201},
         {158, 79, 39, 201},
         {158, 79, 39, 201}},
        {"plus saturates",
         kAlphaPlus,
         {255, 255, 255, 255},
         {128, 128, 128, 128},
         {255, 255, 255, 255},
         {255, 255, 255, 255}},
        {"premultiplied plus saturates",
         kAlphaPlusPremul,
         {200, 200, 200, 200},
         {100, 100, 100, 100},
         {255, 255, 255, 255},
         {255, 255, 255, 255}},
        {"premultiplied over saturates invalid colour",
         kAlphaOverPremul,
         {250, 0, 0, 10},
         {200, 0, 0, 255},
         {255, 0, 0, 255},
         {255, 0, 0, 255}},
    };
    for (const Example& e : examples) {
        const Pixel want = isN8() ? e.expectedN8 : e.expected;
        EXPECT_EQ(composeOne(e.type, e.A, e.B), want) << e.name;
    }
}

// Every (a, b) pair, with colour bytes from a hash, for every type.
TEST_P(AlphaCompBuild, MatchesReferenceOverDenseSamples)
{
    constexpr int kWidth = 21; // not a multiple of any block width
    const int32_t step = kWidth * 4;
    for (int type = 0; type < 12; ++type) {
        int64_t n8Differences = 0;
        int64_t mismatches = 0;
        for (int a = 0; a < 256; ++a) {
            std::vector<Ipp8u> first = noise(size_t(step) * 256, uint32_t(type * 1000 + a));
            std::vector<Ipp8u> second = noise(size_t(step) * 256, uint32_t(type * 1000 + a + 500000));
            for (int b = 0; b < 256; ++b)
                for (int x = 0; x < kWidth; ++x) {
                    first[size_t(b) * step + 4 * x + 3] = static_cast<Ipp8u>(a);
                    second[size_t(b) * step + 4 * x + 3] = static_cast<Ipp8u>(b);
                }
            std::vector<Ipp8u> out(first.size());
            ASSERT_EQ(
                GetParam().twoSource(first.data(), step, second.data(), step, out.data(), step, {kWidth, 256}, type),
                kStsOk);
            for (size_t i = 0; i < out.size() / 4; ++i) {
                const Pixel A = pixelAt(first, i), B = pixelAt(second, i), got = pixelAt(out, i);
                Pixel want = alpharef::compose(type, A, B);
                if (isN8() && type == kAlphaOver) {
                    for (int c = 0; c < 3; ++c)
                        if (got[c] != want[c]) {
                            ++n8Differences;
                            EXPECT_EQ(std::abs(got[c] - want[c]), 1);
                        }
                    want[0] = got[0], want[1] = got[1], want[2] = got[2];
                } else if (isN8() && isN8RoundedType(type)) {
                    bool lowerAllowed = false;
                    want = roundedModel(type, A, B, &lowerAllowed);
                    for (int c = 0; c < 3 && lowerAllowed; ++c)
                        if (got[c] + 1 == want[c])
                            want[c] = got[c];
                }
                if (got != want && ++mismatches <= 5) {
                    ADD_FAILURE() << "type " << type << ": " << show(A) << " and " << show(B) << " gave " << show(got)
                                  << ", expected " << show(want);
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << "type " << type;
        if (type == kAlphaOver) {
            EXPECT_LT(n8Differences, 1000) << "single-precision Over differs only near half-way points";
        }
    }
}

// Every row length up to a few blocks of the widest build, for every type:
// whole steps, single blocks and tails all match the reference, and the
// pixel after the row stays.
TEST_P(AlphaCompBuild, EveryRowLengthMatchesTheReference)
{
    if (isN8())
        GTEST_SKIP() << "n8 works one pixel at a time; its rounding is covered by the dense samples";
    constexpr int kLongest = 70;
    for (int type = 0; type < 12; ++type)
        for (int width = 1; width <= kLongest; ++width) {
            const size_t bytes = size_t(width + 1) * 4;
            const std::vector<Ipp8u> first = noise(bytes, uint32_t(type * 1000 + width));
            const std::vector<Ipp8u> second = noise(bytes, uint32_t(type * 1000 + width + 500000));
            const std::vector<Ipp8u> before = noise(bytes, uint32_t(width));
            std::vector<Ipp8u> out = before;
            ASSERT_EQ(GetParam().twoSource(first.data(), width * 4, second.data(), width * 4, out.data(), width * 4,
                                           {width, 1}, type),
                      kStsOk);
            for (int i = 0; i < width; ++i)
                ASSERT_EQ(pixelAt(out, i), alpharef::compose(type, pixelAt(first, i), pixelAt(second, i)))
                    << "type " << type << " width " << width << " pixel " << i;
            ASSERT_EQ(pixelAt(out, width), pixelAt(before, width)) << "type " << type << " width " << width;
        }
}

TEST_P(AlphaCompBuild, InPlaceEqualsTwoSource)
{
    constexpr IppiSize kSize{37, 5};
    const int32_t step = kSize.width * 4 + 12;
    for (int type = 0; type < 12; ++type) {
        const std::vector<Ipp8u> source = noise(size_t(step) * kSize.height, 11u + type);
        std::vector<Ipp8u> target = noise(size_t(step) * kSize.height, 99u + type);
        std::vector<Ipp8u> separate = noise(size_t(step) * kSize.height, 7u);
        ASSERT_EQ(GetParam().twoSource(source.data(), step, target.data(), step, separate.data(), step, kSize, type),
                  kStsOk);
        ASSERT_EQ(GetParam().inPlace(source.data(), step, target.data(), step, kSize, type), kStsOk);
        for (int y = 0; y < kSize.height; ++y)
            EXPECT_EQ(0, std::memcmp(&target[size_t(y) * step], &separate[size_t(y) * step], kSize.width * 4))
                << "type " << type << " row " << y;
    }
}

// Rows going towards lower addresses; the bytes between rows stay untouched.
TEST_P(AlphaCompBuild, NegativeRowSteps)
{
    constexpr int kWidth = 21, kRows = 4, kStep = kWidth * 4 + 8;
    const std::vector<Ipp8u> source = noise(kStep * kRows, 5u);
    const std::vector<Ipp8u> original = noise(kStep * kRows, 6u);
    for (int type : {int(kAlphaOver), int(kAlphaXor), int(kAlphaAtopPremul)}) {
        std::vector<Ipp8u> target = original;
        const Ipp8u* lastSourceRow = &source[(kRows - 1) * kStep];
        Ipp8u* lastTargetRow = &target[(kRows - 1) * kStep];
        ASSERT_EQ(GetParam().inPlace(lastSourceRow, -kStep, lastTargetRow, -kStep, {kWidth, kRows}, type), kStsOk);
        for (int row = 0; row < kRows; ++row)
            for (int x = 0; x < kStep / 4; ++x) {
                const size_t i = size_t(row) * (kStep / 4) + x;
                const Pixel want = x < kWidth ? alpharef::compose(type, pixelAt(source, i), pixelAt(original, i))
                                              : pixelAt(original, i);
                if (isN8() && x < kWidth && type != kAlphaAtopPremul) {
                    continue; // n8 rounding is covered by the dense samples
                }
                EXPECT_EQ(pixelAt(target, i), want) << "type " << type << " row " << row << " pixel " << x;
            }
    }
}

// The vertical run of the line drawing: a 16-pixel buffer down one column.
TEST_P(AlphaCompBuild, ColumnRunFromPixelBuffer)
{
    constexpr int kCanvasWidth = 9, kRows = 16;
    std::vector<Ipp8u> run(16 * 4);
    for (int i = 0; i < 16; ++i) {
        const Pixel p{Ipp8u(10 * i), 200, 30, Ipp8u(16 * i + 7)};
        std::memcpy(&run[4 * i], p.data(), 4);
    }
    const std::vector<Ipp8u> original = noise(kCanvasWidth * 4 * kRows, 3u);
    std::vector<Ipp8u> canvas = original;
    const int column = 5;
    ASSERT_EQ(GetParam().inPlace(run.data(), 4, &canvas[4 * column], kCanvasWidth * 4, {1, kRows}, kAlphaOverPremul),
              kStsOk);
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kCanvasWidth; ++x) {
            const size_t i = size_t(y) * kCanvasWidth + x;
            const Pixel want = x == column ? alpharef::compose(kAlphaOverPremul, pixelAt(run, y), pixelAt(original, i))
                                           : pixelAt(original, i);
            EXPECT_EQ(pixelAt(canvas, i), want) << "row " << y << " column " << x;
        }
}

struct ArgumentCase {
    const char* name;
    bool nullSource;
    bool nullTarget;
    IppiSize size;
    int32_t type;
    IppStatus expected;
};

TEST_P(AlphaCompBuild, ArgumentErrorsWriteNothing)
{
    const ArgumentCase cases[] = {
        {"null source wins over size and type", true, false, {0, 0}, 99, kStsNullPtrErr},
        {"null target", false, true, {4, 4}, 0, kStsNullPtrErr},
        {"zero width", false, false, {0, 4}, 0, kStsSizeErr},
        {"negative width", false, false, {-3, 4}, 0, kStsSizeErr},
        {"zero height", false, false, {4, 0}, 0, kStsSizeErr},
        {"size wins over type", false, false, {0, 4}, 12, kStsSizeErr},
        {"type 12", false, false, {4, 4}, 12, kStsAlphaTypeErr},
        {"type -1", false, false, {4, 4}, -1, kStsAlphaTypeErr},
    };
    const std::vector<Ipp8u> source = noise(64, 1u);
    const std::vector<Ipp8u> original = noise(64, 2u);
    for (const ArgumentCase& c : cases) {
        std::vector<Ipp8u> target = original;
        EXPECT_EQ(GetParam().inPlace(c.nullSource ? nullptr : source.data(), 16, c.nullTarget ? nullptr : target.data(),
                                     16, c.size, c.type),
                  c.expected)
            << c.name;
        EXPECT_EQ(target, original) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, AlphaCompBuild, ::testing::ValuesIn(kBuilds),
                         [](const ::testing::TestParamInfo<Build>& info) { return std::string(info.param.name); });

// The dispatched entry continues into the forced build.
TEST(AlphaCompDispatch, ForcedBuildIsUsed)
{
    const Pixel A{37, 37, 37, 1};
    for (const Build& build : kBuilds) {
        if (!hostRuns(build.index))
            continue;
        ownForceJumpIndex(build.index);
        Pixel B{73, 73, 73, 131};
        ASSERT_EQ(ippiAlphaComp_8u_AC4IR(A.data(), 4, B.data(), 4, {1, 1}, kAlphaOver), kStsOk);
        EXPECT_EQ(B[0], build.index == 0 ? 38 : 37) << build.name;
    }
    ownForceJumpIndex(-1);
}

// The module's rounding Q against round-to-nearest over its whole domain:
// the counts that the reference model must reproduce.
TEST(AlphaCompReference, ThreeFactorRoundingCounts)
{
    int64_t higher = 0, lower = 0;
    for (int64_t X = 0; X <= 255 * 255 * 255; ++X) {
        const int64_t diff = alpharef::Q(X) - alpharef::roundDiv(X, 65025);
        higher += diff == 1;
        lower += diff == -1;
        ASSERT_LE(std::abs(diff), 1);
    }
    EXPECT_EQ(higher, 16469);
    EXPECT_EQ(lower, 16474);
    EXPECT_EQ(alpharef::Q(162567), 2);
    EXPECT_EQ(alpharef::Q(4194048), 65);
}

} // namespace
