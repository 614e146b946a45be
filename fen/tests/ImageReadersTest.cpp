// The PNG, JPEG and TGA readers: one table of files and what a picture
// read from each must hold.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "BAS/MemoryStream.h"
#include "FEN/JPGICCProfile.h"
#include "FEN/Picture.h"
#include "ImageFixtures.h"

namespace CV {
namespace FEN {
namespace {

using test::Bytes;
using test::JPEGImage;
using test::JPEGSpace;
using test::PNGImage;

enum class Reader { Detect, PNG, JPG, TGA };

struct ReadCase {
    std::string name;
    Reader reader;
    std::function<Bytes()> file;
    bool succeeds = true;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> firstPixels;
    uint32_t lastPixel = 0;
    bool alpha = false;
    bool detectAlpha = true;
    int tolerance = 0; // per channel
    size_t offset = 0; // junk before the file; the stream starts past it
    bool bigEndian = false;

    ReadCase& without(bool detect)
    {
        detectAlpha = !detect;
        return *this;
    }
    ReadCase& within(int channelTolerance)
    {
        tolerance = channelTolerance;
        return *this;
    }
    ReadCase& after(size_t junkBytes)
    {
        offset = junkBytes;
        return *this;
    }
    ReadCase& inBigEndian()
    {
        bigEndian = true;
        return *this;
    }
};

void PrintTo(ReadCase const& c, std::ostream* os)
{
    *os << c.name;
}

ReadCase decodes(std::string name, Reader reader, std::function<Bytes()> file, int w, int h,
                 std::vector<uint32_t> first, uint32_t last, bool alpha)
{
    ReadCase c;
    c.name = std::move(name);
    c.reader = reader;
    c.file = std::move(file);
    c.width = w;
    c.height = h;
    c.firstPixels = std::move(first);
    c.lastPixel = last;
    c.alpha = alpha;
    return c;
}

ReadCase fails(std::string name, Reader reader, std::function<Bytes()> file)
{
    ReadCase c;
    c.name = std::move(name);
    c.reader = reader;
    c.file = std::move(file);
    c.succeeds = false;
    return c;
}

std::vector<uint32_t> repeated(uint32_t pixel, size_t count, std::vector<uint32_t> then = {})
{
    std::vector<uint32_t> pixels(count, pixel);
    pixels.insert(pixels.end(), then.begin(), then.end());
    return pixels;
}

// ---- PNG files --------------------------------------------------------

PNGImage png(int w, int h, int colourType, int bitDepth, Bytes rows)
{
    PNGImage image;
    image.width = w;
    image.height = h;
    image.colourType = colourType;
    image.bitDepth = bitDepth;
    image.rows = std::move(rows);
    return image;
}

Bytes greyPNG2Bit()
{
    return test::writePNG(png(4, 1, 0, 2, {0x1B}));
} // 0, 1, 2, 3
Bytes greyPNG8BitTransparent()
{
    PNGImage image = png(2, 1, 0, 8, {0x40, 0x80});
    image.transparentColour = true;
    image.transparentGrey = 0x40;
    return test::writePNG(image);
}
Bytes greyPNG16Bit()
{
    return test::writePNG(png(2, 1, 0, 16, {0x12, 0x34, 0xFF, 0xFF}));
}
Bytes greyAlphaPNG()
{
    return test::writePNG(png(2, 1, 4, 8, {0x30, 0x80, 0x90, 0xFF}));
}
Bytes rgbPNG()
{
    return test::writePNG(png(2, 2, 2, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}
Bytes rgbPNGTransparent(uint16_t red)
{
    PNGImage image = png(2, 1, 2, 8, {1, 2, 3, 4, 5, 6});
    image.transparentColour = true;
    image.transparentRGB[0] = red;
    image.transparentRGB[1] = 5;
    image.transparentRGB[2] = 6;
    return test::writePNG(image);
}
Bytes rgbaPNG16Bit()
{
    return test::writePNG(png(1, 2, 6, 16,
                              {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, //
                               0xAA, 0x00, 0xBB, 0x00, 0xCC, 0x00, 0xFF, 0xFF}));
}
Bytes palettePNGWithTransparency()
{
    PNGImage image = png(3, 1, 3, 2, {0x18}); // indices 0, 1, 2
    image.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    image.paletteAlpha = {255, 0};
    return test::writePNG(image);
}
// Every pixel tells its position: R = x, G = y, B = 7.
Bytes interlacedPNG()
{
    PNGImage image = png(9, 9, 2, 8, {});
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            image.rows.insert(image.rows.end(), {uint8_t(x), uint8_t(y), 7});
    image.interlaced = true;
    return test::writePNG(image);
}
Bytes truncated(Bytes file, size_t keep)
{
    file.resize(keep);
    return file;
}

uint32_t positionPixel(int x, int y)
{
    return 0xFF000007u | uint32_t(x) << 16 | uint32_t(y) << 8;
}

std::vector<uint32_t> interlacedFirstRow()
{
    std::vector<uint32_t> row;
    for (int x = 0; x < 9; ++x)
        row.push_back(positionPixel(x, 0));
    return row;
}

// ---- JPEG files -------------------------------------------------------

// 16 x 8 pixels: the left block in one colour, the right in another.
Bytes twoBlockSamples(Bytes left, Bytes right)
{
    Bytes samples;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            samples.insert(samples.end(), x < 8 ? left.begin() : right.begin(), x < 8 ? left.end() : right.end());
    return samples;
}

JPEGImage jpeg(JPEGSpace space, Bytes left, Bytes right)
{
    JPEGImage image;
    image.width = 16;
    image.height = 8;
    image.space = space;
    image.samples = twoBlockSamples(std::move(left), std::move(right));
    return image;
}

Bytes ycbcrJPEG()
{
    return test::writeJPEG(jpeg(JPEGSpace::YCbCr, {200, 100, 50}, {20, 40, 220}));
}
Bytes greyJPEG()
{
    return test::writeJPEG(jpeg(JPEGSpace::Grey, {0x80}, {0x10}));
}
Bytes rgbJPEG()
{
    return test::writeJPEG(jpeg(JPEGSpace::RGB, {10, 200, 30}, {250, 250, 5}));
}
// Cyan ink, and half black: the Adobe marker stores 255 - ink.
Bytes cmykJPEG(bool adobe)
{
    uint8_t const i = adobe ? 255 : 0;
    JPEGImage image = jpeg(JPEGSpace::CMYK, {uint8_t(i ^ 255), i, i, i}, {i, i, i, uint8_t(i ^ 128)});
    image.adobeMarker = adobe;
    return test::writeJPEG(image);
}
Bytes jpegWithProfile(JPEGSpace space, Bytes profile, int markers, int leaveOut)
{
    JPEGImage image = jpeg(space, {128, 128, 128}, {255, 255, 255});
    image.profile = std::move(profile);
    image.profileMarkers = markers;
    image.leaveOutMarker = leaveOut;
    return test::writeJPEG(image);
}
Bytes linearProfileJPEG(int leaveOut)
{
    return jpegWithProfile(JPEGSpace::RGB, test::linearRGBProfile(), 3, leaveOut);
}
// The linear profile with filler after it (which the profile's own size
// leaves out), `total` bytes in all, over as few markers as hold it.
Bytes paddedProfileJPEG(size_t total)
{
    Bytes profile = test::linearRGBProfile();
    profile.resize(total, 0xA5);
    return jpegWithProfile(JPEGSpace::RGB, profile, int((total + 65518) / 65519), 0);
}
Bytes corruptProfileJPEG()
{
    Bytes profile = test::linearRGBProfile();
    for (size_t i = 0; i < 64; ++i) // the profile header
        profile[i] = 0x5A;
    return jpegWithProfile(JPEGSpace::RGB, profile, 2, 0);
}
Bytes largeMarkerJPEG()
{
    JPEGImage image = jpeg(JPEGSpace::Grey, {0x80}, {0x10});
    image.app1Size = 3000; // skipped by seeking past the source's buffer
    return test::writeJPEG(image);
}

// ---- TGA files --------------------------------------------------------

Bytes tgaHeader(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t descriptor, uint8_t idLength = 0,
                uint8_t mapType = 0, uint16_t mapLength = 0, uint8_t mapBits = 0)
{
    return {idLength,
            mapType,
            type,
            0,
            0,
            uint8_t(mapLength),
            uint8_t(mapLength >> 8),
            mapBits,
            0,
            0,
            0,
            0,
            uint8_t(w),
            uint8_t(w >> 8),
            uint8_t(h),
            uint8_t(h >> 8),
            depth,
            descriptor};
}
Bytes tga(Bytes header, Bytes data)
{
    header.insert(header.end(), data.begin(), data.end());
    return header;
}
// 2 x 2, stored rows: (1, 2) then (3, 4) as pixels 0xAARRGGBB below.
Bytes const kTGA32Data = {0x01, 0x02, 0x03, 0xFF, 0x11, 0x12, 0x13, 0x80, //
                          0x21, 0x22, 0x23, 0xFF, 0x31, 0x32, 0x33, 0xFF};
uint32_t const kP1 = 0xFF030201, kP2 = 0x80131211, kP3 = 0xFF232221, kP4 = 0xFF333231;

Bytes bigEndianTGA32()
{
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 32, 0x20};
    Bytes const word = {0xFF, 0x03, 0x02, 0x01}; // 0xFF030201 stored big-endian
    file.insert(file.end(), word.begin(), word.end());
    return file;
}

Bytes noImage()
{
    return {};
}
Bytes notAnImage()
{
    return Bytes(64, 0x07);
}

std::vector<ReadCase> readCases()
{
    Reader const P = Reader::PNG, J = Reader::JPG, T = Reader::TGA, D = Reader::Detect;
    return {
        // PNG
        decodes("PngGrey2Bit", P, greyPNG2Bit, 4, 1, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}, 0xFFFFFFFF,
                false),
        decodes("PngGreyTransparentColour", P, greyPNG8BitTransparent, 2, 1, {0x00404040, 0xFF808080}, 0xFF808080,
                true),
        decodes("PngGreyTransparentColourNoDetection", P, greyPNG8BitTransparent, 2, 1, {0x00404040}, 0xFF808080, false)
            .without(true),
        decodes("PngGrey16Bit", P, greyPNG16Bit, 2, 1, {0xFF121212, 0xFFFFFFFF}, 0xFFFFFFFF, false),
        decodes("PngGreyAlpha", P, greyAlphaPNG, 2, 1, {0x80303030, 0xFF909090}, 0xFF909090, true),
        decodes("PngRGB", P, rgbPNG, 2, 2, {0xFF010203, 0xFF040506, 0xFF070809}, 0xFF0A0B0C, false),
        decodes(
            "PngRGBTransparentColourUnused", P, [] { return rgbPNGTransparent(99); }, 2, 1, {0xFF010203, 0xFF040506},
            0xFF040506, false),
        decodes(
            "PngRGBTransparentColourUsed", P, [] { return rgbPNGTransparent(4); }, 2, 1, {0xFF010203, 0x00040506},
            0x00040506, true),
        decodes("PngRGBA16Bit", P, rgbaPNG16Bit, 1, 2, {0xDE12569A}, 0xFFAABBCC, true),
        decodes("PngPaletteTransparent", P, palettePNGWithTransparency, 3, 1, {0xFF0A141E, 0x0028323C, 0xFF46505A},
                0xFF46505A, true),
        decodes("PngPaletteTransparentNoDetection", P, palettePNGWithTransparency, 3, 1, {0xFF0A141E, 0x0028323C},
                0xFF46505A, false)
            .without(true),
        decodes("PngInterlaced", P, interlacedPNG, 9, 9, interlacedFirstRow(), positionPixel(8, 8), false),
        fails("PngTruncated", P, [] { return truncated(interlacedPNG(), interlacedPNG().size() - 20); }),
        fails("PngHeaderOnly", P, [] { return truncated(rgbPNG(), 33); }),
        fails("PngEmpty", P, noImage),
        // JPEG
        decodes("JpegYCbCr", J, ycbcrJPEG, 16, 8, repeated(0xFFC86432, 8, {0xFF1428DC}), 0xFF1428DC, false).within(3),
        decodes("JpegGrey", J, greyJPEG, 16, 8, repeated(0xFF808080, 8, {0xFF101010}), 0xFF101010, false).within(1),
        decodes("JpegRGB", J, rgbJPEG, 16, 8, repeated(0xFF0AC81E, 8, {0xFFFAFA05}), 0xFFFAFA05, false).within(2),
        decodes(
            "JpegCMYK", J, [] { return cmykJPEG(false); }, 16, 8, repeated(0xFF00FFFF, 8, {0xFF7F7F7F}), 0xFF7F7F7F,
            false)
            .within(2),
        decodes(
            "JpegCMYKAdobe", J, [] { return cmykJPEG(true); }, 16, 8, repeated(0xFF00FFFF, 8, {0xFF7F7F7F}), 0xFF7F7F7F,
            false)
            .within(2),
        decodes(
            "JpegProfileOverThreeMarkers", J, [] { return linearProfileJPEG(0); }, 16, 8,
            repeated(0xFFBCBCBC, 8, {0xFFFFFFFF}), 0xFFFFFFFF, false)
            .within(2),
        decodes(
            "JpegProfileMarkerMissing", J, [] { return linearProfileJPEG(2); }, 16, 8,
            repeated(0xFF808080, 8, {0xFFFFFFFF}), 0xFFFFFFFF, false)
            .within(1),
        decodes(
            "JpegProfileIgnoredInYCbCr", J,
            [] { return jpegWithProfile(JPEGSpace::YCbCr, test::linearRGBProfile(), 1, 0); }, 16, 8,
            repeated(0xFF808080, 8, {0xFFFFFFFF}), 0xFFFFFFFF, false)
            .within(1),
        decodes("JpegLargeMarkerSkipped", J, largeMarkerJPEG, 16, 8, repeated(0xFF808080, 8), 0xFF101010, false)
            .within(1),
        decodes(
            "JpegProfileAtTheLimit", J, [] { return paddedProfileJPEG(JPGICCProfile::kMaxBytes); }, 16, 8,
            repeated(0xFFBCBCBC, 8, {0xFFFFFFFF}), 0xFFFFFFFF, false)
            .within(2),
        fails("JpegProfileBeyondTheLimit", J, [] { return paddedProfileJPEG(JPGICCProfile::kMaxBytes + 1); }),
        fails("JpegProfileCorrupt", J, corruptProfileJPEG),
        fails("JpegProfileOfAnotherColourSpace", J,
              [] { return jpegWithProfile(JPEGSpace::RGB, test::greyProfile(), 1, 0); }),
        fails("JpegTruncated", J, [] { return truncated(ycbcrJPEG(), ycbcrJPEG().size() / 2); }),
        fails("JpegStartMarkerOnly", J, [] { return truncated(ycbcrJPEG(), 2); }),
        fails("JpegEmpty", J, noImage),
        // TGA
        decodes(
            "TgaTopDown32", T, [] { return tga(tgaHeader(2, 2, 2, 32, 0x20), kTGA32Data); }, 2, 2, {kP1, kP2, kP3}, kP4,
            true),
        decodes(
            "TgaBottomUp32", T, [] { return tga(tgaHeader(2, 2, 2, 32, 0x00), kTGA32Data); }, 2, 2, {kP3, kP4, kP1},
            kP2, true),
        decodes(
            "TgaBottomUp32NoDetection", T, [] { return tga(tgaHeader(2, 2, 2, 32, 0x00), kTGA32Data); }, 2, 2, {kP3},
            kP2, false)
            .without(true),
        decodes(
            "TgaBottomUp24", T,
            [] {
                return tga(tgaHeader(2, 2, 3, 24, 0x00),
                           {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
            },
            2, 3, {0xFF0F0E0D, 0xFF121110, 0xFF090807}, 0xFF060504, false),
        decodes(
            "Tga16", T,
            [] {
                return tga(tgaHeader(2, 3, 1, 16, 0x20), {0xFF, 0x7F, 0x00, 0x00, 0x1F, 0x80});
            },
            3, 1, {0xFFF8F8F8, 0x00000000, 0xFF0000F8}, 0xFF0000F8, true),
        decodes(
            "TgaRunLength32", T,
            [] {
                return tga(tgaHeader(10, 3, 1, 32, 0x20), {0x81, 1, 2, 3, 0xFF, 0x00, 4, 5, 6, 0xFF});
            },
            3, 1, {0xFF030201, 0xFF030201, 0xFF060504}, 0xFF060504, false),
        decodes(
            "TgaRunLength24RunCrossesEnd", T,
            [] {
                return tga(tgaHeader(10, 3, 1, 24, 0x20), {0x00, 1, 2, 3, 0x85, 4, 5, 6});
            },
            3, 1, {0xFF030201, 0xFF060504, 0xFF060504}, 0xFF060504, false),
        decodes(
            "TgaRunLength16BottomUp", T,
            [] {
                return tga(tgaHeader(10, 1, 3, 16, 0x00), {0x01, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x1F, 0x00});
            },
            1, 3, {0xFF0000F8}, 0xFFF8F8F8, true),
        decodes(
            "TgaIdAndColourMapSkipped", T,
            [] {
                return tga(tgaHeader(2, 1, 1, 24, 0x20, 3, 1, 2, 24), {9, 9, 9, 8, 8, 8, 8, 8, 8, 1, 2, 3});
            },
            1, 1, {0xFF030201}, 0xFF030201, false),
        decodes("TgaBigEndianStream", T, bigEndianTGA32, 1, 1, {0xFF030201}, 0xFF030201, false).inBigEndian(),
        fails("TgaTruncatedPlain", T, [] { return tga(tgaHeader(2, 2, 2, 32, 0x20), truncated(kTGA32Data, 15)); }),
        fails("TgaTruncatedRunLength", T,
              [] {
                  return tga(tgaHeader(10, 3, 1, 32, 0x20), {0x81, 1, 2, 3, 0xFF});
              }),
        fails("TgaTruncatedColourMap", T,
              [] {
                  return tga(tgaHeader(2, 1, 1, 24, 0x20, 0, 1, 200, 24), {1, 2, 3});
              }),
        fails("TgaTruncatedHeader", T, [] { return truncated(tgaHeader(2, 1, 1, 24, 0x20), 17); }),
        fails("TgaZeroWidth", T,
              [] {
                  return tga(tgaHeader(2, 0, 1, 24, 0x20), {1, 2, 3});
              }),
        fails("TgaZeroHeight", T,
              [] {
                  return tga(tgaHeader(2, 1, 0, 24, 0x20), {1, 2, 3});
              }),
        fails("TgaDepth8", T, [] { return tga(tgaHeader(2, 1, 1, 8, 0x20), {1}); }),
        fails("TgaColourMapped", T,
              [] {
                  return tga(tgaHeader(1, 1, 1, 24, 0x20, 0, 1, 1, 24), {1, 2, 3, 0});
              }),
        // Any of the three
        decodes("DetectPNG", D, rgbPNG, 2, 2, {0xFF010203}, 0xFF0A0B0C, false).after(7),
        decodes("DetectJPEG", D, greyJPEG, 16, 8, {0xFF808080}, 0xFF101010, false).within(1).after(7),
        decodes(
            "DetectTGA", D, [] { return tga(tgaHeader(2, 2, 2, 32, 0x00), kTGA32Data); }, 2, 2, {kP3}, kP2, true)
            .after(7),
        fails("DetectNothing", D, notAnImage),
        fails("DetectEmpty", D, noImage),
    };
}

bool read(Picture& picture, BAS::Stream& stream, ReadCase const& c)
{
    PictureProperties::eOrientation const o = PictureProperties::eStacked;
    switch (c.reader) {
    case Reader::PNG: return picture.readPNG(stream, o, c.detectAlpha);
    case Reader::JPG: return picture.readJPG(stream, o, c.detectAlpha);
    case Reader::TGA: return picture.readTGA(stream, o, c.detectAlpha);
    case Reader::Detect: break;
    }
    return picture.readDetect(stream, o, c.detectAlpha);
}

::testing::AssertionResult near(uint32_t expected, uint32_t actual, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        int const e = int((expected >> shift) & 0xFF), a = int((actual >> shift) & 0xFF);
        if (std::abs(e - a) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "expected 0x" << expected << ", got 0x" << actual;
    }
    return ::testing::AssertionSuccess();
}

class ImageReadersTest : public ::testing::TestWithParam<ReadCase> { };

TEST_P(ImageReadersTest, DecodesFile)
{
    ReadCase const& c = GetParam();
    Bytes data(c.offset, 0xEE);
    Bytes const file = c.file();
    data.insert(data.end(), file.begin(), file.end());
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, data.data(), data.size());
    stream.getMemoryStorage().seek64(int64_t(c.offset), BAS::IStorage::eSeekBegin);
    if (c.bigEndian)
        stream.setByteOrder(BAS::Endian::eBigEndian);
    Picture picture;
    if (c.detectAlpha)
        picture.setAlphaChannel(!c.alpha); // the reader must set the property

    ASSERT_EQ(c.succeeds, read(picture, stream, c));
    if (!c.succeeds)
        return;
    ASSERT_EQ(c.width, picture.getWidth());
    ASSERT_EQ(c.height, picture.getHeight());
    for (size_t i = 0; i < c.firstPixels.size(); ++i)
        EXPECT_TRUE(near(c.firstPixels[i], picture.getPixels()[i], c.tolerance)) << "pixel " << i;
    EXPECT_TRUE(near(c.lastPixel, picture.getPixels()[size_t(c.width) * size_t(c.height) - 1], c.tolerance));
    EXPECT_EQ(c.alpha, picture.hasAlphaChannel());
    EXPECT_EQ(0, picture.getOrigin().x);
    EXPECT_EQ(0, picture.getOrigin().y);
    EXPECT_FALSE(picture.isClipping());
}

INSTANTIATE_TEST_SUITE_P(Files, ImageReadersTest, ::testing::ValuesIn(readCases()),
                         [](::testing::TestParamInfo<ReadCase> const& info) { return info.param.name; });

// ---- Declared sizes against the read limits ------------------------------

void putBigEndian(Bytes& file, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file[at + size_t(i)] = uint8_t(value >> (8 * (bytes - 1 - i)));
}

// A small PNG whose header (with its checksum) declares another size.
Bytes pngDeclaring(uint32_t width, uint32_t height)
{
    Bytes file = rgbPNG();
    putBigEndian(file, 16, width, 4);
    putBigEndian(file, 20, height, 4);
    putBigEndian(file, 29, uint32_t(crc32(0, file.data() + 12, 17)), 4);
    return file;
}

// A small JPEG whose frame header (baseline or progressive) declares
// another size.
Bytes jpegDeclaring(Bytes file, uint16_t width, uint16_t height)
{
    for (size_t i = 2; i + 9 < file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            putBigEndian(file, i + 5, height, 2);
            putBigEndian(file, i + 7, width, 2);
            break;
        }
    }
    return file;
}

Bytes tgaDeclaring(uint16_t width, uint16_t height)
{
    return tga(tgaHeader(2, width, height, 32, 0x20), kTGA32Data);
}

struct DeclaredSizeCase {
    std::string name;
    Reader reader;
    std::function<Bytes()> file;
    bool refused;
    Picture::tDeclaredSize declared;
};

void PrintTo(DeclaredSizeCase const& c, std::ostream* os)
{
    *os << c.name;
}

class DeclaredSizeTest : public ::testing::TestWithParam<DeclaredSizeCase> { };

TEST_P(DeclaredSizeTest, BeyondTheLimitsIsRefusedBeforeAnyPixelIsMade)
{
    DeclaredSizeCase const& c = GetParam();
    Bytes file = c.file();
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, file.data(), file.size());
    ReadCase how;
    how.reader = c.reader;
    Picture picture;

