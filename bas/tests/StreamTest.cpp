#include "BAS/Stream.h"
#include "BAS/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using CV::BAS::Endian;
using CV::BAS::IStorage;
using CV::BAS::MemoryStream;
using CV::BAS::Stream;

constexpr Endian::eByteOrder kOrders[] = {Endian::eLittleEndian, Endian::eBigEndian};

std::string hex(const unsigned char* bytes, size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += text.empty() ? "" : " ";
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

TEST(StreamTest, TypedReadsTakeTheBytesInTheChosenOrder)
{
    unsigned char bytes[] = {0x80, 0x00, 0x02, 0x12, 0x34, 0xFE, 0xDC, 0xBA, 0x98, 0xFF, 0xFF, 0xFF, 0xFE};
    struct Expected {
        Endian::eByteOrder order;
        uint16_t u16;
        uint32_t u32;
        int32_t s32;
    };
    const Expected cases[] = {
        {Endian::eLittleEndian, 0x3412, 0x98BADCFEu, -16777217},
        {Endian::eBigEndian, 0x1234, 0xFEDCBA98u, -2},
        {static_cast<Endian::eByteOrder>(0), 0x1234, 0xFEDCBA98u, -2}, // any order but little swaps
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.order);
        MemoryStream stream;
        stream.init(IStorage::eAccessRead, bytes, sizeof bytes);
        stream.setByteOrder(c.order);
        EXPECT_EQ(stream.readS8(), -128);
        EXPECT_FALSE(stream.readBoolean());
        EXPECT_TRUE(stream.readBoolean());
        EXPECT_EQ(stream.readU16(), c.u16);
        EXPECT_EQ(stream.readU32(), c.u32);
        EXPECT_EQ(stream.readS32(), c.s32);
        EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusEnd);
        stream.getStorage()->seek64(0, IStorage::eSeekBegin);
        EXPECT_EQ(stream.readU8(), 0x80);
    }
}

TEST(StreamTest, TypedWritesRoundTripInEitherOrder)
{
    struct Case {
        Endian::eByteOrder order;
        const char* bytes;
    };
    const Case cases[] = {
        {Endian::eLittleEndian, "01 78 56 34 12 FE FF FF FF 00 00 00 80 00"},
        {Endian::eBigEndian, "01 12 34 56 78 FF FF FF FE 80 00 00 00 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        unsigned char block[14] = {};
        MemoryStream stream;
        stream.init(IStorage::eAccessReadWrite, block, sizeof block);
        stream.setByteOrder(c.order);
        stream.writeBoolean(true);
        stream.writeU32(0x12345678u);
        stream.writeS32(-2);
        stream.writeS32(INT32_MIN);
        stream.writeBoolean(false);
        EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusEnd);
        EXPECT_EQ(hex(block, sizeof block), c.bytes);

        stream.getStorage()->seek64(0, IStorage::eSeekBegin);
        EXPECT_TRUE(stream.readBoolean());
        EXPECT_EQ(stream.readU32(), 0x12345678u);
        EXPECT_EQ(stream.readS32(), -2);
        EXPECT_EQ(stream.readS32(), INT32_MIN);
        EXPECT_FALSE(stream.readBoolean());
    }
}

TEST(StreamTest, ShortTypedReadsShowInTheStatusAndRawReadsInTheCount)
{
    for (Endian::eByteOrder order : kOrders) {
        unsigned char bytes[] = {0x12, 0x34};
        MemoryStream stream;
        stream.setByteOrder(order);
        stream.init(IStorage::eAccessRead, bytes, sizeof bytes);
        stream.readU32();
        EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusError);
        EXPECT_EQ(stream.getStorage()->getPos64(), 2);

        stream.init(IStorage::eAccessRead, bytes, sizeof bytes);
        unsigned char buffer[4] = {};
        EXPECT_EQ(stream.readRaw(buffer, 4), 2u);
        EXPECT_EQ(hex(buffer, 2), "12 34");
    }
}

TEST(StreamTest, WritesThatDoNotFitLeaveTheStorageInError)
{
    unsigned char block[3] = {};
    MemoryStream stream;
    stream.init(IStorage::eAccessWrite, block, sizeof block);
    stream.writeU32(0xAABBCCDDu);
    EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusError);
    EXPECT_EQ(hex(block, sizeof block), "DD CC BB");
}

TEST(StreamTest, AStreamWithoutStorageReadsZeroAndWritesNothing)
{
    Stream stream;
    stream.writeU32(1);
    stream.writeBoolean(true);
    EXPECT_EQ(stream.readU32(), 0u);
    EXPECT_EQ(stream.readS8(), 0);
    unsigned char buffer[1];
    EXPECT_EQ(stream.readRaw(buffer, 1), 0u);
}

TEST(StreamTest, MemoryStreamsStartLittleEndianOverTheirOwnClosedStorage)
{
    MemoryStream stream;
    EXPECT_EQ(stream.getByteOrder(), Endian::eLittleEndian);
    EXPECT_EQ(stream.getStorage(), &stream.getMemoryStorage());
    EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusClosed);
    EXPECT_EQ(stream.readU16(), 0u);
}

} // namespace
