#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "BAS/IStorage.h"
#include "BAS/MemoryStream.h"
#include "FEN/PictureProperties.h"

namespace CV {
namespace FEN {
namespace {

using Bytes = std::vector<uint8_t>;

// Alpha on, side by side, 3 frames, both resizable, borders 1, -2, 3, 70000.
Bytes const kRecord = {
    0x01, 0x00, 0x00, 0x00, // version
    0x01, // alpha channel
    0x02, 0x00, 0x00, 0x00, // orientation
    0x03, 0x00, 0x00, 0x00, // frames
    0x03, 0x00, 0x00, 0x00, // resizable flags
    0x01, 0x00, 0x00, 0x00, // top
    0xFE, 0xFF, 0xFF, 0xFF, // bottom
    0x03, 0x00, 0x00, 0x00, // left
    0x70, 0x11, 0x01, 0x00, // right
};

struct Counting : PictureProperties {
    void propertiesChanged() override { ++changes; }
    int changes = 0;
};

void setAll(PictureProperties& p)
{
    p.setAlphaChannel(true);
    p.setHorizontalAnimation(true);
    p.setNumAnimations(3);
    p.setVertResizable(true);
    p.setHorzResizable(true);
    p.setFixedTop(1);
    p.setFixedBottom(-2);
    p.setFixedLeft(3);
    p.setFixedRight(70000);
}

void expectAll(PictureProperties const& p)
{
    EXPECT_TRUE(p.hasAlphaChannel());
    EXPECT_EQ(p.getAnimationOrientation(), PictureProperties::eSideBySide);
    EXPECT_EQ(p.getNumAnimations(), 3u);
    EXPECT_EQ(p.getResizableFlags(), 3u);
    EXPECT_EQ(p.getFixedTop(), 1);
    EXPECT_EQ(p.getFixedBottom(), -2);
    EXPECT_EQ(p.getFixedLeft(), 3);
    EXPECT_EQ(p.getFixedRight(), 70000);
}

TEST(PicturePropertiesRecord, WritesTheByteImage)
{
    PictureProperties p;
    setAll(p);
    Bytes out(PictureProperties::kRecordSize + 4, 0xEE);
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessWrite, out.data(), out.size());
    EXPECT_TRUE(p.write(stream));
    EXPECT_EQ(stream.getStorage()->getPos64(), int64_t(PictureProperties::kRecordSize));
    Bytes expected = kRecord;
    expected.resize(out.size(), 0xEE);
    EXPECT_EQ(out, expected);
}

TEST(PicturePropertiesRecord, ReadsTheByteImageWhateverTheVersion)
{
    for (uint8_t version : {1, 7}) {
        Bytes in = kRecord;
        in[0] = version;
        BAS::MemoryStream stream;
        stream.init(BAS::IStorage::eAccessRead, in.data(), in.size());
        Counting p;
        EXPECT_TRUE(p.read(stream));
        expectAll(p);
        EXPECT_EQ(p.changes, 1);
        EXPECT_NE(stream.getStorage()->getStatus(), BAS::IStorage::eStatusError);
    }
}

TEST(PicturePropertiesRecord, RoundTripInBigEndianAndAnyAlphaByte)
{
    PictureProperties written;
    setAll(written);
    Bytes block(PictureProperties::kRecordSize);
    BAS::MemoryStream out;
    out.setByteOrder(BAS::Endian::eBigEndian);
    out.init(BAS::IStorage::eAccessWrite, block.data(), block.size());
    written.write(out);
    EXPECT_EQ(block[3], 0x01); // version, most significant byte first
    block[4] = 0x80; // any non-zero alpha byte reads as true

    BAS::MemoryStream in;
    in.setByteOrder(BAS::Endian::eBigEndian);
    in.init(BAS::IStorage::eAccessRead, block.data(), block.size());
    PictureProperties read;
    read.read(in);
    expectAll(read);
}

TEST(PicturePropertiesRecord, ShortRecordShowsInTheStatus)
{
    Bytes in(kRecord.begin(), kRecord.begin() + 20);
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, in.data(), in.size());
    Counting p;
    EXPECT_TRUE(p.read(stream));
    EXPECT_EQ(stream.getStorage()->getStatus(), BAS::IStorage::eStatusError);
    EXPECT_EQ(p.changes, 1);
    EXPECT_TRUE(p.hasAlphaChannel());
    EXPECT_EQ(p.getResizableFlags(), 3u);
}

} // namespace
} // namespace FEN
} // namespace CV