    bool const decoded = read(picture, stream, how);
    EXPECT_EQ(c.refused, picture.wasRefusedForSize());
    if (!c.refused)
        return;
    EXPECT_FALSE(decoded);
    EXPECT_EQ(c.declared.width, picture.getRefusedSize().width);
    EXPECT_EQ(c.declared.height, picture.getRefusedSize().height);
    EXPECT_EQ(0, picture.getWidth());
    EXPECT_EQ(0u, picture.getCapacity());
}

std::vector<DeclaredSizeCase> declaredSizeCases()
{
    Reader const P = Reader::PNG, J = Reader::JPG, T = Reader::TGA, D = Reader::Detect;
    uint32_t const side = Picture::kMaxReadSide;
    return {
        {"PngWiderThanASide", P, [=] { return pngDeclaring(side + 1, 1); }, true, {side + 1, 1}},
        {"PngMorePixelsThanAllowed", P, [] { return pngDeclaring(8192, 8193); }, true, {8192, 8193}},
        {"PngAtTheSideLimit", P, [=] { return pngDeclaring(1, side); }, false, {}},
        {"PngFarBeyondLibpngsDefaults", P, [] { return pngDeclaring(2000000, 1); }, true, {2000000, 1}},
        {"JpegOfAFewBytesDeclaringMillions",
         J,
         [] { return jpegDeclaring(greyJPEG(), 23305, 2815); },
         true,
         {23305, 2815}},
        {"JpegTallerThanASide",
         J,
         [=] { return jpegDeclaring(greyJPEG(), 8, uint16_t(side + 1)); },
         true,
         {8, side + 1}},
        {"JpegAtTheSideLimit", J, [=] { return jpegDeclaring(greyJPEG(), uint16_t(side), 8); }, false, {}},
        {"TgaWiderThanASide", T, [=] { return tgaDeclaring(uint16_t(side + 1), 1); }, true, {side + 1, 1}},
        {"TgaMorePixelsThanAllowed", T, [] { return tgaDeclaring(8193, 8192); }, true, {8193, 8192}},
        {"TgaAtTheSideLimit", T, [=] { return tgaDeclaring(1, uint16_t(side)); }, false, {}},
        {"DetectStopsAtTheRefusingReader",
         D,
         [] { return jpegDeclaring(greyJPEG(), 23305, 2815); },
         true,
         {23305, 2815}},
        {"DetectReadsSmallFiles", D, rgbPNG, false, {}},
    };
}

INSTANTIATE_TEST_SUITE_P(Files, DeclaredSizeTest, ::testing::ValuesIn(declaredSizeCases()),
                         [](::testing::TestParamInfo<DeclaredSizeCase> const& info) { return info.param.name; });

// ---- Memory that a small file asks for ----------------------------------

// A PNG's signature and header (those of a small RGB file), then one more
// chunk whose length field says `declared` and whose data is `data`, with
// its checksum only when the data is complete.
Bytes pngHeaderAndChunk(char const* type, uint32_t declared, Bytes const& data)
{
    Bytes file = truncated(rgbPNG(), 33);
    size_t const start = file.size();
    file.resize(start + 8);
    putBigEndian(file, start, declared, 4);
    std::copy(type, type + 4, file.begin() + long(start) + 4);
    file.insert(file.end(), data.begin(), data.end());
    if (data.size() == declared) {
        file.resize(file.size() + 4);
        putBigEndian(file, file.size() - 4, uint32_t(crc32(0, file.data() + start + 4, uInt(4 + declared))), 4);
    }
    return file;
}

// The rest of the small RGB file after its header.
Bytes withImageData(Bytes file)
{
    Bytes const rgb = rgbPNG();
    file.insert(file.end(), rgb.begin() + 33, rgb.end());
    return file;
}

// A suggested palette named "palette", 8-bit samples, `entries` of 6 bytes.
Bytes suggestedPalette(size_t entries)
{
    Bytes data = {'p', 'a', 'l', 'e', 't', 't', 'e', 0, 8};
    for (size_t i = 0; i < entries * 6; ++i)
        data.push_back(uint8_t(i));
    return data;
}

// A small progressive JPEG (no chroma subsampling) whose frame header
// declares another size: libjpeg keeps the coefficients of every block
// of the declared size until the last scan.
Bytes progressiveJPEGDeclaring(uint16_t width, uint16_t height)
{
    JPEGImage image = jpeg(JPEGSpace::YCbCr, {200, 100, 50}, {20, 40, 220});
    image.progressive = true;
    return jpegDeclaring(test::writeJPEG(image), width, height);
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct MemoryCase {
    std::string name;
    Reader reader;
    std::function<Bytes()> file;
    bool decodes;
    int stopsAt; // where the reader left the stream when it refused the file (-1: anywhere)
};

void PrintTo(MemoryCase const& c, std::ostream* os)
{
    *os << c.name;
}

class ReadMemoryTest : public ::testing::TestWithParam<MemoryCase> { };

// A file of a few hundred bytes that declares a chunk of 2 GiB or a picture
// whose decoding needs hundreds of MiB is refused before that memory is
// taken: the peak memory of the test's own process must not jump by it.
TEST_P(ReadMemoryTest, SmallFileCannotClaimLargeMemory)
{
    MemoryCase const& c = GetParam();
    Bytes file = c.file();
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, file.data(), file.size());
    ReadCase how;
    how.reader = c.reader;
    Picture picture;
    long const peakBefore = peakResidentKiB();

    bool const decoded = read(picture, stream, how);
    EXPECT_LT(peakResidentKiB() - peakBefore, 64 * 1024);
    ASSERT_EQ(c.decodes, decoded);
    EXPECT_FALSE(picture.wasRefusedForSize());
    if (decoded) {
        EXPECT_EQ(0xFF0A0B0Cu, picture.getPixels()[3]);
    } else if (c.stopsAt >= 0) {
        EXPECT_EQ(c.stopsAt, stream.getStorage()->getPos());
    }
}

std::vector<MemoryCase> memoryCases()
{
    Reader const P = Reader::PNG, J = Reader::JPG;
    int const afterChunkHeader = 33 + 8;
    uint16_t const side = uint16_t(Picture::kMaxReadSide);
    return {
        {"PngSuggestedPaletteOf102BytesDeclaring2GiB", P,
         [] { return pngHeaderAndChunk("sPLT", 0x7FFFFFFF, truncated(suggestedPalette(9), 61)); }, false,
         afterChunkHeader},
        {"PngTextDeclaring2GiB", P,
         [] {
             return pngHeaderAndChunk("tEXt", 0x7FFFFFFF, {'C', 'o', 'm', 'm', 'e', 'n', 't', 0});
         },
         false, afterChunkHeader},
        {"PngSuggestedPaletteWithinTheLimit", P,
         [] {
             Bytes const palette = suggestedPalette(2000);
             return withImageData(pngHeaderAndChunk("sPLT", uint32_t(palette.size()), palette));
         },
         true, -1},
        // 16384 x 4096 pixels, three components of 2-byte coefficients: 384 MiB.
        {"JpegProgressiveDeclaringMorePixelsThanItsDecoderMayKeep", J,
         [=] { return progressiveJPEGDeclaring(side, side / 4); }, false, -1},
    };
}

INSTANTIATE_TEST_SUITE_P(Files, ReadMemoryTest, ::testing::ValuesIn(memoryCases()),
                         [](::testing::TestParamInfo<MemoryCase> const& info) { return info.param.name; });

} // namespace
} // namespace FEN
} // namespace CV
