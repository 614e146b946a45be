#include "platform/cg/CGContext.h"

#include <gtest/gtest.h>

#include <cstdint>
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
                row += at(x, y) == kRed ? 'R' : at(x, y) == kBlue ? 'B' : at(x, y) == kGreen ? 'G' : at(x, y) == 0 ? '.' : '?';
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
    CGImageRef image = CGImageCreate(1, 1, 8, 32, 4, nullptr, kOpaque, provider, nullptr, false,
                                     kCGRenderingIntentDefault);
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

} // namespace
