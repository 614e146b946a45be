#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "FEN/HiDPIUrl.h"
#include "FEN/Picture.h"
#include "FEN/PictureScaler.h"
#include "PictureTestSupport.h"

namespace CV {
namespace FEN {
namespace {

using test::at;
using test::fillWithPositions;
using test::positionPixel;

// Nearest-neighbour copies: size, buffer, and which source column and row
// each destination pixel shows (the centre of the destination pixel mapped
// back, a centre on a boundary taking the lower pixel).
TEST(PictureScaling, NearestCopiesMapEveryPixelToTheSourcePixelUnderItsCentre)
{
    struct Case {
        int w, h;
        float scale;
        std::vector<int> columns, rows;
    };
    Case const cases[] = {
        {3, 2, 1.0f, {0, 1, 2}, {0, 1}},
        {3, 2, 2.0f, {0, 0, 1, 1, 2, 2}, {0, 0, 1, 1}},
        {3, 3, 1.5f, {0, 0, 1, 2, 2}, {0, 0, 1, 2, 2}}, // 4.5 rounds to 5
        {2, 1, 1.5f, {0, 0, 1}, {0, 0}}, // centre on a boundary: lower pixel
        {3, 3, 0.5f, {0, 2}, {0, 2}},
        {7, 1, 0.25f, {3, 3}, {}}, // 0.25 rounds to 0: no pixels
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " * " << c.scale);
        Picture source;
        fillWithPositions(source, c.w, c.h);
        int32_t status = -1;
        auto copy = source.cloneAndScale(c.scale, Picture::eNearest, &status);
        ASSERT_TRUE(copy);
        EXPECT_EQ(status, 0);
        int const w = c.rows.empty() ? 0 : int(c.columns.size());
        int const h = int(c.rows.size());
        ASSERT_EQ(copy->getWidth(), w);
        ASSERT_EQ(copy->getHeight(), h);
        EXPECT_EQ(copy->getCapacity(), uint32_t(w * h * 4));
        EXPECT_EQ(copy->getPixels() == nullptr, w * h == 0);
        EXPECT_EQ(copy->getClipRect(), (BAS::Rect{0, 0, w, h}));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(at(*copy, x, y), positionPixel(c.columns[size_t(x)], c.rows[size_t(y)])) << x << "," << y;
    }
}

TEST(PictureScaling, CopyKeepsPropertiesScalesBordersAndDropsDrawingState)
{
    Picture source;
    fillWithPositions(source, 8, 6);
    source.setAlphaChannel(true);
    source.setAnimationOrientation(PictureProperties::eSideBySide);
    source.setNumAnimations(3);
    source.setVertResizable(true);
    source.setHorzResizable(true);
    source.setFixedTop(3);
    source.setFixedBottom(3);
    source.setFixedLeft(1);
    source.setFixedRight(0);
    source.setUseLegacyAlphaCompositing(true);
    source.initEmptyAreaFlags();
    source.setOrigin(BAS::Point{2, 1});
    source.setClipRect(BAS::Rect{0, 0, 2, 2});

    for (auto sampling : {Picture::eNearest, Picture::eSmooth}) {
        auto copy = source.cloneAndScale(1.5f, sampling);
        EXPECT_TRUE(copy->hasAlphaChannel());
        EXPECT_EQ(copy->getAnimationOrientation(), PictureProperties::eSideBySide);
        EXPECT_EQ(copy->getNumAnimations(), 3u);
        EXPECT_EQ(copy->getResizableFlags(), PictureProperties::kVertResizable | PictureProperties::kHorzResizable);
        EXPECT_EQ(copy->getFixedTop(), 5); // 4.5 away from zero
        EXPECT_EQ(copy->getFixedBottom(), 5);
        EXPECT_EQ(copy->getFixedLeft(), 2);
        EXPECT_EQ(copy->getFixedRight(), 0);
        EXPECT_FALSE(copy->getUseLegacyAlphaCompositing());
        EXPECT_TRUE(copy->getEmptyAreaFlags().empty());
        EXPECT_FALSE(copy->isClipping());
        EXPECT_EQ(copy->getOrigin().x, 0);
        EXPECT_EQ(copy->getOrigin().y, 0);
        EXPECT_EQ(copy->getWidth(), 12);
        EXPECT_EQ(copy->getHeight(), 9);
    }
}

// Scales no picture can take give a copy without pixels and say so.
TEST(PictureScaling, UnusableScalesGiveNoPixelsAndReportIt)
{
    float const cases[] = {
        -1.0f,   -0.0001f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        9000.0f, 1e30f};
    for (float scale : cases) {
        SCOPED_TRACE(scale);
        Picture source;
        fillWithPositions(source, 4, 4);
        source.setFixedTop(2);
        source.setNumAnimations(2);
        int32_t status = 0;
        auto copy = source.cloneAndScale(scale, Picture::eNearest, &status);
        EXPECT_LT(status, 0);
        EXPECT_EQ(copy->getWidth(), 0);
        EXPECT_EQ(copy->getHeight(), 0);
        EXPECT_EQ(copy->getPixels(), nullptr);
        EXPECT_EQ(copy->getNumAnimations(), 2u);
    }
}

TEST(PictureScaling, EmptyPictureGivesEmptyCopy)
{
    Picture source;
    int32_t status = -1;
    auto copy = source.cloneAndScale(2.0f, Picture::eNearest, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(copy->getPixels(), nullptr);
    EXPECT_EQ(copy->getCapacity(), 0u);
}

// Smooth copies average the covered source area, each byte of a pixel on
// its own.
TEST(PictureScaling, SmoothCopiesAverageCoveredAreasPerChannel)
{
    struct Case {
        std::vector<uint32_t> source;
        int w;
        float scale;
        std::vector<uint32_t> expected;
        int expectedWidth;
    };
    Case const cases[] = {
        // A uniform picture stays exactly uniform.
        {std::vector<uint32_t>(9, 0x80336699u), 3, 1.5f, std::vector<uint32_t>(25, 0x80336699u), 5},
        // Straight alpha: colour and alpha are averaged apart.
        {{0x00FF0000u, 0xFF000000u, 0x00000000u, 0x00000000u}, 2, 0.5f, {0x40400000u}, 1},
        // Enlarging: the middle pixel straddles both source pixels.
        {{0x00000000u, 0x000000FFu}, 2, 1.5f, {0x00u, 0x80u, 0xFFu, 0x00u, 0x80u, 0xFFu}, 3},
        {{0x01020304u, 0xFFFEFDFCu}, 2, 1.0f, {0x01020304u, 0xFFFEFDFCu}, 2},
    };
    for (Case const& c : cases) {
        int const h = int(c.source.size()) / c.w;
        Picture source;
        source.setSize(c.w, h, true);
        for (int i = 0; i < c.w * h; ++i)
            source.getPixels()[i] = c.source[size_t(i)];
        auto copy = source.cloneAndScale(c.scale, Picture::eSmooth);
        ASSERT_EQ(copy->getWidth(), c.expectedWidth);
        ASSERT_EQ(copy->getWidth() * copy->getHeight(), int(c.expected.size()));
        std::vector<uint32_t> const pixels(copy->getPixels(), copy->getPixels() + c.expected.size());
        EXPECT_EQ(pixels, c.expected);
    }
}

// A resize kernel that fails leaves no stale pixels behind: the result is
// cleared and the failing status comes back.
TEST(PictureScaling, FailingKernelClearsTheResultAndReportsIt)
{
    using Kernels = PictureScaler::ResizeKernels;
    Kernels const real = PictureScaler::imageKernels();
    struct Case {
        char const* name;
        Kernels kernels;
        int32_t status;
    };
    Kernels failingSize = real;
    failingSize.getSize = [](IppiSize, IppiSize, int32_t, uint32_t, int32_t*, int32_t*) { return IppStatus(-232); };
    Kernels failingInit = real;
    failingInit.nearestInit = [](IppiSize, IppiSize, Ipp8u*) { return IppStatus(-8); };
    Kernels failingBuffer = real;
    failingBuffer.getBufferSize = [](Ipp8u const*, IppiSize, uint32_t, int32_t*) { return IppStatus(-13); };
    Kernels failingResize = real;
    failingResize.resizeNearest = [](Ipp8u const*, int32_t, Ipp8u*, int32_t, IppiPoint, IppiSize, Ipp8u const*,
                                     Ipp8u*) { return IppStatus(-11); };
    Kernels idleResize = real;
    idleResize.resizeNearest = [](Ipp8u const*, int32_t, Ipp8u*, int32_t, IppiPoint, IppiSize, Ipp8u const*, Ipp8u*) {
        return IppStatus(1);
    };
    Kernels negativeSize = real;
    negativeSize.getBufferSize = [](Ipp8u const*, IppiSize, uint32_t, int32_t* size) {
        *size = -64;
        return IppStatus(0);
    };
    Case const cases[] = {
        {"size query", failingSize, -232},     {"set-up", failingInit, -8},
        {"work size", failingBuffer, -13},     {"resize", failingResize, -11},
        {"resize did nothing", idleResize, 1}, {"negative work size", negativeSize, -6},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture source;
        fillWithPositions(source, 3, 2);
        Picture destination;
        test::fill(destination, 5, 3, 0xDEADBEEFu);
        EXPECT_EQ(PictureScaler(c.kernels).scaleNearest(source, destination), c.status);
        EXPECT_EQ(test::grid(destination), std::vector<std::string>(3, "....."));
    }

    Picture source;
    fillWithPositions(source, 3, 2);
    Picture destination;
    test::fill(destination, 6, 4, 0xDEADBEEFu);
    EXPECT_EQ(PictureScaler(real).scaleNearest(source, destination), 0);
    EXPECT_EQ(at(destination, 5, 3), positionPixel(2, 1));
}

TEST(HiDPIUrl, SuffixGoesBetweenStemAndExtensionExceptAtScaleOne)
{
    struct Case {
        char const* path;
        float scale;
        char const* expected;
    };
    Case const cases[] = {
        {"skins/dark/button.png", 2.0f, "skins/dark/button@2x.png"},
        {"skins/dark/button.png", 1.0f, "skins/dark/button.png"},
        {"button.png", 1.5f, "button@2x.png"},
        {"skins/dark/button", 2.0f, "skins/dark/button@2x"},
        {"/usr/share/skins/knob.frames.png", 2.0f, "/usr/share/skins/knob.frames@2x.png"},
        {"/knob.png", 3.0f, "/knob@2x.png"},
        {"skins.d/knob", 2.0f, "skins.d/knob@2x"},
        {"file:///skins/dark/button.png", 2.0f, "file:///skins/dark/button@2x.png"},
        {"skins/button.png", std::numeric_limits<float>::quiet_NaN(), "skins/button@2x.png"},
        {"skins/button.png", 0.5f, "skins/button@2x.png"},
    };
    for (Case const& c : cases)
        EXPECT_EQ(resolveHiDPIUrl(c.path, c.scale), c.expected) << c.path << " " << c.scale;
}

} // namespace
} // namespace FEN
} // namespace CV
