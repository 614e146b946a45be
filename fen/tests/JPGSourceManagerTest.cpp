// The JPEG data source: block reads, the end of the data, skips.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "BAS/MemoryStream.h"
#include "FEN/JPGSourceManager.h"

namespace CV {
namespace FEN {
namespace {

class JPGSourceManagerTest : public ::testing::Test {
protected:
    JPGSourceManagerTest()
        : m_bytes(600)
    {
        for (size_t i = 0; i < m_bytes.size(); ++i)
            m_bytes[i] = uint8_t(i * 7);
        m_stream.init(BAS::IStorage::eAccessRead, m_bytes.data(), m_bytes.size());
        std::memset(&m_cinfo, 0, sizeof m_cinfo);
        m_source.install(&m_cinfo);
        m_source.pub.init_source(&m_cinfo);
    }

    bool fill() { return m_source.pub.fill_input_buffer(&m_cinfo) == TRUE; }
    void skip(long count) { m_source.pub.skip_input_data(&m_cinfo, count); }
    size_t left() const { return m_source.pub.bytes_in_buffer; }
    uint8_t next() const { return *m_source.pub.next_input_byte; }
    int64_t storagePosition() { return m_stream.getMemoryStorage().getPos64(); }

    std::vector<uint8_t> m_bytes;
    BAS::MemoryStream m_stream;
    jpeg_decompress_struct m_cinfo;
    JPGSourceManager<512> m_source{m_stream};
};

TEST_F(JPGSourceManagerTest, ReadsBlocksAndReportsTheEndOfTheData)
{
    EXPECT_EQ(0u, left());
    ASSERT_TRUE(fill());
    EXPECT_EQ(512u, left());
    ASSERT_TRUE(fill());
    EXPECT_EQ(88u, left());
    EXPECT_EQ(m_bytes[512], next());
    // No more data: libjpeg must be told, not handed an empty buffer.
    EXPECT_FALSE(fill());
    EXPECT_EQ(0u, left());
}

TEST_F(JPGSourceManagerTest, SkipsInsideTheBufferWithoutTouchingTheStorage)
{
    ASSERT_TRUE(fill());
    skip(10);
    EXPECT_EQ(502u, left());
    EXPECT_EQ(m_bytes[10], next());
    skip(0);
    skip(-5);
    EXPECT_EQ(502u, left());
    EXPECT_EQ(512, storagePosition());
}

TEST_F(JPGSourceManagerTest, SkipsPastTheBufferBySeeking)
{
    ASSERT_TRUE(fill());
    skip(520);
    EXPECT_EQ(0u, left());
    EXPECT_EQ(520, storagePosition());
    ASSERT_TRUE(fill());
    EXPECT_EQ(80u, left());
    EXPECT_EQ(m_bytes[520], next());
}

TEST_F(JPGSourceManagerTest, SkipPastTheEndEndsTheData)
{
    ASSERT_TRUE(fill());
    skip(1000);
    EXPECT_FALSE(fill());
}

} // namespace
} // namespace FEN
} // namespace CV
