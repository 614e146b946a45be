#include "BAS/RangeLimitingStorage.h"
#include "BAS/MemoryStorage.h"
#include "StorageScript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using CV::BAS::IStorage;
using CV::BAS::MemoryStorage;
using CV::BAS::RangeLimitingStorage;
using namespace storage_test;

// A window [100, 150) over 200 bytes of memory.
class RangeOverMemory : public ::testing::Test {
protected:
    RangeOverMemory() { m_inner.init(IStorage::eAccessReadWrite, &m_block[0], m_block.size()); }

    std::string m_block = numberedBytes(200);
    const std::string m_original = m_block;
    MemoryStorage m_inner;
    RangeLimitingStorage m_window;
};

TEST_F(RangeOverMemory, AWindowWithALengthStopsReadsWritesAndSeeksAtItsEnds)
{
    ASSERT_TRUE(m_window.open(&m_inner, false, 100, 50));
    EXPECT_EQ(m_window.getStatus(), kOk);
    EXPECT_EQ(m_window.getAccessMode(), IStorage::eAccessReadWrite);
    EXPECT_EQ(m_inner.getPos64(), 100);
    runScript(m_window,
              {
                  seek(0, kFromEnd, kEnd, 50),      seek(10, kFromEnd, kOk, 40),
                  read(100, 10, kError, 50), // a short read tells, as in any storage
                  read(1, 0, kError, 50), // refused while in error
                  seek(-1, kFromBegin, kError, 50), seek(51, kFromEnd, kError, 50),
                  seek(0, kFromBegin, kOk, 0),      read(20, 20, kOk, 20),
                  read(30, 30, kEnd, 50), // ends at the window's end
                  read(1, 0, kError, 50), // past it
                  seek(-20, kFromEnd, kError, 50),  seek(5, kFromEnd, kOk, 45),
                  seek(-45, kFromCurrent, kOk, 0),  seek(-1, kFromCurrent, kError, -1), // before the window
                  seek(60, kFromBegin, kError, -1), // after it
                  seek(45, kFromBegin, kOk, 45),    write(10, 5, kError, 50), // clipped to the window
                  seek(40, kFromBegin, kOk, 40),    write(10, 10, kEnd, 50),
                  seek(0, kFromBegin, kOk, 0),      read(50, 50, kEnd, 50),
              },
              m_original.substr(100, 50));
    EXPECT_EQ(m_block.substr(0, 140), m_original.substr(0, 140));
    EXPECT_EQ(m_block.substr(140, 10), writePattern(10));
    EXPECT_EQ(m_block.substr(150), m_original.substr(150)) << "a write passed the window";
}

TEST_F(RangeOverMemory, AWindowWithoutLengthPassesReadsThroughToTheInnerEnd)
{
    ASSERT_TRUE(m_window.open(&m_inner, false, 100, 0));
    runScript(m_window,
              {
                  read(80, 80, kOk, 80),
                  read(50, 20, kError, 100), // the inner storage ran short
                  seek(0, kFromEnd, kEnd, 100),
                  seek(10, kFromEnd, kOk, 90), // a distance back from the end
                  seek(101, kFromEnd, kError, 90),
                  seek(-10, kFromCurrent, kOk, 80),
                  seek(-81, kFromCurrent, kError, -1),
              },
              m_original.substr(100));
}

TEST_F(RangeOverMemory, OpeningChecksTheInnerStorageAndTheWindow)
{
    MemoryStorage closed;
    struct Case {
        IStorage* inner;
        int64_t start;
        int64_t length;
        bool opens;
    };
    const Case cases[] = {
        {&m_inner, 0, 200, true},  {&m_inner, 200, 0, true},  {nullptr, 0, 0, false},     {&closed, 0, 0, false},
        {&m_inner, -1, 10, false}, {&m_inner, 10, -1, false}, {&m_inner, 201, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        EXPECT_EQ(m_window.open(c.inner, false, c.start, c.length), c.opens);
        EXPECT_EQ(m_window.getStatus(), c.opens ? kOk : kClosed);
        EXPECT_EQ(m_window.getPos64(), c.opens ? 0 : -1);
    }
    m_window.close();
    runScript(m_window, {read(1, 0, kClosed, -1), write(1, 0, kClosed, -1), seek(0, kFromBegin, kClosed, -1)}, "");
}

TEST(RangeLimitingStorageTest, AnOwnedInnerStorageGoesWithTheWindow)
{
    std::string block = "abcdef";
    auto* inner = new MemoryStorage;
    inner->init(IStorage::eAccessRead, &block[0], block.size());
    {
        RangeLimitingStorage window;
        ASSERT_TRUE(window.open(inner, true, 2, 3));
        runScript(window, {read(4, 3, kError, 3)}, "cde");
    } // the leak checker tells when the inner storage stays behind

    RangeLimitingStorage refused;
    EXPECT_FALSE(refused.open(new MemoryStorage, true, 0, 0)); // deleted although refused
}

} // namespace
