#include "platform/cg/CGContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr CGBitmapInfo kPremultiplied = kCGBitmapByteOrder32Little | kCGImageAlphaPremultipliedFirst;
constexpr CGBitmapInfo kStraight = kCGBitmapByteOrder32Little | kCGImageAlphaFirst;
constexpr CGBitmapInfo kOpaque = kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst;

// 32-bit pixels as the memory holds them: 0xAARRGGBB read little-endian.
constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kClear = 0;

struct Bitmap {
    Bitmap(size_t w, size_t h, CGBitmapInfo info = kPremultiplied)
        : width(w)
        , height(h)
        , pixels(w * h, kClear)
        , context(CGBitmapContextCreate(pixels.data(), w, h, 8, w * 4, nullptr, info))
    {
    }
    ~Bitmap() { CGContextRelease(context); }
    std::uint32_t at(size_t x, size_t row) const { return pixels[row * width + x]; }
    // Rows top first, one letter per pixel.
    std::vector<std::string> picture() const
    {
        std::vector<std::string> rows;
        for (size_t y = 0; y < height; ++y) {
            std::string row;
            for (size_t x = 0; x < width; ++x)
                row += at(x, y) == kRed  ? 'R'
                    : at(x, y) == kBlue  ? 'B'
                    : at(x, y) == kGreen ? 'G'
                    : at(x, y) == 0      ? '.'
                                         : '?';
            rows.push_back(row);
        }
        return rows;
    }
    size_t width, height;
    std::vector<std::uint32_t> pixels;
    CGContextRef context;
};

struct Image {
    Image(std::vector<std::uint32_t> data, size_t w, size_t h, CGBitmapInfo info = kPremultiplied)
        : pixels(std::move(data))
    {
        CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size() * 4, nullptr);
        image = CGImageCreate(w, h, 8, 32, w * 4, nullptr, info, provider, nullptr, false, kCGRenderingIntentDefault);
        CGDataProviderRelease(provider);
    }
    ~Image() { CGImageRelease(image); }
    std::vector<std::uint32_t> pixels;
    CGImageRef image;
};

void fill(CGContextRef context, std::uint32_t colour, CGRect rect)
{
    CGContextSetRGBFillColor(context, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                             (colour & 0xFF) / 255.0, (colour >> 24) / 255.0);
    CGContextFillRect(context, rect);
}

void flip(CGContextRef context, CGFloat height)
{
    CGContextTranslateCTM(context, 0, height);
    CGContextScaleCTM(context, 1, -1);
}

TEST(CGContext, UserSpaceIsBottomUpAndImagesKeepTheirFirstRowAtTheTop)
{
    // An image whose first row is red and second blue, drawn 1:1.
    Image image({kRed, kRed, kBlue, kBlue}, 2, 2);
    struct Case {
        bool flipped;
        std::vector<std::string> afterFill; // fill of the rect (0, 0, 2, 1)
        std::vector<std::string> afterImage;
    };
    const Case cases[] = {
        {false, {"..", "GG"}, {"RR", "BB"}},
        {true, {"GG", ".."}, {"BB", "RR"}}, // drawn into a flipped space, the image turns over
    };
    for (const Case& c : cases) {
        Bitmap bitmap(2, 2);
        if (c.flipped)
            flip(bitmap.context, 2);
        fill(bitmap.context, kGreen, CGRectMake(0, 0, 2, 1));
        EXPECT_EQ(bitmap.picture(), c.afterFill) << c.flipped;
        CGContextDrawImage(bitmap.context, CGRectMake(0, 0, 2, 2), image.image);
        EXPECT_EQ(bitmap.picture(), c.afterImage) << c.flipped;
    }
}

