// A file of one of the readers' formats that cannot be decoded leaves its
// reason for the caller: the library's error text, or the reader's own. A
// file of none of the formats leaves none. A progressive JPEG of more scans
// than any picture needs is refused before its decoder walks them all.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "BAS/MemoryStream.h"
#include "FEN/Picture.h"
#include "ImageFixtures.h"

namespace CV {
namespace FEN {
namespace {

using test::Bytes;

enum class Reader { PNG, JPG };

bool read(Picture& picture, Bytes& file, Reader reader, bool detect)
{
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, file.data(), file.size());
    PictureProperties::eOrientation const o = PictureProperties::eStacked;
    if (detect)
        return picture.readDetect(stream, o, true);
    return reader == Reader::PNG ? picture.readPNG(stream, o, true) : picture.readJPG(stream, o, true);
}

Bytes rgbPNG()
{
    test::PNGImage image;
    image.width = 3;
    image.height = 2;
    image.rows = Bytes(2 * (1 + 9), 7);
    return test::writePNG(image);
}

Bytes cutShort(Bytes file, size_t bytes)
{
    file.resize(file.size() - bytes);
    return file;
}

// The frame header's length made one more than its components need.
Bytes withBogusMarkerLength()
{
    Bytes file = test::smallGreyJPEG();
    for (size_t i = 2; i + 3 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            ++file[i + 3];
            break;
        }
    return file;
}

Bytes emptyScans(int scans)
{
    return test::progressiveJPEGOfEmptyScans(64, 64, scans);
}

// Of more scans than the limit, the second of which libjpeg would refuse
// (its band starts after its end): the scans are counted before any is
// decoded.
Bytes tooManyScansWithABrokenSecond()
{
    Bytes file = emptyScans(101);
    int seen = 0;
    for (size_t i = 0; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA && ++seen == 2) {
            file[i + 7] = 1; // first coefficient of the band, after its last (0)
            break;
        }
    return file;
}

std::string const kTooManyScans = "progressive JPEG with more than 100 scans, more than any picture needs";
std::string const kEndsEarly = "the data ends before the picture is complete";

struct FailureCase {
    char const* name;
    Reader reader;
    std::function<Bytes()> file;
    bool decodes;
    std::string failure; // empty: none
};

void PrintTo(FailureCase const& c, std::ostream* os)
{
    *os << c.name;
}

class ImageReadFailure : public testing::TestWithParam<FailureCase> { };

TEST_P(ImageReadFailure, LeavesTheReasonOfTheFormatsReader)
{
    FailureCase const& c = GetParam();
    Bytes file = c.file();
    Picture picture;
    for (bool const detect : {false, true}) {
        SCOPED_TRACE(detect ? "readDetect" : "the format's reader");
        EXPECT_EQ(read(picture, file, c.reader, detect), c.decodes);
        EXPECT_EQ(picture.getReadFailure(), c.failure);
    }
    // The next read starts afresh.
    Bytes clean = test::smallGreyJPEG();
    ASSERT_TRUE(read(picture, clean, Reader::JPG, true));
    EXPECT_EQ(picture.getReadFailure(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageReadFailure,
    testing::Values(
        FailureCase{"jpegScansUpToTheLimit", Reader::JPG, [] { return emptyScans(100); }, true, ""},
        FailureCase{"jpegOneScanBeyondTheLimit", Reader::JPG, [] { return emptyScans(101); }, false, kTooManyScans},
        FailureCase{"jpegOf6000EmptyScans", Reader::JPG, [] { return emptyScans(6000); }, false, kTooManyScans},
        FailureCase{"jpegOfTooManyScansRefusedBeforeTheFirstIsDecoded", Reader::JPG, tooManyScansWithABrokenSecond,
                    false, kTooManyScans},
        FailureCase{"jpegEndingInItsData", Reader::JPG, [] { return cutShort(test::smallGreyJPEG(), 40); }, false,
                    kEndsEarly},
        FailureCase{"jpegEndingInItsHeader", Reader::JPG,
                    [] {
                        return Bytes{0xFF, 0xD8, 0xFF};
                    },
                    false, kEndsEarly},
        FailureCase{"jpegWithABogusMarkerLength", Reader::JPG, withBogusMarkerLength, false, "Bogus marker length"},
        FailureCase{"pngEndingEarly", Reader::PNG, [] { return cutShort(rgbPNG(), 20); }, false,
                    "unexpected end of data"},
        FailureCase{"noKnownFormat", Reader::JPG, [] { return Bytes(40, 'x'); }, false, ""},
        FailureCase{"emptyForJPEG", Reader::JPG, [] { return Bytes(); }, false, ""},
        FailureCase{"emptyForPNG", Reader::PNG, [] { return Bytes(); }, false, ""}),
    [](auto const& info) { return std::string(info.param.name); });

// The scan limit leaves real progressive files alone: libjpeg's standard
// progression (10 scans for colour) reads to the library's own pixels.
TEST(ImageReadProgressive, ReadsAsTheLibraryDecodesIt)
{
    test::JPEGImage image;
    image.width = 67;
    image.height = 45;
    image.subsampled = true;
    image.quality = 90;
    image.progressive = true;
    image.samples = test::photoLikeRGB(image.width, image.height);
    Bytes file = test::writeJPEG(image);
    Picture picture;
    ASSERT_TRUE(read(picture, file, Reader::JPG, false));
    ASSERT_EQ(picture.getWidth(), image.width);
    ASSERT_EQ(picture.getHeight(), image.height);
    Bytes const expected = test::decodeWithLibrary(file).bgra;
    Bytes const actual(reinterpret_cast<uint8_t const*>(picture.getPixels()),
                       reinterpret_cast<uint8_t const*>(picture.getPixels()) + expected.size());
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(picture.getReadWarnings(), std::vector<std::string>());
}

} // namespace
} // namespace FEN
} // namespace CV
