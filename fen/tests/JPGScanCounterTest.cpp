// Counting a JPEG's scans by its markers, without decoding: the walk over
// entropy data and segments, and the count ahead of a source that leaves
// the stream where the decoder reads on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>

#include <jpeglib.h>

#include "BAS/MemoryStorage.h"
#include "BAS/MemoryStream.h"
#include "FEN/JPGScanCounter.h"
#include "FEN/JPGSourceManager.h"
#include "FEN/Picture.h"
#include "ImageFixtures.h"

namespace CV {
namespace FEN {
namespace {

using test::Bytes;

Bytes const kStartOfImage = {0xFF, 0xD8};
Bytes const kEndOfImage = {0xFF, 0xD9};
// A start of scan with a body of 6 bytes (one component, band 0..0).
Bytes const kScanHeader = {0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 0, 0};

Bytes joined(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (Bytes const& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes colourJPEG(bool progressive)
{
    test::JPEGImage image;
    image.width = 40;
    image.height = 24;
    image.subsampled = true;
    image.quality = 90;
    image.progressive = progressive;
    image.samples = test::photoLikeRGB(image.width, image.height);
    return test::writeJPEG(image);
}

struct WalkCase {
    char const* name;
    std::function<Bytes()> file;
    int scans;
    bool done; // the walk met the end marker or a broken length
};

void PrintTo(WalkCase const& c, std::ostream* os)
{
    *os << c.name;
}

class JPGScanCounterWalk : public testing::TestWithParam<WalkCase> { };

TEST_P(JPGScanCounterWalk, CountsTheStartsOfScanWholeAndByteByByte)
{
    WalkCase const& c = GetParam();
    Bytes const file = c.file();
    JPGScanCounter whole;
    whole.walk(file.data(), file.size());
    EXPECT_EQ(whole.scans(), c.scans);
    EXPECT_EQ(whole.isDone(), c.done);
    JPGScanCounter pieces;
    for (uint8_t const byte : file)
        pieces.walk(&byte, 1);
    EXPECT_EQ(pieces.scans(), c.scans);
    EXPECT_EQ(pieces.isDone(), c.done);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JPGScanCounterWalk,
    testing::Values(
        WalkCase{"baseline", [] { return colourJPEG(false); }, 1, true},
        WalkCase{"progressiveOfTenScans", [] { return colourJPEG(true); }, 10, true},
        WalkCase{"stuffedBytesAndRestartsInTheData",
                 [] {
                     return joined({kStartOfImage,
                                    kScanHeader,
                                    {0x12, 0xFF, 0x00, 0xDA, 0xFF, 0xD0, 0x56, 0xFF, 0xD7},
                                    kScanHeader,
                                    {0xFF, 0x00},
                                    kEndOfImage});
                 },
                 2, true},
        WalkCase{"fillBytesBeforeMarkers",
                 [] {
                     return joined({kStartOfImage,
                                    {0xFF, 0xFF},
                                    kScanHeader,
                                    {0x34, 0xFF, 0xFF, 0xFF},
                                    kScanHeader,
                                    {0xFF, 0xFF},
                                    kEndOfImage});
                 },
                 2, true},
        WalkCase{"endingInsideASegment", [] { return Bytes(kScanHeader.begin(), kScanHeader.end() - 3); }, 1, false},
        WalkCase{"endingAfterAMarkersFirstByte",
                 [] {
                     return joined({kScanHeader, {0x00, 0xFF}});
                 },
                 1, false},
        WalkCase{"startOfScanInsideAnApplicationSegment",
                 [] {
                     return joined({kStartOfImage,
                                    {0xFF, 0xE1, 0x00, 0x08, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xDA},
                                    kScanHeader,
                                    kEndOfImage});
                 },
                 1, true},
        WalkCase{"nothingAfterTheEndMarker",
                 [] {
                     return joined({kScanHeader, kEndOfImage, kScanHeader});
                 },
                 1, true},
        WalkCase{"lengthShorterThanItsField",
                 [] {
                     return joined({kScanHeader, {0xFF, 0xC4, 0x00, 0x01}, kScanHeader});
                 },
                 1, true},
        WalkCase{"oneScanBeyondTheLimit", [] { return test::progressiveJPEGOfEmptyScans(64, 64, 101); }, 101, true},
        WalkCase{"sixThousandScans", [] { return test::progressiveJPEGOfEmptyScans(8192, 8192, 6000); }, 6000, true}),
    [](auto const& info) { return std::string(info.param.name); });

TEST(JPGScanCounter, CountsAProgressiveFileAsTheLibraryReadsIt)
{
    Bytes const file = colourJPEG(true);
    JPGScanCounter counter;
    counter.walk(file.data(), file.size());
    EXPECT_EQ(counter.scans(), test::decodeWithLibrary(file).scans);
}

// The source of a decoder that has read the start of a file; the count ahead
// starts at its next byte.
class JPGScanCounterAhead : public testing::Test {
protected:
    void open(Bytes const& file, size_t bytesTaken)
    {
        m_file = file;
        m_stream.init(BAS::IStorage::eAccessRead, m_file.data(), m_file.size());
        std::memset(&m_cinfo, 0, sizeof m_cinfo);
        m_source.install(&m_cinfo);
        m_source.pub.init_source(&m_cinfo);
        ASSERT_TRUE(m_source.pub.fill_input_buffer(&m_cinfo));
        m_source.pub.next_input_byte += bytesTaken;
        m_source.pub.bytes_in_buffer -= bytesTaken;
    }
    JPGScanCounter::Ahead countRest(int stopAbove)
    {
        return JPGScanCounter::countRest(m_source.pub, m_stream, 0, stopAbove);
    }

    Bytes m_file;
    BAS::MemoryStream m_stream;
    jpeg_decompress_struct m_cinfo;
    JPGSourceManager<512> m_source{m_stream};
};

TEST_F(JPGScanCounterAhead, CountsFromTheSourcesNextByteAndLeavesTheStreamWhereItWas)
{
    // 40,000 scans of 10 bytes: many blocks of the read-ahead.
    Bytes const file = test::progressiveJPEGOfEmptyScans(64, 64, 40000);
    open(file, 100);
    JOCTET const* next = m_source.pub.next_input_byte;
    JPGScanCounter::Ahead const ahead = countRest(50000);
    EXPECT_EQ(ahead.outcome, JPGScanCounter::Outcome::Counted);
    JPGScanCounter whole;
    whole.walk(file.data() + 100, file.size() - 100);
    EXPECT_EQ(ahead.scans, whole.scans());
    EXPECT_EQ(m_stream.getMemoryStorage().getPos64(), 512);
    EXPECT_EQ(m_stream.getMemoryStorage().getStatus(), BAS::IStorage::eStatusOk);
    EXPECT_EQ(m_source.pub.next_input_byte, next);
    EXPECT_EQ(m_source.pub.bytes_in_buffer, 412u);
}

TEST_F(JPGScanCounterAhead, StopsReadingOncePastTheLimit)
{
    Bytes const file = test::progressiveJPEGOfEmptyScans(64, 64, 40000);
    open(file, 0);
    JPGScanCounter::Ahead const ahead = countRest(100);
    EXPECT_EQ(ahead.outcome, JPGScanCounter::Outcome::Counted);
    EXPECT_GT(ahead.scans, 100);
    EXPECT_LT(ahead.scans, 40000);
    EXPECT_EQ(m_stream.getMemoryStorage().getPos64(), 512);
}

// A storage that cannot tell its position: its stream is not counted ahead.
class PositionlessStorage : public BAS::IStorage {
public:
    PositionlessStorage(Bytes& bytes)
    {
        m_inner.init(eAccessRead, bytes.data(), bytes.size());
        m_status = m_inner.getStatus();
    }
    size_t read(void* buffer, size_t count) override
    {
        size_t const got = m_inner.read(buffer, count);
        m_status = m_inner.getStatus();
        return got;
    }
    size_t write(void const*, size_t) override { return 0; }
    int64_t getPos64() const override { return -1; }
    void seek64(int64_t offset, eSeekMode origin) override
    {
        m_inner.seek64(offset, origin);
        m_status = m_inner.getStatus();
    }

private:
    BAS::MemoryStorage m_inner;
};

TEST(JPGScanCounterFallback, AStreamThatCannotBeCountedIsLeftToTheProgressMonitor)
{
    std::string const tooMany = "progressive JPEG with more than 100 scans, more than any picture needs";
    for (int const scans : {100, 101, 6000}) {
        SCOPED_TRACE(scans);
        Bytes file = test::progressiveJPEGOfEmptyScans(64, 64, scans);
        PositionlessStorage storage(file);
        BAS::Stream stream(&storage);
        Picture picture;
        EXPECT_EQ(picture.readJPG(stream, PictureProperties::eStacked, true), scans <= 100);
        EXPECT_EQ(picture.getReadFailure(), scans <= 100 ? "" : tooMany);
    }
}

} // namespace
} // namespace FEN
} // namespace CV