TEST(CGContext, ClipTranslateAndScaleWithSaveAndRestore)
{
    Bitmap bitmap(4, 4);
    CGContextSaveGState(bitmap.context);
    CGContextTranslateCTM(bitmap.context, 1, 1);
    CGContextScaleCTM(bitmap.context, 2, 2);
    CGContextClipToRect(bitmap.context, CGRectMake(0, 0, 1, 0.5)); // device (1, 1) to (3, 2)
    fill(bitmap.context, kRed, CGRectMake(-10, -10, 20, 20));
    CGContextRestoreGState(bitmap.context);
    fill(bitmap.context, kBlue, CGRectMake(0, 3, 1, 1)); // no clip, no transform any more
    EXPECT_EQ(bitmap.picture(), (std::vector<std::string>{"B...", "....", ".RR.", "...."}));
    CGContextRestoreGState(bitmap.context); // nothing saved: no change
    const CGRect clip = CGContextGetClipBoundingBox(bitmap.context);
    EXPECT_TRUE(CGRectEqualToRect(clip, CGRectMake(0, 0, 4, 4)));
}

TEST(CGContext, BlendModesAndAlphaFormats)
{
    // A half-transparent red pixel over opaque blue.
    struct Case {
        const char* name;
        CGBitmapInfo imageFormat;
        std::uint32_t source;
        CGBlendMode blend;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"premultiplied over", kPremultiplied, 0x80800000, kCGBlendModeNormal, 0xFF80007F},
        {"straight over", kStraight, 0x80FF0000, kCGBlendModeNormal, 0xFF80007F},
        {"premultiplied copy", kPremultiplied, 0x80800000, kCGBlendModeCopy, 0x80800000},
        {"opaque ignores alpha", kOpaque, 0x00FF0000, kCGBlendModeNormal, kRed},
    };
    for (const Case& c : cases) {
        Bitmap bitmap(1, 1);
        bitmap.pixels[0] = kBlue;
        Image image({c.source}, 1, 1, c.imageFormat);
        ASSERT_NE(image.image, nullptr) << c.name;
        CGContextSetBlendMode(bitmap.context, c.blend);
        CGContextDrawImage(bitmap.context, CGRectMake(0, 0, 1, 1), image.image);
        EXPECT_EQ(bitmap.pixels[0], c.expected) << c.name << std::hex << " got " << bitmap.pixels[0];
    }
}

TEST(CGContext, ImagesReadTheCallersBufferAndScaleByTheInterpolation)
{
    Image image({kRed, kBlue}, 2, 1);
    image.pixels[1] = kGreen; // after creation: no copy was made
    Bitmap bitmap(4, 1);
    CGContextSetInterpolationQuality(bitmap.context, kCGInterpolationNone);
    CGContextDrawImage(bitmap.context, CGRectMake(0, 0, 4, 1), image.image);
    EXPECT_EQ(bitmap.picture(), (std::vector<std::string>{"RRGG"}));
    CGContextSetInterpolationQuality(bitmap.context, kCGInterpolationDefault);
    CGContextDrawImage(bitmap.context, CGRectMake(0, 0, 4, 1), image.image);
    EXPECT_EQ(bitmap.at(0, 0), kRed);
    EXPECT_EQ(bitmap.at(1, 0), 0xFFBF4000u); // a quarter of the way to green
}

TEST(CGContext, ProvidersReleaseTheirBytesOnceAndOddFormatsAreRefused)
{
    static int s_released = 0;
    std::uint32_t pixel = kRed;
    CGDataProviderRef provider =
        CGDataProviderCreateWithData(&pixel, &pixel, 4, [](void*, const void*, size_t) { ++s_released; });
    CGImageRef image =
        CGImageCreate(1, 1, 8, 32, 4, nullptr, kOpaque, provider, nullptr, false, kCGRenderingIntentDefault);
    CGDataProviderRelease(provider);
    EXPECT_EQ(s_released, 0); // the image keeps it
    CGImageRelease(image);
    EXPECT_EQ(s_released, 1);

    std::uint32_t buffer[4] = {};
    EXPECT_EQ(CGBitmapContextCreate(buffer, 2, 2, 8, 8, nullptr, kCGImageAlphaPremultipliedLast), nullptr);
    EXPECT_EQ(CGBitmapContextCreate(buffer, 2, 2, 8, 4, nullptr, kPremultiplied), nullptr); // rows too short
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 2, 2, 8, 8, nullptr, kPremultiplied), nullptr);
    CGDataProviderRef small = CGDataProviderCreateWithData(nullptr, buffer, 8, nullptr);
    EXPECT_EQ(CGImageCreate(2, 2, 8, 32, 8, nullptr, kPremultiplied, small, nullptr, false, kCGRenderingIntentDefault),
              nullptr);
    CGDataProviderRelease(small);

    CGColorSpaceRef space = CGColorSpaceCreateWithName(kCGColorSpaceGenericRGB);
    EXPECT_STREQ(CGColorSpaceGetName(space), kCGColorSpaceGenericRGB);
    EXPECT_EQ(CGColorSpaceCreateWithName("kCGColorSpaceNoSuchThing"), nullptr);
    CGColorSpaceRelease(space);
}

// The drawing rule pixel by pixel, in floating point, as every transform
// is drawn: the pixels whose centres lie in the device rectangle and the
// clip, the image sampled at each centre, the source put over or in place
// of the pixel. Fills and images on the device pixels take shortcuts that
// must give the same bytes.
namespace rule {

struct Colour {
    float b, g, r, a;
};

struct State {
    CGFloat sx, sy, tx, ty;
    CGRect clip; // device space
    bool copy;
    bool opaqueTarget;
};

Colour read(std::uint32_t pixel, CGBitmapInfo format)
{
    Colour c{float(pixel & 0xFF), float((pixel >> 8) & 0xFF), float((pixel >> 16) & 0xFF), float(pixel >> 24)};
    if (format == kOpaque) {
        c.a = 255.f;
    } else if (format == kStraight) {
        const float f = c.a / 255.f;
        c.b *= f;
        c.g *= f;
        c.r *= f;
    }
    return c;
}

std::uint32_t byteOf(float v)
{
    return std::uint32_t(std::lround(std::clamp(v, 0.f, 255.f)));
}

std::uint32_t put(std::uint32_t pixel, const Colour& source, const State& state)
{
    Colour out = source;
    if (!state.copy) {
        const Colour dest = read(pixel, state.opaqueTarget ? kOpaque : kPremultiplied);
        const float keep = 1.f - source.a / 255.f;
        out = Colour{source.b + dest.b * keep, source.g + dest.g * keep, source.r + dest.r * keep,
                     source.a + dest.a * keep};
    }
    return byteOf(out.b) | byteOf(out.g) << 8 | byteOf(out.r) << 16 | (state.opaqueTarget ? 255 : byteOf(out.a)) << 24;
}

CGRect toDevice(const State& s, CGRect r)
{
    const CGFloat ax = s.sx * CGRectGetMinX(r) + s.tx, ay = s.sy * CGRectGetMinY(r) + s.ty;
    const CGFloat bx = s.sx * CGRectGetMaxX(r) + s.tx, by = s.sy * CGRectGetMaxY(r) + s.ty;
    return CGRectMake(std::min(ax, bx), std::min(ay, by), std::fabs(bx - ax), std::fabs(by - ay));
}

long centreAtOrAfter(CGFloat edge)
{
    return std::lround(std::ceil(edge - 0.5));
}

// Calls paint(x, deviceY) for each pixel covered.
template <typename Paint> void eachPixel(const State& s, CGRect device, long width, long height, Paint paint)
{
    const CGRect area = CGRectIntersection(device, s.clip);
    const long x0 = std::max(centreAtOrAfter(CGRectGetMinX(area)), 0L);
    const long x1 = std::min(centreAtOrAfter(CGRectGetMaxX(area)), width);
    const long y0 = std::max(centreAtOrAfter(CGRectGetMinY(area)), 0L);
    const long y1 = std::min(centreAtOrAfter(CGRectGetMaxY(area)), height);
    for (long y = y0; y < y1; ++y)
        for (long x = x0; x < x1; ++x)
            paint(x, y);
}

void fill(std::vector<std::uint32_t>& pixels, long width, const State& s, CGRect rect, const Colour& colour)
{
    const long height = long(pixels.size()) / width;
    eachPixel(s, toDevice(s, rect), width, height, [&](long x, long y) {
        std::uint32_t& p = pixels[size_t((height - 1 - y) * width + x)];
        p = put(p, colour, s);
    });
}

struct Picture {
    const std::vector<std::uint32_t>& pixels;
    long width, height;
    CGBitmapInfo format;
    Colour at(long x, long y) const { return read(pixels[size_t(y * width + x)], format); }
};

Colour sample(const Picture& image, double u, double v, bool nearest)
{
    if (nearest) {
        const long x = std::min(image.width - 1, long(std::max(0.0, std::floor(u * double(image.width)))));
        const long y = std::min(image.height - 1, long(std::max(0.0, std::floor(v * double(image.height)))));
        return image.at(x, y);
    }
    const double fx = std::clamp(u * double(image.width) - 0.5, 0.0, double(image.width - 1));
    const double fy = std::clamp(v * double(image.height) - 0.5, 0.0, double(image.height - 1));
    const long x0 = long(fx), y0 = long(fy);
    const long x1 = std::min(x0 + 1, image.width - 1), y1 = std::min(y0 + 1, image.height - 1);
    const float ax = float(fx - double(x0)), ay = float(fy - double(y0));
    const Colour c00 = image.at(x0, y0), c10 = image.at(x1, y0), c01 = image.at(x0, y1), c11 = image.at(x1, y1);
    auto mix = [&](float a, float b, float c, float d) {
        return (a * (1 - ax) + b * ax) * (1 - ay) + (c * (1 - ax) + d * ax) * ay;
    };
    return Colour{mix(c00.b, c10.b, c01.b, c11.b), mix(c00.g, c10.g, c01.g, c11.g), mix(c00.r, c10.r, c01.r, c11.r),
                  mix(c00.a, c10.a, c01.a, c11.a)};
}

void draw(std::vector<std::uint32_t>& pixels, long width, const State& s, CGRect rect, const Picture& image,
          bool nearest)
{
    const long height = long(pixels.size()) / width;
    const double left = s.sx * CGRectGetMinX(rect) + s.tx, top = s.sy * CGRectGetMaxY(rect) + s.ty;
    const double spanX = s.sx * CGRectGetMaxX(rect) + s.tx - left, spanY = s.sy * CGRectGetMinY(rect) + s.ty - top;
    eachPixel(s, toDevice(s, rect), width, height, [&](long x, long y) {
        const double u = (double(x) + 0.5 - left) / spanX, v = (double(y) + 0.5 - top) / spanY;
        std::uint32_t& p = pixels[size_t((height - 1 - y) * width + x)];
        p = put(p, sample(image, u, v, nearest), s);
    });
}

} // namespace rule

std::vector<std::uint32_t> noisePixels(size_t count, std::uint32_t seed)
{
    std::vector<std::uint32_t> pixels(count);
    for (std::uint32_t& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = seed ^ (seed >> 13);
    }
    return pixels;
}

// Fills and images under transforms that keep the image on the device
// pixels and transforms that do not, whole and fractional clips, both blend
// modes, every image and target format and both interpolations: the bytes
// are those of the rule.
TEST(CGContext, FillsAndImagesFollowTheRuleUnderEveryTransform)
{
    struct Transform {
        const char* name;
        CGFloat sx, sy, tx, ty;
    } const transforms[] = {
        {"identity", 1, 1, 0, 0},
        {"whole shift", 1, 1, 3, 2},
        {"half shift", 1, 1, 0.5, 0.25},
        {"flipped", 1, -1, 0, 9},
        {"flipped and shifted", 1, -1, 2, 8},
        {"mirrored", -1, 1, 12, 0},
        {"double", 2, 2, 0, 0},
        {"half", 0.5, 0.5, 1, 1},
        {"one and a half", 1.5, -1.5, 1, 9},
    };
    struct Clip {
        const char* name;
        CGRect rect; // user space
    } const clips[] = {
        {"none", CGRectMake(-100, -100, 200, 200)},
        {"whole pixels", CGRectMake(1, 1, 5, 4)},
        {"fractions", CGRectMake(0.5, 1.25, 4.5, 3.3)},
    };
    const CGBitmapInfo imageFormats[] = {kPremultiplied, kStraight, kOpaque};
    const CGBitmapInfo targetFormats[] = {kPremultiplied, kOpaque};
    const std::uint32_t fills[] = {0xFF336699, 0x80402010};
    constexpr long kWidth = 12, kHeight = 9, kImageWidth = 7, kImageHeight = 5;
    const CGRect imageRect = CGRectMake(1, 1, kImageWidth, kImageHeight);
    const CGRect fillRect = CGRectMake(2, 1, 7, 6);
    const std::vector<std::uint32_t> imagePixels = noisePixels(kImageWidth * kImageHeight, 7);
    const std::vector<std::uint32_t> background = noisePixels(kWidth * kHeight, 11);

    for (const Transform& t : transforms)
        for (const Clip& c : clips)
            for (bool copy : {false, true})
                for (CGBitmapInfo target : targetFormats) {
                    const std::string where = std::string(t.name) + ", clip " + c.name + (copy ? ", copy" : ", over") +
                        (target == kOpaque ? ", opaque target" : "");
                    auto prepare = [&](Bitmap& bitmap) {
                        bitmap.pixels = background;
                        CGContextTranslateCTM(bitmap.context, t.tx, t.ty);
                        CGContextScaleCTM(bitmap.context, t.sx, t.sy);
                        CGContextClipToRect(bitmap.context, c.rect);
                        CGContextSetBlendMode(bitmap.context, copy ? kCGBlendModeCopy : kCGBlendModeNormal);
                    };
                    rule::State state{t.sx, t.sy, t.tx, t.ty, CGRect{}, copy, target == kOpaque};
                    state.clip = CGRectIntersection(CGRectMake(0, 0, kWidth, kHeight), rule::toDevice(state, c.rect));

                    for (std::uint32_t colour : fills) {
                        Bitmap bitmap(kWidth, kHeight, target);
                        prepare(bitmap);
                        fill(bitmap.context, colour, fillRect);
                        std::vector<std::uint32_t> expected = background;
                        const float a = float((colour >> 24) / 255.0);
                        auto channel = [a](std::uint32_t v) { return float(v / 255.0) * a * 255.f; };
                        rule::fill(expected, kWidth, state, fillRect,
                                   rule::Colour{channel(colour & 0xFF), channel((colour >> 8) & 0xFF),
                                                channel((colour >> 16) & 0xFF), a * 255.f});
                        ASSERT_EQ(bitmap.pixels, expected)
                            << "fill " << std::hex << colour << std::dec << ", " << where;
                    }
                    for (CGBitmapInfo format : imageFormats)
                        for (bool nearest : {true, false}) {
                            Bitmap bitmap(kWidth, kHeight, target);
                            prepare(bitmap);
                            Image image(imagePixels, kImageWidth, kImageHeight, format);
                            CGContextSetInterpolationQuality(bitmap.context,
                                                             nearest ? kCGInterpolationNone : kCGInterpolationDefault);
                            CGContextDrawImage(bitmap.context, imageRect, image.image);
                            std::vector<std::uint32_t> expected = background;
                            rule::draw(expected, kWidth, state, imageRect,
                                       rule::Picture{imagePixels, kImageWidth, kImageHeight, format}, nearest);
                            ASSERT_EQ(bitmap.pixels, expected)
                                << "image format " << format << (nearest ? ", nearest, " : ", bilinear, ") << where;
                        }
                }
}

// Opaque fills of every width up to a few stores, at every start within a
// row: the pixels covered and no others.
TEST(CGContext, OpaqueFillsOfEveryWidthAndStart)
{
    constexpr size_t kWidth = 48;
    for (int x = 0; x < 8; ++x)
        for (int width = 1; width <= 36; ++width) {
            Bitmap bitmap(kWidth, 2);
            fill(bitmap.context, kRed, CGRectMake(x, 1, width, 1));
            for (size_t i = 0; i < kWidth; ++i) {
                const bool inside = int(i) >= x && int(i) < x + width;
                ASSERT_EQ(bitmap.at(i, 0), inside ? kRed : kClear) << "x " << x << " width " << width << " pixel " << i;
                ASSERT_EQ(bitmap.at(i, 1), kClear);
            }
        }
}

} // namespace
